#pragma once
// The link part of the tray menu and the small pictures of its items.
#include <QIcon>

class QMenu;

namespace zibbles {

class UserStore;

// The menu picture "menu-<name>".
QIcon menuPicture(const char *name);

// Appends "Shameless Plugs", "THERE", the club, the web site, the donation
// page and "Check For Updates", with the separators between them.
void addTrayLinks(QMenu *menu, UserStore &store);

} // namespace zibbles

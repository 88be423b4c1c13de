#include "traymenu.h"

#include "picture.h"

#include "weblinks.h"

#include "core/handlerguard.h"

#include <QMenu>

#include <string_view>

namespace zibbles {

namespace {

void addLink(QMenu *menu, std::string_view caption, UserStore &store, const char *picture = nullptr)
{
    const QString text = QString::fromLatin1(caption.data(), qsizetype(caption.size()));
    QAction *item =
        menu->addAction(text, menu, [caption, &store] { runGuarded([&] { openWebLink(caption, store); }); });
    if (picture)
        item->setIcon(menuPicture(picture));
}

} // namespace

QIcon menuPicture(const char *name)
{
    return pictureIcon(QStringLiteral("menu-") + QLatin1String(name));
}

void addTrayLinks(QMenu *menu, UserStore &store)
{
    QMenu *plugs = menu->addMenu(menuPicture("plugs"), QStringLiteral("Shameless Plugs"));
    addLink(plugs, "My Hoverboard Designs", store);
    addLink(plugs, "My Clubs", store);
    addLink(plugs, "Say Hi!", store);
    menu->addSeparator();

    QMenu *there = menu->addMenu(menuPicture("there"), QStringLiteral("THERE"));
    addLink(there, "Home Page", store, "home");
    there->addSeparator();
    addLink(there, "Main Login", store, "login");
    there->addSeparator();
    addLink(there, "Forums", store, "forums");
    addLink(there, "Developer", store, "developer");
    addLink(there, "Announcement Board", store, "board");
    menu->addSeparator();

    addLink(menu, "Join Club Zibbles Now!!!", store, "club");
    addLink(menu, "Zibbles Web Site", store, "website");
    addLink(menu, "Make a Donation", store, "donate");
    menu->addSeparator();
    addLink(menu, "Check For Updates", store, "update");
}

} // namespace zibbles

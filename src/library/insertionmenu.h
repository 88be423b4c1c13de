#pragma once
// The insertion menu: the script commands and the emotes and gestures of
// There, grouped in submenus; choosing an item types its caption into the
// editor.
#include <span>
#include <string_view>

class QAction;
class QMenu;
class QWidget;

namespace zibbles {

class ZibbleEditor;

struct InsertionEntry {
    enum Kind { Item, Separator, Submenu, EndSubmenu };
    Kind kind;
    std::string_view text; // the item's caption, or the submenu's
};

// The whole menu in order, each submenu opened and closed in line.
std::span<const InsertionEntry> insertionEntries();

// A new menu built from the table, owned by `parent`; its items insert into
// `editor`.
QMenu *buildInsertionMenu(ZibbleEditor *editor, QWidget *parent);

// Focuses the editor and replaces its selection (or inserts at the caret)
// with the item's caption, less an accelerator mark the menu may have added.
void InsertMenuText(ZibbleEditor *editor, const QAction *item);

} // namespace zibbles

#include "insertionmenu.h"

#include "zibbleeditor.h"

#include <QAction>
#include <QMenu>

#include <vector>

namespace zibbles {

namespace {
QString caption(std::string_view text)
{
    return QString::fromLatin1(text.data(), qsizetype(text.size()));
}
} // namespace

QMenu *buildInsertionMenu(ZibbleEditor *editor, QWidget *parent)
{
    auto *root = new QMenu(parent);
    std::vector<QMenu *> open{root};
    for (const InsertionEntry &entry : insertionEntries()) {
        QMenu *menu = open.back();
        switch (entry.kind) {
        case InsertionEntry::Item: {
            QAction *action = menu->addAction(caption(entry.text));
            QObject::connect(action, &QAction::triggered, editor, [editor, action] { InsertMenuText(editor, action); });
            break;
        }
        case InsertionEntry::Separator:
            menu->addSeparator();
            break;
        case InsertionEntry::Submenu:
            open.push_back(menu->addMenu(caption(entry.text)));
            break;
        case InsertionEntry::EndSubmenu:
            open.pop_back();
            break;
        }
    }
    return root;
}

void InsertMenuText(ZibbleEditor *editor, const QAction *item)
{
    editor->setFocus();
    QString text = item->text();
    // Some desktops add an accelerator mark to menu captions; none of ours has one.
    if (const qsizetype mark = text.indexOf(QLatin1Char('&')); mark >= 0)
        text.remove(mark, 1);
    editor->replaceSelectionBytes(text.toLatin1().toStdString());
}

} // namespace zibbles

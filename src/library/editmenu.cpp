#include "editmenu.h"

#include <Qsci/qsciscintilla.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>

namespace zibbles {

QMenu *createEditMenu(QsciScintilla *editor, QWidget *parent)
{
    auto *menu = new QMenu(parent);
    const bool selected = editor->hasSelectedText();
    const bool canPaste = !editor->isReadOnly() && !QGuiApplication::clipboard()->text().isEmpty();

    menu->addAction(QStringLiteral("&Undo"), editor, &QsciScintilla::undo)->setEnabled(editor->isUndoAvailable());
    menu->addAction(QStringLiteral("&Redo"), editor, &QsciScintilla::redo)->setEnabled(editor->isRedoAvailable());
    menu->addSeparator();
    menu->addAction(QStringLiteral("Cu&t"), editor, &QsciScintilla::cut)->setEnabled(selected && !editor->isReadOnly());
    menu->addAction(QStringLiteral("&Copy"), editor, &QsciScintilla::copy)->setEnabled(selected);
    menu->addAction(QStringLiteral("&Paste"), editor, &QsciScintilla::paste)->setEnabled(canPaste);
    menu->addSeparator();
    menu->addAction(QStringLiteral("&Select all"), editor, [editor] { editor->selectAll(true); })
        ->setEnabled(editor->length() > 0);
    return menu;
}

} // namespace zibbles

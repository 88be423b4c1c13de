#pragma once
// The editor's own right-click menu: undo, redo and the clipboard, each item
// enabled only when it can act.
class QMenu;
class QWidget;
class QsciScintilla;

namespace zibbles {

// A new menu acting on `editor`, its items enabled for the editor's state at
// this moment; the caller owns it.
QMenu *createEditMenu(QsciScintilla *editor, QWidget *parent);

} // namespace zibbles

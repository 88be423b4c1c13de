#pragma once
// The script editor's fixed settings: font, scrolling, margins, caret,
// selection, word separators and the colouring lexer.
#include <QFont>

class QsciScintilla;

namespace zibbles {

// "Courier New" at 8 points (11 pixels at 96 dots per inch), or the closest
// installed fixed-pitch face.
QFont editorFont();

// The characters that end a word besides white space.
inline constexpr const char *kWordSeparators = "$%&,./:;<=>";

// Applies every setting and gives the editor a ZibbleLexer that it owns.
void applyEditorSettings(QsciScintilla &editor);

} // namespace zibbles

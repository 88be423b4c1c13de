#pragma once
// The script editor: a QScintilla control that holds the zibble's bytes
// exactly (8-bit text, no conversion) with CR LF line breaks.
#include <Qsci/qsciscintilla.h>

#include <string>

namespace zibbles {

class ZibbleEditor : public QsciScintilla {
    Q_OBJECT
public:
    explicit ZibbleEditor(QWidget *parent = nullptr);

    // The whole text, byte for byte.
    std::string textBytes() const;
    // Replaces the whole text; line breaks become CR LF, no other byte changes.
    // Counts as an edit (textChanged is emitted) and empties the undo history.
    void setTextBytes(const std::string &bytes);
    // Puts `line` and CR LF in front of the first character.
    void insertFirstLine(const std::string &line);
};

} // namespace zibbles

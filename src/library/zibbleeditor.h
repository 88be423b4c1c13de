#pragma once
// The script editor: a QScintilla control that holds the zibble's bytes
// exactly (8-bit text, no conversion) with CR LF line breaks, colours the
// script commands and reports clicks on coloured text.
#include <Qsci/qsciscintilla.h>

#include <optional>
#include <string>

namespace zibbles {

// Text drawn by a highlighting rule, by document offsets [start, stop).
struct ColouredSpan {
    int rule;
    int context;
    long start;
    long stop;
};

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
    // Replaces the selection with `text`, or inserts it at the caret.
    void replaceSelectionBytes(const std::string &text);

    // The coloured span under a point of the viewport, if any.
    std::optional<ColouredSpan> colouredSpanAt(const QPoint &viewportPoint) const;
    // The viewport row of the dotted end-of-text line.
    int endMarkY() const;

signals:
    // A mouse button was released over coloured text without dragging a
    // selection, or the right button was released over it.
    void colouredTextClicked(int context, long start, long stop);

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
    // The horizontal bar shows only while some line is wider than the editor:
    // after every change the scroll width becomes that of the widest line.
    void fitScrollWidth();
    void contextMenuEvent(QContextMenuEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
};

} // namespace zibbles

#pragma once
// A shown script editor for widget tests, with helpers that find offsets of
// text and the viewport points over them.
#include "library/zibbleeditor.h"

#include <QTest>

#include <string>

namespace zibbles::testing {

// The middle of the character at `offset`, in viewport coordinates.
inline QPoint pointOfOffset(const ZibbleEditor &editor, long offset)
{
    const long x = editor.SendScintilla(QsciScintillaBase::SCI_POINTXFROMPOSITION, 0UL, offset);
    const long y = editor.SendScintilla(QsciScintillaBase::SCI_POINTYFROMPOSITION, 0UL, offset);
    const long next = editor.SendScintilla(QsciScintillaBase::SCI_POINTXFROMPOSITION, 0UL, offset + 1);
    const long height = editor.SendScintilla(QsciScintillaBase::SCI_TEXTHEIGHT, 0UL);
    return QPoint(int((x + next) / 2), int(y + height / 2));
}

class ShownEditor {
public:
    ShownEditor()
    {
        editor.resize(393, 257);
        editor.show();
        editor.activateWindow();
        QCoreApplication::processEvents();
    }

    // Loads the text and colours all of it at once.
    void load(const std::string &text)
    {
        editor.setTextBytes(text);
        editor.SendScintilla(QsciScintillaBase::SCI_COLOURISE, 0UL, -1L);
    }
    std::string text() const { return editor.textBytes(); }
    long offsetOf(const std::string &needle, size_t nth = 0) const
    {
        const std::string all = text();
        size_t at = all.find(needle);
        while (nth-- > 0 && at != std::string::npos)
            at = all.find(needle, at + 1);
        return at == std::string::npos ? -1 : long(at);
    }
    QPoint pointOf(long offset) const { return pointOfOffset(editor, offset); }
    long send(unsigned int message, unsigned long wParam = 0, long lParam = 0) const
    {
        return editor.SendScintilla(message, wParam, lParam);
    }

    ZibbleEditor editor;
};

} // namespace zibbles::testing

#include "editorsettings.h"

#include "fontchoice.h"
#include "highlightrules.h"
#include "zibblelexer.h"

#include <Qsci/qsciscintilla.h>

#include <QPalette>

#include <cstdint>
#include <cstring>
#include <string>

namespace zibbles {

namespace {

constexpr int kLeftMargin = 15;
const QColor kStrikeOutColor(255, 0, 0);

// Every printable byte that is not a separator, so a word runs up to the next
// blank or separator ("%delay" holds the word "delay").
std::string wordCharacters()
{
    std::string chars;
    for (int c = 0x21; c <= 0xff; ++c)
        if (!std::strchr(kWordSeparators, c))
            chars += char(c);
    return chars;
}

void applyLexer(QsciScintilla &editor, const QFont &font)
{
    auto *lexer = new ZibbleLexer(font, &editor);
    editor.setLexer(lexer);
    for (const HighlightRule &rule : highlightRules())
        editor.SendScintilla(QsciScintillaBase::SCI_STYLESETHOTSPOT, rule.number, rule.handCursor);
    // The hand cursor is the only sign of a hot spot: no underline, no colour change.
    editor.SendScintilla(QsciScintillaBase::SCI_SETHOTSPOTACTIVEUNDERLINE, 0L);
    editor.SendScintilla(QsciScintillaBase::SCI_SETHOTSPOTSINGLELINE, 1L);
    editor.indicatorDefine(QsciScintilla::StrikeIndicator, kStrikeOutIndicator);
    editor.setIndicatorForegroundColor(kStrikeOutColor, kStrikeOutIndicator);
}

} // namespace

QFont editorFont()
{
    return installedFont({QStringLiteral("Courier New"), QStringLiteral("Liberation Mono"),
                          QStringLiteral("Cousine"), QStringLiteral("DejaVu Sans Mono")},
                         QFont::TypeWriter, 8);
}

void applyEditorSettings(QsciScintilla &editor)
{
    const QFont font = editorFont();
    editor.setFont(font);
    applyLexer(editor, font);

    editor.setWrapMode(QsciScintilla::WrapNone);
    // No horizontal bar until a line is wider than the editor; the editor
    // measures its lines after each change (tracking would only ever widen).
    editor.SendScintilla(QsciScintillaBase::SCI_SETSCROLLWIDTH, 1L);
    editor.SendScintilla(QsciScintillaBase::SCI_SETSCROLLWIDTHTRACKING, 0L);

    for (int margin = 0; margin < editor.margins(); ++margin)
        editor.setMarginWidth(margin, 0);
    editor.SendScintilla(QsciScintillaBase::SCI_SETMARGINLEFT, 0UL, long(kLeftMargin));

    editor.setCaretWidth(1);
    editor.setOverwriteMode(false);

    const QPalette palette = editor.palette();
    editor.setSelectionBackgroundColor(palette.color(QPalette::Active, QPalette::Highlight));
    editor.setSelectionForegroundColor(palette.color(QPalette::Active, QPalette::HighlightedText));
    // Alt and drag, or Alt+Shift and the arrow keys, select a block.
    editor.SendScintilla(QsciScintillaBase::SCI_SETRECTANGULARSELECTIONMODIFIER,
                         long(QsciScintillaBase::SCMOD_ALT));
    editor.SendScintilla(QsciScintillaBase::SCI_SETMOUSESELECTIONRECTANGULARSWITCH, 1L);

    const std::string words = wordCharacters();
    // wParam as uintptr_t picks the overload for a string; where unsigned long
    // is 32 bits (Windows), 0UL would match the one for a QColor as well.
    editor.SendScintilla(QsciScintillaBase::SCI_SETWORDCHARS, uintptr_t(0), words.c_str());
}

} // namespace zibbles

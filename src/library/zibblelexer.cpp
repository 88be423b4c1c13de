#include "zibblelexer.h"

#include "highlightrules.h"

#include <Qsci/qsciscintilla.h>

#include <QPalette>

#include <string_view>

namespace zibbles {

ZibbleLexer::ZibbleLexer(const QFont &font, QObject *parent) : QsciLexerCustom(parent), m_font(font)
{
}

const char *ZibbleLexer::language() const
{
    return "Zibbles";
}

QString ZibbleLexer::description(int style) const
{
    if (style == 0)
        return QStringLiteral("Text");
    if (const HighlightRule *rule = ruleForStyle(style))
        return QString::fromLatin1(rule->start.data(), qsizetype(rule->start.size()));
    return {};
}

QColor ZibbleLexer::defaultColor(int style) const
{
    if (const HighlightRule *rule = ruleForStyle(style))
        return QColor(rule->text);
    return QPalette().color(QPalette::Active, QPalette::WindowText);
}

QColor ZibbleLexer::defaultPaper(int style) const
{
    const HighlightRule *rule = ruleForStyle(style);
    if (rule && rule->ownBackground)
        return QColor(rule->background);
    return QPalette().color(QPalette::Active, QPalette::Base);
}

QFont ZibbleLexer::defaultFont(int) const
{
    // Every rule keeps the editor's font; strike-out is an indicator, since
    // the control's styles cannot strike text out themselves.
    return m_font;
}

void ZibbleLexer::styleText(int start, int end)
{
    QsciScintilla *ed = editor();
    if (!ed)
        return;
    const long first = ed->SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION, long(start));
    const long last = ed->SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION, long(end));
    for (long line = first; line <= last; ++line)
        styleLine(line);
}

void ZibbleLexer::styleLine(long line)
{
    QsciScintilla *ed = editor();
    const LineBytes bytes = lineBytes(*ed, line);
    const long next = ed->SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, line + 1);

    ed->SendScintilla(QsciScintillaBase::SCI_SETINDICATORCURRENT, kStrikeOutIndicator);
    ed->SendScintilla(QsciScintillaBase::SCI_INDICATORCLEARRANGE, bytes.begin, next - bytes.begin);
    startStyling(int(bytes.begin));
    size_t done = 0;
    for (const RuleSpan &span : findRuleSpans(bytes.text)) {
        setStyling(int(span.start - done), 0);
        setStyling(int(span.stop - span.start), span.rule);
        if (ruleForStyle(span.rule)->strikeOut)
            ed->SendScintilla(QsciScintillaBase::SCI_INDICATORFILLRANGE, bytes.begin + long(span.start),
                              long(span.stop - span.start));
        done = span.stop;
    }
    // The rest of the line and its line break are plain.
    setStyling(int(next - bytes.begin - long(done)), 0);
}

LineBytes lineBytes(const QsciScintillaBase &editor, long line)
{
    const long begin = editor.SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, line);
    const long end = editor.SendScintilla(QsciScintillaBase::SCI_GETLINEENDPOSITION, line);
    const auto *text = reinterpret_cast<const char *>(
        editor.SendScintilla(QsciScintillaBase::SCI_GETRANGEPOINTER, begin, end - begin));
    return {begin, std::string_view(text ? text : "", size_t(end - begin))};
}

} // namespace zibbles

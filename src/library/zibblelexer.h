#pragma once
// Colours the script commands as the editor's text changes: each span found
// by the highlighting rules is drawn in the style of its rule, and the spans
// of struck-out rules also carry the strike-out indicator.
#include <Qsci/qscilexercustom.h>

#include <string_view>

class QsciScintillaBase;

namespace zibbles {

// One line of the editor's text without its line break, and where it begins.
struct LineBytes {
    long begin;
    std::string_view text;
};
LineBytes lineBytes(const QsciScintillaBase &editor, long line);

// The editor indicator that draws the line through struck-out commands.
inline constexpr int kStrikeOutIndicator = 8;

class ZibbleLexer : public QsciLexerCustom {
    Q_OBJECT
public:
    explicit ZibbleLexer(const QFont &font, QObject *parent = nullptr);

    const char *language() const override;
    QString description(int style) const override;
    QColor defaultColor(int style) const override;
    QColor defaultPaper(int style) const override;
    QFont defaultFont(int style) const override;
    bool caseSensitive() const override { return false; }

    void styleText(int start, int end) override;

private:
    void styleLine(long line);

    QFont m_font;
};

} // namespace zibbles

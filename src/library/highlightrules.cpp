#include "highlightrules.h"

#include <optional>

namespace zibbles {

namespace {

constexpr QRgb kBlack = qRgb(0, 0, 0);
constexpr QRgb kGrey = qRgb(128, 128, 128);
constexpr QRgb kRed = qRgb(255, 0, 0);
constexpr QRgb kYellow = qRgb(255, 255, 0);
constexpr QRgb kLightYellow = qRgb(255, 255, 128);

// A command with a space in front of it is not a command to the runner: it is
// drawn struck out, red on yellow, and clicking it explains why (context 5).
const std::array<HighlightRule, kRuleCount> kRules{{
    // number, start, stop, keyword, exactCase, text, ownBackground, background, strikeOut, context, hand
    {1, "%loop_zibble%", "", true, true, kBlack, true, kYellow, false, 1, false},
    {2, "#", "", false, false, kGrey, false, 0, false, 1, false},
    {3, "%MEDIA=\"", "\"", false, false, kBlack, true, kLightYellow, false, 1, false},
    {4, " %MEDIA=\"", "\"", false, false, kRed, true, kYellow, true, kMisplacedCommandContext, true},
    {5, "%DELAY=\"", "\"", false, false, kBlack, true, kYellow, false, 1, false},
    {6, " %DELAY=\"", "\"", false, false, kRed, true, kYellow, true, kMisplacedCommandContext, true},
    {7, "%DELAY=\"", "\"%", false, false, kBlack, true, kYellow, false, 1, false},
    {8, "%MEDIA=\"", "\"%", false, false, kBlack, true, kYellow, false, 1, false},
}};

// Where two rules open with the same text, the one that closes the whole
// command (at "%) is tried first, so a complete media or delay command is
// drawn on yellow and one that ends at its quote on light yellow.
constexpr std::array<int, kRuleCount> kPreference{1, 2, 4, 6, 8, 7, 3, 5};

char folded(char c, bool exactCase)
{
    return (!exactCase && c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

bool matchesAt(std::string_view line, size_t pos, std::string_view text, bool exactCase)
{
    if (line.size() - pos < text.size())
        return false;
    for (size_t i = 0; i < text.size(); ++i)
        if (folded(line[pos + i], exactCase) != folded(text[i], exactCase))
            return false;
    return true;
}

size_t find(std::string_view line, size_t from, std::string_view text, bool exactCase)
{
    for (size_t pos = from; pos + text.size() <= line.size(); ++pos)
        if (matchesAt(line, pos, text, exactCase))
            return pos;
    return std::string_view::npos;
}

// The span of `rule` opening at `pos`, if its stop text (when it has one)
// follows on the line.
std::optional<RuleSpan> closedSpan(const HighlightRule &rule, std::string_view line, size_t pos)
{
    const size_t afterStart = pos + rule.start.size();
    if (rule.keyword)
        return RuleSpan{rule.number, pos, afterStart};
    if (rule.stop.empty())
        return RuleSpan{rule.number, pos, line.size()};
    const size_t stopAt = find(line, afterStart, rule.stop, rule.exactCase);
    if (stopAt == std::string_view::npos)
        return std::nullopt;
    return RuleSpan{rule.number, pos, stopAt + rule.stop.size()};
}

std::optional<RuleSpan> spanAt(std::string_view line, size_t pos)
{
    const HighlightRule *unclosed = nullptr;
    for (int number : kPreference) {
        const HighlightRule &rule = kRules[size_t(number - 1)];
        if (!matchesAt(line, pos, rule.start, rule.exactCase))
            continue;
        if (auto span = closedSpan(rule, line, pos))
            return span;
        if (!unclosed)
            unclosed = &rule;
    }
    if (unclosed)
        return RuleSpan{unclosed->number, pos, line.size()};
    return std::nullopt;
}

} // namespace

const std::array<HighlightRule, kRuleCount> &highlightRules()
{
    return kRules;
}

const HighlightRule *ruleForStyle(int style)
{
    return style >= 1 && style <= kRuleCount ? &kRules[size_t(style - 1)] : nullptr;
}

std::vector<RuleSpan> findRuleSpans(std::string_view line)
{
    std::vector<RuleSpan> spans;
    size_t pos = 0;
    while (pos < line.size()) {
        if (auto span = spanAt(line, pos)) {
            spans.push_back(*span);
            pos = span->stop;
        } else {
            ++pos;
        }
    }
    return spans;
}

} // namespace zibbles

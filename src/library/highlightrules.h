#pragma once
// The colouring rules of the script editor and the matcher that finds their
// spans in one line of text. A rule's number is also its editor style.
#include <QRgb>

#include <array>
#include <string_view>
#include <vector>

namespace zibbles {

struct HighlightRule {
    int number;              // 1..8, also the style the span is drawn in
    std::string_view start;  // the text that opens the span
    std::string_view stop;   // the text that closes it; empty: end of line
    bool keyword;            // the span is the start text alone
    bool exactCase;          // else start and stop match in any letter case
    QRgb text;
    bool ownBackground;      // false: the editor's background shows through
    QRgb background;
    bool strikeOut;
    int context;             // reported when the span is clicked
    bool handCursor;
};

inline constexpr int kRuleCount = 8;
// The context of a command that has a space in front of it.
inline constexpr int kMisplacedCommandContext = 5;
const std::array<HighlightRule, kRuleCount> &highlightRules();
// The rule drawn in `style`, or nullptr for plain text.
const HighlightRule *ruleForStyle(int style);

struct RuleSpan {
    int rule;
    size_t start; // offsets into the line, [start, stop)
    size_t stop;
};

// The spans of one line (without its line break), left to right, never
// overlapping. A span whose stop text is missing runs to the end of the line.
std::vector<RuleSpan> findRuleSpans(std::string_view line);

} // namespace zibbles

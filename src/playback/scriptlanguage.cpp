#include "scriptlanguage.h"

#include <string_view>

namespace zibbles {

namespace {

constexpr std::string_view kDelay = "%delay=\"";
constexpr std::string_view kMedia = "%media=\"";
constexpr std::string_view kLoop = "%loop_zibble%";

bool startsWith(const std::string &line, std::string_view prefix)
{
    return std::string_view(line).substr(0, prefix.size()) == prefix;
}

int digitValue(char c, int base)
{
    int v = 99;
    if (c >= '0' && c <= '9')
        v = c - '0';
    else if (c >= 'a' && c <= 'f')
        v = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F')
        v = c - 'A' + 10;
    return v < base ? v : -1;
}

} // namespace

LineKind lineKind(const std::string &line)
{
    if (startsWith(line, kDelay))
        return LineKind::Delay;
    if (startsWith(line, kMedia))
        return LineKind::Media;
    if (startsWith(line, "#"))
        return LineKind::Comment;
    if (startsWith(line, kLoop))
        return LineKind::LoopMarker;
    return LineKind::Chat;
}

std::optional<std::string> commandArgument(const std::string &line)
{
    // Both commands open with eight characters; the value ends at a quote.
    const std::string rest = line.size() > kDelay.size() ? line.substr(kDelay.size()) : std::string();
    const size_t quote = rest.find('"');
    if (quote == std::string::npos)
        return std::nullopt;
    return rest.substr(0, quote);
}

int32_t readDelayValue(const std::string &text)
{
    std::string_view s(text);
    while (!s.empty() && s.front() == ' ')
        s.remove_prefix(1);
    bool negative = false;
    if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
        negative = s.front() == '-';
        s.remove_prefix(1);
    }
    int base = 10;
    if (!s.empty() && (s.front() == '$' || s.front() == 'x' || s.front() == 'X')) {
        base = 16;
        s.remove_prefix(1);
    } else if (s.size() >= 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        base = 16;
        s.remove_prefix(2);
    }
    if (s.empty())
        return 0;
    // Magnitude limit of a 32-bit signed number in this direction.
    const int64_t limit = negative ? 2147483648LL : 2147483647LL;
    int64_t value = 0;
    for (const char c : s) {
        const int digit = digitValue(c, base);
        if (digit < 0)
            return 0;
        value = value * base + digit;
        if (value > limit)
            return 0;
    }
    return static_cast<int32_t>(negative ? -value : value);
}

} // namespace zibbles

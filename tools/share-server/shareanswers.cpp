#include "shareanswers.h"

namespace {

const char *const kNotFound = "!Failed!";

} // namespace

std::optional<ZibbleId> parseZibbleId(const std::string &letter, const std::string &number)
{
    if (letter.size() != 1 || !((letter[0] >= 'A' && letter[0] <= 'Z') || (letter[0] >= 'a' && letter[0] <= 'z')))
        return std::nullopt;
    if (number.empty() || number.size() > 10 || number.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    const int64_t value = std::stoll(number);
    if (value <= 100)
        return std::nullopt;
    return ZibbleId{char(letter[0] & ~0x20), value};
}

Answer LiveShareAnswers::upload(const std::optional<std::string> &zibble)
{
    if (!zibble)
        return {400, "missing zibblef"};
    if (zibble->size() > kMaxZibbleBytes)
        return zibbleTooLarge();
    const auto id = m_store.add(*zibble);
    if (!id)
        return {507, "store full"};
    return {200, id->text()};
}

Answer LiveShareAnswers::zibbleTooLarge()
{
    return {413, "too large"};
}

Answer LiveShareAnswers::download(const std::optional<std::string> &letter, const std::optional<std::string> &number)
{
    const auto id = parseZibbleId(letter.value_or(""), number.value_or(""));
    const auto text = id ? m_store.find(*id) : std::nullopt;
    return {200, text ? *text : std::string(kNotFound)};
}

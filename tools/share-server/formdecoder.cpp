#include "formdecoder.h"

#include <algorithm>

namespace {

// No wanted name is longer; a longer key is of no interest.
constexpr size_t kMaxKeyBytes = 32;

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

} // namespace

void FormDecoder::want(std::string name, size_t limit)
{
    m_fields.push_back(Field{std::move(name), limit, std::nullopt, false});
    m_field = nullptr;
}

void FormDecoder::feed(std::string_view bytes)
{
    for (const char c : bytes) {
        if (m_escape.empty()) {
            take(c);
            continue;
        }
        m_escape += c;
        if (hexValue(c) >= 0) {
            if (m_escape.size() == 3) {
                emit(char(hexValue(m_escape[1]) * 16 + hexValue(m_escape[2])));
                m_escape.clear();
            }
            continue;
        }
        // No escape after all: "%" and a digit stand as they are, and the
        // byte that ended it counts as itself.
        const std::string held = std::move(m_escape);
        m_escape.clear();
        for (size_t i = 0; i + 1 < held.size(); ++i)
            emit(held[i]);
        take(held.back());
    }
}

void FormDecoder::finish()
{
    const std::string held = std::move(m_escape);
    m_escape.clear();
    for (const char c : held)
        emit(c);
    endField();
}

void FormDecoder::take(char c)
{
    if (c == '%')
        m_escape.assign(1, '%');
    else if (c == '&')
        endField();
    else if (c == '=' && m_inKey)
        startValue();
    else
        emit(c == '+' ? ' ' : c);
}

void FormDecoder::emit(char c)
{
    if (m_inKey) {
        if (m_key.size() <= kMaxKeyBytes)
            m_key += c;
        return;
    }
    if (!m_field)
        return;
    if (m_field->value->size() < m_field->limit)
        *m_field->value += c;
    else
        m_field->over = true;
}

void FormDecoder::startValue()
{
    m_inKey = false;
    const auto field = std::find_if(m_fields.begin(), m_fields.end(),
                                    [this](const Field &f) { return f.name == m_key && !f.value; });
    m_field = field == m_fields.end() ? nullptr : &*field;
    if (m_field)
        m_field->value.emplace();
}

void FormDecoder::endField()
{
    // A field without "=" has an empty value.
    if (m_inKey && !m_key.empty())
        startValue();
    m_inKey = true;
    m_key.clear();
    m_field = nullptr;
}

std::optional<std::string> FormDecoder::value(std::string_view name) const
{
    const auto field =
        std::find_if(m_fields.begin(), m_fields.end(), [name](const Field &f) { return f.name == name; });
    return field == m_fields.end() ? std::nullopt : field->value;
}

bool FormDecoder::overLimit() const
{
    return std::any_of(m_fields.begin(), m_fields.end(), [](const Field &f) { return f.over; });
}

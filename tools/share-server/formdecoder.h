#pragma once
// Decodes an application/x-www-form-urlencoded text (an upload's body or a
// download's query) as it arrives, keeping only the fields asked for, each
// up to its own number of decoded bytes. "+" is a blank, "%XX" a byte; a
// "%" without two hexadecimal digits stands for itself.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class FormDecoder {
public:
    // Keeps the first value of the field `name`, at most `limit` bytes of it.
    void want(std::string name, size_t limit);
    void feed(std::string_view bytes);
    // The end of the text: a field still open is complete.
    void finish();

    // The decoded value; nothing when the text had no such field.
    std::optional<std::string> value(std::string_view name) const;
    // Whether a wanted field was longer than its limit (its value is cut).
    bool overLimit() const;

private:
    struct Field {
        std::string name;
        size_t limit = 0;
        std::optional<std::string> value;
        bool over = false;
    };
    void take(char c);
    void emit(char c);
    void startValue();
    void endField();

    std::vector<Field> m_fields;
    bool m_inKey = true;
    std::string m_key;
    Field *m_field = nullptr;
    // A "%" and the hexadecimal digit after it while the next one is awaited.
    std::string m_escape;
};

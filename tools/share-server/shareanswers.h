#pragma once
// What the live-share server answers: an upload gets the new ID as the whole
// body; a download gets the zibble's text, or "!Failed!" for an unknown ID.
#include "zibblestore.h"

#include <optional>
#include <string>

// The largest zibble taken, counted in its own bytes (after form decoding).
constexpr size_t kMaxZibbleBytes = 64 * 1024;

struct Answer {
    int status = 200;
    std::string body;
};

// A letter (either case) and a decimal number above 100; nothing otherwise.
std::optional<ZibbleId> parseZibbleId(const std::string &letter, const std::string &number);

class LiveShareAnswers {
public:
    explicit LiveShareAnswers(ZibbleStore &store) : m_store(store) {}

    // The form's "zibblef" field; nothing when the form has none.
    Answer upload(const std::optional<std::string> &zibble);
    static Answer zibbleTooLarge();
    // The query's "c" and "id" fields.
    Answer download(const std::optional<std::string> &letter, const std::optional<std::string> &number);

private:
    ZibbleStore &m_store;
};

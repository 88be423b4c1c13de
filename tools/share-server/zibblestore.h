#pragma once
// The live-share server's zibbles, kept in one SQLite file: each under an ID
// of a letter and a number above 100, such as "K-4711". Used from one thread.
#include <cstdint>
#include <optional>
#include <random>
#include <string>

struct sqlite3;

struct ZibbleId {
    char letter = 'A';
    int64_t number = 0;
    std::string text() const { return std::string(1, letter) + "-" + std::to_string(number); }
};

class ZibbleStore {
public:
    // Opens or creates the file; throws std::runtime_error when it cannot.
    ZibbleStore(const std::string &path, int64_t maxTotalBytes);
    ~ZibbleStore();
    ZibbleStore(const ZibbleStore &) = delete;
    ZibbleStore &operator=(const ZibbleStore &) = delete;

    // Stores the text under a fresh ID once it is on disk; nothing when the
    // text does not fit, and nothing for any text (an empty one too) once
    // the store holds its maximum.
    std::optional<ZibbleId> add(const std::string &text);
    std::optional<std::string> find(const ZibbleId &id);

private:
    void exec(const char *sql);
    int64_t storedBytes();

    sqlite3 *m_db = nullptr;
    int64_t m_maxTotalBytes;
    int64_t m_totalBytes = 0;
    std::mt19937_64 m_random;
};

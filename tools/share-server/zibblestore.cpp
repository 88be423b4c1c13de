#include "zibblestore.h"

#include <sqlite3.h>

#include <stdexcept>

namespace {

// One prepared statement, finalized on every way out.
class Statement {
public:
    Statement(sqlite3 *db, const char *sql)
    {
        if (sqlite3_prepare_v2(db, sql, -1, &m_stmt, nullptr) != SQLITE_OK)
            throw std::runtime_error(sqlite3_errmsg(db));
    }
    ~Statement() { sqlite3_finalize(m_stmt); }
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;
    sqlite3_stmt *get() const { return m_stmt; }

private:
    sqlite3_stmt *m_stmt = nullptr;
};

constexpr int64_t kFirstNumber = 101;
constexpr int64_t kLastNumber = 999999;
constexpr int kTries = 64;

} // namespace

ZibbleStore::ZibbleStore(const std::string &path, int64_t maxTotalBytes)
    : m_maxTotalBytes(maxTotalBytes), m_random(std::random_device{}())
{
    if (sqlite3_open(path.c_str(), &m_db) != SQLITE_OK) {
        const std::string why = m_db ? sqlite3_errmsg(m_db) : "out of memory";
        sqlite3_close(m_db);
        throw std::runtime_error("cannot open " + path + ": " + why);
    }
    try {
        exec("PRAGMA journal_mode=WAL");
        exec("CREATE TABLE IF NOT EXISTS zibbles ("
             " letter TEXT NOT NULL, number INTEGER NOT NULL, body BLOB NOT NULL,"
             " created INTEGER NOT NULL DEFAULT (strftime('%s','now')),"
             " PRIMARY KEY (letter, number))");
        m_totalBytes = storedBytes();
    } catch (...) {
        sqlite3_close(m_db);
        throw;
    }
}

ZibbleStore::~ZibbleStore()
{
    sqlite3_close(m_db);
}

void ZibbleStore::exec(const char *sql)
{
    char *error = nullptr;
    if (sqlite3_exec(m_db, sql, nullptr, nullptr, &error) != SQLITE_OK) {
        const std::string why = error ? error : "unknown error";
        sqlite3_free(error);
        throw std::runtime_error(why);
    }
}

int64_t ZibbleStore::storedBytes()
{
    Statement sum(m_db, "SELECT COALESCE(SUM(LENGTH(body)), 0) FROM zibbles");
    return sqlite3_step(sum.get()) == SQLITE_ROW ? sqlite3_column_int64(sum.get(), 0) : 0;
}

std::optional<ZibbleId> ZibbleStore::add(const std::string &text)
{
    if (m_totalBytes >= m_maxTotalBytes || int64_t(text.size()) > m_maxTotalBytes - m_totalBytes)
        return std::nullopt;
    std::uniform_int_distribution<int> letters(0, 25);
    std::uniform_int_distribution<int64_t> numbers(kFirstNumber, kLastNumber);
    Statement insert(m_db, "INSERT OR IGNORE INTO zibbles (letter, number, body) VALUES (?1, ?2, ?3)");
    for (int attempt = 0; attempt < kTries; ++attempt) {
        const ZibbleId id{char('A' + letters(m_random)), numbers(m_random)};
        const std::string letter(1, id.letter);
        sqlite3_reset(insert.get());
        sqlite3_bind_text(insert.get(), 1, letter.c_str(), 1, SQLITE_TRANSIENT);
        sqlite3_bind_int64(insert.get(), 2, id.number);
        sqlite3_bind_blob(insert.get(), 3, text.data(), int(text.size()), SQLITE_TRANSIENT);
        if (sqlite3_step(insert.get()) != SQLITE_DONE)
            throw std::runtime_error(sqlite3_errmsg(m_db));
        if (sqlite3_changes(m_db) == 1) {
            m_totalBytes += int64_t(text.size());
            return id;
        }
    }
    return std::nullopt;
}

std::optional<std::string> ZibbleStore::find(const ZibbleId &id)
{
    Statement select(m_db, "SELECT body FROM zibbles WHERE letter = ?1 AND number = ?2");
    const std::string letter(1, id.letter);
    sqlite3_bind_text(select.get(), 1, letter.c_str(), 1, SQLITE_TRANSIENT);
    sqlite3_bind_int64(select.get(), 2, id.number);
    if (sqlite3_step(select.get()) != SQLITE_ROW)
        return std::nullopt;
    const auto *data = static_cast<const char *>(sqlite3_column_blob(select.get(), 0));
    const int size = sqlite3_column_bytes(select.get(), 0);
    return data ? std::string(data, size_t(size)) : std::string();
}

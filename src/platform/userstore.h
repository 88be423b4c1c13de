#pragma once
// The per-user settings store that stands in for the registry of the current
// user: one registry-export text file, read afresh whenever a key is opened
// (so a hand edit takes effect) and rewritten atomically on every change.
#include "core/regfile.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace zibbles {

class UserStore {
public:
    explicit UserStore(std::string filePath);

    // ${XDG_CONFIG_HOME:-$HOME/.config}/zibbles/user.reg
    static std::string defaultPath();

    const std::string &filePath() const { return m_path; }

    RegDocument load() const;
    // False when the file could not be written. A file that cannot be read
    // or parsed is kept beside it (user.reg.unreadable) before it is first
    // replaced, and never replaced without that copy.
    bool save(const RegDocument &doc);

    // Told the name of the copy each time one has been kept.
    std::function<void(const std::string &copyPath)> onKeptAside;

private:
    // The copy of a file that cannot be read or parsed; empty when none is
    // needed. False when one was needed and could not be made.
    bool keepAsideIfUnreadable(std::string &copyPath, bool &unreadable) const;

    std::string m_path;
};

// One open key, as the registry API of the program's origin offers it.
// Key paths are below HKEY_CURRENT_USER, with or without a leading backslash.
class RegistryKey {
public:
    explicit RegistryKey(UserStore &store) : m_store(store) {}

    bool openKeyReadOnly(const std::string &path); // false when missing
    bool openKey(const std::string &path, bool canCreate);
    // Opens the key for writing without storing anything yet: a missing key
    // is created together with the first values written to it.
    void openKeyForWriting(const std::string &path);
    void closeKey();

    bool valueExists(const std::string &name);
    // "Failed to get data for '%s'" when missing or wider than 4 bytes,
    // "Invalid data type for '%s'" when of another type.
    int32_t readInteger(const std::string &name);
    // A missing or empty value reads as ""; another type raises
    // "Invalid data type for '%s'". Expandable strings are read unexpanded.
    std::string readString(const std::string &name);
    // "Failed to set data for '%s'" when the store cannot be written.
    void writeInteger(const std::string &name, int32_t value);
    void writeString(const std::string &name, const std::string &value);
    // All the values in one atomic write of the store, or none of them: a
    // store that cannot be written raises "Failed to set data for '%s'" with
    // the first one's name.
    void writeValues(std::vector<RegValue> values);

    static RegValue integerValue(const std::string &name, int32_t value);
    static RegValue stringValue(const std::string &name, const std::string &value);

private:
    const RegValue *find(const std::string &name);

    UserStore &m_store;
    std::string m_keyPath; // full path, empty when no key is open
    RegDocument m_doc;
};

} // namespace zibbles

#pragma once
// The per-user settings store that stands in for the registry of the current
// user: one registry-export text file, read afresh whenever a key is opened
// (so a hand edit takes effect) and rewritten atomically on every change.
#include "regfile.h"

#include <cstdint>
#include <string>

namespace zibbles {

class UserStore {
public:
    explicit UserStore(std::string filePath);

    // ${XDG_CONFIG_HOME:-$HOME/.config}/zibbles/user.reg
    static std::string defaultPath();

    const std::string &filePath() const { return m_path; }

    RegDocument load() const;
    // False when the file could not be written. A file that could not be
    // parsed is copied aside before it is first replaced.
    bool save(const RegDocument &doc);

private:
    std::string m_path;
};

// One open key, as the registry API of the program's origin offers it.
// Key paths are below HKEY_CURRENT_USER, with or without a leading backslash.
class RegistryKey {
public:
    explicit RegistryKey(UserStore &store) : m_store(store) {}

    bool openKeyReadOnly(const std::string &path); // false when missing
    bool openKey(const std::string &path, bool canCreate);
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

private:
    const RegValue *find(const std::string &name);
    void write(RegValue value);

    UserStore &m_store;
    std::string m_keyPath; // full path, empty when no key is open
    RegDocument m_doc;
};

} // namespace zibbles

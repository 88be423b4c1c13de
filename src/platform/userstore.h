#pragma once
// The per-user settings store. On Windows it is the registry of the current
// user itself. Elsewhere it stands in for it: one registry-export text file,
// read afresh whenever a key is opened (so a hand edit takes effect) and
// rewritten atomically on every change.
#include "core/regfile.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace zibbles {

// On Windows the path names a key below HKEY_CURRENT_USER that holds the
// keys the callers name (empty: HKEY_CURRENT_USER itself), and the keys of a
// document are those paths below it (HKEY_CURRENT_USER\Software\...).
class UserStore {
public:
    explicit UserStore(std::string filePath);

    // ${XDG_CONFIG_HOME:-$HOME/.config}/zibbles/user.reg; on Windows empty.
    static std::string defaultPath();

    const std::string &filePath() const { return m_path; }

    // On Windows every key below the store's own, with its values.
    RegDocument load() const;
    // False when the file could not be written. A file that cannot be read
    // or parsed is kept beside it (user.reg.unreadable) before it is first
    // replaced, and never replaced without that copy. On Windows the
    // document's keys and values are written over what is there, as a
    // registry import does; other keys and values stay.
    bool save(const RegDocument &doc);

    // Told the name of the copy each time one has been kept (the registry
    // is never kept aside).
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
    explicit RegistryKey(UserStore &store);
    ~RegistryKey(); // closes the key
    RegistryKey(const RegistryKey &) = delete;
    RegistryKey &operator=(const RegistryKey &) = delete;

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
    // the first one's name. The registry takes them one by one: the first
    // that cannot be written raises the error with its name, and those
    // before it stay written.
    void writeValues(std::vector<RegValue> values);

    static RegValue integerValue(const std::string &name, int32_t value);
    static RegValue stringValue(const std::string &name, const std::string &value);

private:
    struct Open; // the key that is open, as the store keeps it
    UserStore &m_store;
    std::unique_ptr<Open> m_open; // none when no key is open
};

} // namespace zibbles

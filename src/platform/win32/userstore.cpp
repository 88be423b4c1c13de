#include "platform/registryrules.h"
#include "platform/userstore.h"

#include "widepath.h"

#include "core/error.h"

#include <QString>

#include <optional>
#include <windows.h>

namespace zibbles {

namespace {

const char *const kHive = "HKEY_CURRENT_USER";

std::string trimBackslashes(std::string path)
{
    while (!path.empty() && path.front() == '\\')
        path.erase(path.begin());
    while (!path.empty() && path.back() == '\\')
        path.pop_back();
    return path;
}

// The key below HKEY_CURRENT_USER that holds `path` of a store kept at `root`.
std::wstring subkeyOf(const std::string &root, const std::string &path)
{
    const std::string r = trimBackslashes(root);
    const std::string p = trimBackslashes(path);
    return widePath(r.empty() || p.empty() ? r + p : r + "\\" + p);
}

std::string utf8(const wchar_t *text, size_t length)
{
    return QString::fromWCharArray(text, static_cast<qsizetype>(length)).toStdString();
}

struct KeyHandle {
    HKEY key = nullptr;
    KeyHandle() = default;
    explicit KeyHandle(HKEY k) : key(k) {}
    ~KeyHandle()
    {
        if (key)
            RegCloseKey(key);
    }
    KeyHandle(const KeyHandle &) = delete;
    KeyHandle &operator=(const KeyHandle &) = delete;
};

HKEY openSubkey(const std::wstring &subkey, REGSAM access, bool canCreate)
{
    HKEY key = nullptr;
    const LSTATUS status =
        canCreate ? RegCreateKeyExW(HKEY_CURRENT_USER, subkey.c_str(), 0, nullptr, 0, access, nullptr, &key, nullptr)
                  : RegOpenKeyExW(HKEY_CURRENT_USER, subkey.c_str(), 0, access, &key);
    return status == ERROR_SUCCESS ? key : nullptr;
}

// A value's type and raw bytes; none when it is missing. The value may grow
// between asking its size and reading it: then ask again.
std::optional<RegValue> queryValue(HKEY key, const std::string &name)
{
    const std::wstring wideName = widePath(name);
    RegValue value{name, REG_NONE, {}};
    DWORD type = REG_NONE, size = 0;
    LSTATUS status = RegQueryValueExW(key, wideName.c_str(), nullptr, &type, nullptr, &size);
    while (status == ERROR_SUCCESS || status == ERROR_MORE_DATA) {
        value.data.resize(size);
        status = RegQueryValueExW(key, wideName.c_str(), nullptr, &type, reinterpret_cast<BYTE *>(value.data.data()),
                                  &size);
        if (status == ERROR_SUCCESS) {
            value.type = type;
            value.data.resize(size);
            return value;
        }
    }
    return std::nullopt;
}

bool setValue(HKEY key, const RegValue &value)
{
    return RegSetValueExW(key, widePath(value.name).c_str(), 0, value.type,
                          reinterpret_cast<const BYTE *>(value.data.data()), static_cast<DWORD>(value.data.size())) ==
           ERROR_SUCCESS;
}

// Every value of `key`, in the registry's order.
std::vector<RegValue> valuesOf(HKEY key)
{
    DWORD nameLength = 0, dataSize = 0;
    RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &nameLength, &dataSize,
                     nullptr, nullptr);
    std::vector<RegValue> values;
    std::wstring name(nameLength + 1, L'\0');
    std::string data(dataSize, '\0');
    for (DWORD i = 0;; ++i) {
        DWORD length = static_cast<DWORD>(name.size()), size = static_cast<DWORD>(data.size()), type = REG_NONE;
        const LSTATUS status = RegEnumValueW(key, i, name.data(), &length, nullptr, &type,
                                             reinterpret_cast<BYTE *>(data.data()), &size);
        if (status == ERROR_MORE_DATA) { // grown meanwhile
            name.resize(name.size() * 2 + 256);
            data.resize(data.size() * 2 + 256);
            --i;
            continue;
        }
        if (status != ERROR_SUCCESS)
            return values;
        values.push_back({utf8(name.data(), length), type, data.substr(0, size)});
    }
}

// The keys below `key` (named `path` in a document), depth first.
void collectKeys(HKEY key, const std::string &path, RegDocument &doc)
{
    wchar_t name[256]; // the longest key name the registry allows, and its NUL
    for (DWORD i = 0;; ++i) {
        DWORD length = 256;
        if (RegEnumKeyExW(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            return;
        const std::wstring childName(name, length);
        const std::string childPath = path + "\\" + utf8(name, length);
        HKEY child = nullptr;
        if (RegOpenKeyExW(key, childName.c_str(), 0, KEY_READ, &child) != ERROR_SUCCESS)
            continue;
        const KeyHandle open(child);
        doc.keys.push_back({childPath, valuesOf(child)});
        collectKeys(child, childPath, doc);
    }
}

} // namespace

struct RegistryKey::Open {
    std::wstring subkey;
    KeyHandle handle; // none while a key opened for writing is not created yet

    std::optional<RegValue> query(const std::string &name) const
    {
        return handle.key ? queryValue(handle.key, name) : std::nullopt;
    }

    // None when the key is missing (and not to be created) or refused.
    static std::unique_ptr<Open> at(std::wstring subkey, REGSAM access, bool canCreate)
    {
        HKEY key = openSubkey(subkey, access, canCreate);
        if (!key)
            return nullptr;
        auto open = std::make_unique<Open>();
        open->subkey = std::move(subkey);
        open->handle.key = key;
        return open;
    }
};

UserStore::UserStore(std::string filePath) : m_path(std::move(filePath)) {}

std::string UserStore::defaultPath()
{
    return {};
}

RegDocument UserStore::load() const
{
    RegDocument doc;
    HKEY root = openSubkey(subkeyOf(m_path, {}), KEY_READ, false);
    if (!root)
        return doc;
    const KeyHandle open(root);
    collectKeys(root, kHive, doc);
    return doc;
}

bool UserStore::save(const RegDocument &doc)
{
    const std::string prefix = std::string(kHive) + "\\";
    for (const RegKey &key : doc.keys) {
        if (!sameRegName(key.path.substr(0, prefix.size()), prefix))
            return false; // only the current user's keys are the store's
        const KeyHandle open(openSubkey(subkeyOf(m_path, key.path.substr(prefix.size())), KEY_WRITE, true));
        if (!open.key)
            return false;
        for (const RegValue &value : key.values)
            if (!setValue(open.key, value))
                return false;
    }
    return true;
}

RegistryKey::RegistryKey(UserStore &store) : m_store(store) {}

RegistryKey::~RegistryKey() = default;

bool RegistryKey::openKeyReadOnly(const std::string &path)
{
    closeKey();
    m_open = Open::at(subkeyOf(m_store.filePath(), path), KEY_READ, false);
    return m_open != nullptr;
}

bool RegistryKey::openKey(const std::string &path, bool canCreate)
{
    closeKey();
    m_open = Open::at(subkeyOf(m_store.filePath(), path), KEY_READ | KEY_WRITE, canCreate);
    return m_open != nullptr;
}

void RegistryKey::openKeyForWriting(const std::string &path)
{
    closeKey();
    m_open = std::make_unique<Open>();
    m_open->subkey = subkeyOf(m_store.filePath(), path);
}

void RegistryKey::closeKey()
{
    m_open.reset();
}

bool RegistryKey::valueExists(const std::string &name)
{
    return m_open && m_open->handle.key &&
           RegQueryValueExW(m_open->handle.key, widePath(name).c_str(), nullptr, nullptr, nullptr, nullptr) ==
               ERROR_SUCCESS;
}

int32_t RegistryKey::readInteger(const std::string &name)
{
    const auto value = m_open ? m_open->query(name) : std::nullopt;
    return integerOf(value ? &*value : nullptr, name);
}

std::string RegistryKey::readString(const std::string &name)
{
    const auto value = m_open ? m_open->query(name) : std::nullopt;
    return stringOf(value ? &*value : nullptr, name);
}

void RegistryKey::writeValues(std::vector<RegValue> values)
{
    if (values.empty())
        return;
    if (m_open && !m_open->handle.key)
        m_open->handle.key = openSubkey(m_open->subkey, KEY_READ | KEY_WRITE, true);
    if (!m_open || !m_open->handle.key)
        throw AppError(formatMessage("Failed to set data for '%s'", values.front().name));
    for (const RegValue &value : values)
        if (!setValue(m_open->handle.key, value))
            throw AppError(formatMessage("Failed to set data for '%s'", value.name));
}

} // namespace zibbles

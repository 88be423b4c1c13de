#include "platform/userstore.h"

#include "platform/atomicfile.h"

#include "core/error.h"

#include <cstdlib>
#include <cstring>

namespace zibbles {

namespace {

std::string fullKeyPath(std::string path)
{
    while (!path.empty() && path.front() == '\\')
        path.erase(path.begin());
    while (!path.empty() && path.back() == '\\')
        path.pop_back();
    return "HKEY_CURRENT_USER\\" + path;
}

// A name beside the store that is not taken yet.
std::string freeCopyName(const std::string &path)
{
    for (int i = 0; i < 1000; ++i) {
        const std::string copy = path + ".unreadable" + (i ? "." + std::to_string(i) : "");
        if (!pathExists(copy))
            return copy;
    }
    return {};
}

} // namespace

UserStore::UserStore(std::string filePath) : m_path(std::move(filePath)) {}

std::string UserStore::defaultPath()
{
    const char *xdg = std::getenv("XDG_CONFIG_HOME");
    std::string base;
    if (xdg && *xdg) {
        base = xdg;
    } else {
        const char *home = std::getenv("HOME");
        base = std::string(home ? home : ".") + "/.config";
    }
    return base + "/zibbles/user.reg";
}

RegDocument UserStore::load() const
{
    const auto text = readWholeFile(m_path);
    return text ? parseRegText(*text) : RegDocument{};
}

bool UserStore::keepAsideIfUnreadable(std::string &copyPath, bool &unreadable) const
{
    const auto old = readWholeFile(m_path);
    unreadable = !old && pathExists(m_path);
    if (!unreadable && (!old || parseRegText(*old).clean))
        return true;
    copyPath = freeCopyName(m_path);
    if (copyPath.empty())
        return false;
    // Bytes that cannot be read are kept under a second name of the file.
    return unreadable ? linkFile(m_path, copyPath) : writeFileAtomically(copyPath, *old);
}

bool UserStore::save(const RegDocument &doc)
{
    std::string copy;
    bool unreadable = false;
    if (!keepAsideIfUnreadable(copy, unreadable))
        return false;
    const auto slash = m_path.rfind('/');
    if (slash != std::string::npos)
        makeFolders(m_path.substr(0, slash));
    // The new file must be readable, whatever the old one was.
    const bool saved = writeFileAtomically(m_path, writeRegText(doc),
                                           unreadable ? std::optional<unsigned>(0600) : std::nullopt);
    if (!copy.empty() && onKeptAside)
        onKeptAside(copy);
    return saved;
}

bool RegistryKey::openKeyReadOnly(const std::string &path)
{
    return openKey(path, false);
}

bool RegistryKey::openKey(const std::string &path, bool canCreate)
{
    closeKey();
    m_doc = m_store.load();
    const std::string full = fullKeyPath(path);
    if (!m_doc.findKey(full)) {
        if (!canCreate)
            return false;
        m_doc.keys.push_back({full, {}});
        if (!m_store.save(m_doc))
            return false;
    }
    m_keyPath = full;
    return true;
}

void RegistryKey::openKeyForWriting(const std::string &path)
{
    closeKey();
    m_doc = m_store.load();
    m_keyPath = fullKeyPath(path);
}

void RegistryKey::closeKey()
{
    m_keyPath.clear();
    m_doc = {};
}

const RegValue *RegistryKey::find(const std::string &name)
{
    RegKey *key = m_keyPath.empty() ? nullptr : m_doc.findKey(m_keyPath);
    return key ? m_doc.findValue(*key, name) : nullptr;
}

bool RegistryKey::valueExists(const std::string &name)
{
    return find(name) != nullptr;
}

int32_t RegistryKey::readInteger(const std::string &name)
{
    const RegValue *v = find(name);
    if (!v || v->data.size() > 4)
        throw AppError(formatMessage("Failed to get data for '%s'", name));
    if (v->type != RegDword)
        throw AppError(formatMessage("Invalid data type for '%s'", name));
    int32_t n = 0;
    std::memcpy(&n, v->data.data(), v->data.size());
    return n;
}

std::string RegistryKey::readString(const std::string &name)
{
    const RegValue *v = find(name);
    if (!v || v->data.empty())
        return {};
    if (v->type != RegSz && v->type != RegExpandSz)
        throw AppError(formatMessage("Invalid data type for '%s'", name));
    return fromRegString(v->data);
}

void RegistryKey::writeValues(std::vector<RegValue> values)
{
    if (values.empty())
        return;
    const std::string first = values.front().name;
    // Another program (or a hand edit) may have changed the file since the
    // key was opened: write on top of what is there now.
    RegDocument fresh = m_store.load();
    RegKey *key = m_keyPath.empty() ? nullptr : fresh.findKey(m_keyPath);
    if (!key && !m_keyPath.empty()) {
        fresh.keys.push_back({m_keyPath, {}});
        key = &fresh.keys.back();
    }
    if (!key)
        throw AppError(formatMessage("Failed to set data for '%s'", first));
    for (RegValue &value : values) {
        if (RegValue *old = fresh.findValue(*key, value.name))
            *old = std::move(value);
        else
            key->values.push_back(std::move(value));
    }
    if (!m_store.save(fresh))
        throw AppError(formatMessage("Failed to set data for '%s'", first));
    m_doc = std::move(fresh);
}

RegValue RegistryKey::integerValue(const std::string &name, int32_t value)
{
    return {name, RegDword, std::string(reinterpret_cast<const char *>(&value), 4)};
}

RegValue RegistryKey::stringValue(const std::string &name, const std::string &value)
{
    return {name, RegSz, toRegString(value)};
}

void RegistryKey::writeInteger(const std::string &name, int32_t value)
{
    writeValues({integerValue(name, value)});
}

void RegistryKey::writeString(const std::string &name, const std::string &value)
{
    writeValues({stringValue(name, value)});
}

} // namespace zibbles

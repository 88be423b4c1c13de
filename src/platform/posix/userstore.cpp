#include "platform/userstore.h"

#include "platform/atomicfile.h"
#include "platform/registryrules.h"

#include "core/error.h"

#include <cstdlib>

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

struct RegistryKey::Open {
    std::string keyPath; // full path
    RegDocument doc;

    const RegValue *find(const std::string &name)
    {
        RegKey *key = doc.findKey(keyPath);
        return key ? doc.findValue(*key, name) : nullptr;
    }
};

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

RegistryKey::RegistryKey(UserStore &store) : m_store(store) {}

RegistryKey::~RegistryKey() = default;

bool RegistryKey::openKeyReadOnly(const std::string &path)
{
    return openKey(path, false);
}

bool RegistryKey::openKey(const std::string &path, bool canCreate)
{
    closeKey();
    auto open = std::make_unique<Open>(Open{fullKeyPath(path), m_store.load()});
    if (!open->doc.findKey(open->keyPath)) {
        if (!canCreate)
            return false;
        open->doc.keys.push_back({open->keyPath, {}});
        if (!m_store.save(open->doc))
            return false;
    }
    m_open = std::move(open);
    return true;
}

void RegistryKey::openKeyForWriting(const std::string &path)
{
    closeKey();
    m_open = std::make_unique<Open>(Open{fullKeyPath(path), m_store.load()});
}

void RegistryKey::closeKey()
{
    m_open.reset();
}

bool RegistryKey::valueExists(const std::string &name)
{
    return m_open && m_open->find(name);
}

int32_t RegistryKey::readInteger(const std::string &name)
{
    return integerOf(m_open ? m_open->find(name) : nullptr, name);
}

std::string RegistryKey::readString(const std::string &name)
{
    return stringOf(m_open ? m_open->find(name) : nullptr, name);
}

void RegistryKey::writeValues(std::vector<RegValue> values)
{
    if (values.empty())
        return;
    const std::string first = values.front().name;
    // Another program (or a hand edit) may have changed the file since the
    // key was opened: write on top of what is there now.
    RegDocument fresh = m_store.load();
    RegKey *key = m_open ? fresh.findKey(m_open->keyPath) : nullptr;
    if (!key && m_open) {
        fresh.keys.push_back({m_open->keyPath, {}});
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
    m_open->doc = std::move(fresh);
}

} // namespace zibbles

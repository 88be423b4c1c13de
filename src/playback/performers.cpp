#include "performers.h"

#include "core/cp1252.h"
#include "core/programsettings.h"
#include "platform/userstore.h"

#include <QList>
#include <QString>

namespace zibbles {

const char *const kAdvancedKey = "\\Software\\Quillmere\\Zibbles\\Advanced";

namespace {

constexpr size_t kCharacterNameLimit = 255;

std::string utf8ToCp1252(const std::string &utf8)
{
    std::string bytes;
    for (const char32_t u : QString::fromStdString(utf8).toUcs4()) {
        char byte = '?';
        for (int b = 1; b < 256; ++b) {
            if (cp1252ToUnicode(static_cast<unsigned char>(b)) == u) {
                byte = static_cast<char>(b);
                break;
            }
        }
        bytes += byte;
    }
    return bytes;
}

} // namespace

std::optional<PerformersSettings> readPerformersSettings(UserStore &store)
{
    RegistryKey key(store);
    if (!key.openKeyReadOnly(kAdvancedKey))
        return std::nullopt;
    PerformersSettings stored;
    stored.directorMode = key.readInteger("DirectorMode") != 0;
    stored.charName = key.readString("CharName");
    key.closeKey();
    return stored;
}

bool writePerformersSettings(UserStore &store, const PerformersSettings &stored)
{
    RegistryKey key(store);
    if (!key.openKey(kAdvancedKey, true))
        return false;
    key.writeInteger("DirectorMode", stored.directorMode ? 1 : 0);
    key.writeString("CharName", stored.charName);
    key.closeKey();
    return true;
}

void applyPerformersSettings(const PerformersSettings &stored, ProgramSettings &settings)
{
    settings.PerformersMode = stored.directorMode;
    settings.CharacterName = utf8ToCp1252(stored.charName).substr(0, kCharacterNameLimit);
}

void LoadPerformersSettings(UserStore &store, ProgramSettings &settings)
{
    if (const auto stored = readPerformersSettings(store))
        applyPerformersSettings(*stored, settings);
}

} // namespace zibbles

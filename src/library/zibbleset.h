#pragma once
// The zibble library on disk: ten set folders of twelve slot files.
#include <string>

namespace zibbles {

constexpr int kSetCount = 10;
constexpr int kSlotCount = 12;

// "Set" + N inside the program folder (which ends in a separator).
std::string setFolderPath(const std::string &appFolder, int set);

// The slot file of set N and key k, e.g. set 3 slot 12 is Set3/F12.
std::string SlotFilePath(const std::string &appFolder, int set, int slot);

// The same file named by its key text ("F1".."F12").
std::string slotFilePathForKey(const std::string &appFolder, int set, const std::string &slotKey);

// Creates every missing set folder; results are not checked (a folder that
// cannot be made shows later, when a zibble of that set is saved).
void createMissingSetFolders(const std::string &appFolder);

} // namespace zibbles

#include "zibbleset.h"

#include "core/paths.h"
#include "platform/atomicfile.h"

namespace zibbles {

std::string setFolderPath(const std::string &appFolder, int set)
{
    return appFolder + "Set" + std::to_string(set);
}

std::string slotFilePathForKey(const std::string &appFolder, int set, const std::string &slotKey)
{
    return setFolderPath(appFolder, set) + separatorOf(appFolder) + slotKey;
}

std::string SlotFilePath(const std::string &appFolder, int set, int slot)
{
    return slotFilePathForKey(appFolder, set, "F" + std::to_string(slot));
}

void createMissingSetFolders(const std::string &appFolder)
{
    for (int n = 1; n <= kSetCount; ++n) {
        const std::string folder = setFolderPath(appFolder, n);
        if (!folderExists(folder))
            makeFolders(folder);
    }
}

} // namespace zibbles

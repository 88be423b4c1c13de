#include "mediafile.h"

#include "core/cp1252.h"
#include "core/paths.h"

#include <algorithm>

namespace zibbles {

std::string mediaFilePath(const std::string &appFolder, const std::string &name)
{
    return appFolder + "media" + separatorOf(appFolder) + name;
}

std::string mediaFileSystemPath(const std::string &appFolder, const std::string &name)
{
    return mediaFilePath(appFolder, cp1252ToUtf8(name));
}

bool staysInMediaFolder(const std::string &name)
{
    size_t start = 0;
    while (start <= name.size()) {
        size_t end = name.find_first_of("/\\", start); // either separator of Windows
        if (end == std::string::npos)
            end = name.size();
        if (name.compare(start, end - start, "..") == 0)
            return false;
        start = end + 1;
    }
    return true;
}

bool hasSoundExtension(const std::string &path)
{
    const size_t dot = path.rfind('.');
    const size_t slash = path.rfind('/');
    if (dot == std::string::npos || (slash != std::string::npos && slash > dot))
        return false;
    std::string ext = path.substr(dot);
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : char(c); });
    return ext == ".wav" || ext == ".mp3";
}

} // namespace zibbles

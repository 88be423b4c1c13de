#pragma once
// Names below the program's folder, which ends with the system's own
// separator ("\" on Windows): every path below it is joined with the same.
#include <string>

namespace zibbles {

inline char separatorOf(const std::string &appFolder)
{
    return appFolder.empty() ? '/' : appFolder.back();
}

} // namespace zibbles

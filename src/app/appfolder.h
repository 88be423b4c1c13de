#pragma once
#include <string>

namespace zibbles {

// The folder of the executable, ending in "/"; when that folder cannot be
// written or is where packages install programs (/usr/..., /opt/...: an
// installed copy), ${XDG_DATA_HOME:-$HOME/.local/share}/zibbles/.
std::string appFolderFor(const std::string &executablePath);

} // namespace zibbles

#pragma once
#include <string>

namespace zibbles {

// The folder of the executable, ending in "/"; when that folder cannot be
// written or holds an installed copy (where packages install programs,
// /usr/..., /opt/..., or any prefix with the sound module in lib/zibbles/),
// ${XDG_DATA_HOME:-$HOME/.local/share}/zibbles/. On Windows always the
// folder of the executable.
std::string appFolderFor(const std::string &executablePath);

} // namespace zibbles

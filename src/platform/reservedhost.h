#pragma once
// Names under the reserved top-level domain "invalid" never resolve; every
// socket layer answers them at once, without asking any name server.
#include <string>

namespace zibbles {

bool isReservedInvalidName(std::string name);

} // namespace zibbles

#pragma once
// Winsock, started once for the whole process at the first use of a socket
// or a name look-up, from whichever thread comes first.
#include <winsock2.h>

namespace zibbles {

// 0, or the Winsock error code of a failed start-up.
int startWinsock();

} // namespace zibbles

#include "winsock.h"

namespace zibbles {

int startWinsock()
{
    // Never cleaned up: a look-up that was abandoned may still be running on
    // its worker when the last socket goes.
    static const int result = [] {
        WSADATA data;
        return WSAStartup(MAKEWORD(2, 2), &data);
    }();
    return result;
}

} // namespace zibbles

#include "eventloop.h"

namespace zibbles {

bool waitUntil(MessagePump &pump, const std::function<bool()> &done, int64_t deadlineMs)
{
    pump.processPending();
    while (!done()) {
        const int64_t left = deadlineMs - pump.nowMs();
        if (left <= 0)
            return false;
        pump.waitForEvents(left);
    }
    return true;
}

} // namespace zibbles

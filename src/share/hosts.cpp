#include "hosts.h"

#include "core/error.h"
#include "platform/userstore.h"

namespace zibbles {

const char *const kMakerHost = "www.quillmere.net";
const char *const kLiveShareKey = "Software\\Quillmere\\Zibbles\\LiveShare";
const char *const kLiveShareHostValue = "Host";

std::string liveShareHost(UserStore &store)
{
    std::string host;
    RegistryKey key(store);
    if (key.openKeyReadOnly(kLiveShareKey)) {
        try {
            host = key.readString(kLiveShareHostValue);
        } catch (const AppError &) {
            host.clear(); // a value of another type names no host
        }
        key.closeKey();
    }
    const auto first = host.find_first_not_of(" \t");
    const auto last = host.find_last_not_of(" \t");
    host = first == std::string::npos ? std::string() : host.substr(first, last - first + 1);
    return host.empty() ? std::string(kMakerHost) : host;
}

} // namespace zibbles

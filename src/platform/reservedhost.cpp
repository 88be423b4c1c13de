#include "platform/reservedhost.h"

#include <algorithm>
#include <cctype>

namespace zibbles {

bool isReservedInvalidName(std::string name)
{
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    while (!name.empty() && name.back() == '.')
        name.pop_back();
    const std::string tld = "invalid";
    if (name == tld)
        return true;
    return name.size() > tld.size() && name.compare(name.size() - tld.size(), tld.size(), tld) == 0 &&
           name[name.size() - tld.size() - 1] == '.';
}

} // namespace zibbles

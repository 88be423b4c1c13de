#pragma once
// The program's paths are UTF-8; Windows takes them as UTF-16.
#include <string>

namespace zibbles {

std::wstring widePath(const std::string &utf8);

} // namespace zibbles

#pragma once
// The program's texts are 8-bit Windows-1252; these map its bytes to Unicode
// where the desktop speaks Unicode (keysyms, window titles).
#include <string>

namespace zibbles {

// The Unicode code point of a Windows-1252 byte; 0 for the five bytes that
// the code page leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D).
char32_t cp1252ToUnicode(unsigned char byte);

// The UTF-8 form of a Windows-1252 text; undefined bytes become U+FFFD, so
// the result never equals a name that they could not have spelled.
std::string cp1252ToUtf8(const std::string &text);

} // namespace zibbles

#pragma once
// Zibble files on disk: bytes in, bytes out. Lines are separated by CR LF on
// disk; on reading, CR LF, CR alone and LF alone all end a line. No byte of a
// line is ever changed.
#include <string>
#include <vector>

namespace zibbles {

// The text split into lines at CR LF, CR or LF (so LF followed by CR leaves an
// empty line between them); a break at the very end adds no empty line.
std::vector<std::string> splitLines(const std::string &text);

// The same text with every line break written as CR LF; a trailing break is
// kept as a trailing CR LF.
std::string withCrLfBreaks(const std::string &text);

// The file's bytes; raises "Cannot open file %s" when it exists but cannot be
// read. A missing file reads as empty.
std::string loadZibble(const std::string &path);

// Writes the text atomically with CR LF breaks; raises "Cannot create file %s"
// when it cannot be written, leaving any previous file as it was.
void saveZibble(const std::string &path, const std::string &text);

} // namespace zibbles

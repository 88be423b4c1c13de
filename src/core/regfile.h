#pragma once
// The text of a registry export ("Windows Registry Editor Version 5.00"),
// read into keys of typed values and written back. Values keep their type and
// their raw bytes exactly as the registry would hold them.
#include <cstdint>
#include <string>
#include <vector>

namespace zibbles {

enum RegType : uint32_t {
    RegNone = 0,
    RegSz = 1,
    RegExpandSz = 2,
    RegBinary = 3,
    RegDword = 4,
    RegMultiSz = 7,
    RegQword = 11,
};

struct RegValue {
    std::string name;   // UTF-8; empty is the default value "@"
    uint32_t type = RegNone;
    std::string data;   // raw bytes; strings are UTF-16LE with a terminating NUL
};

struct RegKey {
    std::string path;   // as written between the brackets
    std::vector<RegValue> values;
};

struct RegDocument {
    std::vector<RegKey> keys;
    bool clean = true;  // false when some line could not be understood

    RegKey *findKey(const std::string &path);
    RegValue *findValue(RegKey &key, const std::string &name);
};

RegDocument parseRegText(const std::string &text);
std::string writeRegText(const RegDocument &doc);

// UTF-8 <-> registry string data (UTF-16LE, NUL-terminated).
std::string toRegString(const std::string &utf8);
std::string fromRegString(const std::string &data); // stops at the first NUL

bool sameRegName(const std::string &a, const std::string &b); // case-insensitive

} // namespace zibbles

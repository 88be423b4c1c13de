// The store's file parser: whatever it reads, what it writes reads back
// clean to the same keys and values, and writing that again changes nothing.
#include "fuzzcheck.h"

#include "core/regfile.h"

namespace zibbles::fuzz {

namespace {

bool sameValues(const RegKey &a, const RegKey &b)
{
    if (a.path != b.path || a.values.size() != b.values.size())
        return false;
    for (size_t i = 0; i < a.values.size(); ++i) {
        const RegValue &x = a.values[i];
        const RegValue &y = b.values[i];
        if (x.name != y.name || x.type != y.type || x.data != y.data)
            return false;
    }
    return true;
}

bool sameDocument(const RegDocument &a, const RegDocument &b)
{
    if (a.keys.size() != b.keys.size())
        return false;
    for (size_t i = 0; i < a.keys.size(); ++i)
        if (!sameValues(a.keys[i], b.keys[i]))
            return false;
    return true;
}

} // namespace

void checkRegFile(const std::string &input)
{
    const RegDocument first = parseRegText(input);
    const std::string written = writeRegText(first);
    const RegDocument second = parseRegText(written);
    require(second.clean, "the written text does not read back clean");
    require(sameDocument(first, second), "the written text reads back to other keys or values");
    require(writeRegText(second) == written, "writing the text read back gives another text");
}

} // namespace zibbles::fuzz

#include "zibblefile.h"

#include "core/error.h"
#include "platform/atomicfile.h"

namespace zibbles {

std::vector<std::string> splitLines(const std::string &text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c != '\r' && c != '\n')
            continue;
        lines.push_back(text.substr(start, i - start));
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines.push_back(text.substr(start));
    return lines;
}

std::string withCrLfBreaks(const std::string &text)
{
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            out += "\r\n";
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else {
            out += c;
        }
    }
    return out;
}

std::string loadZibble(const std::string &path)
{
    if (!fileExists(path)) {
        if (folderExists(path))
            throw AppError(formatMessage("Cannot open file %s", path));
        return {};
    }
    auto bytes = readWholeFile(path);
    if (!bytes)
        throw AppError(formatMessage("Cannot open file %s", path));
    return *bytes;
}

void saveZibble(const std::string &path, const std::string &text)
{
    if (!writeFileAtomically(path, withCrLfBreaks(text)))
        throw AppError(formatMessage("Cannot create file %s", path));
}

} // namespace zibbles

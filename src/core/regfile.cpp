#include "regfile.h"

#include <QString>

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace zibbles {

namespace {

const char *const kHeader = "Windows Registry Editor Version 5.00";

std::string lower(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
    return s;
}

std::string trim(const std::string &s)
{
    const auto b = s.find_first_not_of(" \t\r\n");
    if (b == std::string::npos)
        return {};
    return s.substr(b, s.find_last_not_of(" \t\r\n") - b + 1);
}

// Hexadecimal digits only. The byte goes to isxdigit as unsigned char: a
// negative value (any byte from 0x80 up) is undefined behaviour there.
bool allHex(const std::string &s)
{
    return std::all_of(s.begin(), s.end(), [](unsigned char c) { return std::isxdigit(c) != 0; });
}

// Files written by regedit are UTF-16LE with a byte-order mark; ours are UTF-8.
std::string decodeText(const std::string &raw)
{
    if (raw.size() >= 2 && static_cast<unsigned char>(raw[0]) == 0xFF && static_cast<unsigned char>(raw[1]) == 0xFE) {
        const auto units = (raw.size() - 2) / 2;
        return QString::fromUtf16(reinterpret_cast<const char16_t *>(raw.data() + 2), qsizetype(units))
            .toStdString();
    }
    if (raw.rfind("\xEF\xBB\xBF", 0) == 0)
        return raw.substr(3);
    return raw;
}

// A quoted string starting at s[pos] == '"'; pos ends after the closing quote.
bool readQuoted(const std::string &s, size_t &pos, std::string &out)
{
    out.clear();
    for (++pos; pos < s.size(); ++pos) {
        const char c = s[pos];
        if (c == '"') {
            ++pos;
            return true;
        }
        out += (c == '\\' && pos + 1 < s.size()) ? s[++pos] : c;
    }
    return false;
}

bool readHexBytes(const std::string &text, std::string &out)
{
    out.clear();
    std::string item;
    auto flush = [&]() {
        const std::string t = trim(item);
        item.clear();
        if (t.empty())
            return true;
        if (t.size() > 2 || !allHex(t))
            return false;
        out += static_cast<char>(std::stoi(t, nullptr, 16));
        return true;
    };
    for (char c : text) {
        if (c == ',') {
            if (!flush())
                return false;
        } else {
            item += c;
        }
    }
    return flush();
}

bool parseData(const std::string &text, RegValue &v)
{
    size_t pos = 0;
    if (!text.empty() && text[0] == '"') {
        std::string s;
        if (!readQuoted(text, pos, s) || !trim(text.substr(pos)).empty())
            return false;
        v.type = RegSz;
        v.data = toRegString(s);
        return true;
    }
    const std::string low = lower(text);
    if (low.rfind("dword:", 0) == 0) {
        const std::string digits = trim(text.substr(6));
        if (digits.empty() || digits.size() > 8 || !allHex(digits))
            return false;
        const uint32_t n = static_cast<uint32_t>(std::stoul(digits, nullptr, 16));
        v.type = RegDword;
        v.data.assign(reinterpret_cast<const char *>(&n), 4);
        return true;
    }
    if (low.rfind("hex:", 0) == 0) {
        v.type = RegBinary;
        return readHexBytes(text.substr(4), v.data);
    }
    if (low.rfind("hex(", 0) == 0) {
        const auto close = text.find("):");
        if (close == std::string::npos)
            return false;
        const std::string num = text.substr(4, close - 4);
        if (num.empty() || num.size() > 8 || !allHex(num))
            return false;
        v.type = static_cast<uint32_t>(std::stoul(num, nullptr, 16));
        return readHexBytes(text.substr(close + 2), v.data);
    }
    return false;
}

void setValue(RegDocument &doc, RegKey &key, RegValue v)
{
    if (RegValue *old = doc.findValue(key, v.name))
        *old = std::move(v);
    else
        key.values.push_back(std::move(v));
}

std::string quote(const std::string &s)
{
    std::string out = "\"";
    for (char c : s) {
        if (c == '"' || c == '\\')
            out += '\\';
        out += c;
    }
    return out + '"';
}

std::string hexList(const std::string &data)
{
    std::string out;
    char buf[4];
    for (size_t i = 0; i < data.size(); ++i) {
        std::snprintf(buf, sizeof buf, "%02x", static_cast<unsigned char>(data[i]));
        if (i)
            out += ',';
        out += buf;
    }
    return out;
}

// A string value that regedit would write in quotes: NUL-terminated UTF-16
// without inner NULs or line breaks.
bool printableString(const RegValue &v)
{
    if (v.type != RegSz || v.data.size() < 2 || v.data.size() % 2)
        return false;
    const std::string s = fromRegString(v.data);
    return toRegString(s) == v.data && s.find_first_of("\r\n") == std::string::npos;
}

std::string dataText(const RegValue &v)
{
    if (printableString(v))
        return quote(fromRegString(v.data));
    if (v.type == RegDword && v.data.size() == 4) {
        uint32_t n;
        std::copy(v.data.begin(), v.data.end(), reinterpret_cast<char *>(&n));
        char buf[16];
        std::snprintf(buf, sizeof buf, "dword:%08x", n);
        return buf;
    }
    if (v.type == RegBinary)
        return "hex:" + hexList(v.data);
    char prefix[24];
    std::snprintf(prefix, sizeof prefix, "hex(%x):", v.type);
    return prefix + hexList(v.data);
}

} // namespace

bool sameRegName(const std::string &a, const std::string &b)
{
    return lower(a) == lower(b);
}

RegKey *RegDocument::findKey(const std::string &path)
{
    for (auto &k : keys)
        if (sameRegName(k.path, path))
            return &k;
    return nullptr;
}

RegValue *RegDocument::findValue(RegKey &key, const std::string &name)
{
    for (auto &v : key.values)
        if (sameRegName(v.name, name))
            return &v;
    return nullptr;
}

std::string toRegString(const std::string &utf8)
{
    const QString s = QString::fromStdString(utf8);
    std::string out(reinterpret_cast<const char *>(s.utf16()), size_t(s.size()) * 2);
    out.append(2, '\0');
    return out;
}

std::string fromRegString(const std::string &data)
{
    std::u16string units;
    for (size_t i = 0; i + 1 < data.size(); i += 2) {
        const char16_t u = char16_t(static_cast<unsigned char>(data[i]) | (static_cast<unsigned char>(data[i + 1]) << 8));
        if (u == 0)
            break;
        units += u;
    }
    return QString::fromStdU16String(units).toStdString();
}

RegDocument parseRegText(const std::string &raw)
{
    RegDocument doc;
    const std::string text = decodeText(raw);
    RegKey *current = nullptr;
    bool sawHeader = false;
    size_t pos = 0;
    while (pos < text.size()) {
        auto end = text.find('\n', pos);
        std::string line = text.substr(pos, end == std::string::npos ? std::string::npos : end - pos);
        pos = end == std::string::npos ? text.size() : end + 1;
        // Long hex data continues on the next line after a trailing backslash.
        // Only the new piece is trimmed, so that a value of many lines reads
        // in time proportional to its length.
        line = trim(line);
        while (!line.empty() && line.back() == '\\' && pos < text.size()) {
            line.pop_back();
            end = text.find('\n', pos);
            line += trim(text.substr(pos, end == std::string::npos ? std::string::npos : end - pos));
            pos = end == std::string::npos ? text.size() : end + 1;
            line.erase(line.find_last_not_of(" \t\r\n") + 1);
        }
        if (line.empty() || line[0] == ';')
            continue;
        if (!sawHeader && (line == kHeader || line == "REGEDIT4")) {
            sawHeader = true;
            continue;
        }
        sawHeader = true;
        if (line[0] == '[') {
            if (line.back() != ']' || line.size() < 3 || line[1] == '-') {
                doc.clean = false;
                current = nullptr;
                continue;
            }
            const std::string path = line.substr(1, line.size() - 2);
            current = doc.findKey(path);
            if (!current) {
                doc.keys.push_back({path, {}});
                current = &doc.keys.back();
            }
            continue;
        }
        RegValue v;
        size_t p = 0;
        if (line[0] == '@') {
            p = 1;
        } else if (line[0] != '"' || !readQuoted(line, p, v.name)) {
            doc.clean = false;
            continue;
        }
        const auto eq = line.find_first_not_of(" \t", p);
        if (!current || eq == std::string::npos || line[eq] != '=' ||
            !parseData(trim(line.substr(eq + 1)), v)) {
            doc.clean = false;
            continue;
        }
        setValue(doc, *current, std::move(v));
    }
    if (!text.empty() && text.find(kHeader) == std::string::npos && text.find("REGEDIT4") == std::string::npos)
        doc.clean = false;
    return doc;
}

std::string writeRegText(const RegDocument &doc)
{
    std::string out = std::string(kHeader) + "\n";
    for (const auto &key : doc.keys) {
        out += "\n[" + key.path + "]\n";
        for (const auto &v : key.values)
            out += (v.name.empty() ? std::string("@") : quote(v.name)) + "=" + dataText(v) + "\n";
    }
    return out;
}

} // namespace zibbles

// Reading and writing the registry-export text of the per-user store.
#include "core/regfile.h"

#include <QString>

#include <gtest/gtest.h>

#include <cstring>

using namespace zibbles;

namespace {

uint32_t dword(const RegValue &v)
{
    uint32_t n = 0;
    std::memcpy(&n, v.data.data(), std::min<size_t>(4, v.data.size()));
    return n;
}

const char *const kSample =
    "Windows Registry Editor Version 5.00\r\n"
    "\r\n"
    "[HKEY_CURRENT_USER\\Software\\Quillmere\\Zibbles\\FunctionKeys]\r\n"
    "\"F1\"=dword:00000001\r\n"
    "\"F2\"=dword:ffffffff\r\n"
    "\r\n"
    "[HKEY_CURRENT_USER\\Software\\Quillmere\\Zibbles\\Advanced]\r\n"
    "\"CharName\"=\"Bob \\\"the\\\" \\\\ builder\"\r\n"
    "\"Path\"=hex(2):25,00,48,00,00,00\r\n"
    "\"Blob\"=hex:01,02,\\\r\n"
    "  03\r\n"
    "@=\"default\"\r\n";

} // namespace

TEST(RegFile, ReadsTypedValuesOfAnExport)
{
    RegDocument doc = parseRegText(kSample);
    EXPECT_TRUE(doc.clean);
    ASSERT_EQ(doc.keys.size(), 2u);
    RegKey *keys = doc.findKey("hkey_current_user\\software\\quillmere\\zibbles\\functionkeys");
    ASSERT_NE(keys, nullptr);
    ASSERT_EQ(keys->values.size(), 2u);
    EXPECT_EQ(keys->values[0].type, RegDword);
    EXPECT_EQ(dword(keys->values[0]), 1u);
    EXPECT_EQ(dword(keys->values[1]), 0xffffffffu);

    RegKey *adv = doc.findKey("HKEY_CURRENT_USER\\Software\\Quillmere\\Zibbles\\Advanced");
    ASSERT_NE(adv, nullptr);
    EXPECT_EQ(fromRegString(doc.findValue(*adv, "charname")->data), "Bob \"the\" \\ builder");
    EXPECT_EQ(doc.findValue(*adv, "Path")->type, RegExpandSz);
    EXPECT_EQ(fromRegString(doc.findValue(*adv, "Path")->data), "%H");
    EXPECT_EQ(doc.findValue(*adv, "Blob")->data, std::string("\x01\x02\x03", 3));
    EXPECT_EQ(fromRegString(doc.findValue(*adv, "")->data), "default");
}

TEST(RegFile, WriteThenReadKeepsEveryValueAndType)
{
    const RegDocument first = parseRegText(kSample);
    const RegDocument second = parseRegText(writeRegText(first));
    EXPECT_TRUE(second.clean);
    ASSERT_EQ(second.keys.size(), first.keys.size());
    for (size_t k = 0; k < first.keys.size(); ++k) {
        ASSERT_EQ(second.keys[k].values.size(), first.keys[k].values.size());
        for (size_t v = 0; v < first.keys[k].values.size(); ++v) {
            EXPECT_EQ(second.keys[k].values[v].name, first.keys[k].values[v].name);
            EXPECT_EQ(second.keys[k].values[v].type, first.keys[k].values[v].type);
            EXPECT_EQ(second.keys[k].values[v].data, first.keys[k].values[v].data);
        }
    }
}

TEST(RegFile, StringsWithLineBreaksOrNulsSurviveAsHex)
{
    RegDocument doc;
    doc.keys.push_back({"HKEY_CURRENT_USER\\K", {{"Multi", RegSz, toRegString("a\r\nb")},
                                                 {"Odd", RegSz, std::string("x\0y", 3)}}});
    const RegDocument back = parseRegText(writeRegText(doc));
    ASSERT_EQ(back.keys.size(), 1u);
    EXPECT_EQ(back.keys[0].values[0].data, doc.keys[0].values[0].data);
    EXPECT_EQ(back.keys[0].values[1].data, doc.keys[0].values[1].data);
    EXPECT_EQ(back.keys[0].values[1].type, RegSz);
}

TEST(RegFile, GarbageIsSkippedAndMarkedUnclean)
{
    const char *const inputs[] = {
        "\x01\x02garbage\xff\xfe",
        "Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\K]\n\"F1\"=dword:123456789\n",
        "Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\K]\n\"F1\"=dword:\n\"F2\"=dword:00000002\n",
        "Windows Registry Editor Version 5.00\n\"orphan\"=dword:00000001\n",
        "Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\K\n\"F1\"=hex(zz):00\n",
        "Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\K]\n\"unterminated=\"x\n",
    };
    for (const char *input : inputs) {
        const RegDocument doc = parseRegText(input);
        EXPECT_FALSE(doc.clean) << input;
    }
    // The good line next to a bad one is still read.
    RegDocument doc = parseRegText(inputs[2]);
    ASSERT_EQ(doc.keys.size(), 1u);
    ASSERT_EQ(doc.keys[0].values.size(), 1u);
    EXPECT_EQ(doc.keys[0].values[0].name, "F2");
}

TEST(RegFile, ReadsTheUtf16FilesOfTheRegistryEditor)
{
    const std::string ascii = "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\K]\r\n\"N\"=\"\xc3\xa9t\xc3\xa9\"\r\n";
    const QString text = QString::fromUtf8(ascii.c_str());
    std::string raw = "\xFF\xFE";
    raw.append(reinterpret_cast<const char *>(text.utf16()), size_t(text.size()) * 2);
    RegDocument doc = parseRegText(raw);
    EXPECT_TRUE(doc.clean);
    ASSERT_EQ(doc.keys.size(), 1u);
    EXPECT_EQ(fromRegString(doc.keys[0].values[0].data), "\xc3\xa9t\xc3\xa9");
}

TEST(RegFile, ALongValueContinuedOverManyLinesReadsWhole)
{
    // The registry editor writes binary data in short lines, each continued
    // with a backslash: a 200 KB value is 200,000 such lines here.
    std::string text = "Windows Registry Editor Version 5.00\r\n[HKEY_CURRENT_USER\\K]\r\n\"Big\"=hex:\\\r\n";
    for (int i = 0; i < 200000; ++i)
        text += "  7f,\\\r\n";
    text += "  01\r\n\"After\"=dword:00000002\r\n";
    const RegDocument doc = parseRegText(text);
    EXPECT_TRUE(doc.clean);
    ASSERT_EQ(doc.keys.size(), 1u);
    ASSERT_EQ(doc.keys[0].values.size(), 2u);
    EXPECT_EQ(doc.keys[0].values[0].data, std::string(200000, '\x7f') + '\x01');
    EXPECT_EQ(dword(doc.keys[0].values[1]), 2u);
}

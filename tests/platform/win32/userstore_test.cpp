// The settings in the registry of the current user, read and written through
// one open key at a time, with the registry's rules for missing values and
// values of another type. Each test keeps its keys below a key of its own,
// deleted afterwards, and looks at the registry with the system's own calls.
#include "core/error.h"
#include "fakes/errortext.h"
#include "platform/userstore.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <variant>
#include <windows.h>

using namespace zibbles;
using zibbles::testing::errorOf;

namespace {

const std::string kKey = "\\Software\\Quillmere\\Zibbles\\FunctionKeys";

std::wstring wide(const std::string &ascii)
{
    return std::wstring(ascii.begin(), ascii.end());
}

class RegistryStoreTest : public ::testing::Test {
protected:
    ~RegistryStoreTest() override { RegDeleteTreeW(HKEY_CURRENT_USER, wide(root).c_str()); }

    // The system's view of a value below the test's key: type and bytes.
    std::pair<DWORD, std::string> stored(const std::string &key, const std::string &name) const
    {
        DWORD type = REG_NONE, size = 0;
        const std::wstring path = wide(root + key), value = wide(name);
        if (RegGetValueW(HKEY_CURRENT_USER, path.c_str(), value.c_str(), RRF_RT_ANY | RRF_NOEXPAND, &type, nullptr,
                         &size) != ERROR_SUCCESS)
            return {REG_NONE, "<missing>"};
        std::string bytes(size, '\0');
        RegGetValueW(HKEY_CURRENT_USER, path.c_str(), value.c_str(), RRF_RT_ANY | RRF_NOEXPAND, &type, bytes.data(),
                     &size);
        bytes.resize(size);
        return {type, bytes};
    }

    void plant(const std::string &key, const std::string &name, DWORD type, const std::string &bytes)
    {
        HKEY handle = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, wide(root + key).c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                                  &handle, nullptr),
                  ERROR_SUCCESS);
        EXPECT_EQ(RegSetValueExW(handle, wide(name).c_str(), 0, type, reinterpret_cast<const BYTE *>(bytes.data()),
                                 static_cast<DWORD>(bytes.size())),
                  ERROR_SUCCESS);
        RegCloseKey(handle);
    }

    bool keyExists(const std::string &key) const
    {
        HKEY handle = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, wide(root + key).c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS)
            return false;
        RegCloseKey(handle);
        return true;
    }

    std::string root = "Software\\ZibblesTest-" + std::to_string(GetCurrentProcessId()) + "-" +
                       ::testing::UnitTest::GetInstance()->current_test_info()->name();
    UserStore store{root};
};

std::string dword(uint32_t n)
{
    return std::string(reinterpret_cast<const char *>(&n), 4);
}

} // namespace

TEST_F(RegistryStoreTest, AMissingKeyIsNotCreatedByReading)
{
    RegistryKey key(store);
    EXPECT_FALSE(key.openKeyReadOnly(kKey));
    EXPECT_FALSE(key.openKey(kKey, false));
    EXPECT_FALSE(keyExists(kKey));
    EXPECT_EQ(errorOf([&] { key.readInteger("F1"); }), "Failed to get data for 'F1'");
    EXPECT_EQ(key.readString("CharName"), "");
}

TEST_F(RegistryStoreTest, IntegersAndStringsLandAsDwordsAndStringsAndReadBack)
{
    {
        RegistryKey key(store);
        ASSERT_TRUE(key.openKey(kKey, true));
        key.writeInteger("F1", 1);
        key.writeInteger("F2", 0);
        key.writeInteger("Big", -2);
        key.writeString("CharName", "Bob \xc3\xa9\xe2\x82\xac"); // "Bob é€"
    }
    EXPECT_EQ(stored(kKey, "F1"), std::make_pair(DWORD(REG_DWORD), dword(1)));
    EXPECT_EQ(stored(kKey, "F2"), std::make_pair(DWORD(REG_DWORD), dword(0)));
    EXPECT_EQ(stored(kKey, "CharName"),
              std::make_pair(DWORD(REG_SZ), std::string("B\0o\0b\0 \0\xe9\0\xac\x20\0\0", 14)));

    RegistryKey key(store);
    ASSERT_TRUE(key.openKeyReadOnly("Software\\Quillmere\\Zibbles\\FunctionKeys\\"));
    EXPECT_EQ(key.readInteger("f1"), 1); // names are case-insensitive
    EXPECT_EQ(key.readInteger("F2"), 0);
    EXPECT_EQ(key.readInteger("Big"), -2);
    EXPECT_EQ(key.readString("CharName"), "Bob \xc3\xa9\xe2\x82\xac");
    EXPECT_TRUE(key.valueExists("F1"));
    EXPECT_FALSE(key.valueExists("F3"));
}

TEST_F(RegistryStoreTest, ValuesAreReadByTheRegistryTypeRules)
{
    using Read = std::variant<int32_t, std::string>;
    struct Case {
        const char *name;
        DWORD type;
        std::string bytes;
        Read integer; // what readInteger gives, or the text it raises
        Read string;  // what readString gives, or the text it raises
    };
    const Case cases[] = {
        {"F1", REG_DWORD, dword(7), 7, "Invalid data type for 'F1'"},
        {"Narrow", REG_DWORD, std::string("\x05", 1), 5, "Invalid data type for 'Narrow'"},
        {"Short", REG_SZ, std::string("7\0\0\0", 4), "Invalid data type for 'Short'", std::string("7")},
        {"Long", REG_SZ, std::string("a\0b\0c\0\0\0", 8), "Failed to get data for 'Long'", std::string("abc")},
        {"Expand", REG_EXPAND_SZ, std::string("%\0X\0%\0\0\0", 8), "Failed to get data for 'Expand'",
         std::string("%X%")},
        {"Bin", REG_BINARY, std::string("\x01\0", 2), "Invalid data type for 'Bin'", "Invalid data type for 'Bin'"},
        {"Wide", REG_QWORD, std::string(8, '\0'), "Failed to get data for 'Wide'", "Invalid data type for 'Wide'"},
        {"Empty", REG_BINARY, std::string(), "Invalid data type for 'Empty'", std::string()},
    };
    for (const Case &c : cases)
        plant(kKey, c.name, c.type, c.bytes);
    RegistryKey key(store);
    ASSERT_TRUE(key.openKeyReadOnly(kKey));
    for (const Case &c : cases) {
        const auto integer = [&]() -> Read {
            try {
                return key.readInteger(c.name);
            } catch (const AppError &e) {
                return std::string(e.what());
            }
        }();
        const auto string = [&]() -> Read {
            try {
                return key.readString(c.name);
            } catch (const AppError &e) {
                return std::string(e.what());
            }
        }();
        EXPECT_EQ(integer, c.integer) << c.name;
        EXPECT_EQ(string, c.string) << c.name;
    }
    EXPECT_EQ(errorOf([&] { key.readInteger("Missing"); }), "Failed to get data for 'Missing'");
    EXPECT_EQ(key.readString("Missing"), "");
}

TEST_F(RegistryStoreTest, AKeyOpenedForWritingIsCreatedWithItsFirstValues)
{
    RegistryKey key(store);
    key.openKeyForWriting(kKey);
    EXPECT_FALSE(keyExists(kKey));
    key.writeValues({RegistryKey::integerValue("F1", 1), RegistryKey::integerValue("F2", 0)});
    EXPECT_EQ(stored(kKey, "F1"), std::make_pair(DWORD(REG_DWORD), dword(1)));
    EXPECT_EQ(stored(kKey, "F2"), std::make_pair(DWORD(REG_DWORD), dword(0)));
}

TEST_F(RegistryStoreTest, AValueThatCannotBeWrittenRaisesWithItsName)
{
    plant(kKey, "F1", REG_DWORD, dword(1));
    RegistryKey key(store);
    EXPECT_EQ(errorOf([&] { key.writeInteger("F1", 0); }), "Failed to set data for 'F1'") << "no key is open";
    ASSERT_TRUE(key.openKeyReadOnly(kKey));
    EXPECT_EQ(errorOf([&] { key.writeInteger("F7", 1); }), "Failed to set data for 'F7'");
    EXPECT_EQ(errorOf([&] { key.writeString("CharName", "x"); }), "Failed to set data for 'CharName'");
    EXPECT_EQ(stored(kKey, "F7").second, "<missing>");
    EXPECT_EQ(stored(kKey, "F1"), std::make_pair(DWORD(REG_DWORD), dword(1)));
}

TEST_F(RegistryStoreTest, ADocumentIsSavedOverTheStoreAndLoadedBack)
{
    plant("\\Software\\Other", "Kept", REG_SZ, std::string("y\0\0\0", 4));
    RegDocument doc = parseRegText("Windows Registry Editor Version 5.00\r\n\r\n"
                                   "[HKEY_CURRENT_USER\\Software\\Quillmere\\Zibbles\\Advanced]\r\n"
                                   "\"DirectorMode\"=dword:00000001\r\n"
                                   "\"CharName\"=\"Narrator\"\r\n"
                                   "\"Wide\"=hex(b):01,00,00,00,00,00,00,00\r\n");
    ASSERT_TRUE(doc.clean);
    ASSERT_TRUE(store.save(doc));
    EXPECT_EQ(stored("\\Software\\Quillmere\\Zibbles\\Advanced", "DirectorMode"),
              std::make_pair(DWORD(REG_DWORD), dword(1)));
    EXPECT_EQ(stored("\\Software\\Other", "Kept").second, std::string("y\0\0\0", 4)) << "other keys stay";

    RegDocument loaded = store.load();
    RegKey *advanced = loaded.findKey("HKEY_CURRENT_USER\\Software\\Quillmere\\Zibbles\\Advanced");
    ASSERT_NE(advanced, nullptr);
    ASSERT_EQ(advanced->values.size(), 3u);
    for (const RegValue &value : doc.keys.front().values) {
        const RegValue *back = loaded.findValue(*advanced, value.name);
        ASSERT_NE(back, nullptr) << value.name;
        EXPECT_EQ(std::make_pair(back->type, back->data), std::make_pair(value.type, value.data)) << value.name;
    }
    EXPECT_NE(loaded.findKey("HKEY_CURRENT_USER\\Software\\Other"), nullptr);

    doc.keys.push_back({"HKEY_LOCAL_MACHINE\\Software\\Quillmere", {}});
    EXPECT_FALSE(store.save(doc)) << "only the current user's keys are the store's";
}

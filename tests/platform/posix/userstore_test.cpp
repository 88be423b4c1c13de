// The per-user store read and written through one open key at a time, with
// the registry's rules for missing values and values of another type.
#include "core/error.h"
#include "fakes/errortext.h"
#include "fakes/tempdir.h"
#include "platform/atomicfile.h"
#include "platform/userstore.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

using namespace zibbles;
using zibbles::testing::errorOf;
using zibbles::testing::TempDir;

namespace {

const std::string kKey = "\\Software\\Quillmere\\Zibbles\\FunctionKeys";

class UserStoreTest : public ::testing::Test {
protected:
    void writeStore(const std::string &text)
    {
        makeFolders(dir.file("zibbles"));
        ASSERT_TRUE(writeFileAtomically(path, text));
    }

    TempDir dir;
    std::string path = dir.file("zibbles/user.reg");
    UserStore store{path};
};

} // namespace

TEST_F(UserStoreTest, MissingFileMeansNoKey)
{
    RegistryKey key(store);
    EXPECT_FALSE(key.openKeyReadOnly(kKey));
    EXPECT_FALSE(fileExists(path)); // reading never creates anything
}

TEST_F(UserStoreTest, WrittenValuesReadBackAfterReopen)
{
    {
        RegistryKey key(store);
        ASSERT_TRUE(key.openKey(kKey, true));
        key.writeInteger("F1", 1);
        key.writeInteger("F2", 0);
        key.writeString("CharName", "Bob ");
    }
    RegistryKey key(store);
    ASSERT_TRUE(key.openKeyReadOnly("Software\\Quillmere\\Zibbles\\FunctionKeys"));
    EXPECT_EQ(key.readInteger("F1"), 1);
    EXPECT_EQ(key.readInteger("f2"), 0); // names are case-insensitive
    EXPECT_EQ(key.readString("CharName"), "Bob ");
    const std::string text = *readWholeFile(path);
    EXPECT_NE(text.find("[HKEY_CURRENT_USER\\Software\\Quillmere\\Zibbles\\FunctionKeys]"), std::string::npos);
    EXPECT_NE(text.find("\"F1\"=dword:00000001"), std::string::npos);
    EXPECT_NE(text.find("\"CharName\"=\"Bob \""), std::string::npos);
}

TEST_F(UserStoreTest, ReadIntegerFollowsTheRegistryTypeRules)
{
    writeStore("Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\Quillmere\\Zibbles\\FunctionKeys]\n"
               "\"F1\"=dword:00000007\n"
               "\"Short\"=\"7\"\n"       // 4 bytes of UTF-16: another type
               "\"Long\"=\"abc\"\n"      // 8 bytes: too wide for an integer
               "\"Bin\"=hex:01,00\n"
               "\"Wide\"=hex(b):01,00,00,00,00,00,00,00\n");
    RegistryKey key(store);
    ASSERT_TRUE(key.openKeyReadOnly(kKey));
    EXPECT_EQ(key.readInteger("F1"), 7);
    EXPECT_EQ(errorOf([&] { key.readInteger("Missing"); }), "Failed to get data for 'Missing'");
    EXPECT_EQ(errorOf([&] { key.readInteger("Short"); }), "Invalid data type for 'Short'");
    EXPECT_EQ(errorOf([&] { key.readInteger("Long"); }), "Failed to get data for 'Long'");
    EXPECT_EQ(errorOf([&] { key.readInteger("Bin"); }), "Invalid data type for 'Bin'");
    EXPECT_EQ(errorOf([&] { key.readInteger("Wide"); }), "Failed to get data for 'Wide'");
}

TEST_F(UserStoreTest, ReadStringFollowsTheRegistryTypeRules)
{
    writeStore("Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\Quillmere\\Zibbles\\Advanced]\n"
               "\"CharName\"=\"Narrator\"\n"
               "\"Expand\"=hex(2):25,00,58,00,25,00,00,00\n"
               "\"DirectorMode\"=dword:00000001\n"
               "\"Empty\"=hex:\n");
    RegistryKey key(store);
    ASSERT_TRUE(key.openKeyReadOnly("\\Software\\Quillmere\\Zibbles\\Advanced"));
    EXPECT_EQ(key.readString("CharName"), "Narrator");
    EXPECT_EQ(key.readString("Expand"), "%X%"); // read unexpanded
    EXPECT_EQ(key.readString("Missing"), "");
    EXPECT_EQ(key.readString("Empty"), "");
    EXPECT_EQ(errorOf([&] { key.readString("DirectorMode"); }), "Invalid data type for 'DirectorMode'");
}

TEST_F(UserStoreTest, AnEmptyKeyExistsWithoutValues)
{
    writeStore("Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\Quillmere\\Zibbles\\FunctionKeys]\n");
    RegistryKey key(store);
    ASSERT_TRUE(key.openKeyReadOnly(kKey));
    EXPECT_FALSE(key.valueExists("F1"));
}

TEST_F(UserStoreTest, HandEditsBetweenOpensAreSeen)
{
    RegistryKey key(store);
    ASSERT_TRUE(key.openKey(kKey, true));
    key.writeInteger("F1", 1);
    key.closeKey();
    writeStore("Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\Software\\Quillmere\\Zibbles\\FunctionKeys]\n"
               "\"F1\"=dword:00000000\n");
    ASSERT_TRUE(key.openKeyReadOnly(kKey));
    EXPECT_EQ(key.readInteger("F1"), 0);
}

TEST_F(UserStoreTest, AnUnreadableFileIsKeptAsideBeforeItIsReplaced)
{
    const std::string garbage = "this is \x01 not a registry file\n\"F1\"=dword:1\n";
    writeStore(garbage);
    std::vector<std::string> told;
    store.onKeptAside = [&](const std::string &copy) { told.push_back(copy); };
    RegistryKey key(store);
    EXPECT_FALSE(key.openKeyReadOnly(kKey));
    ASSERT_TRUE(key.openKey(kKey, true));
    key.writeInteger("F1", 1);
    EXPECT_EQ(*readWholeFile(path + ".unreadable"), garbage);
    // The store is readable again, and the kept copy is not replaced later.
    key.writeInteger("F2", 1);
    EXPECT_EQ(*readWholeFile(path + ".unreadable"), garbage);
    EXPECT_EQ(key.readInteger("F2"), 1);
    EXPECT_EQ(told, std::vector<std::string>{path + ".unreadable"}) << "told once, when the copy was made";
}

TEST_F(UserStoreTest, AFileThatCannotBeReadIsKeptAsItIsAndTheNewOneCanBeRead)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root reads a file of any mode";
    writeStore("Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\Other]\n\"Kept\"=\"yes\"\n");
    ASSERT_EQ(::chmod(path.c_str(), 0200), 0);
    struct stat before {};
    ASSERT_EQ(::stat(path.c_str(), &before), 0);
    std::vector<std::string> told;
    store.onKeptAside = [&](const std::string &copy) { told.push_back(copy); };

    RegistryKey key(store);
    EXPECT_FALSE(key.openKeyReadOnly(kKey));
    key.openKeyForWriting(kKey);
    key.writeValues({RegistryKey::integerValue("F1", 1), RegistryKey::integerValue("F2", 0)});

    struct stat copy {};
    ASSERT_EQ(::stat((path + ".unreadable").c_str(), &copy), 0) << "no copy kept";
    EXPECT_EQ(copy.st_ino, before.st_ino) << "the copy is the unreadable file itself";
    EXPECT_EQ(told, std::vector<std::string>{path + ".unreadable"});
    ASSERT_TRUE(key.openKeyReadOnly(kKey)) << "the new file can be read";
    EXPECT_EQ(key.readInteger("F1"), 1);
    EXPECT_EQ(key.readInteger("F2"), 0);
}

TEST_F(UserStoreTest, AStoreThatCannotBeWrittenRaisesWithTheValueName)
{
    RegistryKey key(store);
    ASSERT_TRUE(key.openKey(kKey, true));
    // Replace the store by a folder: nothing can be written there any more.
    std::filesystem::remove(path);
    std::filesystem::create_directory(path);
    EXPECT_EQ(errorOf([&] { key.writeInteger("F7", 1); }), "Failed to set data for 'F7'");
    EXPECT_EQ(errorOf([&] { key.writeString("CharName", "x"); }), "Failed to set data for 'CharName'");

    UserStore blocked(dir.file("file-not-folder/user.reg"));
    ASSERT_TRUE(writeFileAtomically(dir.file("file-not-folder"), "x"));
    RegistryKey other(blocked);
    EXPECT_FALSE(other.openKey(kKey, true)); // cannot be created: no key
}

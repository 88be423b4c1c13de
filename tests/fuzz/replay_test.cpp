// Every kept fuzz input (the seeds and each input that once found a fault)
// runs through its check in every build, the sanitizer build included.
#include "fuzzcheck.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace zibbles::fuzz {
namespace {

struct Target {
    const char *name;
    Check check;
};

const Target kTargets[] = {
    {"regfile", checkRegFile},         {"hotkeytext", checkHotkeyText}, {"httpurl", checkHttpUrl},
    {"httpanswer", checkHttpAnswer},   {"shareserver", checkShareServer}, {"zibblerun", checkZibbleRun},
};

void PrintTo(const Target &target, std::ostream *out)
{
    *out << target.name;
}

std::string readFile(const std::filesystem::path &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

class ReplayTest : public ::testing::TestWithParam<Target> {};

TEST_P(ReplayTest, EveryKeptInputHolds)
{
    const std::filesystem::path folder = std::filesystem::path(ZIBBLES_FUZZ_CORPUS) / GetParam().name;
    ASSERT_TRUE(std::filesystem::is_directory(folder)) << folder;
    int inputs = 0;
    for (const auto &entry : std::filesystem::directory_iterator(folder)) {
        ++inputs;
        try {
            GetParam().check(readFile(entry.path()));
        } catch (const FuzzFailure &failure) {
            ADD_FAILURE() << entry.path().filename() << ": " << failure.what();
        }
    }
    EXPECT_GT(inputs, 0) << "no kept inputs in " << folder;
}

INSTANTIATE_TEST_SUITE_P(Fuzz, ReplayTest, ::testing::ValuesIn(kTargets),
                         [](const auto &info) { return std::string(info.param.name); });

} // namespace
} // namespace zibbles::fuzz

// The libFuzzer entry of one fuzz target; ZIBBLES_FUZZ_CHECK names its check.
#include "fuzzcheck.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    // The share server logs every request to stdout; the fuzzer reports on stderr.
    if (!std::freopen("/dev/null", "w", stdout))
        return 1;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    zibbles::fuzz::ZIBBLES_FUZZ_CHECK(std::string(reinterpret_cast<const char *>(data), size));
    return 0;
}

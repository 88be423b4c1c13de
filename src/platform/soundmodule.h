#pragma once
// The boundary between the program and its sound module, a shared library
// loaded at the first media command. Only plain results cross it (no
// exceptions), so the module needs nothing of the program but this header.
#include <string>

namespace zibbles {

class SoundBackend {
public:
    virtual ~SoundBackend() = default;
    virtual bool open(const std::string &path) = 0; // false: not openable
    virtual bool play() = 0;                        // false: nothing open
    virtual void close() = 0;
    virtual bool isPlaying() const = 0;
};

// The module's one entry point; the caller owns the result.
using CreateSoundBackendFn = SoundBackend *(*)();
constexpr const char *kCreateSoundBackendSymbol = "zibblesCreateSoundBackend";

} // namespace zibbles

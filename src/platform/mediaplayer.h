#pragma once
// The sound player behind media commands: one file open at a time, played
// without waiting for its end.
#include <memory>
#include <string>

namespace zibbles {

class MediaPlayer {
public:
    virtual ~MediaPlayer() = default;

    // True while a sound plays; a player with nothing open is not playing.
    virtual bool isPlaying() = 0;
    // The file that is open, or the one that open() will open.
    virtual std::string fileName() const = 0;
    virtual void setFileName(const std::string &path) = 0;
    // Stops any sound and releases the file; the name is kept.
    virtual void close() = 0;
    // Opens the file named by fileName(); raises AppError when it cannot.
    virtual void open() = 0;
    // Starts the open file and returns at once; raises AppError on failure.
    virtual void play() = 0;
};

// A player whose sound support is loaded from `modulePath` (a shared module
// exporting zibblesCreateSoundBackend) only when the first sound is opened, so
// the program starts without the multimedia libraries. On Windows the system
// plays sounds itself: no module is loaded and the path is not used.
std::unique_ptr<MediaPlayer> createDeferredMediaPlayer(const std::string &modulePath);

// The module's file name beside the program binary, or in lib/zibbles/ next
// to the program's bin/ folder for an installed copy; empty on Windows, which
// has no sound module.
std::string defaultSoundModulePath(const std::string &programFolder);

} // namespace zibbles

#pragma once
// Whole-file reads and atomic writes: a write goes to a temporary file in the
// same folder, is flushed to disk and then renamed over the target, so a crash
// or a full disk never leaves a torn or empty file behind.
#include <optional>
#include <string>

namespace zibbles {

// Writes `bytes` to `path` atomically; false when any step failed (the old
// file, if any, is then untouched and no temporary file is left behind).
// The new file gets the permission bits `mode`, by default those of the
// file it replaces (0644 for a new one).
bool writeFileAtomically(const std::string &path, const std::string &bytes,
                         std::optional<unsigned> mode = std::nullopt);

// The whole content of `path`; nullopt when it cannot be opened or read.
std::optional<std::string> readWholeFile(const std::string &path);

bool fileExists(const std::string &path);   // a regular file (or link to one)
bool pathExists(const std::string &path);   // anything at all; a dangling link is nothing
bool folderExists(const std::string &path);
bool makeFolders(const std::string &path);  // with missing parents

// Gives the regular file `path` a second name, `other`, which must not exist:
// the file's bytes stay as they are, whether this process can read them or
// not. False when that is not possible.
bool linkFile(const std::string &path, const std::string &other);

} // namespace zibbles

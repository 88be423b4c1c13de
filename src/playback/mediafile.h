#pragma once
// Where a media command's sound file is, and whether it may be played.
#include <string>

namespace zibbles {

// The program folder's "media/" followed by the name exactly as written:
// the path that error texts show.
std::string mediaFilePath(const std::string &appFolder, const std::string &name);

// The same file as the file system names it: the zibble's name is
// Windows-1252 text, file names here are UTF-8.
std::string mediaFileSystemPath(const std::string &appFolder, const std::string &name);

// False for a name that climbs out of the media folder through a ".."
// component: zibbles come from other people and may only play the sounds
// the user has put into that folder.
bool staysInMediaFolder(const std::string &name);

// The path's extension (from the last dot after the last separator), in
// lower case, is ".wav" or ".mp3".
bool hasSoundExtension(const std::string &path);

} // namespace zibbles

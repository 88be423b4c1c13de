#pragma once
// Screenshot files: BMP files named by the local time, kept in the folder
// "ScreenShots" of the program folder, which the program never creates.
#include <functional>
#include <string>

class QDateTime;
class QImage;

namespace zibbles {

class MessageService;

// appFolder ends in "/"; the result has no trailing separator.
std::string screenshotFolder(const std::string &appFolder);

// yyyymmdd-T.bmp, T being the milliseconds since local midnight without
// leading zeros: 14:05:09.250 on 7 December 2026 is 20261207-50709250.bmp.
std::string screenshotFileName(const QDateTime &localTime);

// Writes `image` as a BMP file of the image's colour depth, named for
// `localTime`, into the screenshot folder, replacing a file of that name. Without the folder nothing is
// stored. A file that cannot be written raises "Cannot create file %s".
void storeScreenshot(const std::string &appFolder, const QImage &image, const QDateTime &localTime);

using FolderOpener = std::function<void(const std::string &folder)>;

// Shows the folder in the user's file manager.
void openInFileManager(const std::string &folder);

// Opens the screenshot folder, or tells the user it is not a folder.
void openScreenshotFolder(const std::string &appFolder, MessageService &messages,
                          const FolderOpener &open = openInFileManager);

} // namespace zibbles

#include "screenshots.h"

#include "bmpfile.h"

#include "core/error.h"
#include "core/paths.h"
#include "platform/atomicfile.h"
#include "platform/messages.h"

#include <QDateTime>
#include <QDesktopServices>
#include <QImage>
#include <QUrl>

namespace zibbles {

std::string screenshotFolder(const std::string &appFolder)
{
    return appFolder + "ScreenShots";
}

std::string screenshotFileName(const QDateTime &localTime)
{
    const QDate day = localTime.date();
    return QStringLiteral("%1%2%3-%4.bmp")
        .arg(day.year())
        .arg(day.month(), 2, 10, QLatin1Char('0'))
        .arg(day.day(), 2, 10, QLatin1Char('0'))
        .arg(localTime.time().msecsSinceStartOfDay())
        .toStdString();
}

void storeScreenshot(const std::string &appFolder, const QImage &image, const QDateTime &localTime)
{
    const std::string folder = screenshotFolder(appFolder);
    if (!folderExists(folder))
        return;
    const std::string path = folder + separatorOf(appFolder) + screenshotFileName(localTime);
    const std::string bytes = bmpFileBytes(image);
    if (bytes.empty() || !writeFileAtomically(path, bytes))
        throw AppError(formatMessage("Cannot create file %s", path));
}

void openInFileManager(const std::string &folder)
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(folder)));
}

void openScreenshotFolder(const std::string &appFolder, MessageService &messages, const FolderOpener &open)
{
    const std::string folder = screenshotFolder(appFolder);
    if (folderExists(folder))
        open(folder);
    else
        messages.showMessage("\"" + folder + "\" is not a folder.");
}

} // namespace zibbles

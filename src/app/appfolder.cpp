#include "appfolder.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace zibbles {

#ifndef Q_OS_WIN
namespace {

// Where packages put programs. Root may write there, but zibbles kept beside
// an installed program would be lost with the next update of the package.
bool isSystemFolder(const QString &folder)
{
    for (const char *prefix : {"/usr/", "/opt/"})
        if (folder.startsWith(QLatin1String(prefix)))
            return true;
    return folder == QLatin1String("/bin") || folder == QLatin1String("/sbin");
}

// `cmake --install` into any prefix, a home folder's too, puts the sound
// module in lib/zibbles/ beside the program's bin/; a build keeps it beside
// the program.
bool isInstalledCopy(const QString &folder)
{
    return isSystemFolder(folder) || QFileInfo(folder + "/../lib/zibbles").isDir();
}

} // namespace
#endif

std::string appFolderFor(const std::string &executablePath)
{
    const QFileInfo exe(QString::fromStdString(executablePath));
    const QString folder = exe.absolutePath();
    // On Windows the zibbles always live beside the program: its installer
    // puts it in a folder that its user can write.
#ifndef Q_OS_WIN
    if (!QFileInfo(folder).isWritable() || isInstalledCopy(folder)) {
        const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
        return (data + "/zibbles/").toStdString();
    }
#endif
    return (QDir::toNativeSeparators(folder) + QDir::separator()).toStdString();
}

} // namespace zibbles

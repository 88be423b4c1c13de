#include "appfolder.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace zibbles {

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

} // namespace

std::string appFolderFor(const std::string &executablePath)
{
    const QFileInfo exe(QString::fromStdString(executablePath));
    const QString folder = exe.absolutePath();
    if (QFileInfo(folder).isWritable() && !isSystemFolder(folder))
        return (folder + '/').toStdString();
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return (data + "/zibbles/").toStdString();
}

} // namespace zibbles

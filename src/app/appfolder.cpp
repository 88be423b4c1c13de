#include "appfolder.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace zibbles {

std::string appFolderFor(const std::string &executablePath)
{
    const QFileInfo exe(QString::fromStdString(executablePath));
    const QString folder = exe.absolutePath();
    if (QFileInfo(folder).isWritable())
        return (folder + '/').toStdString();
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return (data + "/zibbles/").toStdString();
}

} // namespace zibbles

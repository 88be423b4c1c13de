#include "fontchoice.h"

#include <QFontDatabase>
#include <QSet>

namespace zibbles {

namespace {

// The installed families by name, read once. QFontDatabase::hasFamily would
// ask fontconfig to resolve every name as an alias first, which costs more
// than the whole rest of the program's start for a name that is missing.
bool isInstalled(const QString &family)
{
    static const QSet<QString> installed = [] {
        QSet<QString> names;
        for (const QString &name : QFontDatabase::families())
            names.insert(name.toCaseFolded());
        return names;
    }();
    return installed.contains(family.toCaseFolded());
}

} // namespace

QFont installedFont(const QStringList &families, QFont::StyleHint hint, qreal pointSize)
{
    QFont font;
    bool found = false;
    for (const QString &family : families) {
        if (isInstalled(family)) {
            font = QFont(family);
            found = true;
            break;
        }
    }
    if (!found)
        font = QFontDatabase::systemFont(hint == QFont::TypeWriter ? QFontDatabase::FixedFont
                                                                   : QFontDatabase::GeneralFont);
    font.setStyleHint(hint);
    font.setPointSizeF(pointSize);
    return font;
}

} // namespace zibbles

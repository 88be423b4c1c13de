#include "fontchoice.h"

#include <QFontDatabase>

namespace zibbles {

QFont installedFont(const QStringList &families, QFont::StyleHint hint, qreal pointSize)
{
    QFont font;
    bool found = false;
    for (const QString &family : families) {
        if (QFontDatabase::hasFamily(family)) {
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

#pragma once
// Picks the first installed font of a list, so a face the program was drawn
// for ("Courier New", "MS Sans Serif") falls back to its closest local twin.
#include <QFont>
#include <QStringList>

namespace zibbles {

// The first of `families` that the font database knows, at `pointSize`;
// when none is installed, the system's general font of the kind `hint` names.
QFont installedFont(const QStringList &families, QFont::StyleHint hint, qreal pointSize);

} // namespace zibbles

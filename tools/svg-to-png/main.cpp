// svg-to-png SCALE OUT-FOLDER SVG...: draws each SVG at SCALE times its own
// size into OUT-FOLDER/<name>.png. The Windows build has no Qt Svg; it takes
// its pictures as PNG files drawn here, by the Linux build's Qt Svg.
// svg-to-png --icon OUT.ico SVG: draws the SVG as the Windows program's icon,
// at the sizes Windows shows.
#include "icofile.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSaveFile>
#include <QSvgRenderer>
#include <cstdio>

namespace {

QImage draw(QSvgRenderer &renderer, QSize size)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    renderer.render(&painter);
    painter.end();
    return image;
}

bool readable(const QSvgRenderer &renderer, const QString &svg)
{
    if (!renderer.isValid())
        std::fprintf(stderr, "svg-to-png: cannot read %s\n", qPrintable(svg));
    return renderer.isValid();
}

bool convert(const QString &svg, const QDir &out, double scale)
{
    QSvgRenderer renderer(svg);
    if (!readable(renderer, svg))
        return false;
    const QImage image = draw(renderer, renderer.defaultSize() * scale);
    const QString png = out.filePath(QFileInfo(svg).completeBaseName() + QStringLiteral(".png"));
    if (!image.save(png, "PNG")) {
        std::fprintf(stderr, "svg-to-png: cannot write %s\n", qPrintable(png));
        return false;
    }
    return true;
}

bool makeIcon(const QString &svg, const QString &ico)
{
    QSvgRenderer renderer(svg);
    if (!readable(renderer, svg))
        return false;
    QList<IconPicture> pictures;
    for (const int size : {16, 20, 24, 32, 40, 48, 64, 256}) {
        QBuffer png;
        png.open(QIODevice::WriteOnly);
        draw(renderer, QSize(size, size)).save(&png, "PNG");
        pictures.append({size, png.data()});
    }
    QSaveFile file(ico);
    if (!file.open(QIODevice::WriteOnly) || file.write(iconFile(pictures)) < 0 || !file.commit()) {
        std::fprintf(stderr, "svg-to-png: cannot write %s\n", qPrintable(ico));
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    // It draws into images only: no display is needed.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 4 && args[1] == QStringLiteral("--icon"))
        return makeIcon(args[3], args[2]) ? 0 : 1;
    bool ok = false;
    const double scale = args.size() > 3 ? args[1].toDouble(&ok) : 0;
    if (!ok || scale <= 0) {
        std::fprintf(stderr, "usage: svg-to-png SCALE OUT-FOLDER SVG... | svg-to-png --icon OUT.ico SVG\n");
        return 2;
    }
    const QDir out(args[2]);
    for (qsizetype i = 3; i < args.size(); ++i) {
        if (!convert(args[i], out, scale))
            return 1;
    }
    return 0;
}

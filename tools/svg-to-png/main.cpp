// svg-to-png SCALE OUT-FOLDER SVG...: draws each SVG at SCALE times its own
// size into OUT-FOLDER/<name>.png. The Windows build has no Qt Svg; it takes
// its pictures as PNG files drawn here, by the Linux build's Qt Svg.
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>

namespace {

bool convert(const QString &svg, const QDir &out, double scale)
{
    QSvgRenderer renderer(svg);
    if (!renderer.isValid()) {
        std::fprintf(stderr, "svg-to-png: cannot read %s\n", qPrintable(svg));
        return false;
    }
    QImage image(renderer.defaultSize() * scale, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    renderer.render(&painter);
    painter.end();
    const QString png = out.filePath(QFileInfo(svg).completeBaseName() + QStringLiteral(".png"));
    if (!image.save(png, "PNG")) {
        std::fprintf(stderr, "svg-to-png: cannot write %s\n", qPrintable(png));
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
    bool ok = false;
    const double scale = args.size() > 3 ? args[1].toDouble(&ok) : 0;
    if (!ok || scale <= 0) {
        std::fprintf(stderr, "usage: svg-to-png SCALE OUT-FOLDER SVG...\n");
        return 2;
    }
    const QDir out(args[2]);
    for (qsizetype i = 3; i < args.size(); ++i) {
        if (!convert(args[i], out, scale))
            return 1;
    }
    return 0;
}

#pragma once
// The program's pictures, from its resources: drawn from SVG files where the
// build has Qt Svg, from PNG files drawn from them at build time elsewhere
// (Windows).
#include <QIcon>
#include <QWidget>

#include <memory>

namespace zibbles {

// The resource of the picture `name` (for example "tray-enabled").
QString picturePath(const QString &name);
inline QIcon pictureIcon(const QString &name) { return QIcon(picturePath(name)); }

// A picture of the window at the widget's size. It takes no mouse input:
// clicks go to whatever lies under it.
class Picture : public QWidget {
    Q_OBJECT
public:
    Picture(const QString &name, const QRect &geometry, QWidget *parent);
    ~Picture() override;
    bool isLoaded() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    class Drawing;
    std::unique_ptr<Drawing> m_drawing;
};

} // namespace zibbles

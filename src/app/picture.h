#pragma once
// A picture of the window drawn from an SVG file, at the widget's size. It
// takes no mouse input: clicks go to whatever lies under it.
#include <QSvgRenderer>
#include <QWidget>

namespace zibbles {

class SvgPicture : public QWidget {
    Q_OBJECT
public:
    SvgPicture(const QString &file, const QRect &geometry, QWidget *parent);
    bool isLoaded() const { return m_renderer.isValid(); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QSvgRenderer m_renderer;
};

} // namespace zibbles

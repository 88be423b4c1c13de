#pragma once
// The main window's chrome: its font, the background and logo pictures, the
// logo's hot spot and animation, balloon hints, and a size that never changes.
#include <QFont>
#include <QObject>

class QWidget;

namespace zibbles {

class LogoAnimation;
class RoundHotSpot;
class Picture;

// "MS Sans Serif" at 8 points (11 pixels at 96 dots per inch), or the closest
// installed face.
QFont windowFont();

class WindowChrome : public QObject {
    Q_OBJECT
public:
    explicit WindowChrome(QWidget *form);

    Picture *background() const { return m_background; }
    Picture *logo() const { return m_logo; }
    Picture *alternateLogo() const { return m_alternateLogo; }
    RoundHotSpot *logoHotSpot() const { return m_hotSpot; }
    LogoAnimation *logoAnimation() const { return m_animation; }

protected:
    // Refuses maximising and full screen.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *m_form;
    Picture *m_background;
    Picture *m_logo;
    Picture *m_alternateLogo;
    RoundHotSpot *m_hotSpot;
    LogoAnimation *m_animation;
};

} // namespace zibbles

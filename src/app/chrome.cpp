#include "chrome.h"

#include "hintstyle.h"
#include "logoanimation.h"
#include "picture.h"

#include "library/fontchoice.h"

#include <QEvent>
#include <QWidget>

namespace zibbles {

namespace {
constexpr QRect kBackground(0, 0, 460, 460);
constexpr QRect kLogo(16, 16, 138, 128);
constexpr QRect kLogoHotSpot(32, 24, 33, 33);
constexpr Qt::WindowStates kResizingStates = Qt::WindowMaximized | Qt::WindowFullScreen;
} // namespace

QFont windowFont()
{
    return installedFont({QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                          QStringLiteral("Liberation Sans"), QStringLiteral("Arial"), QStringLiteral("DejaVu Sans")},
                         QFont::SansSerif, 8);
}

WindowChrome::WindowChrome(QWidget *form)
    : QObject(form)
    , m_form(form)
    , m_background(new Picture(QStringLiteral("background"), kBackground, form))
    , m_logo(new Picture(QStringLiteral("logo"), kLogo, form))
    , m_alternateLogo(new Picture(QStringLiteral("logo-alternate"), kLogo, form))
    , m_hotSpot(new RoundHotSpot(kLogoHotSpot, form))
    , m_animation(new LogoAnimation(m_logo, m_alternateLogo, this))
{
    const QFont font = windowFont();
    form->setFont(font);
    installBalloonHints(font);

    // The pictures lie under every control, the background under the logos.
    m_alternateLogo->lower();
    m_logo->lower();
    m_background->lower();
    m_hotSpot->raise();
    connect(m_hotSpot, &RoundHotSpot::released, m_animation, &LogoAnimation::start);

    form->installEventFilter(this);
}

bool WindowChrome::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_form && event->type() == QEvent::WindowStateChange &&
        (m_form->windowState() & kResizingStates))
        m_form->setWindowState(m_form->windowState() & ~kResizingStates);
    return QObject::eventFilter(watched, event);
}

} // namespace zibbles

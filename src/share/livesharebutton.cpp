#include "livesharebutton.h"

#include "hosts.h"

#include "core/handlerguard.h"
#include "library/zibbleeditor.h"

#include <QApplication>
#include <QDesktopServices>
#include <QMenu>
#include <QPushButton>
#include <QUrl>

namespace zibbles {

std::string EditorZibble::editorText()
{
    return m_wiring.editor->textBytes();
}

bool EditorZibble::editorModified()
{
    return m_wiring.editorModified();
}

std::string EditorZibble::activeFile()
{
    return m_wiring.activeFileName();
}

void EditorZibble::insertFirstLine(const std::string &line)
{
    m_wiring.editor->insertFirstLine(line);
}

void EditorZibble::replaceText(const std::string &text)
{
    m_wiring.editor->setTextBytes(text);
}

void EditorZibble::SaveActiveZibble()
{
    m_wiring.saveActiveZibble();
}

LiveShareButton::LiveShareButton(QWidget *form, LiveShareWiring wiring)
    : m_form(form)
    , m_wiring(std::move(wiring))
    , m_button(new QPushButton(QStringLiteral("Live Share"), form))
    , m_menu(new QMenu(form))
{
    m_button->setGeometry(168, 80, 89, 22);
    m_button->setToolTip(QStringLiteral("LIVE SHARE!!!!"));
    m_button->setCursor(Qt::ArrowCursor);
    m_button->setFocusPolicy(Qt::NoFocus);
    m_menu->addAction(QStringLiteral("Live Share - Upload Active Zibble Now"),
                      [this] { runGuarded([this] { UploadClick(); }); });
    m_menu->addAction(QStringLiteral("Live Share - Get a Zibble"),
                      [this] { runGuarded([this] { GetZibbleClick(); }); });
    m_menu->addSeparator();
    m_menu->addAction(QStringLiteral("Standard Share - Go to Web Site"),
                      [this] { runGuarded([this] { GoToWebSiteClick(); }); });
    m_button->setMenu(m_menu);
}

LiveShareButton::~LiveShareButton() = default;

LiveShareServices LiveShareButton::services() const
{
    LiveShareServices s;
    s.messages = m_wiring.messages;
    s.pump = m_wiring.pump;
    s.beep = [] { QApplication::beep(); };
    // Read afresh, so that a changed store takes effect at once.
    s.host = liveShareHost(*m_wiring.store);
    return s;
}

void LiveShareButton::UploadClick()
{
    UploadActiveZibbleNow(m_form, m_zibble, services());
}

void LiveShareButton::GetZibbleClick()
{
    GetAZibble(m_form, m_zibble, services());
}

void LiveShareButton::GoToWebSiteClick()
{
    // Nothing is checked beforehand and nothing is reported.
    QDesktopServices::openUrl(QUrl(QString::fromStdString("http://" + liveShareHost(*m_wiring.store) + "/zibbles/")));
}

} // namespace zibbles

#include "liveupload.h"

#include "boundslot.h"

#include "core/handlerguard.h"
#include "platform/messages.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace zibbles {

namespace {

const char *const kTexts[] = {
    "This share method will connect to the Zibbles web site and upload your active Zibble file; the Zibble file "
    "will then be assigned an ID number.",
    "You can share the ID it with friends and they can use Zibbles Live Share to install the zibble file!",
    "The Zibble will not be included in the Zibbles database of shared Zibbles; this feature is for sharing "
    "Zibbles with friends only.",
    "No personal information is transmitted only the Zibble file itself is sent to the server.  Would you like to "
    "connect to the Zibbles web site now and upload the currently active zibble file?",
};
const char *const kShareError = "Zibbles experienced an error in the process of sharing this file.";

// The server's answer ends with a line break as often as not; the ID is
// the text before it.
std::string idFromBody(const std::string &body)
{
    return body.substr(0, body.find_first_of("\r\n"));
}

} // namespace

TLiveUp::TLiveUp(QWidget *owner, ActiveZibble &zibble, const LiveShareServices &services)
    : LiveShareDialog(owner, services, QStringLiteral("Zibbles Live Share - Upload Zibble"), QSize(346, 264))
    , m_zibble(zibble)
{
    HttpUrlRequest1.RequestMethod = methPost;
    HttpUrlRequest1.setURL("HTTP://");

    auto *column = new QVBoxLayout(this);
    for (const char *text : kTexts) {
        auto *label = new QLabel(QString::fromLatin1(text), this);
        label->setWordWrap(true);
        column->addWidget(label);
    }
    m_connect = addButtonsAndStatusBar(column, QStringLiteral("Connect Now"), QStringLiteral("Standby..."));
    connect(m_connect, &QPushButton::clicked, this, [this] { runGuarded([this] { ConnectNowClick(); }); });
}

void TLiveUp::ConnectNowClick()
{
    runHandler([this] { upload(); });
}

void TLiveUp::upload()
{
    BoundSlot slot(m_zibble);
    setStatus("Connecting...");
    HttpUrlRequest1.setURL("http://" + m_services.host + "/zibbles/liveshare/upload.asp");
    HttpUrlRequest1.AddRequestHeader("User-Agent", "Zibbles");
    HttpUrlRequest1.AddRequestHeader("Host", m_services.host);
    HttpUrlRequest1.RequestMethod = methPost;
    HttpUrlRequest1.PostData = "v=1&zibblef=" + UrlEncode(m_zibble.editorText());
    const int result = HttpUrlRequest1.Execute(kLiveShareTimeoutSeconds);
    if (closeAsked())
        return; // cancelled: nothing changes
    if (result != 200) {
        m_services.messages->showMessage(kShareError);
        close();
        return;
    }
    const std::string id = idFromBody(HttpUrlRequest1.ReadResponse(false));
    setStatus(id);
    slot.insertFirstLine(kLiveShareHeader + id);
    m_services.messages->showMessage("Success!\n\rYour zibble has been shared with Zibble File ID:" + id +
                                     "\n\r\n\rYour local Zibble has been modified for future reference; the first "
                                     "line of the Zibble shows the Zibble Live Share ID");
    close();
    slot.save();
}

} // namespace zibbles

#include "dlzibble.h"

#include "boundslot.h"

#include "core/handlerguard.h"
#include "platform/messages.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace zibbles {

namespace {

const char *const kIntro = "You are about to connect to the Zibbles Web site to download a Zibble; the currently "
                           "selected Zibble will be replaced with this new downloaded one.";
const char *const kRetrieveError = "Zibbles experienced an error in the process of retrieving this file.";
const char *const kNotFound = "That Zibble could not be found. Did you enter the ID correctly?";

// The field's text as a 32-bit integer; 0 when it is not one.
int fieldValue(const QLineEdit *field)
{
    bool ok = false;
    const int value = field->text().toInt(&ok, 10);
    return ok ? value : 0;
}

bool isAsciiLetter(QChar c)
{
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
}

std::string bytes(const QLineEdit *field)
{
    return field->text().toLatin1().toStdString();
}

} // namespace

TDLGig::TDLGig(QWidget *owner, ActiveZibble &zibble, const LiveShareServices &services)
    : LiveShareDialog(owner, services, QStringLiteral("Zibbles Live Share - Get Zibble"), QSize(354, 182))
    , m_zibble(zibble)
{
    HttpUrlRequest1.RequestMethod = methGet;

    auto *column = new QVBoxLayout(this);
    auto *intro = new QLabel(QString::fromLatin1(kIntro), this);
    intro->setWordWrap(true);
    column->addWidget(intro);

    auto *idRow = new QHBoxLayout;
    m_letter = new QLineEdit(this);
    m_letter->setMaxLength(1);
    m_letter->setFixedWidth(30);
    auto *dash = new QLabel(QStringLiteral("-"), this);
    QFont bold = dash->font();
    bold.setBold(true);
    bold.setPointSize(bold.pointSize() + 6);
    dash->setFont(bold);
    m_number = new QLineEdit(this);
    m_number->setMaxLength(10);
    m_number->setFixedWidth(100);
    idRow->addStretch();
    idRow->addWidget(m_letter);
    idRow->addWidget(dash);
    idRow->addWidget(m_number);
    idRow->addStretch();
    column->addLayout(idRow);
    setTabOrder(m_letter, m_number);

    m_get = addButtonsAndStatusBar(column, QStringLiteral("Get Zibble Now"), QString());
    m_get->setEnabled(false);

    connect(m_letter, &QLineEdit::textChanged, this, &TDLGig::InputCheck);
    connect(m_number, &QLineEdit::textChanged, this, &TDLGig::InputCheck);
    connect(m_get, &QPushButton::clicked, this, [this] { runGuarded([this] { GetZibbleNowClick(); }); });
}

void TDLGig::InputCheck()
{
    // Emptying a field is itself a change and runs this check once more.
    if (!m_letter->text().isEmpty() && !isAsciiLetter(m_letter->text().at(0))) {
        m_letter->clear();
        m_services.beep();
    }
    if (!m_number->text().isEmpty() && fieldValue(m_number) < 1) {
        m_number->clear();
        m_services.beep();
    }
    m_get->setEnabled(!m_letter->text().isEmpty() && fieldValue(m_number) > 100);
}

void TDLGig::GetZibbleNowClick()
{
    runHandler([this] { download(); });
}

void TDLGig::download()
{
    const std::string letter = bytes(m_letter);
    const std::string number = bytes(m_number);
    BoundSlot slot(m_zibble);
    setStatus("Connecting...");
    HttpUrlRequest1.setURL("http://" + m_services.host + "/zibbles/liveshare/download.asp?v=1&c=" +
                           UrlEncode(letter) + "&id=" + UrlEncode(number));
    HttpUrlRequest1.AddRequestHeader("User-Agent", "Zibbles");
    HttpUrlRequest1.AddRequestHeader("Host", m_services.host);
    HttpUrlRequest1.RequestMethod = methGet;
    const int result = HttpUrlRequest1.Execute(kLiveShareTimeoutSeconds);
    if (closeAsked())
        return; // cancelled: nothing changes
    if (result != 200) {
        m_services.messages->showMessage(kRetrieveError);
        close();
        return;
    }
    const std::string body = HttpUrlRequest1.ReadResponse(false);
    if (trimControlBytes(body) == "!Failed!") {
        m_services.messages->showMessage(kNotFound);
        return;
    }
    setStatus("Success!");
    slot.replaceText(kLiveShareHeader + letter + "-" + number + "\r\n" + body);
    m_services.messages->showMessage("Success!\n\rYour Zibble has been installed");
    close();
    slot.save();
}

} // namespace zibbles

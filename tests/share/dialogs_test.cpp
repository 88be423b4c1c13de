// The live-share dialogs offscreen, against scripted servers on 127.0.0.1:
// the input check, the menu entries' messages, and what success and failure
// do to the editor and the slot file.
#include "fakeactivezibble.h"
#include "scriptedserver.h"

#include "steppingpump.h"

#include "fakes/recordingmessages.h"
#include "fakes/tempdir.h"
#include "platform/qt/qteventloop.h"
#include "share/dlzibble.h"
#include "share/liveupload.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

namespace zibbles {
namespace {

using testing::FakeActiveZibble;
using testing::RecordingMessages;
using testing::ScriptedReply;
using testing::ScriptedServer;
using testing::TempDir;

const std::string kOk = "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\n\r\n";
const std::string kShareError = "Zibbles experienced an error in the process of sharing this file.";
const std::string kRetrieveError = "Zibbles experienced an error in the process of retrieving this file.";
const std::string kNotFound = "That Zibble could not be found. Did you enter the ID correctly?";

struct Fixture : ::testing::Test {
    TempDir dir;
    RecordingMessages messages;
    QtMessagePump pump;
    int beeps = 0;
    LiveShareServices services(const std::string &host)
    {
        LiveShareServices s;
        s.messages = &messages;
        s.pump = &pump;
        s.beep = [this] { ++beeps; };
        s.host = host;
        return s;
    }
};

std::string uploadSuccess(const std::string &id)
{
    return "Success!\n\rYour zibble has been shared with Zibble File ID:" + id +
           "\n\r\n\rYour local Zibble has been modified for future reference; the first line of the Zibble shows "
           "the Zibble Live Share ID";
}

using LiveShareInputCheck = Fixture;

TEST_F(LiveShareInputCheck, LetterFieldTakesOnlyAsciiLetters)
{
    FakeActiveZibble zibble(dir.file("F1"), "");
    TDLGig dialog(nullptr, zibble, services("h.invalid"));
    for (const char *bad : {"7", "-", "%", "\xE9"}) {
        dialog.letterField()->setText(QString::fromLatin1(bad));
        EXPECT_EQ(dialog.letterField()->text(), "") << bad;
    }
    EXPECT_EQ(beeps, 4);
    for (const char *good : {"a", "Z"}) {
        dialog.letterField()->setText(QString::fromLatin1(good));
        EXPECT_EQ(dialog.letterField()->text(), good);
    }
    EXPECT_EQ(beeps, 4);
    EXPECT_EQ(dialog.letterField()->maxLength(), 1);
    EXPECT_EQ(dialog.numberField()->maxLength(), 10);
}

TEST_F(LiveShareInputCheck, NumberFieldRefusesValuesBelowOneAndTheButtonWantsAbove100)
{
    FakeActiveZibble zibble(dir.file("F1"), "");
    TDLGig dialog(nullptr, zibble, services("h.invalid"));
    EXPECT_FALSE(dialog.getButton()->isEnabled());
    for (const char *bad : {"0", "-5", "abc", "-"}) {
        dialog.numberField()->setText(bad);
        EXPECT_EQ(dialog.numberField()->text(), "") << bad;
    }
    EXPECT_EQ(beeps, 4);

    dialog.numberField()->setText("5");
    EXPECT_EQ(dialog.numberField()->text(), "5");
    EXPECT_FALSE(dialog.getButton()->isEnabled()); // no letter yet
    dialog.letterField()->setText("k");
    EXPECT_FALSE(dialog.getButton()->isEnabled()); // 5 is not above 100
    dialog.numberField()->setText("100");
    EXPECT_FALSE(dialog.getButton()->isEnabled());
    dialog.numberField()->setText("101");
    EXPECT_TRUE(dialog.getButton()->isEnabled());
    dialog.numberField()->setText("0123"); // pasted: its value is 123
    EXPECT_EQ(dialog.numberField()->text(), "0123");
    EXPECT_TRUE(dialog.getButton()->isEnabled());
    dialog.letterField()->setText("");
    EXPECT_FALSE(dialog.getButton()->isEnabled());
    EXPECT_EQ(beeps, 4);
}

TEST_F(LiveShareInputCheck, TypingZeroFirstEmptiesTheNumberField)
{
    FakeActiveZibble zibble(dir.file("F1"), "");
    TDLGig dialog(nullptr, zibble, services("h.invalid"));
    dialog.numberField()->setFocus();
    dialog.numberField()->insert("0");
    EXPECT_EQ(dialog.numberField()->text(), "");
    dialog.numberField()->insert("4");
    dialog.numberField()->insert("7");
    dialog.numberField()->insert("1");
    dialog.numberField()->insert("1");
    EXPECT_EQ(dialog.numberField()->text(), "4711");
    EXPECT_EQ(beeps, 1);
}

using LiveShareMenu = Fixture;

TEST_F(LiveShareMenu, UnsavedEditsStopTheUploadBeforeAnyRequest)
{
    ScriptedServer server(ScriptedReply{kOk + "K-1"});
    FakeActiveZibble zibble(dir.file("F1"), "hi");
    zibble.modified = true;
    UploadActiveZibbleNow(nullptr, zibble, services(server.host()));
    EXPECT_EQ(messages.messages,
              std::vector<std::string>{"The currently active Zibble is not saved. Please click the save button first."});
    EXPECT_TRUE(server.requests().empty());
    EXPECT_EQ(zibble.fileBytes(), "hi");
}

TEST_F(LiveShareMenu, DecliningTheDownloadGivesTheAdvice)
{
    FakeActiveZibble zibble(dir.file("F1"), "hi");
    messages.answerYes = false;
    GetAZibble(nullptr, zibble, services("h.invalid"));
    EXPECT_EQ(messages.questions,
              std::vector<std::string>{"Did you select an empty Function Key or Zibble that you want to replace? The "
                                       "current Zibble will be replaced with the Zibble you are about to download. "
                                       "Are you sure, you want to do this? "});
    EXPECT_EQ(messages.messages,
              std::vector<std::string>{"Use the \"Zibble Sets\" Button to select a different set and/or use one of "
                                       "the function key buttons at the bottom of the program to select an empty "
                                       "slot for the new Zibble then try again."});
}

using LiveShareUpload = Fixture;

TEST_F(LiveShareUpload, SuccessPutsTheIdLineOnTopAndSaves)
{
    ScriptedServer server(ScriptedReply{kOk + "K-4711\r\n"});
    FakeActiveZibble zibble(dir.file("F3"), "hello there\r\n'heyhey");
    TLiveUp dialog(nullptr, zibble, services(server.host()));
    dialog.show();
    EXPECT_EQ(dialog.statusText(), "Standby...");
    EXPECT_EQ(dialog.windowTitle(), "Zibbles Live Share - Upload Zibble");
    EXPECT_EQ(dialog.size(), QSize(346, 264));
    dialog.ConnectNowClick();

    const std::string h = server.host();
    ASSERT_EQ(server.requests().size(), 1u);
    const std::string body = "v=1&zibblef=hello%20there%0D%0A%27heyhey";
    EXPECT_EQ(server.requests()[0], "POST /zibbles/liveshare/upload.asp HTTP/1.0\r\n"
                                    "Connection: close\r\n"
                                    "Accept: */*\r\n"
                                    "User-Agent: Zibbles\r\n"
                                    "Host: " + h + "\r\n"
                                    "Content-Type: application/x-www-form-urlencoded\r\n"
                                    "Content-Length: " + std::to_string(body.size()) + "\r\n"
                                    "\r\n" + body + "\r\n"
                                    "Host: " + h + "\r\n");
    EXPECT_EQ(dialog.statusText(), "K-4711");
    EXPECT_EQ(messages.messages, std::vector<std::string>{uploadSuccess("K-4711")});
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(zibble.fileBytes(), "# Available Via Zibbles Live Share: K-4711\r\nhello there\r\n'heyhey");
    EXPECT_FALSE(zibble.modified);
}

TEST_F(LiveShareUpload, AnEmptyZibbleAndAnEmptyIdAndStackedHeaderLines)
{
    ScriptedServer server({ScriptedReply{kOk}, ScriptedReply{kOk + "B-202\n"}});
    FakeActiveZibble zibble(dir.file("F1"), "");
    {
        TLiveUp dialog(nullptr, zibble, services(server.host()));
        dialog.ConnectNowClick();
    }
    // The line and CR LF go in front of the (empty) text.
    EXPECT_EQ(zibble.fileBytes(), "# Available Via Zibbles Live Share: \r\n");
    {
        TLiveUp dialog(nullptr, zibble, services(server.host()));
        dialog.ConnectNowClick();
    }
    EXPECT_EQ(zibble.fileBytes(), "# Available Via Zibbles Live Share: B-202\r\n# Available Via Zibbles Live Share: \r\n");
    ASSERT_EQ(server.requests().size(), 2u);
    EXPECT_NE(server.requests()[0].find("Content-Length: 12\r\n\r\nv=1&zibblef=\r\nHost: "), std::string::npos);
    EXPECT_NE(server.requests()[1].find("\r\n\r\nv=1&zibblef=%23%20Available%20Via%20Zibbles%20Live%20Share%3A%20%0D%0A\r\n"),
              std::string::npos);
    EXPECT_EQ(messages.messages, (std::vector<std::string>{uploadSuccess(""), uploadSuccess("B-202")}));
}

TEST_F(LiveShareUpload, FailuresLeaveEditorAndFileAsTheyWere)
{
    const std::string original = "line one\r\nline two";
    ScriptedServer server({ScriptedReply{"HTTP/1.1 404 Not Found\r\n\r\nK-1"},
                           ScriptedReply{"garbage"},
                           ScriptedReply{kOk + "K-2", ScriptedReply::Then::Reset},
                           ScriptedReply{"HTTP/1.1 200 OK\r\n"}});
    FakeActiveZibble zibble(dir.file("F2"), original);
    for (const std::string &host :
         {server.host(), server.host(), server.host(), server.host(), std::string("zibbles.invalid"),
          "127.0.0.1:" + std::to_string(testing::closedPort())}) {
        TLiveUp dialog(nullptr, zibble, services(host));
        dialog.show();
        dialog.ConnectNowClick();
        EXPECT_FALSE(dialog.isVisible()) << host;
    }
    EXPECT_EQ(messages.messages, std::vector<std::string>(6, kShareError));
    EXPECT_EQ(zibble.text, original);
    EXPECT_EQ(zibble.fileBytes(), original);
    EXPECT_EQ(zibble.saves, 0);
}

TEST_F(LiveShareUpload, CancelEndsTheExchangeAtOnceAndASecondPressIsIgnored)
{
    ScriptedServer server(ScriptedReply{"", ScriptedReply::Then::Hold});
    FakeActiveZibble zibble(dir.file("F1"), "text");
    testing::SteppingPump stepping(1000); // each wait is a second of the 30 s time-out
    LiveShareServices s = services(server.host());
    s.pump = &stepping;
    QPointer<TLiveUp> dialog = new TLiveUp(nullptr, zibble, s);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->show();
    // Once the server holds the request, the user presses again, then Cancel.
    bool pressed = false;
    int waitsAtCancel = 0;
    QTimer press;
    press.start(5);
    QObject::connect(&press, &QTimer::timeout, dialog, [&] {
        if (pressed || server.requests().empty())
            return;
        pressed = true;
        waitsAtCancel = stepping.waits;
        dialog->ConnectNowClick();
        for (QPushButton *b : dialog->findChildren<QPushButton *>())
            if (b->text() == "Cancel")
                b->click();
        dialog->reject();
        EXPECT_TRUE(dialog->isVisible());
    });
    dialog->ConnectNowClick();
    ASSERT_TRUE(pressed);
    ASSERT_FALSE(dialog.isNull()); // still there for the handler's last steps
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_LE(stepping.waits - waitsAtCancel, 1); // it did not wait for the server
    EXPECT_TRUE(messages.messages.empty());
    EXPECT_EQ(server.requests().size(), 1u);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(dialog.isNull());
    EXPECT_EQ(zibble.fileBytes(), "text");
}

struct LiveShareDownload : Fixture {
    // Fills the fields as a user would and presses the button.
    void get(TDLGig &dialog, const char *letter, const char *number)
    {
        dialog.letterField()->setText(letter);
        dialog.numberField()->setText(number);
        ASSERT_TRUE(dialog.getButton()->isEnabled());
        dialog.GetZibbleNowClick();
    }
};

TEST_F(LiveShareDownload, TheBodyBecomesTheZibbleUnderTheIdLine)
{
    ScriptedServer server(ScriptedReply{kOk + "hello"});
    FakeActiveZibble zibble(dir.file("F5"), "old text");
    zibble.modified = true; // unsaved edits are replaced without asking
    TDLGig dialog(nullptr, zibble, services(server.host()));
    dialog.show();
    get(dialog, "k", "0123");

    const std::string h = server.host();
    ASSERT_EQ(server.requests().size(), 1u);
    EXPECT_EQ(server.requests()[0], "GET /zibbles/liveshare/download.asp?v=1&c=k&id=0123 HTTP/1.0\r\n"
                                    "Connection: close\r\n"
                                    "Accept: */*\r\n"
                                    "User-Agent: Zibbles\r\n"
                                    "Host: " + h + "\r\n"
                                    "\r\n"
                                    "Host: " + h + "\r\n");
    EXPECT_EQ(dialog.statusText(), "Success!");
    EXPECT_EQ(dialog.windowTitle(), "Zibbles Live Share - Get Zibble");
    EXPECT_EQ(dialog.size(), QSize(354, 182));
    EXPECT_EQ(messages.messages, std::vector<std::string>{"Success!\n\rYour Zibble has been installed"});
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(zibble.fileBytes(), "# Available Via Zibbles Live Share: k-0123\r\nhello");
}

TEST_F(LiveShareDownload, FailedIdKeepsTheDialogOpenAndTheFileAsItWas)
{
    ScriptedServer server({ScriptedReply{kOk + "  !Failed!\r\n"}, ScriptedReply{kOk + "!failed!"}});
    FakeActiveZibble zibble(dir.file("F5"), "keep me");
    TDLGig dialog(nullptr, zibble, services(server.host()));
    dialog.show();
    get(dialog, "Q", "555");
    EXPECT_EQ(messages.messages, std::vector<std::string>{kNotFound});
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.letterField()->text(), "Q");
    EXPECT_EQ(dialog.numberField()->text(), "555");
    EXPECT_EQ(zibble.fileBytes(), "keep me");
    EXPECT_EQ(zibble.saves, 0);

    dialog.GetZibbleNowClick(); // the lower-case answer is an ordinary zibble
    EXPECT_EQ(zibble.fileBytes(), "# Available Via Zibbles Live Share: Q-555\r\n!failed!");
    EXPECT_FALSE(dialog.isVisible());
}

TEST_F(LiveShareDownload, FailuresLeaveEditorAndFileAsTheyWere)
{
    ScriptedServer server({ScriptedReply{"HTTP/1.0 500 Oops\r\n\r\nhello"},
                           ScriptedReply{kOk + "cut", ScriptedReply::Then::Reset},
                           ScriptedReply{"HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\n"},
                           ScriptedReply{kOk, ScriptedReply::Then::Close, 100u * 1024 * 1024}});
    FakeActiveZibble zibble(dir.file("F5"), "keep me");
    for (const std::string &host :
         {server.host(), server.host(), server.host(), server.host(), std::string("nowhere.invalid")}) {
        TDLGig dialog(nullptr, zibble, services(host));
        dialog.show();
        get(dialog, "a", "101");
        EXPECT_FALSE(dialog.isVisible()) << host;
    }
    EXPECT_EQ(messages.messages, std::vector<std::string>(5, kRetrieveError));
    EXPECT_EQ(zibble.text, "keep me");
    EXPECT_EQ(zibble.fileBytes(), "keep me");
    EXPECT_EQ(zibble.saves, 0);
}

TEST_F(LiveShareDownload, CancelEndsAnAnswerThatTrickles)
{
    ScriptedReply trickle{kOk};
    trickle.laterPieces.assign(500, "x");
    trickle.pieceGapMs = 20;
    ScriptedServer server(trickle);
    FakeActiveZibble zibble(dir.file("F5"), "keep me");
    TDLGig dialog(nullptr, zibble, services(server.host()));
    dialog.show();
    QPushButton *cancel = nullptr;
    for (QPushButton *b : dialog.findChildren<QPushButton *>())
        if (b->text() == "Cancel")
            cancel = b;
    ASSERT_NE(cancel, nullptr);
    // The user presses Cancel once the first bytes are in.
    dialog.request().OnDataRead = [&](THttpUrlRequest &request, const std::string &) {
        request.OnDataRead = nullptr;
        QTimer::singleShot(0, cancel, &QPushButton::click);
    };
    get(dialog, "a", "101");
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_TRUE(messages.messages.empty());
    EXPECT_LT(dialog.request().ReadResponse(true).size(), kOk.size() + 100);
    EXPECT_EQ(zibble.text, "keep me");
    EXPECT_EQ(zibble.fileBytes(), "keep me");
    EXPECT_EQ(zibble.saves, 0);
}

// What the user does while an exchange waits for the server: a Shift+F-key or
// a slot button shows another slot.
struct SlotChange {
    const char *what;
    bool leave;     // shows another slot
    bool editThere; // and edits it without saving
    bool comeBack;  // and returns to the slot of the exchange
};
const SlotChange kSlotChanges[] = {
    {"stays", false, false, false},
    {"leaves", true, false, false},
    {"leaves and edits there", true, true, false},
    {"leaves and comes back", true, false, true},
};

struct LiveShareSlotBinding : Fixture {
    const std::string bound = dir.file("F5");
    const std::string other = dir.file("F7");
    bool changed = false;
    bool answerAfterChange = false;

    // Does what `change` says as soon as the dialog's exchange waits, and
    // notes whether that was before the answer came.
    void duringExchange(LiveShareDialog &dialog, FakeActiveZibble &zibble, const SlotChange &change)
    {
        changed = answerAfterChange = false;
        ASSERT_TRUE(writeFileAtomically(other, "other slot"));
        QTimer::singleShot(0, [this, &zibble, change] {
            if (change.leave)
                zibble.selectSlot(other);
            if (change.editThere) {
                zibble.text = "unsaved edit";
                zibble.modified = true;
            }
            if (change.comeBack)
                zibble.selectSlot(bound);
            changed = true;
        });
        dialog.request().OnDataRead = [this](THttpUrlRequest &, const std::string &) {
            answerAfterChange = answerAfterChange || changed;
        };
    }

    // Only the bound slot's file has the new text; the editor shows it if it
    // shows that slot, else it is as the user left it.
    void expectOnlyTheBoundSlotChanged(const FakeActiveZibble &zibble, const SlotChange &change,
                                       const std::string &newText)
    {
        EXPECT_TRUE(answerAfterChange);
        EXPECT_EQ(readWholeFile(bound).value_or(""), newText);
        EXPECT_EQ(readWholeFile(other).value_or(""), "other slot");
        const bool shown = !change.leave || change.comeBack;
        EXPECT_EQ(zibble.m_path, shown ? bound : other);
        EXPECT_EQ(zibble.text, shown ? newText : change.editThere ? "unsaved edit" : "other slot");
        EXPECT_EQ(zibble.modified, change.editThere);
    }
};

TEST_F(LiveShareSlotBinding, ADownloadLandsInTheSlotShownWhenItStarted)
{
    ScriptedServer server(std::vector<ScriptedReply>(std::size(kSlotChanges), ScriptedReply{kOk + "hello"}));
    for (const SlotChange &change : kSlotChanges) {
        SCOPED_TRACE(change.what);
        FakeActiveZibble zibble(bound, "to be replaced");
        TDLGig dialog(nullptr, zibble, services(server.host()));
        dialog.letterField()->setText("k");
        dialog.numberField()->setText("0123");
        duringExchange(dialog, zibble, change);
        dialog.GetZibbleNowClick();
        expectOnlyTheBoundSlotChanged(zibble, change, "# Available Via Zibbles Live Share: k-0123\r\nhello");
    }
}

TEST_F(LiveShareSlotBinding, AnUploadMarksTheSlotShownWhenItStarted)
{
    ScriptedServer server(std::vector<ScriptedReply>(std::size(kSlotChanges), ScriptedReply{kOk + "K-4711"}));
    for (const SlotChange &change : kSlotChanges) {
        SCOPED_TRACE(change.what);
        FakeActiveZibble zibble(bound, "shared\r\n'bow ");
        TLiveUp dialog(nullptr, zibble, services(server.host()));
        duringExchange(dialog, zibble, change);
        dialog.ConnectNowClick();
        expectOnlyTheBoundSlotChanged(zibble, change, "# Available Via Zibbles Live Share: K-4711\r\nshared\r\n'bow ");
    }
    for (const std::string &request : server.requests())
        EXPECT_NE(request.find("\r\n\r\nv=1&zibblef=shared%0D%0A%27bow%20\r\n"), std::string::npos);
}

} // namespace
} // namespace zibbles

// The main window's "Live Share" button and menu, the editor as the dialogs
// see it, and the live-share host of the per-user store.
#include "scriptedserver.h"

#include "fakes/recordingmessages.h"
#include "fakes/tempdir.h"
#include "library/zibbleeditor.h"
#include "platform/qt/qteventloop.h"
#include "platform/userstore.h"
#include "share/dlzibble.h"
#include "share/hosts.h"
#include "share/livesharebutton.h"
#include "share/liveupload.h"

#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

namespace zibbles {
namespace {

using testing::RecordingMessages;
using testing::ScriptedReply;
using testing::ScriptedServer;
using testing::TempDir;

void storeHost(UserStore &store, const std::string &host)
{
    RegistryKey key(store);
    ASSERT_TRUE(key.openKey(kLiveShareKey, true));
    key.writeString(kLiveShareHostValue, host);
    key.closeKey();
}

TEST(LiveShareHost, TheStoreNamesAnotherHostElseTheMakersHost)
{
    TempDir dir;
    UserStore store(dir.file("user.reg"));
    EXPECT_EQ(liveShareHost(store), "www.quillmere.net");
    storeHost(store, "share.club.test:8080");
    EXPECT_EQ(liveShareHost(store), "share.club.test:8080");
    storeHost(store, " share.club.test ");
    EXPECT_EQ(liveShareHost(store), "share.club.test");
    storeHost(store, "");
    EXPECT_EQ(liveShareHost(store), "www.quillmere.net");
    RegistryKey key(store);
    ASSERT_TRUE(key.openKey(kLiveShareKey, true));
    key.writeInteger(kLiveShareHostValue, 7); // a value of another type names no host
    key.closeKey();
    EXPECT_EQ(liveShareHost(store), "www.quillmere.net");
}

struct LiveShareWindow : ::testing::Test {
    TempDir dir;
    UserStore store{dir.file("user.reg")};
    RecordingMessages messages;
    QtMessagePump pump;
    QWidget form;
    ZibbleEditor *editor = new ZibbleEditor(&form);
    bool modified = false;
    int saves = 0;
    std::unique_ptr<LiveShareButton> button;

    void SetUp() override
    {
        LiveShareWiring w;
        w.editor = editor;
        w.editorModified = [this] { return modified; };
        w.activeFileName = [this] { return dir.file("Set1/F1"); };
        w.saveActiveZibble = [this] { ++saves; };
        w.store = &store;
        w.messages = &messages;
        w.pump = &pump;
        button = std::make_unique<LiveShareButton>(&form, std::move(w));
    }
};

TEST_F(LiveShareWindow, ButtonAndMenu)
{
    QPushButton *b = button->button();
    EXPECT_EQ(b->parentWidget(), &form);
    EXPECT_EQ(b->geometry(), QRect(168, 80, 89, 22));
    EXPECT_EQ(b->text(), "Live Share");
    EXPECT_EQ(b->toolTip(), "LIVE SHARE!!!!");
    EXPECT_EQ(b->cursor().shape(), Qt::ArrowCursor);
    EXPECT_EQ(b->menu(), button->menu());
    const auto actions = button->menu()->actions();
    ASSERT_EQ(actions.size(), 4);
    EXPECT_EQ(actions[0]->text(), "Live Share - Upload Active Zibble Now");
    EXPECT_EQ(actions[1]->text(), "Live Share - Get a Zibble");
    EXPECT_TRUE(actions[2]->isSeparator());
    EXPECT_EQ(actions[3]->text(), "Standard Share - Go to Web Site");
}

TEST_F(LiveShareWindow, UnsavedEditsStopTheUpload)
{
    modified = true;
    button->menu()->actions()[0]->trigger();
    EXPECT_EQ(messages.messages,
              std::vector<std::string>{"The currently active Zibble is not saved. Please click the save button first."});
    EXPECT_EQ(saves, 0);
}

// Presses a button of the modal dialog as soon as it runs.
template <typename Dialog>
void whenModal(const std::function<void(Dialog &)> &act)
{
    QTimer::singleShot(0, [act] {
        auto *dialog = qobject_cast<Dialog *>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        act(*dialog);
    });
}

TEST_F(LiveShareWindow, UploadFromTheMenuMarksTheEditorAndSaves)
{
    ScriptedServer server(ScriptedReply{"HTTP/1.0 200 OK\r\n\r\nM-321\r\n"});
    storeHost(store, server.host());
    editor->setTextBytes("one\r\ntwo \xE9");
    whenModal<TLiveUp>([](TLiveUp &d) { d.ConnectNowClick(); });
    button->menu()->actions()[0]->trigger();

    ASSERT_EQ(server.requests().size(), 1u);
    EXPECT_NE(server.requests()[0].find("\r\nHost: " + server.host() + "\r\nContent-Type:"), std::string::npos);
    EXPECT_NE(server.requests()[0].find("\r\n\r\nv=1&zibblef=one%0D%0Atwo%20%E9\r\n"), std::string::npos);
    EXPECT_EQ(editor->textBytes(), "# Available Via Zibbles Live Share: M-321\r\none\r\ntwo \xE9");
    EXPECT_EQ(saves, 1);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(LiveShareWindow, DownloadFromTheMenuReplacesTheEditorText)
{
    ScriptedServer server(ScriptedReply{"HTTP/1.0 200 OK\r\n\r\n'bow \r\nthanks"});
    storeHost(store, server.host());
    editor->setTextBytes("old");
    whenModal<TDLGig>([](TDLGig &d) {
        d.letterField()->setText("R");
        d.numberField()->setText("4242");
        d.getButton()->click();
    });
    button->menu()->actions()[1]->trigger();

    ASSERT_EQ(server.requests().size(), 1u);
    EXPECT_EQ(server.requests()[0].substr(0, 62), "GET /zibbles/liveshare/download.asp?v=1&c=R&id=4242 HTTP/1.0\r\n");
    EXPECT_EQ(editor->textBytes(), "# Available Via Zibbles Live Share: R-4242\r\n'bow \r\nthanks");
    EXPECT_EQ(saves, 1);
    EXPECT_EQ(messages.messages, std::vector<std::string>{"Success!\n\rYour Zibble has been installed"});
}

} // namespace
} // namespace zibbles

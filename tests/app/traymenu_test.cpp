// The tray: its tooltip, its menu in order with the pictures, and the web
// pages its links open.
#include "fakes/formharness.h"

#include "app/trayicon.h"
#include "share/hosts.h"

#include <QDesktopServices>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QUrl>

#include <gtest/gtest.h>

using namespace zibbles;
using zibbles::testing::FormHarness;

// Records the pages that would have opened in the browser.
class OpenedPages : public QObject {
    Q_OBJECT
public:
    OpenedPages()
    {
        QDesktopServices::setUrlHandler(QStringLiteral("http"), this, "open");
        QDesktopServices::setUrlHandler(QStringLiteral("https"), this, "open");
    }
    ~OpenedPages() override
    {
        QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
        QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
    }
    QList<QUrl> urls;

public slots:
    void open(const QUrl &url) { urls << url; }
};

namespace {

struct Entry {
    std::string path; // "Submenu/caption", "-" for a separator
    QAction *action;
};

void walk(const QMenu *menu, const std::string &prefix, std::vector<Entry> &out)
{
    for (QAction *action : menu->actions()) {
        if (action->isSeparator())
            out.push_back({prefix + "-", action});
        else if (action->menu()) {
            out.push_back({prefix + action->text().toStdString() + "/", action});
            walk(action->menu(), prefix + action->text().toStdString() + "/", out);
        } else
            out.push_back({prefix + action->text().toStdString(), action});
    }
}

class TrayTest : public ::testing::Test {
protected:
    TrayTest() { walk(harness.form->trayIcon()->menu(), "", entries); }
    QAction *item(const std::string &path)
    {
        for (const Entry &entry : entries)
            if (entry.path == path)
                return entry.action;
        return nullptr;
    }
    QString opened(const std::string &path)
    {
        pages.urls.clear();
        QAction *action = item(path);
        if (!action)
            return QStringLiteral("<no item>");
        action->trigger();
        return pages.urls.size() == 1 ? pages.urls.front().toString(QUrl::FullyEncoded) : QStringLiteral("<none>");
    }

    FormHarness harness;
    OpenedPages pages;
    std::vector<Entry> entries;
};

} // namespace

TEST_F(TrayTest, TheMenuHoldsEveryItemInOrderWithItsPicture)
{
    const std::vector<std::pair<std::string, bool>> expected = {
        {"Show Main Window", true},
        {"-", false},
        {"Enabled Program", false},
        {"Disabled Program", false},
        {"-", false},
        {"Shameless Plugs/", true},
        {"Shameless Plugs/My Hoverboard Designs", false},
        {"Shameless Plugs/My Clubs", false},
        {"Shameless Plugs/Say Hi!", false},
        {"-", false},
        {"THERE/", true},
        {"THERE/Home Page", true},
        {"THERE/-", false},
        {"THERE/Main Login", true},
        {"THERE/-", false},
        {"THERE/Forums", true},
        {"THERE/Developer", true},
        {"THERE/Announcement Board", true},
        {"-", false},
        {"Join Club Zibbles Now!!!", true},
        {"Zibbles Web Site", true},
        {"Make a Donation", true},
        {"-", false},
        {"Check For Updates", true},
        {"Exit", true},
    };
    ASSERT_EQ(entries.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(entries[i].path, expected[i].first) << i;
        const QIcon icon = entries[i].action->icon();
        EXPECT_EQ(!icon.isNull(), expected[i].second) << entries[i].path;
        if (expected[i].second)
            EXPECT_FALSE(icon.pixmap(16, 16).isNull()) << entries[i].path;
    }
    EXPECT_EQ(harness.form->trayIcon()->icon()->toolTip(), "Zibbles! Right click this icon for more options.");
}

TEST_F(TrayTest, TheMakersPagesAreOnTheBuiltInHost)
{
    const QString site = QStringLiteral("http://") + QString::fromLatin1(kMakerHost);
    EXPECT_EQ(opened("Shameless Plugs/My Hoverboard Designs"), site + "/hoverboards.asp");
    EXPECT_EQ(opened("Shameless Plugs/My Clubs"), site + "/clubs.asp");
    EXPECT_EQ(opened("Shameless Plugs/Say Hi!"), site + "/me.asp");
    EXPECT_EQ(opened("Zibbles Web Site"), site + "/zibbles/");
    EXPECT_EQ(opened("Make a Donation"), site + "/zibbles/donate.asp");
    EXPECT_EQ(opened("Check For Updates"), site + "/zibbles/about.asp?v=0.1.7.158");
    EXPECT_EQ(pages.urls.front().query(QUrl::FullyEncoded), "v=0.1.7.158");
}

TEST_F(TrayTest, TheStoredLiveShareHostServesTheMakersPages)
{
    RegistryKey key(harness.store);
    ASSERT_TRUE(key.openKey(kLiveShareKey, true));
    key.writeString(kLiveShareHostValue, "zibbles.test:8080");
    key.closeKey();
    EXPECT_EQ(opened("Zibbles Web Site"), "http://zibbles.test:8080/zibbles/");
    EXPECT_EQ(opened("Check For Updates"), "http://zibbles.test:8080/zibbles/about.asp?v=0.1.7.158");
}

TEST_F(TrayTest, ThereLinksOpenTheWorldsPublicPages)
{
    EXPECT_EQ(opened("THERE/Home Page"), "http://www.there.com/");
    EXPECT_EQ(opened("THERE/Main Login"), "http://www.there.com/login/");
    EXPECT_EQ(opened("THERE/Forums"), "https://www.there.com/forums/login.pl");
    EXPECT_EQ(opened("THERE/Developer"), "https://www.there.com/login/login?redirect=http://developer.there.com/");
    EXPECT_EQ(opened("THERE/Announcement Board"), "http://info.there.com/");
    EXPECT_EQ(opened("Join Club Zibbles Now!!!"), "http://www.there.com/clubs/clubs?op=home&id=41377");
}

TEST_F(TrayTest, ShowMainWindowBringsBackAClosedWindow)
{
    harness.form->trayIcon()->isAvailable = [] { return true; };
    harness.form->show();
    harness.form->close();
    QCoreApplication::processEvents();
    EXPECT_FALSE(harness.form->isVisible());
    item("Show Main Window")->trigger();
    EXPECT_TRUE(harness.form->isVisible());
    EXPECT_TRUE(pages.urls.isEmpty());
}

#include "traymenu_test.moc"

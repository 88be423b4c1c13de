#include "weblinks.h"

#include "share/hosts.h"

#include <QDesktopServices>

#include <array>

namespace zibbles {

namespace {

constexpr auto kLinks = std::to_array<WebLink>({
    {"My Hoverboard Designs", true, "/hoverboards.asp"},
    {"My Clubs", true, "/clubs.asp"},
    {"Say Hi!", true, "/me.asp"},
    {"Zibbles Web Site", true, "/zibbles/"},
    {"Make a Donation", true, "/zibbles/donate.asp"},
    {"Check For Updates", true, "/zibbles/about.asp?v=" ZIBBLES_FILE_VERSION},
    {"Home Page", false, "http://www.there.com/"},
    {"Main Login", false, "http://www.there.com/login/"},
    {"Forums", false, "https://www.there.com/forums/login.pl"},
    {"Developer", false, "https://www.there.com/login/login?redirect=http://developer.there.com/"},
    {"Announcement Board", false, "http://info.there.com/"},
    {"Join Club Zibbles Now!!!", false, "http://www.there.com/clubs/clubs?op=home&id=41377"},
});

QString latin1(std::string_view text)
{
    return QString::fromLatin1(text.data(), qsizetype(text.size()));
}

} // namespace

std::span<const WebLink> webLinks()
{
    return kLinks;
}

QUrl webLinkUrl(std::string_view caption, UserStore &store)
{
    for (const WebLink &link : kLinks) {
        if (link.caption != caption)
            continue;
        if (!link.onMakerHost)
            return QUrl(latin1(link.address), QUrl::StrictMode);
        const QString host = QString::fromStdString(liveShareHost(store));
        return QUrl(QStringLiteral("http://") + host + latin1(link.address), QUrl::StrictMode);
    }
    return {};
}

void openWebLink(std::string_view caption, UserStore &store)
{
    const QUrl url = webLinkUrl(caption, store);
    if (url.isValid())
        QDesktopServices::openUrl(url);
}

} // namespace zibbles

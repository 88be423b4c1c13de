#pragma once
// The web pages the menus open: There's public pages and the maker's pages.
// One table, looked up by the caption of the item that opens the page.
#include <QString>
#include <QUrl>

#include <span>
#include <string_view>

namespace zibbles {

class UserStore;

struct WebLink {
    std::string_view caption;
    bool onMakerHost;          // address is a path on the maker's web site
    std::string_view address;  // else a whole address
};

std::span<const WebLink> webLinks();

// The address of the link captioned `caption`; an invalid address when there
// is none. The maker's host is the live-share host of the per-user store, or
// the built-in one.
QUrl webLinkUrl(std::string_view caption, UserStore &store);

// Opens the page in the user's browser; a page that cannot be opened fails
// silently.
void openWebLink(std::string_view caption, UserStore &store);

} // namespace zibbles

#pragma once
// The one table of the live-share host names: the maker's built-in host and
// where the per-user store may name another.
#include <string>

namespace zibbles {

class UserStore;

// The maker's web site, which also serves live share.
extern const char *const kMakerHost;
// The per-user key and value that override the built-in host.
extern const char *const kLiveShareKey;
extern const char *const kLiveShareHostValue;

// The host ("name" or "name:port") that live share talks to: the stored
// one when it is there and not empty, else the maker's host.
std::string liveShareHost(UserStore &store);

} // namespace zibbles

#pragma once
// The two live-share requests: an upload answers the new ID as the whole
// body; a download answers the zibble's text, or "!Failed!" for an unknown ID.
#include "zibblestore.h"

#include <optional>
#include <string>

namespace httplib {
class Server;
}

constexpr size_t kMaxUploadBytes = 64 * 1024;

// A letter (either case) and a decimal number above 100; nothing otherwise.
std::optional<ZibbleId> parseZibbleId(const std::string &letter, const std::string &number);

void installLiveShareRoutes(httplib::Server &server, ZibbleStore &store);

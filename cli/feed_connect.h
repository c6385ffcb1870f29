#pragma once

#include <iosfwd>

#include "web/server_feed.h"

namespace velmora::cli {

// Connects `feed` to its server and shakes hands: 0, or the exit status 4 with "Impossible connection" or
// "Not same version" on `err`, as fetch says them.
int ConnectFeed(web::ServerFeed& feed, std::ostream& err);

}  // namespace velmora::cli

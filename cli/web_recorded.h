#pragma once

#include <cstdint>
#include <filesystem>
#include <ostream>

#include "web/viewer_server.h"

namespace velmora::cli {

// velmora-cli web --db FILE --session N: the pit-wall page of a recorded session, its charts drawn over
// the whole session, served until SIGINT or SIGTERM. The exit status.
int RunRecordedWeb(const std::filesystem::path& db, std::int64_t session, web::ViewerServerOptions options,
                   std::ostream& out, std::ostream& err);

}  // namespace velmora::cli

#pragma once

#include <filesystem>
#include <memory>
#include <ostream>
#include <string_view>

#include "history/history_store.h"

namespace velmora::cli {

// Exit status of a history file that cannot be opened, read or written.
inline constexpr int kExitHistoryFile = 7;

using history::DefaultHistoryFile;

// Opens `path` into `store`, or says on `err` why it cannot ("velmora-cli COMMAND: ...") and returns
// kExitHistoryFile. Writing makes the file and its folder when they are missing; reading does not.
int OpenHistory(const std::filesystem::path& path, history::HistoryStore::Access access,
                std::unique_ptr<history::HistoryStore>& store, std::ostream& err, std::string_view command);

}  // namespace velmora::cli

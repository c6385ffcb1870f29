#include "history_file.h"

#include <system_error>

namespace velmora::cli {

int OpenHistory(const std::filesystem::path& path, history::HistoryStore::Access access,
                std::unique_ptr<history::HistoryStore>& store, std::ostream& err, std::string_view command) {
  if (access == history::HistoryStore::Access::kRead) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
      err << "velmora-cli " << command << ": there is no history file " << path.string()
          << " (velmora-cli record makes one)\n";
      return kExitHistoryFile;
    }
  } else if (path.has_parent_path()) {
    std::error_code error;
    std::filesystem::create_directories(path.parent_path(), error);
    if (error) {
      err << "velmora-cli " << command << ": cannot make the folder " << path.parent_path().string() << ": "
          << error.message() << "\n";
      return kExitHistoryFile;
    }
  }
  try {
    store = std::make_unique<history::HistoryStore>(path, access);
  } catch (const history::SqliteError& error) {
    err << "velmora-cli " << command << ": cannot open " << path.string() << ": " << error.what() << "\n";
    return kExitHistoryFile;
  }
  return 0;
}

}  // namespace velmora::cli

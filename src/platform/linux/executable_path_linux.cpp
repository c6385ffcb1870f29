#include <fstream>
#include <optional>
#include <string>
#include <string_view>

#include <limits.h>
#include <unistd.h>

#include "platform/exe_name.h"
#include "platform/executable_path.h"

namespace velmora::platform {
namespace {

// What the kernel appends to the name of a mapped or running file that has since been unlinked.
constexpr std::string_view kDeleted = " (deleted)";

// The file name of one line of /proc/<pid>/maps: everything after the fifth field, which may hold
// spaces. The kernel writes a newline in a name as "\012".
std::string MappedPath(std::string_view line) {
  std::size_t position = 0;
  for (int field = 0; field < 5; ++field) {
    position = line.find_first_not_of(' ', position);
    position = line.find(' ', position);
    if (position == std::string_view::npos) {
      return {};
    }
  }
  position = line.find_first_not_of(' ', position);
  if (position == std::string_view::npos) {
    return {};
  }
  std::string path;
  for (auto name = line.substr(position); !name.empty();) {
    if (name.starts_with("\\012")) {
      path.push_back('\n');
      name.remove_prefix(4);
    } else {
      path.push_back(name.front());
      name.remove_prefix(1);
    }
  }
  return path;
}

// The first ".exe" file mapped by the process: its path, or empty text when that file is gone.
// nullopt when the process maps none or its map cannot be read.
std::optional<std::string> FirstMappedExe(const std::string& proc) {
  std::ifstream maps(proc + "/maps");
  std::string line;
  while (std::getline(maps, line)) {
    auto path = MappedPath(line);
    if (!path.starts_with('/')) {
      continue;  // anonymous memory, [heap], [stack] and the like
    }
    if (path.ends_with(kDeleted) &&
        NamesWindowsExecutable(std::string_view(path).substr(0, path.size() - kDeleted.size()))) {
      return std::string();
    }
    if (NamesWindowsExecutable(path)) {
      return path;
    }
  }
  return std::nullopt;
}

std::string OwnExecutable(const std::string& proc) {
  std::string target(PATH_MAX, '\0');
  const ssize_t length = readlink((proc + "/exe").c_str(), target.data(), target.size());
  if (length <= 0 || static_cast<std::size_t>(length) >= target.size()) {
    return {};
  }
  target.resize(static_cast<std::size_t>(length));
  return target.ends_with(kDeleted) ? std::string() : target;
}

}  // namespace

std::string ExecutablePathOfProcess(std::uint32_t pid) {
  if (pid == 0) {
    return {};
  }
  const std::string proc = "/proc/" + std::to_string(pid);
  if (auto exe = FirstMappedExe(proc)) {
    return *exe;
  }
  return OwnExecutable(proc);
}

}  // namespace velmora::platform

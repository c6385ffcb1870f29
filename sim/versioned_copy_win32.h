#pragma once

#include <filesystem>
#include <memory>
#include <string>

namespace velmora::sim {

// The stand-in's executable as the dashboard finds a simulator's: a copy of velmora-sim.exe named after
// the title, in a private folder, whose version resource carries the chosen product version. The
// stand-in runs as that copy, so that the executable of its process is a file with that version. The
// file and its folder go when the object goes.
class VersionedCopy final {
 public:
  // Null, with `error` saying why, when the copy cannot be written.
  static std::unique_ptr<VersionedCopy> Create(const std::string& title, const std::string& version,
                                               std::string& error);
  ~VersionedCopy();
  VersionedCopy(const VersionedCopy&) = delete;
  VersionedCopy& operator=(const VersionedCopy&) = delete;

  const std::filesystem::path& Path() const { return path_; }

  // Runs the copy with this process's arguments and standard handles and waits for it; the copy ends
  // with this process however it ends. Its exit status, or 1 with `error` set when it cannot start.
  int Run(std::string& error) const;

 private:
  explicit VersionedCopy(std::filesystem::path path) : path_(std::move(path)) {}

  std::filesystem::path path_;
};

// True in the process that runs as the copy.
bool RunningAsVersionedCopy();

// Removes the folders that earlier stand-ins left in the temporary folder when they were killed before
// they could clean up: those whose process is gone.
void RemoveLeftoverCopies();

}  // namespace velmora::sim

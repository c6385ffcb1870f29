#include "exe_image.h"

#include <cerrno>
#include <charconv>
#include <cstring>
#include <optional>
#include <system_error>

#include <fcntl.h>
#include <signal.h>
#include <sys/mman.h>
#include <unistd.h>

#include "platform/pe_image_writer.h"
#include "version_resource.h"

namespace velmora::sim {

namespace {

constexpr std::string_view kFolderPrefix = "velmora-sim-";

// "velmora-sim-<pid>-XXXXXX": the pid tells a later stand-in whether the folder is still in use.
std::filesystem::path MakePrivateFolder(std::string& error) {
  std::error_code ignored;
  const std::filesystem::path base = std::filesystem::temp_directory_path(ignored);
  std::string pattern = (base / (std::string(kFolderPrefix) + std::to_string(getpid()) + "-XXXXXX")).string();
  if (mkdtemp(pattern.data()) == nullptr) {
    error = "cannot make a folder for the executable image in " + base.string() + ": " + std::strerror(errno);
    return {};
  }
  return pattern;
}

std::optional<pid_t> OwnerOf(const std::string& folder_name) {
  if (!folder_name.starts_with(kFolderPrefix)) {
    return std::nullopt;
  }
  const char* digits = folder_name.data() + kFolderPrefix.size();
  const char* end = folder_name.data() + folder_name.size();
  pid_t pid = 0;
  const auto [after, problem] = std::from_chars(digits, end, pid);
  if (problem != std::errc() || after == digits || after == end || *after != '-' || pid <= 0) {
    return std::nullopt;
  }
  return pid;
}

}  // namespace

std::unique_ptr<ExeImage> ExeImage::Create(const std::string& title, const std::string& version,
                                           std::string& error) {
  std::vector<std::byte> image;
  try {
    image = platform::BuildPeImage(VersionResourceOf(title, version));
  } catch (const std::length_error&) {
    error = "the version text is too long for a version resource";
    return nullptr;
  }

  const std::filesystem::path folder = MakePrivateFolder(error);
  if (folder.empty()) {
    return nullptr;
  }
  const std::filesystem::path path = folder / ExeFileName(title);
  std::error_code ignored;
  if (!platform::WritePeImage(path, image)) {
    error = "cannot write the executable image " + path.string();
    std::filesystem::remove_all(folder, ignored);
    return nullptr;
  }
  const int file = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  void* mapping = file < 0 ? MAP_FAILED : mmap(nullptr, image.size(), PROT_READ, MAP_PRIVATE, file, 0);
  if (file >= 0) {
    close(file);
  }
  if (mapping == MAP_FAILED) {
    error = "cannot map the executable image " + path.string() + ": " + std::strerror(errno);
    std::filesystem::remove_all(folder, ignored);
    return nullptr;
  }
  return std::unique_ptr<ExeImage>(new ExeImage(path, mapping, image.size()));
}

ExeImage::ExeImage(std::filesystem::path path, void* mapping, std::size_t size)
    : path_(std::move(path)), mapping_(mapping), size_(size) {}

ExeImage::~ExeImage() {
  munmap(mapping_, size_);
  std::error_code ignored;
  std::filesystem::remove(path_, ignored);
  std::filesystem::remove(path_.parent_path(), ignored);
}

void RemoveLeftoverImages(const std::filesystem::path& folder) {
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    const auto owner = OwnerOf(entry.path().filename().string());
    if (owner && kill(*owner, 0) != 0 && errno == ESRCH) {
      std::error_code ignored;
      std::filesystem::remove_all(entry.path(), ignored);
    }
  }
}

}  // namespace velmora::sim

#pragma once

#include <cstddef>
#include <filesystem>
#include <memory>
#include <string>

namespace velmora::sim {

// The stand-in's executable as the dashboard finds a simulator's: a small Windows image whose version
// resource carries the product version text, written to a private folder and mapped into this process,
// so that /proc/<pid>/maps lists it as the process's .exe image. The file and its folder go when the
// object goes.
class ExeImage {
 public:
  // Null, with `error` saying why, when the image cannot be written or mapped.
  static std::unique_ptr<ExeImage> Create(const std::string& title, const std::string& version,
                                          std::string& error);
  ~ExeImage();
  ExeImage(const ExeImage&) = delete;
  ExeImage& operator=(const ExeImage&) = delete;

  const std::filesystem::path& Path() const { return path_; }

 private:
  ExeImage(std::filesystem::path path, void* mapping, std::size_t size);

  std::filesystem::path path_;
  void* mapping_;
  std::size_t size_;
};

// The file name an image of a simulator titled `title` gets: the title's letters and digits, ".exe".
std::string ExeFileName(const std::string& title);

// Removes the folders that earlier stand-ins left in `folder` when they were killed before they could
// clean up: those whose process is gone.
void RemoveLeftoverImages(const std::filesystem::path& folder);

}  // namespace velmora::sim

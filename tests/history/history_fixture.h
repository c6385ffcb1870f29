#pragma once

#include <filesystem>
#include <string>

#include <gtest/gtest.h>
#include <unistd.h>

namespace velmora::history::test {

// A folder of the test's own for history files, removed with the test.
class HistoryFolder final {
 public:
  HistoryFolder() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    path_ = std::filesystem::temp_directory_path() /
            ("velmora_history_" + std::to_string(::getpid()) + "_" + info->name());
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~HistoryFolder() { std::filesystem::remove_all(path_); }
  HistoryFolder(const HistoryFolder&) = delete;
  HistoryFolder& operator=(const HistoryFolder&) = delete;

  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }
  const std::filesystem::path& Path() const { return path_; }

 private:
  std::filesystem::path path_;
};

}  // namespace velmora::history::test

#pragma once

#include <map>
#include <mutex>
#include <string>
#include <utility>

#include "game/game_link.h"
#include "platform/window_finder.h"

namespace velmora::test {

// Windows that the test opens and closes by hand, for the tests of the model that only need to know
// whether the simulator window exists. The real finder has its own tests against an X server.
class FakeWindowFinder final : public platform::WindowFinder {
 public:
  platform::WindowHandle Open(const std::string& class_name, const std::string& title, std::uint32_t pid) {
    std::lock_guard lock(mutex_);
    const platform::WindowHandle handle = ++last_handle_;
    windows_[{class_name, title}] = {handle, pid};
    return handle;
  }
  void Close(const std::string& class_name, const std::string& title) {
    std::lock_guard lock(mutex_);
    windows_.erase({class_name, title});
  }

  platform::WindowHandle FindWindow(const std::string& class_name, const std::string& title) override {
    std::lock_guard lock(mutex_);
    const auto found = windows_.find({class_name, title});
    return found == windows_.end() ? 0 : found->second.first;
  }
  bool IsWindow(platform::WindowHandle window) override { return Owner(window) != nullptr; }
  std::uint32_t WindowProcessId(platform::WindowHandle window) override {
    const auto* owner = Owner(window);
    return owner == nullptr ? 0 : owner->second;
  }

 private:
  const std::pair<platform::WindowHandle, std::uint32_t>* Owner(platform::WindowHandle window) {
    std::lock_guard lock(mutex_);
    for (const auto& [key, value] : windows_) {
      if (value.first == window) {
        return &value;
      }
    }
    return nullptr;
  }

  std::mutex mutex_;
  platform::WindowHandle last_handle_ = 0;
  std::map<std::pair<std::string, std::string>, std::pair<platform::WindowHandle, std::uint32_t>> windows_;
};

}  // namespace velmora::test

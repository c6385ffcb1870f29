#include "platform/app_data_folder.h"

#include <cstdlib>
#include <optional>
#include <string>

#include <gtest/gtest.h>

namespace velmora::platform {
namespace {

// Sets or clears an environment variable for one test and puts the old value back.
class ScopedVariable {
 public:
  ScopedVariable(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) {
      old_ = old;
    }
    value != nullptr ? setenv(name, value, 1) : unsetenv(name);
  }
  ~ScopedVariable() { old_ ? setenv(name_, old_->c_str(), 1) : unsetenv(name_); }
  ScopedVariable(const ScopedVariable&) = delete;
  ScopedVariable& operator=(const ScopedVariable&) = delete;

 private:
  const char* name_;
  std::optional<std::string> old_;
};

TEST(AppDataFolderTest, FollowsTheXdgConfigHomeAndFallsBackToDotConfig) {
  struct Case {
    const char* config_home;
    const char* home;
    const char* roaming;
  };
  const Case cases[] = {
      {"/tmp/config", "/home/driver", "/tmp/config"},
      {nullptr, "/home/driver", "/home/driver/.config"},
      {"", "/home/driver", "/home/driver/.config"},
      {"relative/config", "/home/driver", "/home/driver/.config"},  // only absolute paths count
      {nullptr, nullptr, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.config_home ? c.config_home : "(unset)") + " " +
                 (c.home ? c.home : "(unset)"));
    ScopedVariable config_home("XDG_CONFIG_HOME", c.config_home);
    ScopedVariable home("HOME", c.home);
    EXPECT_EQ(RoamingAppDataFolder(), std::filesystem::path(c.roaming));
    if (*c.roaming != '\0') {
      EXPECT_EQ(SettingsFolder(), std::filesystem::path(c.roaming) / "Velmora");
      EXPECT_EQ(UpdateFolder(), std::filesystem::path(c.roaming) / "Velmora" / "Update");
    } else {
      EXPECT_TRUE(SettingsFolder().empty());
      EXPECT_TRUE(UpdateFolder().empty());
    }
  }
}

TEST(AppDataFolderTest, DataFollowsTheXdgDataHomeAndFallsBackToDotLocalShare) {
  struct Case {
    const char* data_home;
    const char* home;
    const char* data;
  };
  const Case cases[] = {
      {"/tmp/data", "/home/driver", "/tmp/data/Velmora"},
      {nullptr, "/home/driver", "/home/driver/.local/share/Velmora"},
      {"relative/data", "/home/driver", "/home/driver/.local/share/Velmora"},
      {nullptr, nullptr, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.data_home ? c.data_home : "(unset)") + " " + (c.home ? c.home : "(unset)"));
    ScopedVariable data_home("XDG_DATA_HOME", c.data_home);
    ScopedVariable home("HOME", c.home);
    EXPECT_EQ(DataFolder(), std::filesystem::path(c.data));
  }
}

}  // namespace
}  // namespace velmora::platform

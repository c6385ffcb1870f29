#include "platform/executable_path.h"

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include <gtest/gtest.h>
#include <unistd.h>

#include "child_process.h"
#include "memory_fixture.h"

namespace velmora::platform {
namespace {

namespace fs = std::filesystem;

// A folder of its own, removed with everything in it.
class ScratchFolder {
 public:
  ScratchFolder() {
    char pattern[] = "/tmp/velmora exe test XXXXXX";  // a space, as in "Program Files"
    if (mkdtemp(pattern) == nullptr) {
      throw std::runtime_error("mkdtemp failed");
    }
    path_ = pattern;
  }
  ~ScratchFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  const fs::path& Path() const { return path_; }

 private:
  fs::path path_;
};

// A second process that maps the file `path` into its memory, as a loader maps a program's image.
std::unique_ptr<test::ChildProcess> MapInAnotherProcess(const fs::path& path) {
  fs::create_directories(path.parent_path());
  std::ofstream(path) << std::string(static_cast<std::size_t>(sysconf(_SC_PAGESIZE)), 'M');
  auto process = std::make_unique<test::ChildProcess>(
      std::vector<std::string>{VELMORA_MEMORY_FIXTURE_PATH, path, "0x5A000000"});
  if (process->ReadLine().rfind("ready ", 0) != 0) {
    throw std::runtime_error("the mapping process did not start");
  }
  return process;
}

std::uint32_t PidOf(const test::ChildProcess& process) {
  return static_cast<std::uint32_t>(process.Pid());
}

TEST(ExecutablePathTest, AMappedExeFileIsTheExecutable) {
  const char* const names[] = {
      "race07.exe",
      "Race 07/GTR Evolution.EXE",  // spaces and capitals
      "odd\nname.Exe",              // the kernel writes the newline escaped
  };
  for (const char* name : names) {
    ScratchFolder folder;
    const fs::path image = folder.Path() / name;
    const auto process = MapInAnotherProcess(image);
    EXPECT_EQ(ExecutablePathOfProcess(PidOf(*process)), image.string()) << name;
  }
}

TEST(ExecutablePathTest, WithoutAMappedExeFileTheProcessExecutableIsTaken) {
  const char* const names[] = {"notes.exe.txt", "game.exe/data", "exe", "program.ex"};
  const std::string own_executable = fs::canonical(VELMORA_MEMORY_FIXTURE_PATH).string();
  for (const char* name : names) {
    ScratchFolder folder;
    const auto process = MapInAnotherProcess(folder.Path() / name);
    EXPECT_EQ(ExecutablePathOfProcess(PidOf(*process)), own_executable) << name;
  }
  // The fixture's usual shared file has no such name either.
  test::MemoryFixture fixture(0x5A000000, static_cast<std::size_t>(sysconf(_SC_PAGESIZE)));
  EXPECT_EQ(ExecutablePathOfProcess(fixture.Pid()), own_executable);
}

// Its name leads nowhere now, or to a newer file whose version is not the one running.
TEST(ExecutablePathTest, AnExeFileDeletedWhileMappedGivesNoPath) {
  ScratchFolder folder;
  const fs::path image = folder.Path() / "race07.exe";
  const auto process = MapInAnotherProcess(image);
  ASSERT_EQ(ExecutablePathOfProcess(PidOf(*process)), image.string());

  fs::remove(image);
  EXPECT_EQ(ExecutablePathOfProcess(PidOf(*process)), "");
  std::ofstream(image) << "a newer build";
  EXPECT_EQ(ExecutablePathOfProcess(PidOf(*process)), "");
}

TEST(ExecutablePathTest, AProcessThatDoesNotExistHasNoPath) {
  std::uint32_t ended = 0;
  {
    test::ChildProcess process({VELMORA_MEMORY_FIXTURE_PATH});  // exits at once: no arguments
    ended = PidOf(process);
    process.CloseAndWait();
  }
  EXPECT_EQ(ExecutablePathOfProcess(ended), "");
  EXPECT_EQ(ExecutablePathOfProcess(0), "");
  EXPECT_EQ(ExecutablePathOfProcess(4194304), "");  // above the largest process id Linux hands out
}

}  // namespace
}  // namespace velmora::platform

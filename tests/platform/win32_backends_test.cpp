// The Win32 backends against the real services: windows of this desktop, a second process, the version
// resources of files nobody here wrote.
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "memory_fixture.h"
#include "platform/app_data_folder.h"
#include "platform/application_version.h"
#include "platform/executable_path.h"
#include "platform/file_version.h"
#include "platform/pe_version.h"
#include "platform/process_memory.h"
#include "platform/replace_file.h"
#include "platform/window_finder.h"
#include "platform/windows/process_memory_win32.h"
#include "platform/windows/win32_text.h"

// Last: it makes FindWindow a macro for FindWindowW, which is also the name of the finder's method.
#include <windows.h>
#undef FindWindow

namespace velmora::platform {
namespace {

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

// A top-level window of this process with a chosen class and title, gone with the object.
class TestWindow {
 public:
  TestWindow(const wchar_t* class_name, const wchar_t* title) : class_name_(class_name) {
    WNDCLASSW window_class{};
    window_class.lpfnWndProc = DefWindowProcW;
    window_class.hInstance = GetModuleHandleW(nullptr);
    window_class.lpszClassName = class_name;
    RegisterClassW(&window_class);
    window_ = CreateWindowExW(0, class_name, title, WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
  }
  ~TestWindow() {
    Destroy();
    UnregisterClassW(class_name_, GetModuleHandleW(nullptr));
  }
  TestWindow(const TestWindow&) = delete;
  TestWindow& operator=(const TestWindow&) = delete;

  HWND Handle() const { return window_; }
  void Destroy() {
    if (window_ != nullptr) {
      DestroyWindow(window_);
      window_ = nullptr;
    }
  }

 private:
  const wchar_t* class_name_;
  HWND window_ = nullptr;
};

TEST(Win32WindowFinderTest, FindsATopLevelWindowByExactClassAndTitle) {
  TestWindow window(L"CUBERealtime", L"Race 07 \u00e9t\u00e9");
  ASSERT_NE(window.Handle(), nullptr);
  auto finder = CreateWindowFinder();
  ASSERT_NE(finder, nullptr);

  const WindowHandle found = finder->FindWindow("CUBERealtime", "Race 07 \xC3\xA9t\xC3\xA9");
  ASSERT_NE(found, 0U);
  EXPECT_TRUE(finder->IsWindow(found));
  EXPECT_EQ(finder->WindowProcessId(found), GetCurrentProcessId());

  struct Miss {
    const char* class_name;
    const char* title;
  };
  for (const Miss& miss : {Miss{"CUBEApp", "Race 07 \xC3\xA9t\xC3\xA9"}, Miss{"CUBERealtime", "Race 07"},
                           Miss{"CUBERealtime", ""}, Miss{"", "Race 07 \xC3\xA9t\xC3\xA9"}}) {
    EXPECT_EQ(finder->FindWindow(miss.class_name, miss.title), 0U) << miss.class_name << " / " << miss.title;
  }

  window.Destroy();
  EXPECT_FALSE(finder->IsWindow(found));
  EXPECT_EQ(finder->FindWindow("CUBERealtime", "Race 07 \xC3\xA9t\xC3\xA9"), 0U);
  EXPECT_EQ(finder->WindowProcessId(found), 0U);
  EXPECT_FALSE(finder->IsWindow(0));
}

TEST(Win32ExecutablePathTest, IsTheFirstModuleOfTheProcess) {
  test::MemoryFixture fixture(0x5A000000, test::PageSize());
  const std::string path = ExecutablePathOfProcess(fixture.Pid());
  EXPECT_TRUE(Lower(path).ends_with("velmora_memory_fixture.exe")) << path;
  EXPECT_TRUE(std::filesystem::exists(Widen(path))) << path;

  wchar_t own[MAX_PATH];
  GetModuleFileNameW(nullptr, own, MAX_PATH);
  EXPECT_EQ(Lower(ExecutablePathOfProcess(GetCurrentProcessId())), Lower(Narrow(own)));

  const auto gone = fixture.Pid();
  fixture.Stop();
  EXPECT_EQ(ExecutablePathOfProcess(gone), "");
  EXPECT_EQ(ExecutablePathOfProcess(0), "");
}

std::string SystemFile(const char* name) {
  wchar_t folder[MAX_PATH];
  const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
  return Narrow(std::wstring(folder, length)) + "\\" + name;
}

// The version service and our own reader of the resource are two independent readers; on files that
// no one here wrote they must agree to the character.
TEST(Win32FileVersionTest, AgreesWithOurOwnReaderOnFilesWeDidNotWrite) {
  std::vector<std::string> files{SystemFile("kernel32.dll"), SystemFile("user32.dll"),
                                 SystemFile("notepad.exe"), SystemFile("version.dll")};
  for (const char* probe : {VELMORA_PE_PROBE_I686, VELMORA_PE_PROBE_X86_64}) {
    if (*probe != '\0') {
      files.emplace_back(probe);
    }
  }
  int with_version = 0;
  for (const std::string& file : files) {
    SCOPED_TRACE(file);
    const std::string ours = ProductVersionOfFile(std::filesystem::path(Widen(file)));
    EXPECT_EQ(FileProductVersion(file), ours);
    with_version += ours.empty() ? 0 : 1;
  }
  EXPECT_GE(with_version, 3);
}

TEST(Win32FileVersionTest, FilesWithoutAVersionGiveEmptyText) {
  EXPECT_EQ(FileProductVersion(""), "");
  EXPECT_EQ(FileProductVersion("C:\\no such folder\\nothing.exe"), "");
  // The memory fixture is linked without a version resource.
  EXPECT_EQ(FileProductVersion(VELMORA_MEMORY_FIXTURE_PATH), "");
}

// What the user is told when Windows refuses to open the simulator's process.
TEST(Win32ProcessMemoryTest, ARefusalSaysWhyAndWhatHelps) {
  struct Case {
    unsigned long error;
    const char* reason;
    bool hint;
  };
  const Case cases[] = {
      {ERROR_INVALID_PARAMETER, "no such process", false},
      {ERROR_ACCESS_DENIED, "access denied (error 5)", true},
      {ERROR_PARTIAL_COPY, "its memory cannot be read (error 299; it may be starting or ending)", false},
      {1234, "error 1234", false},
  };
  for (const Case& c : cases) {
    const OpenFailure failure = ExplainWin32OpenFailure(c.error);
    EXPECT_EQ(failure.reason, c.reason);
    EXPECT_EQ(failure.hint.empty(), !c.hint) << failure.hint;
  }
}

TEST(Win32ReplaceFileTest, ReplacesWholeAndSaysWhyWhenItCannot) {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::filesystem::path folder =
      std::filesystem::path(temp) / ("velmora-replace-" + std::to_string(GetCurrentProcessId()));
  std::filesystem::create_directories(folder);
  const std::string file = Narrow((folder / "laps.csv").wstring());
  const auto contents = [&file] {
    std::ifstream in(std::filesystem::path(Widen(file)), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  };

  EXPECT_EQ(ReplaceFileContents(file, "first\r\n"), std::nullopt);
  EXPECT_EQ(contents(), "first\r\n");
  EXPECT_EQ(ReplaceFileContents(file, "second"), std::nullopt);
  EXPECT_EQ(contents(), "second");
  // Nothing but the file itself is left in the folder.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), std::filesystem::directory_iterator()),
            1);

  const auto failure = ReplaceFileContents(Narrow((folder / "no such folder" / "laps.csv").wstring()), "x");
  ASSERT_TRUE(failure.has_value());
  EXPECT_FALSE(failure->empty());
  EXPECT_EQ(contents(), "second");
  std::filesystem::remove_all(folder);
}

TEST(Win32ApplicationVersionTest, ComesFromTheProgramsOwnVersionResource) {
  EXPECT_EQ(ApplicationVersion(), VELMORA_PROJECT_VERSION);
}

TEST(Win32AppDataFolderTest, IsTheRoamingApplicationDataFolder) {
  const std::filesystem::path roaming = RoamingAppDataFolder();
  ASSERT_FALSE(roaming.empty());
  EXPECT_TRUE(std::filesystem::is_directory(roaming)) << roaming;
  wchar_t expected[MAX_PATH];
  ASSERT_NE(GetEnvironmentVariableW(L"APPDATA", expected, MAX_PATH), 0U);
  EXPECT_EQ(Lower(roaming.string()), Lower(Narrow(expected)));
  EXPECT_EQ(SettingsFolder(), roaming / "Velmora");
  EXPECT_EQ(UpdateFolder(), roaming / "Velmora" / "Update");
}

}  // namespace
}  // namespace velmora::platform

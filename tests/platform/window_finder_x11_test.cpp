#include <atomic>
#include <cstdlib>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>
#include <unistd.h>

#include "platform/linux/window_owner_x11.h"
#include "platform/window_finder.h"
#include "x11_test_window.h"

namespace velmora::platform {
namespace {

using test::X11TestWindow;

class WindowFinderX11Test : public test::X11DisplayTest {
 protected:
  void SetUp() override {
    X11DisplayTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) {
      return;
    }
    finder_ = CreateWindowFinder();
    ASSERT_NE(finder_, nullptr) << "cannot reach the X display " << std::getenv("DISPLAY");
  }

  std::unique_ptr<WindowFinder> finder_;
};

std::uint32_t ThisProcess() {
  return static_cast<std::uint32_t>(getpid());
}

// The window below claims another process in _NET_WM_PID, as any client may; the X server knows it was
// made by this one.
TEST_F(WindowFinderX11Test, FindsAWindowByTitleAndClassAndTellsTheProcessTheServerNames) {
  X11TestWindow window(
      {.title = "Race 07", .class_name = "CUBERealtime", .instance_name = "race07", .pid = 4242});

  const WindowHandle found = finder_->FindWindow("CUBERealtime", "Race 07");
  EXPECT_EQ(found, window.Handle());
  EXPECT_TRUE(finder_->IsWindow(found));
  EXPECT_EQ(finder_->WindowProcessId(found), ThisProcess());

  // Nor does a missing or rewritten claim change the answer.
  window.DeleteProperty("_NET_WM_PID");
  EXPECT_EQ(finder_->WindowProcessId(found), ThisProcess());
}

TEST_F(WindowFinderX11Test, MatchesTitleAndClassExactly) {
  X11TestWindow window({.title = "Race 07", .class_name = "CUBERealtime", .instance_name = "race07"});
  struct Case {
    const char* class_name;
    const char* title;
  };
  const Case misses[] = {
      {"CUBERealtime", "Race 07 "},                         // trailing space
      {"CUBERealtime", "Race 0"},                           // prefix
      {"CUBERealtime", "race 07"},                          // case
      {"CUBEApp", "Race 07"},                               // other class
      {"cuberealtime", "Race 07"},  {"race07", "Race 07"},  // the instance part is not the class
      {"CUBERealtimeX", "Race 07"}, {"", "Race 07"},
  };
  for (const auto& miss : misses) {
    EXPECT_EQ(finder_->FindWindow(miss.class_name, miss.title), 0u) << miss.class_name << " / " << miss.title;
  }
  EXPECT_EQ(finder_->FindWindow("CUBERealtime", "Race 07"), window.Handle());
}

TEST_F(WindowFinderX11Test, TellsApartWindowsThatShareATitle) {
  X11TestWindow realtime({.title = "GTR Evolution", .class_name = "CUBERealtime", .pid = 11});
  X11TestWindow app({.title = "GTR Evolution", .class_name = "CUBEApp", .pid = 22});

  const WindowHandle first = finder_->FindWindow("CUBERealtime", "GTR Evolution");
  const WindowHandle second = finder_->FindWindow("CUBEApp", "GTR Evolution");
  EXPECT_EQ(first, realtime.Handle());
  EXPECT_EQ(second, app.Handle());
  EXPECT_EQ(finder_->WindowProcessId(first), ThisProcess());
  EXPECT_EQ(finder_->WindowProcessId(second), ThisProcess());
}

TEST_F(WindowFinderX11Test, ADestroyedWindowIsGone) {
  X11TestWindow window({.title = "STCC - The Game", .class_name = "CUBEApp", .pid = 33});
  const WindowHandle handle = window.Handle();
  ASSERT_EQ(finder_->FindWindow("CUBEApp", "STCC - The Game"), handle);

  window.Destroy();
  EXPECT_FALSE(finder_->IsWindow(handle));
  EXPECT_EQ(finder_->FindWindow("CUBEApp", "STCC - The Game"), 0u);
  EXPECT_EQ(finder_->WindowProcessId(handle), 0u);
  EXPECT_FALSE(finder_->IsWindow(0));
}

// The check made every cycle that the attached window is still there looks at that window alone, and
// hears of a change from the server: the answer may come one call late, never wrong for longer.
TEST_F(WindowFinderX11Test, AWindowMatchesWhileItKeepsItsTitleAndClass) {
  X11TestWindow window({.title = "Race 07", .class_name = "CUBERealtime", .instance_name = "race07"});
  X11TestWindow other({.title = "GTR Evolution", .class_name = "CUBEApp"});
  const WindowHandle handle = window.Handle();
  const auto soon = [&](bool expected, const char* title) {
    for (int attempt = 0; attempt < 200; ++attempt) {
      if (finder_->WindowMatches(handle, "CUBERealtime", title) == expected) {
        return true;
      }
      usleep(5000);
    }
    return false;
  };
  EXPECT_TRUE(finder_->WindowMatches(handle, "CUBERealtime", "Race 07"));
  EXPECT_FALSE(finder_->WindowMatches(handle, "CUBEApp", "Race 07"));
  EXPECT_FALSE(finder_->WindowMatches(handle, "CUBERealtime", "GTR Evolution"));
  EXPECT_FALSE(finder_->WindowMatches(other.Handle(), "CUBERealtime", "Race 07"));
  EXPECT_FALSE(finder_->WindowMatches(0, "CUBERealtime", "Race 07"));
  EXPECT_TRUE(finder_->WindowMatches(handle, "CUBERealtime", "Race 07"));

  window.SetTextProperty("_NET_WM_NAME", "UTF8_STRING", "Race 07 - Paused");
  EXPECT_TRUE(soon(false, "Race 07"));
  EXPECT_TRUE(finder_->WindowMatches(handle, "CUBERealtime", "Race 07 - Paused"));
  window.SetTextProperty("_NET_WM_NAME", "UTF8_STRING", "Race 07");
  EXPECT_TRUE(soon(true, "Race 07"));
  EXPECT_EQ(finder_->FindWindow("CUBERealtime", "Race 07"), handle);  // a search between the checks

  window.Destroy();
  EXPECT_TRUE(soon(false, "Race 07"));
  EXPECT_FALSE(finder_->WindowMatches(handle, "CUBERealtime", "Race 07"));
}

// Which name is the title: the UTF-8 one when the window has it, else the legacy one, in Latin-1 when it is
// of type STRING.
TEST_F(WindowFinderX11Test, TakesTheTitleFromTheUtf8NameBeforeTheLegacyName) {
  struct Case {
    const char* label;
    std::optional<std::string> net_wm_name;  // nullopt: the property is removed
    std::string wm_name;
    std::string wm_name_type;
    const char* wanted;
    bool found;
  };
  const Case cases[] = {
      {"legacy name only", std::nullopt, "Real-Time Racing", "STRING", "Real-Time Racing", true},
      {"Latin-1 legacy name", std::nullopt, "Caf\xE9 Racing", "STRING", "Caf\xC3\xA9 Racing", true},
      {"UTF-8 legacy name", std::nullopt, "Caf\xC3\xA9 Racing", "UTF8_STRING", "Caf\xC3\xA9 Racing", true},
      {"UTF-8 name wins", "Real-Time Racing", "Something Else", "STRING", "Real-Time Racing", true},
      {"legacy name ignored", "Something Else", "Real-Time Racing", "STRING", "Real-Time Racing", false},
      {"empty UTF-8 name", "", "Real-Time Racing", "STRING", "Real-Time Racing", false},
  };
  for (const auto& c : cases) {
    X11TestWindow window({.title = "placeholder", .class_name = "CUBERealtime"});
    if (c.net_wm_name) {
      window.SetTextProperty("_NET_WM_NAME", "UTF8_STRING", *c.net_wm_name);
    } else {
      window.DeleteProperty("_NET_WM_NAME");
    }
    window.SetTextProperty("WM_NAME", c.wm_name_type, c.wm_name);
    EXPECT_EQ(finder_->FindWindow("CUBERealtime", c.wanted), c.found ? window.Handle() : 0u) << c.label;
  }
}

TEST_F(WindowFinderX11Test, AcceptsAClassWithoutTheLastTerminator) {
  X11TestWindow window({.title = "Race 07", .class_name = "CUBEApp"});
  window.SetTextProperty("WM_CLASS", "STRING", std::string("race07\0CUBEApp", 14));
  EXPECT_EQ(finder_->FindWindow("CUBEApp", "Race 07"), window.Handle());
  window.SetTextProperty("WM_CLASS", "STRING", "CUBEApp");  // no instance part: no class at all
  EXPECT_EQ(finder_->FindWindow("CUBEApp", "Race 07"), 0u);
}

// The detection's one search: each title with each class in turn, then a class that names a Windows
// executable, as Wine shows a Windows program's windows.
TEST_F(WindowFinderX11Test, FindsTheFirstOfSeveralTitlesAndClassesAndWindowsProgramsAfterThem) {
  const char* const titles[] = {"Race 07", "GTR Evolution"};
  const char* const classes[] = {"CUBERealtime", "CUBEApp"};
  struct Shown {
    const char* title;
    const char* class_name;
  };
  struct Case {
    const char* label;
    std::vector<Shown> windows;
    int found;  // index into windows, -1 for none
    WindowRuntime runtime;
  };
  const Case cases[] = {
      {"a native window", {{"Race 07", "CUBEApp"}}, 0, WindowRuntime::kNative},
      {"a Wine window", {{"Race 07", "race07.exe"}}, 0, WindowRuntime::kWine},
      {"any case of .exe", {{"GTR Evolution", "GTR2.EXE"}}, 0, WindowRuntime::kWine},
      {"the earlier title wins",
       {{"GTR Evolution", "CUBERealtime"}, {"Race 07", "race07.exe"}},
       1,
       WindowRuntime::kWine},
      {"a listed class before an executable",
       {{"Race 07", "race07.exe"}, {"Race 07", "CUBEApp"}},
       1,
       WindowRuntime::kNative},
      {"the earlier class wins",
       {{"Race 07", "CUBEApp"}, {"Race 07", "CUBERealtime"}},
       1,
       WindowRuntime::kNative},
      {"a game launcher's layer", {{"Race 07", "steam_app_8600"}}, 0, WindowRuntime::kWine},
      {"a listed class before a launcher's",
       {{"Race 07", "steam_app_8600"}, {"Race 07", "CUBEApp"}},
       1,
       WindowRuntime::kNative},
      {"no number after steam_app_", {{"Race 07", "steam_app_"}}, -1, WindowRuntime::kNative},
      {"not only digits", {{"Race 07", "steam_app_86x"}}, -1, WindowRuntime::kNative},
      {"another prefix", {{"Race 07", "Steam_App_8600"}}, -1, WindowRuntime::kNative},
      {"no name before .exe", {{"Race 07", ".exe"}}, -1, WindowRuntime::kNative},
      {"not at the end", {{"Race 07", "race07.exe.bak"}}, -1, WindowRuntime::kNative},
      {"an unlisted title", {{"Notepad", "notepad.exe"}}, -1, WindowRuntime::kNative},
  };
  for (const auto& c : cases) {
    std::vector<std::unique_ptr<X11TestWindow>> shown;
    for (const auto& window : c.windows) {
      shown.push_back(std::make_unique<X11TestWindow>(
          sim::WindowIdentity{.title = window.title, .class_name = window.class_name}));
    }
    const FoundWindow found = finder_->FindFirstWindow(titles, classes);
    if (c.found < 0) {
      EXPECT_EQ(found.handle, 0u) << c.label;
      continue;
    }
    const auto& wanted = c.windows[static_cast<std::size_t>(c.found)];
    EXPECT_EQ(found.handle, shown[static_cast<std::size_t>(c.found)]->Handle()) << c.label;
    EXPECT_EQ(found.title, wanted.title) << c.label;
    EXPECT_EQ(found.class_name, wanted.class_name) << c.label;
    EXPECT_EQ(found.runtime, c.runtime) << c.label;
    // The scan thread finds the window again by the class it carries.
    EXPECT_EQ(finder_->FindWindow(found.class_name, found.title), found.handle) << c.label;
  }
}

// A reparenting window manager puts each application window into a frame of its own, some with wrappers
// between the two; the window managers themselves are run by tests/e2e/window_managers.sh.
TEST_F(WindowFinderX11Test, FindsTheApplicationWindowInsideAFrameAtAnyDepth) {
  for (const int wrappers : {0, 1, 3}) {
    X11TestWindow framed({.title = "Race 07", .class_name = "CUBERealtime", .pid = 55});
    X11TestWindow unframed({.title = "GTR Evolution", .class_name = "CUBEApp", .pid = 66});
    framed.Frame(wrappers);

    const WindowHandle found = finder_->FindWindow("CUBERealtime", "Race 07");
    EXPECT_EQ(found, framed.Handle()) << wrappers << " wrappers";
    EXPECT_EQ(finder_->WindowProcessId(found), ThisProcess()) << wrappers << " wrappers";
    EXPECT_EQ(finder_->FindWindow("CUBEApp", "GTR Evolution"), unframed.Handle()) << wrappers << " wrappers";
  }
}

// Detection and the scan thread ask at the same time while other windows come and go.
TEST_F(WindowFinderX11Test, AnswersFromSeveralThreadsWhileWindowsComeAndGo) {
  X11TestWindow race({.title = "Race 07", .class_name = "CUBERealtime", .pid = 77});
  X11TestWindow stcc({.title = "STCC - The Game", .class_name = "CUBEApp", .pid = 88});
  std::atomic<bool> stop{false};
  std::thread churn([&] {
    while (!stop.load()) {
      X11TestWindow passing({.title = "Race 07", .class_name = "CUBEApp"});
      passing.Frame();
    }
  });
  auto ask = [&](const char* class_name, const char* title, WindowHandle expected, std::uint32_t pid) {
    int wrong = 0;
    for (int i = 0; i < 200; ++i) {
      const WindowHandle found = finder_->FindWindow(class_name, title);
      wrong += found != expected || !finder_->IsWindow(found) || finder_->WindowProcessId(found) != pid;
    }
    return wrong;
  };
  int wrong_race = -1;
  int wrong_stcc = -1;
  std::thread first([&] { wrong_race = ask("CUBERealtime", "Race 07", race.Handle(), ThisProcess()); });
  std::thread second([&] { wrong_stcc = ask("CUBEApp", "STCC - The Game", stcc.Handle(), ThisProcess()); });
  first.join();
  second.join();
  stop = true;
  churn.join();
  EXPECT_EQ(wrong_race, 0);
  EXPECT_EQ(wrong_stcc, 0);
}

// Where the server cannot say, the window's own claim counts only when it comes from this machine.
TEST(TrustedWindowPidTest, TheServerFirstThenAClaimFromThisHost) {
  struct Case {
    const char* what;
    WindowOwnerFacts facts;
    std::uint32_t pid;
  };
  const Case cases[] = {
      {"the server's word beats the claim", {123, 456, "racer"}, 123},
      {"the server's word needs no claim", {123, std::nullopt, std::nullopt}, 123},
      {"a claim from this host", {std::nullopt, 456, "racer"}, 456},
      {"this host under a longer name", {std::nullopt, 456, "racer.pit.lan"}, 0},
      {"a claim from another host", {std::nullopt, 456, "engineer"}, 0},
      {"a host whose name begins like this one", {std::nullopt, 456, "racer2"}, 0},
      {"a claim that names no machine", {std::nullopt, 456, std::nullopt}, 0},
      {"an empty machine name", {std::nullopt, 456, ""}, 0},
      {"a machine and no claim", {std::nullopt, std::nullopt, "racer"}, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(TrustedWindowPid(c.facts, "racer"), c.pid) << c.what;
  }
  EXPECT_EQ(TrustedWindowPid({std::nullopt, 456, ""}, ""), 0u);
}

TEST(WindowFinderX11NoDisplayTest, ThereIsNoFinderWithoutADisplay) {
  const char* saved = std::getenv("DISPLAY");
  const std::optional<std::string> display = saved ? std::optional<std::string>(saved) : std::nullopt;
  unsetenv("DISPLAY");
  EXPECT_EQ(CreateWindowFinder(), nullptr);
  setenv("DISPLAY", ":4095", 1);  // no server listens there
  EXPECT_EQ(CreateWindowFinder(), nullptr);
  if (display) {
    setenv("DISPLAY", display->c_str(), 1);
  } else {
    unsetenv("DISPLAY");
  }
}

}  // namespace
}  // namespace velmora::platform

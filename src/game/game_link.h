#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "game/main_thread_hand_over.h"
#include "platform/process_memory.h"
#include "platform/tick_clock.h"
#include "platform/window_finder.h"
#include "values/display_targets.h"

namespace velmora {

class TGame;
class TThreadData;

// The simulator windows looked for, in the order they are tried: each title with each class.
inline constexpr const char* GameTitles[] = {"Race 07", "GTR Evolution", "STCC - The Game", "RACE On",
                                             "Real-Time Racing"};
inline constexpr const char* GameWindowClasses[] = {"CUBERealtime", "CUBEApp"};

// The timer that runs detection once a second; the dashboard's is a Qt timer.
class DetectionTimer {
 public:
  virtual ~DetectionTimer() = default;
  virtual void SetEnabled(bool enabled) = 0;
  virtual bool Enabled() const = 0;
};

// A detection timer that is only a flag, for callers that run the detection attempts themselves.
class FlagDetectionTimer final : public DetectionTimer {
 public:
  explicit FlagDetectionTimer(bool enabled = false) : enabled_(enabled) {}
  void SetEnabled(bool enabled) override { enabled_ = enabled; }
  bool Enabled() const override { return enabled_; }

 private:
  bool enabled_;
};

// The attachment to a simulator: which window was found, its process and version, the status shown at
// the top of the dashboard, and the scan thread that drives the read cycle in the stand-alone role.
class TGameLink final {
 public:
  TGameLink(TGame& game, platform::WindowFinder& finder, MainThreadHandOver& hand_over,
            DetectionTimer& timer);
  // Stops and joins the scan thread, so the game model may be freed after it.
  ~TGameLink();
  TGameLink(const TGameLink&) = delete;
  TGameLink& operator=(const TGameLink&) = delete;

  // Title and class of the attached window. The scan thread reads them while a new attach may assign
  // them, so they are copied under a lock.
  std::string ProgramNameWindows() const;
  std::string ProgrammeWindowsType() const;
  void SetProgramWindow(std::string title, std::string class_name, platform::WindowHandle window = 0);

  platform::WindowHandle ProgramHandle = 0;
  // Whether the simulator runs natively or as a Windows program through a compatibility layer.
  platform::WindowRuntime ProgramRuntime = platform::WindowRuntime::kNative;
  std::uint32_t ProgramProcessId = 0;
  std::string ProgramExeName;
  std::string ProgramVersion;
  // Whether an address table accepted the attached simulator's title and version.
  bool ProgramSupported = false;
  // Why the last attempt found the window but could not read its process; empty after an attach or an
  // attempt that found no window. The status says it in short; the command line tells it whole when it
  // gives up.
  std::optional<platform::OpenFailure> LastOpenFailure;

  // The status area: `lbl_application` and `img_application`.
  TextTarget* lbl_application = nullptr;
  PictureTarget* img_application = nullptr;

  // The mark of the "Show Player Grid" menu item, which gates the driver list. Main thread only.
  bool ShowPlayerGrid1 = true;

  // One detection attempt, run by the detection timer once a second until a simulator is attached.
  void TimerProgramTimer();
  // The executable of the process that owns the window, or empty text.
  std::string GetExeFromWindow(platform::WindowHandle window);
  // The product version text of a file, or empty text.
  static std::string GetFileInfo2(const std::string& AFileName);

  // True while both names are known and a window with exactly that class and title exists.
  bool TestProgramActif();

  // What the status shows of an attached simulator: its title, and "(Wine)" after it when it runs through
  // the compatibility layer.
  std::string StatusText() const;
  // What the status shows of a simulator whose window was found but whose memory cannot be read: its
  // title and, in short, why.
  std::string UnreadableStatusText() const;

  // What the status shows while no simulator is found: "Unknown Game", or what the owner says instead
  // (that a simulator it started has ended). Main thread only.
  const std::string& NoGameText() const { return no_game_text_; }
  void SetNoGameText(std::string text) { no_game_text_ = std::move(text); }

  // Level 0: red prohibition sign; 2: no picture; any other: green tick.
  void LedApplication(std::string_view ANameAppliaction, int ALedGreen);

  // Starts the scan thread, ending and joining one that runs first.
  void StartScanThread();
  // Asks the scan thread to end and joins it; it runs no further step on the main thread.
  void StopScanThread();
  bool ScanThreadRunning() const;
  // The tick count of the last driver-list refresh of the running scan thread.
  std::uint32_t ScanThreadStart() const;

  // Main thread, when the scan thread ends: detection starts again and the process is let go.
  void SyncGameLost();

  // Held while an attach changes the process and addresses, and by whoever reads them off the main
  // thread outside the scan thread (the server).
  std::mutex& AttachMutex() { return attach_mutex_; }

  TGame& Game() { return game_; }
  MainThreadHandOver& HandOver() { return hand_over_; }

 private:
  TGame& game_;
  platform::WindowFinder& finder_;
  MainThreadHandOver& hand_over_;
  DetectionTimer& timer_;
  mutable std::mutex names_mutex_;
  std::mutex attach_mutex_;
  std::string title_;
  std::string class_name_;
  platform::WindowHandle window_ = 0;  // the window last seen with them; 0 when none is known
  std::string no_game_text_ = "Unknown Game";
  std::unique_ptr<TThreadData> FThreadData;
};

}  // namespace velmora

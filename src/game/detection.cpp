// One detection attempt of the game link: find a supported simulator window, open its process, read its
// executable's version and apply the matching address table.
#include <utility>

#include "game/game.h"
#include "game/game_link.h"
#include "game/select_address_table.h"
#include "platform/exe_name.h"
#include "platform/executable_path.h"
#include "platform/file_version.h"

namespace velmora {

void TGameLink::TimerProgramTimer() {
  std::lock_guard attach_lock(attach_mutex_);
  const platform::FoundWindow found = finder_.FindFirstWindow(GameTitles, GameWindowClasses);
  if (found.handle == 0) {
    LastOpenFailure.reset();
    timer_.SetEnabled(true);
    LedApplication(NoGameText(), 0);
    return;
  }
  // A new attach ends the scan thread of the previous one before it replaces the process it reads: two
  // threads would run the cycle twice, and the old one would read through a freed handle.
  StopScanThread();
  SetProgramWindow(found.title, found.class_name, found.handle);
  ProgramHandle = found.handle;
  ProgramRuntime = found.runtime;
  ProgramProcessId = finder_.WindowProcessId(ProgramHandle);
  game_.FProgramHandleProcess.reset();
  platform::OpenFailure failure;
  game_.FProgramHandleProcess = platform::OpenProcessMemory(ProgramProcessId, &failure);
  if (game_.FProgramHandleProcess == nullptr) {
    // Tried again on the next tick. Whatever an earlier attach showed is no longer read, and a racer who
    // sees the simulator running needs to know why nothing moves.
    LastOpenFailure = std::move(failure);
    ProgramSupported = false;
    LedApplication(UnreadableStatusText(), 0);
    return;
  }
  LastOpenFailure.reset();
  ProgramExeName = GetExeFromWindow(ProgramHandle);
  // A window that only looks like a Windows program's (its class ends in ".exe") counts only when its
  // process has a Windows executable mapped; anything else has no version to go by.
  if (ProgramRuntime == platform::WindowRuntime::kWine && !platform::NamesWindowsExecutable(ProgramExeName)) {
    ProgramExeName.clear();
  }
  ProgramVersion = GetFileInfo2(ProgramExeName);
  ProgramSupported = SelectAddressTable(found.title, ProgramVersion, game_);
  LedApplication(StatusText(), ProgramSupported ? 1 : 2);
  timer_.SetEnabled(false);
  if (game_.FNetwork.NetworkType() == TNetworkType::ntStandalone) {
    StartScanThread();
  }
}

std::string TGameLink::StatusText() const {
  std::string text = ProgramNameWindows();
  if (ProgramRuntime == platform::WindowRuntime::kWine) {
    text += " (Wine)";
  }
  return text;
}

std::string TGameLink::UnreadableStatusText() const {
  std::string text = StatusText();
  if (ProgramProcessId == 0) {
    text += ": cannot tell which process it is";
  } else if (LastOpenFailure && LastOpenFailure->not_allowed) {
    text += ": not allowed to read its memory";
  } else {
    text += ": cannot read its memory";
  }
  return text;
}

std::string TGameLink::GetExeFromWindow(platform::WindowHandle window) {
  if (!finder_.IsWindow(window)) {
    return {};
  }
  const std::uint32_t pid = finder_.WindowProcessId(window);
  return pid == 0 ? std::string() : platform::ExecutablePathOfProcess(pid);
}

std::string TGameLink::GetFileInfo2(const std::string& AFileName) {
  return AFileName.empty() ? std::string() : platform::FileProductVersion(AFileName);
}

}  // namespace velmora

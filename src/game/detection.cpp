// One detection attempt of the game link: find a supported simulator window, open its process, read its
// executable's version and apply the matching address table.
#include <utility>

#include "game/game.h"
#include "game/game_link.h"
#include "game/select_address_table.h"
#include "platform/executable_path.h"
#include "platform/file_version.h"

namespace velmora {

void TGameLink::TimerProgramTimer() {
  std::lock_guard attach_lock(attach_mutex_);
  for (const char* title : GameTitles) {
    for (const char* class_name : GameWindowClasses) {
      if (finder_.FindWindow(class_name, title) == 0) {
        continue;
      }
      // A new attach ends the scan thread of the previous one before it replaces the process it reads:
      // two threads would run the cycle twice, and the old one would read through a freed handle.
      StopScanThread();
      SetProgramWindow(title, class_name);
      ProgramHandle = finder_.FindWindow(class_name, title);
      ProgramProcessId = finder_.WindowProcessId(ProgramHandle);
      game_.FProgramHandleProcess.reset();
      platform::OpenFailure failure;
      game_.FProgramHandleProcess = platform::OpenProcessMemory(ProgramProcessId, &failure);
      if (game_.FProgramHandleProcess == nullptr) {
        LastOpenFailure = std::move(failure);
        return;  // tried again on the next tick; the status stays as it is
      }
      LastOpenFailure.reset();
      ProgramExeName = GetExeFromWindow(ProgramHandle);
      ProgramVersion = GetFileInfo2(ProgramExeName);
      ProgramSupported = SelectAddressTable(title, ProgramVersion, game_);
      LedApplication(title, ProgramSupported ? 1 : 2);
      timer_.SetEnabled(false);
      if (game_.FNetwork.NetworkType() == TNetworkType::ntStandalone) {
        StartScanThread();
      }
      return;
    }
  }
  LastOpenFailure.reset();
  timer_.SetEnabled(true);
  LedApplication("Unknown Game", 0);
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

#include "game/game_link.h"

#include "game/game.h"
#include "game/scan_thread.h"

namespace velmora {

TGameLink::TGameLink(TGame& game, platform::WindowFinder& finder, MainThreadHandOver& hand_over,
                     DetectionTimer& timer)
    : game_(game), finder_(finder), hand_over_(hand_over), timer_(timer) {}

TGameLink::~TGameLink() {
  StopScanThread();
}

std::string TGameLink::ProgramNameWindows() const {
  std::lock_guard lock(names_mutex_);
  return title_;
}

std::string TGameLink::ProgrammeWindowsType() const {
  std::lock_guard lock(names_mutex_);
  return class_name_;
}

void TGameLink::SetProgramWindow(std::string title, std::string class_name, platform::WindowHandle window) {
  std::lock_guard lock(names_mutex_);
  title_ = std::move(title);
  class_name_ = std::move(class_name);
  window_ = window;
}

bool TGameLink::TestProgramActif() {
  std::string title;
  std::string class_name;
  platform::WindowHandle window = 0;
  {
    std::lock_guard lock(names_mutex_);
    title = title_;
    class_name = class_name_;
    window = window_;
  }
  if (title.empty() || class_name.empty()) {
    return false;
  }
  // The window found last is asked first; a search runs only when it no longer answers, and then the
  // window it finds (if any) is the one asked next time.
  if (finder_.WindowMatches(window, class_name, title)) {
    return true;
  }
  const platform::WindowHandle found = finder_.FindWindow(class_name, title);
  std::lock_guard lock(names_mutex_);
  if (title_ == title && class_name_ == class_name) {
    window_ = found;
  }
  return found != 0;
}

void TGameLink::LedApplication(std::string_view ANameAppliaction, int ALedGreen) {
  if (lbl_application != nullptr) {
    lbl_application->SetText(ANameAppliaction);
  }
  if (img_application != nullptr) {
    img_application->ShowPicture(ALedGreen == 0 ? 1 : ALedGreen == 2 ? 0 : 2);
  }
}

void TGameLink::StartScanThread() {
  StopScanThread();
  FThreadData = std::make_unique<TThreadData>(*this);
}

void TGameLink::StopScanThread() {
  FThreadData.reset();
}

bool TGameLink::ScanThreadRunning() const {
  return FThreadData != nullptr && !FThreadData->Finished();
}

std::uint32_t TGameLink::ScanThreadStart() const {
  return FThreadData != nullptr ? FThreadData->FStart.load() : 0;
}

void TGameLink::SyncGameLost() {
  timer_.SetEnabled(true);
  LedApplication(no_game_text_, 0);
  game_.FProgramHandleProcess.reset();
}

}  // namespace velmora

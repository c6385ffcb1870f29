#include "game/scan_thread.h"

#include <chrono>
#include <functional>
#include <optional>

#include "game/game.h"
#include "game/game_link.h"

namespace velmora {

TThreadData::TThreadData(TGameLink& link)
    : link_(link), game_(link.Game()), thread_([this](std::stop_token stop) { Execute(stop); }) {}

TThreadData::~TThreadData() {
  RequestStop();
  if (thread_.joinable()) {
    thread_.join();
  }
}

void TThreadData::Execute(std::stop_token stop) {
  FStart.store(game_.TickCount());
  MainThreadHandOver& hand_over = link_.HandOver();
  // The cycle is handed over and the pause begins at once: by the end of the pause the main thread has
  // long run it, so that this thread is woken once a pass, by its pause, and not also by the cycle's end.
  std::optional<std::uint8_t> cockpit;
  const std::function<void()> cycle = [&] {
    if (cockpit) {
      game_.FInCokpit.SetValue(*cockpit);
    }
    if (game_.FInCokpit.FValue == 1) {
      SyncReadAndDisplay();
    } else {
      SyncReadAndDisplayNoCockpit();
    }
  };
  HandedStep handed(cycle);
  bool cycle_handed = false;
  const auto finish_cycle = [&] {
    if (cycle_handed) {
      hand_over.Finish(handed, stop);
      cycle_handed = false;
    }
  };
  bool window_gone = false;
  while (!window_gone && !stop.stop_requested()) {
    // The last pass's cycle has ended before this pass looks at the window or the game.
    finish_cycle();
    if (stop.stop_requested()) {
      break;
    }
    if (link_.TestProgramActif()) {
      if (game_.FNetwork.NetworkType() != TNetworkType::ntStandalone) {
        break;
      }
      cockpit.reset();
      if (game_.FInCokpit.FActive) {
        cockpit = game_.FInCokpit.Read(game_);
      }
      cycle_handed = hand_over.Hand(handed, stop);
    } else {
      window_gone = true;
    }
    pause_.Wait(std::chrono::milliseconds(kPassPauseMs));
  }
  finish_cycle();
  // Ended by its owner, the thread leaves the status alone: the owner is attaching anew or closing.
  hand_over.RunAndWait([this] { link_.SyncGameLost(); }, stop);
  finished_.store(true, std::memory_order_release);
}

void TThreadData::SyncReadAndDisplay() {
  game_.ReadAndDisplay();
  RefreshDriverListWhenDue();
}

void TThreadData::SyncReadAndDisplayNoCockpit() {
  game_.ReadAndDisplayNoCockpit();
  RefreshDriverListWhenDue();
}

void TThreadData::RefreshDriverListWhenDue() {
  const std::uint32_t now = game_.TickCount();
  if (link_.ShowPlayerGrid1 && platform::TicksElapsed(now, FStart.load(), PlayerListInterval)) {
    game_.RefreshDriverList();
    FStart.store(game_.TickCount());
  }
}

}  // namespace velmora

#pragma once

#include <QObject>

#include "game/main_thread_hand_over.h"

namespace velmora::app {

// The hand-over on the Qt event loop: a waiting step wakes the loop, which runs it. When the loop ends,
// the hand-over refuses further steps instead of leaving their threads waiting forever.
class QtHandOver final : public MainThreadHandOver {
 public:
  QtHandOver();
  ~QtHandOver() override;

  bool Hand(HandedStep& step, std::stop_token stop) override { return queue_.Hand(step, stop); }
  bool Finish(HandedStep& step, std::stop_token stop) override { return queue_.Finish(step, stop); }
  void Close() { queue_.Close(); }

 private:
  QObject context_;  // queued wake-ups die with it
  QueuedHandOver queue_;
};

}  // namespace velmora::app

#pragma once

#include <QObject>
#include <cstdint>
#include <memory>
#include <string>

#include "game/game.h"
#include "history/completed_laps.h"
#include "history/recording_worker.h"

class QAction;

namespace velmora::app {

class TForm1;

// The "Record sessions" choice of the "History" menu: while it is checked, every read cycle of the
// stand-alone role and every record the client applies go to the history file, from the values the
// cycle left (no read of its own), written on a thread of its own. The choice is kept in the settings
// and off by default.
class TSessionRecording final : public QObject, public CycleListener {
 public:
  explicit TSessionRecording(TForm1& window);
  ~TSessionRecording() override;

  QAction* RecordSessions1 = nullptr;

  void CycleDone(TGame& game) override;

 private:
  void SetRecording(bool on);
  void Failed(const QString& message);

  // What tells one source from the next: the role and whom it reads.
  struct SourceKey {
    TNetworkType role = TNetworkType::ntStandalone;
    std::uint32_t process_id = 0;
    std::string ip;
    std::uint32_t port = 0;
  };
  bool SameSource(const TGame& game) const;

  TForm1& window_;
  history::CompletedLaps completed_;
  std::unique_ptr<history::RecordingWorker> worker_;
  history::RecordingItem item_;
  SourceKey last_source_;
  bool have_source_ = false;
};

}  // namespace velmora::app

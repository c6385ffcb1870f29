#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <memory>

#include "platform/launched_command.h"

namespace velmora {
class TGameLink;
}

namespace velmora::app {

// The simulator started by the dashboard as its own child, so that it may read its memory where the
// kernel allows reading descendants only. When the simulator ends the dashboard stays open, for the lap
// grid, and its status says so in place of "Unknown Game".
class SimulatorLaunch final : public QObject {
  Q_OBJECT

 public:
  // Null, with the reason in `error`, when the command cannot be started.
  static std::unique_ptr<SimulatorLaunch> Start(const QStringList& command, QString* error);
  ~SimulatorLaunch() override;

  // From now on the end is shown through `link`'s status. Main thread.
  void ReportTo(TGameLink& link);

 signals:
  void Ended(int exit_status);

 private:
  SimulatorLaunch(std::unique_ptr<platform::LaunchedCommand> command, QString name);
  void CheckEnded();

  std::unique_ptr<platform::LaunchedCommand> command_;
  QString name_;
  bool ended_ = false;
};

}  // namespace velmora::app

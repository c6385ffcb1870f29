#include "app/simulator_launch.h"

#include <QTimer>
#include <cstdio>
#include <string>
#include <vector>

#include "app/utf8_text.h"
#include "game/game_link.h"

#ifdef Q_OS_WIN
#include <QWinEventNotifier>

#include <windows.h>
#else
#include <QSocketNotifier>
#endif

namespace velmora::app {
namespace {

// Without a notifier from the system, the end is looked for this often.
constexpr int kEndPollMs = 1000;

}  // namespace

std::unique_ptr<SimulatorLaunch> SimulatorLaunch::Start(const QStringList& command, QString* error) {
  std::vector<std::string> arguments;
  arguments.reserve(static_cast<std::size_t>(command.size()));
  for (const QString& argument : command) {
    arguments.push_back(argument.toLocal8Bit().toStdString());
  }
  std::string why;
  auto launched = platform::LaunchedCommand::Start(arguments, &why);
  if (launched == nullptr) {
    if (error != nullptr) {
      *error = QStringLiteral("cannot start %1: %2").arg(command.value(0), Utf8Text(why));
    }
    return nullptr;
  }
  return std::unique_ptr<SimulatorLaunch>(new SimulatorLaunch(std::move(launched), command.value(0)));
}

SimulatorLaunch::SimulatorLaunch(std::unique_ptr<platform::LaunchedCommand> command, QString name)
    : command_(std::move(command)), name_(std::move(name)) {
  const std::intptr_t notifier = command_->EndNotifier();
  if (notifier < 0) {
    auto* timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, &SimulatorLaunch::CheckEnded);
    timer->start(kEndPollMs);
    return;
  }
#ifdef Q_OS_WIN
  auto* watch = new QWinEventNotifier(reinterpret_cast<HANDLE>(notifier), this);
  connect(watch, &QWinEventNotifier::activated, this, &SimulatorLaunch::CheckEnded);
#else
  auto* watch = new QSocketNotifier(static_cast<qintptr>(notifier), QSocketNotifier::Read, this);
  connect(watch, &QSocketNotifier::activated, this, &SimulatorLaunch::CheckEnded);
#endif
}

SimulatorLaunch::~SimulatorLaunch() = default;

void SimulatorLaunch::ReportTo(TGameLink& link) {
  connect(this, &SimulatorLaunch::Ended, this, [&link](int exit_status) {
    const std::string text = "Simulator ended (exit status " + std::to_string(exit_status) + ")";
    link.SetNoGameText(text);
    // A running scan thread shows it once it sees the window gone; otherwise it is shown now.
    if (!link.ScanThreadRunning()) {
      link.LedApplication(text, 0);
    }
  });
}

void SimulatorLaunch::CheckEnded() {
  if (ended_) {
    return;
  }
  const auto status = command_->ExitStatus();
  if (!status) {
    return;
  }
  ended_ = true;
  // Nothing more to hear from it: the notifier or the timer would only fire again.
  qDeleteAll(findChildren<QObject*>(QString(), Qt::FindDirectChildrenOnly));
  std::fprintf(stderr, "velmora: %s ended with exit status %d\n", qPrintable(name_), *status);
  emit Ended(*status);
}

}  // namespace velmora::app

// velmora: the dashboard.
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QLocale>
#include <QSaveFile>
#include <QTimer>
#include <cstdio>

#include "app/command_line.h"
#include "app/main_window.h"
#include "app/simulator_launch.h"
#include "app/termination_signals.h"
#include "platform/application_version.h"

namespace {

// Writes a picture of the window every `seconds`, replacing the file at once so a reader never sees half
// of one.
void StartScreenshots(QWidget& window, const QString& path, int seconds) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  auto* timer = new QTimer(&window);
  QObject::connect(timer, &QTimer::timeout, &window, [&window, path] {
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && window.grab().save(&file, "PNG")) {
      file.commit();
    }
  });
  timer->start(seconds * 1000);
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication::setApplicationName(QStringLiteral("Velmora"));
  QCoreApplication::setApplicationVersion(QString::fromStdString(velmora::platform::ApplicationVersion()));

  // The command line is read before the application object exists: it connects to the display, and help,
  // the version and a bad option must not need one.
  QStringList arguments;
  for (int i = 0; i < argc; ++i) {
    arguments << QString::fromLocal8Bit(argv[i]);
  }
  const velmora::app::TCommandLine line = velmora::app::ReadCommandLine(arguments);
  switch (line.action) {
    case velmora::app::TCommandLine::TAction::Help:
    case velmora::app::TCommandLine::TAction::Version:
      std::fputs(qPrintable(line.text), stdout);
      return std::fflush(stdout) == 0 && !std::ferror(stdout) ? 0 : 1;
    case velmora::app::TCommandLine::TAction::Error:
      std::fprintf(stderr, "velmora: %s\n", qPrintable(line.text));
      return velmora::app::kExitUsage;
    case velmora::app::TCommandLine::TAction::Run:
      break;
  }

  // The dashboard's frames are a few small cells, four times a second. Drawn through shared memory, Qt's X11
  // backend waits for the server's answer before it draws again where it last sent a picture: a round trip
  // and two thread wake-ups per frame, which cost more than sending the few kilobytes in the request
  // itself. Measured with scripts/dashboard_cpu.sh on Xvfb: about a quarter less processor time.
  if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM")) {
    qputenv("QT_XCB_NO_MITSHM", "1");
  }
  // The simulator's command is its own, not the toolkit's: the application object sees what precedes it.
  int own_argc = static_cast<int>(velmora::app::OwnArgumentCount(arguments));
  QApplication application(own_argc, argv);
  std::unique_ptr<velmora::app::SimulatorLaunch> simulator;
  if (!line.command.isEmpty()) {
    QString error;
    simulator = velmora::app::SimulatorLaunch::Start(line.command, &error);
    if (simulator == nullptr) {
      std::fprintf(stderr, "velmora: %s\n", qPrintable(error));
      return velmora::app::kExitUsage;
    }
  }
  QLocale::setDefault(QLocale::c());
  // The desktop matches the window to the installed desktop entry and icon by this name.
  QGuiApplication::setDesktopFileName(QStringLiteral("example.velmora.Velmora"));
  QApplication::setWindowIcon(QIcon(QStringLiteral(":/assets/velmora.svg")));

  velmora::app::TWindowOptions window_options;
  window_options.settings_path = line.settings_path;
  window_options.debug_menu = line.debug_menu;
  window_options.splash = line.splash;
  velmora::app::TForm1 window(velmora::platform::CreateWindowFinder(), window_options);
  // Once every window exists, the stored place and marks are taken up again.
  window.RestorePlacementAndMarks();
  velmora::app::CloseOnTerminationSignals(window, [&window] { window.CloseUnattended(); });
  if (simulator != nullptr) {
    simulator->ReportTo(window.Link());
  }
  window.show();
  window.activateWindow();
  if (!line.screenshot_path.isEmpty()) {
    StartScreenshots(window, line.screenshot_path, line.screenshot_seconds);
  }
  return QApplication::exec();
}

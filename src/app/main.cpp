// velmora: the dashboard.
#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QSaveFile>
#include <QTimer>

#include "app/main_window.h"
#include "app/settings_file.h"
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
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Velmora"));
  QApplication::setApplicationVersion(QString::fromStdString(velmora::platform::ApplicationVersion()));
  QLocale::setDefault(QLocale::c());

  QCommandLineParser options;
  options.setApplicationDescription(QStringLiteral("Velmora, a telemetry dashboard for racing simulators."));
  options.addHelpOption();
  options.addVersionOption();
  const QCommandLineOption screenshot(
      QStringLiteral("screenshot"),
      QStringLiteral("Write a PNG picture of the dashboard to <file> every few "
                     "seconds."),
      QStringLiteral("file"));
  const QCommandLineOption interval(QStringLiteral("screenshot-interval"),
                                    QStringLiteral("Seconds between two pictures (default 5)."),
                                    QStringLiteral("seconds"), QStringLiteral("5"));
  const QCommandLineOption settings(QStringLiteral("settings"),
                                    QStringLiteral("Keep the options in <file> instead of %1.")
                                        .arg(velmora::app::TSettingsFile::DefaultPath()),
                                    QStringLiteral("file"));
  const QCommandLineOption debug(QStringLiteral("debug"), QStringLiteral("Show the Debug menu."));
  const QCommandLineOption no_splash(QStringLiteral("no-splash"),
                                     QStringLiteral("Open the dashboard without the splash window."));
  options.addOption(screenshot);
  options.addOption(interval);
  options.addOption(settings);
  options.addOption(debug);
  options.addOption(no_splash);
  options.process(application);

  velmora::app::TWindowOptions window_options;
  window_options.settings_path = options.value(settings);
  window_options.debug_menu = options.isSet(debug);
  window_options.splash = !options.isSet(no_splash);
  velmora::app::TForm1 window(velmora::platform::CreateWindowFinder(), window_options);
  // Once every window exists, the stored place and marks are taken up again.
  window.RestorePlacementAndMarks();
  velmora::app::CloseOnTerminationSignals(window, [&window] { window.CloseUnattended(); });
  window.show();
  window.activateWindow();
  if (options.isSet(screenshot)) {
    bool ok = false;
    const int seconds = options.value(interval).toInt(&ok);
    if (!ok || seconds < 1) {
      qCritical("--screenshot-interval takes a whole number of seconds, at least 1");
      return 2;
    }
    StartScreenshots(window, options.value(screenshot), seconds);
  }
  return QApplication::exec();
}

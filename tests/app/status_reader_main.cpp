// Opens the real dashboard off screen with settings of its own, waits until its status begins with the
// text given, and prints the status and the picture beside it: for tests that must run the dashboard as
// another user than themselves.
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QTemporaryDir>
#include <QThread>
#include <cstdio>

#include "app/display_widgets.h"
#include "app/main_window.h"

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  qunsetenv("VELMORA_UPDATE_URL");
  QTemporaryDir home;
  qputenv("XDG_CONFIG_HOME", home.filePath(QStringLiteral("config")).toUtf8());
  qputenv("XDG_DATA_HOME", home.filePath(QStringLiteral("data")).toUtf8());
  QApplication application(argc, argv);
  if (argc != 2 || !home.isValid()) {
    std::fprintf(stderr, "usage: velmora_status_reader TEXT (and a writable temporary folder)\n");
    return 2;
  }
  const QString wanted = QString::fromLocal8Bit(argv[1]);
  velmora::app::TWindowOptions options;
  options.settings_path = home.filePath(QStringLiteral("Velmora.xml"));
  options.splash = false;
  velmora::app::TForm1 window(velmora::platform::CreateWindowFinder(), options);
  window.RestorePlacementAndMarks();
  window.show();
  window.activateWindow();
  auto* status = window.findChild<QLabel*>(QStringLiteral("lbl_application"));
  auto* picture = window.findChild<velmora::app::StateImage*>(QStringLiteral("img_application"));
  QElapsedTimer clock;
  clock.start();
  while (!status->text().startsWith(wanted) && clock.elapsed() < 15000) {
    QApplication::processEvents(QEventLoop::AllEvents, 20);
    QThread::msleep(10);
  }
  std::printf("%s %d\n", qPrintable(status->text()), picture->Picture());
  return status->text().startsWith(wanted) ? 0 : 1;
}

// The dashboard's windows under test are drawn off screen (the stand-in's window and the window search use
// the X display), with the folders of a fresh user so that nothing of the machine's own settings is read
// or touched.
#include <QApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QTemporaryDir home;
  qputenv("XDG_DATA_HOME", home.filePath(QStringLiteral("data")).toUtf8());
  qputenv("XDG_CONFIG_HOME", home.filePath(QStringLiteral("config")).toUtf8());
  // No test may fetch from an update location the machine happens to name, and no test server may be
  // reached from beyond this machine.
  qunsetenv("VELMORA_UPDATE_URL");
  qunsetenv("VELMORA_RELEASE_PUBLIC_KEY");
  qputenv("VELMORA_SERVER_ADDRESS", "127.0.0.1");
  QApplication application(argc, argv);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}

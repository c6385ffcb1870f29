// A process that saves the settings file over and over, each time with every entry set to the next
// generation number, until it is killed. The crash test kills it at random moments.
#include <QCoreApplication>
#include <cstdio>
#include <string>

#include "app/settings_file.h"

int main(int argc, char** argv) {
  QCoreApplication application(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: velmora_settings_saver FILE\n");
    return 2;
  }
  velmora::app::TSettingsFile file(QString::fromLocal8Bit(argv[1]));
  int generation = file.ReadInteger("Velmora\\Generation", 0);
  std::printf("ready\n");
  std::fflush(stdout);
  while (true) {
    ++generation;
    velmora::app::TSettingsFile::Batch batch(file);
    file.WriteInteger("Velmora\\Generation", generation);
    for (int entry = 0; entry < 40; ++entry) {
      file.WriteString("Velmora\\Entry" + std::to_string(entry) + ".Checked", std::to_string(generation));
    }
  }
}

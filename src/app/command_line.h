#pragma once

#include <QString>
#include <QStringList>

namespace velmora::app {

// What the dashboard's command line asks for. It is read before the application object exists, so that
// --help, --version and a bad option need no display.
struct TCommandLine {
  enum class TAction { Run, Help, Version, Error };
  TAction action = TAction::Run;
  QString text;  // Help and Version: what to print on standard output; Error: the message for standard error

  QString settings_path;
  bool debug_menu = false;
  bool splash = true;
  QString screenshot_path;  // empty: no pictures
  int screenshot_seconds = 5;
  // What follows "--": the simulator's command, which the dashboard starts as its own child.
  QStringList command;
};

// How many of `arguments` are the dashboard's own (and the toolkit's): those before a "--".
qsizetype OwnArgumentCount(const QStringList& arguments);

// `arguments` as the program received them, the program's name first. The toolkit's own options
// (-platform, -display, -style ...) are accepted and left to the application object.
TCommandLine ReadCommandLine(const QStringList& arguments);

// Exit status for a command line that cannot be carried out.
inline constexpr int kExitUsage = 2;

}  // namespace velmora::app

#include "app/command_line.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QCoreApplication>

namespace velmora::app {
namespace {

QCommandLineOption Hidden(QCommandLineOption option) {
  option.setFlags(QCommandLineOption::HiddenFromHelp);
  return option;
}

// The toolkit reads these itself when the application object starts; here they only have to be let
// through, with their values.
void AddToolkitOptions(QCommandLineParser& parser) {
  for (const char* name :
       {"platform", "platformpluginpath", "platformtheme", "plugin", "qwindowgeometry", "qwindowicon",
        "qwindowtitle", "display", "geometry", "style", "stylesheet", "session", "qmljsdebugger"}) {
    parser.addOption(
        Hidden(QCommandLineOption(QString::fromLatin1(name), QString(), QStringLiteral("value"))));
  }
  for (const char* name : {"reverse", "widgetcount", "nograb", "dograb", "sync"}) {
    parser.addOption(Hidden(QCommandLineOption(QString::fromLatin1(name))));
  }
}

QString HelpText(const QCommandLineParser& parser) {
  // The usage line names the program, not the path it was started by, so the text is the same wherever
  // it lies. Only a core application object is made for that: it needs no display.
  int argc = 1;
  char name[] = "velmora";
  char* argv[] = {name, nullptr};
  const QCoreApplication naming(argc, argv);
  return parser.helpText() + QStringLiteral(
                                 "\nExit status: 0 when the window was closed, 2 for a command line that\n"
                                 "cannot be carried out.\n");
}

}  // namespace

qsizetype OwnArgumentCount(const QStringList& arguments) {
  const qsizetype separator = arguments.indexOf(QStringLiteral("--"), 1);
  return separator < 0 ? arguments.size() : separator;
}

TCommandLine ReadCommandLine(const QStringList& arguments) {
  QCommandLineParser parser;
  parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
  parser.setApplicationDescription(QStringLiteral("Velmora, a telemetry dashboard for racing simulators."));
  const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                QStringLiteral("Displays help on commandline options."));
  const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                   QStringLiteral("Displays version information."));
  const QCommandLineOption screenshot(
      QStringLiteral("screenshot"),
      QStringLiteral("Write a PNG picture of the dashboard to <file> every few seconds."),
      QStringLiteral("file"));
  const QCommandLineOption interval(QStringLiteral("screenshot-interval"),
                                    QStringLiteral("Seconds between two pictures (default 5)."),
                                    QStringLiteral("seconds"), QStringLiteral("5"));
  const QCommandLineOption settings(
      QStringLiteral("settings"),
      QStringLiteral("Keep the options in <file> instead of Velmora/Velmora.xml in the user's settings "
                     "folder ($XDG_CONFIG_HOME, by default ~/.config)."),
      QStringLiteral("file"));
  const QCommandLineOption debug(QStringLiteral("debug"), QStringLiteral("Show the Debug menu."));
  const QCommandLineOption no_splash(QStringLiteral("no-splash"),
                                     QStringLiteral("Open the dashboard without the splash window."));
  parser.addOptions({help, version, screenshot, interval, settings, debug, no_splash});
  parser.addPositionalArgument(
      QStringLiteral("-- COMMAND"),
      QStringLiteral("Start the simulator with COMMAND and its arguments, as the dashboard's own child: "
                     "where the kernel lets a program read only its descendants' memory "
                     "(kernel.yama.ptrace_scope 1), that allows reading it without privileges. In a game "
                     "launcher's launch options: velmora -- %command%. The command gets the dashboard's "
                     "environment, folder and standard streams; when it ends, the dashboard stays open and "
                     "its status says so. A command that cannot be started exits with status 2."),
      QStringLiteral("[-- COMMAND [ARG...]]"));
  AddToolkitOptions(parser);

  TCommandLine line;
  const qsizetype own = OwnArgumentCount(arguments);
  line.command = arguments.mid(own + 1);
  if (own < arguments.size() && line.command.isEmpty()) {
    line.action = TCommandLine::TAction::Error;
    line.text = QStringLiteral("-- must be followed by the simulator's command");
    return line;
  }
  if (!parser.parse(arguments.mid(0, own))) {
    line.action = TCommandLine::TAction::Error;
    line.text = parser.errorText();
    return line;
  }
  if (parser.isSet(help)) {
    line.action = TCommandLine::TAction::Help;
    line.text = HelpText(parser);
    return line;
  }
  if (parser.isSet(version)) {
    line.action = TCommandLine::TAction::Version;
    line.text = QStringLiteral("%1 %2\n").arg(QCoreApplication::applicationName(),
                                              QCoreApplication::applicationVersion());
    return line;
  }
  if (!parser.positionalArguments().isEmpty()) {
    line.action = TCommandLine::TAction::Error;
    line.text = QStringLiteral("Unexpected argument '%1'.").arg(parser.positionalArguments().first());
    return line;
  }
  bool ok = false;
  line.screenshot_seconds = parser.value(interval).toInt(&ok);
  if (!ok || line.screenshot_seconds < 1) {
    line.action = TCommandLine::TAction::Error;
    line.text = QStringLiteral("--screenshot-interval takes a whole number of seconds, at least 1");
    return line;
  }
  line.screenshot_path = parser.value(screenshot);
  line.settings_path = parser.value(settings);
  line.debug_menu = parser.isSet(debug);
  line.splash = !parser.isSet(no_splash);
  return line;
}

}  // namespace velmora::app

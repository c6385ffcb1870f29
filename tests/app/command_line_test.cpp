#include "app/command_line.h"

#include <QCoreApplication>
#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/application_version.h"
#include "run_program.h"

namespace velmora::app {
namespace {

using TAction = TCommandLine::TAction;

class CommandLineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    QCoreApplication::setApplicationName(QStringLiteral("Velmora"));
    QCoreApplication::setApplicationVersion(QString::fromStdString(platform::ApplicationVersion()));
  }

  static TCommandLine Read(const QStringList& arguments) {
    return ReadCommandLine(QStringList{QStringLiteral("/some/where/velmora")} + arguments);
  }
};

TEST_F(CommandLineTest, EachCommandLineEndsInItsAction) {
  struct Case {
    QStringList arguments;
    TAction action;
    QString text;  // the whole text, or for help its first line
  };
  const QString version =
      QStringLiteral("Velmora %1\n").arg(QString::fromStdString(platform::ApplicationVersion()));
  const Case cases[] = {
      {{QStringLiteral("--help")},
       TAction::Help,
       QStringLiteral("Usage: velmora [options] [-- COMMAND [ARG...]]")},
      {{QStringLiteral("-h"), QStringLiteral("--debug")},
       TAction::Help,
       QStringLiteral("Usage: velmora [options] [-- COMMAND [ARG...]]")},
      {{QStringLiteral("--version")}, TAction::Version, version},
      {{QStringLiteral("-v")}, TAction::Version, version},
      {{QStringLiteral("--bogus")}, TAction::Error, QStringLiteral("Unknown option 'bogus'.")},
      {{QStringLiteral("--settings")}, TAction::Error, QStringLiteral("Missing value after '--settings'.")},
      {{QStringLiteral("stray")}, TAction::Error, QStringLiteral("Unexpected argument 'stray'.")},
      {{QStringLiteral("stray"), QStringLiteral("--"), QStringLiteral("game")},
       TAction::Error,
       QStringLiteral("Unexpected argument 'stray'.")},
      {{QStringLiteral("--debug"), QStringLiteral("--")},
       TAction::Error,
       QStringLiteral("-- must be followed by the simulator's command")},
      {{QStringLiteral("--screenshot-interval"), QStringLiteral("0")},
       TAction::Error,
       QStringLiteral("--screenshot-interval takes a whole number of seconds, at least 1")},
      {{QStringLiteral("--screenshot-interval"), QStringLiteral("2.5")},
       TAction::Error,
       QStringLiteral("--screenshot-interval takes a whole number of seconds, at least 1")},
      // The toolkit's own options reach the application object untouched.
      {{QStringLiteral("-platform"), QStringLiteral("offscreen"), QStringLiteral("-reverse")},
       TAction::Run,
       {}},
      {{}, TAction::Run, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments.join(u' ').toStdString());
    const TCommandLine line = Read(c.arguments);
    EXPECT_EQ(line.action, c.action);
    if (c.action == TAction::Help) {
      EXPECT_EQ(line.text.section(u'\n', 0, 0), c.text);
    } else {
      EXPECT_EQ(line.text, c.text);
    }
  }
}

TEST_F(CommandLineTest, RunOptionsReachTheWindow) {
  const TCommandLine plain = Read({});
  EXPECT_TRUE(plain.settings_path.isEmpty());
  EXPECT_FALSE(plain.debug_menu);
  EXPECT_TRUE(plain.splash);
  EXPECT_TRUE(plain.screenshot_path.isEmpty());

  const TCommandLine line =
      Read({QStringLiteral("--settings"), QStringLiteral("/tmp/a.xml"), QStringLiteral("--debug"),
            QStringLiteral("--no-splash"), QStringLiteral("--screenshot"), QStringLiteral("/tmp/shot.png"),
            QStringLiteral("--screenshot-interval"), QStringLiteral("3")});
  ASSERT_EQ(line.action, TAction::Run);
  EXPECT_EQ(line.settings_path, QStringLiteral("/tmp/a.xml"));
  EXPECT_TRUE(line.debug_menu);
  EXPECT_FALSE(line.splash);
  EXPECT_EQ(line.screenshot_path, QStringLiteral("/tmp/shot.png"));
  EXPECT_EQ(line.screenshot_seconds, 3);
  EXPECT_TRUE(line.command.isEmpty());
}

// Everything after "--" is the simulator's, even what looks like the dashboard's or the toolkit's options.
TEST_F(CommandLineTest, WhatFollowsTheSeparatorIsTheSimulatorsCommand) {
  const QStringList arguments{QStringLiteral("/some/where/velmora"),
                              QStringLiteral("--no-splash"),
                              QStringLiteral("--"),
                              QStringLiteral("wine"),
                              QStringLiteral("race07.exe"),
                              QStringLiteral("--debug"),
                              QStringLiteral("-style"),
                              QStringLiteral("--")};
  const TCommandLine line = ReadCommandLine(arguments);
  ASSERT_EQ(line.action, TAction::Run) << line.text.toStdString();
  EXPECT_FALSE(line.splash);
  EXPECT_FALSE(line.debug_menu);
  EXPECT_EQ(line.command, arguments.mid(3));
  EXPECT_EQ(OwnArgumentCount(arguments), 2);
}

// The program itself, drawing off screen: a simulator's command that cannot start ends it with the reason,
// and the toolkit never sees the command's own options.
TEST_F(CommandLineTest, ASimulatorCommandThatCannotStartEndsTheDashboardWithItsReason) {
  const test::Outcome run = test::RunProgram({VELMORA_PROGRAM_PATH, "-platform", "offscreen", "--no-splash",
                                              "--", "/nonexistent/simulator", "-style"});
  EXPECT_EQ(run.status, kExitUsage);
  EXPECT_NE(run.err.find("velmora: cannot start /nonexistent/simulator: No such file or directory\n"),
            std::string::npos)
      << run.err;
}

// The program itself, with no display at all: no DISPLAY, no WAYLAND_DISPLAY, no platform chosen.
test::Outcome RunWithoutDisplay(const std::string& argument) {
  return test::RunProgram({"/usr/bin/env", "-u", "DISPLAY", "-u", "WAYLAND_DISPLAY", "-u", "QT_QPA_PLATFORM",
                           VELMORA_PROGRAM_PATH, argument});
}

TEST_F(CommandLineTest, HelpVersionAndBadOptionsNeedNoDisplay) {
  const test::Outcome help = RunWithoutDisplay("--help");
  EXPECT_EQ(help.status, 0);
  EXPECT_EQ(help.out, Read({QStringLiteral("--help")}).text.toStdString());
  EXPECT_NE(help.out.find("--screenshot <file>"), std::string::npos);
  EXPECT_EQ(help.err, "");

  const test::Outcome version = RunWithoutDisplay("--version");
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, "Velmora " + platform::ApplicationVersion() + "\n");

  const test::Outcome bad = RunWithoutDisplay("--bogus");
  EXPECT_EQ(bad.status, kExitUsage);
  EXPECT_EQ(bad.out, "");
  EXPECT_EQ(bad.err, "velmora: Unknown option 'bogus'.\n");
}

TEST_F(CommandLineTest, HelpIsTheSameWithADisplay) {
  if (std::getenv("DISPLAY") == nullptr) {
    GTEST_SKIP() << "no X display";
  }
  EXPECT_EQ(test::RunProgram({VELMORA_PROGRAM_PATH, "--help"}).out, RunWithoutDisplay("--help").out);
}

}  // namespace
}  // namespace velmora::app

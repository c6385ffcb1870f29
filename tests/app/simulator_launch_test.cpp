// The dashboard starting the simulator itself, as a racer does where the kernel lets a program read only
// the memory of its descendants, and what its status says when a simulator's memory may not be read.
#include "app/simulator_launch.h"

#include <QFile>
#include <QLabel>
#include <QProcess>
#include <memory>
#include <string>

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include "app/display_widgets.h"
#include "app/main_window.h"
#include "running_sim.h"
#include "window_fixture.h"

namespace velmora::app {
namespace {

constexpr int kRedSign = 1;

// This process's standard input and output go to pipes the test holds while the command starts, so that
// the child it starts inherits them: the test then drives the stand-in as it drives one it started itself.
class StandInStreams {
 public:
  StandInStreams() {
    int to_child[2];
    int from_child[2];
    if (pipe(to_child) != 0 || pipe(from_child) != 0) {
      throw std::runtime_error("no pipes");
    }
    saved_in_ = dup(STDIN_FILENO);
    saved_out_ = dup(STDOUT_FILENO);
    dup2(to_child[0], STDIN_FILENO);
    dup2(from_child[1], STDOUT_FILENO);
    close(to_child[0]);
    close(from_child[1]);
    to_child_ = to_child[1];
    from_child_ = from_child[0];
    fcntl(to_child_, F_SETFD, FD_CLOEXEC);
    fcntl(from_child_, F_SETFD, FD_CLOEXEC);
  }
  ~StandInStreams() {
    Restore();
    close(to_child_);
    close(from_child_);
  }
  StandInStreams(const StandInStreams&) = delete;
  StandInStreams& operator=(const StandInStreams&) = delete;

  // Gives this process its own streams back once the child holds the pipes.
  void Restore() {
    if (saved_in_ >= 0) {
      dup2(saved_in_, STDIN_FILENO);
      dup2(saved_out_, STDOUT_FILENO);
      close(saved_in_);
      close(saved_out_);
      saved_in_ = saved_out_ = -1;
    }
  }

  std::string ReadLine(int timeout_ms = 10000) {
    for (;;) {
      if (const auto newline = pending_.find('\n'); newline != std::string::npos) {
        std::string line = pending_.substr(0, newline);
        pending_.erase(0, newline + 1);
        return line;
      }
      pollfd ready{from_child_, POLLIN, 0};
      char buffer[256];
      if (poll(&ready, 1, timeout_ms) <= 0) {
        return {};
      }
      const ssize_t got = read(from_child_, buffer, sizeof buffer);
      if (got <= 0) {
        return {};
      }
      pending_.append(buffer, static_cast<std::size_t>(got));
    }
  }
  std::string Ask(const std::string& command) {
    const std::string line = command + "\n";
    if (write(to_child_, line.data(), line.size()) != static_cast<ssize_t>(line.size())) {
      return {};
    }
    return ReadLine();
  }

 private:
  int saved_in_ = -1;
  int saved_out_ = -1;
  int to_child_ = -1;
  int from_child_ = -1;
  std::string pending_;
};

pid_t ParentOf(pid_t pid) {
  QFile status(QStringLiteral("/proc/%1/stat").arg(pid));
  if (!status.open(QIODevice::ReadOnly)) {
    return -1;
  }
  // "pid (name) state ppid ...": the name may hold spaces, its closing parenthesis is the last one.
  const QByteArray line = status.readAll();
  return line.mid(line.lastIndexOf(')') + 2).split(' ').value(1).toInt();
}

class SimulatorLaunchTest : public test::WindowTest {};

TEST_F(SimulatorLaunchTest, TheDashboardStartsTheSimulatorAsItsChildShowsItAndSaysWhenItEnds) {
  StandInStreams streams;
  QString error;
  auto launch = SimulatorLaunch::Start(
      {QStringLiteral(VELMORA_SIM_PATH), QStringLiteral("--title"), QStringLiteral("GTR Evolution")}, &error);
  streams.Restore();
  ASSERT_NE(launch, nullptr) << error.toStdString();
  const std::string ready = streams.ReadLine();
  ASSERT_EQ(ready.rfind("ready pid=", 0), 0U) << ready;
  const pid_t sim = std::stoi(ready.substr(10));
  EXPECT_EQ(ParentOf(sim), getpid());
  for (const char* command :
       {"pause", "set FInCokpit 1", "set FEau 368.5", "set FPneuAvantGauche.FTempMilieu 371.5"}) {
    ASSERT_EQ(streams.Ask(command), "ok") << command;
  }

  const std::unique_ptr<TForm1> window = Open();
  launch->ReportTo(window->Link());
  auto* status = Find<QLabel>(*window, "lbl_application");
  auto* status_picture = Find<StateImage>(*window, "img_application");
  auto* water = Find<PanelWidget>(*window, "pnl_eau");
  auto* tread = Find<PanelWidget>(*window, "pnl_PneuGaucheAvantMilieu");
  ASSERT_TRUE(test::Within(8000, [&] { return status->text() == "GTR Evolution"; }))
      << status->text().toStdString();
  ASSERT_TRUE(test::Within(8000, [&] { return water->Text() == "95"; })) << water->Text().toStdString();
  EXPECT_EQ(tread->Text(), "98");

  // The racer quits the game: the dashboard stays, and says so.
  streams.Ask("quit");
  ASSERT_TRUE(test::Within(8000, [&] { return status->text() == "Simulator ended (exit status 0)"; }))
      << status->text().toStdString();
  EXPECT_EQ(status_picture->Picture(), kRedSign);
  EXPECT_TRUE(window->isVisible());
}

TEST_F(SimulatorLaunchTest, ACommandThatCannotBeStartedSaysWhy) {
  QString error;
  EXPECT_EQ(SimulatorLaunch::Start({QStringLiteral("/nonexistent/racing-simulator")}, &error), nullptr);
  EXPECT_EQ(error, QStringLiteral("cannot start /nonexistent/racing-simulator: No such file or directory"));
}

// Root reads every process, so the dashboard gives up root for this one: as nobody it finds the stand-in's
// window but may not read the memory of root's process, and its status says so.
TEST_F(SimulatorLaunchTest, AReadThatIsNotAllowedIsNamedInTheStatus) {
  if (geteuid() != 0) {
    GTEST_SKIP() << "needs root, to run the stand-in as root and the dashboard as nobody";
  }
  constexpr const char* kSetpriv = "/usr/bin/setpriv";
  if (access(kSetpriv, X_OK) != 0) {
    GTEST_SKIP() << kSetpriv << " is missing";
  }
  test::RunningSim sim({"--title", "RACE On"});
  QProcess reader;
  reader.start(
      QString::fromLatin1(kSetpriv),
      {QStringLiteral("--reuid=nobody"), QStringLiteral("--regid=nogroup"), QStringLiteral("--clear-groups"),
       QStringLiteral("--"), QStringLiteral(VELMORA_STATUS_READER_PATH), QStringLiteral("RACE On:")});
  ASSERT_TRUE(reader.waitForFinished(30000));
  const QString said = QString::fromUtf8(reader.readAllStandardOutput()).trimmed();
  if (reader.exitCode() == 126 || reader.exitCode() == 127) {
    GTEST_SKIP() << "nobody cannot run the status reader: " << reader.readAllStandardError().toStdString();
  }
  EXPECT_EQ(reader.exitCode(), 0) << reader.readAllStandardError().toStdString();
  EXPECT_EQ(said, QStringLiteral("RACE On: not allowed to read its memory 1"));
}

}  // namespace
}  // namespace velmora::app

// The network roles across processes: a velmora program in the server role, started from its own
// settings file and attached to a real velmora-sim, mirrored by a client dashboard in this process with a
// settings file of its own; and a port changed in the dialog that the next start of the program listens on.
#include <QAbstractItemModel>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <atomic>
#include <chrono>
#include <csignal>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "app/display_widgets.h"
#include "app/footer_view.h"
#include "app/main_window.h"
#include "child_process.h"
#include "four_laps.h"
#include "game/game.h"
#include "modal_answers.h"
#include "net/asio.h"
#include "net/protocol_client.h"
#include "net/protocol_server.h"
#include "platform/application_version.h"
#include "platform/window_finder.h"
#include "running_sim.h"
#include "x11_test_window.h"

namespace velmora::app {
namespace {

using namespace std::chrono_literals;
using test::Within;

// A loopback port that nothing listens on right now.
std::uint16_t FreePort() {
  asio::io_context io;
  asio::ip::tcp::acceptor acceptor(io, {asio::ip::make_address_v4("127.0.0.1"), 0});
  return acceptor.local_endpoint().port();
}

// A settings file holding `entries` (element name, text) under "Velmora".
void WriteSettings(const QString& path, const std::vector<std::pair<std::string, std::string>>& entries) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  std::string xml = "<?xml version=\"1.0\"?><Configuration><Velmora>";
  for (const auto& [name, text] : entries) {
    xml += "<" + name + ">" + text + "</" + name + ">";
  }
  xml += "</Velmora></Configuration>";
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(xml.c_str());
}

// The velmora program with `settings`, run in `folder`, where a server writes its trace log.
std::unique_ptr<test::ChildProcess> StartProgram(const QString& folder, const QString& settings) {
  return std::make_unique<test::ChildProcess>(
      std::vector<std::string>{"/bin/sh", "-c", "cd \"$0\" && exec \"$1\" --no-splash --settings \"$2\"",
                               folder.toStdString(), VELMORA_PROGRAM_PATH, settings.toStdString()});
}

// Whether a server on `port` shakes hands with this program's version within ten seconds (the program
// takes up its role once its window is up).
bool HandshakeWithin10s(std::uint16_t port) {
  const auto deadline = std::chrono::steady_clock::now() + 10s;
  while (std::chrono::steady_clock::now() < deadline) {
    TProtocolClient client;
    if (client.Connect("127.0.0.1", port) && client.SendLine("VERSION " + platform::ApplicationVersion()) &&
        client.ReadLine() == "200 OK same version") {
      client.Quit();
      return true;
    }
    QThread::msleep(100);
  }
  return false;
}

// Asks DATA until the server answers with a record, for up to ten seconds: it has found the simulator.
bool RecordWithin10s(std::uint16_t port) {
  const auto deadline = std::chrono::steady_clock::now() + 10s;
  TProtocolClient client;
  while (std::chrono::steady_clock::now() < deadline) {
    if (!client.Connected() && !client.Connect("127.0.0.1", port)) {
      QThread::msleep(100);
      continue;
    }
    if (client.SendLine("DATA") && client.ReadLine() == "201 440") {
      std::array<std::byte, 440> record{};
      const bool whole = client.ReadBytes(record);
      client.Quit();
      return whole;
    }
    QThread::msleep(100);
  }
  return false;
}

template <typename Widget>
Widget* Find(QWidget& window, const char* name) {
  auto* widget = window.findChild<Widget*>(QString::fromLatin1(name));
  EXPECT_NE(widget, nullptr) << name;
  return widget;
}

// A dashboard window of this process with its own settings file, as the program opens it.
std::unique_ptr<TForm1> OpenWindow(const QString& settings, std::unique_ptr<platform::WindowFinder> finder) {
  TWindowOptions options;
  options.settings_path = settings;
  options.splash = false;
  auto window = std::make_unique<TForm1>(std::move(finder), options);
  window->RestorePlacementAndMarks();
  window->show();
  window->activateWindow();
  return window;
}

void PressButton(QWidget& box, QMessageBox::StandardButton which) {
  auto& message_box = dynamic_cast<QMessageBox&>(box);
  message_box.button(which)->click();
}

class NetworkMirrorTest : public test::X11DisplayTest {
 protected:
  QString PathOf(const char* name) const { return folder_.filePath(QString::fromLatin1(name)); }
  QTemporaryDir folder_;
};

TEST_F(NetworkMirrorTest, AClientDashboardMirrorsAServerProgramAttachedToTheStandIn) {
  test::RunningSim sim;
  for (const char* command :
       {"pause", "session 3 1800 -1", "set FInCokpit 1", "set FFuel 40", "set FVitesse 45",
        "set FPneuAvantGauche.FTempExterieure 363.15", "set FPneuArriereDroit.FPression 180",
        "set FEau 368.65", "set FHuille 378.65", "set FUsureMoteur 2500", "set FUsureMoteur.Reference 5000",
        "set FRapportVitesse 4", "set FAcceleration 0.75"}) {
    ASSERT_EQ(sim.Ask(command), "ok") << command;
  }
  const std::uint16_t port = FreePort();
  const std::string port_text = std::to_string(port);

  // The server: another program, in imperial units, which change nothing in what it sends.
  ASSERT_TRUE(QDir().mkpath(PathOf("server")));
  WriteSettings(PathOf("server/Velmora.xml"), {{"Port", port_text},
                                               {"Standalone1_Checked", "0"},
                                               {"Server1_Checked", "-1"},
                                               {"Mtrique1_Checked", "0"},
                                               {"Imprial1_Checked", "-1"}});
  const auto server = StartProgram(PathOf("server"), PathOf("server/Velmora.xml"));
  ASSERT_TRUE(RecordWithin10s(port)) << "no record from the server program on port " << port;

  // The client: metric, polling every 50 ms, connected to the loopback address its settings give.
  WriteSettings(PathOf("client/Velmora.xml"), {{"IP", "127.0.0.1"},
                                               {"Port", port_text},
                                               {"Standalone1_Checked", "0"},
                                               {"Client1_Checked", "-1"},
                                               {"N500ms1_Checked", "0"},
                                               {"N50ms1_Checked", "-1"}});
  auto client = OpenWindow(PathOf("client/Velmora.xml"), nullptr);
  auto* status = Find<QLabel>(*client, "lbl_application");
  ASSERT_TRUE(Within(8000, [&] { return status->text() == "Connected to server"; }))
      << status->text().toStdString();
  EXPECT_TRUE(Find<QAction>(*client, "Client1")->isChecked());

  // Tyres and engine, in the client's own units.
  auto* gear = Find<QLabel>(*client, "lbl_rapport_vitesse");
  ASSERT_TRUE(Within(8000, [&] { return gear->text() == "4"; })) << gear->text().toStdString();
  EXPECT_EQ(Find<PanelWidget>(*client, "pnl_PneuGaucheAvantExt")->Text(), "90");
  EXPECT_EQ(Find<PanelWidget>(*client, "pnl_PneuDroitArrierePression")->Text(), "180");
  EXPECT_EQ(Find<PanelWidget>(*client, "pnl_eau")->Text(), "95");
  EXPECT_EQ(Find<PanelWidget>(*client, "pnl_huile")->Text(), "105");
  EXPECT_EQ(Find<PanelWidget>(*client, "pnl_moteur")->Text(), "50%");
  EXPECT_EQ(Find<BarGauge>(*client, "gag_Accelaration")->Value(), 75);
  auto* session_name = Find<QLabel>(*client, "lbl_SessionGTR");
  ASSERT_TRUE(Within(8000, [&] { return session_name->text() == "Qualifying"; }));
  EXPECT_EQ(Find<QLabel>(*client, "lbl_TempsSession")->text(), "30:00");

  // Laps driven on the stand-in fill the client's grid and summary row as they fill a stand-alone
  // dashboard's; each step is seen by the client before the next.
  const QAbstractItemModel& grid = *Find<QTableView>(*client, "grd_time")->model();
  test::DriveFourLaps(sim, grid);
  test::ExpectFourLapRows(grid);
  auto* footer = Find<FooterView>(*client, "FooterInformation");
  ASSERT_TRUE(Within(8000, [&] { return footer->CellText(5) == "12.4"; }))
      << footer->CellText(5).toStdString();
  EXPECT_EQ(footer->CellText(0), "0:30.500");
  EXPECT_EQ(footer->CellText(1), "1:02.000");
  EXPECT_EQ(footer->CellText(2), "1:33.250");
  EXPECT_EQ(footer->CellText(3), "32.2");
  EXPECT_EQ(footer->CellText(4), "2.6");

  // Quitting the client closes its connection: the question is asked and Cancel leaves it closed.
  test::ModalAnswers answers({[](QWidget& box) { PressButton(box, QMessageBox::Cancel); }});
  client->close();
  client.reset();
  ASSERT_EQ(answers.Seen().size(), 1);
  EXPECT_TRUE(
      answers.Seen().front().endsWith(QStringLiteral(": Disconnected !\r\n\r\nDo you want reconnect?")))
      << answers.Seen().front().toStdString();

  // The server program served this client and goes on serving after it.
  EXPECT_TRUE(RecordWithin10s(port));
  QFile trace(PathOf("server/protocole.txt"));
  ASSERT_TRUE(trace.open(QIODevice::ReadOnly));
  EXPECT_TRUE(trace.readAll().contains("Stat Connected.\r\n"));
  ::kill(server->Pid(), SIGTERM);
  EXPECT_EQ(server->CloseAndWait(), 0);
}

TEST_F(NetworkMirrorTest, APortChangedInTheDialogSurvivesARestartAndTheServerThenListensOnIt) {
  const QString settings = PathOf("Velmora.xml");
  const std::uint16_t port = FreePort();
  {
    auto window = OpenWindow(settings, platform::CreateWindowFinder());
    test::ModalAnswers answers({[port](QWidget& dialog) {
      auto* edit = dialog.findChild<QLineEdit*>(QStringLiteral("LabeledEdit2"));
      edit->clear();
      QTest::keyClicks(edit, QString::number(port));
      dialog.findChild<QPushButton*>(QStringLiteral("OKBtn"))->click();
    }});
    Find<QAction>(*window, "Setting1")->trigger();
    ASSERT_TRUE(answers.AllGiven());
    EXPECT_EQ(window->Game().FNetwork.FPort, port);
    Find<QAction>(*window, "Server1")->trigger();
    window->close();
  }

  // The next start: a program of its own, which takes up the server role on the stored port.
  const auto program = StartProgram(folder_.path(), settings);
  EXPECT_TRUE(HandshakeWithin10s(port)) << "nothing answers on port " << port;
  ::kill(program->Pid(), SIGTERM);
  EXPECT_EQ(program->CloseAndWait(), 0);
}

// A signal to a client program ends it at once: nobody may be there to answer "Do you want reconnect?".
TEST_F(NetworkMirrorTest, ATerminationSignalClosesAClientProgramWithoutAsking) {
  class NoGame final : public ServerDataSource {
   public:
    bool CommandData(TGameData&, std::stop_token) override { return false; }
  } no_game;
  for (const int signal_number : {SIGTERM, SIGINT}) {
    SCOPED_TRACE(signal_number == SIGTERM ? "SIGTERM" : "SIGINT");
    std::atomic<int> connected{0};
    std::atomic<int> disconnected{0};
    ServerOptions options;
    options.port = 0;
    options.bind_address = "127.0.0.1";
    options.version = platform::ApplicationVersion();
    options.trace_log_path = PathOf("protocole.txt").toStdString();
    options.on_event = [&](std::string_view what) {
      if (what.starts_with("connected")) {
        ++connected;
      } else if (what.starts_with("disconnected")) {
        ++disconnected;
      }
    };
    TProtocolServer server(no_game, options);
    server.Activate();
    WriteSettings(PathOf("client/Velmora.xml"), {{"IP", "127.0.0.1"},
                                                 {"Port", std::to_string(server.Port())},
                                                 {"Standalone1_Checked", "0"},
                                                 {"Client1_Checked", "-1"}});
    const auto program = StartProgram(folder_.path(), PathOf("client/Velmora.xml"));
    ASSERT_TRUE(Within(10000, [&] { return connected > 0; })) << "the client program never connected";
    ::kill(program->Pid(), signal_number);
    // A question left open would keep the connection, and the program, waiting for ever.
    ASSERT_TRUE(Within(5000, [&] { return disconnected > 0; })) << "still connected: a question is waiting";
    EXPECT_EQ(program->CloseAndWait(), 0);
  }
}

}  // namespace
}  // namespace velmora::app

// Two dashboards mirror one car: one in the server role attached to a real velmora-sim, one in the
// client role connected to it over a real loopback socket, both driven through their "Network" menus
// and read back by widget name.
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QThread>
#include <functional>

#include <gtest/gtest.h>

#include "app/display_widgets.h"
#include "app/main_window.h"
#include "game/game.h"
#include "net/asio.h"
#include "platform/window_finder.h"
#include "running_sim.h"
#include "within.h"
#include "x11_test_window.h"

namespace velmora::app {
namespace {

using test::Within;

// A loopback port that nothing listens on right now.
std::uint16_t FreePort() {
  asio::io_context io;
  asio::ip::tcp::acceptor acceptor(io, {asio::ip::make_address_v4("127.0.0.1"), 0});
  return acceptor.local_endpoint().port();
}

template <typename Widget>
Widget* Find(QWidget& window, const char* name) {
  auto* widget = window.findChild<Widget*>(QString::fromLatin1(name));
  EXPECT_NE(widget, nullptr) << name;
  return widget;
}

class NetworkRolesTest : public test::X11DisplayTest {};

TEST_F(NetworkRolesTest, AClientDashboardShowsTheServersCar) {
  test::RunningSim sim;
  for (const char* command : {"pause", "set FInCokpit 1", "set FPneuAvantGauche.FTempExterieure 363.15",
                              "set FEau 368.15", "set FRapportVitesse 4", "set FAcceleration 0.75"}) {
    ASSERT_EQ(sim.Ask(command), "ok") << command;
  }
  const std::uint16_t port = FreePort();

  TForm1 server(platform::CreateWindowFinder());
  server.Game().FNetwork.FPort = port;
  server.show();
  Find<QAction>(server, "Server1")->trigger();
  EXPECT_TRUE(Find<QAction>(server, "Server1")->isChecked());
  auto* server_status = Find<QLabel>(server, "lbl_application");
  ASSERT_TRUE(Within(8000, [&] { return server_status->text() == "Race 07"; }))
      << server_status->text().toStdString();

  TForm1 client(nullptr);  // reads no simulator
  client.Game().FNetwork.FIP = "127.0.0.1";
  client.Game().FNetwork.FPort = port;
  client.Game().FMetrique = false;  // the client's own units
  client.show();
  Find<QAction>(client, "Client1")->trigger();
  EXPECT_EQ(Find<QLabel>(client, "lbl_application")->text(), "Connected to server");

  auto* tread = Find<PanelWidget>(client, "pnl_PneuGaucheAvantExt");
  auto* gear = Find<QLabel>(client, "lbl_rapport_vitesse");
  auto* throttle = Find<BarGauge>(client, "gag_Accelaration");
  ASSERT_TRUE(Within(8000, [&] { return gear->text() == "4"; })) << gear->text().toStdString();
  EXPECT_EQ(throttle->Value(), 75);
  EXPECT_EQ(tread->Text(), client.Game().FMetrique ? "90" : "194");
  EXPECT_EQ(client.Game().FEau.FValue, 368.15);
  // The server shows nothing of the car.
  EXPECT_NE(Find<QLabel>(server, "lbl_rapport_vitesse")->text(), QStringLiteral("4"));

  // The car moves on; the client follows.
  ASSERT_EQ(sim.Ask("set FRapportVitesse 5"), "ok");
  EXPECT_TRUE(Within(8000, [&] { return gear->text() == "5"; }));

  // Back to stand alone: the server stops listening.
  Find<QAction>(server, "Standalone1")->trigger();
  EXPECT_TRUE(
      Within(8000, [&] { return Find<QLabel>(client, "lbl_application")->text() == "Unknown Game"; }));
}

}  // namespace
}  // namespace velmora::app

// A recorded session replayed by velmora-cli replay and shown by a dashboard in the client role, as it
// shows a live server's car.
#include <QAbstractItemModel>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <csignal>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "app/display_widgets.h"
#include "app/main_window.h"
#include "child_process.h"
#include "history/history_store.h"
#include "modal_answers.h"
#include "x11_test_window.h"

namespace velmora::app {
namespace {

using test::Within;

// A session as the recorder writes it: the car in the garage-out lap, then lap 1 completed in 93.5 s.
void WriteSession(const std::string& file) {
  history::HistoryStore store(file, history::HistoryStore::Access::kWrite);
  store.Begin();
  const auto session =
      store.AddSession({"2026-05-01T14:03:07.250Z", "simulator", "Race 07", "1, 2, 1, 9", 4112.0, 3, false});
  TGameData car{};
  car.InCockpit = 1;
  car.TypeSession = 3;
  car.TempsSession = 1800.0F;
  car.Fuel = 40.0;
  car.Vitesse = 45.0F;
  car.RapportVitesse = 4;
  car.PneuAvantGaucheTempExterieure = 363.15;
  car.Eau = 368.65;
  car.Huille = 378.65;
  car.LongueurCircuit = 4112.0F;
  for (int tenth = 0; tenth <= 20; ++tenth) {
    store.AddSample(session, tenth / 10.0, car);
  }
  car.NombreTour = 1;
  car.TempsDernierTourSecteur1 = 30.5F;
  car.TempsDernierTourSecteur2 = 62.75F;
  car.TempsDernierTour = 93.5F;
  car.TempsMeilleurTour = 93.5F;
  car.Fuel = 37.35;
  for (int tenth = 21; tenth <= 600; ++tenth) {
    store.AddSample(session, tenth / 10.0, car);
  }
  store.Commit();
}

class ReplayClientTest : public test::X11DisplayTest {};

TEST_F(ReplayClientTest, AClientDashboardShowsTheReplayedCarAndItsLaps) {
  QTemporaryDir folder;
  const std::string file = folder.filePath(QStringLiteral("history.sqlite")).toStdString();
  WriteSession(file);
  test::ChildProcess replay({"/bin/sh", "-c",
                             "cd \"$0\" && exec \"$1\" replay --db \"$2\" --session 1 --port 0",
                             folder.path().toStdString(), VELMORA_CLI_PATH, file});
  const std::string listening = replay.ReadLine(8000);
  ASSERT_EQ(listening.rfind("listening on port ", 0), 0U) << listening;
  const std::string port = listening.substr(std::string("listening on port ").size());

  const QString settings = folder.filePath(QStringLiteral("client/Velmora.xml"));
  QDir().mkpath(folder.filePath(QStringLiteral("client")));
  QFile settings_file(settings);
  ASSERT_TRUE(settings_file.open(QIODevice::WriteOnly));
  settings_file.write(
      ("<?xml version=\"1.0\"?><Configuration><Velmora><IP>127.0.0.1</IP><Port>" + port +
       "</Port><Standalone1_Checked>0</Standalone1_Checked><Client1_Checked>-1</Client1_Checked>"
       "<N500ms1_Checked>0</N500ms1_Checked><N50ms1_Checked>-1</N50ms1_Checked>"
       "</Velmora></Configuration>")
          .c_str());
  settings_file.close();
  TWindowOptions options;
  options.settings_path = settings;
  options.splash = false;
  auto client = std::make_unique<TForm1>(nullptr, options);
  client->RestorePlacementAndMarks();
  client->show();
  client->activateWindow();

  auto* status = client->findChild<QLabel*>(QStringLiteral("lbl_application"));
  ASSERT_NE(status, nullptr);
  ASSERT_TRUE(Within(8000, [&] { return status->text() == "Connected to server"; }))
      << status->text().toStdString();
  auto* gear = client->findChild<QLabel*>(QStringLiteral("lbl_rapport_vitesse"));
  ASSERT_TRUE(Within(8000, [&] { return gear->text() == "4"; })) << gear->text().toStdString();
  EXPECT_EQ(client->findChild<PanelWidget*>(QStringLiteral("pnl_PneuGaucheAvantExt"))->Text(), "90");
  EXPECT_EQ(client->findChild<PanelWidget*>(QStringLiteral("pnl_eau"))->Text(), "95");
  EXPECT_EQ(client->findChild<PanelWidget*>(QStringLiteral("pnl_huile"))->Text(), "105");
  // The lap completed two seconds into the recording reaches the client's grid.
  const QAbstractItemModel& grid = *client->findChild<QTableView*>(QStringLiteral("grd_time"))->model();
  ASSERT_TRUE(Within(8000, [&] {
    for (int row = 0; row < grid.rowCount(); ++row) {
      for (int column = 0; column < grid.columnCount(); ++column) {
        if (grid.index(row, column).data().toString() == QStringLiteral("1:33.500")) {
          return true;
        }
      }
    }
    return false;
  }));

  test::ModalAnswers answers(
      {[](QWidget& box) { dynamic_cast<QMessageBox&>(box).button(QMessageBox::Cancel)->click(); }});
  client->close();
  client.reset();
  ::kill(replay.Pid(), SIGTERM);
  EXPECT_EQ(replay.CloseAndWait(), 0);
}

}  // namespace
}  // namespace velmora::app

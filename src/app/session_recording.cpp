#include "app/session_recording.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>

#include "app/main_menu.h"
#include "app/main_window.h"
#include "app/settings_file.h"
#include "history/game_data_from_values.h"

namespace velmora::app {
namespace {

const std::string kMarkEntry = "Velmora\\RecordSessions1.Checked";
constexpr std::chrono::milliseconds kInterval{100};

// The driver list as the dashboard shows it: it knows no slot or car, and its last column may hold a gap.
std::vector<history::StandingRecord> ShownStandings(const TDisplayPlayers& list) {
  std::vector<history::StandingRecord> standings;
  for (const PlayerRow& row : list.NodeList()) {
    if (!row.Visible) {
      continue;
    }
    history::StandingRecord car;
    car.position = row.Data.Position;
    car.slot = -1;
    car.name = row.Data.PalyerName;
    car.in_pits = row.Data.InPit == 1;
    if (!row.Data.IsGap && row.Data.BestTime > 0.0F) {
      car.best_lap_s = row.Data.BestTime;
    }
    standings.push_back(std::move(car));
  }
  return standings;
}

}  // namespace

TSessionRecording::TSessionRecording(TForm1& window)
    : QObject(&window), window_(window), completed_(window.LapTable()) {
  auto* menu = new QMenu(QStringLiteral("History"), &window);
  menu->setObjectName(QStringLiteral("History1"));
  window.menuBar()->insertMenu(window.Menu().Update1->menuAction(), menu);
  RecordSessions1 = menu->addAction(QStringLiteral("Record sessions"));
  RecordSessions1->setObjectName(QStringLiteral("RecordSessions1"));
  RecordSessions1->setCheckable(true);
  RecordSessions1->setChecked(window.Settings().ReadBoolean(kMarkEntry, false));
  connect(RecordSessions1, &QAction::toggled, this, [this](bool on) { SetRecording(on); });
  connect(&window, &TForm1::Closing, this,
          [this] { window_.Settings().WriteBoolean(kMarkEntry, RecordSessions1->isChecked()); });
  window.Game().FCycleListener = this;
  SetRecording(RecordSessions1->isChecked());
}

TSessionRecording::~TSessionRecording() {
  window_.Game().FCycleListener = nullptr;
}

void TSessionRecording::SetRecording(bool on) {
  if (!on) {
    worker_.reset();
    return;
  }
  if (worker_) {
    return;
  }
  have_source_ = false;
  worker_ = std::make_unique<history::RecordingWorker>(
      history::DefaultHistoryFile(), kInterval, [this](const std::string& message) {
        // From the recording thread: the window hears of it on its own.
        QMetaObject::invokeMethod(
            this, [this, text = QString::fromStdString(message)] { Failed(text); }, Qt::QueuedConnection);
      });
}

void TSessionRecording::Failed(const QString& message) {
  RecordSessions1->setChecked(false);
  QMessageBox::warning(&window_, QStringLiteral("Record sessions"),
                       message + QStringLiteral("\n\nRecording has stopped."));
}

bool TSessionRecording::SameSource(const TGame& game) const {
  const TNetworkType role = game.FNetwork.NetworkType();
  if (!have_source_ || role != last_source_.role) {
    return false;
  }
  return role == TNetworkType::ntClient
             ? game.FNetwork.FIP == last_source_.ip && game.FNetwork.FPort == last_source_.port
             : window_.Link().ProgramProcessId == last_source_.process_id;
}

void TSessionRecording::CycleDone(TGame& game) {
  if (!worker_) {
    return;
  }
  if (!SameSource(game)) {
    const TNetworkType role = game.FNetwork.NetworkType();
    last_source_ = {role, window_.Link().ProgramProcessId, game.FNetwork.FIP, game.FNetwork.FPort};
    have_source_ = true;
    history::RecorderSource attach;
    if (role == TNetworkType::ntClient) {
      attach.source = "server " + game.FNetwork.FIP + ":" + std::to_string(game.FNetwork.FPort);
    } else {
      attach.simulator = window_.Link().ProgramNameWindows();
      attach.simulator_version = window_.Link().ProgramVersion;
    }
    item_.attach = std::move(attach);
  }
  item_.time = history::Recorder::Clock::now();
  item_.record = history::GameDataFromValues(game);
  item_.laps = completed_.TakeNew(game.FNombreTour.FValue, game.FMetrique);
  if (!item_.laps.empty()) {
    item_.standings = ShownStandings(game.FDisplayPlayers);
  }
  worker_->Post(item_);
}

}  // namespace velmora::app

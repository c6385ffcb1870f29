// The dashboard as a person meets it: the real main window attaches to a real velmora-sim, values set in
// the stand-in show on the widgets found by their names, and a picture of it is written.
#include "app/main_window.h"

#include <QDir>
#include <QLabel>
#include <QStyledItemDelegate>
#include <cmath>
#include <functional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "app/display_players_view.h"
#include "app/display_widgets.h"
#include "gauges/weather_gauges.h"
#include "running_sim.h"
#include "window_fixture.h"

namespace velmora::app {
namespace {

class MainWindowTest : public test::WindowTest {
 protected:
  static bool Within8s(const std::function<bool()>& done) { return test::Within(8000, done); }
};

TEST_F(MainWindowTest, ShowsTheSimulatorLiveAndLetsGoWhenItCloses) {
  test::RunningSim sim;
  for (const char* command :
       {"pause", "set FInCokpit 1", "set FPneuAvantGauche.FTempExterieure 353.15",
        "set FPneuAvantGauche.FPression 30", "set FRapportVitesse -1", "set FAcceleration 0.5", "set FABS 1",
        "set FVitesse 10", "set FPneuArriereDroit.FRayon 0.3", "set FPneuArriereDroit.FVitesse 41"}) {
    ASSERT_EQ(sim.Ask(command), "ok") << command;
  }

  const std::unique_ptr<TForm1> opened = Open();
  TForm1& window = *opened;
  auto* status = Find<QLabel>(window, "lbl_application");
  auto* status_picture = Find<StateImage>(window, "img_application");
  ASSERT_TRUE(Within8s([&] { return status->text() == "Race 07"; })) << status->text().toStdString();
  EXPECT_EQ(status_picture->Picture(), 2);
  EXPECT_EQ(window.windowTitle().toStdString().rfind("Velmora ", 0), 0U);

  auto* tread = Find<PanelWidget>(window, "pnl_PneuGaucheAvantExt");
  auto* pressure = Find<PanelWidget>(window, "pnl_PneuGaucheAvantPression");
  auto* gear = Find<QLabel>(window, "lbl_rapport_vitesse");
  auto* throttle = Find<BarGauge>(window, "gag_Accelaration");
  auto* abs = Find<StateImage>(window, "img_abs");
  ASSERT_TRUE(Within8s([&] { return gear->text() == "R" && throttle->Value() == 50; }));
  EXPECT_EQ(tread->Text(), "80");
  EXPECT_EQ(tread->Color(), (Rgb{0, 255, 128}));
  EXPECT_EQ(pressure->Text(), "XXX");
  EXPECT_EQ(pressure->Color(), (Rgb{255, 64, 64}));
  EXPECT_EQ(abs->Picture(), 2);
  // The rear right wheel turns faster than the car moves: it spins, and the debug window, once opened,
  // shows its surface speed, the last wheel of the cycle.
  EXPECT_EQ(Find<PanelWidget>(window, "pnl_PneuDroitArriereVitesse")->Color(), (Rgb{255, 128, 64}));
  Find<QWidget>(window, "Form2")->show();
  EXPECT_EQ(Find<QLabel>(window, "lbl1")->text(), "12.3000001907349");

  // What a person sees, kept with the build.
  const QString shots = QStringLiteral(VELMORA_SCREENSHOT_DIR);
  QDir().mkpath(shots);
  EXPECT_TRUE(window.grab().save(shots + QStringLiteral("/dashboard_test.png")));

  ASSERT_EQ(sim.Ask("close"), "ok");
  ASSERT_TRUE(Within8s([&] { return status->text() == "Unknown Game"; }));
  EXPECT_EQ(status_picture->Picture(), 1);
}

TEST_F(MainWindowTest, EveryBoundWidgetStartsRightAndFollowsItsOwnValue) {
  test::RunningSim sim;
  for (const char* command :
       {"pause", "set FInCokpit 1", "set FAcceleration 0", "set FFreinage 0", "set FEmbrayage 0",
        "set FStabilite 1", "set FTraction 2", "set FLimiteur 0", "set FPitIn 0", "set FRapportVitesse 3",
        "set FPneuAvantGauche.FUsure 0.9", "set FPneuAvantDroit.FUsure 0.92",
        "set FPneuArriereGauche.FUsure 0.96", "set FPneuArriereDroit.FUsure 0.98"}) {
    ASSERT_EQ(sim.Ask(command), "ok") << command;
  }

  const std::unique_ptr<TForm1> made = Make();
  TForm1& window = *made;
  // A new window, before anything is read: the pit and limiter lamps lit, every other lamp at rest.
  for (const char* name : {"img_pit", "img_limiteur"}) {
    EXPECT_EQ(Find<StateImage>(window, name)->Picture(), 2) << name;
  }
  for (const char* name : {"img_abs", "img_stability", "img_traction", "img_embrayage", "img_ligth",
                           "img_contact", "img_moteur"}) {
    EXPECT_EQ(Find<StateImage>(window, name)->Picture(), 1) << name;
  }

  window.show();
  window.activateWindow();
  auto* gear = Find<QLabel>(window, "lbl_rapport_vitesse");
  ASSERT_TRUE(Within8s([&] { return gear->text() == "3"; })) << gear->text().toStdString();

  // Pedals at rest show their 0 from the first cycle on.
  for (const char* name : {"gag_Accelaration", "gag_Freinage", "gag_Embrayage"}) {
    auto* pedal = Find<BarGauge>(window, name);
    EXPECT_EQ(pedal->Value(), 0) << name;
    EXPECT_EQ(pedal->Text(), "0") << name;
  }
  // The two-level stability aid drives the image named for traction, and the three-level traction
  // control the one named for stability.
  EXPECT_EQ(Find<StateImage>(window, "img_traction")->Picture(), 2);
  EXPECT_EQ(Find<StateImage>(window, "img_stability")->Picture(), 3);
  EXPECT_EQ(Find<StateImage>(window, "img_pit")->Picture(), 1);
  EXPECT_EQ(Find<StateImage>(window, "img_limiteur")->Picture(), 1);
  // Each wheel's wear on its own bar, named axle first.
  const std::pair<const char*, int> wear[] = {{"gag_UsurePneuAvantGauche", 50},
                                              {"gag_UsurePneuAvantDroit", 60},
                                              {"gag_UsurePneuArriereGauche", 80},
                                              {"gag_UsurePneuArriereDroit", 90}};
  for (const auto& [name, position] : wear) {
    EXPECT_EQ(Find<BarGauge>(window, name)->Value(), position) << name;
  }
}

// Which widgets paint, and how often a widget asks its parent for a new layout, while it is installed.
class PaintRecorder final : public QObject {
 public:
  PaintRecorder() { QApplication::instance()->installEventFilter(this); }
  ~PaintRecorder() override { QApplication::instance()->removeEventFilter(this); }
  PaintRecorder(const PaintRecorder&) = delete;
  PaintRecorder& operator=(const PaintRecorder&) = delete;

  std::set<std::string> painted;
  int layout_requests = 0;

 protected:
  bool eventFilter(QObject* target, QEvent* event) override {
    if (event->type() == QEvent::Paint) {
      // A view's viewport goes by the view's name.
      const QObject* named =
          target->objectName() == QStringLiteral("qt_scrollarea_viewport") ? target->parent() : target;
      painted.insert(named->objectName().isEmpty() ? named->metaObject()->className()
                                                   : named->objectName().toStdString());
    } else if (event->type() == QEvent::LayoutRequest) {
      ++layout_requests;
    }
    return false;
  }
};

// Which cells of a list its view asks to draw.
class CellRecorder final : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    drawn.insert({index.row(), index.column()});
    QStyledItemDelegate::paint(painter, option, index);
  }
  mutable std::set<std::pair<int, int>> drawn;
};

void RunEventsFor(int milliseconds) {
  test::Within(milliseconds, [] { return false; });
}

// The scan runs four times a second whether or not anything changed; only a change may cost a drawing.
// The driver list's title takes turns between time and gap every few seconds, and a weather gauge's trend
// arrow turns level at its second reading; both draw then, and a watch that saw either is made again.
TEST_F(MainWindowTest, ACycleDrawsOnlyWhatChanged) {
  test::RunningSim sim;
  for (const char* command : {"pause", "set FInCokpit 1", "set FPneuAvantGauche.FTempExterieure 353.15"}) {
    ASSERT_EQ(sim.Ask(command), "ok") << command;
  }
  const std::unique_ptr<TForm1> opened = Open();
  TForm1& window = *opened;
  auto* tread = Find<PanelWidget>(window, "pnl_PneuGaucheAvantExt");
  auto* drivers = Find<DriverListView>(window, "DisplayPlayersView");
  ASSERT_TRUE(Within8s([&] { return tread->Text() == "80"; })) << tread->Text().toStdString();
  std::vector<const gauges::TrendGauge*> trends;
  for (const char* name : {"VelmoraHumiditySector1", "VelmoraHumiditySector2", "VelmoraHumiditySector3"}) {
    trends.push_back(&Find<gauges::TVelmoraHumiditySector>(window, name)->Gauge());
  }
  for (const char* name : {"VelmoraTemperatureAir", "VelmoraTemperatureTrack"}) {
    trends.push_back(&Find<gauges::TVelmoraTemperatureTrack>(window, name)->Gauge());
  }
  const auto turns = [&] {
    std::vector<int> state{static_cast<int>(drivers->TimeTitle() == QStringLiteral("Time"))};
    for (const auto* trend : trends) {
      state.push_back(static_cast<int>(trend->Arrow()));
    }
    return state;
  };

  struct Watch {
    std::set<std::string> painted;
    int layout_requests = 0;
  };
  const auto watch = [&](const std::function<void()>& during) {
    for (int attempt = 0;; ++attempt) {
      const auto before = turns();
      PaintRecorder recorder;
      during();
      if (turns() == before || attempt == 5) {
        return Watch{recorder.painted, recorder.layout_requests};
      }
    }
  };

  ASSERT_TRUE(Within8s([&] { return drivers->RowShown(19); }));
  RunEventsFor(300);
  const Watch quiet = watch([] { RunEventsFor(1500); });
  EXPECT_EQ(quiet.painted, std::set<std::string>{});
  EXPECT_EQ(quiet.layout_requests, 0);

  double kelvin = 353.15;
  const Watch one_change = watch([&] {
    kelvin += 10;
    ASSERT_EQ(sim.Ask("set FPneuAvantGauche.FTempExterieure " + std::to_string(kelvin)), "ok");
    const QString celsius = QString::number(std::lround(kelvin - 273.15));
    ASSERT_TRUE(Within8s([&] { return tread->Text() == celsius; })) << tread->Text().toStdString();
    RunEventsFor(600);
  });
  EXPECT_EQ(one_change.painted, std::set<std::string>{"pnl_PneuGaucheAvantExt"});
  EXPECT_EQ(one_change.layout_requests, 0);

  auto* gear = Find<LargeTextLabel>(window, "lbl_rapport_vitesse");
  const Watch new_gear = watch([&] {
    const std::string shown = gear->text() == QStringLiteral("4") ? "5" : "4";
    ASSERT_EQ(sim.Ask("set FRapportVitesse " + shown), "ok");
    ASSERT_TRUE(Within8s([&] { return gear->text().toStdString() == shown; }));
    RunEventsFor(600);
  });
  EXPECT_EQ(new_gear.painted, std::set<std::string>{"lbl_rapport_vitesse"});

  // Another driver's best lap: the list draws that driver's time, not the rest of the row.
  const int player = std::stoi(sim.Ask("get FSlotJoueur"));
  const std::string other = "@" + std::to_string(player == 5 ? 6 : 5);
  auto* cells = new CellRecorder(drivers);
  drivers->setItemDelegate(cells);
  const auto times = [&] {
    std::vector<QString> shown;
    for (int row = 0; row < 20; ++row) {
      shown.push_back(drivers->Text(row, 2));
    }
    return shown;
  };
  double best = 95.5;
  const Watch one_time = watch([&] {
    cells->drawn.clear();
    best -= 1;
    const std::vector<QString> before = times();
    ASSERT_EQ(sim.Ask("set FTemps.MeilleurTour" + other + " " + std::to_string(best)), "ok");
    ASSERT_TRUE(Within8s([&] { return times() != before; }));
    RunEventsFor(600);
  });
  EXPECT_EQ(one_time.painted, std::set<std::string>{"DisplayPlayersView"});
  ASSERT_EQ(cells->drawn.size(), 1U);
  EXPECT_EQ(cells->drawn.begin()->second, 2);
}

}  // namespace
}  // namespace velmora::app

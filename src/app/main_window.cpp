#include "app/main_window.h"

#include <QActionGroup>
#include <QCloseEvent>
#include <QEvent>
#include <QFont>
#include <QMenuBar>
#include <QPalette>
#include <clocale>

#include "app/dashboard_panel.h"
#include "app/debug_window.h"
#include "app/footer_view.h"
#include "app/lap_grid_view.h"
#include "app/side_column.h"
#include "game/game.h"
#include "platform/application_version.h"

namespace velmora::app {
namespace {

// A window finder for a desktop that cannot be searched: nothing is ever found.
class NoWindows final : public platform::WindowFinder {
 public:
  platform::WindowHandle FindWindow(const std::string&, const std::string&) override { return 0; }
  bool IsWindow(platform::WindowHandle) override { return false; }
  std::uint32_t WindowProcessId(platform::WindowHandle) override { return 0; }
};

constexpr int kDesignWidth = 994;
constexpr int kDesignHeight = 554;
constexpr int kSideColumnWidth = SideColumn::kWidth;
// The lap grid and the summary row sit at the foot of the dashboard.
constexpr int kLapGridHeight = 128;
constexpr int kFooterHeight = 40;

}  // namespace

void QtDetectionTimer::SetEnabled(bool enabled) {
  if (enabled && !timer_.isActive()) {
    timer_.start();
  } else if (!enabled) {
    timer_.stop();
  }
}

TForm1::TForm1(std::unique_ptr<platform::WindowFinder> finder, QWidget* parent)
    : QMainWindow(parent), finder_(finder ? std::move(finder) : std::make_unique<NoWindows>()) {
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(QStringLiteral("Velmora ") + QString::fromStdString(platform::ApplicationVersion()));
  QPalette colors = palette();
  colors.setColor(QPalette::Window, Qt::black);
  colors.setColor(QPalette::WindowText, Qt::white);
  setPalette(colors);
  QFont font(QStringLiteral("Arial"));
  font.setPixelSize(21);
  font.setBold(true);
  setFont(font);

  auto* panel1 = new QWidget(this);
  panel1->setObjectName(QStringLiteral("Panel1"));
  panel1->setAutoFillBackground(true);
  setCentralWidget(panel1);
  // The side column (driver list, session, weather) takes the left part; the dashboard the rest.
  Panel3 = new SideColumn(panel1);
  Panel3->move(0, 0);
  Panel6 = new DashboardPanel(panel1);
  Panel6->move(kSideColumnWidth, 0);
  setFixedSize(kDesignWidth, kDesignHeight);

  FGame = std::make_unique<TGame>(this, clock_);
  link_ = std::make_unique<TGameLink>(*FGame, *finder_, hand_over_, detection_timer_);
  Panel6->Bind(*FGame, *link_);
  Panel3->Bind(*FGame);
  CreateRaceViews();
  Form2 = new TForm2(this);
  FGame->FDebugWheelSpeed = Form2->lbl1;
  // Numbers show "." as the decimal separator whatever the user's locale; the core formats with the C
  // library, which the application object has set to the user's locale.
  std::setlocale(LC_NUMERIC, "C");
  FGame->FMetrique = true;

  CreateGridTimeMenu();

  TimerProgram.setInterval(1000);
  connect(&TimerProgram, &QTimer::timeout, this, [this] { TimerProgramTimer(); });
}

TForm1::~TForm1() {
  TimerProgram.stop();
  link_.reset();
  // The views follow the lap table and the game; they go before either.
  delete grd_time;
  delete FooterInformation;
  FGame.reset();
}

void TForm1::CreateRaceViews() {
  grd_time = new LapGridView(mda_time, FGame->FTemps, Panel6);
  grd_time->setGeometry(0, DashboardPanel::kHeight - kFooterHeight - kLapGridHeight, DashboardPanel::kWidth,
                        kLapGridHeight);
  auto* panel5 = new QWidget(Panel6);
  panel5->setObjectName(QStringLiteral("Panel5"));
  panel5->setGeometry(0, DashboardPanel::kHeight - kFooterHeight, DashboardPanel::kWidth, kFooterHeight);
  FooterInformation = new FooterView(FGame->FFooterInformation, panel5);
  FooterInformation->setGeometry(0, 0, DashboardPanel::kWidth, kFooterHeight);
  CreateNodeFooter();
  FGame->FFooterInformation.SetVirtualTree(FooterInformation);
  FGame->FTemps.SetData(&mda_time);
  FGame->FTemps.SetGrid(grd_time);
}

void TForm1::CreateGridTimeMenu() {
  QMenu* grid_time = menuBar()->addMenu(QStringLiteral("Grid Time"));
  auto* group = new QActionGroup(grid_time);
  DisplayLaps1 = grid_time->addAction(QStringLiteral("Display Laps"));
  DisplayLaps1->setObjectName(QStringLiteral("DisplayLaps1"));
  DisplaySector1 = grid_time->addAction(QStringLiteral("Display Sector"));
  DisplaySector1->setObjectName(QStringLiteral("DisplaySector1"));
  for (QAction* item : {DisplayLaps1, DisplaySector1}) {
    item->setCheckable(true);
    group->addAction(item);
  }
  DisplayLaps1->setChecked(true);
  connect(DisplayLaps1, &QAction::triggered, this, [this] { DisplayLaps(); });
  connect(DisplaySector1, &QAction::triggered, this, [this] { DisplaySector(); });
  // The menu bar sits above the dashboard, which keeps its design height.
  setFixedSize(kDesignWidth, kDesignHeight + menuBar()->sizeHint().height());
}

void TForm1::DisplayLaps() {
  DisplayLaps1->setChecked(true);
  FGame->FTemps.SetSecteurTime(false);
}

void TForm1::DisplaySector() {
  DisplaySector1->setChecked(true);
  FGame->FTemps.SetSecteurTime(true);
}

void TForm1::CreateNodeFooter() {
  FooterInformation->CreateNodeFooter();
}

void TForm1::Init() {
  link_->LedApplication("Unknown Game", 0);
  Panel6->ResetLamps();
  FGame->FMetrique = true;
  if (DisplayLaps1->isChecked()) {
    DisplayLaps();
  } else {
    DisplaySector();
  }
}

void TForm1::Activated() {
  Init();
  const bool detects = FGame->FNetwork.NetworkType() != TNetworkType::ntClient;
  detection_timer_.SetEnabled(detects);
}

void TForm1::TimerProgramTimer() {
  link_->TimerProgramTimer();
}

void TForm1::changeEvent(QEvent* event) {
  if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
    Activated();
  }
  QMainWindow::changeEvent(event);
}

void TForm1::closeEvent(QCloseEvent* event) {
  TimerProgram.stop();
  link_->StopScanThread();
  event->accept();
}

}  // namespace velmora::app

#include "app/main_window.h"

#include <QActionGroup>
#include <QCloseEvent>
#include <QEvent>
#include <QFont>
#include <QMenuBar>
#include <QPalette>
#include <clocale>

#include "app/about_box.h"
#include "app/dashboard_panel.h"
#include "app/debug_window.h"
#include "app/debugger_presence.h"
#include "app/footer_view.h"
#include "app/lap_grid_export_menu.h"
#include "app/lap_grid_view.h"
#include "app/main_menu.h"
#include "app/network_shell.h"
#include "app/proportional_scaler.h"
#include "app/settings_file.h"
#ifdef VELMORA_APP_HISTORY
#include "app/session_recording.h"
#endif
#include "app/side_column.h"
#include "app/splash_window.h"
#include "app/web_update.h"
#include "app/window_layout.h"
#include "game/game.h"
#include "platform/application_version.h"
#include "race/lap_grid_export_table.h"

namespace velmora::app {
namespace {

// A window finder for a desktop that cannot be searched: nothing is ever found.
class NoWindows final : public platform::WindowFinder {
 public:
  platform::WindowHandle FindWindow(const std::string&, const std::string&) override { return 0; }
  bool IsWindow(platform::WindowHandle) override { return false; }
  std::uint32_t WindowProcessId(platform::WindowHandle) override { return 0; }
};

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

TForm1::TForm1(std::unique_ptr<platform::WindowFinder> finder, TWindowOptions options, QWidget* parent)
    : QMainWindow(parent),
      options_(std::move(options)),
      finder_(finder ? std::move(finder) : std::make_unique<NoWindows>()),
      settings_(std::make_unique<TSettingsFile>(
          options_.settings_path.isEmpty() ? TSettingsFile::DefaultPath() : options_.settings_path)) {
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(QStringLiteral("Velmora"));
  QPalette colors = palette();
  colors.setColor(QPalette::Window, Qt::black);
  colors.setColor(QPalette::WindowText, Qt::white);
  setPalette(colors);
  QFont font(QStringLiteral("Arial"));
  font.setPixelSize(21);
  font.setBold(true);
  setFont(font);

  // The client area holds Panel1, which keeps the design's proportions when the window is maximised.
  client_area_ = new QWidget(this);
  client_area_->setObjectName(QStringLiteral("ClientArea"));
  client_area_->setAutoFillBackground(true);
  setCentralWidget(client_area_);
  Panel1 = new QWidget(client_area_);
  Panel1->setObjectName(QStringLiteral("Panel1"));
  Panel1->setAutoFillBackground(true);
  Panel1->resize(kPlayerGridWidth + kWeatherPanelWidth + kDashboardWidth, kDesignClientHeight);
  // The side column: the driver list (Panel7) and the weather column (pnl1).
  Panel3 = new SideColumn(Panel1);
  Panel6 = new DashboardPanel(Panel1);

  FGame = std::make_unique<TGame>(this, clock_);
  link_ = std::make_unique<TGameLink>(*FGame, *finder_, hand_over_, detection_timer_);
  Panel6->Bind(*FGame, *link_);
  network_ = std::make_unique<NetworkShell>(*this, *link_, detection_timer_);
  Panel3->Bind(*FGame);
  CreateRaceViews();
  // Numbers show "." as the decimal separator whatever the user's locale; the core formats with the C
  // library, which the application object has set to the user's locale.
  std::setlocale(LC_NUMERIC, "C");

  // The widths shown now, not the design's: a maximised window exports its wider columns.
  export_menu_ = new TLapGridExportMenu(*this, [this] {
    return std::optional<TExportTable>(LapGridExportTable(
        mda_time, mda_time.Rows(),
        [this](std::size_t column) { return grd_time->columnWidth(static_cast<int>(column)); }));
  });
  web_update_ = new TWebUpdate(*this, update::TWebUpdateStore(*settings_), platform::ApplicationVersion());
  menu_ = std::make_unique<TMainMenu>(*menuBar(), *export_menu_, *web_update_);
  AboutBox_ = new TAboutBox(this);
  Form2 = new TForm2(this);
  FGame->FDebugWheelSpeed = Form2->lbl1;
  scaler_ = std::make_unique<TProportionalScaler>(*Panel1);
  client_area_->installEventFilter(this);
  ConnectMenu();

  TimerProgram.setInterval(1000);
  connect(&TimerProgram, &QTimer::timeout, this, [this] { TimerProgramTimer(); });
  TimerData.setInterval(500);
  web_update_->StartTimer();

  setWindowTitle(QStringLiteral("Velmora ") + QString::fromStdString(platform::ApplicationVersion()));
  RestorePlacementAndMarks();
  ApplyLayout();
  FGame->FNetwork.FIP = settings_->ReadString("Velmora\\IP", "192.168.1.2");
  FGame->FNetwork.FPort = static_cast<std::uint32_t>(settings_->ReadInteger("Velmora\\Port", 6000));
  menu_->Debug1->menuAction()->setVisible(options_.debug_menu || DebuggerAttached());
#ifdef VELMORA_APP_HISTORY
  recording_ = new TSessionRecording(*this);
#endif
}

TForm1::~TForm1() {
  TimerProgram.stop();
#ifdef VELMORA_APP_HISTORY
  delete recording_;
  recording_ = nullptr;
#endif
  network_.reset();
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

void TForm1::DisplayLaps() {
  menu_->DisplayLaps1->setChecked(true);
  FGame->FTemps.SetSecteurTime(false);
}

void TForm1::DisplaySector() {
  menu_->DisplaySector1->setChecked(true);
  FGame->FTemps.SetSecteurTime(true);
}

void TForm1::CreateNodeFooter() {
  FooterInformation->CreateNodeFooter();
}

void TForm1::Activated() {
  Init();
  const bool detects = FGame->FNetwork.NetworkType() != TNetworkType::ntClient;
  detection_timer_.SetEnabled(detects);
}

void TForm1::TimerProgramTimer() {
  link_->TimerProgramTimer();
}

void TForm1::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (shown_once_) {
    return;
  }
  shown_once_ = true;
  if (options_.splash) {
    auto* splash = new TForm3(this);
    splash->setAttribute(Qt::WA_DeleteOnClose);
    ShowModalChild(*splash);
  }
}

void TForm1::ShowModalChild(QDialog& dialog) {
  // Modal without a nested event loop; when it goes the window takes the focus back and runs Init. Some
  // platforms hand the focus back without telling the window it had lost it, so Init runs here then.
  connect(&dialog, &QDialog::finished, this, [this] {
    if (isActiveWindow()) {
      Activated();
    } else {
      activateWindow();
    }
  });
  dialog.open();
}

void TForm1::changeEvent(QEvent* event) {
  if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
    Activated();
  } else if (event->type() == QEvent::WindowStateChange) {
    // Once the state has settled: a platform may still move the window on after telling of the change.
    QMetaObject::invokeMethod(
        this, [this] { ApplyLayout(); }, Qt::QueuedConnection);
  }
  QMainWindow::changeEvent(event);
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
  if (watched == client_area_ && event->type() == QEvent::Resize) {
    // Not every platform tells of leaving the maximised state; a fixed size the window no longer has
    // shows it.
    const bool grows = isMaximized() || isFullScreen();
    if (!grows && minimumSize() != maximumSize()) {
      QMetaObject::invokeMethod(
          this, [this] { ApplyLayout(); }, Qt::QueuedConnection);
    }
    Rescale();
  }
  return QMainWindow::eventFilter(watched, event);
}

void TForm1::CloseUnattended() {
  attended_close_ = false;
  close();
  attended_close_ = true;
}

void TForm1::closeEvent(QCloseEvent* event) {
  network_->CloseForQuit(attended_close_);
  {
    // Everything the window keeps goes to the file in one save.
    TSettingsFile::Batch batch(*settings_);
    web_update_->StoreAtClose();
    emit Closing();
    SavePlacementAndMarks();
    settings_->WriteString("Velmora\\IP", FGame->FNetwork.FIP);
    settings_->WriteInteger("Velmora\\Port", static_cast<int>(FGame->FNetwork.FPort));
  }
  TimerProgram.stop();
  link_->StopScanThread();
  Form2->hide();
  event->accept();
}

}  // namespace velmora::app

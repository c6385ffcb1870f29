#include "app/main_window.h"

#include <QCloseEvent>
#include <QEvent>
#include <QFont>
#include <QPalette>
#include <clocale>

#include "app/dashboard_panel.h"
#include "app/debug_window.h"
#include "app/network_menu.h"
#include "app/network_shell.h"
#include "app/side_column.h"
#include "game/game.h"
#include "net/protocol.h"
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
  network_ = std::make_unique<NetworkShell>(*this, *link_, detection_timer_);
  AddNetworkMenu(*menuBar(), *network_);
  FGame->FNetwork.FIP = "192.168.1.2";
  FGame->FNetwork.FPort = kDefaultPort;
  Panel3->Bind(*FGame);
  Form2 = new TForm2(this);
  FGame->FDebugWheelSpeed = Form2->lbl1;
  // Numbers show "." as the decimal separator whatever the user's locale; the core formats with the C
  // library, which the application object has set to the user's locale.
  std::setlocale(LC_NUMERIC, "C");
  FGame->FMetrique = true;

  TimerProgram.setInterval(1000);
  connect(&TimerProgram, &QTimer::timeout, this, [this] { TimerProgramTimer(); });
}

TForm1::~TForm1() {
  TimerProgram.stop();
  network_.reset();
  link_.reset();
  FGame.reset();
}

void TForm1::Init() {
  link_->LedApplication("Unknown Game", 0);
  Panel6->ResetLamps();
  FGame->FMetrique = true;
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
  network_->CloseForQuit();
  TimerProgram.stop();
  link_->StopScanThread();
  event->accept();
}

}  // namespace velmora::app

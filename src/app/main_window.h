#pragma once

#include <QMainWindow>
#include <QTimer>
#include <memory>

#include "app/qt_hand_over.h"
#include "game/game_link.h"
#include "platform/tick_clock.h"
#include "platform/window_finder.h"

namespace velmora {
class TGame;
}

namespace velmora::app {

class DashboardPanel;
class NetworkShell;
class SideColumn;
class TForm2;

// The detection timer of the dashboard.
class QtDetectionTimer final : public DetectionTimer {
 public:
  explicit QtDetectionTimer(QTimer& timer) : timer_(timer) {}
  void SetEnabled(bool enabled) override;
  bool Enabled() const override { return timer_.isActive(); }

 private:
  QTimer& timer_;
};

// The main window: owns the game model, finds the simulator once a second and shows its values.
class TForm1 final : public QMainWindow {
 public:
  // `finder` may be null where no desktop can be searched: the dashboard then never attaches.
  explicit TForm1(std::unique_ptr<platform::WindowFinder> finder, QWidget* parent = nullptr);
  ~TForm1() override;

  TGame& Game() { return *FGame; }
  TGameLink& Link() { return *link_; }
  NetworkShell& Network() { return *network_; }

  // Applies the menu marks; runs whenever the window becomes active.
  void Init();

 protected:
  void changeEvent(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void TimerProgramTimer();
  void Activated();

  platform::SystemTickClock clock_;
  QtHandOver hand_over_;
  std::unique_ptr<platform::WindowFinder> finder_;
  QTimer TimerProgram;
  QtDetectionTimer detection_timer_{TimerProgram};
  std::unique_ptr<TGame> FGame;
  SideColumn* Panel3 = nullptr;
  DashboardPanel* Panel6 = nullptr;
  TForm2* Form2 = nullptr;  // hidden until the debug menu shows it
  // Last: destroyed first, so that the scan thread has ended before the game model goes.
  std::unique_ptr<TGameLink> link_;
  // Freed before the link: its server and reception threads use the game model.
  std::unique_ptr<NetworkShell> network_;
};

}  // namespace velmora::app

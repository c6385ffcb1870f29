#pragma once

#include <QMainWindow>
#include <QTimer>
#include <memory>

#include "app/qt_hand_over.h"
#include "game/game_link.h"
#include "net/network.h"
#include "platform/tick_clock.h"
#include "platform/window_finder.h"
#include "race/lap_table.h"

namespace velmora {
class TGame;
}

namespace velmora::app {

class DashboardPanel;
class FooterView;
class LapGridView;
class NetworkShell;
class SideColumn;
class TAboutBox;
class TForm2;
class TLapGridExportMenu;
class TWebUpdate;
class TMainMenu;
class TProportionalScaler;
class TSessionRecording;
class TSettingsFile;

// The detection timer of the dashboard.
class QtDetectionTimer final : public DetectionTimer {
 public:
  explicit QtDetectionTimer(QTimer& timer) : timer_(timer) {}
  void SetEnabled(bool enabled) override;
  bool Enabled() const override { return timer_.isActive(); }

 private:
  QTimer& timer_;
};

// How the program was started.
struct TWindowOptions {
  QString settings_path;    // empty: the user's own settings file
  bool splash = false;      // the splash window when the window first appears; the program asks for it
  bool debug_menu = false;  // the "Debug" menu, also shown when a debugger is attached
};

// The main window: owns the game model, finds the simulator once a second and shows its values.
class TForm1 final : public QMainWindow {
  Q_OBJECT

 public:
  // `finder` may be null where no desktop can be searched: the dashboard then never attaches.
  explicit TForm1(std::unique_ptr<platform::WindowFinder> finder, TWindowOptions options = {},
                  QWidget* parent = nullptr);
  ~TForm1() override;

  TGame& Game() { return *FGame; }
  TGameLink& Link() { return *link_; }
  TMainMenu& Menu() { return *menu_; }
  TSettingsFile& Settings() { return *settings_; }
  TAboutBox& AboutBox() { return *AboutBox_; }
  TWebUpdate& WebUpdate() { return *web_update_; }
  // The client's pause between two data requests, chosen in the "Scan" menu.
  int DataInterval() const { return TimerData.interval(); }
  NetworkShell& Network() { return *network_; }

  // Applies the menu marks; runs whenever the window becomes active.
  void Init();

  void RestorePlacementAndMarks();
  void SavePlacementAndMarks();
  // Closes as the close box does, but nobody is there to answer: no question is asked.
  void CloseUnattended();

 signals:
  // The window is closing: listeners store their settings and end their connections now, before the
  // window's own settings are written and the game model goes.
  void Closing();

 public:
  // The lap grid's two column sets: intermediates, or sector splits. What the "Grid Time" menu calls.
  void DisplayLaps();
  void DisplaySector();
  // Empties the summary row and makes its single row again.
  void CreateNodeFooter();
  TLapTable& LapTable() { return mda_time; }

 protected:
  void changeEvent(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ConnectMenu();
  void TimerProgramTimer();
  void Activated();
  void ApplyScanInterval();
  void ApplyRole();
  void SetRole(TNetworkType role);
  void ApplyLayout();
  void Rescale();
  void ShowDebugForm(bool shown);
  void ShowModalChild(QDialog& dialog);
  void CreateRaceViews();

  TWindowOptions options_;
  platform::SystemTickClock clock_;
  QtHandOver hand_over_;
  std::unique_ptr<platform::WindowFinder> finder_;
  QTimer TimerProgram;
  // Never started: its interval is the scan interval the client pauses between two requests.
  QTimer TimerData;
  QtDetectionTimer detection_timer_{TimerProgram};
  std::unique_ptr<TSettingsFile> settings_;
  // Before the game, whose lap timing writes it.
  TLapTable mda_time;
  std::unique_ptr<TGame> FGame;
  QWidget* client_area_ = nullptr;
  QWidget* Panel1 = nullptr;
  SideColumn* Panel3 = nullptr;
  DashboardPanel* Panel6 = nullptr;
  std::unique_ptr<TProportionalScaler> scaler_;
  TLapGridExportMenu* export_menu_ = nullptr;
  TWebUpdate* web_update_ = nullptr;
  std::unique_ptr<TMainMenu> menu_;
  TAboutBox* AboutBox_ = nullptr;
  LapGridView* grd_time = nullptr;
  FooterView* FooterInformation = nullptr;
  TForm2* Form2 = nullptr;  // hidden until the debug menu shows it
  bool shown_once_ = false;
  // Last: destroyed first, so that the scan thread has ended before the game model goes.
  std::unique_ptr<TGameLink> link_;
  // Freed before the link: its server and reception threads use the game model.
  std::unique_ptr<NetworkShell> network_;
  bool attended_close_ = true;
  // Follows the game and the lap table: it goes before either.
  TSessionRecording* recording_ = nullptr;
};

}  // namespace velmora::app

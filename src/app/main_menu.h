#pragma once

#include <QAction>
#include <QMenu>
#include <array>

class QMenuBar;

namespace velmora::app {

class TLapGridExportMenu;
class TWebUpdate;

// The main window's menu bar: every item with its caption, mnemonic, mark and object name. The items
// only carry their marks; what they do is connected by the window and by the features behind them,
// through each item's `triggered` signal (radio items check themselves before it fires).
class TMainMenu final {
 public:
  // The "Export" and "Update" menus are filled by the features behind them.
  TMainMenu(QMenuBar& bar, TLapGridExportMenu& export_menu, TWebUpdate& web_update);

  QAction* Quitter1;

  QMenu* View1;
  QAction* PlayerGridontheleft1;
  QAction* Playergridontheright1;
  QAction* ShowPlayerGrid1;
  QAction* ShowWeatherPanel1;
  QAction* SwapWeatherPlayerGrid1;

  QAction* N50ms1;
  QAction* N100ms1;
  QAction* N250ms1;
  QAction* N500ms1;
  QAction* N1000ms1;

  QAction* Mtrique1;
  QAction* Imprial1;

  QAction* DisplayLaps1;
  QAction* DisplaySector1;

  QAction* Standalone1;
  QAction* Server1;
  QAction* Client1;
  QAction* Setting1;

  QMenu* Export1;
  QAction* HTMLfile1;
  QAction* CSVfile1;
  QAction* XMLfile1;
  QAction* Save1;

  QMenu* Update1;
  QAction* Active1;
  QAction* Beta1;
  QAction* Realase1;
  QAction* N0day1;
  QAction* N1day1;
  QAction* N7day1;
  QAction* N15day1;
  QAction* CheckUpdateNow1;

  QMenu* Debug1;
  QAction* DisplayForm1;

  QAction* About1;

  // The items whose marks the settings file keeps, in the order it keeps them.
  static constexpr std::size_t kStoredMarkCount = 27;
  std::array<QAction*, kStoredMarkCount> StoredMarks() const;
};

}  // namespace velmora::app

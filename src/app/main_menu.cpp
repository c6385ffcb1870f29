#include "app/main_menu.h"

#include <QActionGroup>
#include <QMenuBar>
#include <initializer_list>

#include "app/lap_grid_export_menu.h"
#include "app/web_update.h"

namespace velmora::app {
namespace {

QAction* Item(QMenu& menu, const char* name, const char* caption) {
  QAction* item = menu.addAction(QString::fromUtf8(caption));
  item->setObjectName(QString::fromLatin1(name));
  return item;
}

QAction* CheckItem(QMenu& menu, const char* name, const char* caption, bool checked) {
  QAction* item = Item(menu, name, caption);
  item->setCheckable(true);
  item->setChecked(checked);
  return item;
}

// Mutually exclusive items; the first is checked.
void RadioGroup(QMenu& menu, std::initializer_list<QAction*> items) {
  auto* group = new QActionGroup(&menu);
  group->setExclusive(true);
  bool first = true;
  for (QAction* item : items) {
    item->setCheckable(true);
    item->setChecked(first);
    group->addAction(item);
    first = false;
  }
}

QMenu* Menu(QMenuBar& bar, const char* name, const char* caption) {
  QMenu* menu = bar.addMenu(QString::fromUtf8(caption));
  menu->setObjectName(QString::fromLatin1(name));
  return menu;
}

}  // namespace

TMainMenu::TMainMenu(QMenuBar& bar, TLapGridExportMenu& export_menu, TWebUpdate& web_update) {
  // A command straight on the bar, as "&Quit" and "About" are.
  Quitter1 = bar.addAction(QStringLiteral("&Quit"));
  Quitter1->setObjectName(QStringLiteral("Quitter1"));

  View1 = Menu(bar, "View1", "View");
  PlayerGridontheleft1 = Item(*View1, "PlayerGridontheleft1", "Player Grid on the left");
  Playergridontheright1 = Item(*View1, "Playergridontheright1", "Player Grid on the right");
  RadioGroup(*View1, {PlayerGridontheleft1, Playergridontheright1});
  View1->addSeparator();
  ShowPlayerGrid1 = CheckItem(*View1, "ShowPlayerGrid1", "Show Player Grid", true);
  ShowWeatherPanel1 = CheckItem(*View1, "ShowWeatherPanel1", "Show Weather Panel", true);
  View1->addSeparator();
  SwapWeatherPlayerGrid1 = CheckItem(*View1, "SwapWeatherPlayerGrid1", "Swap Weather / Player Grid", false);

  QMenu* scan = Menu(bar, "Scan1", "&Scan");
  N50ms1 = Item(*scan, "N50ms1", "50 ms");
  N100ms1 = Item(*scan, "N100ms1", "100 ms");
  N250ms1 = Item(*scan, "N250ms1", "250 ms");
  N500ms1 = Item(*scan, "N500ms1", "500 ms");
  N1000ms1 = Item(*scan, "N1000ms1", "1000 ms");
  RadioGroup(*scan, {N500ms1, N50ms1, N100ms1, N250ms1, N1000ms1});

  QMenu* unit = Menu(bar, "Unit1", "&Unit");
  Mtrique1 = Item(*unit, "Mtrique1", "Metric");
  Imprial1 = Item(*unit, "Imprial1", "Imperial");
  RadioGroup(*unit, {Mtrique1, Imprial1});

  QMenu* grid_time = Menu(bar, "GridTime1", "Grid Time");
  DisplayLaps1 = Item(*grid_time, "DisplayLaps1", "Display Laps");
  DisplaySector1 = Item(*grid_time, "DisplaySector1", "Display Sector");
  RadioGroup(*grid_time, {DisplayLaps1, DisplaySector1});

  QMenu* network = Menu(bar, "Network1", "Network");
  Standalone1 = Item(*network, "Standalone1", "Stand alone");
  Server1 = Item(*network, "Server1", "Server");
  Client1 = Item(*network, "Client1", "Client");
  RadioGroup(*network, {Standalone1, Server1, Client1});
  network->addSeparator();
  Setting1 = Item(*network, "Setting1", "Setting");

  // The export and the update check fill their own menus.
  Export1 = Menu(bar, "Export1", "Export");
  export_menu.BuildMenu(*Export1);
  HTMLfile1 = export_menu.HTMLfile1;
  CSVfile1 = export_menu.CSVfile1;
  XMLfile1 = export_menu.XMLfile1;
  Save1 = export_menu.Save1;

  Update1 = Menu(bar, "Update1", "Update");
  web_update.BuildMenu(*Update1);
  const TUpdateMenuItems& update = web_update.Items();
  Active1 = update.Active1;
  Beta1 = update.Beta1;
  Realase1 = update.Realase1;
  N0day1 = update.N0day1;
  N1day1 = update.N1day1;
  N7day1 = update.N7day1;
  N15day1 = update.N15day1;
  CheckUpdateNow1 = update.CheckUpdateNow1;

  Debug1 = Menu(bar, "Debug1", "Debug");
  DisplayForm1 = CheckItem(*Debug1, "DisplayForm1", "Display Form", false);
  // Shown only when the program runs under a debugger or with --debug.
  Debug1->menuAction()->setVisible(false);

  About1 = bar.addAction(QStringLiteral("About"));
  About1->setObjectName(QStringLiteral("About1"));
}

std::array<QAction*, TMainMenu::kStoredMarkCount> TMainMenu::StoredMarks() const {
  return {N50ms1,
          N100ms1,
          N250ms1,
          N500ms1,
          N1000ms1,
          Mtrique1,
          Imprial1,
          Active1,
          Beta1,
          Realase1,
          N0day1,
          N1day1,
          N7day1,
          N15day1,
          Standalone1,
          Server1,
          Client1,
          CSVfile1,
          HTMLfile1,
          XMLfile1,
          PlayerGridontheleft1,
          Playergridontheright1,
          DisplayLaps1,
          DisplaySector1,
          ShowPlayerGrid1,
          ShowWeatherPanel1,
          SwapWeatherPlayerGrid1};
}

}  // namespace velmora::app

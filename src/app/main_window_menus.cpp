// What the main window's menu items do, and Init, which re-applies their marks.
#include <QMenuBar>
#include <QScreen>
#include <QWindow>

#include "app/about_box.h"
#include "app/dashboard_panel.h"
#include "app/debug_window.h"
#include "app/main_menu.h"
#include "app/main_window.h"
#include "app/network_shell.h"
#include "app/proportional_scaler.h"
#include "app/web_update.h"
#include "app/window_layout.h"
#include "game/game.h"

namespace velmora::app {

void TForm1::ConnectMenu() {
  TMainMenu& m = *menu_;
  connect(m.Quitter1, &QAction::triggered, this, &QWidget::close);

  for (QAction* item : {m.PlayerGridontheleft1, m.Playergridontheright1, m.ShowPlayerGrid1,
                        m.ShowWeatherPanel1, m.SwapWeatherPlayerGrid1}) {
    connect(item, &QAction::triggered, this, [this] { ApplyLayout(); });
  }
  for (QAction* item : {m.N50ms1, m.N100ms1, m.N250ms1, m.N500ms1, m.N1000ms1}) {
    connect(item, &QAction::triggered, this, [this] { ApplyScanInterval(); });
  }
  connect(m.Mtrique1, &QAction::triggered, this, [this] { FGame->FMetrique = true; });
  connect(m.Imprial1, &QAction::triggered, this, [this] { FGame->FMetrique = false; });
  connect(m.DisplayLaps1, &QAction::triggered, this, [this] { DisplayLaps(); });
  connect(m.DisplaySector1, &QAction::triggered, this, [this] { DisplaySector(); });
  connect(m.Standalone1, &QAction::triggered, this, [this] { SetRole(TNetworkType::ntStandalone); });
  connect(m.Server1, &QAction::triggered, this, [this] { SetRole(TNetworkType::ntServer); });
  connect(m.Client1, &QAction::triggered, this, [this] { SetRole(TNetworkType::ntClient); });
  connect(m.Setting1, &QAction::triggered, this, [this] { network_->OpenSetting(); });
  connect(m.DisplayForm1, &QAction::toggled, this, [this](bool shown) { ShowDebugForm(shown); });
  connect(m.About1, &QAction::triggered, this, [this] { ShowModalChild(*AboutBox_); });
}

void TForm1::Init() {
  link_->LedApplication("Unknown Game", 0);
  Panel6->ResetLamps();
  FGame->FMetrique = menu_->Mtrique1->isChecked();
  ApplyScanInterval();
  web_update_->ApplyMarks();
  ApplyRole();
  if (menu_->DisplaySector1->isChecked()) {
    DisplaySector();
  } else {
    DisplayLaps();
  }
  ApplyLayout();
}

void TForm1::ApplyScanInterval() {
  const TMainMenu& m = *menu_;
  int interval = 50;
  if (m.N1000ms1->isChecked()) {
    interval = 1000;
  } else if (m.N100ms1->isChecked()) {
    interval = 100;
  } else if (m.N250ms1->isChecked()) {
    interval = 250;
  } else if (m.N500ms1->isChecked()) {
    interval = 500;
  }
  TimerData.setInterval(interval);
  network_->SetDataInterval(interval);
}

void TForm1::ApplyRole() {
  if (menu_->Standalone1->isChecked()) {
    SetRole(TNetworkType::ntStandalone);
  } else if (menu_->Server1->isChecked()) {
    SetRole(TNetworkType::ntServer);
  } else {
    SetRole(TNetworkType::ntClient);
  }
}

void TForm1::SetRole(TNetworkType role) {
  if (FGame->FNetwork.NetworkType() == role) {
    return;
  }
  network_->SwitchRole(role);
}

void TForm1::ApplyLayout() {
  const TMainMenu& m = *menu_;
  const TColumnChoice choice{m.PlayerGridontheleft1->isChecked(), m.ShowPlayerGrid1->isChecked(),
                             m.ShowWeatherPanel1->isChecked(), m.SwapWeatherPlayerGrid1->isChecked()};
  link_->ShowPlayerGrid1 = choice.show_grid;
  const int width = LayOutPanels(*Panel1, *scaler_, choice);
  if (isMaximized() || isFullScreen()) {
    // The window may grow; its client area then scales the design. The fixed size kept it from growing
    // when it was maximised, so it takes the screen now.
    setMinimumSize(0, 0);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    if (isMaximized() && windowHandle() != nullptr && screen() != nullptr &&
        frameGeometry().size() != screen()->availableSize()) {
      windowHandle()->showMaximized();
    }
    Rescale();
  } else {
    // A fixed border: the client area is exactly the design's size.
    setFixedSize(width, kDesignClientHeight + menuBar()->sizeHint().height());
    client_area_->resize(width, kDesignClientHeight);
    Rescale();
  }
}

void TForm1::Rescale() {
  const QRect design = scaler_->DesignGeometry(*Panel1);
  if (design.width() <= 0 || client_area_->width() <= 0 || client_area_->height() <= 0) {
    return;
  }
  const double factor = std::min(static_cast<double>(client_area_->width()) / design.width(),
                                 static_cast<double>(client_area_->height()) / design.height());
  scaler_->ScaleTo(TProportionalScaler::TruncatedRatio(factor), factor);
  update();
}

void TForm1::ShowDebugForm(bool shown) {
  if (!shown) {
    Form2->hide();
    return;
  }
  const QRect frame = frameGeometry();
  Form2->move(frame.right() + 1, frame.top());
  Form2->resize(200, frame.height());
  Form2->show();
}

}  // namespace velmora::app

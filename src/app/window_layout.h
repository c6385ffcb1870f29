#pragma once

#include <QWidget>

#include "app/proportional_scaler.h"

namespace velmora::app {

// Which parts of the side column show, and where: the marks of the "View" menu.
struct TColumnChoice {
  bool grid_on_left = true;
  bool show_grid = true;
  bool show_weather = true;
  bool swapped = false;
};

// Design widths of the window's parts.
inline constexpr int kPlayerGridWidth = 209;
inline constexpr int kWeatherPanelWidth = 200;
inline constexpr int kDashboardWidth = 585;
inline constexpr int kDesignClientHeight = 554;

// The side column's width for a choice: 409, 209, 200 or 0.
int SideColumnWidth(const TColumnChoice& choice);

// Places `Panel3` (the side column) left or right of `Panel6` (the dashboard), `Panel7` (the driver list)
// and `pnl1` (the weather column) inside it, and sizes `Panel1` to hold both, all in design units through
// the scaler. Returns `Panel1`'s design width.
int LayOutPanels(QWidget& panel1, TProportionalScaler& scaler, const TColumnChoice& choice);

}  // namespace velmora::app

#include "app/window_layout.h"

namespace velmora::app {
namespace {

QWidget* Part(QWidget& panel1, const char* name) {
  return panel1.findChild<QWidget*>(QString::fromLatin1(name));
}

}  // namespace

int SideColumnWidth(const TColumnChoice& choice) {
  return (choice.show_grid ? kPlayerGridWidth : 0) + (choice.show_weather ? kWeatherPanelWidth : 0);
}

int LayOutPanels(QWidget& panel1, TProportionalScaler& scaler, const TColumnChoice& choice) {
  const int column = SideColumnWidth(choice);
  const int height = kDesignClientHeight;
  if (QWidget* panel3 = Part(panel1, "Panel3")) {
    scaler.SetDesignGeometry(*panel3, {choice.grid_on_left ? 0 : kDashboardWidth, 0, column, height});
    panel3->setVisible(column > 0);
  }
  if (QWidget* panel6 = Part(panel1, "Panel6")) {
    scaler.SetDesignGeometry(*panel6, {choice.grid_on_left ? column : 0, 0, kDashboardWidth, height});
  }
  // In the column the driver list stands right and the weather fills the rest, or the other way round
  // when swapped.
  if (QWidget* panel7 = Part(panel1, "Panel7")) {
    const int left = choice.swapped ? 0 : column - kPlayerGridWidth;
    scaler.SetDesignGeometry(*panel7, {std::max(left, 0), 0, kPlayerGridWidth, height});
    panel7->setVisible(choice.show_grid);
  }
  if (QWidget* weather = Part(panel1, "pnl1")) {
    const int left = choice.show_grid && choice.swapped ? kPlayerGridWidth : 0;
    scaler.SetDesignGeometry(*weather, {left, 0, kWeatherPanelWidth, height});
    weather->setVisible(choice.show_weather);
  }
  const int width = column + kDashboardWidth;
  scaler.SetDesignGeometry(panel1, {0, 0, width, height});
  return width;
}

}  // namespace velmora::app

#pragma once

#include <QWidget>
#include <memory>

#include "app/display_widgets.h"
#include "gauges/image_list.h"
#include "gauges/weather_gauges.h"

namespace velmora {
class TGame;
}  // namespace velmora

namespace velmora::app {

class DriverListView;

// A fixed, always expanded panel with a header (picture and caption) over its body.
class CategoryPanel final : public QWidget {
 public:
  static constexpr int kHeaderHeight = 20;

  CategoryPanel(const QString& name, const QString& caption, const QString& picture, int height,
                QWidget* parent);
  QWidget* Body() const { return body_; }

 private:
  QWidget* body_;
};

// The side column `Panel3`: the driver list `Panel7` beside the weather column `pnl1` with its session,
// temperature and wetness panels. The main window docks the column and flips its switches; the column
// keeps its own parts in place.
class SideColumn final : public QWidget {
 public:
  static constexpr int kGridWidth = 209;
  static constexpr int kWeatherWidth = 200;
  static constexpr int kWidth = kGridWidth + kWeatherWidth;
  static constexpr int kHeight = 554;

  explicit SideColumn(QWidget* parent);
  ~SideColumn() override;

  // Binds the driver list, the weather values and the session to these widgets.
  void Bind(TGame& game);

  // The switches of the View menu. Each lays the column out again and sets its width to what is shown.
  void ShowPlayerGrid(bool shown);
  void ShowWeatherPanel(bool shown);
  // Checked: the driver list goes to the left of the weather column.
  void SwapWeatherPlayerGrid(bool swapped);

  QWidget* Panel7;
  QWidget* pnl1;
  DriverListView* DisplayPlayersView;
  CategoryPanel* CategoryPanel2;  // "Session"
  CategoryPanel* CategoryPanel1;  // "Temperature"
  CategoryPanel* grp_Humidity;    // "Wetness / Forecast"
  LabelWidget* lbl_SessionGTR;
  LabelWidget* lbl_TempsSession;
  gauges::TVelmoraTemperatureTrack* VelmoraTemperatureAir;
  gauges::TVelmoraTemperatureTrack* VelmoraTemperatureTrack;
  gauges::TVelmoraHumiditySector* VelmoraHumiditySector1;
  gauges::TVelmoraHumiditySector* VelmoraHumiditySector2;
  gauges::TVelmoraHumiditySector* VelmoraHumiditySector3;
  QWidget* Panel10;
  gauges::TVelmoraForecast* VelmoraForecast1;

 private:
  void Arrange();

  std::unique_ptr<gauges::ImageList> ImageList2;  // trend arrows, 16 x 16
  std::unique_ptr<gauges::ImageList> ImageList3;  // forecast pictures, 48 x 48
  bool swapped_ = false;
};

}  // namespace velmora::app

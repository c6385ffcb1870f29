// The side column as a person sees it next to a running velmora-sim: the field in position order with the
// stand-in's names and pit markers, the last column switching between best laps and gaps, and the weather
// gauges following the stand-in's temperatures, wetness and forecast.
#include "app/side_column.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QThread>
#include <cstdlib>
#include <functional>
#include <map>
#include <string>

#include <gtest/gtest.h>

#include "app/display_players_view.h"
#include "app/main_window.h"
#include "platform/window_finder.h"
#include "running_sim.h"
#include "within.h"
#include "x11_test_window.h"

namespace velmora::app {
namespace {

using gauges::TArrowIndicator;

using test::Within;

// The smallest rectangle within `area` holding every pixel that is not the list's black.
QRect Ink(const QImage& image, const QRect& area) {
  QRect ink;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) {
      if ((image.pixel(x, y) & 0xFFFFFF) != 0) {
        ink |= QRect(x, y, 1, 1);
      }
    }
  }
  return ink;
}

class SideColumnTest : public test::X11DisplayTest {
 protected:
  template <typename Widget>
  Widget* Find(QWidget& window, const char* name) {
    auto* widget = window.findChild<Widget*>(QString::fromLatin1(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
  }

  static void Tell(test::RunningSim& sim, const std::string& command) {
    ASSERT_EQ(sim.Ask(command), "ok") << command;
  }
};

TEST_F(SideColumnTest, ShowsTheFieldAndTheWeatherOfTheStandIn) {
  test::RunningSim sim({"--drivers", "20"});
  Tell(sim, "pause");
  // The order the stand-in has now, by slot.
  std::map<int, int> slot_at_position;
  std::map<int, std::string> names;
  for (int slot = 0; slot < 20; ++slot) {
    const std::string at = "@" + std::to_string(slot);
    slot_at_position[std::stoi(sim.Ask("get FPosition" + at))] = slot;
    names[slot] = sim.Ask("get FNomPilote" + at);
  }
  ASSERT_EQ(slot_at_position.size(), 20U);
  const int leader = slot_at_position[1];
  const int second = slot_at_position[2];
  // Every car has moved off its grid spot, so every one is listed; the second car sits in the pits.
  for (int slot = 0; slot < 20; ++slot) {
    Tell(sim, "set FDistance@" + std::to_string(slot) + " " + std::to_string(5000 - 100 * slot));
  }
  Tell(sim, "set FInPIT@" + std::to_string(second) + " 1");
  Tell(sim, "set FTemps.MeilleurTour@" + std::to_string(leader) + " 91.5");
  Tell(sim, "set FTemperatureAir 21.5");
  Tell(sim, "set FTemperaturePiste 30");
  Tell(sim, "set FHumidityRainfall 0.3");
  Tell(sim, "set FHumidityOnPath 0.55");
  Tell(sim, "set FHumidityOffPath 0");
  Tell(sim, "set FPrevisionMeteo 0.6");

  TForm1 window(platform::CreateWindowFinder());
  window.show();
  window.activateWindow();
  auto* list = Find<DriverListView>(window, "DisplayPlayersView");
  ASSERT_TRUE(Within(8000, [&] { return list->RowShown(19); }));
  for (int position = 1; position <= 20; ++position) {
    const int row = position - 1;
    EXPECT_TRUE(list->RowShown(row));
    EXPECT_EQ(list->Text(row, 0), QString::number(position));
    EXPECT_EQ(list->Text(row, 1).toStdString(), names[slot_at_position[position]]) << position;
  }
  EXPECT_FALSE(list->RowShown(20));
  EXPECT_EQ(list->RowPicture(1), 0);  // stop sign
  EXPECT_EQ(list->RowPicture(0), 1);
  EXPECT_EQ(list->Text(0, 2), "1:31.500");
  EXPECT_EQ(list->Text(2, 2), "");  // no lap yet

  // The list draws its names itself: picture and name where the style's own drawing puts them.
  const QImage drawn = list->viewport()->grab().toImage();
  list->setItemDelegateForColumn(1, new QStyledItemDelegate(list));
  const QImage by_style = list->viewport()->grab().toImage();
  list->setItemDelegateForColumn(1, nullptr);
  const int picture_width =
      list->iconSize().width() + 2 * (list->style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 1);
  for (int row = 0; row < 20; ++row) {
    const QRect cell = list->visualRect(list->model()->index(row, 1));
    const QRect picture(cell.topLeft(), QSize(picture_width, cell.height()));
    const QRect name = cell.adjusted(picture_width, 0, 0, 0);
    EXPECT_EQ(drawn.copy(picture), by_style.copy(picture)) << row;
    const QRect ink = Ink(drawn, name);
    const QRect expected = Ink(by_style, name);
    ASSERT_FALSE(expected.isEmpty()) << row;
    for (const auto& [edge, expected_edge] : {std::pair{ink.left(), expected.left()},
                                              {ink.right(), expected.right()},
                                              {ink.top(), expected.top()},
                                              {ink.bottom(), expected.bottom()}}) {
      EXPECT_LE(std::abs(edge - expected_edge), 1) << row << ": " << list->Text(row, 1).toStdString();
    }
  }

  auto* air = Find<gauges::TVelmoraTemperatureTrack>(window, "VelmoraTemperatureAir");
  auto* track = Find<gauges::TVelmoraTemperatureTrack>(window, "VelmoraTemperatureTrack");
  auto* rainfall = Find<gauges::TVelmoraHumiditySector>(window, "VelmoraHumiditySector1");
  auto* on_path = Find<gauges::TVelmoraHumiditySector>(window, "VelmoraHumiditySector2");
  auto* off_path = Find<gauges::TVelmoraHumiditySector>(window, "VelmoraHumiditySector3");
  auto* forecast = Find<gauges::TVelmoraForecast>(window, "VelmoraForecast1");
  ASSERT_TRUE(Within(8000, [&] { return air->Gauge().CaptionValue() == "21.5\u00B0C"; }));
  EXPECT_EQ(track->Gauge().CaptionValue(), "30.0\u00B0C");
  EXPECT_EQ(rainfall->Gauge().CaptionValue(), "30%");
  EXPECT_EQ(on_path->Gauge().CaptionValue(), "55%");
  EXPECT_EQ(off_path->Gauge().CaptionValue(), "0%");
  EXPECT_EQ(forecast->Gauge().Value(), 0.6F);
  EXPECT_EQ(gauges::ForecastPicture(forecast->Gauge().Value()), 3);

  const QString shots = QStringLiteral(VELMORA_SCREENSHOT_DIR);
  QDir().mkpath(shots);
  EXPECT_TRUE(window.grab().save(shots + QStringLiteral("/side_column_test.png")));

  // The weather turns: the arrows follow at the gauges' own pace.
  Tell(sim, "set FHumidityRainfall 0.8");
  Tell(sim, "set FHumidityOnPath 0.2");
  Tell(sim, "set FTemperatureAir 19");
  EXPECT_TRUE(Within(8000, [&] {
    return rainfall->Gauge().Arrow() == TArrowIndicator::tiUp &&
           on_path->Gauge().Arrow() == TArrowIndicator::tiDown &&
           air->Gauge().Arrow() == TArrowIndicator::tiDown;
  }));
  EXPECT_EQ(rainfall->Gauge().CaptionValue(), "80%");
  EXPECT_EQ(air->Gauge().CaptionValue(), "19.0\u00B0C");

  // Every five seconds or so the last column turns to gaps, and back again.
  ASSERT_TRUE(Within(8000, [&] { return list->TimeTitle() == "Gap"; }));
  ASSERT_TRUE(Within(8000, [&] { return list->TimeTitle() == "Time"; }));
  EXPECT_EQ(list->Text(0, 2), "1:31.500");
}

TEST_F(SideColumnTest, SwitchesLayTheColumnOutAgain) {
  SideColumn column(nullptr);
  EXPECT_EQ(column.width(), 409);
  EXPECT_EQ(column.pnl1->x(), 0);
  EXPECT_EQ(column.Panel7->x(), 200);
  column.SwapWeatherPlayerGrid(true);
  EXPECT_EQ(column.Panel7->x(), 0);
  EXPECT_EQ(column.pnl1->x(), 209);
  column.ShowPlayerGrid(false);
  EXPECT_EQ(column.width(), 200);
  EXPECT_EQ(column.pnl1->x(), 0);
  column.ShowWeatherPanel(false);
  EXPECT_EQ(column.width(), 0);
  column.ShowPlayerGrid(true);
  EXPECT_EQ(column.width(), 209);
  EXPECT_EQ(column.Panel7->x(), 0);
}

}  // namespace
}  // namespace velmora::app

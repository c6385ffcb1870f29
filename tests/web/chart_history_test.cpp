#include "web/chart_history.h"

#include <string>

#include <gtest/gtest.h>

namespace velmora::web {
namespace {

TGameData Car(double tread_k, double water_k) {
  TGameData car{};
  car.PneuAvantGaucheTempExterieure = tread_k - 3.0;
  car.PneuAvantGaucheTempMilieu = tread_k;
  car.PneuAvantGaucheTempInterieure = tread_k + 3.0;
  car.PneuArriereDroitTempMilieu = 300.0;
  car.Eau = water_k;
  car.Huille = water_k + 10.0;
  return car;
}

// One point a period, on a fixed beat, whatever the pace of the polls that bring the records.
TEST(ChartHistoryTest, APointEachPeriodWithTheMeanTreadOfEachWheel) {
  ChartHistory history(1.0);
  ViewState state;
  struct Poll {
    double time_s;
    std::size_t points_after;
  };
  for (const Poll& poll : {Poll{0.0, 1}, Poll{0.1, 1}, Poll{0.95, 1}, Poll{1.02, 2}, Poll{1.9, 2},
                           Poll{2.0, 3}, Poll{5.5, 4}, Poll{5.9, 4}, Poll{6.5, 5}}) {
    history.Add(poll.time_s, Car(350.0, 360.0), state);
    EXPECT_EQ(state.size(), poll.points_after) << poll.time_s << " s";
  }
  EXPECT_EQ(state.at("h0"), "[0.0,350.0,0.0,0.0,100.0,360.0,370.0]");
  EXPECT_EQ(state.at("h3"), "[5.5,350.0,0.0,0.0,100.0,360.0,370.0]");
}

// Hours of racing keep the same number of keys: the oldest slot takes the newest point.
TEST(ChartHistoryTest, TheHistoryStaysBoundedAndARestartedTimeLineStartsItAgain) {
  ChartHistory history(1.0);
  ViewState state;
  for (int second = 0; second < 3 * static_cast<int>(ChartHistory::kSlots) + 7; ++second) {
    history.Add(second, Car(340.0 + second % 10, 360.0), state);
  }
  EXPECT_EQ(state.size(), ChartHistory::kSlots);
  EXPECT_EQ(state.at("h6").rfind("[1806.0,", 0), 0U) << state.at("h6");
  EXPECT_EQ(state.at("h7").rfind("[1207.0,", 0), 0U) << state.at("h7");

  history.Add(0.0, Car(330.0, 350.0), state);
  EXPECT_EQ(state.at("h0").rfind("[0.0,330.0,", 0), 0U) << state.at("h0");
  EXPECT_EQ(state.at("h1"), "null") << "a point of the old time line is taken off the page";
  EXPECT_EQ(state.size(), ChartHistory::kSlots);
}

}  // namespace
}  // namespace velmora::web

#include "values/weather_values.h"

#include <cstdint>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "game/game.h"
#include "manual_clock.h"
#include "memory_fixture.h"
#include "platform/process_memory.h"
#include "recording_targets.h"

namespace velmora {
namespace {

constexpr std::uint32_t kBase = 0x5B200000;
constexpr std::uint32_t kWetness = kBase + 0x10;
constexpr std::uint32_t kAir = kBase + 0x20;
constexpr std::uint32_t kForecast = kBase + 0x30;

// The temperature gauge also learns the unit it formats in; it remembers the unit of every value.
class RecordingTemperatureGauge final : public TemperatureGaugeTarget {
 public:
  void SetMetrique(bool metric) override { metric_ = metric; }
  void SetValue(double value) override { shown_.emplace_back(value, metric_); }
  const std::vector<std::pair<double, bool>>& Shown() const { return shown_; }

 private:
  bool metric_ = false;
  std::vector<std::pair<double, bool>> shown_;
};

class WeatherValuesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    game.FProgramHandleProcess = platform::OpenProcessMemory(fixture.Pid());
    fixture.Put<float>(kWetness, 0.25F);
    fixture.Put<float>(kAir, 21.5F);
    fixture.Put<float>(kForecast, 0.75F);
  }
  std::uint64_t SystemCalls() const { return game.FProgramHandleProcess->SystemCalls(); }

  test::ManualClock clock{0};
  TGame game{nullptr, clock};
  test::MemoryFixture fixture{kBase, 4096};
};

TEST_F(WeatherValuesTest, RefreshesOnlyWhenMoreThanThePeriodHasPassed) {
  struct Case {
    std::uint32_t timer;
    std::uint32_t now;
    bool refreshes;
  };
  const std::vector<Case> cases{
      {1000, 1001, false},
      {1000, 6000, false},  // exactly the period
      {1000, 6001, true},
      {1000, 900, true},                 // a tick count behind the timer is a wrap: far more than the period
      {0xFFFFFFFFU - 999, 4500, true},   // 5500 across the wrap
      {0xFFFFFFFFU - 999, 4000, false},  // 5000 across the wrap
  };
  RecordingTemperatureGauge gauge;
  TTemperatureValueSingle& air = game.FTemperatureAir;
  air.FEtiquette = &gauge;
  air.Affectation(kAir, true);
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.timer << " -> " << c.now);
    air.FTimer = c.timer;
    air.FValue = -1.0F;
    clock.Set(c.now);
    const auto shown = gauge.Shown().size();
    const auto calls = SystemCalls();
    air.ReadAndDisplay(game);
    EXPECT_EQ(gauge.Shown().size(), shown + (c.refreshes ? 1 : 0));
    EXPECT_EQ(SystemCalls() - calls, c.refreshes ? 1U : 0U);
    EXPECT_EQ(air.FTimer, c.refreshes ? c.now : c.timer);
    EXPECT_EQ(air.FValue, c.refreshes ? 21.5F : -1.0F);
  }
}

TEST_F(WeatherValuesTest, FirstReadIsImmediateThenOncePerPeriod) {
  test::RecordingWeatherGauge gauge;
  THumidityValueSingle& wet = game.FHumidityOnPath;
  wet.FEtiquette = &gauge;
  wet.Affectation(kWetness, true);
  clock.Set(3000001);
  wet.ReadAndDisplay(game);
  EXPECT_EQ(gauge.Values(), std::vector<double>{0.25});

  // Faster cycles change nothing until the period has passed.
  fixture.Put<float>(kWetness, 0.5F);
  for (const std::uint32_t step : {250U, 1000U, 1750U}) {
    clock.Set(3000001 + step);
    wet.ReadAndDisplay(game);
  }
  EXPECT_EQ(wet.FValue, 0.25F);
  clock.Set(3000001 + 3001);
  wet.ReadAndDisplay(game);
  EXPECT_EQ(gauge.Values(), (std::vector<double>{0.25, 0.5}));
}

TEST_F(WeatherValuesTest, ClientValuesInsideThePeriodAreDropped) {
  test::RecordingWeatherGauge gauge;
  TMeteoValueSingle& forecast = game.FPrevisionMeteo;
  forecast.FEtiquette = &gauge;
  clock.Set(10000);
  forecast.WriteAndDisplayClient(game, 0.2F);
  clock.Set(11000);
  forecast.WriteAndDisplayClient(game, 0.9F);  // one second later: dropped, not kept
  EXPECT_EQ(forecast.FValue, 0.2F);
  clock.Set(15001);
  forecast.WriteAndDisplayClient(game, 0.4F);
  EXPECT_EQ(forecast.FValue, 0.4F);
  EXPECT_EQ(gauge.Values(), (std::vector<double>{0.2F, 0.4F}));
}

TEST_F(WeatherValuesTest, InactiveValueNeverReadsButReceivedValuesShow) {
  test::RecordingWeatherGauge gauge;
  THumidityValueSingle& rain = game.FHumidityRainfall;
  rain.FEtiquette = &gauge;
  rain.Affectation(kWetness, false);
  const auto calls = SystemCalls();
  for (std::uint32_t now = 100000; now < 130000; now += 3500) {
    clock.Set(now);
    rain.ReadAndDisplay(game);
  }
  EXPECT_EQ(SystemCalls(), calls);
  EXPECT_TRUE(gauge.Values().empty());
  EXPECT_EQ(rain.FTimer, 0U);

  clock.Set(126000);
  rain.WriteAndDisplayClient(game, 0.6F);
  EXPECT_EQ(gauge.Values(), std::vector<double>{0.6F});
  EXPECT_EQ(rain.FTimer, 126000U);
}

TEST_F(WeatherValuesTest, TemperatureGaugeLearnsTheUnitAtEachRefreshOnly) {
  RecordingTemperatureGauge gauge;
  TTemperatureValueSingle& track = game.FTemperaturePiste;
  track.FEtiquette = &gauge;
  track.Affectation(kAir, true);
  game.FMetrique = true;
  clock.Set(20000);
  track.ReadAndDisplay(game);
  game.FMetrique = false;  // the user switches units
  clock.Set(22000);
  track.ReadAndDisplay(game);
  clock.Set(25001);
  track.ReadAndDisplay(game);
  const std::vector<std::pair<double, bool>> expected{{21.5, true}, {21.5, false}};
  EXPECT_EQ(gauge.Shown(), expected);
}

TEST_F(WeatherValuesTest, AffectationClearsTheValueButKeepsTimerAndGauge) {
  test::RecordingWeatherGauge gauge;
  THumidityValueSingle& off = game.FHumidityOffPath;
  off.FEtiquette = &gauge;
  off.Affectation(kWetness, true);
  clock.Set(50000);
  off.ReadAndDisplay(game);
  off.Affectation(kWetness, true);
  EXPECT_EQ(off.FValue, 0.0F);
  EXPECT_EQ(off.FTimer, 50000U);
  EXPECT_EQ(gauge.Values(), std::vector<double>{0.25});
  // The server reads without the period test.
  EXPECT_EQ(off.Read(game), 0.25F);
}

TEST_F(WeatherValuesTest, ReducedCycleRefreshesTheWeather) {
  test::RecordingWeatherGauge wet;
  test::RecordingWeatherGauge forecast;
  RecordingTemperatureGauge air;
  game.FHumidityOnPath.FEtiquette = &wet;
  game.FPrevisionMeteo.FEtiquette = &forecast;
  game.FTemperatureAir.FEtiquette = &air;
  game.FHumidityOnPath.Affectation(kWetness, true);
  game.FPrevisionMeteo.Affectation(kForecast, true);
  game.FTemperatureAir.Affectation(kAir, true);
  clock.Set(90000);
  game.ReadAndDisplayNoCockpit();
  EXPECT_EQ(wet.Values(), std::vector<double>{0.25});
  EXPECT_EQ(forecast.Values(), std::vector<double>{0.75});
  ASSERT_EQ(air.Shown().size(), 1U);
  EXPECT_EQ(air.Shown()[0].first, 21.5);
}

}  // namespace
}  // namespace velmora

#include "values/tyre_values.h"

#include <array>
#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "game/game.h"
#include "manual_clock.h"
#include "memory_fixture.h"
#include "platform/process_memory.h"
#include "recording_targets.h"

namespace velmora {
namespace {

constexpr std::uint32_t kBase = 0x5B100000;

constexpr Rgb kBlue{0, 128, 255};
constexpr Rgb kGreen{0, 255, 128};
constexpr Rgb kRed{255, 64, 64};
constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kSpins{255, 128, 64};
constexpr Rgb kLocks{255, 0, 0};

struct PanelCase {
  double stored;
  bool metric;
  const char* text;
  Rgb color;
};

class TyreValuesTest : public ::testing::Test {
 protected:
  // Shows each case through the client path, which displays exactly as a read would.
  template <typename Value>
  void ExpectPanels(Value& value, const std::vector<PanelCase>& cases) {
    test::RecordingPanel panel;
    value.FPanel = &panel;
    for (const auto& c : cases) {
      SCOPED_TRACE(testing::Message() << c.stored << (c.metric ? " metric" : " imperial"));
      game.FMetrique = c.metric;
      value.WriteAndDisplayClient(game, c.stored);
      EXPECT_EQ(panel.Text(), c.text);
      EXPECT_EQ(panel.Color(), c.color);
    }
    value.FPanel = nullptr;
  }

  test::ManualClock clock{100000};
  TGame game{nullptr, clock};
};

TEST_F(TyreValuesTest, TreadTemperatureRoundsHalvesToEven) {
  ExpectPanels(game.FPneuAvantGauche.FTempExterieure, {
                                                          {353.15, true, "80", kGreen},
                                                          {353.14, true, "80", kBlue},
                                                          {373.14, true, "100", kGreen},
                                                          {373.15, true, "100", kRed},
                                                          {353.5, true, "80", kGreen},   // 80.35
                                                          {354.0, true, "81", kGreen},   // 80.85
                                                          {529.65, true, "256", kRed},   // 256.5
                                                          {530.65, true, "258", kRed},   // 257.5
                                                          {373.15, false, "212", kRed},  // 211.99999999999997
                                                          {292.31666666666666, false, "66", kBlue},  // 66.5
                                                          {297.31666666666666, false, "76", kBlue},  // 75.5
                                                          {0.0, true, "-273", kBlue},
                                                          {0.0, false, "-460", kBlue},
                                                      });
}

TEST_F(TyreValuesTest, BrakeDiscTemperatureTruncatesTowardZero) {
  ExpectPanels(game.FPneuArriereDroit.FDisqueFrein, {
                                                        {374.0, true, "100", kBlue},   // 100.85
                                                        {273.0, true, "0", kBlue},     // -0.15
                                                        {374.0, false, "213", kBlue},  // 213.53
                                                        {0.0, true, "-273", kBlue},
                                                        {0.0, false, "-459", kBlue},
                                                        {573.14, true, "299", kBlue},
                                                        {573.15, true, "300", kGreen},
                                                        {873.14, true, "599", kGreen},
                                                        {873.15, true, "600", kRed},
                                                        {1200.0, false, "1700", kRed},  // 1700.33
                                                    });
}

TEST_F(TyreValuesTest, PressureTextAndBands) {
  ExpectPanels(game.FPneuAvantDroit.FPression,
               {
                   {30.0, true, "XXX", kRed},
                   {0.0, true, "XXX", kRed},
                   {29.999, false, "XXX", kRed},
                   {30.5, true, "30", kBlue},
                   {30.5, false, "4", kBlue},
                   {-5.0, true, "-5", kBlue},  // below a flat tyre: the bands apply
                   {179.99, true, "180", kBlue},
                   {180.0, true, "180", kGreen},
                   {180.5, true, "180", kGreen},  // half to even
                   {181.5, true, "182", kGreen},
                   {219.9, true, "220", kGreen},
                   {220.0, true, "220", kRed},
                   {200.0, false, "29", kGreen},  // 29.0075 psi
               });
}

TEST_F(TyreValuesTest, WearGaugeSpansTheLastFifthOfTheTread) {
  struct Case {
    double tread;
    int position;
  };
  const std::vector<Case> cases{
      {0.8, 0}, {0.8125, 6}, {0.9, 50}, {1.0, 100}, {1.1, 150}, {0.0, 0}, {-1.0, 0}, {0.85, 25},
  };
  test::RecordingGauge gauge;
  game.FPneuArriereGauche.FUsure.FGauge = &gauge;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.tread);
    game.FPneuArriereGauche.FUsure.WriteAndDisplayClient(game, c.tread);
    EXPECT_EQ(gauge.Position(), c.position);
  }
  // Unlike the pedals, the wear gauge is set on every display.
  const int changes = gauge.Changes();
  game.FPneuArriereGauche.FUsure.WriteAndDisplayClient(game, 0.85);
  EXPECT_EQ(gauge.Changes(), changes + 1);
}

TEST_F(TyreValuesTest, WheelSpinAndLockAgainstTheCarSpeed) {
  struct Case {
    float car_speed;
    double wheel_speed;
    Rgb color;
  };
  // Each row changes the colour, so that a panel left alone would show.
  const std::vector<Case> cases{
      {10.0F, 41.0, kSpins},                           // 12.3 m/s
      {10.0F, 40.0, kBlack},                           // 12 m/s: exactly 1.2 times the car
      {10.0F, 26.0, kLocks},                           // 7.8 m/s
      {10.0F, 26.6667, kBlack}, {10.0F, 0.0, kLocks},  // a wheel that stands still with the car moving
      {10.0F, -33.3, kBlack},                          // counts by its absolute value
      {10.0F, -41.0, kSpins},   {0.01F, 1000.0, kBlack}, {10.0F, 0.0, kLocks},  {0.01F, 0.0, kBlack},
      {10.0F, 41.0, kSpins},    {0.0F, 500.0, kBlack},   {10.0F, 26.0, kLocks}, {-5.0F, 500.0, kBlack},
  };
  TPneu& wheel = game.FPneuAvantGauche;
  test::RecordingPanel panel;
  wheel.FVitesse.FPanel = &panel;
  wheel.FRayon.WriteAndDisplayClient(game, 0.3);
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.car_speed << " m/s, wheel " << c.wheel_speed);
    game.FVitesse.WriteAndDisplayClient(game, c.car_speed);
    wheel.FVitesse.WriteAndDisplayClient(game, wheel, c.wheel_speed);
    EXPECT_EQ(panel.Color(), c.color);
    EXPECT_EQ(panel.TextWrites(), 0);  // background only
  }
}

// The limits are the real products of the car speed and the single-precision factors 1.2 and 0.8, not
// those products rounded to single precision.
TEST_F(TyreValuesTest, SpinAndLockLimitsAreExactProducts) {
  struct Case {
    float car_speed;
    double surface_speed;  // radius 1 m
    Rgb color;
  };
  const std::vector<Case> cases{
      {10.0F, 8.0, kLocks},   // 10 x 0.8F is 8.00000012
      {10.0F, 12.0, kBlack},  // 10 x 1.2F is 12.00000048
      {10.0F, 12.000001, kSpins},
      {10.000001F, static_cast<double>(12.0000019F), kSpins},  // above 12.0000016, the exact limit
      {10.000001F, static_cast<double>(12.000001F), kBlack},
  };
  TPneu& wheel = game.FPneuArriereDroit;
  test::RecordingPanel panel;
  wheel.FVitesse.FPanel = &panel;
  wheel.FRayon.WriteAndDisplayClient(game, 1.0);
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.car_speed << " m/s, surface " << c.surface_speed);
    panel.SetColor({1, 2, 3});
    game.FVitesse.WriteAndDisplayClient(game, c.car_speed);
    wheel.FVitesse.WriteAndDisplayClient(game, wheel, c.surface_speed);
    EXPECT_EQ(panel.Color(), c.color);
  }
}

TEST_F(TyreValuesTest, UnitSettingChangesTextsNeverColours) {
  test::RecordingPanel panel;
  TTemperaturePneuValue& tread = game.FPneuAvantGauche.FTempMilieu;
  tread.FPanel = &panel;
  tread.WriteAndDisplayClient(game, 380.0);
  game.FMetrique = true;
  tread.Display(game.FMetrique);
  EXPECT_EQ(panel.Text(), "107");
  EXPECT_EQ(panel.Color(), kRed);
  game.FMetrique = false;
  tread.Display(game.FMetrique);
  EXPECT_EQ(panel.Text(), "224");
  EXPECT_EQ(panel.Color(), kRed);
}

// The whole wheel cycle against a real process: every member reads its own datum, the radius of the same
// cycle drives the spin colour, and the debug label ends with the last wheel's surface speed.
class TyreCycleTest : public TyreValuesTest {
 protected:
  struct Wheel {
    TPneu* tyre;
    double wheel_speed;
    Rgb color;
  };

  static constexpr std::uint32_t kSpeed = kBase;
  static std::uint32_t WheelAddress(std::size_t index) { return kBase + 0x100 * (index + 1); }

  void SetUp() override {
    game.FProgramHandleProcess = platform::OpenProcessMemory(fixture.Pid());
    fixture.Put<float>(kSpeed, 10.0F);
    game.FVitesse.Affectation(kSpeed, true);
    game.UpdatePlayerAddresses();
    game.FDebugWheelSpeed = &debug;
    for (std::size_t i = 0; i < wheels.size(); ++i) {
      const std::uint32_t at = WheelAddress(i);
      TPneu& tyre = *wheels[i].tyre;
      fixture.Put<double>(at + 0x00, 353.15 + static_cast<double>(i));
      fixture.Put<double>(at + 0x08, 363.15);
      fixture.Put<double>(at + 0x10, 340.0);
      fixture.Put<double>(at + 0x18, 200.0);
      fixture.Put<double>(at + 0x20, 900.0);
      fixture.Put<double>(at + 0x28, 0.9);
      fixture.Put<double>(at + 0x30, 0.3);
      fixture.Put<double>(at + 0x38, wheels[i].wheel_speed);
      tyre.FTempExterieure.Affectation(at + 0x00, true);
      tyre.FTempMilieu.Affectation(at + 0x08, true);
      tyre.FTempInterieure.Affectation(at + 0x10, true);
      tyre.FPression.Affectation(at + 0x18, true);
      tyre.FDisqueFrein.Affectation(at + 0x20, true);
      tyre.FUsure.Affectation(at + 0x28, true);
      tyre.FRayon.Affectation(at + 0x30, true);
      tyre.FVitesse.Affectation(at + 0x38, true);
      tyre.FTempExterieure.FPanel = &panels[i][0];
      tyre.FTempMilieu.FPanel = &panels[i][1];
      tyre.FTempInterieure.FPanel = &panels[i][2];
      tyre.FPression.FPanel = &panels[i][3];
      tyre.FDisqueFrein.FPanel = &panels[i][4];
      tyre.FVitesse.FPanel = &panels[i][5];
      tyre.FUsure.FGauge = &gauges[i];
    }
    game.FMetrique = true;
  }

  test::MemoryFixture fixture{kBase, 4096};
  std::array<Wheel, 4> wheels{{
      {&game.FPneuAvantGauche, 26.0, kLocks},
      {&game.FPneuAvantDroit, 40.0, kBlack},
      {&game.FPneuArriereGauche, -33.3, kBlack},
      {&game.FPneuArriereDroit, 41.0, kSpins},
  }};
  std::array<std::array<test::RecordingPanel, 6>, 4> panels;
  std::array<test::RecordingGauge, 4> gauges;
  test::RecordingLabel debug;
};

TEST_F(TyreCycleTest, EveryMemberReadsAndShowsItsDatum) {
  game.ReadAndDisplay();
  for (std::size_t i = 0; i < wheels.size(); ++i) {
    SCOPED_TRACE(i);
    const TPneu& tyre = *wheels[i].tyre;
    EXPECT_EQ(tyre.FTempExterieure.FValue, 353.15 + static_cast<double>(i));
    EXPECT_EQ(tyre.FRayon.FValue, 0.3);
    EXPECT_EQ(tyre.FVitesse.FValue, wheels[i].wheel_speed);
    EXPECT_EQ(panels[i][1].Text(), "90");
    EXPECT_EQ(panels[i][2].Text(), "67");
    EXPECT_EQ(panels[i][2].Color(), kBlue);
    EXPECT_EQ(panels[i][3].Text(), "200");
    EXPECT_EQ(panels[i][4].Text(), "626");
    EXPECT_EQ(panels[i][4].Color(), kRed);
    EXPECT_EQ(gauges[i].Position(), 50);
    EXPECT_EQ(panels[i][5].Color(), wheels[i].color);
    EXPECT_EQ(panels[i][5].ColorWrites(), 1);
  }
  EXPECT_EQ(panels[0][0].Text(), "80");
  EXPECT_EQ(panels[3][0].Text(), "83");
  // Written once per wheel; the rear right one, 0.3 m times 41 rad/s in single precision, stays.
  EXPECT_EQ(debug.Writes(), 4);
  EXPECT_EQ(debug.Text(), "12.3000001907349");
}

TEST_F(TyreCycleTest, ACarAtRestLeavesTheDebugLabelAlone) {
  fixture.Put<float>(kSpeed, 0.01F);
  game.ReadAndDisplay();
  EXPECT_EQ(debug.Writes(), 0);
  for (std::size_t i = 0; i < wheels.size(); ++i) {
    EXPECT_EQ(panels[i][5].Color(), kBlack);
    EXPECT_EQ(panels[i][5].ColorWrites(), 1);
  }
}

TEST_F(TyreCycleTest, InactiveMembersKeepTheirWidgets) {
  game.ReadAndDisplay();
  TPneu& tyre = game.FPneuAvantGauche;
  tyre.FTempExterieure.FActive = false;
  tyre.FUsure.FActive = false;
  fixture.Put<double>(WheelAddress(0) + 0x00, 400.0);
  fixture.Put<double>(WheelAddress(0) + 0x28, 1.0);
  const int text_writes = panels[0][0].TextWrites();
  const int gauge_changes = gauges[0].Changes();
  game.ReadAndDisplay();
  EXPECT_EQ(tyre.FTempExterieure.FValue, 353.15);
  EXPECT_EQ(panels[0][0].TextWrites(), text_writes);
  EXPECT_EQ(gauges[0].Changes(), gauge_changes);
  EXPECT_EQ(gauges[0].Position(), 50);
}

}  // namespace
}  // namespace velmora

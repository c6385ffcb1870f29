#include "values/engine_values.h"

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

constexpr std::uint32_t kBase = 0x5B000000;

constexpr Rgb kBlue{0, 128, 255};
constexpr Rgb kGreen{0, 255, 128};
constexpr Rgb kRed{255, 64, 64};
constexpr Rgb kWearGreen{0, 255, 128};
constexpr Rgb kWearOrange{255, 128, 0};
constexpr Rgb kWearRed{255, 0, 0};

class EngineValuesTest : public ::testing::Test {
 protected:
  // Attaches the game to a real second process whose memory the test writes.
  void Attach() { game.FProgramHandleProcess = platform::OpenProcessMemory(fixture.Pid()); }
  std::uint64_t SystemCalls() const { return game.FProgramHandleProcess->SystemCalls(); }

  test::ManualClock clock{100000};
  TGame game{nullptr, clock};
  test::MemoryFixture fixture{kBase, 4096};
};

// --- Liquid temperatures

TEST_F(EngineValuesTest, LiquidTemperatureTruncatesAndBandsByKelvin) {
  struct Case {
    double kelvin;
    bool metric;
    const char* text;
    Rgb color;
  };
  const std::vector<Case> cases{
      {363.15, true, "89", kGreen},  // lands a hair below 90 degrees and truncates
      {363.14, true, "89", kBlue},  {373.15, true, "99", kRed},  {374.0, true, "100", kRed},
      {373.15, false, "211", kRed}, {0.0, true, "-273", kBlue},  {0.0, false, "-459", kBlue},
      {373.14, true, "99", kGreen}, {300.0, false, "80", kBlue},
  };
  test::RecordingPanel panel;
  game.FEau.FPanel = &panel;
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.kelvin << (c.metric ? " metric" : " imperial"));
    game.FMetrique = c.metric;
    game.FEau.WriteAndDisplayClient(game, c.kelvin);
    EXPECT_EQ(game.FEau.FValue, c.kelvin);
    EXPECT_EQ(panel.Text(), c.text);
    EXPECT_EQ(panel.Color(), c.color);
  }
}

TEST_F(EngineValuesTest, LiquidTemperatureReadsTheDoubleAtItsAddress) {
  Attach();
  fixture.Put<double>(kBase + 0x40, 368.65);
  test::RecordingPanel panel;
  game.FHuille.FPanel = &panel;
  game.FHuille.Affectation(kBase + 0x40, true);
  game.FMetrique = true;
  game.FHuille.ReadAndDisplay(game);
  EXPECT_EQ(game.FHuille.FValue, 368.65);
  EXPECT_EQ(panel.Text(), "95");
  EXPECT_EQ(panel.Color(), kGreen);
}

// --- Engine wear

TEST_F(EngineValuesTest, EngineWearPercentageAndColour) {
  struct Case {
    double life;
    double reference;
    const char* text;
    Rgb color;
  };
  const std::vector<Case> cases{
      {50.0, 100.0, "50%", kWearGreen},  {49.5, 100.0, "50%", kWearGreen},  // half to even
      {48.5, 100.0, "48%", kWearOrange}, {25.0, 100.0, "25%", kWearOrange}, {24.5, 100.0, "24%", kWearRed},
      {87.0, 100.0, "87%", kWearGreen},  {50.0, 0.0, "0%", kWearRed},  // no reference
      {0.0, 0.0, "0%", kWearRed},                                      // both reads failed
      {1e300, 1e-300, "0%", kWearRed},   {1e20, 1.0, "0%", kWearRed},  // beyond any whole number
      {-10.0, 100.0, "-10%", kWearRed},
  };
  test::RecordingPanel panel;
  game.FUsureMoteur.FPanel = &panel;
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.life << " of " << c.reference);
    game.FUsureMoteur.WriteAndDisplayClient(game, c.life, c.reference);
    EXPECT_EQ(panel.Text(), c.text);
    EXPECT_EQ(panel.Color(), c.color);
  }
}

TEST_F(EngineValuesTest, EngineWearReadsLifeAndReferenceFromTwoAddresses) {
  Attach();
  fixture.Put<double>(kBase + 0x100, 3000.0);  // life left
  fixture.Put<double>(kBase + 0x180, 4000.0);  // life of a new engine
  test::RecordingPanel panel;
  TUsureMoteurValue& wear = game.FUsureMoteur;
  wear.FPanel = &panel;
  wear.FUsureReference = 123.0;
  wear.FValue = 9.0;
  wear.Affectation(kBase + 0x100, 0x80, true);
  EXPECT_EQ(wear.FAddress, kBase + 0x100);
  EXPECT_EQ(wear.FAddressUsureReference, kBase + 0x180);
  EXPECT_EQ(wear.FValue, 0.0);
  EXPECT_EQ(wear.FUsureReference, 123.0);  // an attach leaves the reference alone

  wear.ReadAndDisplay(game);
  EXPECT_EQ(wear.FValue, 3000.0);
  EXPECT_EQ(wear.FUsureReference, 4000.0);
  EXPECT_EQ(panel.Text(), "75%");
  EXPECT_EQ(panel.Color(), kWearGreen);
}

// --- Gear

TEST_F(EngineValuesTest, GearText) {
  struct Case {
    std::int16_t gear;
    const char* text;
  };
  const std::vector<Case> cases{{-1, "R"}, {0, "N"}, {3, "3"}, {-2, "-2"}, {1, "1"}, {7, "7"}};
  test::RecordingLabel label;
  game.FRapportVitesse.FEtiquette = &label;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.gear);
    game.FRapportVitesse.WriteAndDisplayClient(game, c.gear);
    EXPECT_EQ(label.Text(), c.text);
  }
  // The label is rewritten on every display, changed or not.
  const int writes = label.Writes();
  game.FRapportVitesse.WriteAndDisplayClient(game, 7);
  EXPECT_EQ(label.Writes(), writes + 1);
}

// --- Pedals

TEST_F(EngineValuesTest, PedalPositionRoundsHalvesToEvenAndSkipsUnchangedPositions) {
  struct Case {
    float travel;
    int position;
    int changes;  // gauge writes so far
  };
  const std::vector<Case> cases{
      {0.5F, 50, 1},    {0.125F, 12, 2}, {0.375F, 38, 3},
      {1.0F, 100, 4},   {1.0F, 100, 4},  // repeated value: the gauge is not touched
      {0.996F, 100, 4}, {0.0F, 0, 5},    {0.0F, 0, 5},
  };
  test::RecordingGauge gauge;
  game.FFreinage.FGauge = &gauge;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.travel);
    game.FFreinage.WriteAndDisplayClient(game, c.travel);
    EXPECT_EQ(gauge.Position(), c.position);
    EXPECT_EQ(gauge.Changes(), c.changes);
  }
}

// --- Lamps

struct LampStep {
  int value;
  int picture;
  int changes;
};

TEST_F(EngineValuesTest, TwoLevelLampsKnowOnlyZeroAndOne) {
  const std::vector<LampStep> steps{
      {1, 2, 1}, {1, 2, 1}, {2, 2, 1}, {255, 2, 1}, {0, 1, 2}, {0, 1, 2}, {2, 1, 2}, {1, 2, 3},
  };
  test::RecordingPicture clutch;
  test::RecordingPicture lights;
  test::RecordingPicture ignition;
  game.FEmbrayageLed.FLed = &clutch;
  game.FPhares.FLed = &lights;
  game.FContact.FLed = &ignition;
  for (const auto& step : steps) {
    SCOPED_TRACE(step.value);
    const auto byte = static_cast<std::uint8_t>(step.value);
    game.FEmbrayageLed.WriteAndDisplayClient(byte);
    game.FPhares.WriteAndDisplayClient(byte);
    game.FContact.WriteAndDisplayClient(byte);
    for (const auto* lamp : {&clutch, &lights, &ignition}) {
      EXPECT_EQ(lamp->Picture(), step.picture);
      EXPECT_EQ(lamp->Changes(), step.changes);
    }
    EXPECT_EQ(game.FContact.Value(), byte);
  }
}

TEST_F(EngineValuesTest, ThreeLevelLampsShowPictureOneForAnythingButOneAndTwo) {
  const std::vector<LampStep> steps{
      {1, 2, 1}, {2, 3, 2}, {2, 3, 2}, {0, 1, 3}, {3, 1, 3}, {-1, 1, 3}, {1, 2, 4}, {-1, 1, 5}, {300, 1, 5},
  };
  test::RecordingPicture abs;
  game.FABS.FLed = &abs;
  for (const auto& step : steps) {
    SCOPED_TRACE(step.value);
    game.FABS.WriteAndDisplayClient(game, static_cast<std::int16_t>(step.value));
    EXPECT_EQ(abs.Picture(), step.picture);
    EXPECT_EQ(abs.Changes(), step.changes);
  }
}

TEST_F(EngineValuesTest, EngineLampLightsAboveFifty) {
  struct Case {
    float rpm;
    int picture;
    int changes;
  };
  const std::vector<Case> cases{
      {50.0F, 1, 0}, {50.01F, 2, 1}, {6000.0F, 2, 1}, {50.0F, 1, 2}, {0.0F, 1, 2}, {-3.0F, 1, 2},
  };
  test::RecordingPicture engine;
  game.FMotorRPM.FLed = &engine;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.rpm);
    game.FMotorRPM.WriteAndDisplayClient(game, c.rpm);
    EXPECT_EQ(engine.Picture(), c.picture);
    EXPECT_EQ(engine.Changes(), c.changes);
  }
}

TEST_F(EngineValuesTest, LampsReadTheirOwnTypeFromMemory) {
  Attach();
  fixture.Put<std::int16_t>(kBase + 0x10, 2);
  fixture.Put<std::uint8_t>(kBase + 0x20, 1);
  fixture.Put<float>(kBase + 0x30, 4500.0F);
  test::RecordingPicture traction;
  test::RecordingPicture stability;
  test::RecordingPicture engine;
  game.FTraction.FLed = &traction;
  game.FStabilite.FLed = &stability;
  game.FMotorRPM.FLed = &engine;
  game.FTraction.Affectation(kBase + 0x10, true);
  game.FStabilite.Affectation(kBase + 0x20, true);
  game.FMotorRPM.Affectation(kBase + 0x30, true);
  game.UpdatePlayerAddresses();  // no slot known: the driven car is slot 0
  game.FTraction.ReadAndDisplay(game);
  game.FStabilite.ReadAndDisplay(game);
  game.FMotorRPM.ReadAndDisplay(game);
  EXPECT_EQ(traction.Picture(), 3);
  EXPECT_EQ(stability.Picture(), 2);
  EXPECT_EQ(engine.Picture(), 2);
}

// --- Cockpit flag

class CockpitTest : public EngineValuesTest {
 protected:
  static constexpr std::uint32_t kTrackLength = kBase + 0x10;
  static constexpr std::uint32_t kFuel = kBase + 0x18;
  static constexpr std::uint32_t kSlot = kBase + 0x20;
  static constexpr std::uint32_t kSpeedBase = kBase + 0x100;
  static constexpr std::uint32_t kRecord = 0x40;

  void SetUp() override {
    Attach();
    fixture.Put<float>(kTrackLength, 4012.5F);
    fixture.Put<double>(kFuel, 42.0);
    fixture.Put<std::uint8_t>(kSlot, 2);
    game.FLongueurCircuit.Affectation(kTrackLength, true);
    game.FFuel.Affectation(kFuel, true);
    game.FSlotJoueur.Affectation(kSlot, true);
    game.FVitesse.Affectation(kSpeedBase, true);
    game.FRecLongueur = kRecord;
    game.FMemoFuel.FValue = 7.0;

    game.FMotorRPM.FLed = &engine;
    game.FContact.FLed = &ignition;
    game.FPhares.FLed = &lights;
    game.FMotorRPM.FValue = 5000.0F;
    game.FContact.FValue = 1;
    game.FPhares.FValue = 1;
  }

  void ExpectLamps(int picture) {
    EXPECT_EQ(engine.Picture(), picture);
    EXPECT_EQ(ignition.Picture(), picture);
    EXPECT_EQ(lights.Picture(), picture);
  }

  void ExpectLampValuesKept() {
    EXPECT_EQ(game.FMotorRPM.FValue, 5000.0F);
    EXPECT_EQ(game.FContact.FValue, 1);
    EXPECT_EQ(game.FPhares.FValue, 1);
  }

  test::RecordingPicture engine{2};
  test::RecordingPicture ignition{2};
  test::RecordingPicture lights{2};
};

TEST_F(CockpitTest, EnteringTheCarStandAloneStartsTheReferencesAfresh) {
  const auto before = SystemCalls();
  game.FInCokpit.SetValue(1);
  // Track length, fuel and slot, each read once.
  EXPECT_EQ(SystemCalls() - before, 3U);
  EXPECT_EQ(game.FLongueurCircuit.FValue, 4012.5F);
  EXPECT_EQ(game.FFuel.FValue, 42.0);
  EXPECT_EQ(game.FMemoFuel.FValue, -1.0);
  EXPECT_EQ(game.FSlotJoueur.FValue, 2);
  EXPECT_EQ(game.FVitesse.FAddress, kSpeedBase + 2 * kRecord);
  ExpectLamps(2);  // untouched

  // Still in the car: nothing happens, whatever the memory says now.
  fixture.Put<double>(kFuel, 30.0);
  fixture.Put<float>(kTrackLength, 1.0F);
  const auto again = SystemCalls();
  game.FInCokpit.SetValue(1);
  EXPECT_EQ(SystemCalls(), again);
  EXPECT_EQ(game.FFuel.FValue, 42.0);
  EXPECT_EQ(game.FLongueurCircuit.FValue, 4012.5F);
  EXPECT_EQ(game.FMemoFuel.FValue, -1.0);
}

TEST_F(CockpitTest, LeavingTheCarResetsThreeLampsButNotTheirValues) {
  game.FInCokpit.SetValue(1);
  game.FInCokpit.SetValue(0);
  EXPECT_EQ(game.FInCokpit.Value(), 0);
  ExpectLamps(1);
  ExpectLampValuesKept();
}

TEST_F(CockpitTest, AnyOtherChangeAlsoResetsTheLamps) {
  game.FInCokpit.SetValue(2);
  ExpectLamps(1);
  EXPECT_EQ(game.FLongueurCircuit.FValue, 0.0F);
  EXPECT_EQ(game.FMemoFuel.FValue, 7.0);
}

TEST_F(CockpitTest, ServerRoleResetsTheLampsAndReadsNothing) {
  game.FNetwork.SetNetworkType(TNetworkType::ntServer);
  const auto before = SystemCalls();
  game.FInCokpit.SetValue(1);
  EXPECT_EQ(SystemCalls(), before);
  ExpectLamps(1);
  ExpectLampValuesKept();
  EXPECT_EQ(game.FLongueurCircuit.FValue, 0.0F);
  EXPECT_EQ(game.FFuel.FValue, 0.0);
  EXPECT_EQ(game.FMemoFuel.FValue, 7.0);
  EXPECT_EQ(game.FVitesse.FAddress, 0U);
}

TEST_F(CockpitTest, ReadFlagRunsTheEntryStepsThroughTheSetter) {
  fixture.Put<std::uint8_t>(kBase + 0x28, 1);
  game.FInCokpit.Affectation(kBase + 0x28, true);
  game.FInCokpit.ReadAndDisplay(game);
  EXPECT_EQ(game.FInCokpit.Value(), 1);
  EXPECT_EQ(game.FMemoFuel.FValue, -1.0);
  EXPECT_EQ(game.FFuel.FValue, 42.0);

  // An inactive flag reads nothing and keeps its value.
  fixture.Put<std::uint8_t>(kBase + 0x28, 0);
  game.FInCokpit.FActive = false;
  game.FInCokpit.ReadAndDisplay(game);
  EXPECT_EQ(game.FInCokpit.Value(), 1);
  ExpectLamps(2);
}

TEST_F(CockpitTest, WithoutAnActiveSlotThePlayerAddressesStay) {
  game.FSlotJoueur.FActive = false;
  const auto before = SystemCalls();
  game.FInCokpit.SetValue(1);
  EXPECT_EQ(SystemCalls() - before, 2U);  // track length and fuel only
  EXPECT_EQ(game.FVitesse.FAddress, 0U);
}

TEST_F(CockpitTest, ClientRoleWithNothingActiveStillDropsTheFuelReference) {
  TGame client(nullptr, clock);
  client.FNetwork.SetNetworkType(TNetworkType::ntClient);
  client.FMemoFuel.FValue = 12.0;
  client.FInCokpit.WriteAndDisplayClient(1);
  EXPECT_EQ(client.FInCokpit.Value(), 1);
  EXPECT_EQ(client.FMemoFuel.FValue, -1.0);
  EXPECT_EQ(client.FLongueurCircuit.FValue, 0.0F);
}

// The fuel setter: a rise (a refuel, or the first level read) becomes the lap's fuel reference.
TEST_F(EngineValuesTest, FuelLevelRiseBecomesTheLapReference) {
  struct Step {
    double level;
    double memo;
  };
  const std::vector<Step> steps{
      {40.0, 40.0},    // first level after start
      {37.5, 40.0},    // burning fuel keeps the reference
      {37.5, 40.0},    // unchanged
      {0.0, 40.0},     // a failed read
      {37.5, 37.5},    // back again: counts as a refuel
      {37.51, 37.51},  // any rise, however small
  };
  game.FMemoFuel.FValue = 0.0;
  for (const auto& step : steps) {
    SCOPED_TRACE(step.level);
    game.FFuel.WriteAndDisplayClient(game, step.level);
    EXPECT_EQ(game.FFuel.Value(), step.level);
    EXPECT_EQ(game.FMemoFuel.FValue, step.memo);
  }
  // A reference of -1 (just got into the car) stays until the level rises.
  game.FMemoFuel.FValue = -1.0;
  game.FFuel.WriteAndDisplayClient(game, 30.0);
  EXPECT_EQ(game.FMemoFuel.FValue, -1.0);
}

// --- Car speed

TEST_F(EngineValuesTest, MaximumSpeedFollowsTheHighestChange) {
  struct Step {
    float speed;
    float maximum;
  };
  const std::vector<Step> steps{
      {10.0F, 10.0F}, {25.0F, 25.0F}, {20.0F, 25.0F}, {25.0F, 25.0F}, {3.0F, 25.0F}};
  for (const auto& step : steps) {
    SCOPED_TRACE(step.speed);
    game.FVitesse.WriteAndDisplayClient(game, step.speed);
    EXPECT_EQ(game.FVitesse.Value(), step.speed);
    EXPECT_EQ(game.FVitesse.FVitesseMaxi, step.maximum);
  }
  // After the lap timing resets it, the next change starts it again.
  game.FVitesse.FVitesseMaxi = 0.0F;
  game.FVitesse.WriteAndDisplayClient(game, 4.0F);
  EXPECT_EQ(game.FVitesse.FVitesseMaxi, 4.0F);
}

TEST_F(EngineValuesTest, SpeedTextWhenALabelIsBound) {
  struct Case {
    float speed;
    bool metric;
    const char* text;
  };
  const std::vector<Case> cases{
      {10.0F, true, "36"}, {10.0F, false, "22.4"}, {34.2777F, true, "123.4"},
      {0.0F, true, "0"},   {-5.0F, true, "-18"},   {100.0F, false, "223.7"},
  };
  test::RecordingLabel label;
  game.FVitesse.FEtiquette = &label;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.speed);
    game.FMetrique = c.metric;
    game.FVitesse.WriteAndDisplayClient(game, c.speed);
    EXPECT_EQ(label.Text(), c.text);
  }
}

TEST_F(EngineValuesTest, SpeedWithoutALabelIsStoredOnly) {
  Attach();
  fixture.Put<float>(kBase + 0x200, 55.5F);
  game.FVitesse.Affectation(kBase + 0x200, true);
  game.UpdatePlayerAddresses();
  game.FVitesse.ReadAndDisplay(game);
  EXPECT_EQ(game.FVitesse.Value(), 55.5F);
  EXPECT_EQ(game.FVitesse.FVitesseMaxi, 55.5F);
}

// --- Store-only values, inactive values, Affectation

TEST_F(EngineValuesTest, StoreOnlyValuesReadAndShowNothing) {
  Attach();
  fixture.Put<float>(kBase + 0x10, 1234.5F);
  fixture.Put<float>(kBase + 0x14, 5200.0F);
  game.FDistance.Affectation(kBase + 0x10, true);
  game.FLongueurCircuit.Affectation(kBase + 0x14, true);
  game.UpdatePlayerAddresses();
  game.FDistance.ReadAndDisplay(game);
  game.FLongueurCircuit.ReadAndDisplay(game);
  EXPECT_EQ(game.FDistance.FValue, 1234.5F);
  EXPECT_EQ(game.FLongueurCircuit.FValue, 5200.0F);

  // A lamp with no widget (the pit-lane flag) is read and stored all the same.
  fixture.Put<std::uint8_t>(kBase + 0x18, 1);
  game.FInPIT.Affectation(kBase + 0x18, true);
  game.UpdatePlayerAddresses();
  game.FInPIT.ReadAndDisplay(game);
  EXPECT_EQ(game.FInPIT.FValue, 1);
}

TEST_F(EngineValuesTest, InactiveValuesReadNothingAndKeepTheirWidgets) {
  Attach();
  fixture.Put<double>(kBase + 0x10, 380.0);
  fixture.Put<std::int16_t>(kBase + 0x18, 1);
  fixture.Put<float>(kBase + 0x1C, 0.7F);
  test::RecordingPanel panel;
  test::RecordingPicture lamp;
  test::RecordingGauge gauge;
  game.FEau.FPanel = &panel;
  game.FABS.FLed = &lamp;
  game.FAcceleration.FGauge = &gauge;
  // What an earlier attach left on the widgets.
  game.FMetrique = true;
  game.FEau.WriteAndDisplayClient(game, 363.15);
  game.FABS.WriteAndDisplayClient(game, 2);
  game.FAcceleration.WriteAndDisplayClient(game, 0.25F);
  game.FEau.Affectation(kBase + 0x10, false);
  game.FABS.Affectation(kBase + 0x18, false);
  game.FAcceleration.Affectation(kBase + 0x1C, false);
  game.FEau.FValue = 363.15;

  const auto before = SystemCalls();
  const int text_writes = panel.TextWrites();
  game.FEau.ReadAndDisplay(game);
  game.FABS.ReadAndDisplay(game);
  game.FAcceleration.ReadAndDisplay(game);
  EXPECT_EQ(SystemCalls(), before);
  EXPECT_EQ(game.FEau.FValue, 363.15);
  EXPECT_EQ(game.FABS.FValue, 0);
  EXPECT_EQ(panel.TextWrites(), text_writes);
  EXPECT_EQ(panel.Text(), "89");
  EXPECT_EQ(lamp.Picture(), 3);
  EXPECT_EQ(gauge.Position(), 25);

  // Received values are shown whether or not the value is active.
  game.FEau.WriteAndDisplayClient(game, 380.0);
  EXPECT_EQ(panel.Text(), "106");
}

TEST_F(EngineValuesTest, AffectationClearsTheValueEvenAtTheSameAddress) {
  game.FEau.Affectation(kBase, true);
  game.FEau.FValue = 350.0;
  game.FEau.Affectation(kBase, true);
  EXPECT_EQ(game.FEau.FAddress, kBase);
  EXPECT_TRUE(game.FEau.FActive);
  EXPECT_EQ(game.FEau.FValue, 0.0);

  game.FRapportVitesse.FValue = 4;
  game.FRapportVitesse.Affectation(kBase + 2, false);
  EXPECT_EQ(game.FRapportVitesse.FValue, 0);
  EXPECT_FALSE(game.FRapportVitesse.FActive);
}

TEST_F(EngineValuesTest, PerDriverAffectationLeavesTheDerivedAddress) {
  TPhareValue& limiter = game.FLimiteur;
  limiter.FAddress = 0x1000;
  limiter.FValue = 1;
  limiter.Affectation(0x2000, true);
  EXPECT_EQ(limiter.FBaseAddress, 0x2000U);
  EXPECT_EQ(limiter.FAddress, 0x1000U);
  EXPECT_EQ(limiter.FValue, 0);
  EXPECT_TRUE(limiter.FActive);

  TVitesseValue& speed = game.FVitesse;
  speed.FAddress = 0x3000;
  speed.FValue = 20.0F;
  speed.FVitesseMaxi = 30.0F;
  speed.Affectation(0x4000, false);
  EXPECT_EQ(speed.FBaseAddress, 0x4000U);
  EXPECT_EQ(speed.FAddress, 0x3000U);
  EXPECT_EQ(speed.FValue, 0.0F);
  EXPECT_FALSE(speed.FActive);
}

TEST_F(EngineValuesTest, UnboundWidgetsAreSkipped) {
  game.FEau.WriteAndDisplayClient(game, 380.0);
  game.FUsureMoteur.WriteAndDisplayClient(game, 1.0, 0.0);
  game.FRapportVitesse.WriteAndDisplayClient(game, 3);
  game.FAcceleration.WriteAndDisplayClient(game, 0.5F);
  game.FABS.WriteAndDisplayClient(game, 1);
  game.FEmbrayageLed.WriteAndDisplayClient(1);
  game.FMotorRPM.WriteAndDisplayClient(game, 100.0F);
  game.FVitesse.WriteAndDisplayClient(game, 10.0F);
  game.FInCokpit.SetValue(3);  // lamp reset with no lamps bound
  EXPECT_EQ(game.FEau.FValue, 380.0);
  EXPECT_EQ(game.FRapportVitesse.FValue, 3);
}

}  // namespace
}  // namespace velmora

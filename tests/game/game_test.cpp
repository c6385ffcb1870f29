#include "game/game.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "manual_clock.h"
#include "memory_fixture.h"
#include "platform/process_memory.h"
#include "recording_targets.h"

namespace velmora {
namespace {

// Above 0x68000000: Wine keeps the low memory below it reserved for itself, and reserved memory reads as
// zeros from outside, where some of these tests need reads that fail.
constexpr std::uint32_t kBase = 0x72300000;

std::uint32_t PageSize() {
  return static_cast<std::uint32_t>(test::PageSize());
}

class GameTest : public ::testing::Test {
 protected:
  static void Attach(TGame& target, test::MemoryFixture& memory) {
    target.FProgramHandleProcess = platform::OpenProcessMemory(memory.Pid());
    ASSERT_NE(target.FProgramHandleProcess, nullptr);
  }
  static std::uint64_t SystemCalls(const TGame& target) {
    return target.FProgramHandleProcess->SystemCalls();
  }

  test::ManualClock clock{1000000};
  TGame game{nullptr, clock};
};

// --- Raw reads

TEST_F(GameTest, RawReadsDecodeEachTypeLittleEndian) {
  test::MemoryFixture fixture(kBase, PageSize());
  Attach(game, fixture);
  const std::vector<std::uint8_t> bytes{0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08};
  std::copy(bytes.begin(), bytes.end(), reinterpret_cast<std::uint8_t*>(fixture.Bytes()));
  fixture.Put<std::int16_t>(kBase + 0x11, -2);  // unaligned on purpose
  fixture.Put<std::int32_t>(kBase + 0x15, -123456);
  fixture.Put<float>(kBase + 0x20, 1.5F);
  fixture.Put<double>(kBase + 0x28, 353.15);

  EXPECT_EQ(game.ReadByteValue(kBase), 0x01);
  EXPECT_EQ(game.ReadSmallIntValue(kBase), 0x0201);
  EXPECT_EQ(game.ReadIntegerValue(kBase), 0x04030201);
  EXPECT_EQ(game.ReadSmallIntValue(kBase + 0x11), -2);
  EXPECT_EQ(game.ReadIntegerValue(kBase + 0x15), -123456);
  EXPECT_EQ(game.ReadSingleValue(kBase + 0x20), 1.5F);
  EXPECT_EQ(game.ReadDoubleValue(kBase + 0x28), 353.15);

  // Every raw read is one system call, and nothing is cached.
  const auto before = SystemCalls(game);
  fixture.Put<double>(kBase + 0x28, 290.0);
  EXPECT_EQ(game.ReadDoubleValue(kBase + 0x28), 290.0);
  EXPECT_EQ(SystemCalls(game) - before, 1U);
}

TEST_F(GameTest, FailedRawReadsGiveZero) {
  const std::uint32_t page = PageSize();
  test::MemoryFixture fixture(kBase, page);
  for (std::uint32_t at = kBase; at < kBase + 16; ++at) {
    fixture.Put<std::uint8_t>(at, 0xFF);
  }
  fixture.Put<std::uint32_t>(kBase + page - 4, 0xFFFFFFFFU);

  // No process attached yet.
  EXPECT_EQ(game.ReadByteValue(kBase), 0);
  EXPECT_EQ(game.ReadDoubleValue(kBase), 0.0);
  EXPECT_EQ(game.ReadStringValue(kBase), "");

  Attach(game, fixture);
  struct Case {
    const char* what;
    std::uint32_t address;
  };
  const std::vector<Case> cases{
      {"address 0", 0},
      {"past the mapping", kBase + page},
      {"running past the mapping", kBase + page - 1},
      {"below the mapping", kBase - 8},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(game.ReadSmallIntValue(c.address), 0);
    EXPECT_EQ(game.ReadIntegerValue(c.address), 0);
    EXPECT_EQ(game.ReadSingleValue(c.address), 0.0F);
    EXPECT_EQ(game.ReadDoubleValue(c.address), 0.0);
  }
  EXPECT_EQ(game.ReadByteValue(0), 0);
  EXPECT_EQ(game.ReadByteValue(kBase + page), 0);

  // A simulator that has just exited.
  EXPECT_EQ(game.ReadByteValue(kBase), 0xFF);
  fixture.Stop();
  EXPECT_EQ(game.ReadByteValue(kBase), 0);
  EXPECT_EQ(game.ReadDoubleValue(kBase), 0.0);
}

TEST_F(GameTest, ReadStringValueRunsToTheFirstZeroByte) {
  const std::uint32_t page = PageSize();
  test::MemoryFixture fixture(kBase, page);
  Attach(game, fixture);
  struct Case {
    const char* what;
    std::string bytes;  // written with its terminating zero
    std::string text;
  };
  const std::vector<Case> cases{
      {"plain", "Abc", "Abc"},
      {"empty", "", ""},
      {"bytes above 127 are Latin-1", "L\xE9o \x80\xFF", "L\xC3\xA9o \xC2\x80\xC3\xBF"},
      {"long name", std::string(200, 'n'), std::string(200, 'n')},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    fixture.PutText(kBase + 0x100, c.bytes);
    EXPECT_EQ(game.ReadStringValue(kBase + 0x100), c.text);
  }

  // One read per character and one for the zero byte.
  fixture.PutText(kBase + 0x10, "Abc");
  const auto before = SystemCalls(game);
  EXPECT_EQ(game.ReadStringValue(kBase + 0x10), "Abc");
  EXPECT_EQ(SystemCalls(game) - before, 4U);
}

TEST_F(GameTest, ReadStringValueEndsAtUnreadableMemoryAndAtTheBound) {
  const std::uint32_t page = PageSize();
  test::MemoryFixture fixture(kBase, page);
  Attach(game, fixture);
  EXPECT_EQ(game.ReadStringValue(0), "");
  EXPECT_EQ(game.ReadStringValue(kBase + page), "");

  // A text that runs to the end of the readable memory ends there.
  fixture.Put<char>(kBase + page - 2, 'o');
  fixture.Put<char>(kBase + page - 1, 'k');
  EXPECT_EQ(game.ReadStringValue(kBase + page - 2), "ok");

  // A text that never ends is cut at the bound.
  std::fill(fixture.Bytes(), fixture.Bytes() + 1000, std::byte{'x'});
  EXPECT_EQ(game.ReadStringValue(kBase), std::string(TGame::kMaxStringLength, 'x'));
}

// --- Units and the player's addresses

TEST_F(GameTest, ConvertSpeedToTheDisplayUnit) {
  game.FMetrique = true;
  EXPECT_DOUBLE_EQ(game.ConvertSpeed(10.0), 36.0);
  EXPECT_DOUBLE_EQ(game.ConvertSpeed(0.0), 0.0);
  game.FMetrique = false;
  EXPECT_DOUBLE_EQ(game.ConvertSpeed(10.0), 22.3693629205);
  EXPECT_DOUBLE_EQ(game.ConvertSpeed(-1.0), -2.23693629205);
}

class PlayerAddressesTest : public GameTest {
 protected:
  // Each per-driver member gets its own base, so that a mix-up between members shows.
  void AssignBases(std::uint32_t base) {
    game.FPhares.Affectation(base + 0, true);
    game.FLimiteur.Affectation(base + 4, true);
    game.FTemps.Affectation(base + 8, 0, 0, 0, 0, 0, true);
    game.FNombreTour.Affectation(base + 12, true);
    game.FNomVoiture.Affectation(base + 16, true);
    game.FSecteur.Affectation(base + 20, true);
    game.FMotorRPM.Affectation(base + 24, true);
    game.FInPIT.Affectation(base + 28, true);
    game.FPitIn.Affectation(base + 32, true);
    game.FDistance.Affectation(base + 36, true);
    game.FVitesse.Affectation(base + 40, true);
    game.FPosition.Affectation(base + 44, true);
    game.FNomPilote.Affectation(base + 48, true);
  }

  std::vector<std::uint32_t> Addresses() const {
    return {game.FPhares.FAddress,     game.FLimiteur.FAddress,   game.FTemps.FAddress,
            game.FNombreTour.FAddress, game.FNomVoiture.FAddress, game.FSecteur.FAddress,
            game.FMotorRPM.FAddress,   game.FInPIT.FAddress,      game.FPitIn.FAddress,
            game.FDistance.FAddress,   game.FVitesse.FAddress};
  }

  static std::vector<std::uint32_t> Expected(std::uint32_t record) {
    std::vector<std::uint32_t> expected;
    for (std::uint32_t k = 0; k < 11; ++k) {
      expected.push_back(record + 4 * k);
    }
    return expected;
  }
};

TEST_F(PlayerAddressesTest, FollowTheSlotOfThePlayersCar) {
  test::MemoryFixture fixture(kBase, PageSize());
  Attach(game, fixture);
  game.FSlotJoueur.Affectation(kBase + 0x40, true);
  game.FRecLongueur = 33664;
  struct Case {
    std::uint8_t slot;
    std::uint32_t base;
    std::uint32_t record;  // where the player's record begins
  };
  const std::vector<Case> cases{
      {3, 0xA1A054, 0xA1A054 + 3 * 33664},
      {0, 0xA1A054, 0xA1A054},
      {255, 0xA1A054, 0xA1A054 + 255 * 33664},
      {255, 0xFFFF0000U, 0xFFFF0000U + 255U * 33664U},  // wraps like the simulator's own addresses
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.slot));
    fixture.Put<std::uint8_t>(kBase + 0x40, c.slot);
    AssignBases(c.base);
    game.UpdatePlayerAddresses();
    EXPECT_EQ(game.FSlotJoueur.FValue, c.slot);
    EXPECT_EQ(Addresses(), Expected(c.record));
    // The driver list reads these two through their base address only.
    EXPECT_EQ(game.FPosition.FAddress, 0U);
    EXPECT_EQ(game.FNomPilote.FAddress, 0U);
  }
}

TEST_F(PlayerAddressesTest, AnInactiveSlotKeepsItsLastValue) {
  game.FRecLongueur = 100;
  game.FSlotJoueur.FValue = 2;
  AssignBases(0x1000);
  game.UpdatePlayerAddresses();
  EXPECT_EQ(Addresses(), Expected(0x1000 + 200));
}

// --- The read cycles

// Lays out one datum for every member of the full cycle and binds a widget to each displayed one.
class CycleTest : public GameTest {
 protected:
  struct Widgets {
    std::vector<test::RecordingPanel> panels = std::vector<test::RecordingPanel>(30);
    std::vector<test::RecordingPicture> pictures = std::vector<test::RecordingPicture>(10);
    std::vector<test::RecordingGauge> gauges = std::vector<test::RecordingGauge>(10);
    std::vector<test::RecordingWeatherGauge> weather = std::vector<test::RecordingWeatherGauge>(4);
    test::RecordingLabel gear;
  };

  static void Lay(test::MemoryFixture& fixture, std::uint32_t base) {
    for (std::uint32_t wheel = 0; wheel < 4; ++wheel) {
      const std::uint32_t at = base + 0x40 * wheel;
      fixture.Put<double>(at + 0x00, 350.0 + wheel);
      fixture.Put<double>(at + 0x08, 360.0 + wheel);
      fixture.Put<double>(at + 0x10, 370.0 + wheel);
      fixture.Put<double>(at + 0x18, 190.0 + wheel);
      fixture.Put<double>(at + 0x20, 700.0 + wheel);
      fixture.Put<double>(at + 0x28, 0.95 - 0.01 * wheel);
      fixture.Put<double>(at + 0x30, 0.3);
      fixture.Put<double>(at + 0x38, 30.0 + 10.0 * wheel);
    }
    const std::uint32_t at = base + 0x200;
    fixture.Put<float>(at + 0x00, 35.0F);     // car speed
    fixture.Put<double>(at + 0x08, 2500.0);   // engine life
    fixture.Put<double>(at + 0x10, 5000.0);   // engine reference
    fixture.Put<double>(at + 0x18, 365.0);    // water
    fixture.Put<double>(at + 0x20, 380.0);    // oil
    fixture.Put<std::int16_t>(at + 0x28, 1);  // traction
    fixture.Put<std::int16_t>(at + 0x2A, 2);  // abs
    fixture.Put<std::uint8_t>(at + 0x2C, 1);  // stability
    fixture.Put<std::uint8_t>(at + 0x2D, 0);  // clutch aid
    fixture.Put<std::uint8_t>(at + 0x2E, 1);  // limiter
    fixture.Put<std::uint8_t>(at + 0x2F, 1);  // lights
    fixture.Put<double>(at + 0x30, 55.5);     // fuel
    fixture.Put<std::int16_t>(at + 0x38, 4);  // gear
    fixture.Put<std::int16_t>(at + 0x3A, 2);  // sector
    fixture.Put<float>(at + 0x3C, 24.0F);     // air
    fixture.Put<float>(at + 0x40, 31.0F);     // track
    fixture.Put<float>(at + 0x44, 0.75F);     // throttle
    fixture.Put<float>(at + 0x48, 0.125F);    // brake
    fixture.Put<float>(at + 0x4C, 0.0F);      // clutch
    fixture.Put<float>(at + 0x50, 7000.0F);   // engine speed
    fixture.Put<std::uint8_t>(at + 0x54, 0);  // in the pit lane
    fixture.Put<std::uint8_t>(at + 0x55, 1);  // pit-in lamp
    fixture.Put<std::uint8_t>(at + 0x56, 1);  // ignition
    fixture.Put<float>(at + 0x58, 1234.5F);   // distance
    fixture.Put<float>(at + 0x5C, 0.1F);      // rainfall
    fixture.Put<float>(at + 0x60, 0.2F);      // wet on the line
    fixture.Put<float>(at + 0x64, 0.3F);      // wet off the line
    fixture.Put<float>(at + 0x68, 0.4F);      // forecast
    fixture.Put<std::int16_t>(at + 0x6C, 7);  // laps
  }

  static void Assign(TGame& g, Widgets& w, std::uint32_t base) {
    TPneu* tyres[] = {&g.FPneuAvantGauche, &g.FPneuAvantDroit, &g.FPneuArriereGauche, &g.FPneuArriereDroit};
    for (std::uint32_t wheel = 0; wheel < 4; ++wheel) {
      TPneu& t = *tyres[wheel];
      const std::uint32_t at = base + 0x40 * wheel;
      t.FTempExterieure.Affectation(at + 0x00, true);
      t.FTempMilieu.Affectation(at + 0x08, true);
      t.FTempInterieure.Affectation(at + 0x10, true);
      t.FPression.Affectation(at + 0x18, true);
      t.FDisqueFrein.Affectation(at + 0x20, true);
      t.FUsure.Affectation(at + 0x28, true);
      t.FRayon.Affectation(at + 0x30, true);
      t.FVitesse.Affectation(at + 0x38, true);
      t.FTempExterieure.FPanel = &w.panels[6 * wheel + 0];
      t.FTempMilieu.FPanel = &w.panels[6 * wheel + 1];
      t.FTempInterieure.FPanel = &w.panels[6 * wheel + 2];
      t.FPression.FPanel = &w.panels[6 * wheel + 3];
      t.FDisqueFrein.FPanel = &w.panels[6 * wheel + 4];
      t.FVitesse.FPanel = &w.panels[6 * wheel + 5];
      t.FUsure.FGauge = &w.gauges[wheel];
    }
    const std::uint32_t at = base + 0x200;
    g.FVitesse.Affectation(at + 0x00, true);
    g.FUsureMoteur.Affectation(at + 0x08, 8, true);
    g.FEau.Affectation(at + 0x18, true);
    g.FHuille.Affectation(at + 0x20, true);
    g.FTraction.Affectation(at + 0x28, true);
    g.FABS.Affectation(at + 0x2A, true);
    g.FStabilite.Affectation(at + 0x2C, true);
    g.FEmbrayageLed.Affectation(at + 0x2D, true);
    g.FLimiteur.Affectation(at + 0x2E, true);
    g.FPhares.Affectation(at + 0x2F, true);
    g.FFuel.Affectation(at + 0x30, true);
    g.FRapportVitesse.Affectation(at + 0x38, true);
    g.FSecteur.Affectation(at + 0x3A, true);
    g.FTemperatureAir.Affectation(at + 0x3C, true);
    g.FTemperaturePiste.Affectation(at + 0x40, true);
    g.FAcceleration.Affectation(at + 0x44, true);
    g.FFreinage.Affectation(at + 0x48, true);
    g.FEmbrayage.Affectation(at + 0x4C, true);
    g.FMotorRPM.Affectation(at + 0x50, true);
    g.FInPIT.Affectation(at + 0x54, true);
    g.FPitIn.Affectation(at + 0x55, true);
    g.FContact.Affectation(at + 0x56, true);
    g.FDistance.Affectation(at + 0x58, true);
    g.FHumidityRainfall.Affectation(at + 0x5C, true);
    g.FHumidityOnPath.Affectation(at + 0x60, true);
    g.FHumidityOffPath.Affectation(at + 0x64, true);
    g.FPrevisionMeteo.Affectation(at + 0x68, true);
    g.FNombreTour.Affectation(at + 0x6C, true);
    g.UpdatePlayerAddresses();  // no slot: the player's car is slot 0

    g.FUsureMoteur.FPanel = &w.panels[24];
    g.FEau.FPanel = &w.panels[25];
    g.FHuille.FPanel = &w.panels[26];
    g.FRapportVitesse.FEtiquette = &w.gear;
    g.FTraction.FLed = &w.pictures[0];
    g.FABS.FLed = &w.pictures[1];
    g.FStabilite.FLed = &w.pictures[2];
    g.FEmbrayageLed.FLed = &w.pictures[3];
    g.FLimiteur.FLed = &w.pictures[4];
    g.FPhares.FLed = &w.pictures[5];
    g.FMotorRPM.FLed = &w.pictures[6];
    g.FPitIn.FLed = &w.pictures[7];
    g.FContact.FLed = &w.pictures[8];
    g.FAcceleration.FGauge = &w.gauges[4];
    g.FFreinage.FGauge = &w.gauges[5];
    g.FEmbrayage.FGauge = &w.gauges[6];
    g.FHumidityRainfall.FEtiquette = &w.weather[0];
    g.FHumidityOnPath.FEtiquette = &w.weather[1];
    g.FHumidityOffPath.FEtiquette = &w.weather[2];
    g.FPrevisionMeteo.FEtiquette = &w.weather[3];
  }

  // Everything a cycle leaves behind: the stored values and what the widgets show.
  static std::vector<std::string> State(const TGame& g, const Widgets& w) {
    std::vector<std::string> state;
    const TPneu* tyres[] = {&g.FPneuAvantGauche, &g.FPneuAvantDroit, &g.FPneuArriereGauche,
                            &g.FPneuArriereDroit};
    const auto add = [&state](auto value) { state.push_back(std::to_string(static_cast<double>(value))); };
    for (const TPneu* t : tyres) {
      add(t->FTempExterieure.FValue);
      add(t->FTempMilieu.FValue);
      add(t->FTempInterieure.FValue);
      add(t->FPression.FValue);
      add(t->FDisqueFrein.FValue);
      add(t->FUsure.FValue);
      add(t->FRayon.FValue);
      add(t->FVitesse.FValue);
    }
    add(g.FUsureMoteur.FUsureReference);
    add(g.FVitesse.FValue);
    add(g.FUsureMoteur.FValue);
    add(g.FEau.FValue);
    add(g.FHuille.FValue);
    add(g.FTraction.FValue);
    add(g.FABS.FValue);
    add(g.FStabilite.FValue);
    add(g.FEmbrayageLed.FValue);
    add(g.FLimiteur.FValue);
    add(g.FPhares.FValue);
    add(g.FFuel.FValue);
    add(g.FMemoFuel.FValue);
    add(g.FRapportVitesse.FValue);
    add(g.FSecteur.FValue);
    add(g.FTemperatureAir.FValue);
    add(g.FTemperaturePiste.FValue);
    add(g.FAcceleration.FValue);
    add(g.FFreinage.FValue);
    add(g.FEmbrayage.FValue);
    add(g.FMotorRPM.FValue);
    add(g.FInPIT.FValue);
    add(g.FPitIn.FValue);
    add(g.FContact.FValue);
    add(g.FDistance.FValue);
    add(g.FHumidityRainfall.FValue);
    add(g.FHumidityOnPath.FValue);
    add(g.FHumidityOffPath.FValue);
    add(g.FPrevisionMeteo.FValue);
    add(g.FNombreTour.FValue);
    for (const auto& panel : w.panels) {
      state.push_back(panel.Text());
      const Rgb c = panel.Color();
      state.push_back(std::to_string(c.red) + "," + std::to_string(c.green) + "," + std::to_string(c.blue));
    }
    for (const auto& picture : w.pictures) {
      state.push_back(std::to_string(picture.Picture()));
    }
    for (const auto& gauge : w.gauges) {
      state.push_back(std::to_string(gauge.Position()));
    }
    for (const auto& gauge : w.weather) {
      state.push_back(gauge.Values().empty() ? "-" : std::to_string(gauge.Values().back()));
    }
    state.push_back(w.gear.Text());
    return state;
  }
};

TEST_F(CycleTest, BatchedAndUnbatchedCyclesReadTheSameWithFewerSystemCalls) {
  test::MemoryFixture fixture(kBase, 2 * PageSize());
  Lay(fixture, kBase);
  Widgets batched_widgets;
  Widgets plain_widgets;
  TGame plain(nullptr, clock);
  Attach(game, fixture);
  Attach(plain, fixture);
  Assign(game, batched_widgets, kBase);
  Assign(plain, plain_widgets, kBase);
  plain.SetBatchedReads(false);
  game.FMetrique = true;
  plain.FMetrique = true;

  const auto batched_before = SystemCalls(game);
  const auto plain_before = SystemCalls(plain);
  game.ReadAndDisplay();
  plain.ReadAndDisplay();
  const auto batched_calls = SystemCalls(game) - batched_before;
  const auto plain_calls = SystemCalls(plain) - plain_before;

  EXPECT_EQ(State(game, batched_widgets), State(plain, plain_widgets));
  EXPECT_LE(batched_calls, 2U);
  // One call per datum, the engine wear's reference counted as its own datum.
  EXPECT_EQ(plain_calls, 4U * 8U + 29U);

  // A few of the results, to be sure the two agree on the right thing.
  EXPECT_EQ(game.FPneuArriereDroit.FVitesse.FValue, 60.0);
  EXPECT_EQ(batched_widgets.panels[24].Text(), "50%");
  EXPECT_EQ(batched_widgets.panels[25].Text(), "91");
  EXPECT_EQ(batched_widgets.gear.Text(), "4");
  EXPECT_EQ(batched_widgets.gauges[4].Position(), 75);
  EXPECT_EQ(batched_widgets.weather[3].Values(), std::vector<double>{0.4F});
  EXPECT_EQ(game.FNombreTour.FValue, 7);

  // The next cycle reads anew: nothing is kept from the last one.
  fixture.Put<std::int16_t>(kBase + 0x238, -1);
  game.ReadAndDisplay();
  EXPECT_EQ(batched_widgets.gear.Text(), "R");
}

TEST_F(CycleTest, ADatumInAnUnreadableBlockFailsAlone) {
  const std::uint32_t page = PageSize();
  test::MemoryFixture fixture(kBase, 3 * page, test::MemoryHole{page, page});
  Attach(game, fixture);
  test::RecordingPanel water;
  test::RecordingPanel oil;
  test::RecordingLabel gear;
  test::RecordingPicture abs;
  game.FEau.FPanel = &water;
  game.FHuille.FPanel = &oil;
  game.FRapportVitesse.FEtiquette = &gear;
  game.FABS.FLed = &abs;
  fixture.Put<double>(kBase + 0x10, 365.0);
  fixture.Put<std::int16_t>(kBase + 2 * page + 0x10, 2);
  game.FEau.Affectation(kBase + 0x10, true);
  game.FHuille.Affectation(kBase + page - 4, true);             // runs into the hole
  game.FRapportVitesse.Affectation(kBase + page + 0x10, true);  // inside it
  game.FABS.Affectation(kBase + 2 * page + 0x10, true);
  game.FRapportVitesse.FValue = 3;
  game.FHuille.FValue = 350.0;
  game.FMetrique = true;

  for (const bool batched : {true, false}) {
    SCOPED_TRACE(batched ? "batched" : "one call per datum");
    game.SetBatchedReads(batched);
    game.ReadAndDisplay();
    EXPECT_EQ(game.FEau.FValue, 365.0);
    EXPECT_EQ(water.Text(), "91");
    EXPECT_EQ(game.FHuille.FValue, 0.0);
    EXPECT_EQ(oil.Text(), "-273");
    EXPECT_EQ(game.FRapportVitesse.FValue, 0);
    EXPECT_EQ(gear.Text(), "N");
    EXPECT_EQ(game.FABS.FValue, 2);
    EXPECT_EQ(abs.Picture(), 3);
    game.FRapportVitesse.FValue = 3;
    game.FHuille.FValue = 350.0;
  }
}

TEST_F(CycleTest, ReducedCycleReadsOnlyTheWeather) {
  test::MemoryFixture fixture(kBase, 2 * PageSize());
  Lay(fixture, kBase);
  Widgets widgets;
  Attach(game, fixture);
  Assign(game, widgets, kBase);
  for (const bool batched : {true, false}) {
    SCOPED_TRACE(batched ? "batched" : "one call per datum");
    game.SetBatchedReads(batched);
    clock.Advance(10000);
    game.ReadAndDisplayNoCockpit();
    EXPECT_EQ(game.FTemperatureAir.FValue, 24.0F);
    EXPECT_EQ(game.FTemperaturePiste.FValue, 31.0F);
    EXPECT_EQ(game.FHumidityOffPath.FValue, 0.3F);
    EXPECT_EQ(game.FPrevisionMeteo.FValue, 0.4F);
    EXPECT_EQ(game.FPneuAvantGauche.FTempExterieure.FValue, 0.0);
    EXPECT_EQ(game.FVitesse.FValue, 0.0F);
    EXPECT_EQ(game.FRapportVitesse.FValue, 0);
    EXPECT_EQ(widgets.gear.Text(), "");
    EXPECT_EQ(widgets.panels[0].TextWrites(), 0);
  }
}

// A server fills its record with raw reads on its connection thread, while a scan pass that has not yet
// seen the role change may still run a cycle on the main thread. Each must read the process itself,
// never the other's half-built blocks (the thread sanitizer build checks that they share nothing).
TEST_F(CycleTest, RawReadsOnAnotherThreadRunCleanlyBesideCycles) {
  test::MemoryFixture fixture(kBase, 2 * PageSize());
  Lay(fixture, kBase);
  Widgets widgets;
  Attach(game, fixture);
  Assign(game, widgets, kBase);
  fixture.PutText(kBase + 0x300, "Ada");
  game.FMetrique = true;

  std::atomic<bool> cycling{true};
  std::atomic<int> fills{0};
  int wrong = 0;
  std::thread record_fill([&] {
    while (cycling.load() || fills.load() < 20) {
      wrong += game.ReadDoubleValue(kBase + 0x218) != 365.0;  // water
      wrong += game.ReadSingleValue(kBase + 0x244) != 0.75F;  // throttle
      wrong += game.ReadSmallIntValue(kBase + 0x238) != 4;    // gear
      wrong += game.ReadByteValue(kBase + 0x22E) != 1;        // limiter
      wrong += game.ReadIntegerValue(kBase + 0x26C) != 7;     // laps, and what follows them
      wrong += game.ReadStringValue(kBase + 0x300) != "Ada";
      fills.fetch_add(1);
    }
  });
  while (fills.load() == 0) {
    std::this_thread::yield();
  }
  for (int pass = 0; pass < 200; ++pass) {
    if (pass % 4 == 3) {
      game.ReadAndDisplayNoCockpit();
    } else {
      game.ReadAndDisplay();
    }
  }
  cycling.store(false);
  record_fill.join();

  EXPECT_EQ(wrong, 0);
  EXPECT_EQ(widgets.gear.Text(), "4");
  EXPECT_EQ(widgets.panels[25].Text(), "91");
  EXPECT_EQ(widgets.gauges[4].Position(), 75);
}

TEST_F(CycleTest, WithNothingAttachedACycleReadsZeros) {
  Widgets widgets;
  Assign(game, widgets, kBase);
  game.FMetrique = true;
  game.ReadAndDisplay();
  EXPECT_EQ(widgets.panels[25].Text(), "-273");
  EXPECT_EQ(widgets.gear.Text(), "N");
  EXPECT_EQ(widgets.panels[24].Text(), "0%");
  EXPECT_EQ(widgets.panels[3].Text(), "XXX");
}

}  // namespace
}  // namespace velmora

#include "net/game_data.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <vector>

#include <gtest/gtest.h>
#include <unistd.h>

#include "game/game.h"
#include "manual_clock.h"
#include "memory_fixture.h"
#include "platform/process_memory.h"
#include "race/lap_table.h"
#include "recording_targets.h"

namespace velmora {
namespace {

constexpr std::uint32_t kBase = 0x5B500000;

std::vector<std::uint8_t> Bytes(const TGameData& record) {
  std::vector<std::uint8_t> bytes(sizeof record);
  std::memcpy(bytes.data(), &record, sizeof record);
  return bytes;
}

template <typename T>
void PutAt(TGameData& record, std::size_t offset, T value) {
  std::memcpy(reinterpret_cast<std::uint8_t*>(&record) + offset, &value, sizeof value);
}

// The summary row's widget: it only needs to be there for the row to take texts.
class SummaryRow final : public FooterTarget {
 public:
  void RepaintRow() override {}
};

// A client dashboard's race state: the lap grid, the session labels and the summary row.
struct ClientRaceViews {
  explicit ClientRaceViews(TGame& game) {
    game.FNetwork.SetNetworkType(TNetworkType::ntClient);
    game.FTemps.SetData(&laps);
    game.FSession.FEtiquette = &session_name;
    game.FSession.FEtiquetteTemps = &session_time;
    game.FFooterInformation.SetVirtualTree(&summary);
  }
  TLapTable laps;
  test::RecordingLabel session_name;
  test::RecordingLabel session_time;
  SummaryRow summary;
};

class GameDataTest : public ::testing::Test {
 protected:
  test::ManualClock clock{1000000};
  TGame game{nullptr, clock};
};

TEST_F(GameDataTest, FreshRecordIs440BytesWithEveryGapZero) {
  // Fill every field, so that a byte still 0 afterwards can only be a gap.
  TGame filled{nullptr, clock};
  for (const TGameDataField& field : kGameDataFields) {
    const std::size_t size = field.kind == TGameDataField::Kind::kByte       ? 1
                             : field.kind == TGameDataField::Kind::kSmallInt ? 2
                             : field.kind == TGameDataField::Kind::kDouble   ? 8
                                                                             : 4;
    std::memset(reinterpret_cast<std::uint8_t*>(&filled.GameData) + field.offset, 0xA5, size);
  }
  const auto bytes = Bytes(filled.GameData);
  ASSERT_EQ(bytes.size(), 440U);
  const std::vector<std::pair<int, int>> gaps = {{2, 3},     {9, 11},    {30, 31},   {36, 39},  {346, 347},
                                                 {358, 359}, {406, 407}, {412, 415}, {436, 439}};
  std::array<bool, 440> is_gap{};
  for (const auto& [first, last] : gaps) {
    for (int i = first; i <= last; ++i) {
      is_gap[static_cast<std::size_t>(i)] = true;
    }
  }
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    EXPECT_EQ(bytes[i], is_gap[i] ? 0x00 : 0xA5) << "byte " << i;
  }
  for (const auto byte : Bytes(game.GameData)) {
    ASSERT_EQ(byte, 0);
  }
}

TEST_F(GameDataTest, NamedFieldsSitAtTheirOffsets) {
  const struct {
    const char* name;
    std::size_t offset;
  } cases[] = {{"ABS", 0},
               {"Contact", 8},
               {"InCockpit", 68},
               {"PitIn", 87},
               {"PneuArriereDroitDisqueFrein", 88},
               {"PneuAvantGaucheTempExterieure", 304},
               {"PneuAvantGaucheTempMilieu", 320},
               {"PneuAvantGaucheVitesse", 336},
               {"Stabilite", 356},
               {"TypeSession", 408},
               {"Vitesse", 432}};
  for (const auto& c : cases) {
    const auto* field = std::find_if(kGameDataFields.begin(), kGameDataFields.end(),
                                     [&](const TGameDataField& f) { return f.name == c.name; });
    ASSERT_NE(field, kGameDataFields.end()) << c.name;
    EXPECT_EQ(field->offset, c.offset) << c.name;
  }
}

// The server reads straight from the simulator's memory, raw, and widens the one-byte lamps.
TEST_F(GameDataTest, ServerFillsTheRecordRawFromTheSimulator) {
  test::MemoryFixture memory(kBase, static_cast<std::size_t>(sysconf(_SC_PAGESIZE)));
  game.FProgramHandleProcess = platform::OpenProcessMemory(memory.Pid());
  ASSERT_NE(game.FProgramHandleProcess, nullptr);
  game.FStabilite.Affectation(kBase + 0x10, true);
  game.FPneuAvantGauche.FTempMilieu.Affectation(kBase + 0x18, true);
  game.FInCokpit.Affectation(kBase + 0x20, true);
  game.FEau.Affectation(kBase + 0x28, true);
  game.FUsureMoteur.Affectation(kBase + 0x30, 0x08, true);
  game.FRecLongueur = 0x40;
  game.FSlotJoueur.Affectation(kBase + 0x100, true);
  game.FNombreTour.Affectation(kBase + 0x200, true);
  game.FPosition.Affectation(kBase + 0x204, true);
  memory.Put<std::uint8_t>(kBase + 0x10, 1);
  memory.Put<std::uint8_t>(kBase + 0x11, 0xEE);  // the byte after the lamp is not part of it
  memory.Put<double>(kBase + 0x18, 371.25);
  memory.Put<std::uint8_t>(kBase + 0x20, 1);
  memory.Put<double>(kBase + 0x28, 360.5);
  memory.Put<double>(kBase + 0x30, 2500.0);
  memory.Put<double>(kBase + 0x38, 5000.0);
  memory.Put<std::uint8_t>(kBase + 0x100, 2);  // the player drives the car of slot 2
  memory.Put<std::int16_t>(kBase + 0x200 + 2 * 0x40, 7);
  memory.Put<std::int16_t>(kBase + 0x204 + 2 * 0x40, 3);
  game.FMetrique = false;  // units never reach the record

  game.ReadServer();

  const auto bytes = Bytes(game.GameData);
  EXPECT_EQ(bytes[356], 0x01);
  EXPECT_EQ(bytes[357], 0x00);
  EXPECT_EQ(game.GameData.PneuAvantGaucheTempMilieu, 371.25);
  EXPECT_EQ(game.GameData.InCockpit, 1);
  EXPECT_EQ(game.GameData.Eau, 360.5);
  EXPECT_EQ(game.GameData.UsureMoteur, 2500.0);
  EXPECT_EQ(game.GameData.UsureMoteurReference, 5000.0);
  EXPECT_EQ(game.GameData.NombreTour, 7);
  EXPECT_EQ(game.GameData.Position, 3);
  // Values this simulator does not have read as 0.
  EXPECT_EQ(game.GameData.Huille, 0.0);
  EXPECT_EQ(game.GameData.TypeSession, 0);
}

// On a server the lap timing reads its times with its usual effects, so the best splits follow the
// simulator, but the lap grid it would write stays as it was.
TEST_F(GameDataTest, ServerTimesFollowTheSimulatorAndTheGridStaysAsItIs) {
  test::MemoryFixture memory(kBase, static_cast<std::size_t>(sysconf(_SC_PAGESIZE)));
  game.FProgramHandleProcess = platform::OpenProcessMemory(memory.Pid());
  ASSERT_NE(game.FProgramHandleProcess, nullptr);
  TLapTable laps;
  laps.FindOrAppend(3);  // a row from an earlier session stand alone
  const std::vector<TLapRow> rows_before = laps.Rows();
  game.FTemps.SetData(&laps);
  game.FNetwork.SetNetworkType(TNetworkType::ntServer);
  game.FRecLongueur = 0x40;
  game.FSlotJoueur.Affectation(kBase + 0x100, true);
  game.FTemps.Affectation(kBase + 0x300, 4, 8, 188, 192, 196, true);
  game.FSecteur.Affectation(kBase + 0x204, true);
  memory.Put<std::uint8_t>(kBase + 0x100, 2);
  const std::uint32_t times = kBase + 0x300 + 2 * 0x40;
  memory.Put<float>(times, 83.5F);
  memory.Put<float>(times + 4, 30.25F);
  memory.Put<float>(times + 8, 60.5F);
  memory.Put<float>(times + 188, 82.0F);
  memory.Put<float>(times + 192, 29.5F);
  memory.Put<float>(times + 196, 59.75F);

  game.ReadServer();

  const TGameData& d = game.GameData;
  EXPECT_EQ(d.TempsDernierTour, 83.5F);
  EXPECT_EQ(d.TempsDernierTourSecteur1, 30.25F);
  EXPECT_EQ(d.TempsDernierTourSecteur2, 60.5F);
  EXPECT_EQ(d.TempsMeilleurTour, 82.0F);
  EXPECT_EQ(d.TempsMeilleurTourSecteur1, 29.5F);
  EXPECT_EQ(d.TempsMeilleurTourSecteur2, 59.75F);
  EXPECT_EQ(game.FTemps.MeilleurTour(), 82.0F);
  EXPECT_EQ(game.FTemps.MeilleurSecteur1(), 30.25F);
  EXPECT_EQ(game.FTemps.MeilleurSecteur2(), 30.25F);
  EXPECT_EQ(game.FTemps.MeilleurSecteur3(), 23.0F);
  EXPECT_EQ(laps.Rows(), rows_before);
}

TEST_F(GameDataTest, ClientAppliesTheStabilityLampFromItsLowByte) {
  test::RecordingPicture lamp;
  game.FStabilite.FLed = &lamp;
  game.GameData.InCockpit = 1;
  PutAt<std::uint16_t>(game.GameData, 356, 0x0101);  // a stray high byte changes nothing
  game.WriteAndDisplayClient();
  EXPECT_EQ(game.FStabilite.FValue, 1);
}

// Out of the car only the weather, the session and the two temperatures follow the record.
TEST_F(GameDataTest, OutOfCarRecordAppliesOnlyWeatherSessionAndTemperatures) {
  test::RecordingPanel tread;
  test::RecordingWeatherGauge rain;
  game.FPneuAvantGauche.FTempExterieure.FPanel = &tread;
  game.FHumidityRainfall.FEtiquette = &rain;
  game.FMetrique = true;
  game.GameData.InCockpit = 1;
  game.GameData.PneuAvantGaucheTempExterieure = 353.15;
  game.GameData.Acceleration = 0.5F;
  game.WriteAndDisplayClient();
  ASSERT_EQ(tread.Text(), "80");
  const int tread_writes = tread.TextWrites();

  clock.Advance(10000);  // past every weather throttle
  game.GameData.InCockpit = 0;
  game.GameData.PneuAvantGaucheTempExterieure = 400.0;
  game.GameData.Acceleration = 1.0F;
  game.GameData.HumidityRainfall = 0.75F;
  game.GameData.TypeSession = 4;
  game.GameData.TemperatureAir = 295.5F;
  game.WriteAndDisplayClient();

  EXPECT_EQ(tread.TextWrites(), tread_writes);
  EXPECT_EQ(game.FPneuAvantGauche.FTempExterieure.FValue, 353.15);
  EXPECT_EQ(game.FAcceleration.FValue, 0.5F);
  ASSERT_FALSE(rain.Values().empty());
  EXPECT_DOUBLE_EQ(rain.Values().back(), 0.75);
  EXPECT_EQ(game.FSession.FTypeSession.FValue, 4);
  EXPECT_EQ(game.FTemperatureAir.FValue, 295.5F);
}

TEST_F(GameDataTest, MetricAndImperialClientsShowTheSameBytesInTheirOwnUnits) {
  TGame imperial{nullptr, clock};
  test::RecordingPanel metric_panel;
  test::RecordingPanel imperial_panel;
  game.FPneuAvantDroit.FTempMilieu.FPanel = &metric_panel;
  imperial.FPneuAvantDroit.FTempMilieu.FPanel = &imperial_panel;
  game.FMetrique = true;
  imperial.FMetrique = false;
  TGameData record{};
  record.InCockpit = 1;
  record.PneuAvantDroitTempMilieu = 363.15;  // 90 °C, 194 °F
  game.GameData = record;
  imperial.GameData = record;
  game.WriteAndDisplayClient();
  imperial.WriteAndDisplayClient();
  EXPECT_EQ(metric_panel.Text(), "90");
  EXPECT_EQ(imperial_panel.Text(), "194");
  EXPECT_EQ(metric_panel.Color(), imperial_panel.Color());
  EXPECT_EQ(Bytes(game.GameData), Bytes(imperial.GameData));
}

}  // namespace
}  // namespace velmora

namespace velmora {
namespace {

// A record that completes a lap fills the row named by the lap count the client held before it, with
// that lap's time, fuel and speed, and the laps left follow from the fuel now in place. As stand alone,
// the first crossing after getting into the car only takes the fuel reference.
TEST_F(GameDataTest, ALapCompletedByARecordFillsTheRowOfTheCountHeldBeforeIt) {
  ClientRaceViews views(game);
  game.FMetrique = true;
  TGameData& d = game.GameData;
  const auto apply = [&](std::int16_t sector, std::int16_t laps, double fuel, float last_lap) {
    d.Secteur = sector;
    d.NombreTour = laps;
    d.Fuel = fuel;
    d.TempsDernierTour = last_lap;
    game.WriteAndDisplayClient();
  };
  d.InCockpit = 1;
  d.LongueurCircuit = 4000.0F;
  d.Vitesse = 50.0F;  // the top speed of the laps, 180 km/h
  apply(2, 4, 40.0, 0.0F);
  EXPECT_TRUE(views.laps.Rows().empty());

  // Over the line, and the lap counter moves on in the same record.
  d.TempsMeilleurTour = 83.456F;
  apply(0, 5, 39.9, 83.456F);
  ASSERT_EQ(views.laps.Rows().size(), 1U);
  EXPECT_EQ(views.laps.Rows()[0].Lap, 5);
  EXPECT_EQ(views.laps.Rows()[0].Final, "1:23.456");
  EXPECT_EQ(LapCellText(views.laps.Rows()[0], TLapField::Fuel), "");  // the reference only
  EXPECT_EQ(game.FFooterInformation.GetText(5), "");

  apply(1, 5, 38.0, 83.456F);
  apply(0, 6, 37.4, 84.0F);
  ASSERT_EQ(views.laps.Rows().size(), 2U);
  const TLapRow& lap = views.laps.Rows()[1];
  EXPECT_EQ(lap.Lap, 6);
  EXPECT_EQ(lap.Final, "1:24.000");
  EXPECT_EQ(LapCellText(lap, TLapField::Fuel), "2.50");
  EXPECT_EQ(LapCellText(lap, TLapField::MaximumSpeed), "180.0");
  EXPECT_EQ(LapCellText(lap, TLapField::AverageSpeed), "171.4");
  EXPECT_EQ(game.FNombreTour.Value(), 6);
  EXPECT_DOUBLE_EQ(game.FMoyenneFuel.Value(), 2.5);
  EXPECT_DOUBLE_EQ(game.FTourRestant.Value(), 37.4 / 2.5);
  EXPECT_EQ(game.FFooterInformation.GetText(2), "1:23.456");  // best lap
  EXPECT_EQ(game.FFooterInformation.GetText(5), "15");        // laps left

  // A new session: the count falls to 0, the grid empties and the estimate goes with the average.
  apply(0, 0, 37.4, 84.0F);
  EXPECT_TRUE(views.laps.Rows().empty());
  EXPECT_EQ(game.FTourRestant.Value(), 0.0);
  EXPECT_EQ(game.FFooterInformation.GetText(5), "");
}

// The same bytes on a metric and on an imperial client: the lap's average speed in each one's unit, the
// session and the lap times alike.
TEST_F(GameDataTest, MetricAndImperialClientsShowTheSameLapAndSessionRecord) {
  TGameData record{};
  record.InCockpit = 1;
  record.LongueurCircuit = 4000.0F;
  record.TempsDernierTour = 100.0F;
  record.TempsMeilleurTour = 100.0F;
  record.TypeSession = 3;
  record.TempsSession = 1800.0F;
  record.TimerSession = 754.6F;
  const struct {
    bool metric;
    const char* average_speed;
  } cases[] = {{true, "144.0"}, {false, "89.5"}};
  for (const auto& c : cases) {
    TGame client{nullptr, clock};
    ClientRaceViews views(client);
    client.FMetrique = c.metric;
    client.GameData = record;
    clock.Advance(1000);  // past the session's refresh time
    client.WriteAndDisplayClient();
    ASSERT_EQ(views.laps.Rows().size(), 1U) << c.metric;
    const TLapRow& lap = views.laps.Rows().front();
    EXPECT_EQ(lap.Lap, 1);
    EXPECT_EQ(lap.Final, "1:40.000");
    EXPECT_EQ(LapCellText(lap, TLapField::AverageSpeed), c.average_speed);
    EXPECT_EQ(views.session_name.Text(), "Qualifying");
    EXPECT_EQ(views.session_time.Text(), "17:25");
    EXPECT_EQ(client.FFooterInformation.GetText(2), "1:40.000");
    EXPECT_EQ(Bytes(client.GameData), Bytes(record));
  }
}

// In the client role the position received falling to 0 starts a new session, as the lap count does.
TEST_F(GameDataTest, AReceivedPositionFallingTo0EmptiesTheGridAndTheFuelAverage) {
  ClientRaceViews views(game);
  TGameData& d = game.GameData;
  d.InCockpit = 1;
  d.Position = 3;
  for (const auto& [sector, fuel] : {std::pair{1, 40.0}, {0, 40.0}, {1, 39.0}, {0, 38.0}}) {
    d.Secteur = static_cast<std::int16_t>(sector);
    d.Fuel = fuel;
    game.WriteAndDisplayClient();
  }
  ASSERT_EQ(views.laps.Rows().size(), 1U);
  ASSERT_EQ(game.FMoyenneFuel.Value(), 2.0);

  d.Position = 0;
  game.WriteAndDisplayClient();
  EXPECT_TRUE(views.laps.Rows().empty());
  EXPECT_EQ(game.FMoyenneFuel.Value(), 0.0);
  EXPECT_TRUE(game.FMoyenneFuel.FArrayFuel.empty());
}

}  // namespace
}  // namespace velmora

#include "race/display_players.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <unistd.h>

#include "game/game.h"
#include "manual_clock.h"
#include "memory_fixture.h"
#include "platform/process_memory.h"

namespace velmora {
namespace {

constexpr std::uint32_t kBase = 0x5C400000;
constexpr std::uint32_t kRecord = 0x1000;  // one page per car, so that one car's record can be missing
constexpr std::uint32_t kInPit = kBase + 0x10;
constexpr std::uint32_t kDistance = kBase + 0x100;
constexpr std::uint32_t kPosition = kBase + 0x120;
constexpr std::uint32_t kTiming = kBase + 0x200;
constexpr std::uint32_t kName = kBase + 0x400;
constexpr std::uint32_t kCount = kBase + TDisplayPlayers::kRows * kRecord;
constexpr std::size_t kSize = (TDisplayPlayers::kRows + 1) * kRecord;

// What the view was told.
class RecordingList final : public PlayerListTarget {
 public:
  void RowsReset(const TDisplayPlayers&) override { ++resets; }
  void SetTimeColumnTitle(std::string_view text) override { title = text; }
  void RowChanged(int row) override { changed.push_back(row); }

  int resets = 0;
  std::string title;
  std::vector<int> changed;
};

struct Car {
  int slot;
  std::int16_t position;
  const char* name;
  float best_lap;
  std::uint8_t in_pit = 0;
  float distance = 1234.5F;
};

class DisplayPlayersTest : public ::testing::Test {
 protected:
  explicit DisplayPlayersTest(test::MemoryHole hole = {}) : fixture(kBase, kSize, hole) {
    game.FProgramHandleProcess = platform::OpenProcessMemory(fixture.Pid());
    game.FRecLongueur = kRecord;
    game.FNombreJoueur.Affectation(kCount, true);
    game.FInPIT.Affectation(kInPit, true);
    game.FDistance.Affectation(kDistance, true);
    game.FPosition.Affectation(kPosition, true);
    game.FNomPilote.Affectation(kName, true);
    game.FTemps.Affectation(kTiming, 4, 8, 188, 192, 196, true);
    game.FDisplayPlayers.SetTreeView(&view);
  }

  void Put(const Car& car) {
    const auto at = static_cast<std::uint32_t>(car.slot) * kRecord;
    fixture.Put<float>(kDistance + at, car.distance);
    fixture.Put<std::int16_t>(kPosition + at, car.position);
    fixture.PutText(kName + at, car.name);
    fixture.Put<float>(kTiming + 188 + at, car.best_lap);
    fixture.Put<std::uint8_t>(kInPit + at, car.in_pit);
  }
  void PutAll(const std::vector<Car>& cars) {
    for (const Car& car : cars) {
      Put(car);
    }
    fixture.Put<std::int16_t>(kCount, static_cast<std::int16_t>(cars.size()));
  }

  const PlayerRow& Row(int row) const {
    return game.FDisplayPlayers.NodeList()[static_cast<std::size_t>(row)];
  }
  std::string Cell(int row, int column) const { return TDisplayPlayers::CellText(Row(row).Data, column); }
  int VisibleRows() const {
    int visible = 0;
    for (const PlayerRow& row : game.FDisplayPlayers.NodeList()) {
      visible += row.Visible ? 1 : 0;
    }
    return visible;
  }
  // Moves the clock past the 5-second switch and refreshes: the last column turns to the other mode.
  void SwitchColumn() {
    clock.Advance(TDisplayPlayers::kHeaderSwitchMs + 1);
    game.RefreshDriverList();
  }

  test::MemoryFixture fixture;
  test::ManualClock clock{500000};
  TGame game{nullptr, clock};
  RecordingList view;
};

TEST_F(DisplayPlayersTest, RowsFollowThePositionsAndHideTheRest) {
  EXPECT_EQ(view.resets, 1);
  EXPECT_EQ(view.title, "Time");
  EXPECT_EQ(VisibleRows(), 0);

  PutAll({{0, 2, "K. Brenner", 91.5F}, {1, 1, "M. Arnaud", 90.25F, 1}, {2, 3, "L. Castell", -1.0F}});
  game.RefreshDriverList();

  EXPECT_EQ(VisibleRows(), 3);
  EXPECT_EQ(game.FNombreJoueur.FValue, 3);
  const char* expected[3][3] = {
      {"1", "M. Arnaud", "1:30.250"}, {"2", "K. Brenner", "1:31.500"}, {"3", "L. Castell", ""}};
  for (int row = 0; row < 3; ++row) {
    EXPECT_TRUE(Row(row).Visible);
    for (int column = 0; column < 3; ++column) {
      EXPECT_EQ(Cell(row, column), expected[row][column]) << row << "," << column;
    }
  }
  EXPECT_EQ(TDisplayPlayers::RowImage(Row(0).Data), 0);  // in the pits
  EXPECT_EQ(TDisplayPlayers::RowImage(Row(1).Data), 1);
  EXPECT_EQ(view.changed, (std::vector<int>{0, 1, 2}));

  // Nothing changed: the view hears of nothing.
  view.changed.clear();
  game.RefreshDriverList();
  EXPECT_TRUE(view.changed.empty());
}

TEST_F(DisplayPlayersTest, GapsAgainstTheDrivenCarsBestLap) {
  PutAll(
      {{0, 1, "Own car", 90.0F}, {1, 2, "Slower", 91.5F}, {2, 3, "Faster", 89.0F}, {3, 4, "No time", -1.0F}});
  struct Case {
    float own_best;
    std::vector<std::string> gap_column;
  };
  const Case cases[] = {
      {90.0F, {"--:--.---", "0:01.500", "-0:01.000", ""}},
      {-1.0F, {"", "", "", ""}},  // the driven car has no best lap yet: no gaps at all
      {0.0F, {"1:30.000", "1:31.500", "1:29.000", ""}},
  };
  bool gap_mode = false;
  for (const Case& c : cases) {
    game.FTemps.FMeilleurTour = c.own_best;
    if (!gap_mode) {
      SwitchColumn();
      gap_mode = true;
    } else {
      game.RefreshDriverList();
    }
    ASSERT_EQ(view.title, "Gap");
    for (int row = 0; row < 4; ++row) {
      EXPECT_EQ(Cell(row, 2), c.gap_column[static_cast<std::size_t>(row)]) << c.own_best << " row " << row;
    }
  }
  SwitchColumn();
  EXPECT_EQ(view.title, "Time");
  EXPECT_EQ(Cell(1, 2), "1:31.500");
}

TEST_F(DisplayPlayersTest, TheTimeGapSwitchWaitsMoreThanFiveSecondsAcrossTheWrap) {
  PutAll({{0, 1, "A", 90.0F}});
  clock.Advance(TDisplayPlayers::kHeaderSwitchMs);
  game.RefreshDriverList();
  EXPECT_EQ(view.title, "Time");
  clock.Advance(1);
  game.RefreshDriverList();
  EXPECT_EQ(view.title, "Gap");

  // Bookmark 1000 ms below the wrap of the counter; 4001 ms after the wrap is 5001 ms later.
  clock.Set(0xFFFFFFFFU - 999U);
  game.RefreshDriverList();
  EXPECT_EQ(view.title, "Time");
  clock.Set(4000);
  game.RefreshDriverList();
  EXPECT_EQ(view.title, "Time");
  clock.Set(4001);
  game.RefreshDriverList();
  EXPECT_EQ(view.title, "Gap");
}

TEST_F(DisplayPlayersTest, ACarWithoutDistanceIsNeverListed) {
  // Slot 0 claims position 1 but has not moved; slot 5 is the real leader.
  PutAll({{0, 1, "Parked", 80.0F, 0, 0.0F}, {5, 1, "Leader", 90.0F}});
  game.RefreshDriverList();
  EXPECT_EQ(Cell(0, 1), "Leader");
  // No car at position 2: the row keeps what it had, here nothing, and stays hidden.
  EXPECT_FALSE(Row(1).Visible);

  // The leader parks too: row 0 keeps showing the last it knew.
  Put({5, 1, "Leader", 90.0F, 0, 0.0F});
  game.RefreshDriverList();
  EXPECT_TRUE(Row(0).Visible);
  EXPECT_EQ(Cell(0, 1), "Leader");
}

TEST_F(DisplayPlayersTest, FewerDriversHideTheLastRowsAtTheNextRefresh) {
  std::vector<Car> cars;
  const char* names[] = {"A", "B", "C", "D", "E", "F", "G", "H", "I", "J"};
  for (int i = 0; i < 10; ++i) {
    cars.push_back({9 - i, static_cast<std::int16_t>(i + 1), names[i], 90.0F + static_cast<float>(i)});
  }
  PutAll(cars);
  game.RefreshDriverList();
  EXPECT_EQ(VisibleRows(), 10);

  fixture.Put<std::int16_t>(kCount, 8);
  view.changed.clear();
  game.RefreshDriverList();
  EXPECT_EQ(VisibleRows(), 8);
  EXPECT_FALSE(Row(8).Visible);
  EXPECT_FALSE(Row(9).Visible);
  EXPECT_EQ(view.changed, (std::vector<int>{8, 9}));
  EXPECT_EQ(Cell(7, 1), "H");
}

TEST_F(DisplayPlayersTest, OneRefreshOfFiftyCarsIsOneSystemCall) {
  std::vector<Car> cars;
  std::vector<std::string> names;
  for (int slot = 0; slot < TDisplayPlayers::kRows; ++slot) {
    names.push_back("Driver " + std::to_string(slot));
  }
  for (int slot = 0; slot < TDisplayPlayers::kRows; ++slot) {
    // Positions run backwards through the slots, so every row looks through many slots.
    cars.push_back({slot, static_cast<std::int16_t>(TDisplayPlayers::kRows - slot),
                    names[static_cast<std::size_t>(slot)].c_str(), 100.0F});
  }
  PutAll(cars);
  const auto before = game.FProgramHandleProcess->SystemCalls();
  game.RefreshDriverList();
  EXPECT_EQ(game.FProgramHandleProcess->SystemCalls() - before, 1U);
  EXPECT_EQ(VisibleRows(), TDisplayPlayers::kRows);
  EXPECT_EQ(Cell(0, 1), "Driver 49");
  EXPECT_EQ(Cell(49, 1), "Driver 0");

  // Read one datum at a time, the list comes out the same.
  const auto rows = game.FDisplayPlayers.NodeList();
  game.SetBatchedReads(false);
  const auto single = game.FProgramHandleProcess->SystemCalls();
  game.RefreshDriverList();
  EXPECT_GT(game.FProgramHandleProcess->SystemCalls() - single, 1000U);
  EXPECT_EQ(game.FDisplayPlayers.NodeList(), rows);
}

// The record of slot 3 cannot be read: that car alone is missing, the others are listed.
class DisplayPlayersHoleTest : public DisplayPlayersTest {
 protected:
  DisplayPlayersHoleTest() : DisplayPlayersTest({3 * kRecord, kRecord}) {}
};

TEST_F(DisplayPlayersHoleTest, AnUnreadableRecordFailsAlone) {
  ASSERT_EQ(sysconf(_SC_PAGESIZE), static_cast<long>(kRecord));
  PutAll({{0, 1, "A", 90.0F}, {1, 2, "B", 91.0F}, {2, 3, "C", 92.0F}, {4, 4, "E", 94.0F}});
  fixture.Put<std::int16_t>(kCount, 5);
  game.RefreshDriverList();
  EXPECT_EQ(VisibleRows(), 4);
  EXPECT_EQ(Cell(3, 1), "E");
  EXPECT_FALSE(Row(4).Visible);  // position 5 would have been slot 3's
}

TEST(DisplayPlayersCellTest, CellTextsAndPicture) {
  struct Case {
    TDataDisplayPlayer row;
    const char* position;
    const char* time;
    int image;
  };
  const Case cases[] = {
      {{-1.0F, 0, "A", 1}, "1", "", 1},
      {{0.0F, 1, "B", 12}, "12", "--:--.---", 0},
      {{83.456F, 2, "C", 3}, "3", "1:23.456", 1},  // a pit flag other than 1 is on track
      {{-1.5F, 0, "D", 4}, "4", "-0:01.500", 1},
      {{9.5F, 0, "", 0}, "", "0:09.500", -1},
      {{-1.0F, 0, "E", 5, true}, "5", "-0:01.000", 1},  // a gap of exactly one second
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TDisplayPlayers::CellText(c.row, 0), c.position);
    EXPECT_EQ(TDisplayPlayers::CellText(c.row, 1), c.row.PalyerName);
    EXPECT_EQ(TDisplayPlayers::CellText(c.row, 2), c.time) << c.row.BestTime;
    EXPECT_EQ(TDisplayPlayers::RowImage(c.row), c.image) << c.row.PalyerName;
  }
}

}  // namespace
}  // namespace velmora

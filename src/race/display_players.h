#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

class TGame;

// One row of the driver list.
struct TDataDisplayPlayer {
  // Best lap in seconds, or the gap to the driven car's best lap; -1 for none.
  float BestTime = 0.0F;
  std::uint8_t InPit = 0;
  std::string PalyerName;
  std::int16_t Position = 0;  // 1-based; 0 for none
  // BestTime is a difference of two laps: a gap of exactly -1 s is a gap, not "no time".
  bool IsGap = false;
  friend bool operator==(const TDataDisplayPlayer&, const TDataDisplayPlayer&) = default;
};

// A row of the list as the view sees it.
struct PlayerRow {
  TDataDisplayPlayer Data;
  bool Visible = false;
  friend bool operator==(const PlayerRow&, const PlayerRow&) = default;
};

class TDisplayPlayers;

// The tree list the driver list fills. The rows are the list's own data; the view is told what changed.
class PlayerListTarget {
 public:
  virtual ~PlayerListTarget() = default;
  // The list has just (re)made its rows: all hidden.
  virtual void RowsReset(const TDisplayPlayers& list) = 0;
  virtual void SetTimeColumnTitle(std::string_view title) = 0;
  // A row's content or visibility changed.
  virtual void RowChanged(int row) = 0;
};

// The standings of every car of the session, by race position, refreshed from the simulator's car
// records at most once a second. The last column alternates between best laps and gaps every 5 seconds.
class TDisplayPlayers final {
 public:
  static constexpr int kRows = 50;
  static constexpr std::uint32_t kHeaderSwitchMs = 5000;

  explicit TDisplayPlayers(TGame& AOwner);

  // Binds the view: its rows are made anew, all hidden.
  void SetTreeView(PlayerListTarget* view);
  PlayerListTarget* TreeView() const { return FTreeView; }

  void ReadAndDisplay();

  const std::array<PlayerRow, kRows>& NodeList() const { return NodeList_; }
  bool IsTime() const { return FIsTime; }
  // "Time" or "Gap".
  std::string_view TimeColumnTitle() const { return FIsTime ? "Time" : "Gap"; }

  // The texts and picture of a row: column 0 the position, 1 the name, 2 the time or gap.
  static std::string CellText(const TDataDisplayPlayer& row, int column);
  // Picture of column 1: -1 none, 0 in the pits, 1 on track.
  static int RowImage(const TDataDisplayPlayer& row);

 private:
  void SetRow(int row, const PlayerRow& content);

  TGame* FGame;
  PlayerListTarget* FTreeView = nullptr;
  bool FIsTime = true;
  std::uint32_t FTimeBookmark;
  std::array<PlayerRow, kRows> NodeList_{};
};

// The slot of the first car on track (distance not 0) at race `position`, or -1. Reads the distance and
// the position of each slot it examines.
int SlotAtPosition(TGame& game, int position);

// The address of a datum of slot `slot`'s record, from the datum's place in the record of slot 0.
std::uint32_t SlotAddress(const TGame& game, std::uint32_t base_address, int slot);

// The best lap of slot `slot`, which lies in the lap timing block of its record.
std::uint32_t SlotBestLapAddress(const TGame& game, int slot);

// One car of the standings, as the command line prints them.
struct Standing {
  int Position = 0;
  int Slot = 0;
  std::string Name;
  std::string Car;
  bool InPits = false;
  float BestLap = -1.0F;  // seconds; -1 or 0 for none
};

// Every listed car in position order, found as the driver list finds its rows.
std::vector<Standing> ReadStandings(TGame& game);

}  // namespace velmora

#include "race/display_players.h"

#include <cmath>

#include "game/game.h"
#include "platform/tick_clock.h"
#include "race/lap_time_text.h"

namespace velmora {
namespace {

// Offset of the best lap in a record's lap timing block.
constexpr std::uint32_t kBestLapOffset = 188;

}  // namespace

std::uint32_t SlotAddress(const TGame& game, std::uint32_t base_address, int slot) {
  return base_address + static_cast<std::uint32_t>(slot) * game.FRecLongueur;
}

std::uint32_t SlotBestLapAddress(const TGame& game, int slot) {
  return SlotAddress(game, game.FTemps.FBaseAddress + kBestLapOffset, slot);
}

int SlotAtPosition(TGame& game, int position) {
  for (int slot = 0; slot < TDisplayPlayers::kRows; ++slot) {
    const float distance = game.ReadSingleValue(SlotAddress(game, game.FDistance.FBaseAddress, slot));
    const std::int16_t at = game.ReadSmallIntValue(SlotAddress(game, game.FPosition.FBaseAddress, slot));
    if (distance != 0.0F && at == position) {
      return slot;
    }
  }
  return -1;
}

TDisplayPlayers::TDisplayPlayers(TGame& AOwner) : FGame(&AOwner), FTimeBookmark(AOwner.TickCount()) {}

void TDisplayPlayers::SetTreeView(PlayerListTarget* view) {
  if (view == FTreeView || view == nullptr) {
    return;
  }
  FTreeView = view;
  NodeList_.fill(PlayerRow{});
  FTreeView->RowsReset(*this);
  FTreeView->SetTimeColumnTitle(TimeColumnTitle());
}

void TDisplayPlayers::SetRow(int row, const PlayerRow& content) {
  PlayerRow& node = NodeList_[static_cast<std::size_t>(row)];
  if (node == content) {
    return;
  }
  node = content;
  if (FTreeView != nullptr) {
    FTreeView->RowChanged(row);
  }
}

void TDisplayPlayers::ReadAndDisplay() {
  TGame& game = *FGame;
  const int drivers = game.ReadSmallIntValue(game.FNombreJoueur.FAddress);
  const float own_best = game.FTemps.FMeilleurTour;

  if (platform::TicksElapsed(game.TickCount(), FTimeBookmark, kHeaderSwitchMs)) {
    FIsTime = !FIsTime;
    if (FTreeView != nullptr) {
      FTreeView->SetTimeColumnTitle(TimeColumnTitle());
    }
    FTimeBookmark = game.TickCount();
  }

  for (int row = 0; row < kRows; ++row) {
    PlayerRow content = NodeList_[static_cast<std::size_t>(row)];
    if (row >= drivers) {
      content.Visible = false;
      SetRow(row, content);
      continue;
    }
    const int slot = SlotAtPosition(game, row + 1);
    if (slot < 0) {
      continue;  // keeps what it showed
    }
    TDataDisplayPlayer& data = content.Data;
    data.PalyerName = game.ReadStringValue(SlotAddress(game, game.FNomPilote.FBaseAddress, slot));
    const float best = game.ReadSingleValue(SlotBestLapAddress(game, slot));
    data.IsGap = !FIsTime && best >= 0.0F && own_best >= 0.0F;
    if (FIsTime || best < 0.0F) {
      data.BestTime = best;
    } else {
      data.BestTime = own_best < 0.0F ? own_best : best - own_best;
    }
    data.InPit = game.ReadByteValue(SlotAddress(game, game.FInPIT.FBaseAddress, slot));
    data.Position = static_cast<std::int16_t>(row + 1);
    content.Visible = true;
    SetRow(row, content);
  }
}

std::string TDisplayPlayers::CellText(const TDataDisplayPlayer& row, int column) {
  switch (column) {
    case 0:
      return row.Position == 0 ? std::string() : std::to_string(row.Position);
    case 1:
      return row.PalyerName;
    case 2:
      if (row.BestTime == -1.0F && !row.IsGap) {
        return {};
      }
      if (row.BestTime >= 0.0F) {
        return FormatValue(row.BestTime);
      }
      return "-" + FormatValue(std::abs(row.BestTime));
    default:
      return {};
  }
}

int TDisplayPlayers::RowImage(const TDataDisplayPlayer& row) {
  if (row.PalyerName.empty()) {
    return -1;
  }
  return row.InPit == 1 ? 0 : 1;
}

std::vector<Standing> ReadStandings(TGame& game) {
  std::vector<Standing> standings;
  const int drivers =
      std::min<int>(game.ReadSmallIntValue(game.FNombreJoueur.FAddress), TDisplayPlayers::kRows);
  for (int position = 1; position <= drivers; ++position) {
    const int slot = SlotAtPosition(game, position);
    if (slot < 0) {
      continue;
    }
    Standing standing;
    standing.Position = position;
    standing.Slot = slot;
    standing.Name = game.ReadStringValue(SlotAddress(game, game.FNomPilote.FBaseAddress, slot));
    standing.Car = game.ReadStringValue(SlotAddress(game, game.FNomVoiture.FBaseAddress, slot));
    standing.InPits = game.ReadByteValue(SlotAddress(game, game.FInPIT.FBaseAddress, slot)) == 1;
    standing.BestLap = game.ReadSingleValue(SlotBestLapAddress(game, slot));
    standings.push_back(std::move(standing));
  }
  return standings;
}

}  // namespace velmora

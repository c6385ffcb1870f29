#include "history/laps_from_records.h"

namespace velmora::history {

LapsFromRecords::LapsFromRecords(const platform::TickClock& clock)
    : game_(nullptr, clock), completed_(table_) {
  game_.FMetrique = true;
  game_.FNetwork.SetNetworkType(TNetworkType::ntClient);
  game_.FTemps.SetData(&table_);
}

std::vector<LapRecord> LapsFromRecords::Apply(const TGameData& record) {
  game_.GameData = record;
  game_.WriteAndDisplayClient();
  return completed_.TakeNew(game_.FNombreTour.Value(), true);
}

std::vector<StandingRecord> StandingRecords(std::span<const Standing> standings) {
  std::vector<StandingRecord> records;
  records.reserve(standings.size());
  for (const Standing& car : standings) {
    StandingRecord record;
    record.position = car.Position;
    record.slot = car.Slot;
    record.name = car.Name;
    record.car = car.Car;
    record.in_pits = car.InPits;
    if (car.BestLap > 0.0F) {
      record.best_lap_s = car.BestLap;
    }
    records.push_back(std::move(record));
  }
  return records;
}

}  // namespace velmora::history

#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "game/address_tables.h"
#include "sim_state.h"

namespace velmora::sim {

// The field of the state that a datum publishes, for one driver slot (ignored by data kept once).
using FieldRef = std::variant<std::uint8_t*, std::int16_t*, std::int32_t*, float*, double*, std::string*>;
using LocateField = FieldRef (*)(SimState& state, std::size_t slot);

// One datum the simulator keeps at a fixed place: a table entry, or one of the several data of an entry
// that addresses more than one (the lap timing, the session, the engine wear and its reference).
struct SimDatum {
  std::string name;  // "FEau", "FPneuAvantGauche.FTempExterieure", "FTemps.MeilleurTour", ...
  Datum type = Datum::None;
  std::uint32_t address = 0;  // in the record of slot 0 for per-driver data
  bool per_driver = false;
  LocateField locate = nullptr;
};

// Where everything lies in memory for one address table and a number of driver records: the memory
// layout of one simulator executable.
class SimLayout {
 public:
  // Text fields hold this many bytes with their terminating zero.
  static constexpr std::uint32_t kTextCapacity = 32;

  // `records` driver records; a table that gives no record length has room for the player's only.
  SimLayout(const AddressTable& table, int records);

  char TableName() const { return table_name_; }
  std::span<const SimDatum> Datums() const { return datums_; }
  const SimDatum* Find(std::string_view name) const;
  std::uint32_t RecordLength() const { return record_length_; }
  int Records() const { return records_; }

  std::uint32_t AddressOf(const SimDatum& datum, int slot) const;
  static std::uint32_t SizeOf(Datum type);

  // The bytes the data cover, from the first to one past the last, over all records.
  std::uint32_t Begin() const { return begin_; }
  std::uint32_t End() const { return end_; }

 private:
  void Add(std::string name, Datum type, std::uint32_t address, bool per_driver, LocateField locate);

  char table_name_;
  std::uint32_t record_length_ = 0;
  int records_;
  std::vector<SimDatum> datums_;
  std::uint32_t begin_ = 0;
  std::uint32_t end_ = 0;
};

// Every datum name any table can give, for telling a name that this layout lacks from one that no
// simulator has.
bool IsKnownDatumName(std::string_view name);

}  // namespace velmora::sim

#pragma once

#include <cstdint>
#include <string>
#include <variant>

#include "sim_layout.h"
#include "sim_memory.h"
#include "sim_state.h"

namespace velmora::sim {

// A datum's value as the command line speaks of it: whole numbers, floating point numbers, or text
// (Latin-1 bytes, as the simulator keeps it).
using DatumValue = std::variant<std::int64_t, double, std::string>;

// Lays the state out in memory, each datum at its address with its own type, and reads data back as a
// reader in another process would see them.
class StateMemory {
 public:
  // Both must outlive this object.
  StateMemory(const SimLayout& layout, SimMemory& memory);

  // Every datum of every record.
  void Publish(SimState& state);
  void Publish(SimState& state, const SimDatum& datum, int slot);

  DatumValue Read(const SimDatum& datum, int slot) const;

  // Writes `value` into the state field of the datum; the caller has checked that it suits the type.
  static void Assign(SimState& state, const SimDatum& datum, int slot, const DatumValue& value);

 private:
  const SimLayout* layout_;
  SimMemory* memory_;
};

}  // namespace velmora::sim

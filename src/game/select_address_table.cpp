#include "game/select_address_table.h"

#include <variant>

#include "game/game.h"
#include "game/game_member.h"

namespace velmora {
namespace {

void Apply(std::monostate, const AddressTableEntry&) {}

void Apply(std::uint32_t* record_length, const AddressTableEntry& entry) {
  *record_length = entry.record_length;
}

void Apply(TMoyenneFuel* average, const AddressTableEntry&) {
  average->Affectation(true);
}

void Apply(TUsureMoteurValue* wear, const AddressTableEntry& entry) {
  wear->Affectation(entry.Address(), kEngineWearReferenceDelta, true);
}

void Apply(TTemps* timing, const AddressTableEntry& entry) {
  const auto& d = kLapTimingDeltas;
  timing->Affectation(entry.Address(), d[0], d[1], d[2], d[3], d[4], true);
}

void Apply(TSessionGTR* session, const AddressTableEntry& entry) {
  const auto& p = entry.places;
  session->Affectation(p[0].address, p[1].address, p[2].address, p[3].address, p[4].address, true);
}

// Plain and per-driver values alike: a per-driver value takes the address as its base address.
template <typename Value>
void Apply(Value* value, const AddressTableEntry& entry) {
  value->Affectation(entry.Address(), true);
}

}  // namespace

void ApplyAddressTable(const AddressTable& table, TGame& game) {
  for (const AddressTableEntry& entry : table.entries) {
    std::visit([&](auto target) { Apply(target, entry); }, MemberOf(game, entry.member));
  }
}

bool SelectAddressTable(std::string_view title, std::string_view version, TGame& game) {
  const AddressTable* table = FindAddressTable(title, version);
  if (table == nullptr) {
    return false;
  }
  ApplyAddressTable(*table, game);
  return true;
}

}  // namespace velmora

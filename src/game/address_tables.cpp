#include "game/address_tables.h"

#include <algorithm>

namespace velmora {
namespace {

struct MemberInfo {
  Member member;
  std::string_view name;
  Datum datum;
};

using enum Member;

constexpr MemberInfo kMembers[] = {
    {None, "", Datum::None},
    {FInCokpit, "FInCokpit", Datum::Byte},
    {FContact, "FContact", Datum::Byte},
    {FPneuAvantGauche_FVitesse, "FPneuAvantGauche.FVitesse", Datum::Double},
    {FPneuAvantGauche_FRayon, "FPneuAvantGauche.FRayon", Datum::Double},
    {FPneuAvantGauche_FTempExterieure, "FPneuAvantGauche.FTempExterieure", Datum::Double},
    {FPneuAvantGauche_FTempMilieu, "FPneuAvantGauche.FTempMilieu", Datum::Double},
    {FPneuAvantGauche_FTempInterieure, "FPneuAvantGauche.FTempInterieure", Datum::Double},
    {FPneuAvantGauche_FPression, "FPneuAvantGauche.FPression", Datum::Double},
    {FPneuAvantGauche_FDisqueFrein, "FPneuAvantGauche.FDisqueFrein", Datum::Double},
    {FPneuAvantGauche_FUsure, "FPneuAvantGauche.FUsure", Datum::Double},
    {FPneuAvantDroit_FVitesse, "FPneuAvantDroit.FVitesse", Datum::Double},
    {FPneuAvantDroit_FRayon, "FPneuAvantDroit.FRayon", Datum::Double},
    {FPneuAvantDroit_FTempExterieure, "FPneuAvantDroit.FTempExterieure", Datum::Double},
    {FPneuAvantDroit_FTempMilieu, "FPneuAvantDroit.FTempMilieu", Datum::Double},
    {FPneuAvantDroit_FTempInterieure, "FPneuAvantDroit.FTempInterieure", Datum::Double},
    {FPneuAvantDroit_FPression, "FPneuAvantDroit.FPression", Datum::Double},
    {FPneuAvantDroit_FDisqueFrein, "FPneuAvantDroit.FDisqueFrein", Datum::Double},
    {FPneuAvantDroit_FUsure, "FPneuAvantDroit.FUsure", Datum::Double},
    {FPneuArriereGauche_FVitesse, "FPneuArriereGauche.FVitesse", Datum::Double},
    {FPneuArriereGauche_FRayon, "FPneuArriereGauche.FRayon", Datum::Double},
    {FPneuArriereGauche_FTempExterieure, "FPneuArriereGauche.FTempExterieure", Datum::Double},
    {FPneuArriereGauche_FTempMilieu, "FPneuArriereGauche.FTempMilieu", Datum::Double},
    {FPneuArriereGauche_FTempInterieure, "FPneuArriereGauche.FTempInterieure", Datum::Double},
    {FPneuArriereGauche_FPression, "FPneuArriereGauche.FPression", Datum::Double},
    {FPneuArriereGauche_FDisqueFrein, "FPneuArriereGauche.FDisqueFrein", Datum::Double},
    {FPneuArriereGauche_FUsure, "FPneuArriereGauche.FUsure", Datum::Double},
    {FPneuArriereDroit_FVitesse, "FPneuArriereDroit.FVitesse", Datum::Double},
    {FPneuArriereDroit_FRayon, "FPneuArriereDroit.FRayon", Datum::Double},
    {FPneuArriereDroit_FTempExterieure, "FPneuArriereDroit.FTempExterieure", Datum::Double},
    {FPneuArriereDroit_FTempMilieu, "FPneuArriereDroit.FTempMilieu", Datum::Double},
    {FPneuArriereDroit_FTempInterieure, "FPneuArriereDroit.FTempInterieure", Datum::Double},
    {FPneuArriereDroit_FPression, "FPneuArriereDroit.FPression", Datum::Double},
    {FPneuArriereDroit_FDisqueFrein, "FPneuArriereDroit.FDisqueFrein", Datum::Double},
    {FPneuArriereDroit_FUsure, "FPneuArriereDroit.FUsure", Datum::Double},
    {FABS, "FABS", Datum::SmallInt},
    {FEau, "FEau", Datum::Double},
    {FEmbrayageLed, "FEmbrayageLed", Datum::Byte},
    {FHuille, "FHuille", Datum::Double},
    {FStabilite, "FStabilite", Datum::Byte},
    {FTraction, "FTraction", Datum::SmallInt},
    {FFuel, "FFuel", Datum::Double},
    {FRapportVitesse, "FRapportVitesse", Datum::SmallInt},
    {FAcceleration, "FAcceleration", Datum::Single},
    {FFreinage, "FFreinage", Datum::Single},
    {FEmbrayage, "FEmbrayage", Datum::Single},
    {FNombreJoueur, "FNombreJoueur", Datum::SmallInt},
    {FTemperatureAir, "FTemperatureAir", Datum::Single},
    {FTemperaturePiste, "FTemperaturePiste", Datum::Single},
    {FLongueurCircuit, "FLongueurCircuit", Datum::Single},
    {FSlotJoueur, "FSlotJoueur", Datum::Byte},
    {FRecLongueur, "FRecLongueur", Datum::None},
    {FPhares, "FPhares", Datum::Byte},
    {FLimiteur, "FLimiteur", Datum::Byte},
    {FInPIT, "FInPIT", Datum::Byte},
    {FPitIn, "FPitIn", Datum::Byte},
    {FNombreTour, "FNombreTour", Datum::SmallInt},
    {FTemps, "FTemps", Datum::Single},
    {FMoyenneFuel, "FMoyenneFuel", Datum::None},
    {FSecteur, "FSecteur", Datum::SmallInt},
    {FMotorRPM, "FMotorRPM", Datum::Single},
    {FDistance, "FDistance", Datum::Single},
    {FVitesse, "FVitesse", Datum::Single},
    {FNomPilote, "FNomPilote", Datum::Text},
    {FPosition, "FPosition", Datum::SmallInt},
    {FUsureMoteur, "FUsureMoteur", Datum::Double},
    {FHumidityRainfall, "FHumidityRainfall", Datum::Single},
    {FHumidityOnPath, "FHumidityOnPath", Datum::Single},
    {FHumidityOffPath, "FHumidityOffPath", Datum::Single},
    {FPrevisionMeteo, "FPrevisionMeteo", Datum::Single},
    {FSession, "FSession", Datum::None},
    {FNomVoiture, "FNomVoiture", Datum::Text},
};

// The table is indexed by the enumerator, so its rows must stay in the enumeration's order.
constexpr bool InEnumOrder() {
  for (std::size_t i = 0; i < std::size(kMembers); ++i) {
    if (static_cast<std::size_t>(kMembers[i].member) != i) {
      return false;
    }
  }
  return std::size(kMembers) == kMemberCount;
}
static_assert(InEnumOrder());

const MemberInfo& Info(Member member) {
  const auto index = static_cast<std::size_t>(member);
  return index < std::size(kMembers) ? kMembers[index] : kMembers[0];
}

constexpr char AsciiLower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b) {
  return std::ranges::equal(a, b, [](char x, char y) { return AsciiLower(x) == AsciiLower(y); });
}

}  // namespace

std::string_view MemberName(Member member) {
  return Info(member).name;
}

Datum MemberDatum(Member member) {
  return Info(member).datum;
}

std::uint32_t DatumSize(Datum datum) {
  switch (datum) {
    case Datum::Byte:
    case Datum::Text:
      return 1;
    case Datum::SmallInt:
      return 2;
    case Datum::Integer:
    case Datum::Single:
      return 4;
    case Datum::Double:
      return 8;
    case Datum::None:
      return 0;
  }
  return 0;
}

std::size_t AddressTableEntry::PlaceCount() const {
  switch (kind) {
    case EntryKind::Session:
      return places.size();
    case EntryKind::ActiveOnly:
    case EntryKind::RecordLength:
      return 0;
    default:
      return 1;
  }
}

Origin AddressTableEntry::WeakestOrigin() const {
  Origin weakest = Origin::Given;
  for (std::size_t i = 0; i < PlaceCount(); ++i) {
    weakest = std::max(weakest, places[i].origin);
  }
  return weakest;
}

const AddressTableEntry* AddressTable::Find(Member member) const {
  const auto found = std::ranges::find(entries, member, &AddressTableEntry::member);
  return found == entries.end() ? nullptr : &*found;
}

const AddressTableRule* FindAddressTableRule(std::string_view title, std::string_view version) {
  for (const AddressTableRule& rule : AddressTableRules()) {
    if (!EqualIgnoringAsciiCase(rule.version, version)) {
      continue;
    }
    for (std::string_view accepted : rule.titles) {
      if (EqualIgnoringAsciiCase(accepted, title)) {
        return &rule;
      }
    }
  }
  return nullptr;
}

const AddressTable* FindAddressTable(std::string_view title, std::string_view version) {
  const AddressTableRule* rule = FindAddressTableRule(title, version);
  return rule == nullptr ? nullptr : rule->table;
}

const AddressTable* FindAddressTableForVersion(std::string_view version) {
  for (const AddressTableRule& rule : AddressTableRules()) {
    if (EqualIgnoringAsciiCase(rule.version, version)) {
      return rule.table;
    }
  }
  return nullptr;
}

}  // namespace velmora

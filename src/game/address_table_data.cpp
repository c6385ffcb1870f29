#include "game/address_tables.h"

// The address tables of the supported simulator executables, one per executable layout, each in the order
// the dashboard applies it.
//
// How the addresses were found, so that they can be checked against a real executable: table H is known
// whole. For every other table a few addresses are known for that executable (marked as given: the
// cockpit flag, the front left outer tread temperature, the slot, the lap count and the air temperature,
// and a few more where a table says so). The layout the executables share fixes many others from those
// (marked Layout):
//   - tyres: four blocks, front left, front right, rear left, rear right, one block length apart; from the
//     wheel speed: radius +0x158, treads +0x300/+0x308/+0x310 (outer, middle, inner on the left tyres,
//     inner, middle, outer on the right ones), pressure +0x328, wear +0x348, brake disc +0x3D0;
//   - driver aids: traction, ABS, stability and clutch lamps at +0, +4, +8 and +0x10, from table C on
//     4 bytes after the cockpit flag;
//   - weather: from table D on forecast, rainfall, on-path and off-path wetness, air and track temperature
//     are six consecutive Singles; the track temperature follows the air temperature in table C and
//     precedes it in table B;
//   - driver record: sector, distance, lap timing and position at +4, +8, +0x14 and +0x28 from the lap
//     count;
//   - session: green flag time and lap count 4 and 8 bytes before the session time, the timer 4 bytes
//     after the session type except in table D.
// Every other address carries table H's distance from a given address of the same region of memory into
// the table (marked Carried): the car data outside the tyre blocks from the cockpit flag (the tyre blocks
// grow in table J, so the nearest tyre datum is no better), the driver record and the track length from
// the lap count, the player count and the session type from the slot where the slot lies in the same
// region as in table H (tables D, E, F) and from the lap count otherwise, the session times from the air
// temperature. These are guesses: a user with one of those executables corrects them here and marks the
// corrected ones as given (the tests hold every carried address to table H's distance).

namespace velmora {
namespace {

using enum Member;

struct How {
  Origin origin;
  Member anchor;
};

constexpr How kGiven{Origin::Given, None};
constexpr How Layout(Member anchor) {
  return {Origin::Layout, anchor};
}
constexpr How Carried(Member anchor) {
  return {Origin::Extrapolated, anchor};
}
constexpr How kTyreLayout = Layout(FPneuAvantGauche_FTempExterieure);

constexpr AddressTableEntry One(Member member, EntryKind kind, std::uint32_t address, How how) {
  AddressTableEntry entry{member, kind};
  entry.places[0] = {address, how.origin, how.anchor};
  return entry;
}

constexpr AddressTableEntry Addr(Member member, std::uint32_t address, How how = kGiven) {
  return One(member, EntryKind::Address, address, how);
}

constexpr AddressTableEntry Base(Member member, std::uint32_t base_address, How how = kGiven) {
  return One(member, EntryKind::BaseAddress, base_address, how);
}

constexpr AddressTableEntry WithReference(Member member, std::uint32_t address, How how = kGiven) {
  return One(member, EntryKind::AddressWithReference, address, how);
}

constexpr AddressTableEntry LapTiming(Member member, std::uint32_t base_address, How how = kGiven) {
  return One(member, EntryKind::LapTiming, base_address, how);
}

struct At {
  std::uint32_t address;
  How how = kGiven;
};

// Type, timer, session time, green flag time, lap count.
constexpr AddressTableEntry Session(At type, At timer, At temps, At green_flag, At laps) {
  AddressTableEntry entry{FSession, EntryKind::Session};
  const At places[] = {type, timer, temps, green_flag, laps};
  for (std::size_t i = 0; i < entry.places.size(); ++i) {
    entry.places[i] = {places[i].address, places[i].how.origin, places[i].how.anchor};
  }
  return entry;
}

constexpr AddressTableEntry ActiveOnly(Member member) {
  return {member, EntryKind::ActiveOnly};
}

constexpr AddressTableEntry RecordLength(std::uint32_t length) {
  AddressTableEntry entry{FRecLongueur, EntryKind::RecordLength};
  entry.record_length = length;
  return entry;
}

// Table A ("1, 1, 1, 2"). Known: the car name, the cockpit flag and the front left outer tread
// temperature. Its cockpit flag lies after the tyre blocks, not before them as from table C on, and no
// driver record datum of table H is known here: the lamps and the driver aids are the least certain
// addresses of all tables.
constexpr AddressTableEntry kTableAEntries[] = {
    Base(FNomVoiture, 0x9FC648),
    Addr(FInCokpit, 0xD569FA),
    Addr(FPneuAvantGauche_FTempExterieure, 0xD54E78),
    Addr(FPneuAvantGauche_FTempMilieu, 0xD54E80, kTyreLayout),
    Addr(FPneuAvantGauche_FTempInterieure, 0xD54E88, kTyreLayout),
    Addr(FPneuAvantGauche_FPression, 0xD54EA0, kTyreLayout),
    Addr(FPneuAvantGauche_FDisqueFrein, 0xD54F48, kTyreLayout),
    Addr(FPneuAvantDroit_FTempExterieure, 0xD55398, kTyreLayout),
    Addr(FPneuAvantDroit_FTempMilieu, 0xD55390, kTyreLayout),
    Addr(FPneuAvantDroit_FTempInterieure, 0xD55388, kTyreLayout),
    Addr(FPneuAvantDroit_FPression, 0xD553B0, kTyreLayout),
    Addr(FPneuAvantDroit_FDisqueFrein, 0xD55458, kTyreLayout),
    Addr(FPneuArriereGauche_FTempExterieure, 0xD55898, kTyreLayout),
    Addr(FPneuArriereGauche_FTempMilieu, 0xD558A0, kTyreLayout),
    Addr(FPneuArriereGauche_FTempInterieure, 0xD558A8, kTyreLayout),
    Addr(FPneuArriereGauche_FPression, 0xD558C0, kTyreLayout),
    Addr(FPneuArriereGauche_FDisqueFrein, 0xD55968, kTyreLayout),
    Addr(FPneuArriereDroit_FTempExterieure, 0xD55DB8, kTyreLayout),
    Addr(FPneuArriereDroit_FTempMilieu, 0xD55DB0, kTyreLayout),
    Addr(FPneuArriereDroit_FTempInterieure, 0xD55DA8, kTyreLayout),
    Addr(FPneuArriereDroit_FPression, 0xD55DD0, kTyreLayout),
    Addr(FPneuArriereDroit_FDisqueFrein, 0xD55E78, kTyreLayout),
    Base(FPhares, 0x9F64E0, Carried(FInCokpit)),
    Addr(FABS, 0xD56A02, Carried(FInCokpit)),
    Addr(FEau, 0xD58E2A, Carried(FInCokpit)),
    Addr(FEmbrayageLed, 0xD56A0E, Carried(FInCokpit)),
    Addr(FHuille, 0xD58DEA, Carried(FInCokpit)),
    Base(FLimiteur, 0x9F64EA, Carried(FInCokpit)),
    Addr(FStabilite, 0xD56A06, Carried(FInCokpit)),
    Addr(FTraction, 0xD569FE, Carried(FInCokpit)),
};

// Table B ("1, 1, 1, 14"). The cockpit flag lies after the tyre blocks, as in table A, so the driver aids
// are carried from it rather than fixed 4 bytes after it. The slot lies near the driver records here,
// so the player count is carried from the lap count.
constexpr AddressTableEntry kTableBEntries[] = {
    Addr(FInCokpit, 0xD6051A),
    Addr(FPneuAvantGauche_FTempExterieure, 0xD5E998),
    Addr(FPneuAvantGauche_FTempMilieu, 0xD5E9A0, kTyreLayout),
    Addr(FPneuAvantGauche_FTempInterieure, 0xD5E9A8, kTyreLayout),
    Addr(FPneuAvantGauche_FPression, 0xD5E9C0, kTyreLayout),
    Addr(FPneuAvantGauche_FDisqueFrein, 0xD5EA68, kTyreLayout),
    Addr(FPneuAvantGauche_FUsure, 0xD5E9E0, kTyreLayout),
    Addr(FPneuAvantDroit_FTempExterieure, 0xD5EEB8, kTyreLayout),
    Addr(FPneuAvantDroit_FTempMilieu, 0xD5EEB0, kTyreLayout),
    Addr(FPneuAvantDroit_FTempInterieure, 0xD5EEA8, kTyreLayout),
    Addr(FPneuAvantDroit_FPression, 0xD5EED0, kTyreLayout),
    Addr(FPneuAvantDroit_FDisqueFrein, 0xD5EF78, kTyreLayout),
    Addr(FPneuAvantDroit_FUsure, 0xD5EEF0, kTyreLayout),
    Addr(FPneuArriereGauche_FTempExterieure, 0xD5F3B8, kTyreLayout),
    Addr(FPneuArriereGauche_FTempMilieu, 0xD5F3C0, kTyreLayout),
    Addr(FPneuArriereGauche_FTempInterieure, 0xD5F3C8, kTyreLayout),
    Addr(FPneuArriereGauche_FPression, 0xD5F3E0, kTyreLayout),
    Addr(FPneuArriereGauche_FDisqueFrein, 0xD5F488, kTyreLayout),
    Addr(FPneuArriereGauche_FUsure, 0xD5F400, kTyreLayout),
    Addr(FPneuArriereDroit_FTempExterieure, 0xD5F8D8, kTyreLayout),
    Addr(FPneuArriereDroit_FTempMilieu, 0xD5F8D0, kTyreLayout),
    Addr(FPneuArriereDroit_FTempInterieure, 0xD5F8C8, kTyreLayout),
    Addr(FPneuArriereDroit_FPression, 0xD5F8F0, kTyreLayout),
    Addr(FPneuArriereDroit_FDisqueFrein, 0xD5F998, kTyreLayout),
    Addr(FPneuArriereDroit_FUsure, 0xD5F910, kTyreLayout),
    Addr(FABS, 0xD60522, Carried(FInCokpit)),
    Addr(FEau, 0xD6294A, Carried(FInCokpit)),
    Addr(FEmbrayageLed, 0xD6052E, Carried(FInCokpit)),
    Addr(FHuille, 0xD6290A, Carried(FInCokpit)),
    Addr(FStabilite, 0xD60526, Carried(FInCokpit)),
    Addr(FTraction, 0xD6051E, Carried(FInCokpit)),
    Addr(FFuel, 0xD606FA, Carried(FInCokpit)),
    Addr(FRapportVitesse, 0xD62AEA, Carried(FInCokpit)),
    Addr(FNombreJoueur, 0x8167FC, Carried(FNombreTour)),
    Addr(FTemperatureAir, 0x114E978),
    Addr(FTemperaturePiste, 0x114E974, Layout(FTemperatureAir)),
    Addr(FSlotJoueur, 0x9FB898),
    RecordLength(33632),
    Base(FPhares, 0x9FF8AE, Carried(FNombreTour)),
    Base(FLimiteur, 0x9FF8B8, Carried(FNombreTour)),
    Base(FNombreTour, 0xA04D7C),
    LapTiming(FTemps, 0xA04D90, Layout(FNombreTour)),
    ActiveOnly(FMoyenneFuel),
    Base(FSecteur, 0xA04D80, Layout(FNombreTour)),
};

// Table C ("1, 1, 1, 20").
constexpr AddressTableEntry kTableCEntries[] = {
    Addr(FInCokpit, 0xD5F278),
    Addr(FContact, 0xD6156A, Carried(FInCokpit)),
    Addr(FPneuAvantGauche_FVitesse, 0xD5F618, kTyreLayout),
    Addr(FPneuAvantGauche_FRayon, 0xD5F770, kTyreLayout),
    Addr(FPneuAvantGauche_FTempExterieure, 0xD5F918),
    Addr(FPneuAvantGauche_FTempMilieu, 0xD5F920, kTyreLayout),
    Addr(FPneuAvantGauche_FTempInterieure, 0xD5F928, kTyreLayout),
    Addr(FPneuAvantGauche_FPression, 0xD5F940, kTyreLayout),
    Addr(FPneuAvantGauche_FDisqueFrein, 0xD5F9E8, kTyreLayout),
    Addr(FPneuAvantGauche_FUsure, 0xD5F960, kTyreLayout),
    Addr(FPneuAvantDroit_FVitesse, 0xD5FB28, kTyreLayout),
    Addr(FPneuAvantDroit_FRayon, 0xD5FC80, kTyreLayout),
    Addr(FPneuAvantDroit_FTempExterieure, 0xD5FE38, kTyreLayout),
    Addr(FPneuAvantDroit_FTempMilieu, 0xD5FE30, kTyreLayout),
    Addr(FPneuAvantDroit_FTempInterieure, 0xD5FE28, kTyreLayout),
    Addr(FPneuAvantDroit_FPression, 0xD5FE50, kTyreLayout),
    Addr(FPneuAvantDroit_FDisqueFrein, 0xD5FEF8, kTyreLayout),
    Addr(FPneuAvantDroit_FUsure, 0xD5FE70, kTyreLayout),
    Addr(FPneuArriereGauche_FVitesse, 0xD60038, kTyreLayout),
    Addr(FPneuArriereGauche_FRayon, 0xD60190, kTyreLayout),
    Addr(FPneuArriereGauche_FTempExterieure, 0xD60338, kTyreLayout),
    Addr(FPneuArriereGauche_FTempMilieu, 0xD60340, kTyreLayout),
    Addr(FPneuArriereGauche_FTempInterieure, 0xD60348, kTyreLayout),
    Addr(FPneuArriereGauche_FPression, 0xD60360, kTyreLayout),
    Addr(FPneuArriereGauche_FDisqueFrein, 0xD60408, kTyreLayout),
    Addr(FPneuArriereGauche_FUsure, 0xD60380, kTyreLayout),
    Addr(FPneuArriereDroit_FVitesse, 0xD60548, kTyreLayout),
    Addr(FPneuArriereDroit_FRayon, 0xD606A0, kTyreLayout),
    Addr(FPneuArriereDroit_FTempExterieure, 0xD60858, kTyreLayout),
    Addr(FPneuArriereDroit_FTempMilieu, 0xD60850, kTyreLayout),
    Addr(FPneuArriereDroit_FTempInterieure, 0xD60848, kTyreLayout),
    Addr(FPneuArriereDroit_FPression, 0xD60870, kTyreLayout),
    Addr(FPneuArriereDroit_FDisqueFrein, 0xD60918, kTyreLayout),
    Addr(FPneuArriereDroit_FUsure, 0xD60890, kTyreLayout),
    Addr(FABS, 0xD5F280, Layout(FInCokpit)),
    Addr(FEau, 0xD616A8, Carried(FInCokpit)),
    Addr(FEmbrayageLed, 0xD5F28C, Layout(FInCokpit)),
    Addr(FHuille, 0xD61668, Carried(FInCokpit)),
    Addr(FStabilite, 0xD5F284, Layout(FInCokpit)),
    Addr(FTraction, 0xD5F27C, Layout(FInCokpit)),
    Addr(FFuel, 0xD5F458, Carried(FInCokpit)),
    Addr(FRapportVitesse, 0xD61848, Carried(FInCokpit)),
    Addr(FAcceleration, 0xD65BBC, Carried(FInCokpit)),
    Addr(FFreinage, 0xD65BE8, Carried(FInCokpit)),
    Addr(FEmbrayage, 0xD65CF0, Carried(FInCokpit)),
    Addr(FTemperatureAir, 0x114F924),
    Addr(FTemperaturePiste, 0x114F928, Layout(FTemperatureAir)),
    Addr(FLongueurCircuit, 0x9D3F3C, Carried(FNombreTour)),
    Addr(FSlotJoueur, 0x9FC818),
    RecordLength(33632),
    Base(FPhares, 0xA0082E, Carried(FNombreTour)),
    Base(FLimiteur, 0xA00838, Carried(FNombreTour)),
    Base(FInPIT, 0xA03A58, Carried(FNombreTour)),
    Base(FPitIn, 0xA03B26, Carried(FNombreTour)),
    Base(FNombreTour, 0xA05CFC),
    LapTiming(FTemps, 0xA05D10, Layout(FNombreTour)),
    ActiveOnly(FMoyenneFuel),
    Base(FSecteur, 0xA05D00, Layout(FNombreTour)),
    Base(FMotorRPM, 0xA04118, Carried(FNombreTour)),
    Base(FDistance, 0xA05D04, Layout(FNombreTour)),
    Base(FVitesse, 0xA061EC, Carried(FNombreTour)),
};

// Table D ("1, 2, 0, 1"). The one executable whose session timer does not follow the session type: it is
// carried from the lap count instead.
constexpr AddressTableEntry kTableDEntries[] = {
    Addr(FInCokpit, 0xD728B8),
    Addr(FContact, 0xD74BAA, Carried(FInCokpit)),
    Addr(FPneuAvantGauche_FVitesse, 0xD72C58, kTyreLayout),
    Addr(FPneuAvantGauche_FRayon, 0xD72DB0, kTyreLayout),
    Addr(FPneuAvantGauche_FTempExterieure, 0xD72F58),
    Addr(FPneuAvantGauche_FTempMilieu, 0xD72F60, kTyreLayout),
    Addr(FPneuAvantGauche_FTempInterieure, 0xD72F68, kTyreLayout),
    Addr(FPneuAvantGauche_FPression, 0xD72F80, kTyreLayout),
    Addr(FPneuAvantGauche_FDisqueFrein, 0xD73028, kTyreLayout),
    Addr(FPneuAvantGauche_FUsure, 0xD72FA0, kTyreLayout),
    Addr(FPneuAvantDroit_FVitesse, 0xD73168, kTyreLayout),
    Addr(FPneuAvantDroit_FRayon, 0xD732C0, kTyreLayout),
    Addr(FPneuAvantDroit_FTempExterieure, 0xD73478, kTyreLayout),
    Addr(FPneuAvantDroit_FTempMilieu, 0xD73470, kTyreLayout),
    Addr(FPneuAvantDroit_FTempInterieure, 0xD73468, kTyreLayout),
    Addr(FPneuAvantDroit_FPression, 0xD73490, kTyreLayout),
    Addr(FPneuAvantDroit_FDisqueFrein, 0xD73538, kTyreLayout),
    Addr(FPneuAvantDroit_FUsure, 0xD734B0, kTyreLayout),
    Addr(FPneuArriereGauche_FVitesse, 0xD73678, kTyreLayout),
    Addr(FPneuArriereGauche_FRayon, 0xD737D0, kTyreLayout),
    Addr(FPneuArriereGauche_FTempExterieure, 0xD73978, kTyreLayout),
    Addr(FPneuArriereGauche_FTempMilieu, 0xD73980, kTyreLayout),
    Addr(FPneuArriereGauche_FTempInterieure, 0xD73988, kTyreLayout),
    Addr(FPneuArriereGauche_FPression, 0xD739A0, kTyreLayout),
    Addr(FPneuArriereGauche_FDisqueFrein, 0xD73A48, kTyreLayout),
    Addr(FPneuArriereGauche_FUsure, 0xD739C0, kTyreLayout),
    Addr(FPneuArriereDroit_FVitesse, 0xD73B88, kTyreLayout),
    Addr(FPneuArriereDroit_FRayon, 0xD73CE0, kTyreLayout),
    Addr(FPneuArriereDroit_FTempExterieure, 0xD73E98, kTyreLayout),
    Addr(FPneuArriereDroit_FTempMilieu, 0xD73E90, kTyreLayout),
    Addr(FPneuArriereDroit_FTempInterieure, 0xD73E88, kTyreLayout),
    Addr(FPneuArriereDroit_FPression, 0xD73EB0, kTyreLayout),
    Addr(FPneuArriereDroit_FDisqueFrein, 0xD73F58, kTyreLayout),
    Addr(FPneuArriereDroit_FUsure, 0xD73ED0, kTyreLayout),
    Addr(FABS, 0xD728C0, Layout(FInCokpit)),
    Addr(FEau, 0xD74CE8, Carried(FInCokpit)),
    Addr(FEmbrayageLed, 0xD728CC, Layout(FInCokpit)),
    Addr(FHuille, 0xD74CA8, Carried(FInCokpit)),
    Addr(FStabilite, 0xD728C4, Layout(FInCokpit)),
    Addr(FTraction, 0xD728BC, Layout(FInCokpit)),
    Addr(FFuel, 0xD72A98, Carried(FInCokpit)),
    Addr(FRapportVitesse, 0xD74E88, Carried(FInCokpit)),
    Addr(FAcceleration, 0xD791FC, Carried(FInCokpit)),
    Addr(FFreinage, 0xD79228, Carried(FInCokpit)),
    Addr(FEmbrayage, 0xD79330, Carried(FInCokpit)),
    Addr(FNombreJoueur, 0x82ABA4, Carried(FSlotJoueur)),
    Addr(FTemperatureAir, 0x116383C),
    Addr(FTemperaturePiste, 0x1163840, Layout(FTemperatureAir)),
    Addr(FLongueurCircuit, 0x9E717C, Carried(FNombreTour)),
    Addr(FSlotJoueur, 0x8263CC),
    RecordLength(33640),
    Base(FPhares, 0xA13A6E, Carried(FNombreTour)),
    Base(FLimiteur, 0xA13A78, Carried(FNombreTour)),
    Base(FInPIT, 0xA16C98, Carried(FNombreTour)),
    Base(FPitIn, 0xA16D66, Carried(FNombreTour)),
    Base(FNombreTour, 0xA18F3C),
    LapTiming(FTemps, 0xA18F50, Layout(FNombreTour)),
    ActiveOnly(FMoyenneFuel),
    Base(FSecteur, 0xA18F40, Layout(FNombreTour)),
    Base(FMotorRPM, 0xA17358, Carried(FNombreTour)),
    Base(FDistance, 0xA18F44, Layout(FNombreTour)),
    Base(FVitesse, 0xA1942C, Carried(FNombreTour)),
    Base(FNomPilote, 0xA19880, Carried(FNombreTour)),
    Base(FPosition, 0xA18F64, Layout(FNombreTour)),
    WithReference(FUsureMoteur, 0xD74D10, Carried(FInCokpit)),
    Addr(FHumidityRainfall, 0x1163830, Layout(FTemperatureAir)),
    Addr(FHumidityOnPath, 0x1163834, Layout(FTemperatureAir)),
    Addr(FHumidityOffPath, 0x1163838, Layout(FTemperatureAir)),
    Addr(FPrevisionMeteo, 0x116382C, Layout(FTemperatureAir)),
    Session({0x90B748, Carried(FSlotJoueur)}, {0x90B564, Carried(FNombreTour)},
            {0x115A418, Carried(FTemperatureAir)}, {0x115A414, Carried(FTemperatureAir)},
            {0x115A410, Carried(FTemperatureAir)}),
};

// Table E ("1, 2, 0, 8"). Known besides the common anchors: the player count and the session type and
// timer.
constexpr AddressTableEntry kTableEEntries[] = {
    Addr(FInCokpit, 0xD74390),
    Addr(FContact, 0xD76682, Carried(FInCokpit)),
    Addr(FPneuAvantGauche_FVitesse, 0xD74730, kTyreLayout),
    Addr(FPneuAvantGauche_FRayon, 0xD74888, kTyreLayout),
    Addr(FPneuAvantGauche_FTempExterieure, 0xD74A30),
    Addr(FPneuAvantGauche_FTempMilieu, 0xD74A38, kTyreLayout),
    Addr(FPneuAvantGauche_FTempInterieure, 0xD74A40, kTyreLayout),
    Addr(FPneuAvantGauche_FPression, 0xD74A58, kTyreLayout),
    Addr(FPneuAvantGauche_FDisqueFrein, 0xD74B00, kTyreLayout),
    Addr(FPneuAvantGauche_FUsure, 0xD74A78, kTyreLayout),
    Addr(FPneuAvantDroit_FVitesse, 0xD74C40, kTyreLayout),
    Addr(FPneuAvantDroit_FRayon, 0xD74D98, kTyreLayout),
    Addr(FPneuAvantDroit_FTempExterieure, 0xD74F50, kTyreLayout),
    Addr(FPneuAvantDroit_FTempMilieu, 0xD74F48, kTyreLayout),
    Addr(FPneuAvantDroit_FTempInterieure, 0xD74F40, kTyreLayout),
    Addr(FPneuAvantDroit_FPression, 0xD74F68, kTyreLayout),
    Addr(FPneuAvantDroit_FDisqueFrein, 0xD75010, kTyreLayout),
    Addr(FPneuAvantDroit_FUsure, 0xD74F88, kTyreLayout),
    Addr(FPneuArriereGauche_FVitesse, 0xD75150, kTyreLayout),
    Addr(FPneuArriereGauche_FRayon, 0xD752A8, kTyreLayout),
    Addr(FPneuArriereGauche_FTempExterieure, 0xD75450, kTyreLayout),
    Addr(FPneuArriereGauche_FTempMilieu, 0xD75458, kTyreLayout),
    Addr(FPneuArriereGauche_FTempInterieure, 0xD75460, kTyreLayout),
    Addr(FPneuArriereGauche_FPression, 0xD75478, kTyreLayout),
    Addr(FPneuArriereGauche_FDisqueFrein, 0xD75520, kTyreLayout),
    Addr(FPneuArriereGauche_FUsure, 0xD75498, kTyreLayout),
    Addr(FPneuArriereDroit_FVitesse, 0xD75660, kTyreLayout),
    Addr(FPneuArriereDroit_FRayon, 0xD757B8, kTyreLayout),
    Addr(FPneuArriereDroit_FTempExterieure, 0xD75970, kTyreLayout),
    Addr(FPneuArriereDroit_FTempMilieu, 0xD75968, kTyreLayout),
    Addr(FPneuArriereDroit_FTempInterieure, 0xD75960, kTyreLayout),
    Addr(FPneuArriereDroit_FPression, 0xD75988, kTyreLayout),
    Addr(FPneuArriereDroit_FDisqueFrein, 0xD75A30, kTyreLayout),
    Addr(FPneuArriereDroit_FUsure, 0xD759A8, kTyreLayout),
    Addr(FABS, 0xD74398, Layout(FInCokpit)),
    Addr(FEau, 0xD767C0, Carried(FInCokpit)),
    Addr(FEmbrayageLed, 0xD743A4, Layout(FInCokpit)),
    Addr(FHuille, 0xD76780, Carried(FInCokpit)),
    Addr(FStabilite, 0xD7439C, Layout(FInCokpit)),
    Addr(FTraction, 0xD74394, Layout(FInCokpit)),
    Addr(FFuel, 0xD74570, Carried(FInCokpit)),
    Addr(FRapportVitesse, 0xD76960, Carried(FInCokpit)),
    Addr(FAcceleration, 0xD7ACD4, Carried(FInCokpit)),
    Addr(FFreinage, 0xD7AD00, Carried(FInCokpit)),
    Addr(FEmbrayage, 0xD7AE08, Carried(FInCokpit)),
    Addr(FNombreJoueur, 0x82BB9C),
    Addr(FTemperatureAir, 0x11655BC),
    Addr(FTemperaturePiste, 0x11655C0, Layout(FTemperatureAir)),
    Addr(FLongueurCircuit, 0x9E8294, Carried(FNombreTour)),
    Addr(FSlotJoueur, 0x8273CC),
    RecordLength(33664),
    Base(FPhares, 0xA14B86, Carried(FNombreTour)),
    Base(FLimiteur, 0xA14B90, Carried(FNombreTour)),
    Base(FInPIT, 0xA17DB0, Carried(FNombreTour)),
    Base(FPitIn, 0xA17E7E, Carried(FNombreTour)),
    Base(FNombreTour, 0xA1A054),
    LapTiming(FTemps, 0xA1A068, Layout(FNombreTour)),
    ActiveOnly(FMoyenneFuel),
    Base(FSecteur, 0xA1A058, Layout(FNombreTour)),
    Base(FMotorRPM, 0xA18470, Carried(FNombreTour)),
    Base(FDistance, 0xA1A05C, Layout(FNombreTour)),
    Base(FVitesse, 0xA1A544, Carried(FNombreTour)),
    Base(FNomPilote, 0xA1A998, Carried(FNombreTour)),
    Base(FPosition, 0xA1A07C, Layout(FNombreTour)),
    WithReference(FUsureMoteur, 0xD767E8, Carried(FInCokpit)),
    Addr(FHumidityRainfall, 0x11655B0, Layout(FTemperatureAir)),
    Addr(FHumidityOnPath, 0x11655B4, Layout(FTemperatureAir)),
    Addr(FHumidityOffPath, 0x11655B8, Layout(FTemperatureAir)),
    Addr(FPrevisionMeteo, 0x11655AC, Layout(FTemperatureAir)),
    Session({0x90C738}, {0x90C73C}, {0x115C198, Carried(FTemperatureAir)},
            {0x115C194, Carried(FTemperatureAir)}, {0x115C190, Carried(FTemperatureAir)}),
};

// Table F ("1, 2, 0, 13"). Table E but for the player count and the session type and timer.
constexpr AddressTableEntry kTableFEntries[] = {
    Addr(FInCokpit, 0xD74390),
    Addr(FContact, 0xD76682, Carried(FInCokpit)),
    Addr(FPneuAvantGauche_FVitesse, 0xD74730, kTyreLayout),
    Addr(FPneuAvantGauche_FRayon, 0xD74888, kTyreLayout),
    Addr(FPneuAvantGauche_FTempExterieure, 0xD74A30),
    Addr(FPneuAvantGauche_FTempMilieu, 0xD74A38, kTyreLayout),
    Addr(FPneuAvantGauche_FTempInterieure, 0xD74A40, kTyreLayout),
    Addr(FPneuAvantGauche_FPression, 0xD74A58, kTyreLayout),
    Addr(FPneuAvantGauche_FDisqueFrein, 0xD74B00, kTyreLayout),
    Addr(FPneuAvantGauche_FUsure, 0xD74A78, kTyreLayout),
    Addr(FPneuAvantDroit_FVitesse, 0xD74C40, kTyreLayout),
    Addr(FPneuAvantDroit_FRayon, 0xD74D98, kTyreLayout),
    Addr(FPneuAvantDroit_FTempExterieure, 0xD74F50, kTyreLayout),
    Addr(FPneuAvantDroit_FTempMilieu, 0xD74F48, kTyreLayout),
    Addr(FPneuAvantDroit_FTempInterieure, 0xD74F40, kTyreLayout),
    Addr(FPneuAvantDroit_FPression, 0xD74F68, kTyreLayout),
    Addr(FPneuAvantDroit_FDisqueFrein, 0xD75010, kTyreLayout),
    Addr(FPneuAvantDroit_FUsure, 0xD74F88, kTyreLayout),
    Addr(FPneuArriereGauche_FVitesse, 0xD75150, kTyreLayout),
    Addr(FPneuArriereGauche_FRayon, 0xD752A8, kTyreLayout),
    Addr(FPneuArriereGauche_FTempExterieure, 0xD75450, kTyreLayout),
    Addr(FPneuArriereGauche_FTempMilieu, 0xD75458, kTyreLayout),
    Addr(FPneuArriereGauche_FTempInterieure, 0xD75460, kTyreLayout),
    Addr(FPneuArriereGauche_FPression, 0xD75478, kTyreLayout),
    Addr(FPneuArriereGauche_FDisqueFrein, 0xD75520, kTyreLayout),
    Addr(FPneuArriereGauche_FUsure, 0xD75498, kTyreLayout),
    Addr(FPneuArriereDroit_FVitesse, 0xD75660, kTyreLayout),
    Addr(FPneuArriereDroit_FRayon, 0xD757B8, kTyreLayout),
    Addr(FPneuArriereDroit_FTempExterieure, 0xD75970, kTyreLayout),
    Addr(FPneuArriereDroit_FTempMilieu, 0xD75968, kTyreLayout),
    Addr(FPneuArriereDroit_FTempInterieure, 0xD75960, kTyreLayout),
    Addr(FPneuArriereDroit_FPression, 0xD75988, kTyreLayout),
    Addr(FPneuArriereDroit_FDisqueFrein, 0xD75A30, kTyreLayout),
    Addr(FPneuArriereDroit_FUsure, 0xD759A8, kTyreLayout),
    Addr(FABS, 0xD74398, Layout(FInCokpit)),
    Addr(FEau, 0xD767C0, Carried(FInCokpit)),
    Addr(FEmbrayageLed, 0xD743A4, Layout(FInCokpit)),
    Addr(FHuille, 0xD76780, Carried(FInCokpit)),
    Addr(FStabilite, 0xD7439C, Layout(FInCokpit)),
    Addr(FTraction, 0xD74394, Layout(FInCokpit)),
    Addr(FFuel, 0xD74570, Carried(FInCokpit)),
    Addr(FRapportVitesse, 0xD76960, Carried(FInCokpit)),
    Addr(FAcceleration, 0xD7ACD4, Carried(FInCokpit)),
    Addr(FFreinage, 0xD7AD00, Carried(FInCokpit)),
    Addr(FEmbrayage, 0xD7AE08, Carried(FInCokpit)),
    Addr(FNombreJoueur, 0x82BBA4),
    Addr(FTemperatureAir, 0x11655BC),
    Addr(FTemperaturePiste, 0x11655C0, Layout(FTemperatureAir)),
    Addr(FLongueurCircuit, 0x9E8294, Carried(FNombreTour)),
    Addr(FSlotJoueur, 0x8273CC),
    RecordLength(33664),
    Base(FPhares, 0xA14B86, Carried(FNombreTour)),
    Base(FLimiteur, 0xA14B90, Carried(FNombreTour)),
    Base(FInPIT, 0xA17DB0, Carried(FNombreTour)),
    Base(FPitIn, 0xA17E7E, Carried(FNombreTour)),
    Base(FNombreTour, 0xA1A054),
    LapTiming(FTemps, 0xA1A068, Layout(FNombreTour)),
    ActiveOnly(FMoyenneFuel),
    Base(FSecteur, 0xA1A058, Layout(FNombreTour)),
    Base(FMotorRPM, 0xA18470, Carried(FNombreTour)),
    Base(FDistance, 0xA1A05C, Layout(FNombreTour)),
    Base(FVitesse, 0xA1A544, Carried(FNombreTour)),
    Base(FNomPilote, 0xA1A998, Carried(FNombreTour)),
    Base(FPosition, 0xA1A07C, Layout(FNombreTour)),
    WithReference(FUsureMoteur, 0xD767E8, Carried(FInCokpit)),
    Addr(FHumidityRainfall, 0x11655B0, Layout(FTemperatureAir)),
    Addr(FHumidityOnPath, 0x11655B4, Layout(FTemperatureAir)),
    Addr(FHumidityOffPath, 0x11655B8, Layout(FTemperatureAir)),
    Addr(FPrevisionMeteo, 0x11655AC, Layout(FTemperatureAir)),
    Session({0x90C740}, {0x90C744}, {0x115C198, Carried(FTemperatureAir)},
            {0x115C194, Carried(FTemperatureAir)}, {0x115C190, Carried(FTemperatureAir)}),
};

// Table G ("1, 2, 1, 2" and "1, 2, 1, 5"). The slot lies near the driver records here, so the player
// count and the session type are carried from the lap count.
constexpr AddressTableEntry kTableGEntries[] = {
    Addr(FInCokpit, 0xD756D8),
    Addr(FContact, 0xD779CA, Carried(FInCokpit)),
    Addr(FPneuAvantGauche_FVitesse, 0xD75A78, kTyreLayout),
    Addr(FPneuAvantGauche_FRayon, 0xD75BD0, kTyreLayout),
    Addr(FPneuAvantGauche_FTempExterieure, 0xD75D78),
    Addr(FPneuAvantGauche_FTempMilieu, 0xD75D80, kTyreLayout),
    Addr(FPneuAvantGauche_FTempInterieure, 0xD75D88, kTyreLayout),
    Addr(FPneuAvantGauche_FPression, 0xD75DA0, kTyreLayout),
    Addr(FPneuAvantGauche_FDisqueFrein, 0xD75E48, kTyreLayout),
    Addr(FPneuAvantGauche_FUsure, 0xD75DC0, kTyreLayout),
    Addr(FPneuAvantDroit_FVitesse, 0xD75F88, kTyreLayout),
    Addr(FPneuAvantDroit_FRayon, 0xD760E0, kTyreLayout),
    Addr(FPneuAvantDroit_FTempExterieure, 0xD76298, kTyreLayout),
    Addr(FPneuAvantDroit_FTempMilieu, 0xD76290, kTyreLayout),
    Addr(FPneuAvantDroit_FTempInterieure, 0xD76288, kTyreLayout),
    Addr(FPneuAvantDroit_FPression, 0xD762B0, kTyreLayout),
    Addr(FPneuAvantDroit_FDisqueFrein, 0xD76358, kTyreLayout),
    Addr(FPneuAvantDroit_FUsure, 0xD762D0, kTyreLayout),
    Addr(FPneuArriereGauche_FVitesse, 0xD76498, kTyreLayout),
    Addr(FPneuArriereGauche_FRayon, 0xD765F0, kTyreLayout),
    Addr(FPneuArriereGauche_FTempExterieure, 0xD76798, kTyreLayout),
    Addr(FPneuArriereGauche_FTempMilieu, 0xD767A0, kTyreLayout),
    Addr(FPneuArriereGauche_FTempInterieure, 0xD767A8, kTyreLayout),
    Addr(FPneuArriereGauche_FPression, 0xD767C0, kTyreLayout),
    Addr(FPneuArriereGauche_FDisqueFrein, 0xD76868, kTyreLayout),
    Addr(FPneuArriereGauche_FUsure, 0xD767E0, kTyreLayout),
    Addr(FPneuArriereDroit_FVitesse, 0xD769A8, kTyreLayout),
    Addr(FPneuArriereDroit_FRayon, 0xD76B00, kTyreLayout),
    Addr(FPneuArriereDroit_FTempExterieure, 0xD76CB8, kTyreLayout),
    Addr(FPneuArriereDroit_FTempMilieu, 0xD76CB0, kTyreLayout),
    Addr(FPneuArriereDroit_FTempInterieure, 0xD76CA8, kTyreLayout),
    Addr(FPneuArriereDroit_FPression, 0xD76CD0, kTyreLayout),
    Addr(FPneuArriereDroit_FDisqueFrein, 0xD76D78, kTyreLayout),
    Addr(FPneuArriereDroit_FUsure, 0xD76CF0, kTyreLayout),
    Addr(FABS, 0xD756E0, Layout(FInCokpit)),
    Addr(FEau, 0xD77B08, Carried(FInCokpit)),
    Addr(FEmbrayageLed, 0xD756EC, Layout(FInCokpit)),
    Addr(FHuille, 0xD77AC8, Carried(FInCokpit)),
    Addr(FStabilite, 0xD756E4, Layout(FInCokpit)),
    Addr(FTraction, 0xD756DC, Layout(FInCokpit)),
    Addr(FFuel, 0xD758B8, Carried(FInCokpit)),
    Addr(FRapportVitesse, 0xD77CA8, Carried(FInCokpit)),
    Addr(FAcceleration, 0xD7C01C, Carried(FInCokpit)),
    Addr(FFreinage, 0xD7C048, Carried(FInCokpit)),
    Addr(FEmbrayage, 0xD7C150, Carried(FInCokpit)),
    Addr(FNombreJoueur, 0x82CAD4, Carried(FNombreTour)),
    Addr(FTemperatureAir, 0x116690C),
    Addr(FTemperaturePiste, 0x1166910, Layout(FTemperatureAir)),
    Addr(FLongueurCircuit, 0x9E9294, Carried(FNombreTour)),
    Addr(FSlotJoueur, 0xA11B58),
    RecordLength(33672),
    Base(FPhares, 0xA15B86, Carried(FNombreTour)),
    Base(FLimiteur, 0xA15B90, Carried(FNombreTour)),
    Base(FInPIT, 0xA18DB0, Carried(FNombreTour)),
    Base(FPitIn, 0xA18E7E, Carried(FNombreTour)),
    Base(FNombreTour, 0xA1B054),
    LapTiming(FTemps, 0xA1B068, Layout(FNombreTour)),
    ActiveOnly(FMoyenneFuel),
    Base(FSecteur, 0xA1B058, Layout(FNombreTour)),
    Base(FMotorRPM, 0xA19470, Carried(FNombreTour)),
    Base(FDistance, 0xA1B05C, Layout(FNombreTour)),
    Base(FVitesse, 0xA1B544, Carried(FNombreTour)),
    Base(FNomPilote, 0xA1B998, Carried(FNombreTour)),
    Base(FPosition, 0xA1B07C, Layout(FNombreTour)),
    WithReference(FUsureMoteur, 0xD77B30, Carried(FInCokpit)),
    Addr(FHumidityRainfall, 0x1166900, Layout(FTemperatureAir)),
    Addr(FHumidityOnPath, 0x1166904, Layout(FTemperatureAir)),
    Addr(FHumidityOffPath, 0x1166908, Layout(FTemperatureAir)),
    Addr(FPrevisionMeteo, 0x11668FC, Layout(FTemperatureAir)),
    Session({0x90D678, Carried(FNombreTour)}, {0x90D67C, Carried(FNombreTour)},
            {0x115D4E8, Carried(FTemperatureAir)}, {0x115D4E4, Carried(FTemperatureAir)},
            {0x115D4E0, Carried(FTemperatureAir)}),
};

// Table H ("1, 2, 1, 9"), known whole; every other table is measured against it.
constexpr AddressTableEntry kTableHEntries[] = {
    Addr(FInCokpit, 0xD7C170),
    Addr(FContact, 0xD7E462),
    Addr(FPneuAvantGauche_FVitesse, 0xD7C510),
    Addr(FPneuAvantGauche_FRayon, 0xD7C668),
    Addr(FPneuAvantGauche_FTempExterieure, 0xD7C810),
    Addr(FPneuAvantGauche_FTempMilieu, 0xD7C818),
    Addr(FPneuAvantGauche_FTempInterieure, 0xD7C820),
    Addr(FPneuAvantGauche_FPression, 0xD7C838),
    Addr(FPneuAvantGauche_FDisqueFrein, 0xD7C8E0),
    Addr(FPneuAvantGauche_FUsure, 0xD7C858),
    Addr(FPneuAvantDroit_FVitesse, 0xD7CA20),
    Addr(FPneuAvantDroit_FRayon, 0xD7CB78),
    Addr(FPneuAvantDroit_FTempExterieure, 0xD7CD30),
    Addr(FPneuAvantDroit_FTempMilieu, 0xD7CD28),
    Addr(FPneuAvantDroit_FTempInterieure, 0xD7CD20),
    Addr(FPneuAvantDroit_FPression, 0xD7CD48),
    Addr(FPneuAvantDroit_FDisqueFrein, 0xD7CDF0),
    Addr(FPneuAvantDroit_FUsure, 0xD7CD68),
    Addr(FPneuArriereGauche_FVitesse, 0xD7CF30),
    Addr(FPneuArriereGauche_FRayon, 0xD7D088),
    Addr(FPneuArriereGauche_FTempExterieure, 0xD7D230),
    Addr(FPneuArriereGauche_FTempMilieu, 0xD7D238),
    Addr(FPneuArriereGauche_FTempInterieure, 0xD7D240),
    Addr(FPneuArriereGauche_FPression, 0xD7D258),
    Addr(FPneuArriereGauche_FDisqueFrein, 0xD7D300),
    Addr(FPneuArriereGauche_FUsure, 0xD7D278),
    Addr(FPneuArriereDroit_FVitesse, 0xD7D440),
    Addr(FPneuArriereDroit_FRayon, 0xD7D598),
    Addr(FPneuArriereDroit_FTempExterieure, 0xD7D750),
    Addr(FPneuArriereDroit_FTempMilieu, 0xD7D748),
    Addr(FPneuArriereDroit_FTempInterieure, 0xD7D740),
    Addr(FPneuArriereDroit_FPression, 0xD7D768),
    Addr(FPneuArriereDroit_FDisqueFrein, 0xD7D810),
    Addr(FPneuArriereDroit_FUsure, 0xD7D788),
    Addr(FABS, 0xD7C178),
    Addr(FEau, 0xD7E5A0),
    Addr(FEmbrayageLed, 0xD7C184),
    Addr(FHuille, 0xD7E560),
    Addr(FStabilite, 0xD7C17C),
    Addr(FTraction, 0xD7C174),
    Addr(FFuel, 0xD7C350),
    Addr(FRapportVitesse, 0xD7E740),
    Addr(FAcceleration, 0xD82AB4),
    Addr(FFreinage, 0xD82AE0),
    Addr(FEmbrayage, 0xD82BE8),
    Addr(FNombreJoueur, 0x832BA4),
    Addr(FTemperatureAir, 0x116D514),
    Addr(FTemperaturePiste, 0x116D518),
    Addr(FLongueurCircuit, 0x9EF364),
    Addr(FSlotJoueur, 0x82E3CC),
    RecordLength(33696),
    Base(FPhares, 0xA1BC56),
    Base(FLimiteur, 0xA1BC60),
    Base(FInPIT, 0xA1EE80),
    Base(FPitIn, 0xA1EF4E),
    Base(FNombreTour, 0xA21124),
    LapTiming(FTemps, 0xA21138),
    ActiveOnly(FMoyenneFuel),
    Base(FSecteur, 0xA21128),
    Base(FMotorRPM, 0xA1F540),
    Base(FDistance, 0xA2112C),
    Base(FVitesse, 0xA21614),
    Base(FNomPilote, 0xA21A68),
    Base(FPosition, 0xA2114C),
    WithReference(FUsureMoteur, 0xD7E5C8),
    Addr(FHumidityRainfall, 0x116D508),
    Addr(FHumidityOnPath, 0x116D50C),
    Addr(FHumidityOffPath, 0x116D510),
    Addr(FPrevisionMeteo, 0x116D504),
    Session({0x913748}, {0x91374C}, {0x11640F0}, {0x11640EC}, {0x11640E8}),
};

// Table J ("1, 0, 0, 0"), another simulator of the family: longer tyre blocks and driver records.
constexpr AddressTableEntry kTableJEntries[] = {
    Addr(FInCokpit, 0xD19440),
    Addr(FContact, 0xD1B732, Carried(FInCokpit)),
    Addr(FPneuAvantGauche_FVitesse, 0xD197E0, kTyreLayout),
    Addr(FPneuAvantGauche_FRayon, 0xD19938, kTyreLayout),
    Addr(FPneuAvantGauche_FTempExterieure, 0xD19AE0),
    Addr(FPneuAvantGauche_FTempMilieu, 0xD19AE8, kTyreLayout),
    Addr(FPneuAvantGauche_FTempInterieure, 0xD19AF0, kTyreLayout),
    Addr(FPneuAvantGauche_FPression, 0xD19B08, kTyreLayout),
    Addr(FPneuAvantGauche_FDisqueFrein, 0xD19BB0, kTyreLayout),
    Addr(FPneuAvantGauche_FUsure, 0xD19B28, kTyreLayout),
    Addr(FPneuAvantDroit_FVitesse, 0xD19DB8, kTyreLayout),
    Addr(FPneuAvantDroit_FRayon, 0xD19F10, kTyreLayout),
    Addr(FPneuAvantDroit_FTempExterieure, 0xD1A0C8, kTyreLayout),
    Addr(FPneuAvantDroit_FTempMilieu, 0xD1A0C0, kTyreLayout),
    Addr(FPneuAvantDroit_FTempInterieure, 0xD1A0B8, kTyreLayout),
    Addr(FPneuAvantDroit_FPression, 0xD1A0E0, kTyreLayout),
    Addr(FPneuAvantDroit_FDisqueFrein, 0xD1A188, kTyreLayout),
    Addr(FPneuAvantDroit_FUsure, 0xD1A100, kTyreLayout),
    Addr(FPneuArriereGauche_FVitesse, 0xD1A390, kTyreLayout),
    Addr(FPneuArriereGauche_FRayon, 0xD1A4E8, kTyreLayout),
    Addr(FPneuArriereGauche_FTempExterieure, 0xD1A690, kTyreLayout),
    Addr(FPneuArriereGauche_FTempMilieu, 0xD1A698, kTyreLayout),
    Addr(FPneuArriereGauche_FTempInterieure, 0xD1A6A0, kTyreLayout),
    Addr(FPneuArriereGauche_FPression, 0xD1A6B8, kTyreLayout),
    Addr(FPneuArriereGauche_FDisqueFrein, 0xD1A760, kTyreLayout),
    Addr(FPneuArriereGauche_FUsure, 0xD1A6D8, kTyreLayout),
    Addr(FPneuArriereDroit_FVitesse, 0xD1A968, kTyreLayout),
    Addr(FPneuArriereDroit_FRayon, 0xD1AAC0, kTyreLayout),
    Addr(FPneuArriereDroit_FTempExterieure, 0xD1AC78, kTyreLayout),
    Addr(FPneuArriereDroit_FTempMilieu, 0xD1AC70, kTyreLayout),
    Addr(FPneuArriereDroit_FTempInterieure, 0xD1AC68, kTyreLayout),
    Addr(FPneuArriereDroit_FPression, 0xD1AC90, kTyreLayout),
    Addr(FPneuArriereDroit_FDisqueFrein, 0xD1AD38, kTyreLayout),
    Addr(FPneuArriereDroit_FUsure, 0xD1ACB0, kTyreLayout),
    Addr(FABS, 0xD19448, Layout(FInCokpit)),
    Addr(FEau, 0xD1B870, Carried(FInCokpit)),
    Addr(FEmbrayageLed, 0xD19454, Layout(FInCokpit)),
    Addr(FHuille, 0xD1B830, Carried(FInCokpit)),
    Addr(FStabilite, 0xD1944C, Layout(FInCokpit)),
    Addr(FTraction, 0xD19444, Layout(FInCokpit)),
    Addr(FFuel, 0xD19620, Carried(FInCokpit)),
    Addr(FRapportVitesse, 0xD1BA10, Carried(FInCokpit)),
    Addr(FAcceleration, 0xD1FD84, Carried(FInCokpit)),
    Addr(FFreinage, 0xD1FDB0, Carried(FInCokpit)),
    Addr(FEmbrayage, 0xD1FEB8, Carried(FInCokpit)),
    Addr(FNombreJoueur, 0x7C1A4C, Carried(FNombreTour)),
    Addr(FTemperatureAir, 0x110F944),
    Addr(FTemperaturePiste, 0x110F948, Layout(FTemperatureAir)),
    Addr(FLongueurCircuit, 0x97E20C, Carried(FNombreTour)),
    Addr(FSlotJoueur, 0x99F4E4),
    RecordLength(34264),
    Base(FPhares, 0x9AAAFE, Carried(FNombreTour)),
    Base(FLimiteur, 0x9AAB08, Carried(FNombreTour)),
    Base(FInPIT, 0x9ADD28, Carried(FNombreTour)),
    Base(FPitIn, 0x9ADDF6, Carried(FNombreTour)),
    Base(FNombreTour, 0x9AFFCC),
    LapTiming(FTemps, 0x9AFFE0, Layout(FNombreTour)),
    ActiveOnly(FMoyenneFuel),
    Base(FSecteur, 0x9AFFD0, Layout(FNombreTour)),
    Base(FMotorRPM, 0x9AE3E8, Carried(FNombreTour)),
    Base(FDistance, 0x9AFFD4, Layout(FNombreTour)),
    Base(FVitesse, 0x9B04BC, Carried(FNombreTour)),
    Base(FNomPilote, 0x9B0910, Carried(FNombreTour)),
    Base(FPosition, 0x9AFFF4, Layout(FNombreTour)),
    WithReference(FUsureMoteur, 0xD1B898, Carried(FInCokpit)),
    Addr(FHumidityRainfall, 0x110F938, Layout(FTemperatureAir)),
    Addr(FHumidityOnPath, 0x110F93C, Layout(FTemperatureAir)),
    Addr(FHumidityOffPath, 0x110F940, Layout(FTemperatureAir)),
    Addr(FPrevisionMeteo, 0x110F934, Layout(FTemperatureAir)),
    Session({0x8A25F0, Carried(FNombreTour)}, {0x8A25F4, Carried(FNombreTour)},
            {0x1106520, Carried(FTemperatureAir)}, {0x110651C, Carried(FTemperatureAir)},
            {0x1106518, Carried(FTemperatureAir)}),
};

constexpr AddressTable kTableA{'A', kTableAEntries};
constexpr AddressTable kTableB{'B', kTableBEntries};
constexpr AddressTable kTableC{'C', kTableCEntries};
constexpr AddressTable kTableD{'D', kTableDEntries};
constexpr AddressTable kTableE{'E', kTableEEntries};
constexpr AddressTable kTableF{'F', kTableFEntries};
constexpr AddressTable kTableG{'G', kTableGEntries};
constexpr AddressTable kTableH{'H', kTableHEntries};
constexpr AddressTable kTableJ{'J', kTableJEntries};

constexpr const AddressTable* kTables[] = {&kTableA, &kTableB, &kTableC, &kTableD, &kTableE,
                                           &kTableF, &kTableG, &kTableH, &kTableJ};

constexpr std::string_view kRace07[] = {"RACE 07"};
constexpr std::string_view kUpToGtrEvolution[] = {"RACE 07", "GTR Evolution"};
constexpr std::string_view kUpToStcc[] = {"RACE 07", "GTR Evolution", "STCC - The Game"};
constexpr std::string_view kUpToRaceOn[] = {"RACE 07", "GTR Evolution", "STCC - The Game", "RACE On"};
constexpr std::string_view kRealTimeRacing[] = {"Real-Time Racing"};

// clang-format off
constexpr AddressTableRule kRules[] = {
    {"1, 1, 1, 2",  kRace07,           &kTableA},
    {"1, 1, 1, 14", kUpToGtrEvolution, &kTableB},
    {"1, 1, 1, 20", kUpToStcc,         &kTableC},
    {"1, 2, 0, 1",  kUpToStcc,         &kTableD},
    {"1, 2, 0, 8",  kUpToStcc,         &kTableE},
    {"1, 2, 0, 13", kUpToRaceOn,       &kTableF},
    {"1, 2, 1, 2",  kUpToRaceOn,       &kTableG},
    {"1, 2, 1, 5",  kUpToRaceOn,       &kTableG},
    {"1, 2, 1, 9",  kUpToRaceOn,       &kTableH},
    {"1, 0, 0, 0",  kRealTimeRacing,   &kTableJ},
};
// clang-format on

}  // namespace

std::span<const AddressTableRule> AddressTableRules() {
  return kRules;
}

std::span<const AddressTable* const> AddressTables() {
  return kTables;
}

const AddressTable* AddressTableNamed(char name) {
  for (const AddressTable* table : kTables) {
    if (table->name == name) {
      return table;
    }
  }
  return nullptr;
}

}  // namespace velmora

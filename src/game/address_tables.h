#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

// Where each datum lies in the memory of each supported simulator executable. Plain data with no tie to
// the game model, so that the dashboard attaches with it and velmora-sim lays out its memory from it.
namespace velmora {

// The members of the game model that a table can address, named as in the model; a tyre's datum is
// the tyre's member and its own, joined by '_' here and by '.' in `MemberName`.
enum class Member : std::uint8_t {
  None,  // no member: the anchor of an address that is given outright
  FInCokpit,
  FContact,
  FPneuAvantGauche_FVitesse,
  FPneuAvantGauche_FRayon,
  FPneuAvantGauche_FTempExterieure,
  FPneuAvantGauche_FTempMilieu,
  FPneuAvantGauche_FTempInterieure,
  FPneuAvantGauche_FPression,
  FPneuAvantGauche_FDisqueFrein,
  FPneuAvantGauche_FUsure,
  FPneuAvantDroit_FVitesse,
  FPneuAvantDroit_FRayon,
  FPneuAvantDroit_FTempExterieure,
  FPneuAvantDroit_FTempMilieu,
  FPneuAvantDroit_FTempInterieure,
  FPneuAvantDroit_FPression,
  FPneuAvantDroit_FDisqueFrein,
  FPneuAvantDroit_FUsure,
  FPneuArriereGauche_FVitesse,
  FPneuArriereGauche_FRayon,
  FPneuArriereGauche_FTempExterieure,
  FPneuArriereGauche_FTempMilieu,
  FPneuArriereGauche_FTempInterieure,
  FPneuArriereGauche_FPression,
  FPneuArriereGauche_FDisqueFrein,
  FPneuArriereGauche_FUsure,
  FPneuArriereDroit_FVitesse,
  FPneuArriereDroit_FRayon,
  FPneuArriereDroit_FTempExterieure,
  FPneuArriereDroit_FTempMilieu,
  FPneuArriereDroit_FTempInterieure,
  FPneuArriereDroit_FPression,
  FPneuArriereDroit_FDisqueFrein,
  FPneuArriereDroit_FUsure,
  FABS,
  FEau,
  FEmbrayageLed,
  FHuille,
  FStabilite,
  FTraction,
  FFuel,
  FRapportVitesse,
  FAcceleration,
  FFreinage,
  FEmbrayage,
  FNombreJoueur,
  FTemperatureAir,
  FTemperaturePiste,
  FLongueurCircuit,
  FSlotJoueur,
  FRecLongueur,
  FPhares,
  FLimiteur,
  FInPIT,
  FPitIn,
  FNombreTour,
  FTemps,
  FMoyenneFuel,
  FSecteur,
  FMotorRPM,
  FDistance,
  FVitesse,
  FNomPilote,
  FPosition,
  FUsureMoteur,
  FHumidityRainfall,
  FHumidityOnPath,
  FHumidityOffPath,
  FPrevisionMeteo,
  FSession,
  FNomVoiture,
};

inline constexpr std::size_t kMemberCount = static_cast<std::size_t>(Member::FNomVoiture) + 1;

// "FEau", "FPneuAvantGauche.FTempExterieure"; empty for `Member::None`.
std::string_view MemberName(Member member);

// What the simulator keeps at a member's address (the session keeps several kinds, see
// `kSessionDatums`; the record length and the fuel average read nothing).
enum class Datum : std::uint8_t { None, Byte, SmallInt, Integer, Single, Double, Text };
Datum MemberDatum(Member member);
// Bytes a datum takes; a text counts its first byte, its length being its own.
std::uint32_t DatumSize(Datum datum);

enum class EntryKind : std::uint8_t {
  Address,               // Affectation(address, true)
  BaseAddress,           // per-driver value: the datum's place in the record of driver slot 0
  AddressWithReference,  // the engine wear, whose reference lies kEngineWearReferenceDelta further
  LapTiming,             // the lap timing's base address, with the fixed kLapTimingDeltas
  Session,               // five addresses, in the order of `SessionPlace`
  ActiveOnly,            // no address: the member is only switched on
  RecordLength,          // the length in bytes of one driver record
};

inline constexpr std::uint32_t kEngineWearReferenceDelta = 8;
// Last lap sector 1 and 2, best lap, best lap sector 1 and 2, from the lap timing base address.
inline constexpr std::array<std::uint32_t, 5> kLapTimingDeltas{4, 8, 188, 192, 196};

enum class SessionPlace : std::uint8_t { Type, Timer, Temps, TempsGreenFlag, NbTours };
inline constexpr std::array<Datum, 5> kSessionDatums{Datum::Integer, Datum::Single, Datum::Single,
                                                     Datum::Single, Datum::SmallInt};

// How an address is known. Only table H is known whole; for the other executables a few addresses are
// known, the layout the executables share fixes more, and the rest carry table H's distance from a known
// address of the same region of memory. Those are the ones to check first when a simulator shows
// nonsense.
enum class Origin : std::uint8_t {
  Given,         // known for this executable
  Layout,        // fixed by the shared layout relative to `anchor`
  Extrapolated,  // table H's distance from `anchor`, carried over
};

struct Place {
  std::uint32_t address = 0;
  Origin origin = Origin::Given;
  Member anchor = Member::None;
  friend bool operator==(const Place&, const Place&) = default;
};

struct AddressTableEntry {
  Member member = Member::None;
  EntryKind kind = EntryKind::Address;
  // Five for the session, none for ActiveOnly and RecordLength, one for every other kind.
  std::array<Place, 5> places{};
  std::uint32_t record_length = 0;  // RecordLength only

  std::size_t PlaceCount() const;
  std::uint32_t Address() const { return places[0].address; }
  // The least certain origin among the entry's addresses; Given for entries without one.
  Origin WeakestOrigin() const;
  friend bool operator==(const AddressTableEntry&, const AddressTableEntry&) = default;
};

struct AddressTable {
  char name;  // 'A' ... 'J'
  std::span<const AddressTableEntry> entries;

  // The table's entry for the member, or null when the table does not list it.
  const AddressTableEntry* Find(Member member) const;
};

struct AddressTableRule {
  std::string_view version;
  std::span<const std::string_view> titles;
  const AddressTable* table;
};

// The ten rules, in the order they are tried.
std::span<const AddressTableRule> AddressTableRules();
// Tables A to J, each once.
std::span<const AddressTable* const> AddressTables();
// The table of that letter ('A' to 'J'), or null.
const AddressTable* AddressTableNamed(char name);

// The first rule whose version text and one of whose titles equal the given ones, ignoring the case of
// ASCII letters and nothing else: no trimming, no reading of numbers. Null when no rule accepts the pair.
const AddressTableRule* FindAddressTableRule(std::string_view title, std::string_view version);
const AddressTable* FindAddressTable(std::string_view title, std::string_view version);
// The table of the first rule with that version text, whatever the title: an executable's memory layout.
const AddressTable* FindAddressTableForVersion(std::string_view version);

}  // namespace velmora

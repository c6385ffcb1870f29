#include "sim_layout.h"

#include <algorithm>
#include <array>

namespace velmora::sim {

namespace {

using enum Member;

template <auto Field>
FieldRef OfPlayer(SimState& state, std::size_t /*slot*/) {
  return &(state.player.*Field);
}

template <std::size_t Wheel, auto Field>
FieldRef OfTyre(SimState& state, std::size_t /*slot*/) {
  return &(state.player.tyres[Wheel].*Field);
}

template <auto Field>
FieldRef OfDriver(SimState& state, std::size_t slot) {
  return &(state.drivers[slot].*Field);
}

template <auto Field>
FieldRef OfSession(SimState& state, std::size_t /*slot*/) {
  return &(state.session.*Field);
}

template <auto Field>
FieldRef OfWeather(SimState& state, std::size_t /*slot*/) {
  return &(state.weather.*Field);
}

template <auto Field>
FieldRef OfState(SimState& state, std::size_t /*slot*/) {
  return &(state.*Field);
}

// The eight data of one wheel, in the order of the members.
template <std::size_t Wheel>
constexpr std::array<LocateField, 8> kWheel = {
    OfTyre<Wheel, &TyreState::wheel_speed_rad_s>, OfTyre<Wheel, &TyreState::radius_m>,
    OfTyre<Wheel, &TyreState::temp_outer_k>,      OfTyre<Wheel, &TyreState::temp_middle_k>,
    OfTyre<Wheel, &TyreState::temp_inner_k>,      OfTyre<Wheel, &TyreState::pressure_kpa>,
    OfTyre<Wheel, &TyreState::brake_disc_k>,      OfTyre<Wheel, &TyreState::wear>};
constexpr std::array<std::array<LocateField, 8>, 4> kTyres = {kWheel<0>, kWheel<1>, kWheel<2>, kWheel<3>};

LocateField FieldOf(Member member) {
  const auto tyre = static_cast<int>(member) - static_cast<int>(FPneuAvantGauche_FVitesse);
  if (tyre >= 0 && tyre < 32) {
    return kTyres[static_cast<std::size_t>(tyre / 8)][static_cast<std::size_t>(tyre % 8)];
  }
  switch (member) {
    case FInCokpit:
      return OfPlayer<&PlayerState::in_cockpit>;
    case FContact:
      return OfPlayer<&PlayerState::ignition>;
    case FABS:
      return OfPlayer<&PlayerState::abs>;
    case FEau:
      return OfPlayer<&PlayerState::water_k>;
    case FEmbrayageLed:
      return OfPlayer<&PlayerState::auto_clutch>;
    case FHuille:
      return OfPlayer<&PlayerState::oil_k>;
    case FStabilite:
      return OfPlayer<&PlayerState::stability>;
    case FTraction:
      return OfPlayer<&PlayerState::traction_control>;
    case FFuel:
      return OfPlayer<&PlayerState::fuel_l>;
    case FRapportVitesse:
      return OfPlayer<&PlayerState::gear>;
    case FAcceleration:
      return OfPlayer<&PlayerState::throttle>;
    case FFreinage:
      return OfPlayer<&PlayerState::brake>;
    case FEmbrayage:
      return OfPlayer<&PlayerState::clutch>;
    case FUsureMoteur:
      return OfPlayer<&PlayerState::engine_life>;
    case FNombreJoueur:
      return OfState<&SimState::driver_count>;
    case FSlotJoueur:
      return OfState<&SimState::player_slot>;
    case FLongueurCircuit:
      return OfState<&SimState::track_length_m>;
    case FTemperatureAir:
      return OfWeather<&WeatherState::air_c>;
    case FTemperaturePiste:
      return OfWeather<&WeatherState::track_c>;
    case FHumidityRainfall:
      return OfWeather<&WeatherState::rainfall>;
    case FHumidityOnPath:
      return OfWeather<&WeatherState::wet_on_path>;
    case FHumidityOffPath:
      return OfWeather<&WeatherState::wet_off_path>;
    case FPrevisionMeteo:
      return OfWeather<&WeatherState::forecast>;
    case FPhares:
      return OfDriver<&DriverState::headlights>;
    case FLimiteur:
      return OfDriver<&DriverState::limiter>;
    case FInPIT:
      return OfDriver<&DriverState::in_pit>;
    case FPitIn:
      return OfDriver<&DriverState::pit_in>;
    case FNombreTour:
      return OfDriver<&DriverState::laps>;
    case FSecteur:
      return OfDriver<&DriverState::sector>;
    case FMotorRPM:
      return OfDriver<&DriverState::engine_rpm>;
    case FDistance:
      return OfDriver<&DriverState::distance_m>;
    case FVitesse:
      return OfDriver<&DriverState::speed_m_s>;
    case FNomPilote:
      return OfDriver<&DriverState::name>;
    case FPosition:
      return OfDriver<&DriverState::position>;
    case FNomVoiture:
      return OfDriver<&DriverState::car>;
    default:
      return nullptr;
  }
}

struct Part {
  const char* suffix;
  Datum type;
  std::uint32_t offset;
  LocateField locate;
};

// The lap timing block of a driver record: last lap, its two intermediates, best lap and its two.
const std::array<Part, 6> kLapTiming = {{
    {"DernierTour", Datum::Single, 0, OfDriver<&DriverState::last_lap_s>},
    {"DernierTourSecteur1", Datum::Single, kLapTimingDeltas[0], OfDriver<&DriverState::last_int1_s>},
    {"DernierTourSecteur2", Datum::Single, kLapTimingDeltas[1], OfDriver<&DriverState::last_int2_s>},
    {"MeilleurTour", Datum::Single, kLapTimingDeltas[2], OfDriver<&DriverState::best_lap_s>},
    {"MeilleurTourSecteur1", Datum::Single, kLapTimingDeltas[3], OfDriver<&DriverState::best_int1_s>},
    {"MeilleurTourSecteur2", Datum::Single, kLapTimingDeltas[4], OfDriver<&DriverState::best_int2_s>},
}};

// The session's five data, in the order of `SessionPlace`; each has its own address.
const std::array<Part, 5> kSession = {{
    {"TypeSession", kSessionDatums[0], 0, OfSession<&SessionState::type>},
    {"TimerSession", kSessionDatums[1], 0, OfSession<&SessionState::elapsed_s>},
    {"TempsSession", kSessionDatums[2], 0, OfSession<&SessionState::length_s>},
    {"TempsSessionGreenFlag", kSessionDatums[3], 0, OfSession<&SessionState::green_flag_s>},
    {"NbToursSession", kSessionDatums[4], 0, OfSession<&SessionState::laps>},
}};

constexpr const char* kEngineWearReference = "Reference";

std::string Joined(std::string_view member, const char* part) {
  std::string name(member);
  name += '.';
  name += part;
  return name;
}

}  // namespace

SimLayout::SimLayout(const AddressTable& table, int records) : table_name_(table.name), records_(records) {
  if (const AddressTableEntry* length = table.Find(FRecLongueur)) {
    record_length_ = length->record_length;
  }
  if (record_length_ == 0) {
    records_ = 1;
  }
  for (const AddressTableEntry& entry : table.entries) {
    const std::string_view name = MemberName(entry.member);
    switch (entry.kind) {
      case EntryKind::Address:
        Add(std::string(name), MemberDatum(entry.member), entry.Address(), false, FieldOf(entry.member));
        break;
      case EntryKind::BaseAddress:
        Add(std::string(name), MemberDatum(entry.member), entry.Address(), true, FieldOf(entry.member));
        break;
      case EntryKind::AddressWithReference:
        Add(std::string(name), Datum::Double, entry.Address(), false, FieldOf(entry.member));
        Add(Joined(name, kEngineWearReference), Datum::Double, entry.Address() + kEngineWearReferenceDelta,
            false, OfPlayer<&PlayerState::engine_life_reference>);
        break;
      case EntryKind::LapTiming:
        for (const Part& part : kLapTiming) {
          Add(Joined(name, part.suffix), part.type, entry.Address() + part.offset, true, part.locate);
        }
        break;
      case EntryKind::Session:
        for (std::size_t i = 0; i < kSession.size(); ++i) {
          Add(Joined(name, kSession[i].suffix), kSession[i].type, entry.places[i].address, false,
              kSession[i].locate);
        }
        break;
      case EntryKind::ActiveOnly:
      case EntryKind::RecordLength:
        break;
    }
  }
}

void SimLayout::Add(std::string name, Datum type, std::uint32_t address, bool per_driver,
                    LocateField locate) {
  const std::uint32_t last_record =
      per_driver ? static_cast<std::uint32_t>(records_ - 1) * record_length_ : 0;
  const std::uint32_t end = address + last_record + SizeOf(type);
  begin_ = datums_.empty() ? address : std::min(begin_, address);
  end_ = std::max(end_, end);
  datums_.push_back({std::move(name), type, address, per_driver, locate});
}

const SimDatum* SimLayout::Find(std::string_view name) const {
  const auto found = std::ranges::find(datums_, name, &SimDatum::name);
  return found == datums_.end() ? nullptr : &*found;
}

std::uint32_t SimLayout::AddressOf(const SimDatum& datum, int slot) const {
  return datum.per_driver ? datum.address + static_cast<std::uint32_t>(slot) * record_length_ : datum.address;
}

std::uint32_t SimLayout::SizeOf(Datum type) {
  return type == Datum::Text ? kTextCapacity : DatumSize(type);
}

bool IsKnownDatumName(std::string_view name) {
  for (const AddressTable* table : AddressTables()) {
    if (SimLayout(*table, 1).Find(name) != nullptr) {
      return true;
    }
  }
  return false;
}

}  // namespace velmora::sim

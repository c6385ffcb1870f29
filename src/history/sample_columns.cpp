#include "history/sample_columns.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <stdexcept>

namespace velmora::history {
namespace {

constexpr double kPascalPerKilopascal = 1000.0;

// Resolved while compiling: a misspelt field name does not build.
consteval TGameDataField Field(std::string_view name) {
  for (const TGameDataField& field : kGameDataFields) {
    if (field.name == name) {
      return field;
    }
  }
  throw std::logic_error("no such record field");
}

constexpr std::array kColumns{
    SampleColumn{"fl_tread_outer_k", "K", Field("PneuAvantGaucheTempExterieure")},
    SampleColumn{"fl_tread_middle_k", "K", Field("PneuAvantGaucheTempMilieu")},
    SampleColumn{"fl_tread_inner_k", "K", Field("PneuAvantGaucheTempInterieure")},
    SampleColumn{"fr_tread_outer_k", "K", Field("PneuAvantDroitTempExterieure")},
    SampleColumn{"fr_tread_middle_k", "K", Field("PneuAvantDroitTempMilieu")},
    SampleColumn{"fr_tread_inner_k", "K", Field("PneuAvantDroitTempInterieure")},
    SampleColumn{"rl_tread_outer_k", "K", Field("PneuArriereGaucheTempExterieure")},
    SampleColumn{"rl_tread_middle_k", "K", Field("PneuArriereGaucheTempMilieu")},
    SampleColumn{"rl_tread_inner_k", "K", Field("PneuArriereGaucheTempInterieure")},
    SampleColumn{"rr_tread_outer_k", "K", Field("PneuArriereDroitTempExterieure")},
    SampleColumn{"rr_tread_middle_k", "K", Field("PneuArriereDroitTempMilieu")},
    SampleColumn{"rr_tread_inner_k", "K", Field("PneuArriereDroitTempInterieure")},
    SampleColumn{"fl_pressure_pa", "Pa", Field("PneuAvantGauchePression"), kPascalPerKilopascal},
    SampleColumn{"fr_pressure_pa", "Pa", Field("PneuAvantDroitPression"), kPascalPerKilopascal},
    SampleColumn{"rl_pressure_pa", "Pa", Field("PneuArriereGauchePression"), kPascalPerKilopascal},
    SampleColumn{"rr_pressure_pa", "Pa", Field("PneuArriereDroitPression"), kPascalPerKilopascal},
    SampleColumn{"fl_brake_k", "K", Field("PneuAvantGaucheDisqueFrein")},
    SampleColumn{"fr_brake_k", "K", Field("PneuAvantDroitDisqueFrein")},
    SampleColumn{"rl_brake_k", "K", Field("PneuArriereGaucheDisqueFrein")},
    SampleColumn{"rr_brake_k", "K", Field("PneuArriereDroitDisqueFrein")},
    SampleColumn{"fl_wear", "fraction", Field("PneuAvantGaucheUsure")},
    SampleColumn{"fr_wear", "fraction", Field("PneuAvantDroitUsure")},
    SampleColumn{"rl_wear", "fraction", Field("PneuArriereGaucheUsure")},
    SampleColumn{"rr_wear", "fraction", Field("PneuArriereDroitUsure")},
    SampleColumn{"fl_radius_m", "m", Field("PneuAvantGaucheRayon")},
    SampleColumn{"fr_radius_m", "m", Field("PneuAvantDroitRayon")},
    SampleColumn{"rl_radius_m", "m", Field("PneuArriereGaucheRayon")},
    SampleColumn{"rr_radius_m", "m", Field("PneuArriereDroitRayon")},
    SampleColumn{"fl_wheel_rad_s", "rad/s", Field("PneuAvantGaucheVitesse")},
    SampleColumn{"fr_wheel_rad_s", "rad/s", Field("PneuAvantDroitVitesse")},
    SampleColumn{"rl_wheel_rad_s", "rad/s", Field("PneuArriereGaucheVitesse")},
    SampleColumn{"rr_wheel_rad_s", "rad/s", Field("PneuArriereDroitVitesse")},
    SampleColumn{"water_k", "K", Field("Eau")},
    SampleColumn{"oil_k", "K", Field("Huille")},
    SampleColumn{"engine_wear", "the simulator's figure", Field("UsureMoteur")},
    SampleColumn{"engine_wear_reference", "the simulator's figure", Field("UsureMoteurReference")},
    SampleColumn{"engine_rad_s", "rad/s", Field("MotorRPM")},
    SampleColumn{"fuel_l", "L", Field("Fuel")},
    SampleColumn{"speed_m_s", "m/s", Field("Vitesse")},
    SampleColumn{"gear", "-1 reverse, 0 neutral", Field("RapportVitesse")},
    SampleColumn{"throttle", "fraction", Field("Acceleration")},
    SampleColumn{"brake", "fraction", Field("Freinage")},
    SampleColumn{"clutch", "fraction", Field("Embrayage")},
    SampleColumn{"traction_control", "level 0 to 2", Field("Traction")},
    SampleColumn{"abs", "level 0 to 2", Field("ABS")},
    SampleColumn{"stability_control", "lamp", Field("Stabilite")},
    SampleColumn{"clutch_aid", "lamp", Field("EmbrayageLed")},
    SampleColumn{"pit_limiter", "lamp", Field("Limiteur")},
    SampleColumn{"headlights", "lamp", Field("Phares")},
    SampleColumn{"pit_request", "lamp", Field("PitIn")},
    SampleColumn{"in_pit_lane", "lamp", Field("InPit")},
    SampleColumn{"ignition", "lamp", Field("Contact")},
    SampleColumn{"in_cockpit", "0 or 1", Field("InCockpit")},
    SampleColumn{"lap_count", "laps", Field("NombreTour")},
    SampleColumn{"sector", "1 to 3", Field("Secteur")},
    SampleColumn{"position", "place", Field("Position")},
    SampleColumn{"lap_distance_m", "m", Field("Distance")},
    SampleColumn{"track_length_m", "m", Field("LongueurCircuit")},
    SampleColumn{"drivers", "cars", Field("NombreJoueur")},
    SampleColumn{"last_lap_s", "s", Field("TempsDernierTour")},
    SampleColumn{"last_lap_intermediate1_s", "s", Field("TempsDernierTourSecteur1")},
    SampleColumn{"last_lap_intermediate2_s", "s", Field("TempsDernierTourSecteur2")},
    SampleColumn{"best_lap_s", "s", Field("TempsMeilleurTour")},
    SampleColumn{"best_lap_intermediate1_s", "s", Field("TempsMeilleurTourSecteur1")},
    SampleColumn{"best_lap_intermediate2_s", "s", Field("TempsMeilleurTourSecteur2")},
    SampleColumn{"session_type", "the simulator's code", Field("TypeSession")},
    SampleColumn{"session_clock_s", "s", Field("TimerSession")},
    SampleColumn{"session_length_s", "s", Field("TempsSession")},
    SampleColumn{"session_green_flag_s", "s", Field("TempsSessionGreenFlag")},
    SampleColumn{"session_laps", "laps", Field("NbDeToursSession")},
    SampleColumn{"air_k", "K", Field("TemperatureAir")},
    SampleColumn{"track_k", "K", Field("TemperaturePiste")},
    SampleColumn{"rain", "fraction", Field("HumidityRainfall")},
    SampleColumn{"wetness_on_path", "fraction", Field("HumidityOnPath")},
    SampleColumn{"wetness_off_path", "fraction", Field("HumidityOffPath")},
    SampleColumn{"forecast", "fraction", Field("PrevisionMeteo")},
};

template <typename T>
T Load(const TGameData& record, std::uint16_t offset) {
  T value;
  std::memcpy(&value, reinterpret_cast<const std::byte*>(&record) + offset, sizeof value);
  return value;
}

template <typename T>
void Store(TGameData& record, std::uint16_t offset, T value) {
  std::memcpy(reinterpret_cast<std::byte*>(&record) + offset, &value, sizeof value);
}

// A stored number back into an integer field: rounded, and held to the field's range so that a file
// edited by hand cannot make the conversion undefined.
template <typename T>
T Whole(double value) {
  if (!std::isfinite(value)) {
    return T{};
  }
  const double rounded = std::nearbyint(value);
  return static_cast<T>(std::clamp(rounded, static_cast<double>(std::numeric_limits<T>::min()),
                                   static_cast<double>(std::numeric_limits<T>::max())));
}

}  // namespace

std::span<const SampleColumn> SampleColumns() {
  return kColumns;
}

double SampleValue(const TGameData& record, const SampleColumn& column) {
  const TGameDataField& field = column.field;
  double raw = 0.0;
  switch (field.kind) {
    case TGameDataField::Kind::kByte:
      raw = Load<std::uint8_t>(record, field.offset);
      break;
    case TGameDataField::Kind::kSmallInt:
      raw = Load<std::int16_t>(record, field.offset);
      break;
    case TGameDataField::Kind::kInteger:
      raw = Load<std::int32_t>(record, field.offset);
      break;
    case TGameDataField::Kind::kSingle:
      raw = Load<float>(record, field.offset);
      break;
    case TGameDataField::Kind::kDouble:
      raw = Load<double>(record, field.offset);
      break;
  }
  return raw * column.scale;
}

void SetSampleValue(TGameData& record, const SampleColumn& column, double value) {
  const TGameDataField& field = column.field;
  const double raw = value / column.scale;
  switch (field.kind) {
    case TGameDataField::Kind::kByte:
      Store(record, field.offset, Whole<std::uint8_t>(raw));
      break;
    case TGameDataField::Kind::kSmallInt:
      Store(record, field.offset, Whole<std::int16_t>(raw));
      break;
    case TGameDataField::Kind::kInteger:
      Store(record, field.offset, Whole<std::int32_t>(raw));
      break;
    case TGameDataField::Kind::kSingle:
      Store(record, field.offset, static_cast<float>(raw));
      break;
    case TGameDataField::Kind::kDouble:
      Store(record, field.offset, raw);
      break;
  }
}

}  // namespace velmora::history

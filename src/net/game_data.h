#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <type_traits>

namespace velmora {

// The snapshot of the player's car that a server sends and a client shows: 440 bytes, little-endian,
// every datum raw as the simulator keeps it. The bytes go on the wire exactly as they lie in memory, so
// the layout below is the wire format; the gaps are named members so that they are always zero.
struct TGameData {
  std::int16_t ABS{};
  std::uint8_t Gap2[2]{};
  float Acceleration{};
  std::uint8_t Contact{};
  std::uint8_t Gap9[3]{};
  float Distance{};
  double Eau{};
  float Embrayage{};
  std::int16_t EmbrayageLed{};
  std::uint8_t Gap30[2]{};
  float Freinage{};
  std::uint8_t Gap36[4]{};
  double Fuel{};
  double Huille{};
  float HumidityOffPath{};
  float HumidityOnPath{};
  float HumidityRainfall{};
  std::uint8_t InCockpit{};
  std::uint8_t InPit{};
  std::int16_t Limiteur{};
  float LongueurCircuit{};
  float MotorRPM{};
  std::int16_t NbDeToursSession{};
  std::int16_t NombreJoueur{};
  std::int16_t NombreTour{};
  std::uint8_t Phares{};
  std::uint8_t PitIn{};
  double PneuArriereDroitDisqueFrein{};
  double PneuArriereDroitPression{};
  double PneuArriereDroitRayon{};
  double PneuArriereDroitTempExterieure{};
  double PneuArriereDroitTempInterieure{};
  double PneuArriereDroitTempMilieu{};
  double PneuArriereDroitUsure{};
  double PneuArriereDroitVitesse{};
  double PneuArriereGaucheDisqueFrein{};
  double PneuArriereGauchePression{};
  double PneuArriereGaucheRayon{};
  double PneuArriereGaucheTempExterieure{};
  double PneuArriereGaucheTempInterieure{};
  double PneuArriereGaucheTempMilieu{};
  double PneuArriereGaucheUsure{};
  double PneuArriereGaucheVitesse{};
  double PneuAvantDroitDisqueFrein{};
  double PneuAvantDroitPression{};
  double PneuAvantDroitRayon{};
  double PneuAvantDroitTempExterieure{};
  double PneuAvantDroitTempInterieure{};
  double PneuAvantDroitTempMilieu{};
  double PneuAvantDroitUsure{};
  double PneuAvantDroitVitesse{};
  double PneuAvantGaucheDisqueFrein{};
  double PneuAvantGauchePression{};
  double PneuAvantGaucheRayon{};
  double PneuAvantGaucheTempExterieure{};
  double PneuAvantGaucheTempInterieure{};
  double PneuAvantGaucheTempMilieu{};
  double PneuAvantGaucheUsure{};
  double PneuAvantGaucheVitesse{};
  std::int16_t Position{};
  std::uint8_t Gap346[2]{};
  float PrevisionMeteo{};
  std::int16_t RapportVitesse{};
  std::int16_t Secteur{};
  std::int16_t Stabilite{};
  std::uint8_t Gap358[2]{};
  float TemperatureAir{};
  float TemperaturePiste{};
  float TempsDernierTour{};
  float TempsDernierTourSecteur1{};
  float TempsDernierTourSecteur2{};
  float TempsMeilleurTour{};
  float TempsMeilleurTourSecteur1{};
  float TempsMeilleurTourSecteur2{};
  float TempsSession{};
  float TempsSessionGreenFlag{};
  float TimerSession{};
  std::int16_t Traction{};
  std::uint8_t Gap406[2]{};
  std::int32_t TypeSession{};
  std::uint8_t Gap412[4]{};
  double UsureMoteur{};
  double UsureMoteurReference{};
  float Vitesse{};
  std::uint8_t Gap436[4]{};
};

// One named datum of the record, for whoever must look at the record field by field.
struct TGameDataField {
  enum class Kind : std::uint8_t { kByte, kSmallInt, kInteger, kSingle, kDouble };
  std::string_view name;
  std::uint16_t offset;
  Kind kind;
};

inline constexpr std::size_t kGameDataSize = 440;

// Every datum of the record in offset order (which is also the order of their names).
inline constexpr std::array<TGameDataField, 76> kGameDataFields{{
    {"ABS", 0, TGameDataField::Kind::kSmallInt},
    {"Acceleration", 4, TGameDataField::Kind::kSingle},
    {"Contact", 8, TGameDataField::Kind::kByte},
    {"Distance", 12, TGameDataField::Kind::kSingle},
    {"Eau", 16, TGameDataField::Kind::kDouble},
    {"Embrayage", 24, TGameDataField::Kind::kSingle},
    {"EmbrayageLed", 28, TGameDataField::Kind::kSmallInt},
    {"Freinage", 32, TGameDataField::Kind::kSingle},
    {"Fuel", 40, TGameDataField::Kind::kDouble},
    {"Huille", 48, TGameDataField::Kind::kDouble},
    {"HumidityOffPath", 56, TGameDataField::Kind::kSingle},
    {"HumidityOnPath", 60, TGameDataField::Kind::kSingle},
    {"HumidityRainfall", 64, TGameDataField::Kind::kSingle},
    {"InCockpit", 68, TGameDataField::Kind::kByte},
    {"InPit", 69, TGameDataField::Kind::kByte},
    {"Limiteur", 70, TGameDataField::Kind::kSmallInt},
    {"LongueurCircuit", 72, TGameDataField::Kind::kSingle},
    {"MotorRPM", 76, TGameDataField::Kind::kSingle},
    {"NbDeToursSession", 80, TGameDataField::Kind::kSmallInt},
    {"NombreJoueur", 82, TGameDataField::Kind::kSmallInt},
    {"NombreTour", 84, TGameDataField::Kind::kSmallInt},
    {"Phares", 86, TGameDataField::Kind::kByte},
    {"PitIn", 87, TGameDataField::Kind::kByte},
    {"PneuArriereDroitDisqueFrein", 88, TGameDataField::Kind::kDouble},
    {"PneuArriereDroitPression", 96, TGameDataField::Kind::kDouble},
    {"PneuArriereDroitRayon", 104, TGameDataField::Kind::kDouble},
    {"PneuArriereDroitTempExterieure", 112, TGameDataField::Kind::kDouble},
    {"PneuArriereDroitTempInterieure", 120, TGameDataField::Kind::kDouble},
    {"PneuArriereDroitTempMilieu", 128, TGameDataField::Kind::kDouble},
    {"PneuArriereDroitUsure", 136, TGameDataField::Kind::kDouble},
    {"PneuArriereDroitVitesse", 144, TGameDataField::Kind::kDouble},
    {"PneuArriereGaucheDisqueFrein", 152, TGameDataField::Kind::kDouble},
    {"PneuArriereGauchePression", 160, TGameDataField::Kind::kDouble},
    {"PneuArriereGaucheRayon", 168, TGameDataField::Kind::kDouble},
    {"PneuArriereGaucheTempExterieure", 176, TGameDataField::Kind::kDouble},
    {"PneuArriereGaucheTempInterieure", 184, TGameDataField::Kind::kDouble},
    {"PneuArriereGaucheTempMilieu", 192, TGameDataField::Kind::kDouble},
    {"PneuArriereGaucheUsure", 200, TGameDataField::Kind::kDouble},
    {"PneuArriereGaucheVitesse", 208, TGameDataField::Kind::kDouble},
    {"PneuAvantDroitDisqueFrein", 216, TGameDataField::Kind::kDouble},
    {"PneuAvantDroitPression", 224, TGameDataField::Kind::kDouble},
    {"PneuAvantDroitRayon", 232, TGameDataField::Kind::kDouble},
    {"PneuAvantDroitTempExterieure", 240, TGameDataField::Kind::kDouble},
    {"PneuAvantDroitTempInterieure", 248, TGameDataField::Kind::kDouble},
    {"PneuAvantDroitTempMilieu", 256, TGameDataField::Kind::kDouble},
    {"PneuAvantDroitUsure", 264, TGameDataField::Kind::kDouble},
    {"PneuAvantDroitVitesse", 272, TGameDataField::Kind::kDouble},
    {"PneuAvantGaucheDisqueFrein", 280, TGameDataField::Kind::kDouble},
    {"PneuAvantGauchePression", 288, TGameDataField::Kind::kDouble},
    {"PneuAvantGaucheRayon", 296, TGameDataField::Kind::kDouble},
    {"PneuAvantGaucheTempExterieure", 304, TGameDataField::Kind::kDouble},
    {"PneuAvantGaucheTempInterieure", 312, TGameDataField::Kind::kDouble},
    {"PneuAvantGaucheTempMilieu", 320, TGameDataField::Kind::kDouble},
    {"PneuAvantGaucheUsure", 328, TGameDataField::Kind::kDouble},
    {"PneuAvantGaucheVitesse", 336, TGameDataField::Kind::kDouble},
    {"Position", 344, TGameDataField::Kind::kSmallInt},
    {"PrevisionMeteo", 348, TGameDataField::Kind::kSingle},
    {"RapportVitesse", 352, TGameDataField::Kind::kSmallInt},
    {"Secteur", 354, TGameDataField::Kind::kSmallInt},
    {"Stabilite", 356, TGameDataField::Kind::kSmallInt},
    {"TemperatureAir", 360, TGameDataField::Kind::kSingle},
    {"TemperaturePiste", 364, TGameDataField::Kind::kSingle},
    {"TempsDernierTour", 368, TGameDataField::Kind::kSingle},
    {"TempsDernierTourSecteur1", 372, TGameDataField::Kind::kSingle},
    {"TempsDernierTourSecteur2", 376, TGameDataField::Kind::kSingle},
    {"TempsMeilleurTour", 380, TGameDataField::Kind::kSingle},
    {"TempsMeilleurTourSecteur1", 384, TGameDataField::Kind::kSingle},
    {"TempsMeilleurTourSecteur2", 388, TGameDataField::Kind::kSingle},
    {"TempsSession", 392, TGameDataField::Kind::kSingle},
    {"TempsSessionGreenFlag", 396, TGameDataField::Kind::kSingle},
    {"TimerSession", 400, TGameDataField::Kind::kSingle},
    {"Traction", 404, TGameDataField::Kind::kSmallInt},
    {"TypeSession", 408, TGameDataField::Kind::kInteger},
    {"UsureMoteur", 416, TGameDataField::Kind::kDouble},
    {"UsureMoteurReference", 424, TGameDataField::Kind::kDouble},
    {"Vitesse", 432, TGameDataField::Kind::kSingle},
}};

static_assert(std::is_standard_layout_v<TGameData>);
static_assert(std::is_trivially_copyable_v<TGameData>);
static_assert(sizeof(TGameData) == kGameDataSize);
static_assert(offsetof(TGameData, ABS) == 0);
static_assert(offsetof(TGameData, Acceleration) == 4);
static_assert(offsetof(TGameData, Contact) == 8);
static_assert(offsetof(TGameData, Distance) == 12);
static_assert(offsetof(TGameData, Eau) == 16);
static_assert(offsetof(TGameData, Embrayage) == 24);
static_assert(offsetof(TGameData, EmbrayageLed) == 28);
static_assert(offsetof(TGameData, Freinage) == 32);
static_assert(offsetof(TGameData, Fuel) == 40);
static_assert(offsetof(TGameData, Huille) == 48);
static_assert(offsetof(TGameData, HumidityOffPath) == 56);
static_assert(offsetof(TGameData, HumidityOnPath) == 60);
static_assert(offsetof(TGameData, HumidityRainfall) == 64);
static_assert(offsetof(TGameData, InCockpit) == 68);
static_assert(offsetof(TGameData, InPit) == 69);
static_assert(offsetof(TGameData, Limiteur) == 70);
static_assert(offsetof(TGameData, LongueurCircuit) == 72);
static_assert(offsetof(TGameData, MotorRPM) == 76);
static_assert(offsetof(TGameData, NbDeToursSession) == 80);
static_assert(offsetof(TGameData, NombreJoueur) == 82);
static_assert(offsetof(TGameData, NombreTour) == 84);
static_assert(offsetof(TGameData, Phares) == 86);
static_assert(offsetof(TGameData, PitIn) == 87);
static_assert(offsetof(TGameData, PneuArriereDroitDisqueFrein) == 88);
static_assert(offsetof(TGameData, PneuArriereDroitPression) == 96);
static_assert(offsetof(TGameData, PneuArriereDroitRayon) == 104);
static_assert(offsetof(TGameData, PneuArriereDroitTempExterieure) == 112);
static_assert(offsetof(TGameData, PneuArriereDroitTempInterieure) == 120);
static_assert(offsetof(TGameData, PneuArriereDroitTempMilieu) == 128);
static_assert(offsetof(TGameData, PneuArriereDroitUsure) == 136);
static_assert(offsetof(TGameData, PneuArriereDroitVitesse) == 144);
static_assert(offsetof(TGameData, PneuArriereGaucheDisqueFrein) == 152);
static_assert(offsetof(TGameData, PneuArriereGauchePression) == 160);
static_assert(offsetof(TGameData, PneuArriereGaucheRayon) == 168);
static_assert(offsetof(TGameData, PneuArriereGaucheTempExterieure) == 176);
static_assert(offsetof(TGameData, PneuArriereGaucheTempInterieure) == 184);
static_assert(offsetof(TGameData, PneuArriereGaucheTempMilieu) == 192);
static_assert(offsetof(TGameData, PneuArriereGaucheUsure) == 200);
static_assert(offsetof(TGameData, PneuArriereGaucheVitesse) == 208);
static_assert(offsetof(TGameData, PneuAvantDroitDisqueFrein) == 216);
static_assert(offsetof(TGameData, PneuAvantDroitPression) == 224);
static_assert(offsetof(TGameData, PneuAvantDroitRayon) == 232);
static_assert(offsetof(TGameData, PneuAvantDroitTempExterieure) == 240);
static_assert(offsetof(TGameData, PneuAvantDroitTempInterieure) == 248);
static_assert(offsetof(TGameData, PneuAvantDroitTempMilieu) == 256);
static_assert(offsetof(TGameData, PneuAvantDroitUsure) == 264);
static_assert(offsetof(TGameData, PneuAvantDroitVitesse) == 272);
static_assert(offsetof(TGameData, PneuAvantGaucheDisqueFrein) == 280);
static_assert(offsetof(TGameData, PneuAvantGauchePression) == 288);
static_assert(offsetof(TGameData, PneuAvantGaucheRayon) == 296);
static_assert(offsetof(TGameData, PneuAvantGaucheTempExterieure) == 304);
static_assert(offsetof(TGameData, PneuAvantGaucheTempInterieure) == 312);
static_assert(offsetof(TGameData, PneuAvantGaucheTempMilieu) == 320);
static_assert(offsetof(TGameData, PneuAvantGaucheUsure) == 328);
static_assert(offsetof(TGameData, PneuAvantGaucheVitesse) == 336);
static_assert(offsetof(TGameData, Position) == 344);
static_assert(offsetof(TGameData, PrevisionMeteo) == 348);
static_assert(offsetof(TGameData, RapportVitesse) == 352);
static_assert(offsetof(TGameData, Secteur) == 354);
static_assert(offsetof(TGameData, Stabilite) == 356);
static_assert(offsetof(TGameData, TemperatureAir) == 360);
static_assert(offsetof(TGameData, TemperaturePiste) == 364);
static_assert(offsetof(TGameData, TempsDernierTour) == 368);
static_assert(offsetof(TGameData, TempsDernierTourSecteur1) == 372);
static_assert(offsetof(TGameData, TempsDernierTourSecteur2) == 376);
static_assert(offsetof(TGameData, TempsMeilleurTour) == 380);
static_assert(offsetof(TGameData, TempsMeilleurTourSecteur1) == 384);
static_assert(offsetof(TGameData, TempsMeilleurTourSecteur2) == 388);
static_assert(offsetof(TGameData, TempsSession) == 392);
static_assert(offsetof(TGameData, TempsSessionGreenFlag) == 396);
static_assert(offsetof(TGameData, TimerSession) == 400);
static_assert(offsetof(TGameData, Traction) == 404);
static_assert(offsetof(TGameData, TypeSession) == 408);
static_assert(offsetof(TGameData, UsureMoteur) == 416);
static_assert(offsetof(TGameData, UsureMoteurReference) == 424);
static_assert(offsetof(TGameData, Vitesse) == 432);

}  // namespace velmora

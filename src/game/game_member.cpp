#include "game/game_member.h"

#include <cstdio>
#include <type_traits>

namespace velmora {

GameMember MemberOf(TGame& game, Member member) {
  using enum Member;
  switch (member) {
    case None:
      return std::monostate{};
    case FInCokpit:
      return &game.FInCokpit;
    case FContact:
      return &game.FContact;
    case FPneuAvantGauche_FVitesse:
      return &game.FPneuAvantGauche.FVitesse;
    case FPneuAvantGauche_FRayon:
      return &game.FPneuAvantGauche.FRayon;
    case FPneuAvantGauche_FTempExterieure:
      return &game.FPneuAvantGauche.FTempExterieure;
    case FPneuAvantGauche_FTempMilieu:
      return &game.FPneuAvantGauche.FTempMilieu;
    case FPneuAvantGauche_FTempInterieure:
      return &game.FPneuAvantGauche.FTempInterieure;
    case FPneuAvantGauche_FPression:
      return &game.FPneuAvantGauche.FPression;
    case FPneuAvantGauche_FDisqueFrein:
      return &game.FPneuAvantGauche.FDisqueFrein;
    case FPneuAvantGauche_FUsure:
      return &game.FPneuAvantGauche.FUsure;
    case FPneuAvantDroit_FVitesse:
      return &game.FPneuAvantDroit.FVitesse;
    case FPneuAvantDroit_FRayon:
      return &game.FPneuAvantDroit.FRayon;
    case FPneuAvantDroit_FTempExterieure:
      return &game.FPneuAvantDroit.FTempExterieure;
    case FPneuAvantDroit_FTempMilieu:
      return &game.FPneuAvantDroit.FTempMilieu;
    case FPneuAvantDroit_FTempInterieure:
      return &game.FPneuAvantDroit.FTempInterieure;
    case FPneuAvantDroit_FPression:
      return &game.FPneuAvantDroit.FPression;
    case FPneuAvantDroit_FDisqueFrein:
      return &game.FPneuAvantDroit.FDisqueFrein;
    case FPneuAvantDroit_FUsure:
      return &game.FPneuAvantDroit.FUsure;
    case FPneuArriereGauche_FVitesse:
      return &game.FPneuArriereGauche.FVitesse;
    case FPneuArriereGauche_FRayon:
      return &game.FPneuArriereGauche.FRayon;
    case FPneuArriereGauche_FTempExterieure:
      return &game.FPneuArriereGauche.FTempExterieure;
    case FPneuArriereGauche_FTempMilieu:
      return &game.FPneuArriereGauche.FTempMilieu;
    case FPneuArriereGauche_FTempInterieure:
      return &game.FPneuArriereGauche.FTempInterieure;
    case FPneuArriereGauche_FPression:
      return &game.FPneuArriereGauche.FPression;
    case FPneuArriereGauche_FDisqueFrein:
      return &game.FPneuArriereGauche.FDisqueFrein;
    case FPneuArriereGauche_FUsure:
      return &game.FPneuArriereGauche.FUsure;
    case FPneuArriereDroit_FVitesse:
      return &game.FPneuArriereDroit.FVitesse;
    case FPneuArriereDroit_FRayon:
      return &game.FPneuArriereDroit.FRayon;
    case FPneuArriereDroit_FTempExterieure:
      return &game.FPneuArriereDroit.FTempExterieure;
    case FPneuArriereDroit_FTempMilieu:
      return &game.FPneuArriereDroit.FTempMilieu;
    case FPneuArriereDroit_FTempInterieure:
      return &game.FPneuArriereDroit.FTempInterieure;
    case FPneuArriereDroit_FPression:
      return &game.FPneuArriereDroit.FPression;
    case FPneuArriereDroit_FDisqueFrein:
      return &game.FPneuArriereDroit.FDisqueFrein;
    case FPneuArriereDroit_FUsure:
      return &game.FPneuArriereDroit.FUsure;
    case FABS:
      return &game.FABS;
    case FEau:
      return &game.FEau;
    case FEmbrayageLed:
      return &game.FEmbrayageLed;
    case FHuille:
      return &game.FHuille;
    case FStabilite:
      return &game.FStabilite;
    case FTraction:
      return &game.FTraction;
    case FFuel:
      return &game.FFuel;
    case FRapportVitesse:
      return &game.FRapportVitesse;
    case FAcceleration:
      return &game.FAcceleration;
    case FFreinage:
      return &game.FFreinage;
    case FEmbrayage:
      return &game.FEmbrayage;
    case FNombreJoueur:
      return &game.FNombreJoueur;
    case FTemperatureAir:
      return &game.FTemperatureAir;
    case FTemperaturePiste:
      return &game.FTemperaturePiste;
    case FLongueurCircuit:
      return &game.FLongueurCircuit;
    case FSlotJoueur:
      return &game.FSlotJoueur;
    case FRecLongueur:
      return &game.FRecLongueur;
    case FPhares:
      return &game.FPhares;
    case FLimiteur:
      return &game.FLimiteur;
    case FInPIT:
      return &game.FInPIT;
    case FPitIn:
      return &game.FPitIn;
    case FNombreTour:
      return &game.FNombreTour;
    case FTemps:
      return &game.FTemps;
    case FMoyenneFuel:
      return &game.FMoyenneFuel;
    case FSecteur:
      return &game.FSecteur;
    case FMotorRPM:
      return &game.FMotorRPM;
    case FDistance:
      return &game.FDistance;
    case FVitesse:
      return &game.FVitesse;
    case FNomPilote:
      return &game.FNomPilote;
    case FPosition:
      return &game.FPosition;
    case FUsureMoteur:
      return &game.FUsureMoteur;
    case FHumidityRainfall:
      return &game.FHumidityRainfall;
    case FHumidityOnPath:
      return &game.FHumidityOnPath;
    case FHumidityOffPath:
      return &game.FHumidityOffPath;
    case FPrevisionMeteo:
      return &game.FPrevisionMeteo;
    case FSession:
      return &game.FSession;
    case FNomVoiture:
      return &game.FNomVoiture;
  }
  return std::monostate{};
}

namespace {

std::string Hex(std::uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%X", static_cast<unsigned>(value));
  return text;
}

std::string Describe(const std::monostate&) {
  return {};
}

std::string Describe(const std::uint32_t& record_length) {
  return "length " + std::to_string(record_length);
}

std::string Describe(const TMoyenneFuel& average) {
  return average.FActive ? "active" : "inactive";
}

std::string Describe(const TUsureMoteurValue& wear) {
  return "address " + Hex(wear.FAddress) + " delta " +
         std::to_string(wear.FAddressUsureReference - wear.FAddress);
}

std::string Describe(const TTemps& timing) {
  std::string text = "base " + Hex(timing.FBaseAddress) + " deltas";
  for (std::uint32_t delta :
       {timing.FDeltaAddressDernierTourSecteur1, timing.FDeltaAddressDernierTourSecteur2,
        timing.FDeltaAddressMeilleurTourFinal, timing.FDeltaAddressMeilleurTourSecteur1,
        timing.FDeltaAddressMeilleurTourSecteur2}) {
    text += " " + std::to_string(delta);
  }
  return text;
}

std::string Describe(const TSessionGTR& session) {
  std::string text = "session";
  for (std::uint32_t address :
       {session.FTypeSession.FAddress, session.FTimerSession.FAddress, session.FTempsSesion.FAddress,
        session.FTempsGreenFlag.FAddress, session.FNbDeToursSession.FAddress}) {
    text += " " + Hex(address);
  }
  return text;
}

// A per-driver value is known by its place in the record of slot 0, any other by its own address.
template <typename Value>
std::string Describe(const Value& value) {
  if constexpr (requires { value.FBaseAddress; }) {
    return "base " + Hex(value.FBaseAddress);
  } else {
    return "address " + Hex(value.FAddress);
  }
}

}  // namespace

std::string DescribeAssignment(TGame& game, Member member) {
  const std::string description = std::visit(
      [](auto target) {
        if constexpr (std::is_same_v<decltype(target), std::monostate>) {
          return Describe(target);
        } else {
          return Describe(*target);
        }
      },
      MemberOf(game, member));
  return std::string(MemberName(member)) + " " + description;
}

}  // namespace velmora

#pragma once

#include "net/game_data.h"

namespace velmora {

// Where one tyre's values lie in the record.
struct TyreFields {
  double TGameData::*exterieure;
  double TGameData::*milieu;
  double TGameData::*interieure;
  double TGameData::*pression;
  double TGameData::*disque;
  double TGameData::*usure;
  double TGameData::*rayon;
  double TGameData::*vitesse;
};

inline constexpr TyreFields kAvantGauche{
    &TGameData::PneuAvantGaucheTempExterieure, &TGameData::PneuAvantGaucheTempMilieu,
    &TGameData::PneuAvantGaucheTempInterieure, &TGameData::PneuAvantGauchePression,
    &TGameData::PneuAvantGaucheDisqueFrein,    &TGameData::PneuAvantGaucheUsure,
    &TGameData::PneuAvantGaucheRayon,          &TGameData::PneuAvantGaucheVitesse};
inline constexpr TyreFields kAvantDroit{
    &TGameData::PneuAvantDroitTempExterieure, &TGameData::PneuAvantDroitTempMilieu,
    &TGameData::PneuAvantDroitTempInterieure, &TGameData::PneuAvantDroitPression,
    &TGameData::PneuAvantDroitDisqueFrein,    &TGameData::PneuAvantDroitUsure,
    &TGameData::PneuAvantDroitRayon,          &TGameData::PneuAvantDroitVitesse};
inline constexpr TyreFields kArriereGauche{
    &TGameData::PneuArriereGaucheTempExterieure, &TGameData::PneuArriereGaucheTempMilieu,
    &TGameData::PneuArriereGaucheTempInterieure, &TGameData::PneuArriereGauchePression,
    &TGameData::PneuArriereGaucheDisqueFrein,    &TGameData::PneuArriereGaucheUsure,
    &TGameData::PneuArriereGaucheRayon,          &TGameData::PneuArriereGaucheVitesse};
inline constexpr TyreFields kArriereDroit{
    &TGameData::PneuArriereDroitTempExterieure, &TGameData::PneuArriereDroitTempMilieu,
    &TGameData::PneuArriereDroitTempInterieure, &TGameData::PneuArriereDroitPression,
    &TGameData::PneuArriereDroitDisqueFrein,    &TGameData::PneuArriereDroitUsure,
    &TGameData::PneuArriereDroitRayon,          &TGameData::PneuArriereDroitVitesse};

}  // namespace velmora

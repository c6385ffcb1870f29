#include "history/game_data_from_values.h"

#include "net/game_data_tyres.h"

namespace velmora::history {
namespace {

void CopyTyre(const TPneu& tyre, TGameData& d, const TyreFields& f) {
  d.*f.exterieure = tyre.FTempExterieure.FValue;
  d.*f.milieu = tyre.FTempMilieu.FValue;
  d.*f.interieure = tyre.FTempInterieure.FValue;
  d.*f.pression = tyre.FPression.FValue;
  d.*f.disque = tyre.FDisqueFrein.FValue;
  d.*f.usure = tyre.FUsure.FValue;
  d.*f.rayon = tyre.FRayon.FValue;
  d.*f.vitesse = tyre.FVitesse.FValue;
}

}  // namespace

TGameData GameDataFromValues(const TGame& game) {
  if (game.FNetwork.NetworkType() == TNetworkType::ntClient) {
    return game.GameData;
  }
  TGameData d{};
  d.InCockpit = game.FInCokpit.FValue;
  d.Vitesse = game.FVitesse.FValue;
  CopyTyre(game.FPneuAvantGauche, d, kAvantGauche);
  CopyTyre(game.FPneuAvantDroit, d, kAvantDroit);
  CopyTyre(game.FPneuArriereGauche, d, kArriereGauche);
  CopyTyre(game.FPneuArriereDroit, d, kArriereDroit);
  d.Eau = game.FEau.FValue;
  d.Huille = game.FHuille.FValue;
  d.Traction = game.FTraction.FValue;
  d.ABS = game.FABS.FValue;
  d.Stabilite = game.FStabilite.FValue;
  d.EmbrayageLed = game.FEmbrayageLed.FValue;
  d.Limiteur = game.FLimiteur.FValue;
  d.Phares = game.FPhares.FValue;
  d.Fuel = game.FFuel.FValue;
  d.RapportVitesse = game.FRapportVitesse.FValue;
  d.Secteur = game.FSecteur.FValue;
  d.TemperatureAir = game.FTemperatureAir.FValue;
  d.TemperaturePiste = game.FTemperaturePiste.FValue;
  d.Acceleration = game.FAcceleration.FValue;
  d.Freinage = game.FFreinage.FValue;
  d.Embrayage = game.FEmbrayage.FValue;
  d.MotorRPM = game.FMotorRPM.FValue;
  d.PitIn = game.FPitIn.FValue;
  d.InPit = game.FInPIT.FValue;
  d.NombreJoueur = game.FNombreJoueur.FValue;
  d.Distance = game.FDistance.FValue;
  d.Position = game.FPosition.FValue;
  d.Contact = game.FContact.FValue;
  d.LongueurCircuit = game.FLongueurCircuit.FValue;
  d.UsureMoteur = game.FUsureMoteur.FValue;
  d.UsureMoteurReference = game.FUsureMoteur.FUsureReference;
  d.NbDeToursSession = game.FSession.FNbDeToursSession.FValue;
  d.TempsSession = game.FSession.FTempsSesion.FValue;
  d.TempsSessionGreenFlag = game.FSession.FTempsGreenFlag.FValue;
  d.TimerSession = game.FSession.FTimerSession.FValue;
  d.TypeSession = game.FSession.FTypeSession.FValue;
  d.PrevisionMeteo = game.FPrevisionMeteo.FValue;
  d.HumidityOffPath = game.FHumidityOffPath.FValue;
  d.HumidityOnPath = game.FHumidityOnPath.FValue;
  d.HumidityRainfall = game.FHumidityRainfall.FValue;
  d.TempsMeilleurTour = game.FTemps.MeilleurTour();
  d.TempsMeilleurTourSecteur1 = game.FTemps.MeilleurTourSecteur1();
  d.TempsMeilleurTourSecteur2 = game.FTemps.MeilleurTourSecteur2();
  d.TempsDernierTourSecteur1 = game.FTemps.DernierTourSecteur1();
  d.TempsDernierTourSecteur2 = game.FTemps.DernierTourSecteur2();
  d.TempsDernierTour = game.FTemps.DernierTour();
  d.NombreTour = game.FNombreTour.FValue;
  return d;
}

}  // namespace velmora::history

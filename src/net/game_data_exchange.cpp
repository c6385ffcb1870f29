// The game model's two ends of the record: filling it from the simulator on a server, and showing a
// received one on a client.
#include "game/game.h"
#include "net/game_data_tyres.h"

namespace velmora {
namespace {

void ReadTyre(TGame& game, const TPneu& tyre, TGameData& d, const TyreFields& f) {
  d.*f.exterieure = tyre.FTempExterieure.Read(game);
  d.*f.milieu = tyre.FTempMilieu.Read(game);
  d.*f.interieure = tyre.FTempInterieure.Read(game);
  d.*f.pression = tyre.FPression.Read(game);
  d.*f.disque = tyre.FDisqueFrein.Read(game);
  d.*f.usure = tyre.FUsure.Read(game);
  d.*f.rayon = tyre.FRayon.Read(game);
  d.*f.vitesse = tyre.FVitesse.Read(game);
}

void ApplyTyre(TGame& game, TPneu& tyre, const TGameData& d, const TyreFields& f) {
  tyre.FTempExterieure.WriteAndDisplayClient(game, d.*f.exterieure);
  tyre.FTempMilieu.WriteAndDisplayClient(game, d.*f.milieu);
  tyre.FTempInterieure.WriteAndDisplayClient(game, d.*f.interieure);
  tyre.FPression.WriteAndDisplayClient(game, d.*f.pression);
  tyre.FDisqueFrein.WriteAndDisplayClient(game, d.*f.disque);
  tyre.FUsure.WriteAndDisplayClient(game, d.*f.usure);
  tyre.FRayon.WriteAndDisplayClient(game, d.*f.rayon);
  tyre.FVitesse.WriteAndDisplayClient(game, tyre, d.*f.vitesse);
}

// The lamps travel as SmallInts; only their low byte means anything.
std::uint8_t LowByte(std::int16_t value) {
  return static_cast<std::uint8_t>(static_cast<std::uint16_t>(value) & 0xFFU);
}

}  // namespace

void TGame::WantServerCycle(MemorySnapshot& snapshot) const {
  WantFullCycle(snapshot);
  const auto want = [&snapshot](const auto& value) {
    if (value.FActive) {
      snapshot.Want(value.FAddress, sizeof(value.FValue));
    }
  };
  want(FInCokpit);
  want(FNombreJoueur);
  want(FLongueurCircuit);
  if (FPosition.FActive) {
    snapshot.Want(FPosition.RecordAddress(FSlotJoueur.FValue, FRecLongueur), sizeof(std::int16_t));
  }
  if (FTemps.FActive) {
    for (const std::uint32_t delta :
         {0U, FTemps.FDeltaAddressDernierTourSecteur1, FTemps.FDeltaAddressDernierTourSecteur2,
          FTemps.FDeltaAddressMeilleurTourFinal, FTemps.FDeltaAddressMeilleurTourSecteur1,
          FTemps.FDeltaAddressMeilleurTourSecteur2}) {
      snapshot.Want(FTemps.FAddress + delta, sizeof(float));
    }
  }
}

void TGame::FillGameData() {
  TGameData& d = GameData;
  d.InCockpit = FInCokpit.Read(*this);
  d.Vitesse = FVitesse.Read(*this);
  ReadTyre(*this, FPneuAvantGauche, d, kAvantGauche);
  ReadTyre(*this, FPneuAvantDroit, d, kAvantDroit);
  ReadTyre(*this, FPneuArriereGauche, d, kArriereGauche);
  ReadTyre(*this, FPneuArriereDroit, d, kArriereDroit);
  d.Eau = FEau.Read(*this);
  d.Huille = FHuille.Read(*this);
  d.Traction = FTraction.Read(*this);
  d.ABS = FABS.Read(*this);
  d.Stabilite = FStabilite.Read(*this);
  d.EmbrayageLed = FEmbrayageLed.Read(*this);
  d.Limiteur = FLimiteur.Read(*this);
  d.Phares = FPhares.Read(*this);
  d.Fuel = FFuel.Read(*this);
  d.RapportVitesse = FRapportVitesse.Read(*this);
  d.Secteur = FSecteur.Read(*this);
  d.TemperatureAir = FTemperatureAir.Read(*this);
  d.TemperaturePiste = FTemperaturePiste.Read(*this);
  d.Acceleration = FAcceleration.Read(*this);
  d.Freinage = FFreinage.Read(*this);
  d.Embrayage = FEmbrayage.Read(*this);
  d.MotorRPM = FMotorRPM.Read(*this);
  d.PitIn = FPitIn.Read(*this);
  d.InPit = FInPIT.Read(*this);
  d.NombreJoueur = FNombreJoueur.Read(*this);
  d.Distance = FDistance.Read(*this);
  // The position value keeps only its slot-0 address for the driver list; the record carries the
  // player's own.
  d.Position = ReadSmallIntValue(FPosition.RecordAddress(FSlotJoueur.FValue, FRecLongueur));
  d.Contact = FContact.Read(*this);
  d.LongueurCircuit = FLongueurCircuit.Read(*this);
  d.UsureMoteur = FUsureMoteur.Read(*this);
  d.UsureMoteurReference = FUsureMoteur.ReadUsureRefenrence(*this);
  d.NbDeToursSession = FSession.FNbDeToursSession.Read(*this);
  d.TempsSession = FSession.FTempsSesion.Read(*this);
  d.TempsSessionGreenFlag = FSession.FTempsGreenFlag.Read(*this);
  d.TimerSession = FSession.FTimerSession.Read(*this);
  d.TypeSession = FSession.FTypeSession.Read(*this);
  d.PrevisionMeteo = FPrevisionMeteo.Read(*this);
  d.HumidityOffPath = FHumidityOffPath.Read(*this);
  d.HumidityOnPath = FHumidityOnPath.Read(*this);
  d.HumidityRainfall = FHumidityRainfall.Read(*this);
  // The lap timing reads its times as it always does, so the best splits it keeps follow the simulator
  // here too; in this role it writes no grid row and the summary row ignores it.
  FTemps.ReadValue();
  d.TempsMeilleurTour = FTemps.MeilleurTour();
  d.TempsMeilleurTourSecteur1 = FTemps.MeilleurTourSecteur1();
  d.TempsMeilleurTourSecteur2 = FTemps.MeilleurTourSecteur2();
  d.TempsDernierTourSecteur1 = FTemps.DernierTourSecteur1();
  d.TempsDernierTourSecteur2 = FTemps.DernierTourSecteur2();
  d.TempsDernierTour = FTemps.DernierTour();
  d.NombreTour = FNombreTour.Read(*this);
}

void TGame::WriteAndDisplayClient() {
  ApplyClientRecord();
  if (FCycleListener != nullptr) {
    FCycleListener->CycleDone(*this);
  }
}

void TGame::ApplyClientRecord() {
  const TGameData& d = GameData;
  FInCokpit.WriteAndDisplayClient(d.InCockpit);
  if (FInCokpit.Value() == 0) {
    FTemperatureAir.WriteAndDisplayClient(*this, d.TemperatureAir);
    FTemperaturePiste.WriteAndDisplayClient(*this, d.TemperaturePiste);
    ApplySession(d);
    FPrevisionMeteo.WriteAndDisplayClient(*this, d.PrevisionMeteo);
    FHumidityRainfall.WriteAndDisplayClient(*this, d.HumidityRainfall);
    FHumidityOnPath.WriteAndDisplayClient(*this, d.HumidityOnPath);
    FHumidityOffPath.WriteAndDisplayClient(*this, d.HumidityOffPath);
    return;
  }
  ApplyTyre(*this, FPneuAvantGauche, d, kAvantGauche);
  ApplyTyre(*this, FPneuAvantDroit, d, kAvantDroit);
  ApplyTyre(*this, FPneuArriereGauche, d, kArriereGauche);
  ApplyTyre(*this, FPneuArriereDroit, d, kArriereDroit);
  FEau.WriteAndDisplayClient(*this, d.Eau);
  FHuille.WriteAndDisplayClient(*this, d.Huille);
  FTraction.WriteAndDisplayClient(*this, d.Traction);
  FABS.WriteAndDisplayClient(*this, d.ABS);
  FStabilite.WriteAndDisplayClient(LowByte(d.Stabilite));
  FEmbrayageLed.WriteAndDisplayClient(LowByte(d.EmbrayageLed));
  FLimiteur.WriteAndDisplayClient(LowByte(d.Limiteur));
  FPhares.WriteAndDisplayClient(d.Phares);
  FFuel.WriteAndDisplayClient(*this, d.Fuel);
  FRapportVitesse.WriteAndDisplayClient(*this, d.RapportVitesse);
  FSecteur.WriteAndDisplayClient(*this, d.Secteur);
  FAcceleration.WriteAndDisplayClient(*this, d.Acceleration);
  FFreinage.WriteAndDisplayClient(*this, d.Freinage);
  FEmbrayage.WriteAndDisplayClient(*this, d.Embrayage);
  FMotorRPM.WriteAndDisplayClient(*this, d.MotorRPM);
  FPitIn.WriteAndDisplayClient(d.PitIn);
  FInPIT.WriteAndDisplayClient(d.InPit);
  FNombreJoueur.WriteAndDisplayClient(d.NombreJoueur);
  FDistance.WriteAndDisplayClient(*this, d.Distance);
  FPosition.WriteAndDisplayClient(d.Position);
  FVitesse.WriteAndDisplayClient(*this, d.Vitesse);
  FContact.WriteAndDisplayClient(d.Contact);
  FLongueurCircuit.WriteAndDisplayClient(*this, d.LongueurCircuit);
  FTemperatureAir.WriteAndDisplayClient(*this, d.TemperatureAir);
  FTemperaturePiste.WriteAndDisplayClient(*this, d.TemperaturePiste);
  FUsureMoteur.WriteAndDisplayClient(*this, d.UsureMoteur, d.UsureMoteurReference);
  ApplySession(d);
  FPrevisionMeteo.WriteAndDisplayClient(*this, d.PrevisionMeteo);
  FHumidityRainfall.WriteAndDisplayClient(*this, d.HumidityRainfall);
  FHumidityOnPath.WriteAndDisplayClient(*this, d.HumidityOnPath);
  FHumidityOffPath.WriteAndDisplayClient(*this, d.HumidityOffPath);
  FTemps.WriteAndDisplayClient(d.TempsMeilleurTour, d.TempsMeilleurTourSecteur1, d.TempsMeilleurTourSecteur2,
                               d.TempsDernierTour, d.TempsDernierTourSecteur1, d.TempsDernierTourSecteur2);
  // After the times: a lap completed by this record still fills the row of the count held before it.
  FNombreTour.WriteAndDisplayClient(*this, d.NombreTour);
  FTourRestant.ReadAndDisplay(*this);
}

void TGame::ApplySession(const TGameData& d) {
  FSession.WriteAndDisplayClient(*this, d.TypeSession, d.TimerSession, d.TempsSession,
                                 d.TempsSessionGreenFlag, d.NbDeToursSession);
}

}  // namespace velmora

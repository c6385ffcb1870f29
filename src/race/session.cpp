#include "race/session.h"

#include "game/game.h"

namespace velmora {

TSessionGTR::TSessionGTR(TGame& AGame) : FGame(&AGame), FTimer(AGame.TickCount()) {}

void TSessionGTR::Affectation(std::uint32_t AAddressTypeSession, std::uint32_t AAddressTimerSession,
                              std::uint32_t AAddressTempsSession, std::uint32_t AAddressTempsSessionGreenFlag,
                              std::uint32_t AAddressNbToursSession, bool AActive) {
  FTypeSession.Affectation(AAddressTypeSession, AActive);
  FTimerSession.Affectation(AAddressTimerSession, AActive);
  FTempsSesion.Affectation(AAddressTempsSession, AActive);
  FTempsGreenFlag.Affectation(AAddressTempsSessionGreenFlag, AActive);
  FNbDeToursSession.Affectation(AAddressNbToursSession, AActive);
}

}  // namespace velmora

#pragma once

#include <cstdint>

#include "values/value_base.h"

namespace velmora {

class TTypeSessionValue final : public TValueInteger {};
class TTimerSessionValue final : public TValueSingle {};
class TTempsSessionValue final : public TValueSingle {};
class TTempsSessionGreenFlagValue final : public TValueSingle {};
class TNbDeTourSsssionValue final : public TValueSmallInt {};

// The kind of session the simulator runs and how much of it is left.
class TSessionGTR final {
 public:
  TextTarget* FEtiquette = nullptr;
  TextTarget* FEtiquetteTemps = nullptr;
  TGame* FGame;
  TNbDeTourSsssionValue FNbDeToursSession;
  TTempsSessionGreenFlagValue FTempsGreenFlag;
  TTempsSessionValue FTempsSesion;
  std::uint32_t FTimer;
  TTimerSessionValue FTimerSession;
  TTypeSessionValue FTypeSession;

  explicit TSessionGTR(TGame& AGame);
  void Affectation(std::uint32_t AAddressTypeSession, std::uint32_t AAddressTimerSession,
                   std::uint32_t AAddressTempsSession, std::uint32_t AAddressTempsSessionGreenFlag,
                   std::uint32_t AAddressNbToursSession, bool AActive);
};

}  // namespace velmora

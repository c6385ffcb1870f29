#pragma once

#include <cstdint>
#include <string>
#include <variant>

#include "game/address_tables.h"
#include "game/game.h"

namespace velmora {

// The object of the game model that an address table member names; the record length is the game's
// plain field. `std::monostate` for `Member::None`.
using GameMember =
    std::variant<std::monostate, TCokpitValue*, TContactValue*, TVitessePneuValue*, TRayonPneuValue*,
                 TTemperaturePneuValue*, TPressionPneuValue*, TDisqueFreinValue*, TUsurePneuValue*,
                 TLed3LevelValue*, TEauValue*, TLed2LevelValue*, TFuelValue*, TRapportVitesseValue*,
                 TAccelerationValueSingle*, TNombreJoueurValue*, TTemperatureValueSingle*, TLongueurCircuit*,
                 TSlotJoueurValue*, std::uint32_t*, TPhareValue*, TNombreTourValue*, TTemps*, TMoyenneFuel*,
                 TSecteurValue*, TMotorRPMValueSingle*, TDistanceValue*, TVitesseValue*, TNomPiloteValue*,
                 TPositionValue*, TUsureMoteurValue*, THumidityValueSingle*, TMeteoValueSingle*, TSessionGTR*,
                 TNomVoitureValue*>;

GameMember MemberOf(TGame& game, Member member);

// What the game holds for the member now, as `velmora-cli tables` prints it: "FEau address 0xD7E5A0",
// "FPhares base 0xA1BC56", "FRecLongueur length 33696".
std::string DescribeAssignment(TGame& game, Member member);

}  // namespace velmora

#include "race/driver_values.h"

#include "game/game.h"
#include "race/lap_values.h"

namespace velmora {

void TPositionValue::SetValue(std::int16_t Value) {
  if (Value == FValue) {
    return;
  }
  FValue = Value;
  if (Value == 0) {
    ClearLapGridAndFuelAverage(*FGame);
  }
}

}  // namespace velmora

#include "controller_fixture.h"

#include <stdexcept>

namespace velmora::sim {

ControllerFixture::ControllerFixture(std::uint64_t seed, char table, int drivers, int player_slot)
    : model_(seed, drivers, player_slot), layout_(*AddressTableNamed(table), drivers) {
  std::string error;
  memory_ = SimMemory::Reserve(layout_.Begin(), layout_.End(), error);
  if (memory_ == nullptr) {
    throw std::runtime_error(error);
  }
  state_memory_ = std::make_unique<StateMemory>(layout_, *memory_);
  controller_ = std::make_unique<SimController>(model_, layout_, *state_memory_, host_);
}

}  // namespace velmora::sim

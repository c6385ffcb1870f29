#include "random.h"

namespace velmora::sim {

double Random::Unit() {
  // The top 53 bits fill a double's mantissa exactly.
  return static_cast<double>(engine_() >> 11) * 0x1.0p-53;
}

double Random::Between(double low, double high) {
  return low + (high - low) * Unit();
}

int Random::Integer(int low, int high) {
  const auto span = static_cast<std::uint64_t>(high - low) + 1;
  return low + static_cast<int>(engine_() % span);
}

}  // namespace velmora::sim

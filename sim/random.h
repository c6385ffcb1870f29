#pragma once

#include <cstdint>
#include <random>

namespace velmora::sim {

// The model's only source of chance. The engine's output sequence is fixed by the standard, and the
// conversions below are our own, so a seed gives the same session with any standard library.
class Random {
 public:
  explicit Random(std::uint64_t seed) : engine_(seed) {}

  // Uniform in [0, 1).
  double Unit();
  // Uniform in [low, high).
  double Between(double low, double high);
  // Uniform integer in [low, high].
  int Integer(int low, int high);

 private:
  std::mt19937_64 engine_;
};

}  // namespace velmora::sim

#include "values/units.h"

namespace velmora {

// The offsets 273.15 and 459.67 and the factor 1.8 are not exact doubles, and neither is a reading such as
// 373.15 K. The conversion runs in extended precision and rounds only its result to a double, so that a
// reading on a whole degree keeps the hair it lies below the decimal (373.15 K gives 99.99999999999997 and
// truncates to 99) for every value alike; plain double arithmetic keeps that hair for some readings and
// rounds it away for others (363.15 K would give exactly 90). This needs a long double wider than double,
// as the x87 format of x86 compilers is.
double KelvinToDisplayDegrees(double kelvin, bool metric) {
  const long double k = kelvin;
  return static_cast<double>(metric ? k - 273.15L : k * 1.8L - 459.67L);
}

}  // namespace velmora

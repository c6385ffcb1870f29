#pragma once

namespace velmora {

// A stored temperature in kelvin, in the unit the user reads: degrees Celsius when metric, Fahrenheit
// otherwise. Texts are made from it; colour bands always compare the kelvin value.
double KelvinToDisplayDegrees(double kelvin, bool metric);

}  // namespace velmora

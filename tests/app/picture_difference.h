#pragma once

#include <QImage>
#include <algorithm>
#include <cstdlib>

namespace velmora::test {

// The largest difference of one colour channel between two pictures of the same size.
inline int LargestDifference(const QImage& a, const QImage& b) {
  int largest = 0;
  for (int y = 0; y < a.height(); ++y) {
    for (int x = 0; x < a.width(); ++x) {
      const QRgb p = a.pixel(x, y);
      const QRgb q = b.pixel(x, y);
      largest = std::max({largest, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                          std::abs(qBlue(p) - qBlue(q))});
    }
  }
  return largest;
}

}  // namespace velmora::test

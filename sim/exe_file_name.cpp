#include <cctype>

#include "exe_image.h"

namespace velmora::sim {

std::string ExeFileName(const std::string& title) {
  std::string name;
  for (const char c : title) {
    if (std::isalnum(static_cast<unsigned char>(c)) != 0) {
      name += c;
    }
  }
  return (name.empty() ? std::string("Simulator") : name) + ".exe";
}

}  // namespace velmora::sim

#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "game/address_tables.h"

namespace velmora::sim {

struct SimOptions {
  std::string title = "Race 07";
  std::string window_class = "CUBERealtime";
  std::string version = "1, 2, 1, 9";
  std::string layout = "1, 2, 1, 9";
  int drivers = 20;
  std::uint64_t seed = 1;
  double time_scale = 1.0;

  // The address table of the title and version, else that of `layout` (an executable no rule accepts).
  const AddressTable* table = nullptr;
  bool table_from_layout = false;
};

struct HelpRequested {};

// The options, a request for help, or a message that says what is wrong with the arguments.
std::variant<SimOptions, HelpRequested, std::string> ParseOptions(const std::vector<std::string>& arguments);

// What --help prints: the options and the command language.
std::string HelpText();

}  // namespace velmora::sim

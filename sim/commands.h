#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "game/address_tables.h"
#include "state_memory.h"

namespace velmora::sim {

// One line of the command language on standard input.
struct Command {
  enum class Verb { Set, Get, Pause, Resume, Step, Close, Open, Quit, Sector, Line, Session };

  Verb verb = Verb::Quit;
  std::string member;       // set, get: "FEau", "FTemps.MeilleurTour"
  std::optional<int> slot;  // set, get: the driver record named by "@<slot>"
  std::string value;        // set: the rest of the line
  double seconds = 0.0;     // step; sector: the intermediate time; line: the lap time; session: its length
  int number = 0;           // sector: 1 or 2; session: the type code
  int laps = 0;             // session: laps of a race, negative for a race on time

  bool operator==(const Command&) const = default;
};

// The command on `line`, or the reason it is not one.
std::variant<Command, std::string> ParseCommand(std::string_view line);

// The race commands "sector", "line" and "session", given their verb and the rest of the line; nothing
// when `verb` is none of them.
std::optional<std::variant<Command, std::string>> ParseRaceCommand(std::string_view verb,
                                                                   std::string_view rest);

// A value written for a datum of `type`: whole numbers within the type's range for the integer types,
// any number (also "nan" and "inf") for the floating point types, any Latin-1 text of at most
// `max_text_bytes` for text given as UTF-8. The reason when it is not one.
std::variant<DatumValue, std::string> ParseDatumValue(Datum type, std::string_view text,
                                                      std::size_t max_text_bytes);

// The value as `get` answers it: shortest decimal that reads back to the same value of the datum's own
// type, and text as UTF-8.
std::string FormatDatumValue(Datum type, const DatumValue& value);

// The name of the datum type, as messages speak of it.
std::string_view DatumTypeName(Datum type);

}  // namespace velmora::sim

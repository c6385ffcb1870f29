// The commands that put the player's lap, and the session, at an exact point.
#include <charconv>
#include <cmath>
#include <vector>

#include "commands.h"

namespace velmora::sim {
namespace {

// Longer than any lap or session the simulators run.
constexpr double kLongestTime_s = 86400.0;

std::vector<std::string_view> Words(std::string_view rest) {
  std::vector<std::string_view> words;
  while (true) {
    while (!rest.empty() && (rest.front() == ' ' || rest.front() == '\t' || rest.front() == '\r')) {
      rest.remove_prefix(1);
    }
    if (rest.empty()) {
      return words;
    }
    std::size_t end = 0;
    while (end < rest.size() && rest[end] != ' ' && rest[end] != '\t' && rest[end] != '\r') {
      ++end;
    }
    words.push_back(rest.substr(0, end));
    rest.remove_prefix(end);
  }
}

template <typename T>
std::optional<T> Number(std::string_view text) {
  T value{};
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
    return std::nullopt;
  }
  return value;
}

// A time in seconds above 0 and at most a day.
std::optional<double> Time(std::string_view text) {
  const auto value = Number<double>(text);
  if (!value || !(*value > 0.0 && *value <= kLongestTime_s)) {
    return std::nullopt;
  }
  return value;
}

}  // namespace

std::optional<std::variant<Command, std::string>> ParseRaceCommand(std::string_view verb,
                                                                   std::string_view rest) {
  const std::vector<std::string_view> words = Words(rest);
  Command command;
  if (verb == "sector") {
    const auto sector = words.size() == 2 ? Number<int>(words[0]) : std::nullopt;
    const auto time = words.size() == 2 ? Time(words[1]) : std::nullopt;
    if (!sector || (*sector != 1 && *sector != 2) || !time) {
      return std::string("sector needs the sector ended (1 or 2) and its intermediate time in seconds");
    }
    command.verb = Command::Verb::Sector;
    command.number = *sector;
    command.seconds = *time;
    return command;
  }
  if (verb == "line") {
    const auto time = words.size() == 1 ? Time(words[0]) : std::nullopt;
    if (!time) {
      return std::string("line needs the lap time in seconds, above 0");
    }
    command.verb = Command::Verb::Line;
    command.seconds = *time;
    return command;
  }
  if (verb == "session") {
    const auto type = words.size() == 3 ? Number<int>(words[0]) : std::nullopt;
    const auto length = words.size() == 3 ? Number<double>(words[1]) : std::nullopt;
    const auto laps = words.size() == 3 ? Number<int>(words[2]) : std::nullopt;
    if (!type || !length || !(*length >= 0.0 && *length <= kLongestTime_s) || !laps || *laps < -1 ||
        *laps > 32767) {
      return std::string(
          "session needs a type code, a length in seconds (0 to 86400) and the laps of a race (-1 on time)");
    }
    command.verb = Command::Verb::Session;
    command.number = *type;
    command.seconds = *length;
    command.laps = *laps;
    return command;
  }
  return std::nullopt;
}

}  // namespace velmora::sim

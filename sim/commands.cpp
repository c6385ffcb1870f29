#include "commands.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace velmora::sim {

namespace {

constexpr double kLongestStep_s = 86400.0;

bool IsSpace(char c) {
  return c == ' ' || c == '\t';
}

std::string_view TrimLeft(std::string_view text) {
  while (!text.empty() && IsSpace(text.front())) {
    text.remove_prefix(1);
  }
  return text;
}

std::string_view Trim(std::string_view text) {
  text = TrimLeft(text);
  while (!text.empty() && (IsSpace(text.back()) || text.back() == '\r')) {
    text.remove_suffix(1);
  }
  return text;
}

// The next word of `rest`, which is left after it (without the single separator that follows).
std::string_view NextWord(std::string_view& rest) {
  rest = TrimLeft(rest);
  std::size_t end = 0;
  while (end < rest.size() && !IsSpace(rest[end])) {
    ++end;
  }
  const std::string_view word = rest.substr(0, end);
  rest.remove_prefix(end < rest.size() ? end + 1 : end);
  return word;
}

template <typename T>
std::optional<T> WholeNumber(std::string_view text) {
  if (text.starts_with('+')) {
    text.remove_prefix(1);
  }
  T value{};
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || text.empty()) {
    return std::nullopt;
  }
  return value;
}

std::optional<double> RealNumber(std::string_view text) {
  if (text.starts_with('+')) {
    text.remove_prefix(1);
  }
  double value = 0.0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || text.empty()) {
    return std::nullopt;
  }
  return value;
}

std::string Quoted(std::string_view text) {
  return "\"" + std::string(text) + "\"";
}

// UTF-8 to the simulator's one byte per character, for characters up to U+00FF.
std::optional<std::string> Latin1FromUtf8(std::string_view text) {
  std::string bytes;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto lead = static_cast<unsigned char>(text[i]);
    if (lead < 0x80) {
      bytes += static_cast<char>(lead);
    } else if ((lead == 0xC2 || lead == 0xC3) && i + 1 < text.size() &&
               (static_cast<unsigned char>(text[i + 1]) & 0xC0) == 0x80) {
      bytes += static_cast<char>(((lead & 0x03) << 6) | (static_cast<unsigned char>(text[i + 1]) & 0x3F));
      ++i;
    } else {
      return std::nullopt;
    }
  }
  return bytes;
}

std::string Utf8FromLatin1(std::string_view bytes) {
  std::string text;
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x80) {
      text += c;
    } else {
      text += static_cast<char>(0xC0 | (byte >> 6));
      text += static_cast<char>(0x80 | (byte & 0x3F));
    }
  }
  return text;
}

template <typename T>
std::variant<DatumValue, std::string> InRange(Datum type, std::string_view text) {
  const auto value = WholeNumber<std::int64_t>(text);
  if (!value) {
    return Quoted(text) + " is not a whole number";
  }
  if (*value < std::numeric_limits<T>::min() || *value > std::numeric_limits<T>::max()) {
    return std::string(text) + " is out of range for " + std::string(DatumTypeName(type)) + " (" +
           std::to_string(std::numeric_limits<T>::min()) + " to " +
           std::to_string(std::numeric_limits<T>::max()) + ")";
  }
  return DatumValue{*value};
}

template <typename T>
std::string Shortest(T value) {
  char text[64];
  const auto result = std::to_chars(text, text + sizeof text, value);
  return std::string(text, result.ptr);
}

}  // namespace

std::variant<Command, std::string> ParseCommand(std::string_view line) {
  if (line.ends_with('\r')) {
    line.remove_suffix(1);
  }
  std::string_view rest = line;
  const std::string_view verb = NextWord(rest);
  Command command;
  if (verb.empty()) {
    return std::string("empty command");
  }
  if (verb == "set" || verb == "get") {
    command.verb = verb == "set" ? Command::Verb::Set : Command::Verb::Get;
    std::string_view member = NextWord(rest);
    if (member.empty()) {
      return verb == "set" ? std::string("set needs a member and a value")
                           : std::string("get needs a member");
    }
    if (const auto at = member.find('@'); at != std::string_view::npos) {
      const std::string_view digits = member.substr(at + 1);
      const auto slot = digits.starts_with('+') ? std::nullopt : WholeNumber<int>(digits);
      if (!slot || *slot < 0) {
        return Quoted(digits) + " is not a driver slot";
      }
      command.slot = *slot;
      member = member.substr(0, at);
    }
    command.member = member;
    if (command.verb == Command::Verb::Set) {
      command.value = rest;  // text keeps its spaces; numbers are trimmed when they are read
    } else if (!Trim(rest).empty()) {
      return std::string("get takes only a member");
    }
    return command;
  }
  if (verb == "step") {
    const auto seconds = RealNumber(Trim(rest));
    if (!seconds || !(*seconds >= 0.0 && *seconds <= kLongestStep_s)) {
      return std::string("step needs a number of seconds from 0 to 86400");
    }
    command.verb = Command::Verb::Step;
    command.seconds = *seconds;
    return command;
  }
  if (auto race = ParseRaceCommand(verb, rest)) {
    return *std::move(race);
  }
  static constexpr std::pair<std::string_view, Command::Verb> kBare[] = {{"pause", Command::Verb::Pause},
                                                                         {"resume", Command::Verb::Resume},
                                                                         {"close", Command::Verb::Close},
                                                                         {"open", Command::Verb::Open},
                                                                         {"quit", Command::Verb::Quit}};
  for (const auto& [name, bare] : kBare) {
    if (verb == name) {
      if (!Trim(rest).empty()) {
        return std::string(name) + " takes no argument";
      }
      command.verb = bare;
      return command;
    }
  }
  return "unknown command " + Quoted(verb);
}

std::variant<DatumValue, std::string> ParseDatumValue(Datum type, std::string_view text,
                                                      std::size_t max_text_bytes) {
  if (type != Datum::Text) {
    text = Trim(text);
    if (text.empty()) {
      return std::string("missing value");
    }
  }
  switch (type) {
    case Datum::Byte:
      return InRange<std::uint8_t>(type, text);
    case Datum::SmallInt:
      return InRange<std::int16_t>(type, text);
    case Datum::Integer:
      return InRange<std::int32_t>(type, text);
    case Datum::Single:
    case Datum::Double: {
      const auto value = RealNumber(text);
      if (!value) {
        return Quoted(text) + " is not a number";
      }
      if (type == Datum::Single && std::isfinite(*value) &&
          std::abs(*value) > static_cast<double>(std::numeric_limits<float>::max())) {
        return std::string(text) + " is out of range for Single";
      }
      return DatumValue{*value};
    }
    case Datum::Text: {
      auto bytes = Latin1FromUtf8(text);
      if (!bytes) {
        return std::string("text must be UTF-8 with characters up to U+00FF");
      }
      if (bytes->size() > max_text_bytes) {
        return "text is longer than " + std::to_string(max_text_bytes) + " characters";
      }
      return DatumValue{std::move(*bytes)};
    }
    case Datum::None:
      break;
  }
  return std::string("this member holds no value");
}

std::string FormatDatumValue(Datum type, const DatumValue& value) {
  if (const auto* text = std::get_if<std::string>(&value)) {
    return Utf8FromLatin1(*text);
  }
  if (const auto* whole = std::get_if<std::int64_t>(&value)) {
    return std::to_string(*whole);
  }
  const double real = std::get<double>(value);
  return type == Datum::Single ? Shortest(static_cast<float>(real)) : Shortest(real);
}

std::string_view DatumTypeName(Datum type) {
  switch (type) {
    case Datum::Byte:
      return "Byte";
    case Datum::SmallInt:
      return "SmallInt";
    case Datum::Integer:
      return "Integer";
    case Datum::Single:
      return "Single";
    case Datum::Double:
      return "Double";
    case Datum::Text:
      return "text";
    case Datum::None:
      break;
  }
  return "nothing";
}

}  // namespace velmora::sim

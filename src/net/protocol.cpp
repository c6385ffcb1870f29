#include "net/protocol.h"

#include <charconv>

namespace velmora {

CommandLine SplitCommand(std::string_view line) {
  const auto space = line.find(' ');
  if (space == std::string_view::npos) {
    return {line, {}};
  }
  return {line.substr(0, space), line.substr(space + 1)};
}

bool IsCommand(std::string_view word, std::string_view name) {
  if (word.size() != name.size()) {
    return false;
  }
  for (std::size_t i = 0; i < word.size(); ++i) {
    char c = word[i];
    if (c >= 'a' && c <= 'z') {
      c = static_cast<char>(c - 'a' + 'A');
    }
    if (c != name[i]) {
      return false;
    }
  }
  return true;
}

ReplyLine ParseReply(std::string_view line) {
  ReplyLine reply;
  if (line.size() < 3) {
    return reply;
  }
  int code = 0;
  for (std::size_t i = 0; i < 3; ++i) {
    if (line[i] < '0' || line[i] > '9') {
      return reply;
    }
    code = code * 10 + (line[i] - '0');
  }
  reply.code = code;
  reply.text = line.size() > 4 ? line.substr(4) : std::string_view{};
  return reply;
}

bool ParseByteCount(std::string_view text, std::size_t& count) {
  if (text.empty()) {
    return false;
  }
  const auto* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, count);
  return error == std::errc{} && stop == end;
}

}  // namespace velmora

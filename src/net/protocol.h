#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace velmora {

inline constexpr std::uint16_t kDefaultPort = 6000;

// Longest command or reply line, without its end: a peer that sends more is cut off instead of being
// buffered without end.
inline constexpr std::size_t kMaxLineLength = 1024;

inline constexpr std::string_view kReplySameVersion = "200 OK same version";
inline constexpr std::string_view kReplyBye = "200 Ok, bye";
inline constexpr std::string_view kReplyBadVersion = "500 Bad Version!";
inline constexpr std::string_view kReplyNoData = "501 No data";
inline constexpr std::string_view kLineEnd = "\r\n";

// A command line cut at its first space: the word, and everything after that space unchanged.
struct CommandLine {
  std::string_view word;
  std::string_view argument;
};
CommandLine SplitCommand(std::string_view line);

// Whether the command word is `name`, whatever the case of its letters.
bool IsCommand(std::string_view word, std::string_view name);

// A reply line: its three-digit code (-1 when the line does not start with three digits) and its text.
struct ReplyLine {
  int code = -1;
  std::string_view text;
};
ReplyLine ParseReply(std::string_view line);

// The byte count of a "201" reply: a plain decimal number, nothing else.
bool ParseByteCount(std::string_view text, std::size_t& count);

}  // namespace velmora

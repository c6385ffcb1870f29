#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "net/protocol.h"

namespace velmora {

// Cuts a byte stream into lines ended by LF (a CR before it is dropped). It holds at most one partial
// line of `max_line` bytes plus the bytes fed since the last line taken; a longer line makes it fail for
// good, so a peer cannot make it grow.
class LineSplitter final {
 public:
  explicit LineSplitter(std::size_t max_line = kMaxLineLength) : max_line_(max_line) {}

  // Appends received bytes; call when NextLine has no line to give.
  void Feed(std::span<const char> bytes);
  // The next complete line without its end, valid until the next call; none when no full line is held
  // or once the splitter failed.
  std::optional<std::string_view> NextLine();
  // The end that the last line given had: "\r\n" or "\n".
  std::string_view LastLineEnd() const { return last_end_; }
  bool Failed() const { return failed_; }
  std::size_t Buffered() const { return buffer_.size() - start_; }

 private:
  std::size_t max_line_;
  std::string buffer_;
  std::size_t start_ = 0;
  std::string_view last_end_;
  bool failed_ = false;
};

}  // namespace velmora

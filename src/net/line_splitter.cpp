#include "net/line_splitter.h"

namespace velmora {

void LineSplitter::Feed(std::span<const char> bytes) {
  if (failed_) {
    return;
  }
  if (start_ > 0) {
    buffer_.erase(0, start_);
    start_ = 0;
  }
  buffer_.append(bytes.data(), bytes.size());
}

std::optional<std::string_view> LineSplitter::NextLine() {
  if (failed_) {
    return std::nullopt;
  }
  const std::string_view rest = std::string_view(buffer_).substr(start_);
  const auto lf = rest.find('\n');
  if (lf == std::string_view::npos) {
    // One byte of slack for the CR of a line whose LF has not come yet.
    if (rest.size() > max_line_ + 1) {
      failed_ = true;
      buffer_.clear();
      buffer_.shrink_to_fit();
      start_ = 0;
    }
    return std::nullopt;
  }
  std::string_view line = rest.substr(0, lf);
  last_end_ = "\n";
  if (!line.empty() && line.back() == '\r') {
    line.remove_suffix(1);
    last_end_ = "\r\n";
  }
  if (line.size() > max_line_) {
    failed_ = true;
    return std::nullopt;
  }
  start_ += lf + 1;
  return line;
}

}  // namespace velmora

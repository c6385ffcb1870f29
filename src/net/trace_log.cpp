#include "net/trace_log.h"

#include <chrono>
#include <ctime>
#include <filesystem>
#include <system_error>

namespace velmora {
namespace {

// A flush costs a system call; a busy connection's entries are flushed at most this often, and every
// entry is out once its connection ends.
constexpr auto kFlushPeriod = std::chrono::milliseconds(100);

}  // namespace

// The local date and time with milliseconds. The text of the second is made once per second: std::localtime
// is not cheap. Called under the log's lock, which also keeps its shared result to one caller at a time.
void TraceLog::AppendLocalTime(std::string& entry) {
  const auto now = std::chrono::system_clock::now();
  const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  const auto millis =
      std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
  if (seconds != second_ || second_text_.empty()) {
    char text[32] = "";
    if (const std::tm* local = std::localtime(&seconds); local != nullptr) {
      std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", local);
    }
    second_ = seconds;
    second_text_ = text;
  }
  char fraction[8];
  std::snprintf(fraction, sizeof fraction, ".%03d", static_cast<int>(millis));
  entry += second_text_;
  entry += fraction;
}

TraceLog::~TraceLog() {
  if (file_ != nullptr) {
    std::fclose(file_);
  }
}

void TraceLog::AppendShown(std::string& entry, std::string_view bytes) {
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const char c = bytes[i];
    if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') {
      entry += "<EOL>";
      ++i;
    } else if (c == '\r') {
      entry += "<CR>";
    } else if (c == '\n') {
      entry += "<LF>";
    } else if (c >= 0x20 && c < 0x7F) {
      entry += c;
    } else {
      entry += '.';
    }
  }
}

void TraceLog::Status(std::string_view peer, std::string_view what) {
  std::lock_guard lock(mutex_);
  entry_.assign(peer);
  entry_ += " Stat ";
  entry_ += what;
  entry_ += "\r\n";
  Write(entry_, true);
}

void TraceLog::Data(std::string_view peer, std::string_view kind, std::string_view bytes) {
  std::lock_guard lock(mutex_);
  entry_.assign(peer);
  entry_ += ' ';
  entry_ += kind;
  AppendLocalTime(entry_);
  entry_ += ": ";
  AppendShown(entry_, bytes);
  entry_ += "\r\n";
  Write(entry_, false);
}

std::string TraceLog::RotatedPath(const std::string& path) {
  const std::filesystem::path file(path);
  std::filesystem::path rotated = file;
  rotated.replace_filename(file.stem().string() + ".1" + file.extension().string());
  return rotated.string();
}

bool TraceLog::Open() {
  file_ = std::fopen(path_.c_str(), "ab");
  failed_ = file_ == nullptr;  // a log that cannot be opened must not stop the serving
  if (file_ != nullptr) {
    std::error_code error;
    const auto size = std::filesystem::file_size(path_, error);
    size_ = error ? 0 : size;
  }
  return file_ != nullptr;
}

// The previous file is replaced, not added to: what is kept stays bounded at about twice the limit.
void TraceLog::Rotate() {
  std::fclose(file_);
  file_ = nullptr;
  const std::string rotated = RotatedPath(path_);
  std::error_code error;
  std::filesystem::remove(rotated, error);
  std::filesystem::rename(path_, rotated, error);
  // When the rename fails (the previous file held open elsewhere) the entries stay where they are, and
  // the next attempt waits for another limit's worth rather than reopening for every entry.
  if (Open() && error) {
    size_ = 0;
  }
}

void TraceLog::Write(const std::string& entry, bool flush_now) {
  if (file_ == nullptr && (failed_ || !Open())) {
    return;
  }
  if (size_ > 0 && size_ + entry.size() > max_bytes_) {
    Rotate();
    if (file_ == nullptr) {
      return;
    }
  }
  size_ += std::fwrite(entry.data(), 1, entry.size(), file_);
  const auto now = std::chrono::steady_clock::now();
  if (flush_now || now - last_flush_ >= kFlushPeriod) {
    std::fflush(file_);
    last_flush_ = now;
  }
}

}  // namespace velmora

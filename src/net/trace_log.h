#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <mutex>
#include <string>
#include <string_view>

namespace velmora {

// The server's trace of every connection, appended to one file shared by all connections. Each entry is
// one line ended by CR LF, written whole under a lock. A long race would fill the disk, so once an entry
// would take the file past `max_bytes` the file becomes the previous one (RotatedPath) and a new one starts.
class TraceLog final {
 public:
  static constexpr std::uintmax_t kDefaultMaxBytes = 16 * 1024 * 1024;

  explicit TraceLog(std::string path, std::uintmax_t max_bytes = kDefaultMaxBytes)
      : path_(std::move(path)), max_bytes_(max_bytes) {}
  ~TraceLog();
  TraceLog(const TraceLog&) = delete;
  TraceLog& operator=(const TraceLog&) = delete;

  // `peer` is "a.b.c.d:port", or "0.0.0.0:0" when the peer is not known.
  void Connected(std::string_view peer) { Status(peer, "Connected."); }
  void Disconnected(std::string_view peer) { Status(peer, "Disconnected."); }
  void Received(std::string_view peer, std::string_view bytes) { Data(peer, "Recv ", bytes); }
  void Sent(std::string_view peer, std::string_view bytes) { Data(peer, "Sent ", bytes); }

  // The bytes as the log shows them: CR LF as "<EOL>", a lone CR as "<CR>", a lone LF as "<LF>", other
  // control and non-ASCII bytes as ".", so that every entry stays one printable line.
  static void AppendShown(std::string& entry, std::string_view bytes);
  // "protocole.txt" keeps its previous entries in "protocole.1.txt".
  static std::string RotatedPath(const std::string& path);

 private:
  void Status(std::string_view peer, std::string_view what);
  void Data(std::string_view peer, std::string_view kind, std::string_view bytes);
  // A connection's status entries are flushed at once; its data entries at most every 100 ms.
  void Write(const std::string& entry, bool flush_now);
  void AppendLocalTime(std::string& entry);
  bool Open();
  void Rotate();

  std::string path_;
  std::uintmax_t max_bytes_;
  std::mutex mutex_;
  std::FILE* file_ = nullptr;
  std::uintmax_t size_ = 0;
  bool failed_ = false;
  std::string entry_;  // reused, so that a busy connection does not allocate per entry
  std::time_t second_ = 0;
  std::string second_text_;
  std::chrono::steady_clock::time_point last_flush_{};
};

}  // namespace velmora

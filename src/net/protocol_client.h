#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace velmora {

// The client end of the line protocol: IPv4, every wait bounded. One thread uses it at a time. A server
// that sends far more than was asked for (16 KiB past what has been taken) loses the connection.
class TProtocolClient final {
 public:
  static constexpr std::chrono::milliseconds kTimeout{2000};

  TProtocolClient();
  ~TProtocolClient();
  TProtocolClient(const TProtocolClient&) = delete;
  TProtocolClient& operator=(const TProtocolClient&) = delete;

  // False when `host` is not an IPv4 address or nothing accepts within the timeout.
  bool Connect(const std::string& host, std::uint16_t port, std::chrono::milliseconds timeout = kTimeout);
  // Whether the connection is open; notices, without waiting, that the server has closed it.
  bool Connected();
  void Disconnect();
  // Says "QUIT" and gives the server up to `timeout` to close its side, so that its one slot is free again
  // when this returns; then closes.
  void Quit(std::chrono::milliseconds timeout = std::chrono::milliseconds(200));
  // Whether the socket is open, without looking at the connection.
  bool IsOpen() const;
  // From any thread: makes the operation under way, and the next one, give up at once.
  void Interrupt();
  // After the interrupted thread has finished: the client may be used again.
  void ClearInterrupt();

  bool SendLine(std::string_view line, std::chrono::milliseconds timeout = kTimeout);
  // Sends the bytes as they are.
  bool Send(std::string_view bytes, std::chrono::milliseconds timeout = kTimeout);
  // The next line without its end; none on a timeout, a closed connection or a line longer than 1 KiB.
  std::optional<std::string> ReadLine(std::chrono::milliseconds timeout = kTimeout);
  // Exactly `bytes.size()` bytes, or false.
  bool ReadBytes(std::span<std::byte> bytes, std::chrono::milliseconds timeout = kTimeout);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace velmora

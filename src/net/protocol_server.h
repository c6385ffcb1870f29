#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <stop_token>
#include <string>
#include <string_view>

#include "net/game_data.h"
#include "net/protocol.h"

namespace velmora {

// What the server asks of the game for each "DATA" command, on the server's own thread.
class ServerDataSource {
 public:
  virtual ~ServerDataSource() = default;
  // Fills `record` from the attached simulator and returns true. Without a simulator it sends the game
  // back to detection and returns false. `stop` is requested when the server stops.
  virtual bool CommandData(TGameData& record, std::stop_token stop) = 0;
};

struct ServerOptions {
  std::uint16_t port = kDefaultPort;     // 0 lets the system choose; Port() tells which
  std::string bind_address = "0.0.0.0";  // an IPv4 address of this machine; the default takes them all
  std::string version;                   // what "VERSION" is compared with
  std::string trace_log_path = "protocole.txt";
  std::uintmax_t trace_log_max_bytes = 16 * 1024 * 1024;  // then it starts afresh, keeping one previous
  // A peer that sends no complete line for this long loses its connection, so that a silent one cannot
  // hold the only slot for ever.
  std::chrono::milliseconds idle_timeout{30000};
  // Told of every connection and disconnection, on the server's thread; may be empty.
  std::function<void(std::string_view)> on_event;
};

// The line protocol server: listens on one IPv4 address (or all of them) and serves one connection at a time
// on a thread of its own; a connection that comes while one is served is accepted and closed at once.
class TProtocolServer final {
 public:
  TProtocolServer(ServerDataSource& source, ServerOptions options);
  ~TProtocolServer();
  TProtocolServer(const TProtocolServer&) = delete;
  TProtocolServer& operator=(const TProtocolServer&) = delete;

  // Starts listening; throws std::system_error when the address is not one of this machine's IPv4
  // addresses or the port cannot be opened.
  void Activate();
  // Closes the listener and the connection being served and joins the thread.
  void Deactivate();
  bool Active() const { return impl_ != nullptr; }

  void SetPort(std::uint16_t port) { options_.port = port; }
  // The port listened on while active.
  std::uint16_t Port() const;

 private:
  struct Impl;
  ServerDataSource& source_;
  ServerOptions options_;
  std::unique_ptr<Impl> impl_;
};

}  // namespace velmora

#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "net/asio.h"
#include "web/view_state.h"

namespace velmora::web {

struct ViewerServerOptions {
  std::string bind_address = "127.0.0.1";
  std::uint16_t port = 8080;  // 0 takes any free port
  // Empty: anyone who reaches the port may watch. Otherwise the page and the stream need "?token=TEXT".
  std::string token;
  // Host names besides the relay's own addresses and "localhost" that a request may name in its Host
  // header; any other is refused, so that a page of another site cannot reach the relay through a name
  // of its own that it points at this machine.
  std::vector<std::string> allowed_hosts;
  // Connections served at once: update streams in all, HTTP connections that are not (yet) streams in
  // all, and both together from one address. A connection past one of them is closed at once.
  std::size_t max_viewers = 200;
  std::size_t max_requests = 64;
  std::size_t max_per_address = 64;
  // Messages a viewer may have waiting; past that it skips them and gets the whole state when it reads
  // again.
  std::size_t backlog = 8;
  // A viewer whose socket takes nothing for this long is dropped.
  std::chrono::milliseconds stall_limit{10000};
  // Told about viewers joining, leaving and being dropped (one line, no end of line).
  std::function<void(std::string_view)> on_event;
};

// The relay's HTTP side: the page at "/", the update stream as a WebSocket at "/stream". Runs on the
// io_context it is given, which one thread runs; Publish may be called from any thread.
class ViewerServer final {
 public:
  // Listens at once; throws std::system_error when the address or the port cannot be taken.
  ViewerServer(asio::io_context& io, ViewerServerOptions options);
  ~ViewerServer();
  ViewerServer(const ViewerServer&) = delete;
  ViewerServer& operator=(const ViewerServer&) = delete;

  std::uint16_t Port() const { return port_; }
  // The state after a poll; viewers get what changed since the one before.
  void Publish(const ViewState& state);
  // Stops listening and closes every viewer; the io_context then runs out of work.
  void Close();

  struct Hub;

 private:
  std::shared_ptr<Hub> hub_;
  std::uint16_t port_ = 0;
};

}  // namespace velmora::web

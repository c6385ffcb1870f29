#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <thread>

#include "net/asio.h"
#include "net/game_data.h"

namespace velmora::web::test {

// A server of the line protocol on a free port of 127.0.0.1, on a thread of its own, that sends whatever
// records `make` gives: the n-th "DATA" it is asked (from 0, over every connection) gets make(n). It
// accepts any version, as a server that wants to feed the relay anything would.
class RecordServer {
 public:
  using MakeRecord = std::function<TGameData(long poll)>;
  explicit RecordServer(MakeRecord make);
  ~RecordServer();
  RecordServer(const RecordServer&) = delete;
  RecordServer& operator=(const RecordServer&) = delete;
  std::uint16_t Port() const { return port_; }
  // How many records it has sent.
  long Polls() const;

 private:
  struct Impl;
  std::shared_ptr<Impl> impl_;
  std::thread thread_;
  std::uint16_t port_ = 0;
};

}  // namespace velmora::web::test

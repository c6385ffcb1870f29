#pragma once

#include "game/game_link.h"
#include "net/protocol_server.h"

namespace velmora {

// The server's "DATA" on the game model: the record read from the attached simulator, or, when the
// simulator has gone, the return to detection on the main thread.
class GameServerSource final : public ServerDataSource {
 public:
  explicit GameServerSource(TGameLink& link) : link_(link) {}
  bool CommandData(TGameData& record, std::stop_token stop) override;

 private:
  TGameLink& link_;
};

}  // namespace velmora

#include "net/game_server_source.h"

#include <mutex>

#include "game/game.h"

namespace velmora {

bool GameServerSource::CommandData(TGameData& record, std::stop_token stop) {
  TGame& game = link_.Game();
  {
    // Detection may be attaching on the main thread: its addresses and process must not change under
    // the read.
    std::lock_guard lock(link_.AttachMutex());
    if (link_.TestProgramActif() && game.FProgramHandleProcess != nullptr) {
      game.ReadServer();
      record = game.GameData;
      return true;
    }
  }
  // The timer and the status belong to the main thread.
  link_.HandOver().RunAndWait(
      [this] {
        std::lock_guard lock(link_.AttachMutex());
        link_.SyncGameLost();
      },
      stop);
  return false;
}

}  // namespace velmora

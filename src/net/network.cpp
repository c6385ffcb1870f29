#include "net/network.h"

namespace velmora {

void TNetwork::SetNetworkType(TNetworkType Value) {
  if (Value == NetworkType()) {
    return;
  }
  if (NetworkType() == TNetworkType::ntServer && steps_ != nullptr) {
    // A request being served reads the role to choose what it may touch; it must have ended, and the
    // server's thread with it, before the role says anything else.
    steps_->StopServer();
  }
  if (NetworkType() == TNetworkType::ntStandalone && steps_ != nullptr) {
    // A scan pass still running would read the game beside the server's requests, and its end would let
    // the process go while a request reads through it.
    steps_->StopScan();
  }
  FNetworkType.store(Value, std::memory_order_release);
  if (steps_ == nullptr) {
    return;
  }
  switch (Value) {
    case TNetworkType::ntStandalone:
      steps_->StopClient();
      steps_->StopServer();
      steps_->EnableDetection(true);
      break;
    case TNetworkType::ntServer:
      steps_->StopClient();
      steps_->StartServer();
      steps_->EnableDetection(true);
      break;
    case TNetworkType::ntClient:
      steps_->StopServer();
      steps_->StartClient();
      steps_->EnableDetection(false);
      break;
  }
}

}  // namespace velmora

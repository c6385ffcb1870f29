#pragma once

#include <atomic>
#include <cstdint>
#include <string>

namespace velmora {

class TGame;

enum class TNetworkType : std::uint8_t { ntStandalone = 0, ntServer = 1, ntClient = 2 };

// The network role. The scan thread reads it on every pass while the main thread may switch it, so the
// role is atomic.
class TNetwork final {
 public:
  explicit TNetwork(TGame& AGame) : FGame(&AGame) {}

  TNetworkType NetworkType() const { return FNetworkType.load(std::memory_order_acquire); }
  void SetNetworkType(TNetworkType type) { FNetworkType.store(type, std::memory_order_release); }

  TGame* FGame;
  // The server a client connects to, and the port a server listens on and a client connects to; the main
  // window loads both from the settings right after the game model is made.
  std::string FIP;
  std::uint32_t FPort = 0;

 private:
  std::atomic<TNetworkType> FNetworkType{TNetworkType::ntStandalone};
};

}  // namespace velmora

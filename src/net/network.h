#pragma once

#include <atomic>
#include <cstdint>
#include <string>

namespace velmora {

class TGame;

enum class TNetworkType : std::uint8_t { ntStandalone = 0, ntServer = 1, ntClient = 2 };

// The steps a role switch takes, provided by whoever holds the endpoints (the dashboard, the command
// line). Main thread only.
class NetworkRoleSteps {
 public:
  virtual ~NetworkRoleSteps() = default;
  // Ends the scan thread and joins it, a cycle it has handed over withdrawn or finished: it reads the
  // game only in the stand-alone role.
  virtual void StopScan() = 0;
  virtual void StopClient() = 0;
  virtual void StopServer() = 0;
  // Throws when the port cannot be opened.
  virtual void StartServer() = 0;
  // Connects and shakes hands; reports its own failures to the user.
  virtual void StartClient() = 0;
  virtual void EnableDetection(bool enabled) = 0;
};

// The network role and the server's address and port. The scan thread reads the role on every pass
// while the main thread may switch it, so the role is atomic.
class TNetwork final {
 public:
  explicit TNetwork(TGame& AGame) : FGame(&AGame) {}

  TNetworkType NetworkType() const { return FNetworkType.load(std::memory_order_acquire); }
  // Switches the role and runs its steps; switching to the current role does nothing. A server port
  // that cannot be opened throws, with the role already changed.
  void SetNetworkType(TNetworkType Value);
  // Without steps a switch only changes the role.
  void BindSteps(NetworkRoleSteps* steps) { steps_ = steps; }

  // The port as the endpoints use it: its low 16 bits.
  std::uint16_t Port16() const { return static_cast<std::uint16_t>(FPort & 0xFFFFU); }

  TGame* FGame;
  // The server a client connects to, and the port a server listens on and a client connects to; the main
  // window loads both from the settings right after the game model is made.
  std::string FIP;
  std::uint32_t FPort = 0;

 private:
  std::atomic<TNetworkType> FNetworkType{TNetworkType::ntStandalone};
  NetworkRoleSteps* steps_ = nullptr;
};

}  // namespace velmora

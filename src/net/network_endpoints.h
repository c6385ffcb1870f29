#pragma once

#include <chrono>
#include <memory>
#include <string>

#include "game/game_link.h"
#include "net/client_session.h"
#include "net/game_server_source.h"
#include "net/network.h"
#include "net/protocol_server.h"

namespace velmora {

// The server and client endpoints of one program and the steps of the role switch on them.
class TNetworkEndpoints final : public NetworkRoleSteps {
 public:
  // `version` is what the handshake sends and the server compares.
  TNetworkEndpoints(TGameLink& link, DetectionTimer& timer, NetworkUi& ui, std::string version);
  // Unbinds itself and closes both endpoints.
  ~TNetworkEndpoints() override;
  TNetworkEndpoints(const TNetworkEndpoints&) = delete;
  TNetworkEndpoints& operator=(const TNetworkEndpoints&) = delete;

  void StopScan() override { link_.StopScanThread(); }
  void StopClient() override;
  void StopServer() override;
  void StartServer() override;
  void StartClient() override;
  void EnableDetection(bool enabled) override { timer_.SetEnabled(enabled); }

  // The "Scan" menu's interval, which paces the client's polls.
  void SetDataInterval(std::chrono::milliseconds interval);

  // The IPv4 address the server listens on from its next start; empty for all of them.
  void SetBindAddress(std::string address) { bind_address_ = std::move(address); }

  // Quitting: a connected client is closed (the user is asked when `ask`, and no reconnect follows).
  void CloseForQuit(bool ask = true);

  TProtocolServer* FTCPServer() { return server_.get(); }
  TClientSession* FTCPClient() { return client_.get(); }

 private:
  TGameLink& link_;
  DetectionTimer& timer_;
  NetworkUi& ui_;
  std::string version_;
  std::chrono::milliseconds interval_ = TClientSession::kDefaultDataInterval;
  std::string bind_address_;
  GameServerSource source_;
  std::unique_ptr<TProtocolServer> server_;
  std::unique_ptr<TClientSession> client_;
};

}  // namespace velmora

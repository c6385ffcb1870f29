#include "net/network_endpoints.h"

#include "game/game.h"

namespace velmora {

TNetworkEndpoints::TNetworkEndpoints(TGameLink& link, DetectionTimer& timer, NetworkUi& ui,
                                     std::string version)
    : link_(link), timer_(timer), ui_(ui), version_(std::move(version)), source_(link) {
  link_.Game().FNetwork.BindSteps(this);
}

TNetworkEndpoints::~TNetworkEndpoints() {
  link_.Game().FNetwork.BindSteps(nullptr);
  client_.reset();
  server_.reset();
}

void TNetworkEndpoints::StopClient() {
  if (client_ == nullptr) {
    return;
  }
  if (client_->Connected()) {
    // Reconnecting only makes sense while the program is still a client.
    client_->CloseByProgram(link_.Game().FNetwork.NetworkType() == TNetworkType::ntClient);
  }
  client_.reset();
}

void TNetworkEndpoints::StopServer() {
  if (server_ != nullptr) {
    server_->Deactivate();
    server_.reset();
  }
}

void TNetworkEndpoints::StartServer() {
  if (server_ == nullptr) {
    ServerOptions options;
    options.version = version_;
    if (!bind_address_.empty()) {
      options.bind_address = bind_address_;
    }
    server_ = std::make_unique<TProtocolServer>(source_, std::move(options));
  }
  if (server_->Active()) {
    server_->Deactivate();
  }
  server_->SetPort(link_.Game().FNetwork.Port16());
  server_->Activate();
}

void TNetworkEndpoints::StartClient() {
  if (client_ == nullptr) {
    client_ = std::make_unique<TClientSession>(link_, ui_, version_);
    client_->SetDataInterval(interval_);
  }
  if (client_->Connected()) {
    client_->CloseByProgram(false);
  }
  const TNetwork& network = link_.Game().FNetwork;
  client_->Connect(network.FIP, network.Port16());
}

void TNetworkEndpoints::SetDataInterval(std::chrono::milliseconds interval) {
  interval_ = interval;
  if (client_ != nullptr) {
    client_->SetDataInterval(interval);
  }
}

void TNetworkEndpoints::CloseForQuit(bool ask) {
  if (client_ != nullptr && client_->Connected()) {
    if (ask) {
      client_->CloseByProgram(false);
    } else {
      client_->CloseWithoutAsking();
    }
  }
}

}  // namespace velmora

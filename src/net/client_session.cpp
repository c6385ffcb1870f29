#include "net/client_session.h"

#include <array>
#include <cstring>

#include "game/game.h"
#include "game/game_link.h"
#include "net/protocol.h"

namespace velmora {
namespace {

// A count this large is not worth reading just to stay in step with the server.
constexpr std::size_t kMaxSkippedBytes = 64 * 1024;

}  // namespace

TClientSession::TClientSession(TGameLink& link, NetworkUi& ui, std::string version)
    : link_(link), ui_(ui), version_(std::move(version)) {}

TClientSession::~TClientSession() {
  if (reception_.joinable()) {
    reception_.request_stop();
    pause_.Stop();
    client_.Interrupt();
    reception_.join();
    client_.ClearInterrupt();
  }
  if (client_.IsOpen()) {
    client_.Quit();
  }
}

bool TClientSession::Connect(const std::string& host, std::uint16_t port) {
  if (reception_.joinable()) {
    StopReception(false);
  }
  host_ = host;
  port_ = port;
  if (!client_.Connect(host, port) || !client_.SendLine("VERSION " + version_)) {
    client_.Disconnect();
    ui_.ShowError(kMessageImpossibleConnection);
    return false;
  }
  const auto line = client_.ReadLine();
  if (!line) {
    client_.Disconnect();
    ui_.ShowError(kMessageImpossibleConnection);
    return false;
  }
  const ReplyLine reply = ParseReply(*line);
  if (reply.code == 200) {
    // Asked before the reception thread starts: from then on that thread alone may touch the socket.
    const bool open = client_.IsOpen();
    StartReception();
    if (open) {
      link_.LedApplication("Connected to server", 1);
    }
    return true;
  }
  // Without an agreement on the version no polling starts, and the server's only slot is given back.
  client_.Disconnect();
  if (reply.code == 500) {
    ui_.ShowError(kMessageNotSameVersion);
  }
  return false;
}

bool TClientSession::Connected() {
  if (Polling()) {
    // The reception thread owns the connection while it runs and notices a close itself.
    return true;
  }
  if (!client_.Connected()) {
    if (reception_.joinable()) {
      StopReception(false);
    }
    return false;
  }
  return true;
}

void TClientSession::CloseByProgram(bool may_reconnect) {
  if (!Polling() && !client_.IsOpen()) {
    return;
  }
  const bool reconnect = ui_.AskReconnect();
  StopReception(false);
  if (reconnect && may_reconnect) {
    Connect(host_, port_);
  }
}

void TClientSession::CloseWithoutAsking() {
  if (Polling() || client_.IsOpen()) {
    StopReception(false);
  }
}

void TClientSession::StartReception() {
  finished_ = false;
  pause_.Reset();
  reception_ = std::jthread([this](std::stop_token stop) { Execute(stop); });
}

void TClientSession::StopReception(bool on_reception_thread, std::stop_token stop) {
  if (!on_reception_thread && reception_.joinable()) {
    reception_.request_stop();
    pause_.Stop();
    client_.Interrupt();
    while (!finished_.load()) {
      ui_.ProcessMessages();
      std::unique_lock lock(finished_mutex_);
      finished_changed_.wait_for(lock, std::chrono::milliseconds(5), [this] { return finished_.load(); });
    }
    reception_.join();
    client_.ClearInterrupt();
  }
  if (!on_reception_thread && client_.IsOpen()) {
    client_.Quit();
  }
  const auto show_unknown = [this] { link_.LedApplication("Unknown Game", 0); };
  if (on_reception_thread) {
    link_.HandOver().RunAndWait(show_unknown, stop);
  } else {
    show_unknown();
  }
}

bool TClientSession::ConnectedOnReceptionThread(std::stop_token stop) {
  if (client_.Connected()) {
    return true;
  }
  StopReception(true, stop);
  return false;
}

void TClientSession::Execute(std::stop_token stop) {
  while (!stop.stop_requested()) {
    if (!ConnectedOnReceptionThread(stop)) {
      ui_.ShowError(kMessageDisconnected);
      break;
    }
    if (client_.SendLine("DATA")) {
      if (const auto line = client_.ReadLine(); line && !stop.stop_requested()) {
        const ReplyLine reply = ParseReply(*line);
        if (reply.code == 201 && !ReceiveRecord(reply.text, stop) && !stop.stop_requested()) {
          // Part of a record is left behind or ahead: what follows could not be told apart from record
          // bytes, so the connection goes as if the server had closed it.
          client_.Disconnect();
          continue;
        }
      }
    }
    Pause();
  }
  {
    std::lock_guard lock(finished_mutex_);
    finished_ = true;
  }
  finished_changed_.notify_all();
}

bool TClientSession::ReceiveRecord(std::string_view count_text, std::stop_token stop) {
  std::size_t count = 0;
  if (!ParseByteCount(count_text, count)) {
    ui_.ShowError(kMessageProbleme);
    return true;
  }
  if (count != kGameDataSize) {
    // Not our record: read past it when that is cheap, so the next reply starts where it should, and
    // keep what is shown.
    if (count > kMaxSkippedBytes) {
      return false;
    }
    std::array<std::byte, 4096> skipped{};
    for (std::size_t left = count; left > 0;) {
      const std::size_t part = std::min(left, skipped.size());
      if (!client_.ReadBytes(std::span(skipped.data(), part))) {
        return false;
      }
      left -= part;
    }
    ui_.ShowError(kMessageProbleme);
    return true;
  }
  std::array<std::byte, kGameDataSize> bytes{};
  if (!client_.ReadBytes(bytes)) {
    return false;
  }
  TGame& game = link_.Game();
  link_.HandOver().RunAndWait(
      [&] {
        std::memcpy(&game.GameData, bytes.data(), bytes.size());
        game.WriteAndDisplayClient();
      },
      stop);
  return true;
}

void TClientSession::Pause() {
  pause_.Wait(std::chrono::milliseconds(interval_ms_.load()));
}

}  // namespace velmora

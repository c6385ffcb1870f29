#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <stop_token>
#include <string>
#include <string_view>
#include <thread>

#include "game/stoppable_pause.h"
#include "net/protocol_client.h"

namespace velmora {

class TGameLink;

// What the network roles show the user: message boxes in the dashboard, lines or records elsewhere.
class NetworkUi {
 public:
  virtual ~NetworkUi() = default;
  // An error message with one OK button. The reception thread raises some of them; it does not wait
  // for the user.
  virtual void ShowError(std::string_view message) = 0;
  // "Disconnected !" and "Do you want reconnect?"; main thread; true for OK.
  virtual bool AskReconnect() = 0;
  // Called while the main thread waits for the reception thread, to keep the window answering.
  virtual void ProcessMessages() {}
};

inline constexpr std::string_view kMessageImpossibleConnection = "Impossible connection";
inline constexpr std::string_view kMessageNotSameVersion = "Not same version";
inline constexpr std::string_view kMessageDisconnected = "Disconnected !";
inline constexpr std::string_view kMessageProbleme = "Probleme";

// The client role: connects and shakes hands on the main thread, then polls the server for the record
// on its reception thread and hands each record to the main thread to be shown.
class TClientSession final {
 public:
  static constexpr std::chrono::milliseconds kDefaultDataInterval{500};

  TClientSession(TGameLink& link, NetworkUi& ui, std::string version);
  // Ends polling and closes the connection without asking anything.
  ~TClientSession();
  TClientSession(const TClientSession&) = delete;
  TClientSession& operator=(const TClientSession&) = delete;

  // Main thread: connects, shakes hands and starts polling; shows "Impossible connection" or "Not same
  // version" when that fails. True when polling started.
  bool Connect(const std::string& host, std::uint16_t port);
  // Main thread: whether the connection is open; a connection the server has closed is noticed here and
  // polling ends.
  bool Connected();
  // Main thread: the program closes the connection. The user is asked whether to reconnect; OK does so,
  // with the same address and port, when `may_reconnect`.
  void CloseByProgram(bool may_reconnect);
  // Main thread: the program ends without a person to ask (a termination signal): closes, asking nothing.
  void CloseWithoutAsking();

  void SetDataInterval(std::chrono::milliseconds interval) {
    interval_ms_ = static_cast<int>(interval.count());
  }
  bool Polling() const { return reception_.joinable() && !finished_.load(); }

 private:
  void StartReception();
  // `stop` is the reception thread's own token when it calls: `reception_` may still be being assigned
  // by the main thread when a thread that has just started finds the connection gone.
  void StopReception(bool on_reception_thread, std::stop_token stop = {});
  void Execute(std::stop_token stop);
  // False when the connection is no longer in step: a record, or bytes to skip, did not arrive whole.
  bool ReceiveRecord(std::string_view count_text, std::stop_token stop);
  bool ConnectedOnReceptionThread(std::stop_token stop);
  void Pause();

  TGameLink& link_;
  NetworkUi& ui_;
  std::string version_;
  std::string host_;
  std::uint16_t port_ = 0;
  TProtocolClient client_;
  std::atomic<int> interval_ms_{static_cast<int>(kDefaultDataInterval.count())};
  std::atomic<bool> finished_{false};
  std::mutex finished_mutex_;
  std::condition_variable finished_changed_;
  StoppablePause pause_;
  std::jthread reception_;
};

}  // namespace velmora

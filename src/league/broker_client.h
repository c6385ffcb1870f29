#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>

#include "league/broker_url.h"

struct mosquitto;
struct mosquitto_message;

namespace velmora::league {

struct BrokerOptions {
  BrokerUrl url;
  std::string ca_file;    // mqtts: the CA that signed the broker's certificate; empty: the system's
  std::string client_id;  // unique per connection; a broker drops an older client of the same id
  // The message the broker sends for this client when the connection dies without a goodbye.
  std::string will_topic;
  std::string will_payload;
  // The broker declares the client gone after one and a half of these without a word.
  int keep_alive_s = 10;
};

enum class BrokerStart : std::uint8_t {
  kConnected,
  kUnreachable,  // no connection, or TLS that does not hold
  kRefused,      // the broker answered and refused the login
};

// One connection to an MQTT broker (Eclipse Mosquitto's client library), kept up by the library's own
// network thread: after a lost network or a broker restart it connects again, waiting 1 s, then twice as
// long each time up to 30 s.
class BrokerClient final {
 public:
  // Called on the network thread after each connection the broker accepts, the first one included.
  using Connected = std::function<void()>;
  // Called on the network thread with each message of a subscription.
  using Message = std::function<void(std::string_view topic, std::string_view payload)>;

  explicit BrokerClient(BrokerOptions options);
  // Says goodbye to the broker (no last will) and stops the network thread.
  ~BrokerClient();
  BrokerClient(const BrokerClient&) = delete;
  BrokerClient& operator=(const BrokerClient&) = delete;

  void OnConnected(Connected connected) { connected_ = std::move(connected); }
  // Called on the network thread when a connection is lost (not when this side says goodbye).
  void OnLost(Connected lost) { lost_ = std::move(lost); }
  void OnMessage(Message message) { message_ = std::move(message); }

  // Connects and waits up to `timeout` for the broker's answer; then keeps the connection up. `reason`
  // says why when it does not connect.
  BrokerStart Start(std::chrono::milliseconds timeout, std::string* reason);

  // Queued for sending; false, and dropped, while there is no connection. Any thread.
  bool Publish(const std::string& topic, std::string_view payload, int qos, bool retain);
  // Kept for every later connection. Before Start, or from the Connected callback.
  void Subscribe(const std::string& pattern, int qos);

  bool IsConnected() const;

  // Says goodbye to the broker and ends the network thread: no callback runs after it returns. Main
  // thread; the destructor does it too.
  void Stop();

 private:
  static void ConnectCallback(mosquitto* client, void* self, int code);
  static void DisconnectCallback(mosquitto* client, void* self, int code);
  static void MessageCallback(mosquitto* client, void* self, const mosquitto_message* message);

  BrokerOptions options_;
  mosquitto* client_ = nullptr;
  Connected connected_;
  Connected lost_;
  Message message_;
  mutable std::mutex mutex_;
  bool is_connected_ = false;
  int last_answer_ = -1;  // the CONNACK code of the last answer; -1 before any
  bool thread_started_ = false;
};

}  // namespace velmora::league

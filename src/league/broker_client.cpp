#include "league/broker_client.h"

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <thread>

#include <mosquitto.h>

namespace velmora::league {
namespace {

// The library's global state, set up once for the process and never torn down: clients may outlive any
// one owner.
void InitialiseLibrary() {
  static const int initialised = mosquitto_lib_init();
  (void)initialised;
}

}  // namespace

BrokerClient::BrokerClient(BrokerOptions options) : options_(std::move(options)) {
  InitialiseLibrary();
  client_ = mosquitto_new(options_.client_id.c_str(), true, this);
  if (client_ == nullptr) {
    throw std::runtime_error("cannot make an MQTT client");
  }
  mosquitto_connect_callback_set(client_, &BrokerClient::ConnectCallback);
  mosquitto_disconnect_callback_set(client_, &BrokerClient::DisconnectCallback);
  mosquitto_message_callback_set(client_, &BrokerClient::MessageCallback);
  mosquitto_reconnect_delay_set(client_, 1, 30, true);
  // Live values are small and late ones worthless: no waiting to fill a segment.
  mosquitto_int_option(client_, MOSQ_OPT_TCP_NODELAY, 1);
}

BrokerClient::~BrokerClient() {
  Stop();
  mosquitto_destroy(client_);
}

void BrokerClient::Stop() {
  mosquitto_disconnect(client_);
  if (thread_started_) {
    mosquitto_loop_stop(client_, false);
    thread_started_ = false;
  }
}

BrokerStart BrokerClient::Start(std::chrono::milliseconds timeout, std::string* reason) {
  const auto say = [reason](std::string why) {
    if (reason != nullptr) {
      *reason = std::move(why);
    }
  };
  const BrokerUrl& url = options_.url;
  if (!url.user.empty()) {
    mosquitto_username_pw_set(client_, url.user.c_str(), url.has_password ? url.password.c_str() : nullptr);
  }
  if (url.tls) {
    const int tls = options_.ca_file.empty() ? mosquitto_int_option(client_, MOSQ_OPT_TLS_USE_OS_CERTS, 1)
                                             : mosquitto_tls_set(client_, options_.ca_file.c_str(), nullptr,
                                                                 nullptr, nullptr, nullptr);
    if (tls != MOSQ_ERR_SUCCESS) {
      say("cannot use the CA file " + options_.ca_file + ": " + mosquitto_strerror(tls));
      return BrokerStart::kUnreachable;
    }
  }
  if (!options_.will_topic.empty()) {
    mosquitto_will_set(client_, options_.will_topic.c_str(), static_cast<int>(options_.will_payload.size()),
                       options_.will_payload.data(), 1, true);
  }
  const int connected = mosquitto_connect(client_, url.host.c_str(), url.port, options_.keep_alive_s);
  if (connected != MOSQ_ERR_SUCCESS) {
    say(connected == MOSQ_ERR_ERRNO ? std::string(std::strerror(errno)) : mosquitto_strerror(connected));
    return BrokerStart::kUnreachable;
  }
  // The broker's answer comes through the loop; until the network thread runs, this one turns it.
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  int answer = -1;
  while (std::chrono::steady_clock::now() < deadline) {
    const int turned = mosquitto_loop(client_, 50, 1);
    {
      std::lock_guard lock(mutex_);
      answer = last_answer_;
    }
    if (answer >= 0) {
      break;
    }
    if (turned != MOSQ_ERR_SUCCESS) {
      say(turned == MOSQ_ERR_ERRNO ? std::string(std::strerror(errno)) : mosquitto_strerror(turned));
      return BrokerStart::kUnreachable;
    }
  }
  if (answer < 0) {
    say("the broker did not answer within " + std::to_string(timeout.count() / 1000) + " s");
    return BrokerStart::kUnreachable;
  }
  if (answer != 0) {
    say(mosquitto_connack_string(answer));
    return BrokerStart::kRefused;
  }
  mosquitto_loop_start(client_);
  thread_started_ = true;
  return BrokerStart::kConnected;
}

bool BrokerClient::Publish(const std::string& topic, std::string_view payload, int qos, bool retain) {
  if (!IsConnected()) {
    return false;
  }
  return mosquitto_publish(client_, nullptr, topic.c_str(), static_cast<int>(payload.size()), payload.data(),
                           qos, retain) == MOSQ_ERR_SUCCESS;
}

void BrokerClient::Subscribe(const std::string& pattern, int qos) {
  mosquitto_subscribe(client_, nullptr, pattern.c_str(), qos);
}

bool BrokerClient::IsConnected() const {
  std::lock_guard lock(mutex_);
  return is_connected_;
}

void BrokerClient::ConnectCallback(mosquitto*, void* self, int code) {
  auto* client = static_cast<BrokerClient*>(self);
  {
    std::lock_guard lock(client->mutex_);
    client->last_answer_ = code;
    client->is_connected_ = code == 0;
  }
  if (code == 0 && client->connected_) {
    client->connected_();
  }
}

void BrokerClient::DisconnectCallback(mosquitto*, void* self, int code) {
  auto* client = static_cast<BrokerClient*>(self);
  bool was_connected = false;
  {
    std::lock_guard lock(client->mutex_);
    was_connected = client->is_connected_;
    client->is_connected_ = false;
  }
  if (code != 0 && was_connected && client->lost_) {
    client->lost_();
  }
}

void BrokerClient::MessageCallback(mosquitto*, void* self, const mosquitto_message* message) {
  auto* client = static_cast<BrokerClient*>(self);
  if (client->message_ && message->topic != nullptr) {
    client->message_(message->topic, std::string_view(static_cast<const char*>(message->payload),
                                                      static_cast<std::size_t>(message->payloadlen)));
  }
}

}  // namespace velmora::league

#include "net/protocol_client.h"

#include <array>
#include <atomic>
#include <cstring>

#include "net/asio.h"
#include "net/protocol.h"

namespace velmora {
namespace {

// A reply is one line and at most one record, read only as far as needed, so anything much beyond that
// is a server talking past its turn (a flood of short lines) and must not pile up here.
constexpr std::size_t kMaxBuffered = 16 * 1024;

}  // namespace

using asio::ip::tcp;

struct TProtocolClient::Impl {
  asio::io_context io;
  tcp::socket socket{io};
  std::string input;  // received and not yet taken
  std::array<char, 4096> chunk{};
  std::atomic<bool> interrupted{false};

  // Runs the asynchronous operation that `start` begins until it completes or `timeout` passes; on a
  // timeout the operation is cancelled and waited for, so nothing of it outlives the call.
  template <typename Start>
  boost::system::error_code Run(std::chrono::milliseconds timeout, Start start) {
    if (interrupted) {
      return asio::error::operation_aborted;
    }
    boost::system::error_code result = asio::error::would_block;
    start(result);
    io.restart();
    io.run_for(timeout);
    if (result == asio::error::would_block) {
      boost::system::error_code ignored;
      socket.cancel(ignored);
      io.restart();
      io.run();
      result = asio::error::timed_out;
    }
    return result;
  }

  boost::system::error_code ReadMore(std::chrono::milliseconds timeout) {
    std::size_t received = 0;
    const auto error = Run(timeout, [&](boost::system::error_code& result) {
      socket.async_read_some(asio::buffer(chunk), [&](const boost::system::error_code& e, std::size_t n) {
        result = e;
        received = n;
      });
    });
    if (!Take(received)) {
      return asio::error::message_size;
    }
    return error;
  }

  // False, with the connection closed, when the bytes would take the input past its bound.
  bool Take(std::size_t received) {
    if (input.size() + received > kMaxBuffered) {
      Close();
      return false;
    }
    input.append(chunk.data(), received);
    return true;
  }

  void Close() {
    boost::system::error_code ignored;
    socket.shutdown(tcp::socket::shutdown_both, ignored);
    socket.close(ignored);
    input.clear();
  }
};

TProtocolClient::TProtocolClient() : impl_(std::make_unique<Impl>()) {}
TProtocolClient::~TProtocolClient() = default;

bool TProtocolClient::Connect(const std::string& host, std::uint16_t port,
                              std::chrono::milliseconds timeout) {
  Disconnect();
  boost::system::error_code error;
  const auto address = asio::ip::make_address_v4(host, error);
  if (error) {
    return false;
  }
  error = impl_->Run(timeout, [&](boost::system::error_code& result) {
    impl_->socket.async_connect(tcp::endpoint(address, port),
                                [&](const boost::system::error_code& e) { result = e; });
  });
  if (error) {
    impl_->Close();
    return false;
  }
  impl_->socket.set_option(tcp::no_delay(true), error);
  return true;
}

bool TProtocolClient::Connected() {
  if (!impl_->socket.is_open()) {
    return false;
  }
  // A read that must not wait: nothing yet means open, an end of stream means the server has gone.
  boost::system::error_code error;
  impl_->socket.non_blocking(true, error);
  const std::size_t received = impl_->socket.read_some(asio::buffer(impl_->chunk), error);
  boost::system::error_code ignored;
  impl_->socket.non_blocking(false, ignored);
  if (error == asio::error::would_block || error == asio::error::try_again) {
    return true;
  }
  if (error) {
    impl_->Close();
    return false;
  }
  return impl_->Take(received);
}

void TProtocolClient::Disconnect() {
  impl_->Close();
}

void TProtocolClient::Quit(std::chrono::milliseconds timeout) {
  if (SendLine("QUIT", timeout)) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
      impl_->input.clear();
      const auto left =
          std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
      if (left.count() <= 0 || impl_->ReadMore(left)) {
        break;
      }
    }
  }
  Disconnect();
}

void TProtocolClient::ClearInterrupt() {
  impl_->io.restart();
  impl_->io.poll();
  impl_->interrupted = false;
}

bool TProtocolClient::IsOpen() const {
  return impl_->socket.is_open();
}

void TProtocolClient::Interrupt() {
  impl_->interrupted = true;
  Impl* impl = impl_.get();
  asio::post(impl_->io, [impl] {
    boost::system::error_code ignored;
    impl->socket.cancel(ignored);
  });
}

bool TProtocolClient::SendLine(std::string_view line, std::chrono::milliseconds timeout) {
  std::string bytes(line);
  bytes += kLineEnd;
  return Send(bytes, timeout);
}

bool TProtocolClient::Send(std::string_view bytes, std::chrono::milliseconds timeout) {
  if (!impl_->socket.is_open()) {
    return false;
  }
  const auto error = impl_->Run(timeout, [&](boost::system::error_code& result) {
    asio::async_write(impl_->socket, asio::buffer(bytes),
                      [&](const boost::system::error_code& e, std::size_t) { result = e; });
  });
  return !error;
}

std::optional<std::string> TProtocolClient::ReadLine(std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    const auto lf = impl_->input.find('\n');
    if (lf != std::string::npos) {
      std::string line = impl_->input.substr(0, lf);
      impl_->input.erase(0, lf + 1);
      if (!line.empty() && line.back() == '\r') {
        line.pop_back();
      }
      if (line.size() > kMaxLineLength) {
        return std::nullopt;
      }
      return line;
    }
    if (impl_->input.size() > kMaxLineLength + 1) {
      impl_->input.clear();
      return std::nullopt;
    }
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0 || !impl_->socket.is_open() || impl_->ReadMore(left)) {
      return std::nullopt;
    }
  }
}

bool TProtocolClient::ReadBytes(std::span<std::byte> bytes, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (impl_->input.size() < bytes.size()) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0 || !impl_->socket.is_open() || impl_->ReadMore(left)) {
      return false;
    }
  }
  std::memcpy(bytes.data(), impl_->input.data(), bytes.size());
  impl_->input.erase(0, bytes.size());
  return true;
}

}  // namespace velmora

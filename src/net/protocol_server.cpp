#include "net/protocol_server.h"

#include <array>
#include <cstring>
#include <system_error>
#include <thread>

#include "net/asio.h"
#include "net/line_splitter.h"
#include "net/trace_log.h"

namespace velmora {
namespace {

using asio::ip::tcp;
using Clock = std::chrono::steady_clock;

std::string PeerText(const tcp::socket& socket) {
  boost::system::error_code error;
  const tcp::endpoint peer = socket.remote_endpoint(error);
  if (error || !peer.address().is_v4()) {
    return "0.0.0.0:0";
  }
  return peer.address().to_string() + ":" + std::to_string(peer.port());
}

}  // namespace

struct TProtocolServer::Impl {
  class Connection;

  Impl(ServerDataSource& data_source, const ServerOptions& server_options)
      : source(data_source),
        options(server_options),
        log(server_options.trace_log_path, server_options.trace_log_max_bytes) {}

  void Accept();
  void Event(std::string_view what) {
    if (options.on_event) {
      options.on_event(what);
    }
  }

  ServerDataSource& source;
  const ServerOptions& options;
  TraceLog log;
  std::stop_source stop;
  asio::io_context io;
  tcp::acceptor acceptor{io};
  std::shared_ptr<Connection> served;  // the one connection in the slot; the server's thread only
  std::uint16_t port = 0;
  std::thread thread;
};

class TProtocolServer::Impl::Connection final : public std::enable_shared_from_this<Connection> {
 public:
  Connection(Impl& server, tcp::socket socket)
      : server_(server), socket_(std::move(socket)), peer_(PeerText(socket_)), timer_(server.io) {}

  void Start() {
    socket_.set_option(tcp::no_delay(true));
    server_.log.Connected(peer_);
    server_.Event("connected: " + peer_);
    last_command_ = Clock::now();
    ArmIdleTimer(server_.options.idle_timeout);
    Serve();
  }

  void Close() {
    if (closed_) {
      return;
    }
    closed_ = true;
    // The slot is free before the peer can see the close, so that it may come straight back.
    const auto keep = shared_from_this();
    if (server_.served == keep) {
      server_.served.reset();
    }
    boost::system::error_code ignored;
    socket_.shutdown(tcp::socket::shutdown_both, ignored);
    socket_.close(ignored);
    timer_.cancel();
    server_.log.Disconnected(peer_);
    server_.Event("disconnected: " + peer_);
  }

 private:
  // Works through the lines already received; reads more when none is complete, and stops at the first
  // line that has a reply until that reply is written, so a pipelining peer cannot pile up replies.
  void Serve() {
    while (!closed_) {
      const auto line = splitter_.NextLine();
      if (!line) {
        if (splitter_.Failed()) {
          server_.Event("line too long, closing: " + peer_);
          Close();
        } else {
          Read();
        }
        return;
      }
      received_.assign(*line);
      received_ += splitter_.LastLineEnd();
      server_.log.Received(peer_, received_);
      if (Handle(*line)) {
        // Junk does not keep the one slot: a stranger sending a line now and then would hold it forever.
        last_command_ = Clock::now();
      }
      if (!reply_.empty()) {
        Write();
        return;
      }
    }
  }

  // True when the line is a command of the protocol.
  bool Handle(std::string_view line) {
    const CommandLine command = SplitCommand(line);
    if (IsCommand(command.word, "DATA")) {
      CommandData();
    } else if (IsCommand(command.word, "VERSION")) {
      if (command.argument.empty()) {
        return false;
      }
      const bool same = command.argument == server_.options.version;
      Reply(same ? kReplySameVersion : kReplyBadVersion);
      close_after_reply_ = !same;
    } else if (IsCommand(command.word, "QUIT")) {
      Reply(kReplyBye);
      close_after_reply_ = true;
    } else {
      return false;
    }
    return true;
  }

  void CommandData() {
    if (!server_.source.CommandData(record_, server_.stop.get_token())) {
      Reply(kReplyNoData);
      return;
    }
    Reply("201 " + std::to_string(sizeof record_));
    const std::size_t line_length = reply_.size();
    reply_.resize(line_length + sizeof record_);
    std::memcpy(reply_.data() + line_length, &record_, sizeof record_);
  }

  void Reply(std::string_view line) {
    reply_.assign(line);
    reply_ += kLineEnd;
  }

  void Read() {
    socket_.async_read_some(
        asio::buffer(input_),
        [self = shared_from_this()](const boost::system::error_code& error, std::size_t length) {
          if (error) {
            self->Close();
            return;
          }
          self->splitter_.Feed(std::span<const char>(self->input_.data(), length));
          self->Serve();
        });
  }

  void Write() {
    server_.log.Sent(peer_, reply_);
    asio::async_write(socket_, asio::buffer(reply_),
                      [self = shared_from_this()](const boost::system::error_code& error, std::size_t) {
                        self->reply_.clear();
                        if (error || self->close_after_reply_) {
                          self->Close();
                          return;
                        }
                        self->Serve();
                      });
  }

  // The timer wakes at the earliest moment the peer can have been silent too long and looks again, so
  // that a line costs no timer work.
  void ArmIdleTimer(Clock::duration wait) {
    timer_.expires_after(wait);
    timer_.async_wait([self = shared_from_this()](const boost::system::error_code& error) {
      if (error || self->closed_) {
        return;
      }
      const auto idle = self->server_.options.idle_timeout;
      const auto silent = Clock::now() - self->last_command_;
      if (silent >= idle) {
        self->server_.Event("silent too long, closing: " + self->peer_);
        self->Close();
      } else {
        self->ArmIdleTimer(idle - silent);
      }
    });
  }

  Impl& server_;
  tcp::socket socket_;
  std::string peer_;
  asio::steady_timer timer_;
  LineSplitter splitter_;
  std::array<char, 4096> input_{};
  std::string received_;
  std::string reply_;
  TGameData record_{};
  Clock::time_point last_command_;
  bool close_after_reply_ = false;
  bool closed_ = false;
};

void TProtocolServer::Impl::Accept() {
  acceptor.async_accept([this](const boost::system::error_code& error, tcp::socket socket) {
    if (error == asio::error::operation_aborted || !acceptor.is_open()) {
      return;
    }
    if (!error) {
      if (served == nullptr) {
        served = std::make_shared<Connection>(*this, std::move(socket));
        served->Start();
      } else {
        // The slot is taken: the newcomer is let in only to be shown out, with nothing said.
        const std::string peer = PeerText(socket);
        log.Connected(peer);
        boost::system::error_code ignored;
        socket.close(ignored);
        log.Disconnected(peer);
        Event("busy, refused: " + peer);
      }
    }
    Accept();
  });
}

TProtocolServer::TProtocolServer(ServerDataSource& source, ServerOptions options)
    : source_(source), options_(std::move(options)) {}

TProtocolServer::~TProtocolServer() {
  Deactivate();
}

void TProtocolServer::Activate() {
  Deactivate();
  auto impl = std::make_unique<Impl>(source_, options_);
  try {
    const tcp::endpoint endpoint(asio::ip::make_address_v4(options_.bind_address), options_.port);
    impl->acceptor.open(endpoint.protocol());
    impl->acceptor.set_option(tcp::acceptor::reuse_address(true));
    impl->acceptor.bind(endpoint);
    impl->acceptor.listen(1);
  } catch (const boost::system::system_error& error) {
    // Callers know the standard library's error, not Boost's.
    throw std::system_error(error.code());
  }
  impl->port = impl->acceptor.local_endpoint().port();
  impl->Accept();
  Impl* running = impl.get();
  impl->thread = std::thread([running] { running->io.run(); });
  impl_ = std::move(impl);
}

void TProtocolServer::Deactivate() {
  if (impl_ == nullptr) {
    return;
  }
  impl_->stop.request_stop();
  Impl* running = impl_.get();
  asio::post(impl_->io, [running] {
    boost::system::error_code ignored;
    running->acceptor.close(ignored);
    if (running->served != nullptr) {
      running->served->Close();
    }
  });
  impl_->thread.join();
  impl_.reset();
}

std::uint16_t TProtocolServer::Port() const {
  return impl_ == nullptr ? options_.port : impl_->port;
}

}  // namespace velmora

#include "web/viewer_server.h"

#include <algorithm>
#include <deque>
#include <map>
#include <optional>
#include <set>
#include <system_error>
#include <utility>

#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>
#include <boost/beast/websocket.hpp>

#include "web/page.h"
#include "web/request_origin.h"
#include "web/state_message.h"
#include "web/url_query.h"

namespace velmora::web {
namespace {

namespace beast = boost::beast;
namespace http = beast::http;
namespace websocket = beast::websocket;
using tcp = asio::ip::tcp;
using Clock = std::chrono::steady_clock;
using Message = std::shared_ptr<const std::string>;

// A viewer's page reads a few hundred bytes a second and the whole state is a few KiB: a small kernel
// buffer still carries that over a slow network, and makes one that stops reading show up within
// seconds instead of parking megabytes in the kernel first.
constexpr int kViewerSendBuffer = 8 * 1024;
constexpr std::size_t kMaxRequestBody = 4 * 1024;
constexpr std::size_t kMaxViewerMessage = 1024;
constexpr std::chrono::seconds kRequestTimeout{30};
// A failed accept (out of descriptors, say) leaves the connection queued, so that accepting again at once
// fails again at once: the relay waits this long instead of spinning.
constexpr std::chrono::milliseconds kAcceptRetry{100};
// Wrong tokens an address may send freely; after them its requests are judged one a second, and it is
// forgiven once it has sent none for a minute.
constexpr int kFreeWrongTokens = 5;
constexpr std::chrono::seconds kTokenTurn{1};
constexpr std::chrono::seconds kForgetWrongTokens{60};
constexpr std::string_view kPlainText = "text/plain; charset=utf-8";

asio::ip::address PeerAddress(const tcp::socket& socket) {
  boost::system::error_code error;
  const auto peer = socket.remote_endpoint(error);
  return error ? asio::ip::address() : peer.address();
}

std::string PeerName(const tcp::socket& socket) {
  boost::system::error_code error;
  const auto peer = socket.remote_endpoint(error);
  return error ? std::string("?") : peer.address().to_string() + ":" + std::to_string(peer.port());
}

// Compares in a time that does not depend on where the texts first differ.
bool SameToken(std::string_view given, std::string_view expected) {
  unsigned difference = given.size() == expected.size() ? 0U : 1U;
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const char c = i < given.size() ? given[i] : '\0';
    difference |= static_cast<unsigned char>(c ^ expected[i]);
  }
  return difference == 0;
}

}  // namespace

class Viewer;
class HttpSession;

struct ViewerServer::Hub : std::enable_shared_from_this<ViewerServer::Hub> {
  Hub(asio::io_context& context, ViewerServerOptions server_options)
      : io(context),
        options(std::move(server_options)),
        acceptor(context),
        accept_timer(context),
        stall_timer(context) {}

  void Accept();
  void Admit(tcp::socket socket);
  void CheckStalls();
  // When a request from `address` that carries a token may be judged; now unless it sent many wrong ones.
  Clock::time_point TokenTurn(const asio::ip::address& address);
  void WrongToken(const asio::ip::address& address);
  void Publish(ViewState next);
  void Close();
  Message Full();
  void Event(const std::string& what) const {
    if (options.on_event) {
      options.on_event(what);
    }
  }

  asio::io_context& io;
  ViewerServerOptions options;
  tcp::acceptor acceptor;
  asio::steady_timer accept_timer;
  asio::steady_timer stall_timer;
  asio::ip::address bound;
  ViewState state;
  Message full;
  std::set<Viewer*> viewers;
  std::set<HttpSession*> requests;
  // Streams from their upgrade on, joined or not.
  std::size_t streams = 0;
  std::map<asio::ip::address, std::size_t> per_address;
  struct WrongTokens {
    int count = 0;
    Clock::time_point last;
    Clock::time_point next_turn;
  };
  std::map<asio::ip::address, WrongTokens> wrong_tokens;
  bool accept_failing = false;
  bool closed = false;
};

using Hub = ViewerServer::Hub;

// A connection's place in its address's count, from its accept until it closes, as a request and then
// as a stream.
class AddressSlot final {
 public:
  AddressSlot(std::shared_ptr<Hub> hub, asio::ip::address address)
      : hub_(std::move(hub)), address_(std::move(address)) {
    ++hub_->per_address[address_];
  }
  ~AddressSlot() {
    const auto entry = hub_->per_address.find(address_);
    if (entry != hub_->per_address.end() && --entry->second == 0) {
      hub_->per_address.erase(entry);
    }
  }
  AddressSlot(const AddressSlot&) = delete;
  AddressSlot& operator=(const AddressSlot&) = delete;
  const asio::ip::address& Address() const { return address_; }

 private:
  std::shared_ptr<Hub> hub_;
  asio::ip::address address_;
};

// One browser's update stream: the whole state first, then what changed at each poll.
class Viewer final : public std::enable_shared_from_this<Viewer> {
 public:
  Viewer(std::shared_ptr<Hub> hub, beast::tcp_stream&& stream, std::string name,
         std::unique_ptr<AddressSlot> slot)
      : hub_(std::move(hub)), ws_(std::move(stream)), name_(std::move(name)), slot_(std::move(slot)) {
    ++hub_->streams;
  }
  ~Viewer() { --hub_->streams; }
  Viewer(const Viewer&) = delete;
  Viewer& operator=(const Viewer&) = delete;

  void Start(http::request<http::string_body> request) {
    beast::get_lowest_layer(ws_).expires_never();
    ws_.set_option(websocket::stream_base::timeout::suggested(beast::role_type::server));
    ws_.set_option(websocket::stream_base::decorator([](websocket::response_type& response) {
      response.set(http::field::server, "velmora-cli web");
      response.set("Referrer-Policy", "no-referrer");
    }));
    ws_.read_message_max(kMaxViewerMessage);
    ws_.text(true);
    ws_.async_accept(request, [self = shared_from_this()](const beast::error_code& error) {
      if (error || self->hub_->closed) {
        return;
      }
      self->hub_->viewers.insert(self.get());
      self->joined_ = true;
      self->hub_->Event("viewer " + self->name_ + " joined (" + std::to_string(self->hub_->viewers.size()) +
                        " watching)");
      self->Send(self->hub_->Full());
      self->Read();
    });
  }

  void Send(const Message& message) {
    if (done_ || resync_) {
      return;  // a resync sends the latest whole state, which holds this change too
    }
    if (queue_.size() >= hub_->options.backlog) {
      queue_.clear();
      resync_ = true;
      if (!said_behind_) {
        said_behind_ = true;
        hub_->Event("viewer " + name_ + " is not keeping up: it skips to the latest state");
      }
      return;
    }
    queue_.push_back(message);
    if (!writing_) {
      Write();
    }
  }

  bool Stalled(Clock::time_point now) const {
    return writing_ && now - write_started_ > hub_->options.stall_limit;
  }

  void Drop(const std::string& why) {
    if (!done_) {
      Leave("dropped: " + why);
    }
  }

  void Close() {
    boost::system::error_code ignored;
    beast::get_lowest_layer(ws_).socket().close(ignored);
  }

 private:
  void Write() {
    writing_ = true;
    write_started_ = Clock::now();
    Message message = queue_.front();
    queue_.pop_front();
    ws_.async_write(asio::buffer(*message),
                    [self = shared_from_this(), message](const beast::error_code& error, std::size_t) {
                      self->writing_ = false;
                      if (error) {
                        self->Leave("left");
                        return;
                      }
                      if (self->resync_) {
                        self->resync_ = false;
                        self->queue_.clear();
                        self->queue_.push_back(self->hub_->Full());
                      }
                      if (!self->queue_.empty() && !self->done_) {
                        self->Write();
                      }
                    });
  }

  void Read() {
    ws_.async_read(input_, [self = shared_from_this()](const beast::error_code& error, std::size_t) {
      if (error) {
        self->Leave("left");
        return;
      }
      self->input_.consume(self->input_.size());  // the page has nothing to say; a ping keeps it alive
      self->Read();
    });
  }

  void Leave(const std::string& how) {
    if (done_) {
      return;
    }
    done_ = true;
    queue_.clear();
    Close();
    if (joined_ && hub_->viewers.erase(this) > 0) {
      hub_->Event("viewer " + name_ + " " + how + " (" + std::to_string(hub_->viewers.size()) + " watching)");
    }
  }

  std::shared_ptr<Hub> hub_;
  websocket::stream<beast::tcp_stream> ws_;
  std::string name_;
  std::unique_ptr<AddressSlot> slot_;
  beast::flat_buffer input_;
  std::deque<Message> queue_;
  Clock::time_point write_started_;
  bool writing_ = false;
  bool resync_ = false;
  bool joined_ = false;
  bool done_ = false;
  bool said_behind_ = false;
};

// One HTTP connection until it asks for the page (and maybe more) or turns into an update stream.
class HttpSession final : public std::enable_shared_from_this<HttpSession> {
 public:
  HttpSession(std::shared_ptr<Hub> hub, tcp::socket&& socket, std::unique_ptr<AddressSlot> slot)
      : hub_(std::move(hub)), stream_(std::move(socket)), slot_(std::move(slot)), turn_timer_(hub_->io) {}
  ~HttpSession() { hub_->requests.erase(this); }
  HttpSession(const HttpSession&) = delete;
  HttpSession& operator=(const HttpSession&) = delete;

  void Start() {
    hub_->requests.insert(this);
    Read();
  }

  void Close() {
    boost::system::error_code ignored;
    turn_timer_.cancel();
    stream_.socket().close(ignored);
  }

 private:
  void Read() {
    parser_.emplace();
    parser_->body_limit(kMaxRequestBody);
    stream_.expires_after(kRequestTimeout);
    http::async_read(stream_, buffer_, *parser_,
                     [self = shared_from_this()](const beast::error_code& error, std::size_t) {
                       if (!error && !self->hub_->closed) {
                         self->Route(self->parser_->release());
                       }
                     });
  }

  void Route(http::request<http::string_body> request) {
    boost::system::error_code error;
    const auto local = stream_.socket().local_endpoint(error);
    const std::string_view host = request[http::field::host];
    if (error || !IsOwnHost(host, local.address(), hub_->bound, hub_->options.allowed_hosts)) {
      Respond(request, http::status::forbidden, kPlainText, "Forbidden: not a name of this relay\n");
      return;
    }
    if (websocket::is_upgrade(request) && request.count(http::field::origin) > 0 &&
        !IsOwnOrigin(request[http::field::origin], host)) {
      Respond(request, http::status::forbidden, kPlainText, "Forbidden: a page of another site\n");
      return;
    }
    if (hub_->options.token.empty()) {
      Serve(std::move(request));
      return;
    }
    const auto turn = hub_->TokenTurn(slot_->Address());
    if (turn <= Clock::now()) {
      Judge(std::move(request));
      return;
    }
    // An address that keeps guessing waits its turn, holding its connection and so its share of them.
    auto waiting = std::make_shared<http::request<http::string_body>>(std::move(request));
    turn_timer_.expires_at(turn);
    turn_timer_.async_wait([self = shared_from_this(), waiting](const boost::system::error_code& failed) {
      if (!failed && !self->hub_->closed) {
        self->Judge(std::move(*waiting));
      }
    });
  }

  void Judge(http::request<http::string_body> request) {
    const std::string_view target = request.target();
    const auto question = target.find('?');
    const std::string_view query = question == std::string_view::npos ? "" : target.substr(question + 1);
    if (!SameToken(QueryValue(query, "token"), hub_->options.token)) {
      hub_->WrongToken(slot_->Address());
      Respond(request, http::status::forbidden, kPlainText, "Forbidden\n");
      return;
    }
    Serve(std::move(request));
  }

  void Serve(http::request<http::string_body> request) {
    const std::string_view target = request.target();
    const std::string_view path = target.substr(0, target.find('?'));
    if (path == "/stream") {
      if (!websocket::is_upgrade(request)) {
        Respond(request, http::status::bad_request, kPlainText, "This is a WebSocket.\n");
        return;
      }
      if (hub_->streams >= hub_->options.max_viewers) {
        Respond(request, http::status::service_unavailable, kPlainText, "Too many viewers\n");
        return;
      }
      const std::string name = PeerName(stream_.socket());
      boost::system::error_code ignored;
      stream_.socket().set_option(asio::socket_base::send_buffer_size(kViewerSendBuffer), ignored);
      stream_.socket().set_option(tcp::no_delay(true), ignored);
      std::make_shared<Viewer>(hub_, std::move(stream_), name, std::move(slot_))->Start(std::move(request));
      return;
    }
    if (path != "/" && path != "/index.html") {
      Respond(request, http::status::not_found, kPlainText, "Not found\n");
      return;
    }
    if (request.method() != http::verb::get && request.method() != http::verb::head) {
      Respond(request, http::status::method_not_allowed, kPlainText, "GET only\n");
      return;
    }
    Respond(request, http::status::ok, "text/html; charset=utf-8", Page());
  }

  void Respond(const http::request<http::string_body>& request, http::status status, std::string_view type,
               std::string_view body) {
    auto response = std::make_shared<http::response<http::string_body>>(status, request.version());
    response->set(http::field::content_type, type);
    response->set(http::field::cache_control, "no-store");
    response->set("X-Content-Type-Options", "nosniff");
    // The URL may carry the token: a link on the page must not hand it to another site.
    response->set("Referrer-Policy", "no-referrer");
    // A refused request gets its answer and nothing else on that connection.
    response->keep_alive(status == http::status::ok && request.keep_alive());
    if (request.method() != http::verb::head) {
      response->body() = body;
    }
    response->prepare_payload();
    if (request.method() == http::verb::head) {
      response->content_length(body.size());
    }
    http::async_write(stream_, *response,
                      [self = shared_from_this(), response](const beast::error_code& error, std::size_t) {
                        if (error) {
                          return;
                        }
                        if (response->keep_alive()) {
                          self->Read();
                          return;
                        }
                        boost::system::error_code ignored;
                        self->stream_.socket().shutdown(tcp::socket::shutdown_send, ignored);
                      });
  }

  std::shared_ptr<Hub> hub_;
  beast::tcp_stream stream_;
  std::unique_ptr<AddressSlot> slot_;
  asio::steady_timer turn_timer_;
  beast::flat_buffer buffer_;
  std::optional<http::request_parser<http::string_body>> parser_;
};

void Hub::Accept() {
  acceptor.async_accept(
      [self = shared_from_this()](const boost::system::error_code& error, tcp::socket socket) {
        if (self->closed) {
          return;
        }
        if (error) {
          if (!self->accept_failing) {
            self->accept_failing = true;
            // The operating system's words for its error number: Boost's own message lookup trips the
            // sanitizers' type check in this Boost version.
            self->Event("cannot accept connections (" + std::system_category().message(error.value()) +
                        "); trying again every " + std::to_string(kAcceptRetry.count()) + " ms");
          }
          self->accept_timer.expires_after(kAcceptRetry);
          self->accept_timer.async_wait([self](const boost::system::error_code& failed) {
            if (!failed && !self->closed) {
              self->Accept();
            }
          });
          return;
        }
        if (self->accept_failing) {
          self->accept_failing = false;
          self->Event("accepting connections again");
        }
        self->Admit(std::move(socket));
        self->Accept();
      });
}

void Hub::Admit(tcp::socket socket) {
  asio::ip::address address = PeerAddress(socket);
  const auto from_address = per_address.find(address);
  const std::size_t mine = from_address == per_address.end() ? 0 : from_address->second;
  if (requests.size() >= options.max_requests || mine >= options.max_per_address) {
    // Nothing is read or answered: the connection is closed as it comes.
    boost::system::error_code ignored;
    socket.close(ignored);
    return;
  }
  auto slot = std::make_unique<AddressSlot>(shared_from_this(), std::move(address));
  std::make_shared<HttpSession>(shared_from_this(), std::move(socket), std::move(slot))->Start();
}

Clock::time_point Hub::TokenTurn(const asio::ip::address& address) {
  const auto entry = wrong_tokens.find(address);
  const auto now = Clock::now();
  if (entry == wrong_tokens.end() || entry->second.count < kFreeWrongTokens) {
    return now;
  }
  const Clock::time_point turn = std::max(now, entry->second.next_turn);
  entry->second.next_turn = turn + kTokenTurn;
  return turn;
}

void Hub::WrongToken(const asio::ip::address& address) {
  WrongTokens& wrong = wrong_tokens[address];
  ++wrong.count;
  wrong.last = Clock::now();
}

void Hub::CheckStalls() {
  stall_timer.expires_after(std::chrono::seconds(1));
  stall_timer.async_wait([self = shared_from_this()](const boost::system::error_code& error) {
    if (error || self->closed) {
      return;
    }
    const auto now = Clock::now();
    std::vector<std::shared_ptr<Viewer>> stalled;
    for (Viewer* viewer : self->viewers) {
      if (viewer->Stalled(now)) {
        stalled.push_back(viewer->shared_from_this());
      }
    }
    for (const auto& viewer : stalled) {
      viewer->Drop("not reading");
    }
    std::erase_if(self->wrong_tokens,
                  [now](const auto& entry) { return now - entry.second.last > kForgetWrongTokens; });
    self->CheckStalls();
  });
}

Message Hub::Full() {
  if (full == nullptr) {
    full = std::make_shared<const std::string>(FullMessage(state));
  }
  return full;
}

void Hub::Publish(ViewState next) {
  std::string change = ChangeMessage(state, next);
  if (change.empty()) {
    return;
  }
  state = std::move(next);
  full.reset();
  const Message message = std::make_shared<const std::string>(std::move(change));
  // A viewer may leave while being sent to; keep each alive for its turn.
  std::vector<std::shared_ptr<Viewer>> watching;
  watching.reserve(viewers.size());
  for (Viewer* viewer : viewers) {
    watching.push_back(viewer->shared_from_this());
  }
  for (const auto& viewer : watching) {
    viewer->Send(message);
  }
}

void Hub::Close() {
  closed = true;
  boost::system::error_code ignored;
  acceptor.close(ignored);
  accept_timer.cancel();
  stall_timer.cancel();
  for (Viewer* viewer : viewers) {
    viewer->Close();
  }
  for (HttpSession* session : requests) {
    session->Close();
  }
}

ViewerServer::ViewerServer(asio::io_context& io, ViewerServerOptions options)
    : hub_(std::make_shared<Hub>(io, std::move(options))) {
  try {
    hub_->bound = asio::ip::make_address(hub_->options.bind_address);
    const tcp::endpoint endpoint(hub_->bound, hub_->options.port);
    hub_->acceptor.open(endpoint.protocol());
    hub_->acceptor.set_option(tcp::acceptor::reuse_address(true));
    hub_->acceptor.bind(endpoint);
    hub_->acceptor.listen(asio::socket_base::max_listen_connections);
  } catch (const boost::system::system_error& error) {
    throw std::system_error(error.code());
  }
  port_ = hub_->acceptor.local_endpoint().port();
  hub_->Accept();
  hub_->CheckStalls();
}

ViewerServer::~ViewerServer() = default;

void ViewerServer::Publish(const ViewState& state) {
  asio::post(hub_->io, [hub = hub_, state] { hub->Publish(state); });
}

void ViewerServer::Close() {
  asio::post(hub_->io, [hub = hub_] { hub->Close(); });
}

}  // namespace velmora::web

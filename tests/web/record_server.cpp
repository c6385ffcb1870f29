#include "record_server.h"

#include <atomic>
#include <string>
#include <string_view>

namespace velmora::web::test {
namespace {

using tcp = asio::ip::tcp;

// One client: answers its lines until it goes.
class Connection : public std::enable_shared_from_this<Connection> {
 public:
  Connection(tcp::socket socket, const RecordServer::MakeRecord& make, std::atomic<long>& polls)
      : socket_(std::move(socket)), make_(make), polls_(polls) {}

  void Read() {
    asio::async_read_until(
        socket_, input_, "\n",
        [self = shared_from_this()](const boost::system::error_code& error, std::size_t size) {
          if (!error) {
            self->Answer(size);
          }
        });
  }

 private:
  void Answer(std::size_t size) {
    std::string line(asio::buffers_begin(input_.data()),
                     asio::buffers_begin(input_.data()) + static_cast<std::ptrdiff_t>(size));
    input_.consume(size);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) {
      line.pop_back();
    }
    if (line.starts_with("VERSION")) {
      reply_ = "200 OK same version\r\n";
    } else if (line == "DATA") {
      const TGameData record = make_(polls_++);
      reply_ = "201 " + std::to_string(sizeof record) + "\r\n";
      reply_.append(reinterpret_cast<const char*>(&record), sizeof record);
    } else if (line == "QUIT") {
      reply_ = "200 Ok, bye\r\n";
    } else {
      reply_ = "500 Unknown command\r\n";
    }
    asio::async_write(socket_, asio::buffer(reply_),
                      [self = shared_from_this()](const boost::system::error_code& error, std::size_t) {
                        if (!error) {
                          self->Read();
                        }
                      });
  }

  tcp::socket socket_;
  const RecordServer::MakeRecord& make_;
  std::atomic<long>& polls_;
  asio::streambuf input_;
  std::string reply_;
};

}  // namespace

// Its handlers refer to it by address: they end with the io_context, which it owns.
struct RecordServer::Impl {
  explicit Impl(MakeRecord make_record)
      : acceptor(io, tcp::endpoint(asio::ip::make_address("127.0.0.1"), 0)), make(std::move(make_record)) {}

  void Accept() {
    acceptor.async_accept([self = this](const boost::system::error_code& error, tcp::socket socket) {
      if (error) {
        return;
      }
      std::make_shared<Connection>(std::move(socket), self->make, self->polls)->Read();
      self->Accept();
    });
  }

  asio::io_context io;
  tcp::acceptor acceptor;
  MakeRecord make;
  std::atomic<long> polls{0};
};

RecordServer::RecordServer(MakeRecord make) : impl_(std::make_shared<Impl>(std::move(make))) {
  port_ = impl_->acceptor.local_endpoint().port();
  impl_->Accept();
  thread_ = std::thread([impl = impl_] { impl->io.run(); });
}

RecordServer::~RecordServer() {
  impl_->io.stop();
  thread_.join();
}

long RecordServer::Polls() const {
  return impl_->polls.load();
}

}  // namespace velmora::web::test

#include "relay_fixture.h"

#include <csignal>
#include <fstream>
#include <sstream>
#include <thread>

#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>
#include <boost/beast/websocket.hpp>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

namespace velmora::web::test {
namespace {

namespace beast = boost::beast;
namespace http = beast::http;
namespace websocket = beast::websocket;
using tcp = asio::ip::tcp;

std::uint16_t PortFromFirstLine(velmora::test::ChildProcess& process, const char* what) {
  const std::string line = process.ReadLine(15000);
  const std::string prefix = "listening on port ";
  EXPECT_TRUE(line.starts_with(prefix)) << what << ": " << line;
  return line.starts_with(prefix) ? static_cast<std::uint16_t>(std::stoi(line.substr(prefix.size()))) : 0;
}

std::filesystem::path FreshFolder(const std::string& name) {
  static int count = 0;
  auto folder = std::filesystem::temp_directory_path() /
                (name + "_" + std::to_string(::getpid()) + "_" + std::to_string(count++));
  std::filesystem::create_directories(folder);
  return folder;
}

}  // namespace

ServeProcess::ServeProcess() : folder_(FreshFolder("velmora_web_serve")) {
  process_.emplace(std::vector<std::string>{VELMORA_CLI_PATH, "serve", "--port", "0", "--bind", "127.0.0.1",
                                            "--trace-log", (folder_ / "protocole.txt").string()});
  port_ = PortFromFirstLine(*process_, "serve");
}

ServeProcess::~ServeProcess() {
  process_.reset();
  std::error_code ignored;
  std::filesystem::remove_all(folder_, ignored);
}

WebProcess::WebProcess(std::uint16_t server_port, const std::vector<std::string>& more_arguments,
                       const std::string& shell_setup)
    : err_file_(FreshFolder("velmora_web_relay") / "err.txt") {
  // The relay's standard error goes to a file through a shell, so that a test can read it while it runs.
  std::string command = shell_setup + (shell_setup.empty() ? "" : "; ") + std::string("exec '") +
                        VELMORA_CLI_PATH + "' web --from 127.0.0.1:" + std::to_string(server_port) +
                        " --http 0";
  for (const std::string& argument : more_arguments) {
    command += " '" + argument + "'";
  }
  command += " 2>'" + err_file_.string() + "'";
  process_.emplace(std::vector<std::string>{"/bin/sh", "-c", command});
  port_ = PortFromFirstLine(*process_, "web");
}

WebProcess::~WebProcess() {
  process_.reset();
  std::error_code ignored;
  std::filesystem::remove_all(err_file_.parent_path(), ignored);
}

int WebProcess::Stop(std::string& err) {
  ::kill(process_->Pid(), SIGTERM);
  const int status = process_->CloseAndWait();
  err = Err();
  return status;
}

std::string WebProcess::Err() const {
  std::ifstream in(err_file_);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

HttpAnswer HttpGet(std::uint16_t port, const std::string& target, bool upgrade) {
  HttpRequest request;
  request.target = target;
  request.upgrade = upgrade;
  return HttpGet(port, request);
}

HttpAnswer HttpGet(std::uint16_t port, const HttpRequest& asked) {
  asio::io_context io;
  beast::tcp_stream stream(io);
  stream.expires_after(std::chrono::seconds(5));
  HttpAnswer answer;
  beast::error_code error;
  stream.socket().open(tcp::v4(), error);
  stream.socket().bind(tcp::endpoint(asio::ip::make_address(asked.from), 0), error);
  stream.connect(tcp::endpoint(asio::ip::make_address("127.0.0.1"), port), error);
  if (error) {
    return answer;
  }
  http::request<http::empty_body> request(http::verb::get, asked.target, 11);
  if (asked.host) {
    request.set(http::field::host, *asked.host);
  }
  if (asked.origin) {
    request.set(http::field::origin, *asked.origin);
  }
  if (asked.upgrade) {
    request.set(http::field::connection, "Upgrade");
    request.set(http::field::upgrade, "websocket");
    request.set(http::field::sec_websocket_version, "13");
    request.set(http::field::sec_websocket_key, "dGhlIHNhbXBsZSBub25jZQ==");
  }
  http::write(stream, request, error);
  beast::flat_buffer buffer;
  http::response<http::string_body> response;
  http::read(stream, buffer, response, error);
  if (!error) {
    answer.status = static_cast<int>(response.result_int());
    answer.body = response.body();
    answer.referrer_policy = response["Referrer-Policy"];
  }
  return answer;
}

struct Viewer::Impl {
  asio::io_context io;
  websocket::stream<beast::tcp_stream> ws{io};
  beast::flat_buffer buffer;
};

Viewer::Viewer(std::uint16_t port, const std::string& target) : impl_(std::make_unique<Impl>()) {
  auto& lowest = beast::get_lowest_layer(impl_->ws);
  lowest.expires_after(std::chrono::seconds(5));
  beast::error_code error;
  lowest.connect(tcp::endpoint(asio::ip::make_address("127.0.0.1"), port), error);
  if (error) {
    return;
  }
  impl_->ws.handshake("127.0.0.1", target, error);
  lowest.expires_never();  // Next sets its own deadline
  open_ = !error;
}

Viewer::~Viewer() = default;

std::optional<std::string> Viewer::Next(std::chrono::milliseconds timeout) {
  if (!Open()) {
    return std::nullopt;
  }
  std::optional<std::string> message;
  impl_->buffer.clear();
  impl_->ws.async_read(impl_->buffer, [&](const beast::error_code& error, std::size_t) {
    if (!error) {
      message = beast::buffers_to_string(impl_->buffer.data());
    } else {
      open_ = false;
    }
  });
  impl_->io.restart();
  impl_->io.run_for(timeout);
  if (!impl_->io.stopped()) {
    // The read is still waiting: a stream read cannot be resumed after a cancel, so the viewer ends here.
    beast::get_lowest_layer(impl_->ws).cancel();
    impl_->io.restart();
    impl_->io.run();
    open_ = false;
  }
  return message;
}

std::optional<std::string> ValueIn(const std::string& message, const std::string& key) {
  const std::string quoted = "\"" + key + "\":";
  const auto at = message.find(quoted);
  if (at == std::string::npos) {
    return std::nullopt;
  }
  const auto start = at + quoted.size();
  std::size_t end = start;
  if (message[start] == '[') {
    end = message.find(']', start) + 1;
  } else if (message[start] == '"') {
    end = message.find('"', start + 1) + 1;
  } else {
    end = message.find_first_of(",}", start);
  }
  return message.substr(start, end - start);
}

struct CountingViewer::Impl {
  explicit Impl(asio::io_context& io) : ws(io) {}
  websocket::stream<beast::tcp_stream> ws;
  beast::flat_buffer buffer;
};

CountingViewer::CountingViewer(asio::io_context& io, std::chrono::steady_clock::time_point start,
                               std::chrono::milliseconds window, int windows)
    : per_window(static_cast<std::size_t>(windows), 0),
      impl_(std::make_unique<Impl>(io)),
      start_(start),
      window_(window) {}

CountingViewer::~CountingViewer() = default;

void CountingViewer::Start(std::uint16_t port) {
  beast::get_lowest_layer(impl_->ws).async_connect(
      tcp::endpoint(asio::ip::make_address("127.0.0.1"), port),
      [self = shared_from_this()](const beast::error_code& error) {
        if (error) {
          return;
        }
        self->impl_->ws.async_handshake("127.0.0.1", "/stream", [self](const beast::error_code& failed) {
          if (!failed) {
            self->Read();
          }
        });
      });
}

void CountingViewer::Close() {
  beast::get_lowest_layer(impl_->ws).close();
}

void CountingViewer::Read() {
  impl_->ws.async_read(impl_->buffer,
                       [self = shared_from_this()](const beast::error_code& error, std::size_t size) {
                         if (error) {
                           return;
                         }
                         if (self->first_size == 0) {
                           self->first_size = size;
                         }
                         const auto since = std::chrono::steady_clock::now() - self->start_;
                         const auto window = since / self->window_;
                         if (since >= since.zero() && window < static_cast<long>(self->per_window.size())) {
                           ++self->per_window[static_cast<std::size_t>(window)];
                           self->bytes += static_cast<long>(size);
                         }
                         self->impl_->buffer.consume(size);
                         self->Read();
                       });
}

double CpuSeconds(pid_t pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string text;
  std::getline(stat, text);
  // The command name may hold spaces: the fields are counted after its closing parenthesis.
  const auto close = text.rfind(')');
  if (close == std::string::npos) {
    return -1.0;
  }
  std::istringstream fields(text.substr(close + 2));
  std::string field;
  long user = 0;
  long system = 0;
  for (int number = 3; fields >> field; ++number) {
    if (number == 14) {
      user = std::stol(field);
    } else if (number == 15) {
      system = std::stol(field);
      break;
    }
  }
  return static_cast<double>(user + system) / static_cast<double>(::sysconf(_SC_CLK_TCK));
}

long PeakResidentKiB(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.starts_with("VmHWM:")) {
      return std::stol(line.substr(6));
    }
  }
  return 0;
}

}  // namespace velmora::web::test

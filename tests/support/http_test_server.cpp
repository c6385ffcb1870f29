#include "http_test_server.h"

#include <stdexcept>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace velmora::test {

HttpTestServer::HttpTestServer(const std::string& root)
    : process_(std::make_unique<ChildProcess>(
          std::vector<std::string>{VELMORA_PYTHON, VELMORA_HTTP_TEST_SERVER, "--root", root})) {
  const std::string line = process_->ReadLine(10000);
  if (line.rfind("port ", 0) != 0) {
    throw std::runtime_error("the test HTTP server did not start: \"" + line + "\"");
  }
  port_ = std::stoi(line.substr(5));
}

std::string HttpTestServer::Url() const {
  return "http://127.0.0.1:" + std::to_string(port_) + "/";
}

std::string HttpTestServer::NextRequest(int timeout_ms) {
  const std::string line = process_->ReadLine(timeout_ms);
  return line.rfind("GET ", 0) == 0 ? line.substr(4) : std::string();
}

int ClosedLoopbackPort() {
  // Bind a port and let it go: nothing listens there afterwards, and connecting is refused at once.
  const int socket_fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  int port = 0;
  if (::bind(socket_fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
      ::getsockname(socket_fd, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
    port = ntohs(address.sin_port);
  }
  ::close(socket_fd);
  return port;
}

}  // namespace velmora::test

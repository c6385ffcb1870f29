#pragma once

#include <memory>
#include <string>

#include "child_process.h"

namespace velmora::test {

// A real HTTP server on 127.0.0.1 in a second process, serving the files of one folder. Paths under
// /cut/ send half a file and close the connection; under /endless/ bytes that never end, without a length;
// under /announce/ a length of 2 GiB and then only 1 KiB.
class HttpTestServer final {
 public:
  explicit HttpTestServer(const std::string& root);

  int Port() const { return port_; }
  // "http://127.0.0.1:<port>/"
  std::string Url() const;
  // The path of the next request it received ("/VelmoraVersion.xml"); empty when none came in
  // `timeout_ms`.
  std::string NextRequest(int timeout_ms);

 private:
  std::unique_ptr<ChildProcess> process_;
  int port_ = 0;
};

// A loopback port on which nothing listens.
int ClosedLoopbackPort();

}  // namespace velmora::test

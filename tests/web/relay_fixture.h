#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "child_process.h"
#include "net/asio.h"

namespace velmora::web::test {

// velmora-cli serve on a free port of 127.0.0.1, its trace in a folder of its own.
class ServeProcess {
 public:
  ServeProcess();
  ~ServeProcess();
  std::uint16_t Port() const { return port_; }

 private:
  std::filesystem::path folder_;
  std::optional<velmora::test::ChildProcess> process_;
  std::uint16_t port_ = 0;
};

// velmora-cli web on a free port of 127.0.0.1, relaying the server at `server_port`. `shell_setup`, when
// given, is shell text run before it starts (a lower file limit, an environment variable).
class WebProcess {
 public:
  WebProcess(std::uint16_t server_port, const std::vector<std::string>& more_arguments = {},
             const std::string& shell_setup = {});
  ~WebProcess();
  std::uint16_t Port() const { return port_; }
  pid_t Pid() const { return process_->Pid(); }
  // Sends SIGTERM and returns the exit status and everything it wrote on standard error.
  int Stop(std::string& err);
  // Its standard error so far.
  std::string Err() const;

 private:
  std::filesystem::path err_file_;
  std::optional<velmora::test::ChildProcess> process_;
  std::uint16_t port_ = 0;
};

// The status code, body and Referrer-Policy of an answer to a GET on 127.0.0.1.
struct HttpAnswer {
  int status = 0;
  std::string body;
  std::string referrer_policy;
};
struct HttpRequest {
  std::string target = "/";
  // Asks for a WebSocket as a browser does (101 when it is accepted).
  bool upgrade = false;
  // None: the request has no Host header.
  std::optional<std::string> host = "127.0.0.1";
  std::optional<std::string> origin;
  // The loopback address the request comes from.
  std::string from = "127.0.0.1";
};
HttpAnswer HttpGet(std::uint16_t port, const HttpRequest& request);
HttpAnswer HttpGet(std::uint16_t port, const std::string& target, bool upgrade = false);

// A browser's update stream, read with a deadline on every step.
class Viewer {
 public:
  Viewer(std::uint16_t port, const std::string& target);
  ~Viewer();
  bool Open() const { return open_; }
  // The next message, or none after `timeout` or when the stream ended.
  std::optional<std::string> Next(std::chrono::milliseconds timeout);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
  bool open_ = false;
};

// A viewer on an io_context of the caller's, for many at once: it reads every message as it comes and
// counts messages and bytes per window of time from `start`.
class CountingViewer : public std::enable_shared_from_this<CountingViewer> {
 public:
  CountingViewer(asio::io_context& io, std::chrono::steady_clock::time_point start,
                 std::chrono::milliseconds window, int windows);
  ~CountingViewer();
  void Start(std::uint16_t port);
  void Close();

  std::vector<int> per_window;
  long bytes = 0;
  // The size of the first message, the whole state.
  std::size_t first_size = 0;

 private:
  void Read();
  struct Impl;
  std::unique_ptr<Impl> impl_;
  std::chrono::steady_clock::time_point start_;
  std::chrono::milliseconds window_;
};

// The value of `key` in a message ("{\"v\":{...,\"key\":VALUE,...}}"), as its JSON text; none when the
// message does not carry it. Values are numbers, strings without quotes inside, or flat arrays of those.
std::optional<std::string> ValueIn(const std::string& message, const std::string& key);

// Processor time a process has used so far, user and system, in seconds; negative when it cannot be read.
double CpuSeconds(pid_t pid);

// Peak resident memory of a process in KiB (VmHWM), 0 when it cannot be read.
long PeakResidentKiB(pid_t pid);

}  // namespace velmora::web::test

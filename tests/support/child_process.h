#pragma once

#include <string>
#include <vector>

#include <sys/types.h>

namespace velmora::test {

// A real second process with pipes on its standard input and output. It is ended and reaped when the
// object goes, so no test leaves a process behind.
class ChildProcess {
 public:
  explicit ChildProcess(const std::vector<std::string>& argv);
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  pid_t Pid() const { return pid_; }

  // The next line of its output without the newline; empty at end of output or after `timeout_ms`.
  std::string ReadLine(int timeout_ms = 10000);
  void WriteLine(const std::string& line);
  // Closes its standard input and waits for it; returns its exit status, or -1.
  int CloseAndWait();

 private:
  pid_t pid_ = -1;
  int to_child_ = -1;
  int from_child_ = -1;
  std::string pending_;
};

}  // namespace velmora::test

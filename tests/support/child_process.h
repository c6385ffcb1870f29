#pragma once

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
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
  std::string pending_;
#ifdef _WIN32
  // Pipes cannot be waited on with a timeout, so a thread reads the child's output as it comes.
  void ReadOutput();
  void* process_ = nullptr;
  void* to_child_ = nullptr;
  void* from_child_ = nullptr;
  std::thread reader_;
  std::mutex mutex_;
  std::condition_variable arrived_;
  std::string received_;
  bool output_ended_ = false;
#else
  int to_child_ = -1;
  int from_child_ = -1;
#endif
};

#ifdef _WIN32
// A command line that the child's C runtime splits back into exactly `argv`.
std::wstring CommandLineOf(const std::vector<std::string>& argv);
#endif

}  // namespace velmora::test

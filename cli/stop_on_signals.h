#pragma once

namespace velmora::cli {

// While one exists, SIGINT and SIGTERM ask a command that runs until stopped to stop, which it sees in
// Requested(); the default actions come back when it goes.
class StopOnSignals final {
 public:
  StopOnSignals();
  ~StopOnSignals();
  StopOnSignals(const StopOnSignals&) = delete;
  StopOnSignals& operator=(const StopOnSignals&) = delete;

  static bool Requested();
};

}  // namespace velmora::cli

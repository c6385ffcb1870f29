#include "stop_on_signals.h"

#include <atomic>
#include <csignal>

namespace velmora::cli {
namespace {

std::atomic<bool> stop_requested{false};
static_assert(std::atomic<bool>::is_always_lock_free, "set from a signal handler");

extern "C" void OnStopSignal(int) {
  stop_requested.store(true);
}

}  // namespace

StopOnSignals::StopOnSignals() {
  stop_requested.store(false);
  std::signal(SIGINT, OnStopSignal);
  std::signal(SIGTERM, OnStopSignal);
}

StopOnSignals::~StopOnSignals() {
  std::signal(SIGINT, SIG_DFL);
  std::signal(SIGTERM, SIG_DFL);
}

bool StopOnSignals::Requested() {
  return stop_requested.load();
}

}  // namespace velmora::cli

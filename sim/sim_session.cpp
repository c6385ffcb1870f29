#include "sim_session.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

namespace velmora::sim {

namespace {

constexpr auto kTick = std::chrono::milliseconds(20);
// A process that was stopped for a while picks up where it was instead of leaping ahead.
constexpr double kLongestAdvance_s = 0.5;
// No command comes near this; more without a newline is garbage.
constexpr std::size_t kLongestLine = 65536;

}  // namespace

void Complain(const std::string& message) {
  std::fprintf(stderr, "velmora-sim: %s\n", message.c_str());
  std::fflush(stderr);
}

SimSession::SimSession(const SimOptions& options, SimWindowHost& window, Writer write)
    : options_(&options), window_(&window), write_(write) {}

SimSession::~SimSession() = default;

std::unique_ptr<SimSession> SimSession::Start(const SimOptions& options, Slots slots, SimWindowHost& window,
                                              Writer write) {
  std::unique_ptr<SimSession> session(new SimSession(options, window, write));
  session->layout_ = std::make_unique<SimLayout>(*options.table, options.drivers);
  const SimLayout& layout = *session->layout_;
  if (options.table_from_layout) {
    Complain("no rule accepts the title \"" + options.title + "\" with the version \"" + options.version +
             "\"; using the memory layout of table " + std::string(1, layout.TableName()));
  }
  std::string error;
  if (slots == Slots::kEvery) {
    // A simulator keeps a record for every slot a session can hold, used or not; the unused ones read as
    // zeros, so a reader may take all of them in one go.
    const SimLayout all_slots(*options.table, SessionModel::kMaxDrivers);
    session->memory_ = SimMemory::Reserve(all_slots.Begin(), all_slots.End(), error);
  } else {
    session->memory_ = SimMemory::Reserve(layout.Begin(), layout.End(), error);
  }
  if (!session->memory_) {
    Complain(error);
    return nullptr;
  }
  // Without a record length there is one record, and it is the player's.
  const int player_slot =
      layout.RecordLength() == 0 ? 0 : SessionModel::DefaultPlayerSlot(options.seed, options.drivers);
  session->model_ = std::make_unique<SessionModel>(options.seed, options.drivers, player_slot);
  session->state_memory_ = std::make_unique<StateMemory>(layout, *session->memory_);
  session->controller_ = std::make_unique<SimController>(*session->model_, layout, *session->state_memory_,
                                                         static_cast<SimHost&>(*session));
  return session;
}

void SimSession::StartClock() {
  last_tick_ = Clock::now();
}

std::optional<std::chrono::milliseconds> SimSession::TimeToNextTick() const {
  if (controller_->Paused()) {
    return std::nullopt;
  }
  const auto due = last_tick_ + kTick - Clock::now();
  return std::max(std::chrono::milliseconds(0), std::chrono::ceil<std::chrono::milliseconds>(due));
}

void SimSession::Tick() {
  const auto now = Clock::now();
  const double real_s = std::chrono::duration<double>(now - last_tick_).count();
  controller_->Advance(std::min(real_s, kLongestAdvance_s) * options_->time_scale);
  last_tick_ = now;
}

void SimSession::TakeInput(std::string_view arrived, bool ended) {
  pending_input_.append(arrived);
  std::size_t newline;
  while (!over_ && (newline = pending_input_.find('\n')) != std::string::npos) {
    std::string line = pending_input_.substr(0, newline);
    pending_input_.erase(0, newline + 1);
    if (!line.empty() && line.back() == '\r') {
      line.pop_back();
    }
    if (overlong_line_) {
      overlong_line_ = false;
      over_ = !write_("error: line too long\n");
    } else {
      HandleLine(line);
    }
  }
  if (pending_input_.size() > kLongestLine) {
    // Kept out of memory; answered once its end comes, so that every line still has one answer.
    pending_input_.clear();
    overlong_line_ = true;
  }
  if (ended) {
    // The end of the input is the end of the session; a last line without its newline still counts.
    if (!over_ && !pending_input_.empty()) {
      HandleLine(pending_input_);
    }
    over_ = true;
  }
}

void SimSession::HandleLine(const std::string& line) {
  if (!write_(controller_->Execute(line) + "\n")) {
    over_ = true;
  }
}

}  // namespace velmora::sim

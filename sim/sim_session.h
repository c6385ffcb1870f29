#pragma once

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "options.h"
#include "session_model.h"
#include "sim_controller.h"
#include "sim_layout.h"
#include "sim_memory.h"
#include "state_memory.h"

namespace velmora::sim {

// Says on standard error what went wrong, as "velmora-sim: <message>".
void Complain(const std::string& message);

// What the session asks of the platform's window.
class SimWindowHost {
 public:
  virtual ~SimWindowHost() = default;
  virtual void CloseWindow() = 0;
  // False when the window cannot be shown.
  virtual bool OpenWindow() = 0;
};

// The part of velmora-sim that is the same on every platform: the session in the fixed memory, moved on
// by the wall clock and steered by the command lines of standard input, each of which gets one answer.
class SimSession final : private SimHost {
 public:
  // Writes all of `text` to standard output; false when standard output is gone.
  using Writer = bool (*)(const std::string& text);

  // How much memory to take: the session's own records, or a record for every slot a session can hold.
  enum class Slots { kSession, kEvery };

  // Takes the memory and publishes the first state. Null, after a complaint, when the memory cannot be
  // had. `window` must outlive the session.
  static std::unique_ptr<SimSession> Start(const SimOptions& options, Slots slots, SimWindowHost& window,
                                           Writer write);
  ~SimSession() override;
  SimSession(const SimSession&) = delete;
  SimSession& operator=(const SimSession&) = delete;

  // True once input has ended, standard output is gone or a command said quit.
  bool Over() const { return over_; }

  // From now on the model follows the wall clock.
  void StartClock();
  // How long the loop may wait before the model is due to move on; none while paused.
  std::optional<std::chrono::milliseconds> TimeToNextTick() const;
  // Moves the model on by the real time since the last tick.
  void Tick();

  // Answers every complete line of what has arrived on standard input; `ended` when the input has ended.
  void TakeInput(std::string_view arrived, bool ended);

 private:
  using Clock = std::chrono::steady_clock;

  SimSession(const SimOptions& options, SimWindowHost& window, Writer write);

  void CloseWindow() override { window_->CloseWindow(); }
  bool OpenWindow() override { return window_->OpenWindow(); }
  void Quit() override { over_ = true; }

  void HandleLine(const std::string& line);

  const SimOptions* options_;
  SimWindowHost* window_;
  Writer write_;
  std::unique_ptr<SimLayout> layout_;
  std::unique_ptr<SimMemory> memory_;
  std::unique_ptr<SessionModel> model_;
  std::unique_ptr<StateMemory> state_memory_;
  std::unique_ptr<SimController> controller_;
  Clock::time_point last_tick_;
  std::string pending_input_;
  bool overlong_line_ = false;
  bool over_ = false;
};

}  // namespace velmora::sim

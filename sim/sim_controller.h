#pragma once

#include <string>
#include <string_view>

#include "commands.h"
#include "session_model.h"
#include "sim_layout.h"
#include "state_memory.h"

namespace velmora::sim {

// What the commands ask of the program around the session: its window and its end.
class SimHost {
 public:
  virtual ~SimHost() = default;
  virtual void CloseWindow() = 0;
  // False when the window cannot be shown.
  virtual bool OpenWindow() = 0;
  virtual void Quit() = 0;
};

// Runs the session: moves the model on while it is not paused, keeps the memory in step with it, and
// answers the command language.
class SimController {
 public:
  // All must outlive the controller. Publishes the state at once.
  SimController(SessionModel& model, const SimLayout& layout, StateMemory& memory, SimHost& host);

  // The answer to one line: "ok", a value, or "error: <reason>".
  std::string Execute(std::string_view line);

  // Time passing on the wall clock; ignored while paused.
  void Advance(double seconds);
  bool Paused() const { return paused_; }

 private:
  std::string Execute(const Command& command);
  std::string SetOrGet(const Command& command);
  void Publish();

  SessionModel* model_;
  const SimLayout* layout_;
  StateMemory* memory_;
  SimHost* host_;
  bool paused_ = false;
};

}  // namespace velmora::sim

#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "session_model.h"
#include "sim_controller.h"
#include "sim_layout.h"
#include "sim_memory.h"
#include "state_memory.h"

namespace velmora::sim {

// The window and the end of the program belong to the process around the controller; here they only
// count what they are asked.
struct RecordingHost final : SimHost {
  int closed = 0;
  int opened = 0;
  int quit = 0;
  bool display = true;
  void CloseWindow() override { ++closed; }
  bool OpenWindow() override {
    ++opened;
    return display;
  }
  void Quit() override { ++quit; }
};

// A controller over real memory at the addresses of address table `table`.
class ControllerFixture : public ::testing::Test {
 protected:
  ControllerFixture(std::uint64_t seed, char table, int drivers, int player_slot);

  std::string Run(const std::string& line) { return controller_->Execute(line); }

  SessionModel model_;
  SimLayout layout_;
  std::unique_ptr<SimMemory> memory_;
  std::unique_ptr<StateMemory> state_memory_;
  RecordingHost host_;
  std::unique_ptr<SimController> controller_;
};

}  // namespace velmora::sim

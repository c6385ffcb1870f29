#include "sim_controller.h"

#include <variant>

namespace velmora::sim {

SimController::SimController(SessionModel& model, const SimLayout& layout, StateMemory& memory, SimHost& host)
    : model_(&model), layout_(&layout), memory_(&memory), host_(&host) {
  Publish();
}

void SimController::Publish() {
  memory_->Publish(model_->State());
}

void SimController::Advance(double seconds) {
  if (paused_ || seconds <= 0.0) {
    return;
  }
  model_->Step(seconds);
  Publish();
}

std::string SimController::Execute(std::string_view line) {
  auto parsed = ParseCommand(line);
  if (const auto* reason = std::get_if<std::string>(&parsed)) {
    return "error: " + *reason;
  }
  return Execute(std::get<Command>(parsed));
}

std::string SimController::Execute(const Command& command) {
  switch (command.verb) {
    case Command::Verb::Set:
    case Command::Verb::Get:
      return SetOrGet(command);
    case Command::Verb::Pause:
      paused_ = true;
      return "ok";
    case Command::Verb::Resume:
      paused_ = false;
      return "ok";
    case Command::Verb::Step:
      if (!paused_) {
        return "error: step needs a paused session (send pause first)";
      }
      model_->Step(command.seconds);
      Publish();
      return "ok";
    case Command::Verb::Sector:
      model_->PlayerEndsSector(command.number, command.seconds);
      Publish();
      return "ok";
    case Command::Verb::Line:
      model_->PlayerCrossesLine(command.seconds);
      Publish();
      return "ok";
    case Command::Verb::Session:
      model_->RestartSession(command.number, command.seconds, static_cast<std::int16_t>(command.laps));
      Publish();
      return "ok";
    case Command::Verb::Close:
      host_->CloseWindow();
      return "ok";
    case Command::Verb::Open:
      return host_->OpenWindow() ? "ok" : "error: the window cannot be shown";
    case Command::Verb::Quit:
      host_->Quit();
      return "ok";
  }
  return "error: unknown command";
}

std::string SimController::SetOrGet(const Command& command) {
  const SimDatum* datum = layout_->Find(command.member);
  if (datum == nullptr) {
    if (IsKnownDatumName(command.member)) {
      return "error: " + command.member + " is not in the layout of table " +
             std::string(1, layout_->TableName());
    }
    return "error: unknown member \"" + command.member + "\"";
  }
  int slot = 0;
  if (command.slot) {
    if (!datum->per_driver) {
      return "error: " + command.member + " is not kept per driver";
    }
    slot = *command.slot;
  } else if (datum->per_driver && layout_->RecordLength() != 0) {
    // The player's record is the one the published slot names, as a reader finds it.
    slot = model_->State().player_slot;
  }
  if (slot >= layout_->Records()) {
    return "error: slot " + std::to_string(slot) + " has no record (slots 0 to " +
           std::to_string(layout_->Records() - 1) + ")";
  }
  if (command.verb == Command::Verb::Get) {
    return FormatDatumValue(datum->type, memory_->Read(*datum, slot));
  }
  auto value = ParseDatumValue(datum->type, command.value, SimLayout::kTextCapacity - 1);
  if (const auto* reason = std::get_if<std::string>(&value)) {
    return "error: " + *reason;
  }
  StateMemory::Assign(model_->State(), *datum, slot, std::get<DatumValue>(value));
  memory_->Publish(model_->State(), *datum, slot);
  return "ok";
}

}  // namespace velmora::sim

#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>

namespace velmora::platform {

// A program this one starts as its own child: the simulator, started through Velmora where the kernel
// lets a process read the memory of its own descendants only.
class LaunchedCommand {
 public:
  virtual ~LaunchedCommand() = default;

  // Starts `arguments` (the program first, looked up in the PATH as a shell would) with this process's
  // environment, working folder and standard streams. Null, with the reason in `error`, when it cannot be
  // started. Leaving the object alone does not end the program: it is the racer's game.
  static std::unique_ptr<LaunchedCommand> Start(std::span<const std::string> arguments, std::string* error);

  virtual std::uint32_t ProcessId() const = 0;

  // The exit status once the program has ended, without waiting; nullopt while it runs. A program ended
  // by a signal gives 128 and the signal's number, as a shell tells it.
  virtual std::optional<int> ExitStatus() = 0;

  // What an event loop can wait on for the program's end: a descriptor that becomes readable (Linux) or a
  // process handle that becomes signalled (Windows); -1 when there is none, and ExitStatus must be asked.
  virtual std::intptr_t EndNotifier() const = 0;
};

}  // namespace velmora::platform

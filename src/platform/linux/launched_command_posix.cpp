#include <cerrno>
#include <csignal>
#include <cstring>
#include <vector>

#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/launched_command.h"

extern char** environ;

namespace velmora::platform {
namespace {

class PosixLaunchedCommand final : public LaunchedCommand {
 public:
  PosixLaunchedCommand(pid_t pid, int pidfd) : pid_(pid), pidfd_(pidfd) {}
  ~PosixLaunchedCommand() override {
    if (pidfd_ >= 0) {
      close(pidfd_);
    }
  }
  PosixLaunchedCommand(const PosixLaunchedCommand&) = delete;
  PosixLaunchedCommand& operator=(const PosixLaunchedCommand&) = delete;

  std::uint32_t ProcessId() const override { return static_cast<std::uint32_t>(pid_); }

  std::optional<int> ExitStatus() override {
    if (status_) {
      return status_;
    }
    int raw = 0;
    pid_t waited = 0;
    do {
      waited = waitpid(pid_, &raw, WNOHANG);
    } while (waited < 0 && errno == EINTR);
    if (waited == pid_) {
      if (WIFEXITED(raw)) {
        status_ = WEXITSTATUS(raw);
      } else if (WIFSIGNALED(raw)) {
        status_ = 128 + WTERMSIG(raw);
      }
    } else if (waited < 0) {
      status_ = 127;  // reaped elsewhere: it has ended, and how is no longer known
    }
    return status_;
  }

  std::intptr_t EndNotifier() const override { return pidfd_; }

 private:
  const pid_t pid_;
  const int pidfd_;
  std::optional<int> status_;
};

}  // namespace

std::unique_ptr<LaunchedCommand> LaunchedCommand::Start(std::span<const std::string> arguments,
                                                        std::string* error) {
  if (arguments.empty() || arguments.front().empty()) {
    if (error != nullptr) {
      *error = "no command given";
    }
    return nullptr;
  }
  std::vector<char*> argv;
  argv.reserve(arguments.size() + 1);
  for (const auto& argument : arguments) {
    argv.push_back(const_cast<char*>(argument.c_str()));
  }
  argv.push_back(nullptr);
  // The child starts with the default signal actions and an empty mask, whatever this process changed;
  // the library reports a program that cannot be executed as the spawn's own error.
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t none;
  sigset_t all;
  sigemptyset(&none);
  sigfillset(&all);
  posix_spawnattr_setsigmask(&attributes, &none);
  posix_spawnattr_setsigdefault(&attributes, &all);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
  pid_t pid = 0;
  const int result = posix_spawnp(&pid, argv.front(), nullptr, &attributes, argv.data(), environ);
  posix_spawnattr_destroy(&attributes);
  if (result != 0) {
    if (error != nullptr) {
      *error = std::strerror(result);
    }
    return nullptr;
  }
  // Without a descriptor (kernels before 5.3) the caller asks ExitStatus from time to time instead.
  // Called directly: the C library's header of this call lacks C linkage for C++ in some versions.
  const int pidfd = static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
  return std::make_unique<PosixLaunchedCommand>(pid, pidfd);
}

}  // namespace velmora::platform

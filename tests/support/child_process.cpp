#include "child_process.h"

#include <stdexcept>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace velmora::test {

ChildProcess::ChildProcess(const std::vector<std::string>& argv) {
  // A child that has gone must make WriteLine fail, not end the test program.
  signal(SIGPIPE, SIG_IGN);
  int in_pipe[2];
  int out_pipe[2];
  if (pipe2(in_pipe, O_CLOEXEC) != 0 || pipe2(out_pipe, O_CLOEXEC) != 0) {
    throw std::runtime_error("pipe failed");
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, in_pipe[0], STDIN_FILENO);
  posix_spawn_file_actions_adddup2(&actions, out_pipe[1], STDOUT_FILENO);
  std::vector<char*> args;
  for (const auto& arg : argv) {
    args.push_back(const_cast<char*>(arg.c_str()));
  }
  args.push_back(nullptr);
  // A bare name is looked up in PATH ("wine"); every other argv[0] here is a path.
  const int error = posix_spawnp(&pid_, args[0], &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(in_pipe[0]);
  close(out_pipe[1]);
  to_child_ = in_pipe[1];
  from_child_ = out_pipe[0];
  if (error != 0) {
    close(to_child_);
    close(from_child_);
    throw std::runtime_error("cannot start " + argv.front());
  }
}

ChildProcess::~ChildProcess() {
  if (pid_ > 0) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
  if (to_child_ >= 0) {
    close(to_child_);
  }
  if (from_child_ >= 0) {
    close(from_child_);
  }
}

std::string ChildProcess::ReadLine(int timeout_ms) {
  for (;;) {
    const auto newline = pending_.find('\n');
    if (newline != std::string::npos) {
      std::string line = pending_.substr(0, newline);
      pending_.erase(0, newline + 1);
      return line;
    }
    pollfd ready{from_child_, POLLIN, 0};
    if (poll(&ready, 1, timeout_ms) <= 0) {
      return {};
    }
    char buffer[512];
    const ssize_t got = read(from_child_, buffer, sizeof buffer);
    if (got <= 0) {
      return {};
    }
    pending_.append(buffer, static_cast<std::size_t>(got));
  }
}

void ChildProcess::WriteLine(const std::string& line) {
  const std::string text = line + "\n";
  if (write(to_child_, text.data(), text.size()) != static_cast<ssize_t>(text.size())) {
    throw std::runtime_error("child closed its input");
  }
}

int ChildProcess::CloseAndWait() {
  if (to_child_ >= 0) {
    close(to_child_);
    to_child_ = -1;
  }
  int status = 0;
  if (pid_ <= 0 || waitpid(pid_, &status, 0) != pid_) {
    return -1;
  }
  pid_ = -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace velmora::test

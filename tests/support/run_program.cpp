#include "run_program.h"

#include <atomic>
#include <cstdio>
#include <fstream>
#include <iterator>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace velmora::test {
namespace {

std::string ReadFile(const std::string& path) {
  std::ifstream file(path);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

}  // namespace

Outcome RunProgram(const std::vector<std::string>& argv_strings) {
  static std::atomic<int> runs = 0;
  const std::string stem = "/tmp/velmora_run_" + std::to_string(getpid()) + "_" + std::to_string(runs++);
  const std::string out_path = stem + ".out";
  const std::string err_path = stem + ".err";
  std::vector<char*> argv;
  for (const std::string& argument : argv_strings) {
    argv.push_back(const_cast<char*>(argument.c_str()));
  }
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0600);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0600);
  pid_t pid = -1;
  Outcome run;
  if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0) {
    int wait_status = 0;
    if (waitpid(pid, &wait_status, 0) == pid && WIFEXITED(wait_status)) {
      run.status = WEXITSTATUS(wait_status);
    }
  }
  posix_spawn_file_actions_destroy(&actions);
  run.out = ReadFile(out_path);
  run.err = ReadFile(err_path);
  std::remove(out_path.c_str());
  std::remove(err_path.c_str());
  return run;
}

}  // namespace velmora::test

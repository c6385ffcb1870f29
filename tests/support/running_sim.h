#pragma once

#include <memory>
#include <string>
#include <vector>

#include "child_process.h"

namespace velmora::test {

// A running velmora-sim that has said it is ready, driven through its command language.
class RunningSim {
 public:
  // Starts velmora-sim with `arguments`; throws when it does not get ready.
  explicit RunningSim(const std::vector<std::string>& arguments = {});
  ~RunningSim();
  RunningSim(const RunningSim&) = delete;
  RunningSim& operator=(const RunningSim&) = delete;

  std::uint32_t Pid() const { return static_cast<std::uint32_t>(process_->Pid()); }
  ChildProcess& Process() { return *process_; }

  // Sends one command and returns its one-line answer.
  std::string Ask(const std::string& line);

 private:
  std::unique_ptr<ChildProcess> process_;
};

}  // namespace velmora::test

#pragma once

#include <string>
#include <vector>

namespace velmora::test {

// How a program ended and what it wrote.
struct Outcome {
  int status = -1;  // exit status, -1 when it did not exit normally
  std::string out;
  std::string err;
};

// Runs `argv` to its end with no input and collects its standard output and error.
Outcome RunProgram(const std::vector<std::string>& argv);

std::vector<std::string> Lines(const std::string& text);

}  // namespace velmora::test

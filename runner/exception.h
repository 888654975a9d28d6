#pragma once
// The one exception of the child-process plumbing: thrown by ChildProcess when a pipe
// or the process cannot be created, caught by the runner that launched it. It carries
// no message; the runner turns it into a launch-failure status.
#include <exception>

namespace Utils {

class Exception : public std::exception {
 public:
  const char* what() const noexcept override { return ""; }
};

}  // namespace Utils

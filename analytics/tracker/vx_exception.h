#pragma once
// The tracker layer's one exception. Track operations raise it for misuse; the
// tracker wrapper swallows it, so it reaches the application only from the helpers
// the application calls directly (VxContextProperties).
#include <exception>
#include <string>

namespace vexlo::analytics {

class VxException : public std::exception {
 public:
  VxException(std::string message, std::string file, std::string function, int line)
      : m_Message(std::move(message)), m_File(std::move(file)), m_Function(std::move(function)), m_Line(line) {}
  const char* what() const noexcept override { return m_Message.c_str(); }
  const std::string& message() const { return m_Message; }
  const std::string& file() const { return m_File; }
  const std::string& function() const { return m_Function; }
  int line() const { return m_Line; }

 private:
  std::string m_Message;
  std::string m_File;
  std::string m_Function;
  int m_Line;
};

}  // namespace vexlo::analytics

// VX_THROW("AppTrackerImpl", "init", "appName is empty");
#define VX_THROW(file, function, message) throw ::vexlo::analytics::VxException((message), (file), (function), __LINE__)

#include "tools/test_package/script.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "tools/test_package/platform.h"

namespace Package {

namespace {

constexpr size_t kFloodChunk = 4096;
constexpr uint32_t kHangSliceMs = 1000;

std::string Unescape(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\' || i + 1 >= text.size()) {
      out += text[i];
      continue;
    }
    const char c = text[++i];
    if (c == 'n') {
      out += '\n';
    } else if (c == 'r') {
      out += '\r';
    } else if (c == 't') {
      out += '\t';
    } else if (c == 'x' && i + 2 < text.size()) {
      out += static_cast<char>(std::strtol(text.substr(i + 1, 2).c_str(), nullptr, 16));
      i += 2;
    } else {
      out += c;
    }
  }
  return out;
}

void Flood(int stream, size_t bytes) {
  std::string chunk;
  while (chunk.size() < kFloodChunk) chunk += "Noise=0123456789abcdefghijklmnopqrstuvwxyz\n";
  chunk.resize(kFloodChunk);
  while (bytes > 0) {
    const size_t n = bytes < chunk.size() ? bytes : chunk.size();
    if (!WriteStream(stream, chunk.substr(0, n))) return;
    bytes -= n;
  }
}

}  // namespace

int RunScript(const std::string& script, const std::string& rawCommandLine, const std::vector<std::string>& args) {
  std::istringstream lines(script);
  std::string line;
  while (std::getline(lines, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    const size_t blank = line.find(' ');
    const std::string command = line.substr(0, blank);
    const std::string argument = blank == std::string::npos ? std::string() : line.substr(blank + 1);
    if (command == "out") {
      WriteStream(1, argument + "\r\n");
    } else if (command == "raw") {
      WriteStream(1, Unescape(argument));
    } else if (command == "err") {
      WriteStream(2, argument + "\n");
    } else if (command == "flood-out") {
      Flood(1, std::strtoull(argument.c_str(), nullptr, 10));
    } else if (command == "flood-err") {
      Flood(2, std::strtoull(argument.c_str(), nullptr, 10));
    } else if (command == "sleep") {
      SleepMs(static_cast<uint32_t>(std::strtoul(argument.c_str(), nullptr, 10)));
    } else if (command == "hang") {
      while (true) SleepMs(kHangSliceMs);
    } else if (command == "crash") {
      Crash();
    } else if (command == "exit") {
      return std::atoi(argument.c_str());
    } else if (command == "heir") {
      StartHeir(argument);
    } else if (command == "args") {
      std::ofstream(argument, std::ios::binary) << rawCommandLine;
    } else if (command == "argv") {
      std::ofstream out(argument, std::ios::binary);
      for (const std::string& arg : args) out << arg << "\n";
    } else {
      return kUnknownCommandExitCode;
    }
  }
  return 0;
}

}  // namespace Package

#pragma once
// Running the real program from tests: its path in the build tree and a shell runner.
#include <sys/wait.h>

#include <cstdio>
#include <string>

namespace tarq::testing_util {

inline std::string BuiltProgram() { return std::string(TARQ_BINARY_DIR) + "/tarq"; }

// Runs a shell command; returns its exit status and its standard output and error.
inline int RunShell(const std::string& command, std::string* out = nullptr) {
  FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
  if (!pipe) return -1;
  std::string text;
  char buf[4096];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, pipe)) > 0) text.append(buf, n);
  const int status = ::pclose(pipe);
  if (out) *out = text;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace tarq::testing_util

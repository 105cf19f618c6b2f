#pragma once
// The program's command line: the options of the game window, the help text (every
// option of the game and of the headless runner, one line each) and the version.
#include <cstdint>
#include <string>
#include <vector>

namespace tarq {

// The version printed by --version, e.g. "tarq 0.1".
std::string VersionText();
// The text printed by --help.
std::string HelpText();

// The level's sections: --start-section takes 1 to this.
constexpr int32_t kLevelSectionCount = 12;

struct WindowOptions {
  std::string DataDir;          // --data DIR
  int64_t QuitAfterTicks = 0;   // --quit-after-ticks N (0: never)
  int32_t StartSection = 1;     // --start-section N: section practice (1: the level's start)
  bool Help = false;            // --help or -h
  bool Version = false;         // --version
  std::string ReplayFile;       // --replay FILE: play a replay in the window
};

// Parses the arguments after the program name for the game window (not --headless).
// False with `error` for an unknown option or a bad value; the caller exits with 2.
bool ParseWindowArgs(const std::vector<std::string>& args, WindowOptions& options, std::string& error);

}  // namespace tarq

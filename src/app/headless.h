#pragma once
// The headless runner: the game's own start-up and timer handlers with no dialog,
// window, audio device or GPU, driven like a display running at exactly 75 Hz (each
// pass renders once, then runs one tick).
//
//   tarq --headless --ticks N [--seed S] [--input SCRIPT] [--dump FILE]
//        [--dump-every K] [--screenshot TICK:FILE.png ...] [--data DIR]
//        [--config FILE] [--scores FILE]
//        [--bot [1|2|both]] [--invulnerable] [--start-section N]
//
// The input-script and dump formats are described in docs/headless.md.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tarq {

struct Game;

struct HeadlessOptions {
  int64_t Ticks = 0;
  bool SeedGiven = false;
  uint64_t Seed = 0;
  std::string InputScript;
  std::string DumpFile;
  int64_t DumpEvery = 1;
  std::vector<std::pair<int64_t, std::string>> Screenshots;  // (tick, PNG path)
  std::string DataDir;
  // The player's files; none unless named, so a headless run never changes them.
  std::string ConfigFile;  // --config FILE
  std::string ScoresFile;  // --scores FILE
  bool Help = false;       // --help: print the options and exit
  bool Version = false;    // --version
  // Players flown by the bot pilot (index 0 and 1).
  bool Bot[2] = {false, false};
  // Test aid: the players never take damage (their shield time is kept topped up).
  bool Invulnerable = false;
  // Section practice: runs start at this section of the level (1 = the start).
  int64_t StartSection = 1;
  // --schedule FILE: the enemy schedule to read instead of system/enemies.txt.
  std::string ScheduleFile;
  // Replays (docs/replays.md): --record FILE writes the run as a replay; --replay FILE
  // runs a replay instead of a script (no --ticks needed), and --verify compares its
  // checkpoints.
  std::string RecordFile;
  std::string ReplayFile;
  bool Verify = false;
  // For tests that run the runner in-process: called after every tick; returning false
  // ends the run there.
  std::function<bool(const Game&)> Observer;
};

// Parses the arguments after the program name (the first must be --headless).
bool ParseHeadlessArgs(const std::vector<std::string>& args, HeadlessOptions& options, std::string& error);

// One timed event of an input script.
struct ScriptEvent {
  enum class Kind {
    Hold,      // replace the held inputs with Codes (none: release everything)
    Type,      // a typed character (FormKeyPress)
    Escape,    // the Escape key (FormKeyDown)
    AltEnter,  // Alt+Enter (FormKeyDown)
  };
  int64_t Tick = 0;
  Kind Type = Kind::Hold;
  std::vector<std::string> Codes;
  int Character = 0;
  int Line = 0;
};

// Parses a script; events come out in tick order (lines of one tick in file order).
bool ParseInputScript(std::string_view text, std::vector<ScriptEvent>& events, std::string& error);

// Runs the game headless. Returns the process exit code: 0 done, 1 a start-up or
// output error, 2 bad arguments or script. Messages go to standard error.
int RunHeadless(const HeadlessOptions& options);
// Runs options.ReplayFile headless (replay_run.cpp). Exit codes as RunHeadless, and 3
// when --verify refuses a replay of another version or other data, 4 when it diverges.
int RunHeadlessReplay(const HeadlessOptions& options);
// Entry from main(): parses, then runs.
int HeadlessMain(const std::vector<std::string>& args);

}  // namespace tarq

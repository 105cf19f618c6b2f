#include "app/command_line.h"

#include <charconv>

#ifndef TARQ_VERSION
#define TARQ_VERSION "unknown"
#endif

namespace tarq {

std::string VersionText() { return std::string("tarq ") + TARQ_VERSION; }

std::string HelpText() {
  return "Usage: tarq [--data DIR] [--quit-after-ticks N] [--start-section N] [--replay FILE]\n"
         "       tarq --headless --ticks N [HEADLESS OPTIONS]\n"
         "       tarq --headless --replay FILE [--verify] [HEADLESS OPTIONS]\n"
         "A vertically scrolling shoot-'em-up for one or two players.\n"
         "\n"
         "Options:\n"
         "  --data DIR                  read the game data from DIR instead of looking for it\n"
         "  --quit-after-ticks N        close the window by itself after N ticks and print the rates\n"
         "  --replay FILE               watch a replay (Escape ends it)\n"
         "  --start-section N           section practice: every run starts at section N (1-12)\n"
         "  --headless                  run the game without window, sound or devices (first option)\n"
         "  -h, --help                  show this help and exit\n"
         "  --version                   show the version and exit\n"
         "\n"
         "Headless options (after --headless):\n"
         "  --ticks N                   run N game ticks (required without --replay)\n"
         "  --seed S                    seed the random numbers with S (default 0)\n"
         "  --input SCRIPT              feed the timed inputs of SCRIPT\n"
         "  --dump FILE                 write the game state as one JSON line per tick\n"
         "  --dump-every K              dump only every K-th tick\n"
         "  --screenshot TICK:FILE.png  save the frame after TICK ticks (several may follow)\n"
         "  --data DIR                  read the game data from DIR\n"
         "  --config FILE               read and write the settings in FILE (default: none)\n"
         "  --scores FILE               read and write the high scores in FILE (default: none)\n"
         "  --schedule FILE             read the enemy schedule from FILE\n"
         "  --bot [1|2|both]            let the bot pilot fly player 1, player 2 or both\n"
         "  --invulnerable              test aid: the players take no damage\n"
         "  --start-section N           start every run at section N of the level\n"
         "  --record FILE               save the run as a replay in FILE\n"
         "  --replay FILE               run a replay instead of --ticks and --input\n"
         "  --verify                    with --replay: check every checkpoint, fail at a divergence\n"
         "\n"
         "\n"
         "Without --data the data is looked for in $TARQ_DATA, data/ and ../share/tarq/ beside\n"
         "the program, and the current folder. Settings: $XDG_CONFIG_HOME/tarq/tarq.ini; high\n"
         "scores: $XDG_DATA_HOME/tarq/hiscores.dat; screenshots (F12): $XDG_DATA_HOME/tarq/\n"
         "screenshots/; replays: $XDG_DATA_HOME/tarq/replays/. See tarq(6).\n";
}

bool ParseWindowArgs(const std::vector<std::string>& args, WindowOptions& o, std::string& error) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&](std::string& out) {
      if (i + 1 >= args.size()) {
        error = a + " needs a value";
        return false;
      }
      out = args[++i];
      return true;
    };
    if (a == "--help" || a == "-h") {
      o.Help = true;
    } else if (a == "--version") {
      o.Version = true;
    } else if (a == "--data") {
      if (!value(o.DataDir)) return false;
      if (o.DataDir.empty()) {
        error = "--data needs a folder";
        return false;
      }
    } else if (a == "--quit-after-ticks") {
      std::string v;
      if (!value(v)) return false;
      int64_t n = 0;
      const auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), n, 10);
      if (v.empty() || ec != std::errc() || end != v.data() + v.size() || n <= 0) {
        error = "--quit-after-ticks needs a positive number, not \"" + v + "\"";
        return false;
      }
      o.QuitAfterTicks = n;
    } else if (a == "--replay") {
      if (!value(o.ReplayFile)) return false;
    } else if (a == "--start-section") {
      std::string v;
      if (!value(v)) return false;
      int32_t n = 0;
      const auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), n, 10);
      if (v.empty() || ec != std::errc() || end != v.data() + v.size() || n < 1 || n > kLevelSectionCount) {
        error = "--start-section needs a section number from 1 to " + std::to_string(kLevelSectionCount) +
                ", not \"" + v + "\"";
        return false;
      }
      o.StartSection = n;
    } else if (a == "--headless") {
      error = "--headless must be the first option";
      return false;
    } else {
      error = "unknown option \"" + a + "\"";
      return false;
    }
  }
  return true;
}

}  // namespace tarq

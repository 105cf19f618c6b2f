#include "app/headless.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "app/command_line.h"
#include "app/headless_outputs.h"
#include "app/main_window.h"
#include "app/replay.h"
#include "app/user_paths.h"
#include "game/bot_pilot.h"
#include "core/bounded_file.h"
#include "game/dump.h"
#include "game/section_start.h"

namespace tarq {

namespace {

bool ParseInt(std::string_view text, int64_t& value) {
  if (text.empty()) return false;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, 10);
  return ec == std::errc() && end == text.data() + text.size();
}

bool ParseUnsigned(std::string_view text, uint64_t& value) {
  if (text.empty()) return false;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, 10);
  return ec == std::errc() && end == text.data() + text.size();
}

// A clock that advances exactly one 75 Hz frame per pass: a counter at 75 counts per
// second and a millisecond clock derived from it.
class DisplayClocks : public TimerClocks {
 public:
  bool CounterFrequency(int64_t& frequency) override {
    frequency = 75;
    return true;
  }
  int64_t Counter() override { return frames_; }
  uint32_t Milliseconds() override { return static_cast<uint32_t>(frames_ * 1000 / 75); }
  void NextFrame() { ++frames_; }

 private:
  int64_t frames_ = 0;
};

std::vector<std::string> SplitWords(std::string_view line) {
  std::vector<std::string> words;
  size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    const size_t start = i;
    while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
    if (i > start) words.emplace_back(line.substr(start, i - start));
  }
  return words;
}

// The bot's controls join what the script holds; on the name-entry screen the bot
// presses Enter so that a bot run never waits there.
void FlyBots(const Game& game, const HeadlessOptions& options, ScriptedInputSource& source,
             const std::vector<std::string>& scriptHeld, TForm1& form, BotMemory& memory) {
  source.ReleaseAll();
  memory.Observe(game);
  for (const std::string& code : scriptHeld) source.Hold(code.c_str());
  for (int32_t p = 0; p < 2; ++p) {
    if (!options.Bot[p]) continue;
    const BotControls c = memory.Fly(game, p);
    for (const std::string& code : BotHeldCodes(game.ControlBindings, p, c)) source.Hold(code.c_str());
  }
  if (game.ScreenState == kScreenNameEntry && game.TickCount % 2 == 0) form.FormKeyPress(13);
}

// Shield time blocks every kind of damage; two ticks outlast the tick's own count-down.
void KeepShieldsUp(Game& game) {
  for (PlayerRecord& p : game.Players)
    if (p.Active && p.ShieldTime < 2) p.ShieldTime = 2;
}

}  // namespace

bool ParseHeadlessArgs(const std::vector<std::string>& args, HeadlessOptions& o, std::string& error) {
  if (args.empty() || args[0] != "--headless") {
    error = "the first argument must be --headless";
    return false;
  }
  bool ticksGiven = false;
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto next = [&](std::string& out) {
      if (i + 1 >= args.size()) {
        error = a + " needs a value";
        return false;
      }
      out = args[++i];
      return true;
    };
    std::string v;
    if (a == "--ticks") {
      if (!next(v)) return false;
      if (!ParseInt(v, o.Ticks) || o.Ticks < 0) {
        error = "--ticks needs a whole number of ticks, not \"" + v + "\"";
        return false;
      }
      ticksGiven = true;
    } else if (a == "--seed") {
      if (!next(v)) return false;
      if (!ParseUnsigned(v, o.Seed)) {
        error = "--seed needs a non-negative whole number, not \"" + v + "\"";
        return false;
      }
      o.SeedGiven = true;
    } else if (a == "--input") {
      if (!next(o.InputScript)) return false;
    } else if (a == "--dump") {
      if (!next(o.DumpFile)) return false;
    } else if (a == "--dump-every") {
      if (!next(v)) return false;
      if (!ParseInt(v, o.DumpEvery) || o.DumpEvery < 1) {
        error = "--dump-every needs a whole number of at least 1, not \"" + v + "\"";
        return false;
      }
    } else if (a == "--screenshot") {
      if (!next(v)) return false;
      const size_t colon = v.find(':');
      int64_t tick = 0;
      if (colon == std::string::npos || !ParseInt(std::string_view(v).substr(0, colon), tick) || tick < 0 ||
          colon + 1 >= v.size()) {
        error = "--screenshot needs TICK:FILE.png, not \"" + v + "\"";
        return false;
      }
      o.Screenshots.emplace_back(tick, v.substr(colon + 1));
      // More TICK:FILE values may follow one --screenshot.
      while (i + 1 < args.size() && args[i + 1].rfind("--", 0) != 0) {
        const std::string& more = args[++i];
        const size_t c = more.find(':');
        if (c == std::string::npos || !ParseInt(std::string_view(more).substr(0, c), tick) || tick < 0 ||
            c + 1 >= more.size()) {
          error = "--screenshot needs TICK:FILE.png, not \"" + more + "\"";
          return false;
        }
        o.Screenshots.emplace_back(tick, more.substr(c + 1));
      }
    } else if (a == "--data") {
      if (!next(o.DataDir)) return false;
    } else if (a == "--config") {
      if (!next(o.ConfigFile)) return false;
    } else if (a == "--scores") {
      if (!next(o.ScoresFile)) return false;
    } else if (a == "--help" || a == "-h") {
      o.Help = true;
      return true;
    } else if (a == "--version") {
      o.Version = true;
      return true;
    } else if (a == "--bot") {
      // Which players the bot flies: 1, 2 or both (1 when no value follows).
      std::string who = "1";
      if (i + 1 < args.size() && args[i + 1].rfind("--", 0) != 0) who = args[++i];
      if (who == "1" || who == "both") o.Bot[0] = true;
      if (who == "2" || who == "both") o.Bot[1] = true;
      if (!o.Bot[0] && !o.Bot[1]) {
        error = "--bot takes 1, 2 or both, not \"" + who + "\"";
        return false;
      }
    } else if (a == "--invulnerable") {
      o.Invulnerable = true;
    } else if (a == "--start-section") {
      if (!next(v)) return false;
      if (!ParseInt(v, o.StartSection) || o.StartSection < 1) {
        error = "--start-section needs a section number from 1, not \"" + v + "\"";
        return false;
      }
    } else if (a == "--schedule") {
      if (!next(o.ScheduleFile)) return false;
    } else if (a == "--record") {
      if (!next(o.RecordFile)) return false;
    } else if (a == "--replay") {
      if (!next(o.ReplayFile)) return false;
    } else if (a == "--verify") {
      o.Verify = true;
    } else {
      error = "unknown option \"" + a + "\"";
      return false;
    }
  }
  if (!o.ReplayFile.empty()) {
    // A replay brings its own length, inputs, seed and start options.
    if (ticksGiven || !o.InputScript.empty() || o.Bot[0] || o.Bot[1] || o.SeedGiven || o.Invulnerable ||
        o.StartSection != 1 || !o.RecordFile.empty() || !o.ConfigFile.empty() || !o.ScoresFile.empty()) {
      // (It never touches the player's files either.)
      error = "--replay takes no --ticks, --input, --seed, --bot, --invulnerable, --start-section, --record, "
              "--config or --scores";
      return false;
    }
    return true;
  }
  if (o.Verify) {
    error = "--verify needs --replay FILE";
    return false;
  }
  if (!ticksGiven) {
    error = "--ticks N is required";
    return false;
  }
  return true;
}

bool ParseInputScript(std::string_view text, std::vector<ScriptEvent>& events, std::string& error) {
  events.clear();
  int lineNo = 0;
  size_t pos = 0;
  while (pos <= text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(pos, end - pos);
    pos = end + 1;
    ++lineNo;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    // '#' starts a comment on its own line or after the codes of a hold line; the text
    // of a "type" line is typed as it stands.
    const std::vector<std::string> words = SplitWords(line);
    if (words.empty() || words[0][0] == '#') {
      if (end == text.size()) break;
      continue;
    }
    auto fail = [&](const std::string& why) {
      error = "line " + std::to_string(lineNo) + ": " + why;
      return false;
    };
    int64_t tick = 0;
    if (!ParseInt(words[0], tick) || tick < 0) return fail("a line starts with a tick number, not \"" + words[0] + "\"");
    ScriptEvent e;
    e.Tick = tick;
    e.Line = lineNo;
    if (words.size() >= 2 && words[1] == "type") {
      // Everything after "type " is typed, one character per tick.
      const size_t at = line.find("type") + 4;
      if (at >= line.size() || line[at] != ' ' || at + 1 >= line.size()) return fail("type needs text");
      const std::string_view typed = line.substr(at + 1);
      for (size_t i = 0; i < typed.size(); ++i) {
        ScriptEvent t = e;
        t.Tick = tick + static_cast<int64_t>(i);
        t.Type = ScriptEvent::Kind::Type;
        t.Character = static_cast<unsigned char>(typed[i]);
        events.push_back(t);
      }
    } else if (words.size() >= 2 && words[1] == "key") {
      if (words.size() != 3) return fail("key takes one name: Escape, AltEnter, Backspace or Enter");
      const std::string& k = words[2];
      if (k == "Escape") {
        e.Type = ScriptEvent::Kind::Escape;
      } else if (k == "AltEnter") {
        e.Type = ScriptEvent::Kind::AltEnter;
      } else if (k == "Backspace" || k == "Enter") {
        e.Type = ScriptEvent::Kind::Type;
        e.Character = k == "Enter" ? 13 : 8;
      } else {
        return fail("unknown key \"" + k + "\" (Escape, AltEnter, Backspace or Enter)");
      }
      events.push_back(e);
    } else {
      e.Type = ScriptEvent::Kind::Hold;
      for (size_t i = 1; i < words.size(); ++i) {
        if (words[i][0] == '#') break;  // trailing comment
        if (words[i].size() != 4) return fail("\"" + words[i] + "\" is not a four-character control code");
        ScriptedInputSource probe;
        if (!probe.Hold(words[i].c_str())) return fail("cannot hold control code \"" + words[i] + "\"");
        e.Codes.push_back(words[i]);
      }
      events.push_back(e);
    }
    if (end == text.size()) break;
  }
  std::stable_sort(events.begin(), events.end(),
                   [](const ScriptEvent& a, const ScriptEvent& b) { return a.Tick < b.Tick; });
  return true;
}

int RunHeadless(const HeadlessOptions& options) {
  if (!options.ReplayFile.empty()) return RunHeadlessReplay(options);
  std::vector<ScriptEvent> events;
  if (!options.InputScript.empty()) {
    // A script is a few lines per input change; 16 MiB is far beyond any replay.
    constexpr size_t kMaxInputScriptBytes = size_t{16} << 20;
    std::string text;
    if (!ReadBoundedFile(options.InputScript, kMaxInputScriptBytes, text).Ok()) {
      std::fprintf(stderr, "tarq: cannot read input script %s\n", options.InputScript.c_str());
      return 2;
    }
    std::string error;
    if (!ParseInputScript(text, events, error)) {
      std::fprintf(stderr, "tarq: %s: %s\n", options.InputScript.c_str(), error.c_str());
      return 2;
    }
  }
  HeadlessOutputs outputs;
  if (!outputs.Open(options)) return 1;
  // Resolved before the change to the data folder, like the other paths.
  const std::string configFile = Absolute(options.ConfigFile);
  const std::string scoresFile = Absolute(options.ScoresFile);
  const std::string schedulePath = Absolute(options.ScheduleFile);
  const std::string recordPath = Absolute(options.RecordFile);
  if (!EnterDataFolder(options.DataDir)) return 1;

  auto clocksOwned = std::make_unique<DisplayClocks>();
  DisplayClocks* clocks = clocksOwned.get();
  TForm1 form(std::move(clocksOwned));
  auto sourceOwned = std::make_unique<ScriptedInputSource>();
  ScriptedInputSource* source = sourceOwned.get();
  StartupOptions startup;
  startup.Headless = true;
  startup.FixedSeed = true;
  startup.Seed = options.SeedGiven ? options.Seed : 0;
  startup.Input = std::move(sourceOwned);
  startup.SettingsFile = configFile;
  startup.ScoresFile = scoresFile;
  startup.SchedulePath = schedulePath;
  if (form.FormCreate(std::move(startup)) != StartupResult::Ok) return 1;

  Game& game = form.GameState();
  if (options.StartSection > 1 && options.StartSection > ScheduleSectionCount(game)) {
    std::fprintf(stderr, "tarq: --start-section %lld: the level script has %d sections\n",
                 static_cast<long long>(options.StartSection), ScheduleSectionCount(game));
    return 2;
  }
  game.StartSection = static_cast<int32_t>(options.StartSection);
  // --record: everything the run consumes from here on.
  std::unique_ptr<ReplayRecorder> recorder;
  if (!recordPath.empty()) {
    recorder = std::make_unique<ReplayRecorder>(game, form.Seed(), DataFolderChecksum("."), VersionText());
    recorder->SetInvulnerable(options.Invulnerable);
    form.SetRecorder(recorder.get());
  }
  TFixedTimer& timer = form.Timer1();
  // The dump lists the sounds played since its previous line.
  if (outputs.Dumping() && form.Audio()) form.Audio()->LogSounds = true;
  // The frame of each pass shows the state after TickCount ticks.
  timer.OnRender = [&] {
    const bool due = outputs.ScreenshotDue(game.TickCount);
    form.SetRenderToDevice(due);
    form.Timer1Render();
    if (due) outputs.SaveScreenshots(form, game.TickCount);
  };

  size_t next = 0;
  std::vector<std::string> scriptHeld;  // what the script holds; the bot adds its own
  const bool anyBot = options.Bot[0] || options.Bot[1];
  BotMemory botMemory;
  // Applies the script's lines due by `tick`; `keysToo` false drops the lines that are
  // not holds (the window drops key messages while the redefinition prompt waits).
  auto applyDue = [&](int64_t tick, bool keysToo) {
    while (next < events.size() && events[next].Tick <= tick) {
      const ScriptEvent& e = events[next++];
      if (e.Type != ScriptEvent::Kind::Hold && !keysToo) continue;
      switch (e.Type) {
        case ScriptEvent::Kind::Hold:
          scriptHeld = e.Codes;
          source->ReleaseAll();
          for (const std::string& code : e.Codes) source->Hold(code.c_str());
          break;
        case ScriptEvent::Kind::Type: form.FormKeyPress(e.Character); break;
        case ScriptEvent::Kind::Escape: form.FormKeyDown(kVkEscape, {}); break;
        case ScriptEvent::Kind::AltEnter: form.FormKeyDown(kVkReturn, ShiftState{false, true, false}); break;
      }
    }
  };
  // The key-redefinition prompt stops the game's ticks but not the script's clock: each
  // poll of the prompt is one more frame of waiting, and the lines due by then apply.
  // With no lines left nothing could ever change: after one more poll, which still sees
  // what the last line holds, the prompt gives up.
  int64_t promptFrames = 0;
  bool lastPoll = false;
  form.SetHeadlessPromptPump([&] {
    if (next >= events.size()) {
      if (lastPoll) return false;
      lastPoll = true;
      return true;
    }
    applyDue(game.TickCount + ++promptFrames, false);
    return true;
  });
  while (game.TickCount < options.Ticks && !form.Closed()) {
    // Messages first, as in the window's loop: the events due before this tick.
    applyDue(game.TickCount, true);
    promptFrames = 0;
    lastPoll = false;
    if (anyBot) FlyBots(game, options, *source, scriptHeld, form, botMemory);
    if (options.Invulnerable) KeepShieldsUp(game);
    const int64_t before = game.TickCount;
    clocks->NextFrame();
    timer.Idle();
    form.AfterPass();
    if (game.TickCount == before) {
      // The timer did not run (the game closed its window); nothing more will happen.
      break;
    }
    outputs.AfterTick(game);
    if (game.QuitRequested) break;  // EXIT / QUIT TO WINDOWS end the run
    if (options.Observer && !options.Observer(game)) break;
  }
  // A screenshot of the final state (TICK = N) comes from one more frame.
  int status = outputs.Finish(form, game.TickCount, "run");
  if (recorder) {
    std::string error;
    if (!SaveReplayFile(recordPath, recorder->Finish(), error)) {
      std::fprintf(stderr, "tarq: the replay was not saved: %s\n", error.c_str());
      status = 1;
    }
    form.SetRecorder(nullptr);
  }
  return status;
}

int HeadlessMain(const std::vector<std::string>& args) {
  HeadlessOptions options;
  std::string error;
  const bool parsed = ParseHeadlessArgs(args, options, error);
  if (options.Help) {
    std::fputs(HelpText().c_str(), stdout);
    return 0;
  }
  if (options.Version) {
    std::printf("%s\n", VersionText().c_str());
    return 0;
  }
  if (!parsed) {
    std::fprintf(stderr,
                 "tarq: %s\nusage: tarq --headless --ticks N [--seed S] [--input SCRIPT] [--dump FILE] "
                 "[--dump-every K] [--screenshot TICK:FILE.png ...] [--data DIR] [--config FILE] [--scores FILE] "
                 "[--schedule FILE] [--bot [1|2|both]] [--invulnerable] [--start-section N] [--record FILE]\n"
                 "       tarq --headless --replay FILE [--verify] [--dump FILE] [--dump-every K] [--data DIR]\n",
                 error.c_str());
    return 2;
  }
  return RunHeadless(options);
}

}  // namespace tarq

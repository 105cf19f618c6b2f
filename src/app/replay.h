#pragma once
// Replays: what the simulation consumed during a session, so that it can be run again
// tick for tick, in the window for watching or headless for checking.
//
// A replay holds the start state the game cannot derive (seed, bindings, settings,
// high-score table), then the input stream: the held control codes at each device
// read (as changes), typed characters, window keys and the render passes that caught
// up several ticks (the render places ScrollX and clamps Armour, so a pass of three
// ticks must replay as one). Checkpoints hash the dumped state every 4500 ticks and at
// the end, one hash per top-level dump key, so a divergence names its first field.
// The text format is described in docs/replays.md.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "game/hiscores.h"
#include "input/controls.h"
#include "input/input_devices.h"

namespace tarq {

struct Game;

constexpr int32_t kReplayFormatVersion = 1;
// Ticks between two checkpoints: one minute at 75 ticks a second.
constexpr int64_t kReplayCheckpointTicks = 75 * 60;
// The longest session a replay may span: 100 hours. A damaged end line cannot make a
// check run for days.
constexpr int64_t kMaxReplayTicks = int64_t{75} * 3600 * 100;
// The reader refuses larger files: a one-hour run takes well under 1 MiB.
constexpr size_t kMaxReplayBytes = size_t{64} << 20;

// The window keys a replay carries (typed characters are events of their own).
enum class ReplayKey : int32_t { Escape = 0, AltEnter = 1 };

struct ReplayEvent {
  enum class Kind : uint8_t {
    Hold,  // from device read `Read` of tick `Tick` on, exactly `Codes` are held
    Type,  // the typed character `Value` (already filtered: 8, 13, 32 .. 90)
    Key,   // the window key `Value` (ReplayKey)
    Pass,  // the render pass that starts at `Tick` runs `Value` ticks (2 or more)
  };
  int64_t Tick = 0;  // ticks run before the event (the script's T)
  Kind Type = Kind::Hold;
  // Hold: 0 for the tick's own read of the devices, k for the k-th read after it within
  // the same tick (the key-redefinition prompt polls many times inside one tick).
  int32_t Read = 0;
  int32_t Value = 0;
  std::string Codes;  // Hold: four-character codes, concatenated, in a fixed order
  bool operator==(const ReplayEvent&) const = default;
};

struct ReplayCheckpoint {
  int64_t Tick = 0;
  // (top-level dump key, CRC-32 of its value's JSON text), in dump order.
  std::vector<std::pair<std::string, uint32_t>> Fields;
  bool operator==(const ReplayCheckpoint&) const = default;
};

struct Replay {
  int32_t FormatVersion = kReplayFormatVersion;
  std::string ProgramVersion;
  uint32_t DataChecksum = 0;
  uint64_t Seed = 0;
  // Start options and the state start-up reads from the player's files.
  int32_t StartSection = 1;
  bool Invulnerable = false;  // the headless test aid (shields kept up before every pass)
  bool FullScreen = false;
  bool ShowOptionsAtStart = true;
  int32_t SoundVolume = 100;
  int32_t MusicVolume = 100;
  ControlBindingTable Bindings = DefaultControlBindings();
  HiScoreTable HiScores = DefaultHiScores();
  // The tick the recorded run began (the window's playback skips ahead to it) and the
  // tick the recording ended.
  int64_t RunStart = 0;
  int64_t End = 0;
  std::vector<ReplayEvent> Events;  // in tick order
  std::vector<ReplayCheckpoint> Checkpoints;  // in tick order
  bool operator==(const Replay&) const = default;
};

// Puts the recorded start state (settings, bindings, high-score table, start section)
// into the game; start-up has run with the replay's seed.
void ApplyReplayStartState(const Replay& replay, Game& game);
// The other way round: the game's current start state into `replay`.
void CaptureReplayStartState(const Game& game, Replay& replay);

// The replay's text.
std::string WriteReplayText(const Replay& replay);
// Reads a replay's text. False with "line N: what is wrong" for a truncated, damaged or
// foreign file. A file of a newer format version is refused by its version line alone.
bool ParseReplay(std::string_view text, Replay& replay, std::string& error);
// Reads (at most kMaxReplayBytes) and parses a file; errors name the file.
bool LoadReplayFile(const std::string& path, Replay& replay, std::string& error);
// Writes the file safely (temporary file and rename).
bool SaveReplayFile(const std::string& path, const Replay& replay, std::string& error);

// CRC-32 of the data folder: every regular file below it in byte order of the relative
// paths, each as its path, a zero byte and its contents. The player's old files
// (system/tarq.ini, system/hiscores.dat) do not count.
uint32_t DataFolderChecksum(const std::string& folder);

// The hashes of the dumped state of `game` (the dump's sound log, which is not state,
// left out).
ReplayCheckpoint StateCheckpoint(const Game& game);
// The first field whose hash differs ("" when none does); a field present in only one
// of them differs.
std::string FirstDifferingField(const ReplayCheckpoint& expected, const ReplayCheckpoint& actual);

// The held control codes the devices show, in the fixed order (keys by scan code, then
// each pad's buttons 0 .. 15 and its X-, X+, Y-, Y+ pushes; pads 0 .. 15). These are
// exactly the inputs any binding or the redefinition prompt can see.
std::string HeldCodes(const TInputDevices& input);

// Records a session: the shell tells it about render passes, ticks and window keys;
// it watches the device reads itself (InputObserver). Cheap per tick: a read is
// compared with the previous one and turned into codes only when it changed.
class ReplayRecorder final : public InputObserver {
 public:
  // `game` must outlive the recorder. Start state is taken from it now.
  ReplayRecorder(const Game& game, uint64_t seed, uint32_t dataChecksum, std::string programVersion);

  void InputRead(const TInputDevices& input) override;
  void Render();     // the render handler of a pass ran
  void AfterTick();  // a tick ran (TickCount is the new count)
  void TypedKey(int32_t code);
  void WindowKey(ReplayKey key);
  void SetInvulnerable(bool on) { replay_.Invulnerable = on; }
  void SetRunStart(int64_t tick) { replay_.RunStart = tick; }
  // A run is on from the tick that starts play until the game is back on the title.
  bool InRun() const { return in_run_; }
  // True once after each run that has come back to the title.
  bool TakeRunEnded() {
    const bool ended = run_ended_;
    run_ended_ = false;
    return ended;
  }
  // The recording up to now, with a checkpoint of the current state at its end.
  Replay Finish();
  const Replay& Recording() const { return replay_; }

 private:
  void ClosePass();
  const Game& game_;
  Replay replay_;
  // The previous read, as raw state for a cheap comparison.
  std::array<uint8_t, 256> last_keys_{};
  std::vector<uint32_t> last_pads_;
  std::vector<uint32_t> pads_scratch_;
  bool any_read_ = false;
  int64_t read_tick_ = -1;
  int32_t reads_in_tick_ = 0;
  int64_t pass_start_ = -1;
  int32_t pass_ticks_ = 0;
  size_t pass_index_ = 0;  // where the open pass's line goes among the events
  bool in_run_ = false;
  bool run_ended_ = false;
};

// A device source fed from a replay's hold events: at each keyboard read it applies
// the holds due by that read. `tickCount` is the game's TickCount.
class ReplayInputSource final : public ScriptedInputSource {
 public:
  ReplayInputSource(const std::vector<ReplayEvent>& events, const int64_t* tickCount);
  int ReadKeyboard(std::array<uint8_t, 256>& keys) override;
  // Holds still to come within the current tick (the redefinition prompt's wait).
  bool HoldPendingInTick() const;
  bool Finished() const { return next_ >= holds_.size(); }

 private:
  std::vector<const ReplayEvent*> holds_;
  size_t next_ = 0;
  const int64_t* tick_count_;
  int64_t read_tick_ = -1;
  int32_t reads_in_tick_ = 0;
};

// The replay folder ($XDG_DATA_HOME/tarq/replays) for the given data home.
std::string ReplayFolder(const std::string& dataHome);
// A new replay's file name from the local time: <date>-<time>.tqr, e.g.
// 20260101-120000.tqr (-2, -3 ... when taken).
std::string NextReplayPath(const std::string& folder);
// Saves a finished run as a new file and as last.tqr, then keeps only the newest
// `keep` dated files. False with a message when the replay could not be saved.
bool SaveRunReplay(const std::string& folder, const Replay& replay, std::string& error, size_t keep = 100);
// Deletes all but the newest `keep` dated replays (by name: the names sort by time).
void PruneReplays(const std::string& folder, size_t keep);

}  // namespace tarq

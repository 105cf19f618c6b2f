#pragma once
// Playing a replay back: the pass driver shared by the headless runner (--replay,
// --verify) and the window (tarq --replay FILE).
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "app/replay.h"

namespace tarq {

class TForm1;
struct Game;
struct StartupOptions;

// Feeds a replay to a started TForm1 pass by pass, as the recording's passes ran:
// window keys and typed characters before the pass, then the render, then the pass's
// ticks (the devices are read from the ReplayInputSource the form was started with).
class ReplayPlayback {
 public:
  ReplayPlayback(TForm1& form, const Replay& replay, ReplayInputSource& source);

  // One pass; `draw` false runs the render handler without drawing. Does nothing once
  // Finished().
  void Pass(bool draw);
  // The ticks the next pass runs.
  int32_t NextPassTicks() const;
  // The replay's end is reached, the game asked to quit, or (verifying) it diverged.
  bool Finished() const;
  int64_t CheckpointsCompared() const { return compared_; }
  int64_t RunStart() const { return replay_.RunStart; }

  // Compares each checkpoint as its tick is reached; the first difference ends the
  // playback and is kept in Divergence() ("tick T: FIELD differs").
  void SetVerify(bool on) { verify_ = on; }
  const std::string& Divergence() const { return divergence_; }
  // Called after every tick (the headless runner's dump).
  std::function<void(const Game&)> AfterTick;

 private:
  TForm1& form_;
  const Replay& replay_;
  ReplayInputSource& source_;
  size_t next_event_ = 0;
  size_t next_check_ = 0;
  int64_t compared_ = 0;
  bool verify_ = false;
  bool stopped_ = false;
  std::string divergence_;
};

// The window's device source while a replay plays: the replay's holds, then (once the
// playback is over) the live devices.
class PlaybackInputSource final : public InputSource {
 public:
  PlaybackInputSource(const std::vector<ReplayEvent>& events, const int64_t* tickCount,
                      std::unique_ptr<InputSource> live);
  void GoLive() { live_mode_ = true; }
  ReplayInputSource& Replayed() { return replayed_; }
  int Open(bool keyboard, bool mouse, bool joysticks) override;
  void Close() override;
  int ReadKeyboard(std::array<uint8_t, 256>& keys) override;
  int ReadMouse(int32_t& dx, int32_t& dy, std::array<uint8_t, 8>& buttons) override;
  int ReadJoysticks(std::vector<TJoystick>& joysticks) override;

 private:
  ReplayInputSource replayed_;
  std::unique_ptr<InputSource> live_;
  bool live_mode_ = false;
};

// The window game's replays: it records every run, or (tarq --replay FILE) plays one.
class WindowReplays {
 public:
  // Before FormCreate: reads the replay and sets the seed and device source of the
  // start-up. False with a message for a file that cannot be played.
  bool PreparePlayback(const std::string& path, TForm1& form, StartupOptions& startup, std::string& error);
  // After FormCreate: starts the playback. When it ends the game returns to the title
  // with the player's own settings and high-score table, and goes on as usual (not
  // recorded: the session did not start as its runs would replay).
  void StartPlayback(TForm1& form);
  // After FormCreate: records the session, saving each run in `folder`.
  void StartRecording(TForm1& form, const std::string& folder);
  // The playback (null before StartPlayback); it checks the checkpoints as it goes.
  const ReplayPlayback* Playback() const { return playback_.get(); }

 private:
  Replay replay_;
  PlaybackInputSource* source_ = nullptr;
  std::unique_ptr<ReplayPlayback> playback_;
  std::unique_ptr<ReplayRecorder> recorder_;
};

// Leaves whatever the game shows for the title screen, as after a finished run.
void ReturnToTitle(Game& game);

// The version and data checks: "" when the replay was made by this program on this data,
// else what differs.
std::string ReplayMismatch(const Replay& replay, uint32_t dataChecksum);

}  // namespace tarq

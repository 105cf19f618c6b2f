#include "app/replay_run.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>

#include "app/command_line.h"
#include "app/headless.h"
#include "app/headless_outputs.h"
#include "app/main_window.h"
#include "app/user_paths.h"
#include "audio/game_audio.h"
#include "game/dump.h"
#include "game/menus.h"
#include "game/playing.h"
#include "render/frame.h"

namespace tarq {

std::string ReplayMismatch(const Replay& replay, uint32_t dataChecksum) {
  std::string why;
  if (replay.ProgramVersion != VersionText()) {
    why = "it was recorded by " + replay.ProgramVersion + ", this is " + VersionText();
  }
  if (replay.DataChecksum != dataChecksum) {
    char buf[96];
    std::snprintf(buf, sizeof buf, "it was recorded with other game data (checksum %08x, this data %08x)",
                  replay.DataChecksum, dataChecksum);
    why += (why.empty() ? "" : "; ") + std::string(buf);
  }
  return why;
}

ReplayPlayback::ReplayPlayback(TForm1& form, const Replay& replay, ReplayInputSource& source)
    : form_(form), replay_(replay), source_(source) {}

int32_t ReplayPlayback::NextPassTicks() const {
  const int64_t tick = form_.GameState().TickCount;
  for (size_t i = next_event_; i < replay_.Events.size() && replay_.Events[i].Tick <= tick; ++i) {
    const ReplayEvent& e = replay_.Events[i];
    if (e.Type == ReplayEvent::Kind::Pass && e.Tick == tick) return e.Value;
  }
  return 1;
}

bool ReplayPlayback::Finished() const {
  const Game& game = form_.GameState();
  return stopped_ || game.TickCount >= replay_.End || game.QuitRequested || form_.Closed();
}

void ReplayPlayback::Pass(bool draw) {
  if (Finished()) return;
  Game& game = form_.GameState();
  int32_t ticks = 1;
  // The messages handled before this pass.
  while (next_event_ < replay_.Events.size() && replay_.Events[next_event_].Tick <= game.TickCount) {
    const ReplayEvent& e = replay_.Events[next_event_++];
    switch (e.Type) {
      case ReplayEvent::Kind::Hold: break;  // the device source applies these at its reads
      case ReplayEvent::Kind::Type: form_.FormKeyPress(e.Value); break;
      case ReplayEvent::Kind::Key:
        if (e.Value == static_cast<int32_t>(ReplayKey::AltEnter)) {
          form_.FormKeyDown(kVkReturn, ShiftState{false, true, false});
        } else {
          form_.FormKeyDown(kVkEscape, {});
        }
        break;
      case ReplayEvent::Kind::Pass:
        if (e.Tick == game.TickCount) ticks = e.Value;
        break;
    }
  }
  if (replay_.Invulnerable) {
    for (PlayerRecord& p : game.Players)
      if (p.Active && p.ShieldTime < 2) p.ShieldTime = 2;
  }
  if (draw) {
    form_.Timer1Render();
  } else {
    ::tarq::Timer1Render(game, nullptr);
  }
  for (int32_t i = 0; i < ticks && game.TickCount < replay_.End; ++i) {
    const int64_t before = game.TickCount;
    form_.Timer1Process();
    if (game.TickCount == before) break;  // the game asked to quit
    if (AfterTick) AfterTick(game);
    while (next_check_ < replay_.Checkpoints.size() && replay_.Checkpoints[next_check_].Tick < game.TickCount)
      ++next_check_;
    if (verify_ && next_check_ < replay_.Checkpoints.size() &&
        replay_.Checkpoints[next_check_].Tick == game.TickCount) {
      const std::string field = FirstDifferingField(replay_.Checkpoints[next_check_], StateCheckpoint(game));
      ++next_check_;
      ++compared_;
      if (!field.empty()) {
        divergence_ = "tick " + std::to_string(game.TickCount) + ": " + field + " differs";
        stopped_ = true;
        return;
      }
    }
  }
  form_.AfterPass();
}

PlaybackInputSource::PlaybackInputSource(const std::vector<ReplayEvent>& events, const int64_t* tickCount,
                                         std::unique_ptr<InputSource> live)
    : replayed_(events, tickCount), live_(std::move(live)) {}

int PlaybackInputSource::Open(bool keyboard, bool mouse, bool joysticks) {
  return live_ ? live_->Open(keyboard, mouse, joysticks) : 0;
}

void PlaybackInputSource::Close() {
  if (live_) live_->Close();
}

int PlaybackInputSource::ReadKeyboard(std::array<uint8_t, 256>& keys) {
  if (live_mode_ && live_) return live_->ReadKeyboard(keys);
  return replayed_.ReadKeyboard(keys);
}

int PlaybackInputSource::ReadMouse(int32_t& dx, int32_t& dy, std::array<uint8_t, 8>& buttons) {
  if (live_mode_ && live_) return live_->ReadMouse(dx, dy, buttons);
  return replayed_.ReadMouse(dx, dy, buttons);
}

int PlaybackInputSource::ReadJoysticks(std::vector<TJoystick>& joysticks) {
  if (live_mode_ && live_) return live_->ReadJoysticks(joysticks);
  return replayed_.ReadJoysticks(joysticks);
}

void ReturnToTitle(Game& game) {
  ClearField(game);
  ResetTitle(game);
  for (PlayerRecord& p : game.Players) ResetPlayerForProgramStart(p);
  game.Flares.clear();
  game.NukeTimer = -1;
  game.ScrollY = kScrollYAtProgramStart;
  game.InGameMenuOpen = false;
  game.Paused = false;
  game.InGameMenuSlide = 0;
  game.QuitRequested = false;
  game.TypedKey = 0;
  game.MenuCursor = 0;
  game.ScreenTicks = 0;
  game.ScreenState = kScreenTitle;
  if (game.Audio && game.Audio->CurrentTrack != 0) game.MusicPlay(0, 0, 0);
}

bool WindowReplays::PreparePlayback(const std::string& path, TForm1& form, StartupOptions& startup,
                                    std::string& error) {
  if (!LoadReplayFile(path, replay_, error)) return false;
  const std::string mismatch = ReplayMismatch(replay_, DataFolderChecksum("."));
  if (!mismatch.empty()) std::fprintf(stderr, "TARQ: %s: %s; it may not play back as it was\n", path.c_str(), mismatch.c_str());
  auto source = std::make_unique<PlaybackInputSource>(replay_.Events, &form.GameState().TickCount, MakeSdlInputSource());
  source_ = source.get();
  startup.Input = std::move(source);
  startup.FixedSeed = true;
  startup.Seed = replay_.Seed;
  return true;
}

void WindowReplays::StartPlayback(TForm1& form) {
  Game& game = form.GameState();
  // The player's own settings and table, given back when the playback ends; meanwhile
  // nothing the replay does is saved.
  Replay saved;
  CaptureReplayStartState(game, saved);
  HiScoreStore* const saver = game.HiScoreSaver;
  ApplyReplayStartState(replay_, game);
  game.HiScoreSaver = nullptr;
  game.FullScreen = form.FullScreen();  // the display is the player's
  playback_ = std::make_unique<ReplayPlayback>(form, replay_, source_->Replayed());
  // A divergence ends the playback early with a message: watching a replay that no
  // longer plays as recorded would show a different run.
  playback_->SetVerify(true);
  form.SetHeadlessPromptPump(nullptr);
  form.SetPlayback(playback_.get(), [this, &form, saved = std::move(saved), saver] {
    Game& g = form.GameState();
    source_->GoLive();
    ApplyReplayStartState(saved, g);
    g.HiScoreSaver = saver;
    ReturnToTitle(g);
  });
}

void WindowReplays::StartRecording(TForm1& form, const std::string& folder) {
  recorder_ = std::make_unique<ReplayRecorder>(form.GameState(), form.Seed(), DataFolderChecksum("."), VersionText());
  form.SetRecorder(recorder_.get(), folder);
}

int RunHeadlessReplay(const HeadlessOptions& options) {
  Replay replay;
  std::string error;
  if (!LoadReplayFile(options.ReplayFile, replay, error)) {
    std::fprintf(stderr, "tarq: %s\n", error.c_str());
    return 2;
  }
  HeadlessOutputs outputs;
  if (!outputs.Open(options)) return 1;
  const std::string schedulePath = Absolute(options.ScheduleFile);
  if (!EnterDataFolder(options.DataDir)) return 1;
  const std::string mismatch = ReplayMismatch(replay, DataFolderChecksum("."));
  if (!mismatch.empty()) {
    if (options.Verify) {
      std::fprintf(stderr, "tarq: %s: %s; not verifying it\n", options.ReplayFile.c_str(), mismatch.c_str());
      return 3;
    }
    std::fprintf(stderr, "tarq: warning: %s: %s; it may not play back as it was\n", options.ReplayFile.c_str(),
                 mismatch.c_str());
  }

  TForm1 form;
  Game& game = form.GameState();
  auto sourceOwned = std::make_unique<ReplayInputSource>(replay.Events, &game.TickCount);
  ReplayInputSource& source = *sourceOwned;
  StartupOptions startup;
  startup.Headless = true;
  startup.FixedSeed = true;
  startup.Seed = replay.Seed;
  startup.Input = std::move(sourceOwned);
  startup.SettingsFile = "";  // a replay never reads or writes the player's files
  startup.ScoresFile = "";
  startup.SchedulePath = schedulePath;
  if (form.FormCreate(std::move(startup)) != StartupResult::Ok) return 1;
  ApplyReplayStartState(replay, game);
  if (outputs.Dumping() && form.Audio()) form.Audio()->LogSounds = true;

  // The key-redefinition prompt waits for the holds recorded within its tick; a few
  // polls after the last one it gives up (the recording's wait ended by then).
  int idlePolls = 0;
  form.SetHeadlessPromptPump([&] {
    if (source.HoldPendingInTick()) {
      idlePolls = 0;
      return true;
    }
    return ++idlePolls <= 4;
  });
  ReplayPlayback playback(form, replay, source);
  playback.SetVerify(options.Verify);
  playback.AfterTick = [&](const Game& g) { outputs.AfterTick(g); };
  // A screenshot's frame is the pass's render, drawn before its ticks (the frame that
  // shows the state after TICK ticks); a screenshot of the end state takes one more.
  while (!playback.Finished()) {
    idlePolls = 0;
    const int64_t tick = game.TickCount;
    const bool due = outputs.ScreenshotDue(tick);
    form.SetRenderToDevice(due);
    playback.Pass(due);
    if (due) outputs.SaveScreenshots(form, tick);
  }
  const int status = outputs.Finish(form, game.TickCount, "replay");
  if (!options.Verify) return status;
  if (!playback.Divergence().empty()) {
    std::fprintf(stderr, "tarq: %s diverges at %s\n", options.ReplayFile.c_str(), playback.Divergence().c_str());
    return 4;
  }
  if (game.TickCount != replay.End) {
    std::fprintf(stderr, "tarq: %s diverges: the game ended at tick %lld, the replay runs to tick %lld\n",
                 options.ReplayFile.c_str(), static_cast<long long>(game.TickCount),
                 static_cast<long long>(replay.End));
    return 4;
  }
  std::printf("tarq: %s verified: %lld ticks, %lld checkpoints\n", options.ReplayFile.c_str(),
              static_cast<long long>(game.TickCount), static_cast<long long>(playback.CheckpointsCompared()));
  return status;
}

}  // namespace tarq

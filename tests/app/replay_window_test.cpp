// A run played in the real window, its inputs coming through SDL (window events pushed
// on the event queue, a virtual game pad for the held controls), with slow frames that
// make the timer catch up three ticks in one pass: the replay it leaves verifies
// headless and plays back in the window. Needs a display (CI runs it under xvfb-run).
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "app/command_line.h"
#include "app/main_window.h"
#include "app/replay.h"
#include "app/replay_run.h"
#include "run_program.h"
#include "test_util.h"

namespace tarq {
namespace {

namespace fs = std::filesystem;
using testing_util::BuiltProgram;
using testing_util::ReadFile;
using testing_util::RunShell;
using testing_util::ScopedChdir;
using testing_util::TempDir;
using testing_util::WriteFile;

void PushKey(SDL_Keycode key) {
  SDL_Event e{};
  e.type = SDL_KEYDOWN;
  e.key.keysym.sym = key;
  SDL_PushEvent(&e);
  e.type = SDL_KEYUP;
  SDL_PushEvent(&e);
}

void PushQuit() {
  SDL_Event e{};
  e.type = SDL_QUIT;
  SDL_PushEvent(&e);
}

TEST(ReplayWindow, ARunPlayedInTheWindowVerifiesHeadlessAndPlaysBack) {
  if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")) GTEST_SKIP() << "no display";
  TempDir dir;
  WriteFile(dir / "tarq.ini", "[graphics]\nfullscreen=false\nshowoptions=false\n");
  const std::string folder = ReplayFolder(dir / "share");
  constexpr int64_t kQuitAt = 1500;
  {
    ScopedChdir inData(TARQ_DATA_DIR);
    TForm1 form(std::make_unique<testing_util::StutteringClocks>());
    StartupOptions o;
    o.SettingsFile = dir / "tarq.ini";
    o.ScoresFile = dir / "hiscores.dat";
    ASSERT_EQ(form.FormCreate(std::move(o)), StartupResult::Ok) << form.StartupError();
    WindowReplays replays;
    replays.StartRecording(form, folder);
    // Player 1's pad: a virtual one SDL reads like any other.
    const int index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_UNKNOWN, 2, 16, 0);
    ASSERT_GE(index, 0) << SDL_GetError();
    SDL_Joystick* pad = SDL_JoystickOpen(index);
    ASSERT_NE(pad, nullptr) << SDL_GetError();
    int64_t escapes = 0;
    bool quit = false;
    form.SetLoopHook([&] {
      const Game& g = form.GameState();
      const int64_t t = g.TickCount;
      // Fire starts a run on the title; then fly left and right firing, climbing at times.
      const bool fire = (t >= 620 && t < 624) || t >= 700;
      SDL_JoystickSetVirtualButton(pad, 0, fire ? 1 : 0);
      const int16_t x = t < 700 ? 0 : ((t / 150) % 2 ? -32768 : 32767);
      SDL_JoystickSetVirtualAxis(pad, 0, x);
      SDL_JoystickSetVirtualAxis(pad, 1, t >= 700 && (t / 400) % 2 ? -32768 : 0);
      // The in-game menu opened and closed through the window's own key handler.
      if ((t >= 1000 && escapes == 0) || (t >= 1080 && escapes == 1)) {
        PushKey(SDLK_ESCAPE);
        ++escapes;
      }
      if (t >= kQuitAt && !quit) {
        PushQuit();  // the window is closed during the run: the run is saved
        quit = true;
      }
      // Without a window manager focus may never arrive; the game must run regardless.
      if (!form.Timer1().Running() && !form.Closed()) form.ApplicationActivate();
    });
    form.Run();
    SDL_JoystickClose(pad);
    SDL_JoystickDetachVirtual(index);
    form.FormDestroy();
  }
  ASSERT_TRUE(fs::exists(folder + "/last.tqr"));
  Replay replay;
  std::string error;
  ASSERT_TRUE(LoadReplayFile(folder + "/last.tqr", replay, error)) << error;
  EXPECT_GE(replay.End, kQuitAt);
  EXPECT_GT(replay.RunStart, 600);
  int catchUps = 0;
  for (const ReplayEvent& e : replay.Events) catchUps += e.Type == ReplayEvent::Kind::Pass ? 1 : 0;
  EXPECT_GT(catchUps, 10) << "the slow frames made passes of several ticks";
  const std::string text = ReadFile(folder + "/last.tqr");
  EXPECT_NE(text.find(" key Escape\n"), std::string::npos);
  EXPECT_NE(text.find(" J0B0"), std::string::npos);

  std::string out;
  EXPECT_EQ(RunShell(BuiltProgram() + " --headless --data " + TARQ_DATA_DIR + " --replay " + folder +
                         "/last.tqr --verify",
                     &out),
            0)
      << out;
  EXPECT_NE(out.find("verified"), std::string::npos) << out;

  // Played back in the window at the game's rate, it runs to its end without diverging,
  // returns to the title, and leaves no replay and no high-score file behind; the
  // player's settings are not replaced by the replay's (this player has player 2's Fire
  // on the space bar; the replay has the default).
  WriteFile(dir / "player.ini", "[graphics]\nfullscreen=false\nshowoptions=false\n[controls]\nPL2Fire=KB39\n");
  const size_t filesBefore = static_cast<size_t>(std::distance(fs::directory_iterator(folder), {}));
  {
    ScopedChdir inData(TARQ_DATA_DIR);
    TForm1 form;
    StartupOptions o;
    o.SettingsFile = dir / "player.ini";
    o.ScoresFile = dir / "hiscores-playback.dat";
    WindowReplays replays;
    ASSERT_TRUE(replays.PreparePlayback(folder + "/last.tqr", form, o, error)) << error;
    ASSERT_EQ(form.FormCreate(std::move(o)), StartupResult::Ok) << form.StartupError();
    replays.StartPlayback(form);
    bool quit = false;
    form.SetLoopHook([&] {
      if (!form.PlayingBack() && !quit) {
        PushQuit();
        quit = true;
      }
      if (!form.Timer1().Running() && !form.Closed()) form.ApplicationActivate();
    });
    form.Run();
    ASSERT_NE(replays.Playback(), nullptr);
    EXPECT_EQ(replays.Playback()->Divergence(), "");
    EXPECT_GE(replays.Playback()->CheckpointsCompared(), 1);
    EXPECT_EQ(form.GameState().TickCount, replay.End);
    EXPECT_EQ(form.GameState().ScreenState, kScreenTitle);
    form.FormDestroy();
  }
  // Escape through the window's event queue ends a playback early: back on the title,
  // where the player's own controls act again.
  {
    ScopedChdir inData(TARQ_DATA_DIR);
    TForm1 form;
    StartupOptions o;
    o.SettingsFile = dir / "player.ini";
    o.ScoresFile = dir / "hiscores-playback.dat";
    WindowReplays replays;
    ASSERT_TRUE(replays.PreparePlayback(folder + "/last.tqr", form, o, error)) << error;
    ASSERT_EQ(form.FormCreate(std::move(o)), StartupResult::Ok) << form.StartupError();
    replays.StartPlayback(form);
    bool escaped = false;
    bool quit = false;
    int64_t endedAt = -1;
    form.SetLoopHook([&] {
      if (form.GameState().TickCount >= replay.RunStart + 60 && !escaped) {
        PushKey(SDLK_ESCAPE);
        escaped = true;
      }
      if (!form.PlayingBack() && !quit) {
        endedAt = form.GameState().TickCount;
        PushQuit();
        quit = true;
      }
      if (!form.Timer1().Running() && !form.Closed()) form.ApplicationActivate();
    });
    form.Run();
    EXPECT_GE(endedAt, replay.RunStart + 60);
    EXPECT_LT(endedAt, replay.RunStart + 200);
    EXPECT_EQ(form.GameState().ScreenState, kScreenTitle);
    EXPECT_FALSE(form.GameState().InGameMenuOpen) << "the Escape ended the playback, it did not open the menu";
    form.FormDestroy();
  }
  EXPECT_EQ(static_cast<size_t>(std::distance(fs::directory_iterator(folder), {})), filesBefore);
  EXPECT_FALSE(fs::exists(dir / "hiscores-playback.dat"));
  const std::string settings = ReadFile(dir / "player.ini");
  EXPECT_NE(settings.find("PL2Fire=KB39"), std::string::npos) << settings;
  EXPECT_EQ(settings.find("J1B0KB1E"), std::string::npos) << settings;
}

}  // namespace
}  // namespace tarq

// The menus' logic driven through whole ticks with scripted devices: player 1 on
// joystick 0, player 2 on the keyboard (the built-in bindings).
#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <vector>

#include "audio/game_audio.h"
#include "audio/recording_audio_layer.h"
#include "core/random.h"
#include "game/game.h"
#include "game/menus.h"
#include "game/playing.h"

namespace tarq {
namespace {

constexpr const char* kP1Up = "J0Y-";
constexpr const char* kP1Fire = "J0B0";
constexpr const char* kP1Left = "J0X-";
constexpr const char* kP2Up = "KBC8";
constexpr const char* kP2Down = "KBD0";
constexpr const char* kP2Left = "KBCB";
constexpr const char* kP2Right = "KBCD";
constexpr const char* kP2Fire = "KB1E";
constexpr const char* kEnter = "KB1C";

class MenuTest : public ::testing::Test {
 protected:
  void SetUp() override {
    FillAngleTables();
    SeedRandom(1);
    auto owned = std::make_unique<ScriptedInputSource>();
    source = owned.get();
    input.SetSource(std::move(owned));
    input.DoJoystick = true;
    ASSERT_EQ(input.Initialize(), 0);
    game.Input = &input;
  }
  void Hold(std::initializer_list<const char*> codes) {
    source->ReleaseAll();
    for (const char* code : codes) ASSERT_TRUE(source->Hold(code)) << code;
  }
  void Tick(int n = 1) {
    for (int i = 0; i < n; ++i) Timer1Process(game);
  }
  // Held for one tick (the press acts then), released for the next.
  void Press(std::initializer_list<const char*> codes) {
    Hold(codes);
    Tick();
    Hold({});
    Tick();
  }
  void OnTitle() {
    game.ScreenState = kScreenTitle;
    ResetTitle(game);
  }
  void InPlayWithMenuOpen() {
    StartRun(game, 1);
    game.InGameMenuOpen = true;
    game.Paused = true;
  }

  TInputDevices input;
  ScriptedInputSource* source = nullptr;
  Game game;
};

TEST_F(MenuTest, TitleCursorIsClampedAndFireStartsAtOnceWhileTheLogoFalls) {
  OnTitle();
  for (int i = 0; i < 4; ++i) Press({kP2Down});
  EXPECT_EQ(game.MenuCursor, 2);
  for (int i = 0; i < 4; ++i) Press({kP1Up});
  EXPECT_EQ(game.MenuCursor, 0);
  ASSERT_NE(game.TitleLogoSpeed, 0.0) << "the logo is still falling";
  Hold({kP2Fire});
  Tick();
  EXPECT_EQ(game.ScreenState, kScreenPlaying);
  EXPECT_TRUE(game.Players[1].Active);
  EXPECT_FALSE(game.Players[0].Active);
}

TEST_F(MenuTest, TitleOptionsAndExit) {
  OnTitle();
  Press({kP2Down});
  Hold({kP1Fire});
  Tick();
  EXPECT_EQ(game.ScreenState, kScreenGameOptions);
  EXPECT_EQ(game.MenuCursor, 0);
  EXPECT_FALSE(game.Controls[0].FirePressed) << "the press is used up";
  EXPECT_FALSE(game.Players[0].Active);

  OnTitle();
  Hold({});
  Tick();
  Press({kP2Down});
  Press({kP2Down});
  Hold({kP2Fire});
  Tick();
  EXPECT_TRUE(game.QuitRequested);
  EXPECT_EQ(game.ScreenState, kScreenTitle);
}

TEST_F(MenuTest, GameOptionsWrapToggleAndLeave) {
  game.ScreenState = kScreenGameOptions;
  game.MenuCursor = 0;
  Press({kP2Up});
  EXPECT_EQ(game.MenuCursor, 4);
  Press({kP2Down});
  EXPECT_EQ(game.MenuCursor, 0);
  Press({kP2Down});
  Press({kP2Down});
  ASSERT_EQ(game.MenuCursor, kOptionsStartup);
  const bool before = game.ShowOptionsAtStart;
  Press({kP2Fire});
  EXPECT_EQ(game.ShowOptionsAtStart, !before);
  // Both players on one tick toggle it twice: no change.
  Press({kP1Fire, kP2Fire});
  EXPECT_EQ(game.ShowOptionsAtStart, !before);
  // The vehicle items do nothing.
  game.MenuCursor = kOptionsVehicle2;
  Press({kP2Fire});
  EXPECT_EQ(game.ScreenState, kScreenGameOptions);

  game.MenuCursor = kOptionsControls;
  game.NukeTimer = 500;
  Press({kP2Fire});
  EXPECT_EQ(game.ScreenState, kScreenControlOptions);
  EXPECT_EQ(game.MenuCursor, 0);
  EXPECT_EQ(game.NukeTimer, -1);

  game.ScreenState = kScreenGameOptions;
  game.MenuCursor = kOptionsReturn;
  Press({kP2Fire});
  EXPECT_EQ(game.ScreenState, kScreenTitle);
  EXPECT_EQ(game.MenuCursor, kTitleOptions) << "back on the item that led there";
}

// A prompt that records its calls and runs the real redefinition against the same
// scripted devices, one input state per poll.
struct ScriptedPrompt : ControlPrompt, RedefineHost {
  ScriptedPrompt(TInputDevices& in, ScriptedInputSource& src) : input(in), source(src) {}
  void Redefine(Game& game, int32_t index) override {
    indices.push_back(index);
    poll = 0;
    RedefineControl(input, game.ControlBindings, index, *this);
  }
  void ShowPrompt() override {}
  bool Pump() override {
    if (poll >= polls.size()) return false;
    source.ReleaseAll();
    for (const char* code : polls[poll++]) source.Hold(code);
    return true;
  }
  TInputDevices& input;
  ScriptedInputSource& source;
  std::vector<std::vector<const char*>> polls;
  size_t poll = 0;
  std::vector<int32_t> indices;
};

TEST_F(MenuTest, ControlOptionsWrapReturnAndRedefineWithEnter) {
  ScriptedPrompt prompt(input, *source);
  game.Prompt = &prompt;
  game.ScreenState = kScreenControlOptions;
  game.MenuCursor = 0;
  Press({kP2Up});
  EXPECT_EQ(game.MenuCursor, kControlsReturn);
  Press({kP2Down});
  EXPECT_EQ(game.MenuCursor, 0);

  // Player 2's Fire (item 12): Backspace leaves it unbound.
  game.MenuCursor = 12;
  prompt.polls = {{}, {"KB0E"}, {}};
  Hold({kEnter});
  Tick();
  EXPECT_EQ(game.ControlBindings[1][kCtlFire], "");
  // Two different keys in two redefinitions bind both.
  prompt.polls = {{}, {"KB2D"}, {}};
  Hold({kEnter});
  Tick();
  prompt.polls = {{}, {"KB2C"}, {}};
  Hold({kEnter});
  Tick();
  EXPECT_EQ(game.ControlBindings[1][kCtlFire], "KB2DKB2C");
  EXPECT_EQ(DecodeControl(game.ControlBindings[1][kCtlFire]), "X, or Z.");
  // Escape restores the built-in code.
  prompt.polls = {{}, {"KB01"}, {}};
  Hold({kEnter});
  Tick();
  EXPECT_EQ(game.ControlBindings[1][kCtlFire], "J1B0KB1E");
  EXPECT_EQ(prompt.indices, (std::vector<int32_t>{12, 12, 12, 12}));

  // Items 8 .. 15 are player 2's Up .. Pause: item 14 is the Nuke binding.
  game.MenuCursor = 14;
  prompt.polls = {{}, {"KB2E"}, {}};
  Hold({kEnter});
  Tick();
  EXPECT_EQ(game.ControlBindings[1][kCtlNuke], "J1B4KB20KB2E");

  // Enter on RETURN, or together with Fire on RETURN, opens no prompt.
  prompt.indices.clear();
  game.MenuCursor = kControlsReturn;
  Hold({kEnter});
  Tick();
  Hold({kEnter, kP2Fire});
  Tick();
  EXPECT_TRUE(prompt.indices.empty());
  EXPECT_EQ(game.ScreenState, kScreenGameOptions);
  EXPECT_EQ(game.MenuCursor, kOptionsStartup);
}

TEST_F(MenuTest, InGameMenuSlidesInIn27TicksAndOutIn30) {
  StartRun(game, 1);
  game.InGameMenuOpen = true;
  Tick(26);
  EXPECT_LT(game.InGameMenuSlide, 100);
  Tick();
  EXPECT_EQ(game.InGameMenuSlide, 100);
  game.InGameMenuOpen = false;
  Tick(29);
  EXPECT_GT(game.InGameMenuSlide, 0);
  Tick();
  EXPECT_EQ(game.InGameMenuSlide, 0);
}

TEST_F(MenuTest, VolumesMoveOnEvenTicksWithinTheirRange) {
  InPlayWithMenuOpen();
  game.InGameMenuCursor = kInGameSoundVolume;
  game.SoundVolume = 100;
  Hold({kP2Right});
  Tick(10);
  EXPECT_EQ(game.SoundVolume, 100);
  Hold({kP2Left});
  Tick(198);
  EXPECT_EQ(game.SoundVolume, 1);
  Tick(2);
  EXPECT_EQ(game.SoundVolume, 0);
  Tick(10);
  EXPECT_EQ(game.SoundVolume, 0);

  // Both players holding Left: twice as fast.
  game.InGameMenuCursor = kInGameMusicVolume;
  game.MusicVolume = 100;
  Hold({kP2Left, kP1Left});
  Tick(98);
  EXPECT_EQ(game.MusicVolume, 2);
  Tick(2);
  EXPECT_EQ(game.MusicVolume, 0);
  EXPECT_EQ(game.SoundVolume, 0);
}

TEST_F(MenuTest, InGameMenuItems) {
  InPlayWithMenuOpen();
  // Up from the first item wraps to the last.
  Press({kP2Up});
  EXPECT_EQ(game.InGameMenuCursor, kInGameQuitToWindows);
  Press({kP2Down});
  EXPECT_EQ(game.InGameMenuCursor, kInGameReturn);

  // A held Enter switches the display mode once per press.
  game.InGameMenuCursor = kInGameSwitchScreen;
  Hold({kEnter});
  Tick();
  EXPECT_TRUE(game.SwitchScreenRequested);
  game.SwitchScreenRequested = false;  // the shell carries it out after the pass
  Tick(5);
  EXPECT_FALSE(game.SwitchScreenRequested);
  Hold({});
  Tick();
  Hold({kEnter, "KB38"});  // Alt+Enter is the window's key, not the menu's
  Tick();
  EXPECT_FALSE(game.SwitchScreenRequested);
  Press({kP2Fire});
  EXPECT_TRUE(game.SwitchScreenRequested);
  game.SwitchScreenRequested = false;

  // RETURN TO GAME with Enter.
  game.InGameMenuCursor = kInGameReturn;
  Hold({kEnter});
  Tick();
  EXPECT_FALSE(game.InGameMenuOpen);
  EXPECT_FALSE(game.Paused);

  // QUIT TO WINDOWS.
  Hold({});
  game.InGameMenuOpen = true;
  game.InGameMenuCursor = kInGameQuitToWindows;
  Press({kP2Fire});
  EXPECT_TRUE(game.QuitRequested);
}

TEST_F(MenuTest, QuitToTitleEmptiesTheFieldAndAHeldFireDoesNotRejoin) {
  InPlayWithMenuOpen();
  game.EnemyList.resize(3);
  game.EnemyBullets.resize(2);
  game.PlayerBullets.resize(4);
  Explosion_Add(game, 100, 100, 256, 1);
  game.InGameMenuCursor = kInGameQuitToTitle;
  Hold({kP2Fire});
  Tick();
  EXPECT_EQ(game.ScreenState, kScreenTitle);
  EXPECT_TRUE(game.EnemyList.empty());
  EXPECT_TRUE(game.EnemyBullets.empty());
  EXPECT_TRUE(game.PlayerBullets.empty());
  EXPECT_TRUE(game.Explosions.empty());
  EXPECT_FALSE(game.Players[1].Active);
  EXPECT_EQ(game.TitleLogoY, -256.0);
  EXPECT_EQ(game.MenuCursor, 0);
  EXPECT_TRUE(game.InGameMenuOpen) << "kept until the next run starts";
  // Fire still held: the title does not start a run.
  Tick(50);
  EXPECT_EQ(game.ScreenState, kScreenTitle);
  // A fresh press does.
  Hold({});
  Tick();
  Press({kP2Fire});
  EXPECT_EQ(game.ScreenState, kScreenPlaying);
  EXPECT_FALSE(game.InGameMenuOpen);
}

TEST_F(MenuTest, TheShownMenuFetchesTheSpectrumAndTheTracksTexts) {
  RecordingAudioLayer layer;
  GameAudio audio{layer, "data"};
  audio.Startup();
  audio.LoadMusic();
  game.Audio = &audio;
  StartRun(game, 1);
  Tick();
  EXPECT_EQ(game.SpectrumData[10], 0.0f) << "menu not shown: nothing fetched";
  EXPECT_EQ(game.NowPlaying.Track, -1);
  game.MusicPlay(3, 0, 0);
  game.InGameMenuOpen = true;
  Tick();  // the fetch comes before this tick's slide: still nothing
  EXPECT_EQ(game.SpectrumData[10], 0.0f);
  Tick();
  EXPECT_NE(game.SpectrumData[10], 0.0f);
  EXPECT_EQ(game.NowPlaying.Track, 3);
  EXPECT_EQ(game.NowPlaying.Title, MusicTrackTable()[3].title);
  EXPECT_EQ(game.NowPlaying.Line2, MusicTrackTable()[3].line2);
  // The music fades out: the block goes, the last spectrum stays.
  game.MusicPlay(-1, 0, 0);
  Tick();
  EXPECT_EQ(game.NowPlaying.Track, -1);
  EXPECT_NE(game.SpectrumData[10], 0.0f);
}

}  // namespace
}  // namespace tarq

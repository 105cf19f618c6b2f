// The main window driven headless: start-up, window keys, focus, screen switching and
// the write on close. (The real window is covered by the smoke test.)
#include "app/main_window.h"

#include <gtest/gtest.h>

#include "assets/codec.h"
#include "fixtures.h"
#include "game/dump.h"
#include "game/menus.h"

namespace tarq {
namespace {

using testing_util::MakeDataFolder;
using testing_util::ReadFile;
using testing_util::ScopedChdir;
using testing_util::TempDir;
using testing_util::WriteFile;

struct ManualClocks : TimerClocks {
  int64_t counter = 0;
  bool CounterFrequency(int64_t& f) override {
    f = 75;
    return true;
  }
  int64_t Counter() override { return counter; }
  uint32_t Milliseconds() override { return static_cast<uint32_t>(counter * 1000 / 75); }
};

struct HeadlessForm {
  ManualClocks* clocks;
  TForm1 form;
  StartupResult result;
  explicit HeadlessForm(std::unique_ptr<ManualClocks> c = std::make_unique<ManualClocks>())
      : clocks(c.get()), form(std::move(c)) {
    StartupOptions o;
    o.Headless = true;
    o.FixedSeed = true;
    o.Seed = 7;
    result = form.FormCreate(std::move(o));
  }
  // One 75 Hz pass.
  void Pass() {
    clocks->counter += 1;
    form.Timer1().Idle();
  }
};

TEST(MainWindow, StartUpEndsOnTheIntroWithTheTimerRunning) {
  TempDir dir;
  MakeDataFolder(dir, "[sound]\nsoundvolume=40\nmusicvolume=loud\n[controls]\nPL2Fire=KB39\n");
  ScopedChdir cd(dir.path());
  HeadlessForm h;
  ASSERT_EQ(h.result, StartupResult::Ok) << h.form.StartupError();
  const Game& g = h.form.GameState();
  EXPECT_EQ(g.ScreenState, kScreenIntro);
  EXPECT_EQ(g.ScreenTicks, 0);
  EXPECT_EQ(g.MenuCursor, 0);
  EXPECT_EQ(g.NukeTimer, -1);
  EXPECT_EQ(g.ScrollY, 131648);
  EXPECT_EQ(g.SoundVolume, 40);
  EXPECT_EQ(g.MusicVolume, 100);
  EXPECT_EQ(g.ControlBindings[1][kCtlFire], "KB39");
  EXPECT_EQ(g.Input, &h.form.Input1());
  EXPECT_TRUE(h.form.Timer1().MayProcess);
  EXPECT_TRUE(h.form.Timer1().MayRender);
  EXPECT_EQ(h.form.Timer1().FPS(), 75);
  EXPECT_DOUBLE_EQ(SinTable[64], 1.0);
  EXPECT_TRUE(h.form.DrawDevice1().Initialized());
  EXPECT_EQ(CodecLibraryPath(), std::string("system/") + kCodecLibraryFileName);
}

TEST(MainWindow, MissingOrShortMapEndsStartUpWithAnError) {
  for (size_t bytes : {size_t{0}, size_t{1000}, testing_util::kMapBytes - 1}) {
    TempDir dir;
    if (bytes > 0) WriteFile(dir / "system/map.dat", std::string(bytes, '\0'));
    ScopedChdir cd(dir.path());
    HeadlessForm h;
    EXPECT_EQ(h.result, StartupResult::Failed) << bytes;
    EXPECT_FALSE(h.form.StartupError().empty());
    EXPECT_FALSE(h.form.Timer1().Running());
    // Start-up stopped before the settings were ever written.
    EXPECT_FALSE(std::filesystem::exists(dir / "system/tarq.ini"));
  }
}

TEST(MainWindow, MissingTileListEndsStartUpWithAnError) {
  TempDir dir;
  MakeDataFolder(dir);
  std::filesystem::remove(dir / "tiles/tiles.txt");
  ScopedChdir cd(dir.path());
  HeadlessForm h;
  EXPECT_EQ(h.result, StartupResult::Failed);
  EXPECT_NE(h.form.StartupError().find("tiles.txt"), std::string::npos) << h.form.StartupError();
  EXPECT_FALSE(h.form.Timer1().Running());
}

TEST(MainWindow, EscapeWithoutShiftTogglesTheInGameMenuAndPause) {
  TempDir dir;
  MakeDataFolder(dir);
  ScopedChdir cd(dir.path());
  HeadlessForm h;
  ASSERT_EQ(h.result, StartupResult::Ok);
  Game& g = h.form.GameState();
  h.form.FormKeyDown(kVkEscape, {});
  EXPECT_TRUE(g.InGameMenuOpen);
  EXPECT_TRUE(g.Paused);
  h.form.FormKeyDown(kVkEscape, ShiftState{true, false, false});
  EXPECT_TRUE(g.InGameMenuOpen);
  h.form.FormKeyDown(kVkEscape, ShiftState{false, false, true});  // Ctrl does not matter
  EXPECT_FALSE(g.InGameMenuOpen);
  EXPECT_FALSE(g.Paused);
  // Escape is no way out of the intro: it still lasts 613 ticks.
  h.form.FormKeyDown(kVkEscape, {});
  for (int i = 0; i < 612; ++i) h.Pass();
  EXPECT_EQ(g.ScreenState, kScreenIntro);
  h.Pass();
  EXPECT_EQ(g.ScreenState, kScreenTitle);
}

TEST(MainWindow, TypedKeysAreUpperCasedAndFiltered) {
  EXPECT_EQ(TypedKeyFor('a'), 'A');
  EXPECT_EQ(TypedKeyFor('z'), 'Z');
  EXPECT_EQ(TypedKeyFor(' '), 32);
  EXPECT_EQ(TypedKeyFor('Z'), 90);
  EXPECT_EQ(TypedKeyFor('0'), '0');
  EXPECT_EQ(TypedKeyFor(8), 8);
  EXPECT_EQ(TypedKeyFor(13), 13);
  for (int rejected : {0, 7, 9, 10, 27, 31, 91, int{'['}, int{'_'}, int{'{'}, int{'~'}, 127, 200, 0xE9}) {
    EXPECT_EQ(TypedKeyFor(rejected), 0) << rejected;
  }
  TempDir dir;
  MakeDataFolder(dir);
  ScopedChdir cd(dir.path());
  HeadlessForm h;
  ASSERT_EQ(h.result, StartupResult::Ok);
  h.form.FormKeyPress('q');
  EXPECT_EQ(h.form.GameState().TypedKey, 'Q');
  h.form.FormKeyPress('{');  // rejected: the last accepted key stays
  EXPECT_EQ(h.form.GameState().TypedKey, 'Q');
}

TEST(MainWindow, LosingFocusStopsTheLoopAndRegainingItResumesWithoutABurst) {
  TempDir dir;
  MakeDataFolder(dir);
  ScopedChdir cd(dir.path());
  HeadlessForm h;
  ASSERT_EQ(h.result, StartupResult::Ok);
  Game& g = h.form.GameState();
  h.Pass();
  const int64_t ticks = g.TickCount;
  h.form.ApplicationDeactivate();
  EXPECT_FALSE(h.form.Timer1().Running());
  for (int i = 0; i < 50; ++i) h.Pass();
  EXPECT_EQ(g.TickCount, ticks);
  h.form.ApplicationActivate();
  h.Pass();  // the whole stop is owed, but at most 8 steps run
  EXPECT_EQ(g.TickCount, ticks + 8);
  h.clocks->counter += 75 * 3;  // a stop of more than two seconds owes exactly one
  h.form.ApplicationDeactivate();
  h.form.ApplicationActivate();
  h.Pass();
  EXPECT_EQ(g.TickCount, ticks + 9);
}

TEST(MainWindow, AltEnterSwitchesModeAndLeavesTheGameAlone) {
  TempDir dir;
  MakeDataFolder(dir, "[graphics]\nfullscreen=false\n");
  ScopedChdir cd(dir.path());
  HeadlessForm h;
  ASSERT_EQ(h.result, StartupResult::Ok);
  for (int i = 0; i < 100; ++i) h.Pass();
  h.form.FormKeyDown(kVkEscape, {});
  const std::string before = DumpGameLine(h.form.GameState());
  EXPECT_FALSE(h.form.FullScreen());
  h.form.FormKeyDown(kVkReturn, {});  // Enter alone does nothing
  EXPECT_FALSE(h.form.FullScreen());
  h.form.FormKeyDown(kVkReturn, ShiftState{false, true, false});
  EXPECT_TRUE(h.form.FullScreen());
  EXPECT_TRUE(h.form.DrawDevice1().Initialized());
  EXPECT_TRUE(h.form.Input1().Initialized());
  EXPECT_EQ(DumpGameLine(h.form.GameState()), before);
  h.form.SwitchScreen();
  EXPECT_FALSE(h.form.FullScreen());
  EXPECT_FALSE(h.form.Closed());
}

TEST(MainWindow, CloseWritesBindingsVolumesAndShowOptionsOnly) {
  TempDir dir;
  MakeDataFolder(dir, "[graphics]\nfullscreen=false\nvsync=false\n[mine]\nx=1\n");
  ScopedChdir cd(dir.path());
  {
    HeadlessForm h;
    ASSERT_EQ(h.result, StartupResult::Ok);
    Game& g = h.form.GameState();
    g.SoundVolume = 0;
    g.MusicVolume = 55;
    g.ShowOptionsAtStart = false;
    g.ControlBindings[0][kCtlNuke] = "KB20KB21";
    h.form.Close();
    EXPECT_TRUE(h.form.Closed());
    EXPECT_FALSE(h.form.Timer1().Running());
    h.form.ApplicationActivate();  // focus after closing does not restart the loop
    EXPECT_FALSE(h.form.Timer1().Running());
  }
  IniFile ini;
  ASSERT_TRUE(ini.Load("system/tarq.ini"));
  EXPECT_EQ(ini.ReadString("sound", "soundvolume", ""), "0");
  EXPECT_EQ(ini.ReadString("sound", "musicvolume", ""), "55");
  EXPECT_EQ(ini.ReadString("graphics", "showoptions", ""), "false");
  EXPECT_EQ(ini.ReadString("controls", "PL1Nuke", ""), "KB20KB21");
  EXPECT_EQ(ini.ReadString("controls", "PL2Up", ""), "J1Y-KBC8");
  EXPECT_EQ(ini.ReadString("graphics", "vsync", ""), "false");
  EXPECT_EQ(ini.ReadString("graphics", "bitdepth", "unset"), "unset");
  EXPECT_EQ(ini.ReadString("mine", "x", ""), "1");
}

TEST(MainWindow, ScreenshotFolderFollowsXdgDataHome) {
  const char* oldXdg = std::getenv("XDG_DATA_HOME");
  const std::string saved = oldXdg ? oldXdg : "";
  ::setenv("XDG_DATA_HOME", "/data/home", 1);
  EXPECT_EQ(ScreenshotFolder(), "/data/home/tarq/screenshots");
  ::setenv("XDG_DATA_HOME", "relative/is/ignored", 1);
  ::setenv("HOME", std::getenv("HOME") ? std::getenv("HOME") : "/root", 1);
  EXPECT_EQ(ScreenshotFolder(), std::string(std::getenv("HOME")) + "/.local/share/tarq/screenshots");
  if (oldXdg) {
    ::setenv("XDG_DATA_HOME", saved.c_str(), 1);
  } else {
    ::unsetenv("XDG_DATA_HOME");
  }
  TempDir dir;
  const std::string first = NextScreenshotPath(dir.path().string());
  WriteFile(first, "x");
  const std::string second = NextScreenshotPath(dir.path().string());
  EXPECT_NE(first, second);
  EXPECT_EQ(second.substr(second.size() - 4), ".png");
}

}  // namespace
}  // namespace tarq

namespace tarq {
namespace {

TEST(MainWindow, TheGamesSwitchRequestIsCarriedOutAfterThePass) {
  TempDir dir;
  MakeDataFolder(dir, "[graphics]\nfullscreen=true\n");
  ScopedChdir cd(dir.path());
  HeadlessForm h;
  ASSERT_EQ(h.result, StartupResult::Ok);
  EXPECT_TRUE(h.form.FullScreen());
  h.form.GameState().SwitchScreenRequested = true;
  h.form.AfterPass();
  EXPECT_FALSE(h.form.FullScreen());
  EXPECT_FALSE(h.form.GameState().SwitchScreenRequested);
  h.form.AfterPass();  // no request: nothing changes
  EXPECT_FALSE(h.form.FullScreen());
}

}  // namespace
}  // namespace tarq

namespace tarq {
namespace {

TEST(MainWindow, TheRedefinitionPromptRunsWithTheTimerOffAndGivesUpWithoutEvents) {
  TempDir dir;
  MakeDataFolder(dir, "[graphics]\nfullscreen=true\n");
  ScopedChdir cd(dir.path());
  HeadlessForm h;
  ASSERT_EQ(h.result, StartupResult::Ok);
  Game& game = h.form.GameState();
  EXPECT_TRUE(game.FullScreen) << "the menu names the other display mode";
  auto* source = static_cast<ScriptedInputSource*>(h.form.Input1().Source());
  game.ScreenState = kScreenControlOptions;
  game.MenuCursor = 4;  // player 1 Fire
  source->Hold("KB1C");
  // Headless without a pump: nothing can ever be pressed, so the prompt lets go at once.
  h.Pass();
  EXPECT_EQ(game.ControlBindings[0][kCtlFire], "J0B0");
  EXPECT_TRUE(h.form.Timer1().MayProcess);
  EXPECT_TRUE(h.form.Timer1().MayRender);

  // With a pump: the timer is off while it waits; the input it delivers is captured.
  int polls = 0;
  bool timerOffWhileWaiting = true;
  h.form.SetHeadlessPromptPump([&] {
    timerOffWhileWaiting = timerOffWhileWaiting && !h.form.Timer1().MayProcess && !h.form.Timer1().MayRender;
    source->ReleaseAll();
    if (polls == 2 || polls == 3) source->Hold("KB2D");
    return ++polls < 10;
  });
  const int64_t ticks = game.TickCount;
  source->Hold("KB1C");
  h.Pass();
  EXPECT_EQ(game.TickCount, ticks + 1);
  EXPECT_EQ(game.ControlBindings[0][kCtlFire], "J0B0KB2D");
  EXPECT_TRUE(timerOffWhileWaiting);
  EXPECT_TRUE(h.form.Timer1().MayProcess);
}

TEST(MainWindow, ExitStopsTheTicksAtOnce) {
  TempDir dir;
  MakeDataFolder(dir);
  ScopedChdir cd(dir.path());
  HeadlessForm h;
  ASSERT_EQ(h.result, StartupResult::Ok);
  Game& game = h.form.GameState();
  game.ScreenState = kScreenTitle;
  game.MenuCursor = kTitleExit;
  auto* source = static_cast<ScriptedInputSource*>(h.form.Input1().Source());
  source->Hold("KB1E");
  h.Pass();
  ASSERT_TRUE(game.QuitRequested);
  const int64_t ticks = game.TickCount;
  h.clocks->counter += 4;  // a pass that owes several ticks
  h.form.Timer1().Idle();
  EXPECT_EQ(game.TickCount, ticks);
}

}  // namespace
}  // namespace tarq

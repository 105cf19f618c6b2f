#pragma once
// TForm1: the main window. It owns the whole game: the fixed-rate timer, the input
// devices, the drawing device and the Game state. FormCreate runs the start-up in
// order; the handlers below are the window's reactions to keys, focus and closing.
//
// The same class runs headless (no dialog, window, audio device or GPU): the headless
// runner and the tests drive it through the same start-up and timer handlers.
#include <SDL.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "app/config_form.h"
#include "app/fixed_timer.h"
#include "app/hiscore_file.h"
#include "assets/asset_loader.h"
#include "gfx/draw_device.h"
#include "audio/audio_layer.h"
#include "audio/game_audio.h"
#include "game/game.h"
#include "input/input_devices.h"
#include "render/frame.h"
#include "world/map.h"

namespace tarq {

class ReplayRecorder;
class ReplayPlayback;

// Virtual-key codes seen by FormKeyDown.
enum : int {
  kVkBack = 8,
  kVkReturn = 13,
  kVkEscape = 27,
  kVkF12 = 123,
};

struct ShiftState {
  bool Shift = false;
  bool Alt = false;
  bool Ctrl = false;
};

struct StartupOptions {
  // No dialog, window, audio device or GPU; drawing goes to the software back end
  // off-screen, input comes from `Input` (a scripted source).
  bool Headless = false;
  // Fixes the random seed instead of seeding from the clock.
  bool FixedSeed = false;
  uint64_t Seed = 0;
  // The input source; null gives SDL's (window) or an empty scripted one (headless).
  std::unique_ptr<InputSource> Input;
  // The player's files. The settings file defaults to the data folder's (the tests'
  // fixtures); the window passes the XDG files. An empty path means none: defaults
  // are used and nothing is written. The high-score file is loaded at start-up and
  // written after each name entry; the headless runner names one only with --scores,
  // so its runs repeat exactly.
  std::string SettingsFile = kConfigFile;
  std::string ScoresFile;
  // The enemy schedule to read (the headless runner's --schedule); empty: the level's
  // own system/enemies.txt.
  std::string SchedulePath;
};

enum class StartupResult {
  Ok,         // the game runs
  Cancelled,  // the dialog was closed with Escape: the program ends quietly
  Failed,     // an error was shown (StartupError()); the program ends
};

class TForm1 {
 public:
  static constexpr const char* kCaption = "TARQ";
  static constexpr const char* kApplicationTitle = "TARQ Beta 1";
  static constexpr int kClientWidth = 640;
  static constexpr int kClientHeight = 480;
  // Colour of the first frame, in the drawing device's convention.
  static constexpr uint32_t kStartupClearColour = 0x0F0707;

  explicit TForm1(std::unique_ptr<TimerClocks> clocks = TimerClocks::System());
  ~TForm1();
  TForm1(const TForm1&) = delete;
  TForm1& operator=(const TForm1&) = delete;

  // The start-up sequence. Errors are shown in a message box (window) or written to
  // standard error (headless) before it returns Failed.
  StartupResult FormCreate(StartupOptions options);
  const std::string& StartupError() const { return startup_error_; }
  // The player's files in use ("" = none).
  const std::string& SettingsFile() const { return settings_file_; }
  const std::string& ScoresFile() const { return scores_file_; }

  // The message loop: runs until the window is closed (or the game asks to quit).
  // Returns after FormClose; FormDestroy is left to the caller (or the destructor).
  void Run();
  // Handles one SDL event (exposed so tests can feed events).
  void HandleEvent(const SDL_Event& event);

  // Key handlers: Alt+Enter switches between window and full screen; Escape without
  // Shift toggles the in-game menu and pauses with it; F12 saves a screenshot.
  void FormKeyDown(int virtualKey, ShiftState shift);
  // A typed character: upper-cased, then kept in TypedKey when it is 32..90, 8 or 13.
  void FormKeyPress(int character);
  // Focus: losing it stops processing and rendering, regaining it resumes both.
  void ApplicationActivate();
  void ApplicationDeactivate();
  // Rebuilds the drawing device in the other display mode and reloads the graphics.
  void SwitchScreen();
  // Closing: stops the music and writes the settings. Destroying: shuts audio down,
  // releases every loaded thing and finalises the drawing device.
  void FormClose();
  void FormDestroy();
  // Asks the window to close (as the menus' EXIT does): the timer stops first.
  void Close();
  bool Closed() const { return closed_; }

  // Requests the game made during the last timer pass (the display-mode switch).
  void AfterPass();

  // The timer's handlers.
  void Timer1Render();
  void Timer1Process();

  // The ticks after which the message loop closes the window by itself (0: never).
  // A hidden switch for smoke tests and timing measurements.
  void SetQuitAfterTicks(int64_t ticks) { quit_after_ticks_ = ticks; }

  // Saves the last drawn frame as a PNG.
  bool SaveScreenshot(const std::string& pngPath, std::string* error = nullptr);
  // Headless: whether the render handler draws on the device (a screenshot is due).
  // The window always draws.
  void SetRenderToDevice(bool draw) { render_to_device_ = draw; }
  // The key-redefinition prompt has no window events to wait for headless: the runner
  // gives it this pump instead, called before every poll of the input (it sets the
  // inputs the script holds by then); false gives the wait up. Without one the prompt
  // gives up at once, leaving the binding as it was.
  void SetHeadlessPromptPump(std::function<bool()> pump) { headless_prompt_pump_ = std::move(pump); }

  // Replays: the recorder told about passes, ticks, keys and device reads (null: none),
  // and the seed start-up used.
  // With a folder, each run that ends (back on the title, or the window closing during
  // it) is saved there (SaveRunReplay).
  void SetRecorder(ReplayRecorder* recorder, std::string folder = {});
  ReplayRecorder* Recorder() const { return recorder_; }
  // Window playback: the message loop feeds the replay at the game's rate instead of
  // running the timer; Escape (or the replay's end, or closing) ends it and `onEnd` runs.
  void SetPlayback(ReplayPlayback* playback, std::function<void()> onEnd);
  bool PlayingBack() const { return playback_ != nullptr; }
  void EndPlayback();
  // Called at the top of every turn of the message loop (tests push window events here).
  void SetLoopHook(std::function<void()> hook) { loop_hook_ = std::move(hook); }
  uint64_t Seed() const { return seed_; }

  Game& GameState() { return game_; }
  TFixedTimer& Timer1() { return timer_; }
  TDrawDevice& DrawDevice1() { return device_; }
  TInputDevices& Input1() { return input_; }
  TConfigForm& ConfigForm() { return config_form_; }
  GameAudio* Audio() { return audio_.get(); }
  GameAssets& Assets() { return assets_; }
  DeviceFrameCanvas& Canvas() { return canvas_; }
  bool FullScreen() const { return full_screen_; }
  bool Headless() const { return headless_; }
  SDL_Window* Window() const { return window_; }

 private:
  // Start-up steps that belong to other subsystems, by their routine names.
  bool DisplayConfiguration();  // steps 1-9 of the configuration
  void ReadSettings();          // steps 10-13 of the configuration
  void LoadHiScores();
  void StartAudio();
  void ResetGameState();
  bool LoadMap();
  bool LoadEnemies();
  bool LoadGraphics();
  void FinaliseAll();
  bool InitialiseDevice();
  void ApplyWindowMode();
  void DrawClearedFrame();
  void ShowError(const std::string& text);
  StartupResult StartupSteps(StartupOptions options);  // FormCreate's body

  Game game_;
  TFixedTimer timer_;
  TInputDevices input_;
  TDrawDevice device_;
  TConfigForm config_form_;
  // Everything LoadGraphics loads (released before the device is finalised), the
  // canvas the frame is drawn on, and the water tiles' pixels for the animation.
  GameAssets assets_;
  DeviceFrameCanvas canvas_{device_, assets_};
  PatternTileSurface water_tiles_{[this](int32_t tile) -> TPatternImage* {
    if (tile < 0 || static_cast<size_t>(tile) >= assets_.TileImages.size()) return nullptr;
    return assets_.TileImages[static_cast<size_t>(tile)].get();
  }};
  // The audio library (the mixer on SDL audio; a silent layer headless) and the
  // game's sound and music on top of it.
  std::unique_ptr<AudioLayer> audio_layer_;
  std::unique_ptr<GameAudio> audio_;
  SDL_Window* window_ = nullptr;
  bool sdl_video_ = false;
  bool headless_ = false;
  std::string schedule_path_;
  bool full_screen_ = false;
  bool vsync_ = false;
  int display_depth_ = 16;  // the colour depth asked of a full-screen display
  bool created_ = false;
  bool activation_installed_ = false;
  bool closed_ = false;
  bool destroyed_ = false;
  bool render_to_device_ = false;
  int64_t quit_after_ticks_ = 0;
  std::string startup_error_;
  std::string settings_file_ = kConfigFile;
  // The high-score file (none: the table is neither loaded nor saved).
  std::string scores_file_;
  std::unique_ptr<HiScoreFile> hiscore_file_;
  ReplayRecorder* recorder_ = nullptr;
  std::string replay_folder_;
  void SaveRecordedRun();
  ReplayPlayback* playback_ = nullptr;
  std::function<void()> playback_end_;
  int64_t playback_due_ns_ = 0;  // when the next played-back pass is due
  void PlaybackStep();
  std::function<void()> loop_hook_;
  uint64_t seed_ = 0;

  // The key-redefinition prompt of the control options (game_.Prompt points here). It
  // blocks the tick with the timer's processing and rendering off, but the window's
  // events keep flowing: closing the window ends the wait and then the game.
  struct RedefinePrompt final : ControlPrompt {
    explicit RedefinePrompt(TForm1& owner) : form(owner) {}
    void Redefine(Game& game, int32_t index) override;
    TForm1& form;
  };
  void RunRedefinePrompt(int32_t index);
  void DrawPrompt();
  bool PumpDuringPrompt();
  RedefinePrompt prompt_{*this};
  std::function<bool()> headless_prompt_pump_;
  bool prompt_close_ = false;  // the window was closed while the prompt waited
  int prompt_focus_ = 0;       // focus change while it waited: -1 lost, 1 regained
};

// The folder F12 saves screenshots in: $XDG_DATA_HOME/tarq/screenshots, or
// ~/.local/share/tarq/screenshots when XDG_DATA_HOME is unset or not absolute.
std::string ScreenshotFolder();
// A fresh file name there from the local time, e.g. tarq-20260101-120000-1.png.
std::string NextScreenshotPath(const std::string& folder);

// The TypedKey rule: the stored code for a typed character, or 0 if it is not kept.
int32_t TypedKeyFor(int character);

}  // namespace tarq

#include "app/main_window.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <new>

#include "app/user_paths.h"
#include "gfx/backend_factory.h"
#include "assets/codec.h"
#include "audio/mixer_audio_layer.h"
#include "audio/null_audio_layer.h"
#include "core/angles.h"
#include "core/random.h"
#include "app/replay.h"
#include "app/replay_run.h"
#include "game/players.h"
#include "game/menus.h"
#include "game/playing.h"
#include "input/controls.h"
#include "render/frame.h"
#include "render/prompt.h"
#include "world/map.h"

namespace tarq {

namespace {

constexpr const char* kMapFile = "system/map.dat";
constexpr const char* kOutOfMemoryText = "Not enough memory to load the game data.";

}  // namespace

TForm1::TForm1(std::unique_ptr<TimerClocks> clocks) : timer_(std::move(clocks)) {
  // Timer1: 75 process steps per second.
  timer_.SetFPS(75);
  timer_.OnRender = [this] { Timer1Render(); };
  timer_.OnProcess = [this] { Timer1Process(); };
  // Input1: joysticks enabled.
  input_.DoJoystick = true;
  // DrawDevice1 as the window designs it; the configuration adjusts depth, vertical
  // sync and buffers before it is initialised.
  device_.SetWidth(kClientWidth);
  device_.SetHeight(kClientHeight);
  device_.SetHardware(true);
  device_.SetAntialias(true);
  device_.SetDithering(false);
  device_.SetZBuffer(zb_None);
  device_.SetBackBufferCount(1);
  device_.SetBitDepth(bd_Low);
  device_.SetVSync(false);
  device_.SetRefreshRate(rr_custom);
  device_.SetCustomRefreshRate(75);
  device_.SetFullScreen(false);
  device_.OnDeviceLost = [](TDrawDevice& device) { device.ResetDevice(); };
}

TForm1::~TForm1() { FormDestroy(); }

void TForm1::ShowError(const std::string& text) {
  startup_error_ = text;
  std::fprintf(stderr, "TARQ: %s\n", text.c_str());
  if (!headless_ && sdl_video_) {
    // Fails quietly where no message box can be shown (e.g. SDL's offscreen driver);
    // the text is on standard error either way.
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, kApplicationTitle, text.c_str(), window_);
  }
}

StartupResult TForm1::FormCreate(StartupOptions options) {
  // Data too large for the memory at hand, or anything else that escapes a loader,
  // ends the start-up with the error message rather than an abort.
  try {
    return StartupSteps(std::move(options));
  } catch (const std::bad_alloc&) {
    ShowError(kOutOfMemoryText);
  } catch (const std::exception& e) {
    ShowError(std::string("Start-up failed: ") + e.what());
  }
  return StartupResult::Failed;
}

StartupResult TForm1::StartupSteps(StartupOptions options) {
  headless_ = options.Headless;
  schedule_path_ = options.SchedulePath;
  created_ = true;
  settings_file_ = options.SettingsFile;
  // No fall-back to the data folder: it is only ever read (main passes the XDG file).
  scores_file_ = options.ScoresFile;
  config_form_ = TConfigForm(settings_file_);
  if (!headless_) {
    SDL_SetHint(SDL_HINT_APP_NAME, kApplicationTitle);
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_JOYSTICK | SDL_INIT_GAMECONTROLLER | SDL_INIT_EVENTS) != 0) {
      ShowError(std::string("Cannot start the display: ") + SDL_GetError());
      return StartupResult::Failed;
    }
    sdl_video_ = true;
  }
  // A hardware device draws through OpenGL (falling back to the software rasteriser
  // when no context can be had); headless devices are software only.
  if (!headless_) UseOpenGlForHardwareDevices();
  if (options.Input) {
    input_.SetSource(std::move(options.Input));
  } else if (headless_) {
    input_.SetSource(std::make_unique<ScriptedInputSource>());
  } else {
    input_.SetSource(MakeSdlInputSource());
  }
  game_.Input = &input_;
  game_.Prompt = &prompt_;

  // 1. The key-name table.
  KeyNameTable();
  // 2. Display configuration: dialog, device settings, window, drawing device.
  std::string dialogError;
  config_form_.FormCreate(&dialogError);
  if (!dialogError.empty()) std::fprintf(stderr, "TARQ: %s; using the default display settings\n", dialogError.c_str());
  if (!headless_ && config_form_.ShowStartup()) {
    std::string error;
    const ModalResult result = config_form_.ShowModal(&error);
    if (result == ModalResult::None) {
      // No toolkit display: carry on with the file's settings rather than not start.
      std::fprintf(stderr, "TARQ: %s; starting with the saved display settings\n", error.c_str());
    } else {
      if (!error.empty()) std::fprintf(stderr, "TARQ: %s\n", error.c_str());
      if (result != ModalResult::Ok) return StartupResult::Cancelled;
    }
  }
  if (!DisplayConfiguration()) return StartupResult::Failed;
  game_.FullScreen = full_screen_;
  // 3. The codec library is looked for in the system folder.
  SetCodecLibraryPath(std::string("system/") + kCodecLibraryFileName);
  // 4. The random seed.
  if (options.FixedSeed) {
    SeedRandom(options.Seed);
    seed_ = options.Seed;
  } else {
    seed_ = SeedRandomFromClock();
  }
  // 5. Control bindings, show-options flag and volumes.
  ReadSettings();
  // 6. The high-score table.
  LoadHiScores();
  // 7. Show the window with one dark frame; no mouse cursor over it.
  if (window_) SDL_ShowWindow(window_);
  DrawClearedFrame();
  if (!headless_) SDL_ShowCursor(SDL_DISABLE);
  // 8. Audio and its samples.
  StartAudio();
  // 9. Angle tables.
  FillAngleTables();
  // 10. Players, nuke flash, scroll, title and screen state.
  ResetGameState();
  // 11. The map. 12. The enemy schedule.
  if (!LoadMap()) return StartupResult::Failed;
  if (!LoadEnemies()) return StartupResult::Failed;
  // 13. Graphics, music and input devices behind the loading screen.
  if (!LoadGraphics()) return StartupResult::Failed;
  // 14. Let the timer run; focus changes now reach the timer.
  timer_.MayRender = true;
  timer_.MayProcess = true;
  activation_installed_ = true;
  return StartupResult::Ok;
}

bool TForm1::DisplayConfiguration() {
  // 3. From here on the dialog's buttons decide (the file's values when not shown).
  full_screen_ = config_form_.Down(ConfigButton::Full);
  // 4.-7. Depth, vertical sync and buffers.
  device_.SetBitDepth(bd_Low);
  device_.SetVSync(false);
  display_depth_ = 16;
  if (config_form_.Down(ConfigButton::B32)) {
    device_.SetBitDepth(bd_High);
    display_depth_ = 32;
  }
  vsync_ = config_form_.Down(ConfigButton::VOn);
  if (vsync_) device_.SetVSync(true);
  device_.SetBackBufferCount(1);
  if (config_form_.Down(ConfigButton::Trp)) device_.SetBackBufferCount(2);
  // 8. The window: borderless and covering the display in full screen, else a fixed
  // border around a 640 x 480 client area. The device is created for the window in
  // both modes.
  if (!headless_) {
    Uint32 flags = SDL_WINDOW_HIDDEN;
    if (HardwareBackendFactory() != nullptr) flags |= SDL_WINDOW_OPENGL;
    window_ = SDL_CreateWindow(kCaption, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, kClientWidth,
                               kClientHeight, flags);
    if (!window_) {
      ShowError(std::string("Cannot open the game window: ") + SDL_GetError());
      return false;
    }
    ApplyWindowMode();
  }
  // 9. The drawing device.
  device_.SetHardware(!headless_);
  device_.SetWindow(window_);
  int32_t code = device_.Initialize();
  if (code == 0 && !headless_ && std::getenv("TARQ_FORCE_OPENGL") == nullptr) {
    // An OpenGL driver that rasterises on the CPU draws this game's frames many times
    // slower than our own software renderer, so the game prefers ours there.
    const std::string renderer = SoftwareOpenGlRenderer(device_);
    if (!renderer.empty()) {
      std::fprintf(stderr, "TARQ: OpenGL draws in software here (%s); using the built-in software renderer\n",
                   renderer.c_str());
      device_.Finalize();
      device_.SetHardware(false);
      code = device_.Initialize();
    }
  }
  if (code != 0) {
    ShowError(TDrawDevice::ErrorText(code));
    return false;
  }
  return true;
}

void TForm1::ApplyWindowMode() {
  if (!window_) return;
  if (full_screen_) {
    SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN_DESKTOP);
  } else {
    SDL_SetWindowFullscreen(window_, 0);
    SDL_SetWindowBordered(window_, SDL_TRUE);
    SDL_SetWindowResizable(window_, SDL_FALSE);
    SDL_SetWindowSize(window_, kClientWidth, kClientHeight);
    SDL_SetWindowPosition(window_, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
  }
}

void TForm1::ReadSettings() {
  // 10.-13. One read of the file; a file that cannot be read gives the defaults.
  IniFile ini;
  std::string error;
  if (!ini.Load(settings_file_, &error)) std::fprintf(stderr, "TARQ: %s; using default settings\n", error.c_str());
  const GameSettings s = ReadGameSettings(ini);
  game_.ControlBindings = s.ControlBindings;
  game_.ShowOptionsAtStart = s.ShowOptionsAtStart;
  game_.SoundVolume = s.SoundVolume;
  game_.MusicVolume = s.MusicVolume;
}

void TForm1::LoadHiScores() {
  // Without a file the game keeps its default table and entered names are not saved.
  if (scores_file_.empty()) return;
  game_.HiScores = ::tarq::LoadHiScores(scores_file_);
  hiscore_file_ = std::make_unique<HiScoreFile>(scores_file_);
  game_.HiScoreSaver = hiscore_file_.get();
}

void TForm1::StartAudio() {
  // The mixer plays through SDL's audio output; without a sound card it stays silent
  // and the game runs on. Headless runs never open a device, but the music state
  // (CurrentTrack, the fades) follows the same rules.
  if (headless_) {
    audio_layer_ = std::make_unique<NullAudioLayer>();
  } else {
    audio_layer_ = std::make_unique<MixerAudioLayer>();
  }
  audio_ = std::make_unique<GameAudio>(*audio_layer_);
  audio_->Startup();  // also: no current or previous track
  game_.Audio = audio_.get();
}

void TForm1::ResetGameState() {
  for (PlayerRecord& p : game_.Players) ResetPlayerForProgramStart(p);
  game_.NukeTimer = -1;
  game_.NukeX = 0;
  game_.NukeY = 0;
  game_.ScrollY = kScrollYAtProgramStart;
  ResetTitle(game_);
  game_.MenuCursor = 0;
  game_.ScreenTicks = 0;
  game_.ScreenState = kScreenIntro;
}

bool TForm1::LoadMap() {
  std::string error;
  if (!::tarq::LoadMap(kMapFile, game_.Map, error)) {
    ShowError(error.empty() ? std::string("Cannot load ") + kMapFile : error);
    return false;
  }
  return true;
}

bool TForm1::LoadEnemies() {
  // A schedule that is missing or does not convert stops the start-up: the level
  // cannot be played without its script.
  const std::string path = schedule_path_.empty() ? kEnemyScheduleFile : schedule_path_;
  std::string error;
  if (!LoadEnemiesFile(path, game_.EnemySchedule, error)) {
    ShowError(error);
    return false;
  }
  RewindSchedule(game_);
  return true;
}

bool TForm1::LoadGraphics() {
  // The loading screen: fonts, the music (first time only), sprites, tiles; the input
  // devices are initialised at its end.
  AssetLoaderContext ctx;
  ctx.Device = &device_;
  ctx.Input = &input_;
  ctx.Root = ".";
  if (audio_) ctx.LoadMusicTrack = [this](int32_t track) { audio_->LoadMusicTrack(track); };
  LoadGraphicsResult result;
  try {
    result = ::tarq::LoadGraphics(assets_, ctx);
  } catch (const std::bad_alloc&) {
    ReleaseGraphics(assets_, nullptr);  // give the memory back before the message
    result = {false, kOutOfMemoryText};
  }
  if (!result.Ok) {
    ShowError(result.Error);
    return false;
  }
  game_.WaterTiles = &water_tiles_;
  // The game's rules find sprites by name (sn) through this copy of the table's names.
  game_.SpriteNames.clear();
  for (const TSpriteImage& sprite : assets_.SpriteImage) game_.SpriteNames.push_back(sprite.Name);
  return true;
}

void TForm1::FinaliseAll() {
  // Fonts, tile and sprite images (emptying both tables), then the input devices.
  ReleaseGraphics(assets_, &input_);
}

void TForm1::DrawClearedFrame() {
  if (!device_.Initialized()) return;
  device_.BeginScene();
  device_.Clear(kStartupClearColour);
  device_.EndScene();
  device_.Present();
}

void TForm1::Timer1Render() {
  // The render handler also places ScrollX and clamps Armour, so it runs on every
  // pass; headless it draws only when a screenshot is due.
  const bool draw = device_.Initialized() && (!headless_ || render_to_device_);
  if (recorder_) recorder_->Render();
  ::tarq::Timer1Render(game_, draw ? &canvas_ : nullptr);
}

void TForm1::Timer1Process() {
  // After EXIT or QUIT TO WINDOWS the timer stops processing: the rest of this pass's
  // steps do not run while the window closes.
  if (game_.QuitRequested) return;
  ::tarq::Timer1Process(game_);
  if (recorder_) recorder_->AfterTick();
}

void TForm1::SetRecorder(ReplayRecorder* recorder, std::string folder) {
  recorder_ = recorder;
  replay_folder_ = std::move(folder);
  input_.Observer = recorder;
}

void TForm1::SaveRecordedRun() {
  if (!recorder_ || replay_folder_.empty()) return;
  std::string error;
  if (SaveRunReplay(replay_folder_, recorder_->Finish(), error)) {
    std::printf("TARQ: replay saved to %s/last.tqr\n", replay_folder_.c_str());
  } else {
    std::fprintf(stderr, "TARQ: the replay was not saved: %s\n", error.c_str());
  }
}

void TForm1::SetPlayback(ReplayPlayback* playback, std::function<void()> onEnd) {
  playback_ = playback;
  playback_end_ = std::move(onEnd);
  playback_due_ns_ = 0;
}

void TForm1::EndPlayback() {
  if (!playback_) return;
  playback_ = nullptr;
  if (playback_end_) playback_end_();
  playback_end_ = nullptr;
}

void TForm1::PlaybackStep() {
  // Up to the run's start the replay runs without drawing, as fast as it can (a few
  // thousand passes between two looks at the messages); from there at 75 ticks a
  // second, each recorded pass with its own number of ticks.
  using Clock = std::chrono::steady_clock;
  const int64_t now = std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch()).count();
  const int64_t runStart = playback_->RunStart();
  for (int i = 0; i < 2000 && !playback_->Finished() && game_.TickCount + playback_->NextPassTicks() <= runStart;
       ++i) {
    playback_->Pass(false);
    playback_due_ns_ = now;
  }
  if (!playback_->Finished() && now >= playback_due_ns_) {
    const int32_t ticks = playback_->NextPassTicks();
    playback_->Pass(true);
    constexpr int64_t kTickNs = 1'000'000'000 / 75;
    playback_due_ns_ = std::max(playback_due_ns_ + ticks * kTickNs, now - 8 * kTickNs);
  }
  AfterPass();
  if (playback_->Finished()) {
    if (!playback_->Divergence().empty())
      std::fprintf(stderr, "TARQ: the replay diverges at %s\n", playback_->Divergence().c_str());
    EndPlayback();
  }
}

void TForm1::RedefinePrompt::Redefine(Game&, int32_t index) { form.RunRedefinePrompt(index); }

void TForm1::RunRedefinePrompt(int32_t index) {
  struct Host final : RedefineHost {
    explicit Host(TForm1& owner) : form(owner) {}
    void ShowPrompt() override { form.DrawPrompt(); }
    bool Pump() override { return form.PumpDuringPrompt(); }
    TForm1& form;
  } host(*this);
  // No frame and no other tick while the prompt waits.
  timer_.MayProcess = false;
  timer_.MayRender = false;
  prompt_close_ = false;
  prompt_focus_ = 0;
  RedefineControl(input_, game_.ControlBindings, index, host);
  if (prompt_close_) {
    // The window was closed: the game ends after this pass, settings written.
    game_.QuitRequested = true;
    return;
  }
  timer_.MayProcess = true;
  timer_.MayRender = true;
  // Focus lost during the wait takes effect now that the prompt has let go.
  if (prompt_focus_ < 0) ApplicationDeactivate();
}

void TForm1::DrawPrompt() {
  if (headless_ || !device_.Initialized()) return;
  DrawRedefinePrompt(TextContext{&assets_.Font1, &assets_.Font2, &device_});
}

bool TForm1::PumpDuringPrompt() {
  if (headless_) return headless_prompt_pump_ ? headless_prompt_pump_() : false;
  SDL_Event event;
  while (SDL_PollEvent(&event)) {
    // Only the window's own events are handled. Key and text messages are dropped: the
    // prompt reads the keyboard's state, and the keys pressed for it must not also act
    // (Escape opening the in-game menu, Backspace typing) once it is over.
    if (event.type == SDL_QUIT) prompt_close_ = true;
    if (event.type != SDL_WINDOWEVENT) continue;
    switch (event.window.event) {
      case SDL_WINDOWEVENT_CLOSE: prompt_close_ = true; break;
      case SDL_WINDOWEVENT_FOCUS_LOST: prompt_focus_ = -1; break;
      case SDL_WINDOWEVENT_FOCUS_GAINED: prompt_focus_ = 1; break;
      case SDL_WINDOWEVENT_EXPOSED: DrawPrompt(); break;
      default: break;
    }
  }
  if (prompt_close_) return false;
  SDL_Delay(2);  // the wait polls the devices; it need not spin a whole core
  return true;
}

int32_t TypedKeyFor(int character) {
  int c = character;
  if (c >= 'a' && c <= 'z') c -= 'a' - 'A';
  if ((c >= 32 && c <= 90) || c == 8 || c == 13) return c;
  return 0;
}

void TForm1::FormKeyDown(int virtualKey, ShiftState shift) {
  if (virtualKey == kVkReturn && shift.Alt) {
    if (recorder_) recorder_->WindowKey(ReplayKey::AltEnter);
    SwitchScreen();
  } else if (virtualKey == kVkEscape && !shift.Shift) {
    if (recorder_) recorder_->WindowKey(ReplayKey::Escape);
    game_.InGameMenuOpen = !game_.InGameMenuOpen;
    game_.Paused = game_.InGameMenuOpen;
  } else if (virtualKey == kVkF12) {
    const std::string folder = ScreenshotFolder();
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    const std::string path = NextScreenshotPath(folder);
    std::string error;
    if (SaveScreenshot(path, &error)) {
      std::printf("TARQ: screenshot saved to %s\n", path.c_str());
    } else {
      std::fprintf(stderr, "TARQ: no screenshot: %s\n", error.c_str());
    }
  }
}

void TForm1::FormKeyPress(int character) {
  const int32_t code = TypedKeyFor(character);
  if (code == 0) return;
  if (recorder_) recorder_->TypedKey(code);
  game_.TypedKey = code;
}

void TForm1::ApplicationActivate() {
  if (!activation_installed_ || closed_) return;
  timer_.MayProcess = true;
  timer_.MayRender = true;
  if (audio_) audio_->FocusGained();  // the current and previous music channels
}

void TForm1::ApplicationDeactivate() {
  if (!activation_installed_ || closed_) return;
  timer_.MayProcess = false;
  timer_.MayRender = false;
  if (audio_) audio_->FocusLost();  // the current and previous music channels
}

void TForm1::SwitchScreen() {
  // 1. Release everything that lives on the device, then the device.
  FinaliseAll();
  device_.Finalize();
  // 2. The other mode.
  full_screen_ = !full_screen_;
  game_.FullScreen = full_screen_;
  ApplyWindowMode();
  // 3. A new device; on failure the window closes normally (settings are written).
  const int32_t code = device_.Initialize();
  if (code != 0) {
    const std::string text = "Error: " + TDrawDevice::ErrorText(code);
    std::fprintf(stderr, "TARQ: %s\n", text.c_str());
    if (!headless_) SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, kApplicationTitle, text.c_str(), window_);
    Close();
    return;
  }
  // 4. The graphics again; the game state is untouched. Failing input devices end
  // the program, as at start-up.
  if (!LoadGraphics()) Close();
}

void TForm1::Close() {
  timer_.MayProcess = false;
  timer_.MayRender = false;
  FormClose();
}

void TForm1::FormClose() {
  if (closed_) return;
  // A playback gives the player's settings back before they are written; a run still
  // being played is saved as it stands.
  EndPlayback();
  if (recorder_ && recorder_->InRun()) SaveRecordedRun();
  closed_ = true;
  timer_.MayProcess = false;
  timer_.MayRender = false;
  // Every music module stopped and freed, the output stopped; then the settings.
  if (audio_) audio_->Close();
  GameSettings s;
  s.ControlBindings = game_.ControlBindings;
  s.ShowOptionsAtStart = game_.ShowOptionsAtStart;
  s.SoundVolume = game_.SoundVolume;
  s.MusicVolume = game_.MusicVolume;
  if (settings_file_.empty()) return;  // a run that keeps no settings
  IniFile ini;
  std::string error;
  if (ini.Load(settings_file_, &error)) {
    WriteGameSettings(ini, s);
    if (ini.Save(settings_file_, &error)) return;
  }
  std::fprintf(stderr, "TARQ: the settings were not saved: %s\n", error.c_str());
}

void TForm1::FormDestroy() {
  if (destroyed_ || !created_) return;
  destroyed_ = true;
  if (audio_) audio_->Destroy();
  game_.Audio = nullptr;
  FinaliseAll();
  device_.Finalize();
  if (window_) {
    SDL_DestroyWindow(window_);
    window_ = nullptr;
  }
  if (sdl_video_) {
    SDL_ShowCursor(SDL_ENABLE);
    SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_JOYSTICK | SDL_INIT_GAMECONTROLLER | SDL_INIT_EVENTS);
    sdl_video_ = false;
  }
}

bool TForm1::SaveScreenshot(const std::string& pngPath, std::string* error) {
  if (!device_.Initialized()) {
    if (error) *error = "no drawing device";
    return false;
  }
  if (!device_.SaveScreenshot(pngPath)) {
    if (error) *error = "cannot write " + pngPath;
    return false;
  }
  return true;
}

void TForm1::HandleEvent(const SDL_Event& event) {
  switch (event.type) {
    case SDL_QUIT:
      Close();
      break;
    case SDL_WINDOWEVENT:
      if (event.window.event == SDL_WINDOWEVENT_CLOSE) Close();
      if (event.window.event == SDL_WINDOWEVENT_FOCUS_GAINED) ApplicationActivate();
      if (event.window.event == SDL_WINDOWEVENT_FOCUS_LOST) ApplicationDeactivate();
      break;
    case SDL_KEYDOWN: {
      const SDL_Keycode key = event.key.keysym.sym;
      // Watching a replay, the keys do not act in the game: Escape ends the playback.
      if (playback_) {
        if (key == SDLK_ESCAPE && !event.key.repeat) EndPlayback();
        if (key == SDLK_F12 && !event.key.repeat) FormKeyDown(kVkF12, {});
        break;
      }
      const Uint16 mod = event.key.keysym.mod;
      ShiftState shift;
      shift.Shift = (mod & KMOD_SHIFT) != 0;
      shift.Alt = (mod & KMOD_ALT) != 0;
      shift.Ctrl = (mod & KMOD_CTRL) != 0;
      const bool enter = key == SDLK_RETURN || key == SDLK_KP_ENTER;
      // A held key repeats only as typing; the window keys act once per press, so a
      // held Alt+Enter cannot rebuild the device over and over.
      if (!event.key.repeat) {
        if (enter) FormKeyDown(kVkReturn, shift);
        if (key == SDLK_ESCAPE) FormKeyDown(kVkEscape, shift);
        if (key == SDLK_F12) FormKeyDown(kVkF12, shift);
      }
      // Backspace and Enter type characters 8 and 13; other characters arrive as text.
      if (key == SDLK_BACKSPACE) FormKeyPress(8);
      if (enter && !shift.Alt) FormKeyPress(13);
      break;
    }
    case SDL_TEXTINPUT:
      if (playback_) break;
      for (const char* p = event.text.text; *p; ++p) {
        const auto byte = static_cast<unsigned char>(*p);
        if (byte < 0x80) FormKeyPress(byte);  // other characters never qualify
      }
      break;
    default:
      break;
  }
}

void TForm1::AfterPass() {
  if (game_.SwitchScreenRequested) {
    game_.SwitchScreenRequested = false;
    SwitchScreen();
  }
}

void TForm1::Run() {
  SDL_Event event;
  while (!closed_) {
    if (loop_hook_) loop_hook_();
    while (!closed_ && SDL_PollEvent(&event)) HandleEvent(event);
    if (closed_) break;
    if (game_.QuitRequested || (quit_after_ticks_ > 0 && game_.TickCount >= quit_after_ticks_)) {
      Close();
      break;
    }
    if (playback_ && timer_.Running()) {
      PlaybackStep();
      SDL_Delay(1);
      continue;
    }
    if (timer_.Running()) {
      timer_.Idle();
      AfterPass();
      if (recorder_ && recorder_->TakeRunEnded()) SaveRecordedRun();
      // The idle pass would spin a whole core; with no vertical retrace to wait for, a
      // short sleep between passes leaves the steps exactly as they were.
      if (!vsync_ || device_.UsingSoftware()) SDL_Delay(1);
    } else {
      SDL_WaitEventTimeout(nullptr, 100);  // inactive: nothing to do until a message
    }
  }
}

std::string ScreenshotFolder() {
  const char* xdg = std::getenv("XDG_DATA_HOME");
  if (xdg && xdg[0] == '/') return std::string(xdg) + "/tarq/screenshots";
  const char* home = std::getenv("HOME");
  if (home && home[0] != '\0') return std::string(home) + "/.local/share/tarq/screenshots";
  return "screenshots";
}

std::string NextScreenshotPath(const std::string& folder) { return DatedFilePath(folder, "tarq-", ".png"); }

}  // namespace tarq

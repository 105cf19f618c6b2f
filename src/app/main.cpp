// Program entry. With no options the game starts as a player knows it: the display
// dialog (when enabled), the window, the intro and the title. `--headless ...` runs
// the headless runner instead (docs/headless.md). `--quit-after-ticks N` is a
// switch for smoke tests and timing: the window closes normally after N ticks and a
// line with the measured rates is printed. `--start-section N` starts every run at
// section N of the level (section practice). `--help` lists every option.
#include <SDL.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/config_form.h"
#include "app/headless.h"
#include "app/main_window.h"
#include "app/replay.h"
#include "app/replay_run.h"
#include "app/user_paths.h"
#include "game/section_start.h"

namespace {

// A start-up error before the window exists: on standard error and, where a display
// is at hand, in a message box (the player may have started the game from a menu).
// Started from a terminal, the text there is enough.
void ShowStartError(const std::string& text) {
  std::fprintf(stderr, "TARQ: %s\n", text.c_str());
  const char* driver = std::getenv("SDL_VIDEODRIVER");
  const bool offscreen = driver && (std::string(driver) == "offscreen" || std::string(driver) == "dummy");
  const bool display = std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY");
  if (isatty(STDERR_FILENO) || offscreen || !display) return;
  SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, tarq::TForm1::kApplicationTitle, text.c_str(), nullptr);
}

int RunWindow(const tarq::WindowOptions& options) {
  using Clock = std::chrono::steady_clock;
  const int64_t quitAfterTicks = options.QuitAfterTicks;
  // Named relative to where the program was started, before the data folder becomes current.
  std::string replayFile = options.ReplayFile;
  if (!replayFile.empty()) {
    std::error_code absError;
    const auto abs = std::filesystem::absolute(replayFile, absError);
    if (!absError) replayFile = abs.string();
  }
  // The data folder, then the player's files (moved from an old data folder once);
  // the game's own paths are relative to the data folder, which becomes current.
  const tarq::DataFolderResult data = tarq::FindDataFolder(tarq::DataSearchForThisProcess(options.DataDir));
  if (!data.Found) {
    ShowStartError(data.Error);
    return 1;
  }
  std::vector<std::string> warnings;
  const tarq::PlayerFiles files =
      tarq::PreparePlayerFiles(data.Path, tarq::XdgUserFoldersFromEnvironment(), warnings);
  for (const std::string& w : warnings) std::fprintf(stderr, "TARQ: %s\n", w.c_str());
  std::error_code ec;
  std::filesystem::current_path(data.Path, ec);
  if (ec) {
    ShowStartError("cannot open the data folder " + data.Path + ": " + ec.message());
    return 1;
  }
  tarq::StartupOptions startup;
  startup.SettingsFile = files.Settings;
  startup.ScoresFile = files.HiScores;
  // Every run is recorded; with --replay FILE the session plays that replay first. (It
  // outlives the window, which points at its recorder or playback.)
  tarq::WindowReplays replays;
  tarq::TForm1 form;
  if (!replayFile.empty()) {
    std::string error;
    if (!replays.PreparePlayback(replayFile, form, startup, error)) {
      ShowStartError("cannot play the replay: " + error);
      return 2;
    }
  }
  switch (form.FormCreate(std::move(startup))) {
    case tarq::StartupResult::Ok: break;
    case tarq::StartupResult::Cancelled: return 0;  // Escape in the dialog
    case tarq::StartupResult::Failed: return 1;     // the error has been shown
  }
  // Section practice: the menus stay as they are; each run starts at the section.
  const int32_t sections = tarq::ScheduleSectionCount(form.GameState());
  if (options.StartSection > 1 && options.StartSection > sections) {
    ShowStartError("--start-section " + std::to_string(options.StartSection) + ": the level script has " +
                   std::to_string(sections) + " sections");
    return 2;
  }
  form.GameState().StartSection = options.StartSection;
  // A replay brings its own start section (the player's comes back when it ends).
  if (!replayFile.empty()) {
    replays.StartPlayback(form);
  } else {
    replays.StartRecording(form, tarq::ReplayFolder(tarq::XdgUserFoldersFromEnvironment().DataHome));
  }
  // The application's own dialog instance: never shown; it only reads the file again.
  tarq::TConfigForm appConfigForm(files.Settings);
  appConfigForm.FormCreate();

  form.SetQuitAfterTicks(quitAfterTicks);
  const auto start = Clock::now();
  const int64_t startTicks = form.GameState().TickCount;
  form.Run();
  if (quitAfterTicks > 0) {
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    const int64_t ticks = form.GameState().TickCount - startTicks;
    std::printf("ticks=%lld seconds=%.3f ticks_per_second=%.2f frame_rate=%d screen=%d\n",
                static_cast<long long>(ticks), seconds, seconds > 0 ? ticks / seconds : 0.0,
                form.Timer1().FrameRate(), form.GameState().ScreenState);
  }
  form.FormDestroy();
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (!args.empty() && args[0] == "--headless") return tarq::HeadlessMain(args);
  tarq::WindowOptions options;
  std::string error;
  if (!tarq::ParseWindowArgs(args, options, error)) {
    std::fprintf(stderr, "tarq: %s\nTry 'tarq --help' for the list of options.\n", error.c_str());
    return 2;
  }
  if (options.Help) {
    std::fputs(tarq::HelpText().c_str(), stdout);
    return 0;
  }
  if (options.Version) {
    std::printf("%s\n", tarq::VersionText().c_str());
    return 0;
  }
  return RunWindow(options);
}

// Program entry. With no options the game starts as a player knows it: the display
// dialog (when enabled), the window, the intro and the title. `--headless ...` runs
// the headless runner instead (docs/headless.md). `--quit-after-ticks N` is a hidden
// switch for smoke tests and timing: the window closes normally after N ticks and a
// line with the measured rates is printed.
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "app/config_form.h"
#include "app/headless.h"
#include "app/main_window.h"

namespace {

int RunWindow(int64_t quitAfterTicks) {
  using Clock = std::chrono::steady_clock;
  tarq::TForm1 form;
  switch (form.FormCreate(tarq::StartupOptions{})) {
    case tarq::StartupResult::Ok: break;
    case tarq::StartupResult::Cancelled: return 0;  // Escape in the dialog
    case tarq::StartupResult::Failed: return 1;     // the error has been shown
  }
  // The application's own dialog instance: never shown; it only reads the file again.
  tarq::TConfigForm appConfigForm;
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
  int64_t quitAfterTicks = 0;
  if (args.size() == 2 && args[0] == "--quit-after-ticks") {
    try {
      quitAfterTicks = std::stoll(args[1]);
    } catch (...) {
      quitAfterTicks = -1;
    }
    if (quitAfterTicks <= 0) {
      std::fprintf(stderr, "tarq: --quit-after-ticks needs a positive number\n");
      return 2;
    }
  } else if (!args.empty()) {
    std::fprintf(stderr, "tarq: unknown arguments; the game takes none (see docs/headless.md for --headless)\n");
    return 2;
  }
  return RunWindow(quitAfterTicks);
}

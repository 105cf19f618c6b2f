#pragma once
#include <SDL.h>

namespace tarq::testing {

// The GL tests share one video subsystem on SDL's offscreen driver (no display
// needed), started once and left running with one hidden GL window that keeps the GL
// driver loaded: unloading it between tests would drop allocations of the driver's own,
// which the leak checker then reports. Inline, so every test file of the program
// shares the same one.
inline void StartOffscreenVideo() {
  static const bool started = [] {
    SDL_SetHint(SDL_HINT_VIDEODRIVER, "offscreen");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
    SDL_CreateWindow("TARQ", 0, 0, 16, 16, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    return true;
  }();
  (void)started;
}

}  // namespace tarq::testing

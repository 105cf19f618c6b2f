// Keyboard, mouse and game controllers through SDL2. The platform's event loop pumps
// SDL's events; this source only reads the resulting state.
#include <SDL.h>

#include <algorithm>
#include <vector>

#include "input/game_controller_map.h"
#include "input/input_devices.h"
#include "input/scan_codes.h"

namespace tarq {

namespace {

class SdlInputSource : public InputSource {
 public:
  ~SdlInputSource() override { Close(); }

  int Open(bool keyboard, bool mouse, bool joysticks) override {
    if (keyboard && SDL_WasInit(SDL_INIT_VIDEO) == 0 && SDL_InitSubSystem(SDL_INIT_EVENTS) != 0) return -3;
    mouse_ = mouse;
    if (joysticks) {
      if (SDL_InitSubSystem(SDL_INIT_JOYSTICK) != 0) return -12;
      joystick_subsystem_ = true;
    }
    return 0;
  }

  void Close() override {
    pads_.CloseAll();
    for (SDL_Joystick* j : open_) SDL_JoystickClose(j);
    open_.clear();
    if (joystick_subsystem_) SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
    joystick_subsystem_ = false;
  }

  int ReadKeyboard(std::array<uint8_t, 256>& keys) override {
    int count = 0;
    const Uint8* state = SDL_GetKeyboardState(&count);
    if (state == nullptr) return -14;
    keys.fill(0);
    for (int sc = 0; sc < count; ++sc) {
      if (!state[sc]) continue;
      const uint8_t code = SetOneFromSdlScancode(sc);
      if (code != 0) keys[code] = 0x80;
    }
    return 0;
  }

  int ReadMouse(int32_t& dx, int32_t& dy, std::array<uint8_t, 8>& buttons) override {
    int x = 0, y = 0;
    const Uint32 mask = SDL_GetRelativeMouseState(&x, &y);
    dx = x;
    dy = y;
    for (int i = 0; i < 8; ++i) buttons[i] = (mask & SDL_BUTTON(i + 1)) ? 0x80 : 0;
    return 0;
  }

  int ReadJoysticks(std::vector<TJoystick>& joysticks) override {
    if (!joystick_subsystem_) return 0;
    SDL_JoystickUpdate();
    // Drop controllers that were unplugged; keep the others in attach order.
    for (size_t i = open_.size(); i-- > 0;) {
      if (!SDL_JoystickGetAttached(open_[i])) {
        pads_.Forget(open_[i]);
        SDL_JoystickClose(open_[i]);
        open_.erase(open_.begin() + static_cast<std::ptrdiff_t>(i));
      }
    }
    // Pick up controllers that were plugged in, appending them.
    const int n = SDL_NumJoysticks();
    for (int d = 0; d < n; ++d) {
      const SDL_JoystickID id = SDL_JoystickGetDeviceInstanceID(d);
      const bool known = std::any_of(open_.begin(), open_.end(),
                                     [id](SDL_Joystick* j) { return SDL_JoystickInstanceID(j) == id; });
      if (known) continue;
      if (SDL_Joystick* j = SDL_JoystickOpen(d)) open_.push_back(j);
    }
    joysticks.resize(open_.size());
    for (size_t i = 0; i < open_.size(); ++i) Read(open_[i], joysticks[i]);
    return 0;
  }

 private:
  void Read(SDL_Joystick* j, TJoystick& out) {
    // A pad SDL knows is read in the standard layout (game_controller_map.h).
    if (pads_.Read(j, out)) return;
    out.AxisCount = std::max(0, SDL_JoystickNumAxes(j));
    out.ButtonCount = std::max(0, SDL_JoystickNumButtons(j));
    out.PovCount = std::max(0, SDL_JoystickNumHats(j));
    JoystickState& s = out.State;
    s = JoystickState{};
    int32_t* axes[] = {&s.X, &s.Y, &s.Z, &s.RX, &s.RY, &s.RZ, &s.Sliders[0], &s.Sliders[1]};
    for (int a = 0; a < std::min(out.AxisCount, 8); ++a) *axes[a] = SDL_JoystickGetAxis(j, a);
    for (int b = 0; b < std::min(out.ButtonCount, 128); ++b)
      s.Buttons[b] = SDL_JoystickGetButton(j, b) ? 0x80 : 0;
    // Hats as point-of-view angles in hundredths of a degree, 0xFFFFFFFF when centred.
    for (int h = 0; h < std::min(out.PovCount, 4); ++h) {
      const Uint8 hat = SDL_JoystickGetHat(j, h);
      static const int kAngles[16] = {-1, 0, 9000, 4500, 18000, -1, 13500, -1,
                                      27000, 31500, -1, -1, 22500, -1, -1, -1};
      s.POV[h] = static_cast<uint32_t>(kAngles[hat & 15]);
    }
  }

  std::vector<SDL_Joystick*> open_;
  GameControllerLayouts pads_;
  bool mouse_ = false;
  bool joystick_subsystem_ = false;
};

}  // namespace

std::unique_ptr<InputSource> MakeSdlInputSource() { return std::make_unique<SdlInputSource>(); }

}  // namespace tarq

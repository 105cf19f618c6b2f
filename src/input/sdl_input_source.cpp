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

constexpr int kJoystickReacquireFailed = -22;
constexpr uint32_t kPovCentred = 0xFFFFFFFFu;

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
    for (SDL_Joystick* j : open_) {
      if (j != nullptr) SDL_JoystickClose(j);
    }
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
    // A pad that is unplugged keeps its slot, so no other pad moves up to its number
    // and its player gets it back when a pad is plugged in again.
    for (SDL_Joystick*& j : open_) {
      if (j != nullptr && !SDL_JoystickGetAttached(j)) {
        pads_.Forget(j);
        SDL_JoystickClose(j);
        j = nullptr;
      }
    }
    // Pads plugged in take the first free slot, else a new one at the end.
    const int n = SDL_NumJoysticks();
    for (int d = 0; d < n; ++d) {
      const SDL_JoystickID id = SDL_JoystickGetDeviceInstanceID(d);
      const bool known = std::any_of(open_.begin(), open_.end(), [id](SDL_Joystick* j) {
        return j != nullptr && SDL_JoystickInstanceID(j) == id;
      });
      if (known) continue;
      if (SDL_Joystick* j = SDL_JoystickOpen(d)) {
        const auto free_slot = std::find(open_.begin(), open_.end(), nullptr);
        if (free_slot != open_.end()) {
          *free_slot = j;
        } else {
          open_.push_back(j);
        }
      }
    }
    joysticks.resize(open_.size());
    int result = 0;
    for (size_t i = 0; i < open_.size(); ++i) {
      if (open_[i] != nullptr) {
        Read(open_[i], joysticks[i]);
      } else {
        // An empty slot reads centred with no buttons. The missing pad is reported as
        // a pad that cannot be acquired again; the other pads are still read.
        joysticks[i].State = JoystickState{};
        joysticks[i].State.POV.fill(kPovCentred);
        if (result == 0) result = kJoystickReacquireFailed;
      }
    }
    return result;
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

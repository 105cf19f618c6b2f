#include "input/game_controller_map.h"

#include <algorithm>

namespace tarq {

namespace {

// Trigger travel beyond this counts as the trigger button pressed; the same threshold
// as the game's stick dead zone.
constexpr int kTriggerPressed = 16383;

struct ButtonMap {
  SDL_GameControllerButton Standard;
  int Number;
};

constexpr ButtonMap kButtons[] = {
    {SDL_CONTROLLER_BUTTON_A, kPadSouth},
    {SDL_CONTROLLER_BUTTON_B, kPadEast},
    {SDL_CONTROLLER_BUTTON_X, kPadWest},
    {SDL_CONTROLLER_BUTTON_Y, kPadNorth},
    {SDL_CONTROLLER_BUTTON_LEFTSHOULDER, kPadLeftShoulder},
    {SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, kPadRightShoulder},
    {SDL_CONTROLLER_BUTTON_BACK, kPadBack},
    {SDL_CONTROLLER_BUTTON_START, kPadStart},
    {SDL_CONTROLLER_BUTTON_LEFTSTICK, kPadLeftStick},
    {SDL_CONTROLLER_BUTTON_RIGHTSTICK, kPadRightStick},
    {SDL_CONTROLLER_BUTTON_GUIDE, kPadGuide},
};

bool Pressed(SDL_GameController* pad, SDL_GameControllerButton b) { return SDL_GameControllerGetButton(pad, b) != 0; }

// A stick axis with the d-pad's pair of directions on top: a pressed direction holds
// the axis at its end.
int32_t Steer(int32_t stick, bool negative, bool positive) {
  if (negative && !positive) return -32768;
  if (positive && !negative) return 32767;
  return stick;
}

}  // namespace

void ReadStandardLayout(SDL_GameController* pad, TJoystick& out) {
  out.AxisCount = 6;
  out.ButtonCount = kPadButtonCount;
  out.PovCount = 1;
  JoystickState& s = out.State;
  s = JoystickState{};
  const bool up = Pressed(pad, SDL_CONTROLLER_BUTTON_DPAD_UP);
  const bool down = Pressed(pad, SDL_CONTROLLER_BUTTON_DPAD_DOWN);
  const bool left = Pressed(pad, SDL_CONTROLLER_BUTTON_DPAD_LEFT);
  const bool right = Pressed(pad, SDL_CONTROLLER_BUTTON_DPAD_RIGHT);
  s.X = Steer(SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_LEFTX), left, right);
  s.Y = Steer(SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_LEFTY), up, down);
  s.RX = SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_RIGHTX);
  s.RY = SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_RIGHTY);
  s.Z = SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_TRIGGERLEFT);
  s.RZ = SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_TRIGGERRIGHT);
  for (const ButtonMap& b : kButtons) s.Buttons[static_cast<size_t>(b.Number)] = Pressed(pad, b.Standard) ? 0x80 : 0;
  s.Buttons[kPadLeftTrigger] = s.Z > kTriggerPressed ? 0x80 : 0;
  s.Buttons[kPadRightTrigger] = s.RZ > kTriggerPressed ? 0x80 : 0;
  // The hat in hundredths of a degree clockwise from up; all ones when centred.
  const int dx = (right ? 1 : 0) - (left ? 1 : 0);
  const int dy = (down ? 1 : 0) - (up ? 1 : 0);
  static const uint32_t kAngles[3][3] = {{31500, 0, 4500}, {27000, 0xFFFFFFFFu, 9000}, {22500, 18000, 13500}};
  s.POV[0] = kAngles[dy + 1][dx + 1];
}

bool GameControllerLayouts::Read(SDL_Joystick* joystick, TJoystick& out) {
  const SDL_JoystickID id = SDL_JoystickInstanceID(joystick);
  auto it = std::find_if(entries_.begin(), entries_.end(), [id](const Entry& e) { return e.Id == id; });
  if (it == entries_.end()) {
    Entry e;
    e.Id = id;
    if (!subsystem_ && SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) == 0) subsystem_ = true;
    if (subsystem_) {
      for (int d = 0; d < SDL_NumJoysticks(); ++d) {
        if (SDL_JoystickGetDeviceInstanceID(d) != id) continue;
        if (SDL_IsGameController(d)) e.Pad = SDL_GameControllerOpen(d);
        break;
      }
    }
    entries_.push_back(e);
    it = entries_.end() - 1;
  }
  if (it->Pad == nullptr) return false;
  ReadStandardLayout(it->Pad, out);
  return true;
}

void GameControllerLayouts::Forget(SDL_Joystick* joystick) {
  const SDL_JoystickID id = SDL_JoystickInstanceID(joystick);
  for (size_t i = entries_.size(); i-- > 0;) {
    if (entries_[i].Id != id) continue;
    if (entries_[i].Pad) SDL_GameControllerClose(entries_[i].Pad);
    entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(i));
  }
}

void GameControllerLayouts::CloseAll() {
  for (const Entry& e : entries_) {
    if (e.Pad) SDL_GameControllerClose(e.Pad);
  }
  entries_.clear();
  if (subsystem_) SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
  subsystem_ = false;
}

}  // namespace tarq

#pragma once
// Game pads in the standard layout. The game's bindings name raw joystick numbers
// (button 0 fire, 1 jump, 4 nuke, 9 pause, axes 0 and 1 to fly), which on Linux differ
// from pad to pad. For every pad SDL's game-controller mapping database knows, the
// joystick record is filled from the pad's standard controls instead, in the numbering
// of a classic PC pad: the south face button is 0, east 1, west 2, north 3, the left
// and right shoulders 4 and 5, the triggers 6 and 7, Back 8, Start 9, the stick
// presses 10 and 11, Guide 12. The left stick and the d-pad both steer axes X and Y
// (the d-pad wins while pressed); the right stick is RX and RY, the triggers Z and RZ;
// the d-pad is also point-of-view hat 0. Pads without a mapping keep their raw numbers.
#include <SDL.h>

#include <cstdint>
#include <vector>

#include "input/input_devices.h"

namespace tarq {

// Button numbers of the standard layout.
enum PadButton : int {
  kPadSouth = 0,
  kPadEast = 1,
  kPadWest = 2,
  kPadNorth = 3,
  kPadLeftShoulder = 4,
  kPadRightShoulder = 5,
  kPadLeftTrigger = 6,
  kPadRightTrigger = 7,
  kPadBack = 8,
  kPadStart = 9,
  kPadLeftStick = 10,
  kPadRightStick = 11,
  kPadGuide = 12,
  kPadButtonCount = 13,
};

// Fills `out` from a mapped pad's standard controls (counts, axes, buttons, hat).
void ReadStandardLayout(SDL_GameController* pad, TJoystick& out);

// The mapped pads among the open joysticks. Read() is asked for each joystick every
// update; the first time it sees a joystick it opens it as a game controller when SDL
// has a mapping for it (and remembers when it has none).
class GameControllerLayouts {
 public:
  GameControllerLayouts() = default;
  ~GameControllerLayouts() { CloseAll(); }
  GameControllerLayouts(const GameControllerLayouts&) = delete;
  GameControllerLayouts& operator=(const GameControllerLayouts&) = delete;

  // True when `joystick` is a mapped pad and `out` now holds its standard layout;
  // false for a raw joystick (the caller reads its raw numbers).
  bool Read(SDL_Joystick* joystick, TJoystick& out);
  // The joystick is about to be closed (unplugged).
  void Forget(SDL_Joystick* joystick);
  // Closes every pad (the joysticks themselves stay with their owner).
  void CloseAll();

 private:
  struct Entry {
    SDL_JoystickID Id = -1;
    SDL_GameController* Pad = nullptr;  // null: no mapping for this joystick
  };
  std::vector<Entry> entries_;
  bool subsystem_ = false;
};

}  // namespace tarq

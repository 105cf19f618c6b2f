#pragma once
// Player controls: bindings made of four-character control codes, evaluated once per
// tick into held flags and once-per-press flags.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "input/input_devices.h"

namespace tarq {

// Order of the ten controls of each player in ControlBindings.
enum ControlIndex : int {
  kCtlUp = 0,
  kCtlDown,
  kCtlLeft,
  kCtlRight,
  kCtlFire,
  kCtlJump,
  kCtlSeventh,
  kCtlNuke,
  kCtlPause,
  kCtlTenth,
  kControlsPerPlayer
};

using ControlBindingTable = std::array<std::array<std::string, kControlsPerPlayer>, 2>;

// The built-in bindings (also the configuration file's defaults).
const ControlBindingTable& DefaultControlBindings();

// The sixteen configurable bindings in control-options order: PL1Up .. PL1Pause, then
// PL2Up .. PL2Pause. Maps index 0..15 to (player, ControlIndex) and the ini key.
struct ConfigurableControl {
  int player;
  ControlIndex control;
  const char* key;
};
const std::array<ConfigurableControl, 16>& ConfigurableControls();

struct ControlState {
  uint8_t UpHeld = 0, UpPressed = 0, UpLatch = 0;
  uint8_t DownHeld = 0, DownPressed = 0, DownLatch = 0;
  uint8_t LeftHeld = 0;
  uint8_t RightHeld = 0;
  uint8_t FireHeld = 0, FirePressed = 0, FireLatch = 0;
  uint8_t JumpPressed = 0, JumpLatch = 0;
  uint8_t SeventhPressed = 0, SeventhLatch = 0;
  uint8_t NukeHeld = 0;
  uint8_t PausePressed = 0, PauseLatch = 0;
  uint8_t TenthHeld = 0;
};

// 256 display names indexed by scan code.
const std::array<std::string, 256>& KeyNameTable();

// Mouse movement taken at the start of DoControls (always 0 in the game).
struct MouseMove {
  int32_t X = 0;
  int32_t Y = 0;
};

bool GetControl(const TInputDevices& input, const MouseMove& mouse, std::string_view binding);
void DoControls(TInputDevices& input, const ControlBindingTable& bindings,
                std::array<ControlState, 2>& states, MouseMove& mouse);
std::string DecodeControl(std::string_view binding);
std::string WhichControl(TInputDevices& input);

// What the blocking redefinition needs from the platform while it waits. There is no
// way to run the wait without one: the window must go on receiving its events (and
// its keyboard state with them), or the wait could never end.
class RedefineHost {
 public:
  virtual ~RedefineHost() = default;
  // Draws the prompt frame once, before the wait.
  virtual void ShowPrompt() = 0;
  // Called before every poll of the devices: delivers the platform's pending events.
  // False ends the wait at once (the window is closing, or no input can come any more).
  virtual bool Pump() = 0;
};

// The blocking capture of a new input for configurable binding `index` (0..15): waits
// for Enter to be let go, captures whatever is then pressed (Backspace alone clears the
// binding, Esc alone restores the built-in one, anything else is added as one more
// alternative), then waits until everything is released. Returns false when the host
// ended the wait early; a capture already made is kept.
bool RedefineControl(TInputDevices& input, ControlBindingTable& bindings, int index,
                     RedefineHost& host);

}  // namespace tarq

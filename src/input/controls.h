#pragma once
// Player controls: bindings made of four-character control codes, evaluated once per
// tick into held flags and once-per-press flags.
#include <array>
#include <cstdint>
#include <functional>
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

// The blocking capture of a new input for configurable binding `index` (0..15).
// `showPrompt` draws the prompt frame; `pump` lets the platform deliver events between
// polls (and may return false to abandon the wait, e.g. when the window closes).
void RedefineControl(TInputDevices& input, ControlBindingTable& bindings, int index,
                     const std::function<void()>& showPrompt, const std::function<bool()>& pump);

}  // namespace tarq

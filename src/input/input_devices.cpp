#include "input/input_devices.h"

#include <cctype>

// Error codes of TInputDevices, as far as they can occur with SDL:
//   -1  invalid call (already initialised)
//   -2  the input system could not be started
//   -3  keyboard unavailable
//   -12 the game-controller subsystem or a controller could not be opened
//   -13/-14 keyboard state could not be read
//   -21..-23 a controller could not be read

namespace tarq {

namespace {
constexpr uint8_t kDown = 0x80;

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}
}  // namespace

void ScriptedInputSource::ReleaseAll() {
  Keys.fill(0);
  MouseButtons.fill(0);
  MouseDX = MouseDY = 0;
  for (auto& j : Joysticks) j = JoystickState{};
}

bool ScriptedInputSource::Hold(const char* code) {
  if (code == nullptr) return false;
  char c[4];
  for (int i = 0; i < 4; ++i) {
    if (code[i] == '\0') return false;
    c[i] = static_cast<char>(std::toupper(static_cast<unsigned char>(code[i])));
  }
  if (c[0] == 'K') {
    const int hi = HexDigit(c[2]);
    const int lo = HexDigit(c[3]);
    if (hi < 0 || lo < 0) return false;
    Keys[hi * 16 + lo] = kDown;
    return true;
  }
  if (c[0] == 'J') {
    // Pads 10 .. 15 (A .. F) are only ever captured by the key-redefinition prompt.
    const int pad = HexDigit(c[1]);
    if (pad < 0) return false;
    const size_t n = static_cast<size_t>(pad);
    JoystickState* j = nullptr;
    auto joystick = [&]() -> JoystickState& {
      if (Joysticks.size() <= n) Joysticks.resize(n + 1);
      return Joysticks[n];
    };
    if (c[2] == 'B') {
      const int b = HexDigit(c[3]);
      if (b < 0) return false;
      j = &joystick();
      j->Buttons[b] = kDown;
      return true;
    }
    if ((c[2] == 'X' || c[2] == 'Y') && (c[3] == '-' || c[3] == '+')) {
      j = &joystick();
      const int32_t v = c[3] == '-' ? -32768 : 32767;
      (c[2] == 'X' ? j->X : j->Y) = v;
      return true;
    }
    return false;
  }
  if (c[0] == 'M') {
    if (c[2] == 'B') {
      const int b = HexDigit(c[3]);
      if (b < 0 || b > 7) return false;
      MouseButtons[b] = kDown;
      return true;
    }
    if ((c[2] == 'X' || c[2] == 'Y') && (c[3] == '-' || c[3] == '+')) {
      (c[2] == 'X' ? MouseDX : MouseDY) = c[3] == '-' ? -1 : 1;
      return true;
    }
  }
  return false;
}

int ScriptedInputSource::ReadKeyboard(std::array<uint8_t, 256>& keys) {
  keys = Keys;
  return 0;
}

int ScriptedInputSource::ReadMouse(int32_t& dx, int32_t& dy, std::array<uint8_t, 8>& buttons) {
  dx = MouseDX;
  dy = MouseDY;
  buttons = MouseButtons;
  return 0;
}

int ScriptedInputSource::ReadJoysticks(std::vector<TJoystick>& joysticks) {
  joysticks.resize(Joysticks.size());
  for (size_t i = 0; i < Joysticks.size(); ++i) {
    joysticks[i].ButtonCount = 128;
    joysticks[i].AxisCount = 2;
    joysticks[i].PovCount = 0;
    joysticks[i].State = Joysticks[i];
  }
  return 0;
}

TInputDevices::TInputDevices(std::unique_ptr<InputSource> source) : source_(std::move(source)) {}

void TInputDevices::SetMouseBufSize(int32_t v) {
  if (v >= 1 && v <= 256) mouse_buf_size_ = v;
}

void TInputDevices::SetSource(std::unique_ptr<InputSource> source) {
  if (initialized_) Finalize();
  source_ = std::move(source);
}

int TInputDevices::Initialize() {
  if (initialized_) return -1;
  if (!source_) source_ = MakeSdlInputSource();
  if (!source_) return -2;
  KeyState.fill(0);
  MouseDown.fill(0);
  MouseUp.fill(0);
  MouseDeltaX = MouseDeltaY = 0;
  joysticks_.clear();
  const int rc = source_->Open(DoKeyboard, DoMouse, DoJoystick);
  if (rc != 0) return rc;
  initialized_ = true;
  return 0;
}

int TInputDevices::Finalize() {
  const bool was = initialized_;
  if (source_ && was) source_->Close();
  joysticks_.clear();
  initialized_ = false;
  return was ? 0 : -1;
}

int TInputDevices::Update() {
  if (!initialized_ || !source_) return -1;
  if (DoKeyboard) {
    const int rc = source_->ReadKeyboard(KeyState);
    if (rc != 0) return rc;
  }
  if (DoMouse) {
    std::array<uint8_t, 8> buttons{};
    const int rc = source_->ReadMouse(MouseDeltaX, MouseDeltaY, buttons);
    if (rc != 0) return rc;
    for (int i = 0; i < 8; ++i) {
      MouseDown[i] = (buttons[i] & kDown) ? 1 : 0;
      MouseUp[i] = MouseDown[i] ? 0 : 1;
    }
  } else {
    MouseDeltaX = MouseDeltaY = 0;
  }
  const int rc = DoJoystick ? source_->ReadJoysticks(joysticks_) : 0;
  // A joystick slot that cannot be read still leaves the other devices' state read.
  if (Observer) Observer->InputRead(*this);
  return rc;
}

bool TInputDevices::KeyDown(int32_t scanCode) const {
  if (scanCode < 0 || scanCode > 255) return false;
  return (KeyState[scanCode] & kDown) != 0;
}

int32_t TInputDevices::MouseButton(int32_t index) const {
  if (!DoMouse || index < 0 || index > 7) return 0;
  return MouseDown[index];
}

const TJoystick* TInputDevices::Joystick(int32_t index) const {
  if (index < 0 || index >= JoystickCount()) return nullptr;
  return &joysticks_[index];
}

}  // namespace tarq

#pragma once
// Polled keyboard, mouse and joysticks. Keys are addressed by PC set-1 scan codes
// (extended keys + 0x80, so Cursor Up is 0xC8); a key or button is down when bit 7 of
// its byte is set; joystick axes run -32768..32767.
//
// The device state comes from an InputSource: SDL for the real game, or a scripted
// source that the headless runner and the tests set directly.
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace tarq {

struct JoystickState {
  int32_t X = 0, Y = 0, Z = 0, RX = 0, RY = 0, RZ = 0;
  std::array<int32_t, 2> Sliders{};
  std::array<uint32_t, 4> POV{};
  std::array<uint8_t, 128> Buttons{};
};

class TJoystick {
 public:
  int32_t ButtonCount = 0;
  int32_t AxisCount = 0;
  int32_t PovCount = 0;
  JoystickState State;
};

// Where device state comes from. Every method returns 0 or a negative error code of
// TInputDevices (see input_devices.cpp).
class InputSource {
 public:
  virtual ~InputSource() = default;
  virtual int Open(bool keyboard, bool mouse, bool joysticks) = 0;
  virtual void Close() = 0;
  virtual int ReadKeyboard(std::array<uint8_t, 256>& keys) = 0;
  // Mouse movement since the last read and the button states (bit 7 = down).
  virtual int ReadMouse(int32_t& dx, int32_t& dy, std::array<uint8_t, 8>& buttons) = 0;
  // Brings the joystick list up to date (controllers plugged in or out) and reads each.
  virtual int ReadJoysticks(std::vector<TJoystick>& joysticks) = 0;
};

// A source whose state is set directly: headless runs, replays and tests.
class ScriptedInputSource : public InputSource {
 public:
  std::array<uint8_t, 256> Keys{};
  std::array<uint8_t, 8> MouseButtons{};
  int32_t MouseDX = 0, MouseDY = 0;
  std::vector<JoystickState> Joysticks;

  // Releases every key, button and axis (the joysticks stay attached).
  void ReleaseAll();
  // Holds the input named by one four-character control code ("KB1E", "J0B0", "J1X-").
  // Joysticks are attached as needed. Returns false for a code it cannot hold.
  bool Hold(const char* code);

  int Open(bool, bool, bool) override { return 0; }
  void Close() override {}
  int ReadKeyboard(std::array<uint8_t, 256>& keys) override;
  int ReadMouse(int32_t& dx, int32_t& dy, std::array<uint8_t, 8>& buttons) override;
  int ReadJoysticks(std::vector<TJoystick>& joysticks) override;
};

// The SDL2 source; defined in sdl_input_source.cpp. Needs SDL's video/joystick
// subsystems initialised by the caller.
std::unique_ptr<InputSource> MakeSdlInputSource();

class TInputDevices;

// Told after every device read (TInputDevices::Update): the replay recorder notes what
// the game sees.
class InputObserver {
 public:
  virtual ~InputObserver() = default;
  virtual void InputRead(const TInputDevices& input) = 0;
};

class TInputDevices {
 public:
  explicit TInputDevices(std::unique_ptr<InputSource> source = nullptr);

  bool DoKeyboard = true;
  bool DoMouse = false;
  bool DoJoystick = false;
  int32_t MouseBufSize() const { return mouse_buf_size_; }
  void SetMouseBufSize(int32_t v);

  void SetSource(std::unique_ptr<InputSource> source);
  InputSource* Source() { return source_.get(); }

  int Initialize();
  int Finalize();
  int Update();
  bool Initialized() const { return initialized_; }

  bool KeyDown(int32_t scanCode) const;
  int32_t MouseButton(int32_t index) const;
  int32_t JoystickCount() const { return static_cast<int32_t>(joysticks_.size()); }
  const TJoystick* Joystick(int32_t index) const;

  std::array<uint8_t, 256> KeyState{};
  std::array<uint8_t, 8> MouseDown{};
  std::array<uint8_t, 8> MouseUp{};
  int32_t MouseDeltaX = 0;
  int32_t MouseDeltaY = 0;
  // Null, or told after every successful read.
  InputObserver* Observer = nullptr;

 private:
  std::unique_ptr<InputSource> source_;
  std::vector<TJoystick> joysticks_;
  int32_t mouse_buf_size_ = 16;
  bool initialized_ = false;
};

}  // namespace tarq

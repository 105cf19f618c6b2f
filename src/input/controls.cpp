#include "input/controls.h"

#include <cctype>
#include <cstdio>

namespace tarq {

namespace {

constexpr int32_t kDeadZone = 16383;  // axes beyond +-16383 count as pushed

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  const char u = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (u >= 'A' && u <= 'F') return u - 'A' + 10;
  return -1;
}

char Upper(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }

// One four-character code; characters beyond the end of the binding read as '\0'.
struct Code {
  char c[4] = {0, 0, 0, 0};
};

Code CodeAt(std::string_view binding) {
  Code code;
  for (size_t i = 0; i < 4 && i < binding.size(); ++i) code.c[i] = binding[i];
  return code;
}

// Axis part of a joystick or mouse code: 'X' or 'Y' with a sign '-' or '+'.
bool AxisPart(const Code& code, char& axis, char& sign) {
  axis = Upper(code.c[2]);
  sign = code.c[3];
  return (axis == 'X' || axis == 'Y') && (sign == '-' || sign == '+');
}

bool CodeActive(const TInputDevices& input, const MouseMove& mouse, const Code& code) {
  switch (Upper(code.c[0])) {
    case 'K': {
      const int hi = HexDigit(code.c[2]);
      const int lo = HexDigit(code.c[3]);
      return hi >= 0 && lo >= 0 && input.KeyDown(hi * 16 + lo);
    }
    case 'J': {
      if (code.c[1] < '0' || code.c[1] > '9') return false;
      const TJoystick* j = input.Joystick(code.c[1] - '0');
      if (Upper(code.c[2]) == 'B') {
        const int b = HexDigit(code.c[3]);
        return b >= 0 && j != nullptr && j->State.Buttons[b] > 63;
      }
      char axis, sign;
      if (!AxisPart(code, axis, sign)) return false;
      // A missing joystick's axes count as centred.
      const int32_t v = j == nullptr ? 0 : (axis == 'X' ? j->State.X : j->State.Y);
      return sign == '-' ? v < -kDeadZone : v > kDeadZone;
    }
    case 'M': {
      if (Upper(code.c[2]) == 'B') {
        const int b = HexDigit(code.c[3]);
        return b >= 0 && input.MouseButton(b) != 0;
      }
      char axis, sign;
      if (!AxisPart(code, axis, sign)) return false;
      const int32_t v = axis == 'X' ? mouse.X : mouse.Y;
      return sign == '-' ? v < 0 : v > 0;
    }
    default:
      return false;
  }
}

// The edge rule: Pressed is 1 on exactly one tick per activation.
void Edge(bool active, uint8_t& pressed, uint8_t& latch) {
  if (!active) {
    pressed = 0;
    latch = 0;
  } else if (latch) {
    pressed = 0;
  } else {
    latch = 1;
    pressed = 1;
  }
}

// Button or axis part of a J or M code, e.g. "button 1" or "Y axis -"; empty when
// malformed.
std::string PartText(const Code& code) {
  if (Upper(code.c[2]) == 'B') {
    const int b = HexDigit(code.c[3]);
    return b < 0 ? std::string() : "button " + std::to_string(b + 1);
  }
  char axis, sign;
  if (!AxisPart(code, axis, sign)) return {};
  return std::string(1, axis) + " axis " + sign;
}

// Display text of one code; empty for a malformed code.
std::string CodeText(const Code& code) {
  switch (Upper(code.c[0])) {
    case 'J': {
      if (code.c[1] < '0' || code.c[1] > '9') return {};
      const std::string part = PartText(code);
      return part.empty() ? part : "Joystick " + std::to_string(code.c[1] - '0' + 1) + " " + part;
    }
    case 'K': {
      const int hi = HexDigit(code.c[2]);
      const int lo = HexDigit(code.c[3]);
      return hi < 0 || lo < 0 ? std::string() : KeyNameTable()[hi * 16 + lo];
    }
    case 'M': {
      const std::string part = PartText(code);
      return part.empty() ? part : "Mouse " + part;
    }
    default:
      return {};
  }
}

std::string Trim(const std::string& s) {
  const size_t a = s.find_first_not_of(' ');
  if (a == std::string::npos) return {};
  const size_t b = s.find_last_not_of(' ');
  return s.substr(a, b - a + 1);
}

bool EndsWith(const std::string& s, std::string_view tail) {
  return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace

const ControlBindingTable& DefaultControlBindings() {
  static const ControlBindingTable table = {{
      {"J0Y-", "J0Y+", "J0X-", "J0X+", "J0B0", "J0B1", "J0B5", "J0B4", "J0B9", "J0B3"},
      {"J1Y-KBC8", "J1Y+KBD0", "J1X-KBCB", "J1X+KBCD", "J1B0KB1E", "J1B1KB1F", "J1B5KB21", "J1B4KB20",
       "J1B9KB19", "J1B3KB2F"},
  }};
  return table;
}

const std::array<ConfigurableControl, 16>& ConfigurableControls() {
  static const std::array<ConfigurableControl, 16> list = {{
      {0, kCtlUp, "PL1Up"},       {0, kCtlDown, "PL1Down"}, {0, kCtlLeft, "PL1Left"},
      {0, kCtlRight, "PL1Right"}, {0, kCtlFire, "PL1Fire"}, {0, kCtlJump, "PL1Jump"},
      {0, kCtlNuke, "PL1Nuke"},   {0, kCtlPause, "PL1Pause"}, {1, kCtlUp, "PL2Up"},
      {1, kCtlDown, "PL2Down"},   {1, kCtlLeft, "PL2Left"}, {1, kCtlRight, "PL2Right"},
      {1, kCtlFire, "PL2Fire"},   {1, kCtlJump, "PL2Jump"}, {1, kCtlNuke, "PL2Nuke"},
      {1, kCtlPause, "PL2Pause"},
  }};
  return list;
}

const std::array<std::string, 256>& KeyNameTable() {
  static const std::array<std::string, 256> table = [] {
    std::array<std::string, 256> t;
    for (int i = 0; i < 256; ++i) t[i] = "Key " + std::to_string(i);
    static const struct {
      int code;
      const char* text;
    } kNames[] = {
        {0x01, "Esc"},         {0x02, "1"},           {0x03, "2"},
        {0x04, "3"},           {0x05, "4"},           {0x06, "5"},
        {0x07, "6"},           {0x08, "7"},           {0x09, "8"},
        {0x0A, "9"},           {0x0B, "0"},           {0x0C, "-"},
        {0x0D, "="},           {0x0E, "Backspace"},   {0x0F, "Tab"},
        {0x10, "Q"},           {0x11, "W"},           {0x12, "E"},
        {0x13, "R"},           {0x14, "T"},           {0x15, "Y"},
        {0x16, "U"},           {0x17, "I"},           {0x18, "O"},
        {0x19, "P"},           {0x1A, "["},           {0x1B, "]"},
        {0x1C, "Enter"},       {0x1D, "Left Ctrl"},   {0x1E, "A"},
        {0x1F, "S"},           {0x20, "D"},           {0x21, "F"},
        {0x22, "G"},           {0x23, "H"},           {0x24, "J"},
        {0x25, "K"},           {0x26, "L"},           {0x27, ";"},
        {0x28, "'"},           {0x29, "Tilde"},       {0x2A, "Left Shift"},
        {0x2B, "\\"},          {0x2C, "Z"},           {0x2D, "X"},
        {0x2E, "C"},           {0x2F, "V"},           {0x30, "B"},
        {0x31, "N"},           {0x32, "M"},           {0x33, ","},
        {0x34, "."},           {0x35, "/"},           {0x36, "Right Shift"},
        {0x37, "Numpad *"},    {0x38, "Left Alt"},    {0x39, "Space Bar"},
        {0x3A, "Caps Lock"},   {0x3B, "F1"},          {0x3C, "F2"},
        {0x3D, "F3"},          {0x3E, "F4"},          {0x3F, "F5"},
        {0x40, "F6"},          {0x41, "F7"},          {0x42, "F8"},
        {0x43, "F9"},          {0x44, "F10"},         {0x45, "Num Lock"},
        {0x46, "Scroll Lock"}, {0x47, "Numpad 7"},    {0x48, "Numpad 8"},
        {0x49, "Numpad 9"},    {0x4A, "Numpad -"},    {0x4B, "Numpad 4"},
        {0x4C, "Numpad 5"},    {0x4D, "Numpad 6"},    {0x4E, "Numpad +"},
        {0x4F, "Numpad 1"},    {0x50, "Numpad 2"},    {0x51, "Numpad 3"},
        {0x52, "Numpad 0"},    {0x53, "Numpad ."},    {0x57, "F11"},
        {0x58, "F12"},         {0x9C, "Numpad Enter"}, {0x9D, "Right Ctrl"},
        {0xB5, "Numpad /"},    {0xB7, "Prtscr"},      {0xB8, "Right Alt"},
        {0xC5, "Pause"},       {0xC7, "Home"},        {0xC8, "Cursor Up"},
        {0xC9, "Page Up"},     {0xCB, "Cursor Left"}, {0xCD, "Cursor Right"},
        {0xCF, "End"},         {0xD0, "Cursor Down"}, {0xD1, "Page Down"},
        {0xD2, "Insert"},      {0xD3, "Delete"},      {0xDB, "Left Win"},
        {0xDC, "Right Win"},   {0xDD, "Menu"},
    };
    for (const auto& n : kNames) t[n.code] = n.text;
    return t;
  }();
  return table;
}

bool GetControl(const TInputDevices& input, const MouseMove& mouse, std::string_view binding) {
  bool result = false;
  do {
    if (CodeActive(input, mouse, CodeAt(binding))) result = true;
    binding.remove_prefix(std::min<size_t>(4, binding.size()));
  } while (binding.size() > 3);
  return result;
}

void DoControls(TInputDevices& input, const ControlBindingTable& bindings,
                std::array<ControlState, 2>& states, MouseMove& mouse) {
  input.Update();
  mouse.X = input.MouseDeltaX;
  mouse.Y = input.MouseDeltaY;
  for (int p = 0; p < 2; ++p) {
    const auto& b = bindings[p];
    ControlState& s = states[p];
    auto held = [&](ControlIndex c) -> uint8_t { return GetControl(input, mouse, b[c]) ? 1 : 0; };
    s.UpHeld = held(kCtlUp);
    s.DownHeld = held(kCtlDown);
    s.LeftHeld = held(kCtlLeft);
    s.RightHeld = held(kCtlRight);
    s.FireHeld = held(kCtlFire);
    s.NukeHeld = held(kCtlNuke);
    s.TenthHeld = held(kCtlTenth);
    Edge(s.FireHeld, s.FirePressed, s.FireLatch);
    Edge(held(kCtlPause), s.PausePressed, s.PauseLatch);
    Edge(held(kCtlJump), s.JumpPressed, s.JumpLatch);
    Edge(held(kCtlSeventh), s.SeventhPressed, s.SeventhLatch);
    Edge(s.UpHeld, s.UpPressed, s.UpLatch);
    Edge(s.DownHeld, s.DownPressed, s.DownLatch);
  }
}

std::string DecodeControl(std::string_view binding) {
  if (binding.size() <= 3) return "Undefined";
  std::string text;
  // Separators are written only between codes that decode to something, so a
  // malformed code never leaves a dangling ", or".
  do {
    const std::string code = CodeText(CodeAt(binding));
    if (!code.empty()) text = Trim(text + code);
    binding.remove_prefix(std::min<size_t>(4, binding.size()));
    if (!code.empty()) {
      if (binding.size() > 4) text += ", ";
      if (binding.size() == 4) text += ", or ";
    }
  } while (binding.size() > 3);
  text = Trim(text);
  if (EndsWith(text, ",")) text.pop_back();
  if (EndsWith(text, ", or")) text.resize(text.size() - 4);
  if (text.empty()) return "Undefined";
  return text + ".";
}

std::string WhichControl(TInputDevices& input) {
  input.Update();
  std::string text;
  char buf[24];  // room for any int the formats could print
  for (int code = 0; code < 256; ++code) {
    if (!input.KeyDown(code)) continue;
    std::snprintf(buf, sizeof buf, "KB%02X", code);
    text += buf;
  }
  // A joystick number is one hexadecimal digit, so only the first sixteen can be captured.
  const int joysticks = std::min(input.JoystickCount(), 16);
  for (int i = 0; i < joysticks; ++i) {
    const TJoystick* j = input.Joystick(i);
    for (int b = 0; b < 16; ++b) {
      if (j->State.Buttons[b] <= 63) continue;
      std::snprintf(buf, sizeof buf, "J%XB%X", i, b);
      text += buf;
    }
  }
  for (int i = 0; i < joysticks; ++i) {
    const JoystickState& s = input.Joystick(i)->State;
    auto axis = [&](const char* part, bool on) {
      if (!on) return;
      std::snprintf(buf, sizeof buf, "J%X%s", i, part);
      text += buf;
    };
    axis("X-", s.X < -kDeadZone);
    axis("X+", s.X > kDeadZone);
    axis("Y-", s.Y < -kDeadZone);
    axis("Y+", s.Y > kDeadZone);
  }
  return text;
}

bool RedefineControl(TInputDevices& input, ControlBindingTable& bindings, int index,
                     RedefineHost& host) {
  if (index < 0 || index >= 16) return true;
  const ConfigurableControl& target = ConfigurableControls()[index];
  std::string& binding = bindings[target.player][target.control];
  host.ShowPrompt();
  // Let go of the Enter key that opened the prompt first.
  do {
    if (!host.Pump()) return false;
    input.Update();
  } while (input.KeyDown(0x1C));
  do {
    if (!host.Pump()) return false;
  } while (WhichControl(input).empty());
  std::string captured = WhichControl(input);
  if (captured == "KB0E") {  // Backspace alone clears the binding
    binding.clear();
    captured.clear();
  } else if (captured == "KB01") {  // Esc alone restores the built-in binding
    binding = DefaultControlBindings()[target.player][target.control];
    captured.clear();
  }
  binding += captured;
  // Wait until everything is released, so the capture does not also act in the menu.
  do {
    if (!host.Pump()) return false;
  } while (!WhichControl(input).empty());
  return true;
}

}  // namespace tarq

#include <gtest/gtest.h>

#include <set>

#include "input/controls.h"
#include "input/scan_codes.h"

#include <SDL_scancode.h>

namespace tarq {
namespace {

// Input devices fed by a scripted source, as the headless runner uses them.
struct ScriptedInput {
  ScriptedInput() {
    auto src = std::make_unique<ScriptedInputSource>();
    source = src.get();
    devices.SetSource(std::move(src));
    devices.DoJoystick = true;
    EXPECT_EQ(devices.Initialize(), 0);
  }
  bool Active(std::string_view binding) {
    devices.Update();
    return GetControl(devices, MouseMove{}, binding);
  }
  ScriptedInputSource* source;
  TInputDevices devices;
};

TEST(DecodeControl, RendersEveryExampleBinding) {
  EXPECT_EQ(DecodeControl("J0Y-"), "Joystick 1 Y axis -.");
  EXPECT_EQ(DecodeControl("J1B0KB1E"), "Joystick 2 button 1, or A.");
  EXPECT_EQ(DecodeControl("J0B0J0B1KB1E"), "Joystick 1 button 1, Joystick 1 button 2, or A.");
  EXPECT_EQ(DecodeControl("KBC8"), "Cursor Up.");
  EXPECT_EQ(DecodeControl("KB54"), "Key 84.");
  EXPECT_EQ(DecodeControl(""), "Undefined");
  EXPECT_EQ(DecodeControl("J0B"), "Undefined");
  EXPECT_EQ(DecodeControl("M0BF"), "Mouse button 16.");
  EXPECT_EQ(DecodeControl("kb1e"), "A.");  // letters and hex digits in either case
  // A trailing partial code is ignored, as when testing the binding.
  EXPECT_EQ(DecodeControl("KB1EX"), "A.");
}

TEST(DecodeControl, MalformedCodesDecodeToNothing) {
  EXPECT_EQ(DecodeControl("JAB0"), "Undefined");  // joystick number must be a digit
  EXPECT_EQ(DecodeControl("KBZZ"), "Undefined");  // not hexadecimal
  EXPECT_EQ(DecodeControl("J0Q+"), "Undefined");
  EXPECT_EQ(DecodeControl("KB1EJAB0"), "A.");
  EXPECT_EQ(DecodeControl("JAB0KB1E"), "A.");
  EXPECT_EQ(DecodeControl("KB1EJAB0KB1F"), "A, S.");
}

TEST(GetControl, KeysJoysticksAndDeadZone) {
  ScriptedInput in;
  EXPECT_FALSE(in.Active(""));
  EXPECT_FALSE(in.Active("J0Y-"));  // no joystick attached: axes count as centred
  in.source->Hold("KB1E");
  EXPECT_TRUE(in.Active("KB1E"));
  EXPECT_TRUE(in.Active("J1B0KB1E"));
  EXPECT_TRUE(in.Active("KB1EX"));   // five characters: tested on the first code
  EXPECT_FALSE(in.Active("KB1"));    // too short to name a key
  EXPECT_FALSE(in.Active("XB1E"));   // unknown device letter

  in.source->Joysticks.resize(1);
  auto& j = in.source->Joysticks[0];
  j.X = -16383;
  EXPECT_FALSE(in.Active("J0X-"));
  j.X = -16384;
  EXPECT_TRUE(in.Active("J0X-"));
  EXPECT_TRUE(in.Active("J0X-J0X+"));
  j.X = 16383;
  EXPECT_FALSE(in.Active("J0X-J0X+"));
  j.X = 16384;
  EXPECT_TRUE(in.Active("J0X-J0X+"));
  j.Buttons[3] = 63;
  EXPECT_FALSE(in.Active("J0B3"));
  j.Buttons[3] = 64;
  EXPECT_TRUE(in.Active("J0B3"));
  EXPECT_FALSE(in.Active("JXB3"));  // malformed joystick number never active
}

TEST(DoControls, PressedFlagsLatchUntilRelease) {
  ScriptedInput in;
  ControlBindingTable bindings = DefaultControlBindings();
  std::array<ControlState, 2> states{};
  MouseMove mouse;
  int presses = 0;
  for (int tick = 0; tick < 10; ++tick) {
    in.source->ReleaseAll();
    in.source->Hold("KB1E");
    DoControls(in.devices, bindings, states, mouse);
    EXPECT_TRUE(states[1].FireHeld);
    presses += states[1].FirePressed;
    EXPECT_FALSE(states[0].FireHeld);
  }
  EXPECT_EQ(presses, 1);
  in.source->ReleaseAll();
  DoControls(in.devices, bindings, states, mouse);
  EXPECT_FALSE(states[1].FireHeld);
  EXPECT_FALSE(states[1].FirePressed);
  in.source->Hold("KB1E");
  in.source->Hold("KB1F");
  in.source->Hold("KBC8");
  DoControls(in.devices, bindings, states, mouse);
  EXPECT_TRUE(states[1].FirePressed);
  EXPECT_TRUE(states[1].JumpPressed);
  EXPECT_TRUE(states[1].UpPressed);
  EXPECT_TRUE(states[1].UpHeld);
  DoControls(in.devices, bindings, states, mouse);
  EXPECT_FALSE(states[1].JumpPressed);
  EXPECT_FALSE(states[1].UpPressed);
}

TEST(WhichControl, CapturesKeysThenButtonsThenAxes) {
  ScriptedInput in;
  EXPECT_EQ(WhichControl(in.devices), "");
  in.source->Hold("KB1E");
  in.source->Hold("KB0E");
  in.source->Hold("J1B2");
  in.source->Hold("J0Y+");
  EXPECT_EQ(WhichControl(in.devices), "KB0EKB1EJ1B2J0Y+");
}

// A host that plays back one input state per poll, then either keeps everything
// released for a few polls before it gives up, or gives up at once (`giveUp`).
struct PlaybackHost : RedefineHost {
  PlaybackHost(ScriptedInputSource& source, std::vector<std::vector<const char*>> polls,
               bool giveUp)
      : source(source), polls(std::move(polls)), giveUp(giveUp) {}
  void ShowPrompt() override { prompted = true; }
  bool Pump() override {
    if (poll < polls.size()) {
      source.ReleaseAll();
      for (const char* code : polls[poll]) source.Hold(code);
      ++poll;
      return true;
    }
    if (giveUp) return false;
    source.ReleaseAll();
    return poll++ < polls.size() + 4;
  }
  ScriptedInputSource& source;
  std::vector<std::vector<const char*>> polls;
  bool giveUp;
  size_t poll = 0;
  bool prompted = false;
};

// Runs RedefineControl on binding `index` starting from `start`.
std::string Redefine(int index, std::string start, std::vector<std::vector<const char*>> polls,
                     bool* finished = nullptr) {
  ScriptedInput in;
  ControlBindingTable bindings = DefaultControlBindings();
  const auto& c = ConfigurableControls()[index];
  bindings[c.player][c.control] = std::move(start);
  PlaybackHost host(*in.source, std::move(polls), finished != nullptr);
  const bool done = RedefineControl(in.devices, bindings, index, host);
  if (finished) *finished = done;
  EXPECT_TRUE(host.prompted);
  return bindings[c.player][c.control];
}

TEST(RedefineControl, AppendsClearsAndRestores) {
  // Enter still held from the menu, then A pressed and released.
  EXPECT_EQ(Redefine(4, "J0B0", {{"KB1C"}, {}, {"KB1E"}, {"KB1E"}}), "J0B0KB1E");
  EXPECT_EQ(Redefine(4, "J0B0KB1E", {{}, {"KB01"}, {"KB01"}}), "J0B0");
  EXPECT_EQ(Redefine(12, "J1B0KB1E", {{}, {"KB0E"}, {"KB0E"}}), "");
  // Backspace together with A is not a clear: both are appended.
  EXPECT_EQ(Redefine(0, "J0Y-", {{}, {"KB0E", "KB1E"}, {"KB0E", "KB1E"}}), "J0Y-KB0EKB1E");
}

TEST(RedefineControl, EndsWhenTheHostGivesUp) {
  bool finished = true;
  // Enter never let go: the wait ends when the host stops it, the binding untouched.
  std::vector<std::vector<const char*>> enterHeld(3, {"KB1C"});
  EXPECT_EQ(Redefine(4, "J0B0", enterHeld, &finished), "J0B0");
  EXPECT_FALSE(finished);
  // A key captured but never released: the capture is kept.
  std::vector<std::vector<const char*>> neverReleased = {{}, {"KB1E"}, {"KB1E"}};
  EXPECT_EQ(Redefine(4, "J0B0", neverReleased, &finished), "J0B0KB1E");
  EXPECT_FALSE(finished);
}

TEST(KeyNames, TableAndKeyboardMapping) {
  const auto& names = KeyNameTable();
  EXPECT_EQ(names[0x01], "Esc");
  EXPECT_EQ(names[84], "Key 84");
  EXPECT_EQ(names[0x2B], "\\");
  EXPECT_EQ(names[0xDD], "Menu");
  // Every named key is reachable from some SDL scancode, and no two different
  // named keys share a code.
  std::set<int> reached;
  for (int sc = 0; sc < SDL_NUM_SCANCODES; ++sc) {
    const int code = SetOneFromSdlScancode(sc);
    if (code != 0) reached.insert(code);
  }
  for (int code = 1; code < 256; ++code) {
    if (names[code] != "Key " + std::to_string(code)) {
      EXPECT_TRUE(reached.count(code)) << names[code];
    }
  }
  EXPECT_EQ(SetOneFromSdlScancode(SDL_SCANCODE_UP), 0xC8);
  EXPECT_EQ(SetOneFromSdlScancode(SDL_SCANCODE_A), 0x1E);
  EXPECT_EQ(SetOneFromSdlScancode(SDL_SCANCODE_KP_ENTER), 0x9C);
  EXPECT_EQ(SetOneFromSdlScancode(-1), 0);
  EXPECT_EQ(SetOneFromSdlScancode(SDL_NUM_SCANCODES), 0);
}

TEST(InputDevices, LifecycleAndRanges) {
  TInputDevices devices(std::make_unique<ScriptedInputSource>());
  EXPECT_EQ(devices.Finalize(), -1);
  EXPECT_EQ(devices.Initialize(), 0);
  EXPECT_EQ(devices.Initialize(), -1);
  EXPECT_EQ(devices.JoystickCount(), 0);
  EXPECT_EQ(devices.Joystick(0), nullptr);
  EXPECT_FALSE(devices.KeyDown(0));
  EXPECT_FALSE(devices.KeyDown(256));
  EXPECT_EQ(devices.MouseButton(8), 0);
  EXPECT_EQ(devices.MouseButton(-1), 0);
  devices.SetMouseBufSize(0);
  devices.SetMouseBufSize(300);
  EXPECT_EQ(devices.MouseBufSize(), 16);
  EXPECT_EQ(devices.Finalize(), 0);
}

}  // namespace
}  // namespace tarq

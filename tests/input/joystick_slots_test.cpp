// Joysticks keep their numbers when one is unplugged: SDL's virtual joysticks stand in
// for two game pads, read through the SDL input source as the game reads them.
#include <SDL.h>
#include <gtest/gtest.h>

#include "input/controls.h"
#include "input/input_devices.h"

namespace tarq {
namespace {

class JoystickSlots : public ::testing::Test {
 protected:
  void SetUp() override {
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_JOYSTICK), 0) << SDL_GetError();
    input.DoJoystick = true;
    input.SetSource(MakeSdlInputSource());
    ASSERT_EQ(input.Initialize(), 0);
  }
  void TearDown() override {
    input.Finalize();
    for (SDL_Joystick*& j : handles) {
      if (j != nullptr) SDL_JoystickClose(j);
    }
    while (SDL_NumJoysticks() > 0) SDL_JoystickDetachVirtual(0);
    SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
  }

  // Plugs in a pad with two axes and ten buttons; the handle sets its state.
  SDL_Joystick* Plug() {
    const int index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, 2, 10, 0);
    EXPECT_GE(index, 0) << SDL_GetError();
    SDL_Joystick* j = SDL_JoystickOpen(index);
    EXPECT_NE(j, nullptr) << SDL_GetError();
    handles.push_back(j);
    return j;
  }
  void Unplug(SDL_Joystick*& j) {
    const SDL_JoystickID id = SDL_JoystickInstanceID(j);
    for (int d = 0; d < SDL_NumJoysticks(); ++d) {
      if (SDL_JoystickGetDeviceInstanceID(d) == id) SDL_JoystickDetachVirtual(d);
    }
    SDL_JoystickClose(j);
    j = nullptr;
  }
  static void Press(SDL_Joystick* j, int16_t x, bool fire) {
    SDL_JoystickSetVirtualAxis(j, 0, x);
    SDL_JoystickSetVirtualButton(j, 0, fire ? SDL_PRESSED : SDL_RELEASED);
  }
  std::array<ControlState, 2> Controls() {
    std::array<ControlState, 2> states{};
    MouseMove mouse;
    DoControls(input, DefaultControlBindings(), states, mouse);
    return states;
  }

  TInputDevices input;
  std::vector<SDL_Joystick*> handles;
};

TEST_F(JoystickSlots, UnpluggingTheFirstPadLeavesTheSecondWithItsPlayer) {
  SDL_Joystick* pad1 = Plug();
  SDL_Joystick* pad2 = Plug();
  Press(pad1, -32768, false);  // player 1 steers left
  Press(pad2, 32767, true);    // player 2 steers right and fires
  ASSERT_EQ(input.Update(), 0);
  ASSERT_EQ(input.JoystickCount(), 2);
  auto s = Controls();
  EXPECT_TRUE(s[0].LeftHeld);
  EXPECT_TRUE(s[1].RightHeld);
  EXPECT_TRUE(s[1].FireHeld);

  // Unplugged, pad 1 reads centred with no buttons and keeps its number; Update
  // reports the missing pad and pad 2 still belongs to player 2.
  Unplug(handles[0]);
  EXPECT_EQ(input.Update(), -22);
  ASSERT_EQ(input.JoystickCount(), 2);
  EXPECT_EQ(input.Joystick(0)->State.X, 0);
  EXPECT_EQ(input.Joystick(0)->State.Buttons[0], 0);
  EXPECT_EQ(input.Joystick(1)->State.X, 32767);
  s = Controls();
  EXPECT_FALSE(s[0].LeftHeld);
  EXPECT_FALSE(s[0].RightHeld);
  EXPECT_FALSE(s[0].FireHeld);
  EXPECT_TRUE(s[1].RightHeld);
  EXPECT_TRUE(s[1].FireHeld);

  // Plugged back in, the pad takes the free slot: player 1 has it again.
  SDL_Joystick* again = Plug();
  Press(again, -32768, true);
  EXPECT_EQ(input.Update(), 0);
  ASSERT_EQ(input.JoystickCount(), 2);
  s = Controls();
  EXPECT_TRUE(s[0].LeftHeld);
  EXPECT_TRUE(s[0].FireHeld);
  EXPECT_TRUE(s[1].RightHeld);
}

}  // namespace
}  // namespace tarq

// Game pads through SDL's virtual joysticks: a pad with a game-controller mapping is
// read in the standard layout whatever its raw numbers; one without keeps them. The
// virtual joysticks are plain ones, each given a mapping of its own the way SDL's
// database gives one to a known pad.
#include "input/game_controller_map.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include "input/controls.h"
#include "input/input_devices.h"

namespace tarq {
namespace {

// A database line for the pad: its GUID without the name checksum (database lines
// never carry one), a name and the bindings.
std::string MappingFor(SDL_Joystick* pad, const std::string& bindings) {
  SDL_JoystickGUID guid = SDL_JoystickGetGUID(pad);
  guid.data[2] = 0;
  guid.data[3] = 0;
  char text[64];
  SDL_JoystickGetGUIDString(guid, text, sizeof text);
  return std::string(text) + ",Test pad," + bindings;
}

class VirtualPads : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(SDL_Init(SDL_INIT_JOYSTICK | SDL_INIT_GAMECONTROLLER), 0) << SDL_GetError();
    source_ = MakeSdlInputSource();
    ASSERT_EQ(source_->Open(false, false, true), 0);
    ASSERT_EQ(source_->ReadJoysticks(before_), 0);
  }
  void TearDown() override {
    for (SDL_Joystick* j : handles_) SDL_JoystickClose(j);
    for (int index : attached_) SDL_JoystickDetachVirtual(index);
    source_.reset();
    SDL_Quit();
  }
  // Attaches a virtual joystick and opens a handle of our own to move its controls.
  SDL_Joystick* Attach(SDL_JoystickType type, int axes, int buttons, int hats) {
    const int index = SDL_JoystickAttachVirtual(type, axes, buttons, hats);
    EXPECT_GE(index, 0) << SDL_GetError();
    attached_.push_back(index);
    SDL_Joystick* j = SDL_JoystickOpen(index);
    handles_.push_back(j);
    return j;
  }
  // The game's view of the joystick attached `n`-th (after any real ones).
  const TJoystick& Read(size_t n) {
    EXPECT_EQ(source_->ReadJoysticks(now_), 0);
    EXPECT_GT(now_.size(), before_.size() + n);
    return now_[before_.size() + n];
  }

  std::unique_ptr<InputSource> source_;
  std::vector<TJoystick> before_, now_;
  std::vector<int> attached_;
  std::vector<SDL_Joystick*> handles_;
};

TEST_F(VirtualPads, AMappedPadPresentsTheStandardLayout) {
  SDL_Joystick* pad = Attach(SDL_JOYSTICK_TYPE_UNKNOWN, 6, 11, 1);
  ASSERT_NE(pad, nullptr);
  // A pad whose raw numbers are nothing like the layout the game expects.
  const std::string mapping =
      MappingFor(pad, "a:b5,b:b6,x:b7,y:b8,leftshoulder:b1,rightshoulder:b2,back:b3,start:b0,leftstick:b9,"
                      "rightstick:b10,guide:b4,dpup:h0.1,dpright:h0.2,dpdown:h0.4,dpleft:h0.8,leftx:a2,lefty:a3,"
                      "rightx:a0,righty:a1,lefttrigger:a4,righttrigger:a5,");
  ASSERT_GE(SDL_GameControllerAddMapping(mapping.c_str()), 0) << SDL_GetError();

  TJoystick j = Read(0);
  EXPECT_EQ(j.ButtonCount, kPadButtonCount);
  EXPECT_EQ(j.AxisCount, 6);
  EXPECT_EQ(j.PovCount, 1);
  EXPECT_EQ(j.State.POV[0], 0xFFFFFFFFu);

  // South (raw 5) is button 0, east (raw 6) 1, left shoulder (raw 1) 4, Start (raw 0) 9.
  const struct {
    int raw;
    int designed;
  } presses[] = {{5, kPadSouth}, {6, kPadEast}, {1, kPadLeftShoulder}, {0, kPadStart}, {8, kPadNorth}, {2, kPadRightShoulder}};
  for (const auto& p : presses) {
    SDL_JoystickSetVirtualButton(pad, p.raw, SDL_PRESSED);
    j = Read(0);
    for (int b = 0; b < kPadButtonCount; ++b) {
      EXPECT_EQ(j.State.Buttons[static_cast<size_t>(b)], b == p.designed ? 0x80 : 0) << "raw " << p.raw << " b" << b;
    }
    SDL_JoystickSetVirtualButton(pad, p.raw, SDL_RELEASED);
  }

  // The left stick (raw axes 2 and 3) is X and Y.
  SDL_JoystickSetVirtualAxis(pad, 2, -30000);
  SDL_JoystickSetVirtualAxis(pad, 3, 20000);
  SDL_JoystickSetVirtualAxis(pad, 0, 12345);  // right stick x
  j = Read(0);
  EXPECT_LT(j.State.X, -16383);
  EXPECT_GT(j.State.Y, 16383);
  EXPECT_NEAR(j.State.RX, 12345, 2);
  // The d-pad steers too, and wins while pressed.
  SDL_JoystickSetVirtualHat(pad, 0, SDL_HAT_RIGHTUP);
  j = Read(0);
  EXPECT_EQ(j.State.X, 32767);
  EXPECT_EQ(j.State.Y, -32768);
  EXPECT_EQ(j.State.POV[0], 4500u);
  SDL_JoystickSetVirtualHat(pad, 0, SDL_HAT_CENTERED);
  SDL_JoystickSetVirtualAxis(pad, 2, 0);
  SDL_JoystickSetVirtualAxis(pad, 3, 0);
  // A trigger pulled past half way is button 6 (left) or 7 (right).
  SDL_JoystickSetVirtualAxis(pad, 5, 32767);
  j = Read(0);
  EXPECT_EQ(j.State.Buttons[kPadRightTrigger], 0x80);
  EXPECT_EQ(j.State.Buttons[kPadLeftTrigger], 0);
  EXPECT_EQ(j.State.X, 0);
}

TEST_F(VirtualPads, TheDesignedBindingsLandOnTheStandardControls) {
  SDL_Joystick* pad = Attach(SDL_JOYSTICK_TYPE_UNKNOWN, 6, 11, 1);
  ASSERT_GE(SDL_GameControllerAddMapping(
                MappingFor(pad, "a:b3,b:b2,leftshoulder:b7,start:b6,dpleft:h0.8,leftx:a0,lefty:a1,").c_str()),
            0);
  // The game's own devices over SDL, read as the tick reads them.
  source_.reset();
  TInputDevices input(MakeSdlInputSource());
  input.DoJoystick = true;
  ASSERT_EQ(input.Initialize(), 0);
  const size_t slot = before_.size();
  ASSERT_EQ(input.Update(), 0);
  ASSERT_GT(static_cast<size_t>(input.JoystickCount()), slot);
  auto active = [&](const std::string& code) {
    EXPECT_EQ(input.Update(), 0);
    std::string c = code;
    c[1] = static_cast<char>('0' + slot);  // the pad's joystick number
    return GetControl(input, MouseMove{}, c);
  };
  // Player 1's defaults: Fire J0B0, Jump J0B1, Nuke J0B4, Pause J0B9; Left J0X-.
  const struct {
    int raw;
    const char* code;
  } controls[] = {{3, "J0B0"}, {2, "J0B1"}, {7, "J0B4"}, {6, "J0B9"}};
  for (const auto& c : controls) {
    EXPECT_FALSE(active(c.code)) << c.code;
    SDL_JoystickSetVirtualButton(pad, c.raw, SDL_PRESSED);
    EXPECT_TRUE(active(c.code)) << c.code;
    SDL_JoystickSetVirtualButton(pad, c.raw, SDL_RELEASED);
  }
  EXPECT_FALSE(active("J0X-"));
  SDL_JoystickSetVirtualHat(pad, 0, SDL_HAT_LEFT);
  EXPECT_TRUE(active("J0X-"));
  SDL_JoystickSetVirtualHat(pad, 0, SDL_HAT_CENTERED);
  SDL_JoystickSetVirtualAxis(pad, 1, 32767);
  EXPECT_TRUE(active("J0Y+"));
  input.Finalize();
}

TEST_F(VirtualPads, APadWithoutAMappingKeepsItsRawNumbers) {
  SDL_Joystick* stick = Attach(SDL_JOYSTICK_TYPE_UNKNOWN, 3, 12, 0);
  ASSERT_NE(stick, nullptr);
  SDL_JoystickSetVirtualButton(stick, 11, SDL_PRESSED);
  SDL_JoystickSetVirtualAxis(stick, 1, -32768);
  const TJoystick& j = Read(0);
  EXPECT_EQ(j.ButtonCount, 12);
  EXPECT_EQ(j.AxisCount, 3);
  EXPECT_EQ(j.State.Buttons[11], 0x80);
  EXPECT_EQ(j.State.Buttons[0], 0);
  EXPECT_EQ(j.State.Y, -32768);
}

TEST_F(VirtualPads, AnUnpluggedPadIsLetGoAndTheNextOneIsMappedAfresh) {
  SDL_Joystick* pad = Attach(SDL_JOYSTICK_TYPE_UNKNOWN, 6, 11, 1);
  ASSERT_GE(SDL_GameControllerAddMapping(MappingFor(pad, "a:b4,b:b1,").c_str()), 0);
  SDL_JoystickSetVirtualButton(pad, 4, SDL_PRESSED);
  EXPECT_EQ(Read(0).State.Buttons[kPadSouth], 0x80);
  SDL_JoystickClose(pad);
  handles_.clear();
  SDL_JoystickDetachVirtual(attached_.back());
  attached_.clear();
  // Gone: whether its slot is kept or not, nothing of it reads as pressed.
  source_->ReadJoysticks(now_);
  for (size_t i = before_.size(); i < now_.size(); ++i) EXPECT_EQ(now_[i].State.Buttons[kPadSouth], 0);
  // Plugged in again (a new device to SDL): mapped again, in the unplugged pad's place.
  pad = Attach(SDL_JOYSTICK_TYPE_UNKNOWN, 6, 11, 1);
  SDL_JoystickSetVirtualButton(pad, 4, SDL_PRESSED);
  EXPECT_EQ(Read(0).State.Buttons[kPadSouth], 0x80);
  EXPECT_EQ(now_[before_.size()].State.Buttons[4], 0);
}

}  // namespace
}  // namespace tarq

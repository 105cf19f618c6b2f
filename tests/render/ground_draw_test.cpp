// Drawing of the ground, sea and installation kinds: which calls each kind makes in each
// of the four passes, alive and dead.
#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "gfx/draw_device.h"
#include "core/angles.h"
#include "game/game.h"
#include "render/enemy_draw.h"
#include "render/frame.h"

namespace tarq {
namespace {

// Records every call as one line of text: the operation, the image and the arguments.
class TextCanvas : public FrameCanvas {
 public:
  int32_t SpriteIndex(std::string_view name) override {
    auto [it, added] = sprites_.try_emplace(std::string(name), 100 + static_cast<int32_t>(sprites_.size()));
    return it->second;
  }
  void BeginScene() override {}
  void EndScene() override {}
  void Present() override {}
  void DrawImage(ImageRef image, int32_t x, int32_t y, int32_t pattern, int32_t effect) override {
    Add("I", image, {x, y, pattern, effect});
  }
  void DrawImageRotated(ImageRef image, int32_t x, int32_t y, int32_t angle, int32_t scale,
                        int32_t pattern, int32_t effect) override {
    Add("R", image, {x, y, angle, scale, pattern, effect});
  }
  void DrawImageRotatedColored(ImageRef image, int32_t x, int32_t y, int32_t angle, int32_t scale,
                               uint32_t colour, int32_t pattern, int32_t effect) override {
    Add("RC", image, {x, y, angle, scale, colour, pattern, effect});
  }
  void DrawQuad(ImageRef image, int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t x3,
                int32_t y3, int32_t x4, int32_t y4, int32_t pattern, int32_t effect) override {
    Add("Quad", image, {x1, y1, x2, y2, x3, y3, x4, y4, pattern, effect});
  }
  void DrawImageColored(ImageRef image, int32_t x, int32_t y, uint32_t colour, int32_t pattern,
                        int32_t effect) override {
    Add("IC", image, {x, y, colour, pattern, effect});
  }
  void Clear(uint32_t) override {}
  void FillBox(int32_t, int32_t, int32_t, int32_t, uint32_t, int32_t) override {}
  void Center(const std::string&, int32_t, int32_t, uint32_t, int32_t) override {}
  void Right(const std::string&, int32_t, int32_t, uint32_t, int32_t) override {}
  void Lft(const std::string&, int32_t, int32_t, uint32_t, int32_t) override {}
  void Lft2(const std::string&, int32_t, int32_t, uint32_t, int32_t) override {}
  int32_t TextWidth(int32_t, const std::string&, int32_t) override { return 0; }
  void SetClipRect(int32_t x, int32_t y, int32_t w, int32_t h) override {
    std::ostringstream line;
    line << "Clip " << x << ' ' << y << ' ' << w << ' ' << h;
    calls.push_back(line.str());
  }

  std::vector<std::string> calls;

 private:
  void Add(const char* op, ImageRef image, std::initializer_list<int64_t> args) {
    std::ostringstream line;
    line << op << ' ' << Name(image);
    for (int64_t a : args) line << ' ' << a;
    calls.push_back(line.str());
  }
  std::string Name(ImageRef image) const {
    for (const auto& [name, index] : sprites_)
      if (index == image.Index) return name;
    return "#" + std::to_string(image.Index);
  }
  std::map<std::string, int32_t> sprites_;
};

using Calls = std::vector<std::string>;

struct DrawCase {
  const char* name;
  EnemyRecord record;  // X, Y as map pixels with the scroll below
  Calls wrecks, shadows, ground, air;
};

EnemyRecord Unit(int32_t kind, double x, double y, auto&& adjust) {
  EnemyRecord e;
  e.Kind = kind;
  e.X = x + 0;       // ScrollX 0
  e.Y = y + 1000;    // ScrollY 1000
  e.Height = 0;
  adjust(e);
  return e;
}

constexpr int64_t kWhiteTint = 0xFFFFFF;
constexpr int64_t kRed = 0x4040FF;

TEST(GroundDrawing, EachKindDrawsItsPiecesInItsPasses) {
  FillAngleTables();
  const std::vector<DrawCase> cases = {
      {"tank alive: hull and a turret 14 pixels along its own heading",
       Unit(1, 100, 200, [](EnemyRecord& e) { e.Angle = 64; e.ParamA = 0; }),
       {},
       {"RC tank0b 101 201 64 256 0 0 2", "RC tank0b 102 202 64 256 0 0 2",
        "RC tank0b 103 203 64 256 0 0 2", "RC tank0b 104 204 64 256 0 0 2"},
       {"RC tank0b 100 200 64 256 16777215 0 2", "RC tank0t 101 187 0 256 0 0 2",
        "RC tank0t 102 188 0 256 0 0 2", "RC tank0t 103 189 0 256 0 0 2",
        "RC tank0t 100 186 0 256 16777215 0 2"},
       {}},
      {"tank dead: a crater of ParamC + 224",
       Unit(1, 100, 200, [](EnemyRecord& e) { e.Dead = true; e.ParamC = 10; }),
       {"R crater01 100 200 64 234 0 2"}, {}, {}, {}},
      {"jeep: wheel frame ParamC",
       Unit(25, 50, 60, [](EnemyRecord& e) { e.Angle = 10; e.ParamC = 1; e.Colour = kRed; }),
       {},
       {"RC enemyjeep 51 61 10 256 0 1 2", "RC enemyjeep 52 62 10 256 0 1 2",
        "RC enemyjeep 53 63 10 256 0 1 2", "RC enemyjeep 54 64 10 256 0 1 2"},
       {"RC enemyjeep 50 60 10 256 4210943 1 2"},
       {}},
      {"track mark: its image is the sprite number in IntA, alive or dead",
       Unit(89, 300, 400, [](EnemyRecord& e) { e.IntA = 7; e.ParamA = 1; e.Angle = 192; e.Dead = true; }),
       {"RC #7 300 400 192 256 16777215 1 2"}, {}, {}, {}},
      {"train engine", Unit(10, 300, 400, [](EnemyRecord& e) { e.ParamA = 1; }),
       {}, {}, {"RC train1 300 400 0 256 16777215 1 2"}, {}},
      {"carriage dead: nothing", Unit(11, 300, 400, [](EnemyRecord& e) { e.Dead = true; }),
       {}, {}, {}, {}},
      {"ground gun: recoil lifts it", Unit(4, 200, 100, [](EnemyRecord& e) { e.ParamC = 8; }),
       {}, {}, {}, {"IC camogun1 168 60 16777215 0 2"}},
      {"big gun: recoil up and left", Unit(6, 200, 100, [](EnemyRecord& e) { e.ParamC = 3; }),
       {}, {}, {}, {"IC biggun 162 62 16777215 0 2"}},
      {"ground bomb still buried: nothing",
       Unit(19, 200, 100, [](EnemyRecord& e) { e.Age = 49; e.IntA = 50; }), {}, {}, {}, {}},
      {"ground bomb risen",
       Unit(19, 200, 100, [](EnemyRecord& e) { e.Age = 50; e.IntA = 50; e.ParamA = 3; }),
       {}, {}, {"RC groundbomb 200 100 64 256 16777215 3 2"}, {}},
      {"ground cannon dead", Unit(20, 200, 100, [](EnemyRecord& e) { e.Dead = true; e.ParamC = 1; }),
       {"R crater01 200 100 64 225 0 2"}, {}, {}, {}},
      {"hatch cannon open near the left edge: the clip is clamped, the images are not",
       Unit(21, 10, 200, [](EnemyRecord& e) { e.ParamB = 31; e.ParamC = 9; }),
       {}, {},
       {"Clip 0 170 40 60", "IC groundcannon2b -20 170 16777215 0 2",
        "IC groundcannon2a -20 139 16777215 0 0", "IC groundcannon2a -20 231 16777215 1 0",
        "Clip 0 0 640 480", "IC groundcannon2b -20 170 16777215 4 2"},
       {}},
      {"hatch cannon dead: the empty pit and a crater",
       Unit(21, 100, 200, [](EnemyRecord& e) { e.Dead = true; }),
       {"I groundcannon2b 70 170 0 2", "R crater01 100 200 64 300 0 2"}, {}, {}, {}},
      {"rail launcher", Unit(22, 100, 200, [](EnemyRecord&) {}),
       {}, {}, {"RC raillauncher 100 200 64 256 16777215 0 2"}, {}},
      {"tarp gun: everywhere but the ground pass",
       Unit(23, 100, 200, [](EnemyRecord& e) { e.ParamC = 3; }),
       {"RC camogun1 100 213 64 256 16777215 0 2", "RC tarpgun 100 200 64 256 16777215 0 2"},
       {"RC camogun1 100 213 64 256 16777215 0 2", "RC tarpgun 100 200 64 256 16777215 0 2"},
       {},
       {"RC camogun1 100 213 64 256 16777215 0 2", "RC tarpgun 100 200 64 256 16777215 0 2"}},
      {"tarp gun dead: its crater, likewise",
       Unit(23, 100, 200, [](EnemyRecord& e) { e.Dead = true; e.ParamC = 5; }),
       {"R crater01 100 200 64 229 0 2"}, {"R crater01 100 200 64 229 0 2"}, {},
       {"R crater01 100 200 64 229 0 2"}},
      {"ground spitter", Unit(26, 100, 200, [](EnemyRecord& e) { e.ParamC = 1; }),
       {}, {"RC groundspitter 104 204 64 256 0 0 2"},
       {"RC groundspitter 100 200 64 256 16777215 1 2"}, {}},
      {"tech gun out on the right: mirrored",
       Unit(27, 300, 200, [](EnemyRecord& e) { e.ParamC = 1; }),
       {}, {}, {"IC tech1 236 168 16777215 0 514"}, {}},
      {"tech doors: pattern 1 slides right, drawn alive or dead",
       Unit(28, 300, 200, [](EnemyRecord& e) { e.ParamC = 1; e.ParamA = 12; e.Dead = true; e.Height = 256; }),
       {}, {}, {},
       {"Clip 280 172 39 56", "I techdoors 292 172 1 0", "Clip 0 0 640 480"}},
      {"water thing: shadow and size by height",
       Unit(32, 300, 200, [](EnemyRecord& e) { e.Height = 96; }),
       {}, {"RC waterthing1 316 216 64 192 0 0 2"}, {},
       {"RC waterthing1 300 200 64 208 16777215 0 2"}},
      {"airport shooter hopping",
       Unit(34, 300, 200, [](EnemyRecord& e) { e.Height = 150; }),
       {}, {"RC airportshooter 325 225 64 192 0 0 2"},
       {"RC airportshooter 300 200 64 256 16777215 0 2"}, {}},
      {"splash: scale IntB, colour IntC, added",
       Unit(35, 300, 200, [](EnemyRecord& e) { e.IntB = 300; e.IntC = 0x303030; }),
       {}, {}, {"RC splash 300 200 64 300 3158064 0 6"}, {}},
      {"hovercraft with its turret, doors part open",
       Unit(36, 300, 200, [](EnemyRecord& e) { e.ParamA = 10; }),
       {}, {},
       {"IC hovercraft1 255 138 16777215 0 2", "RC shellspitter 300 207 64 256 16777215 0 2",
        "Clip 275 191 49 31", "IC hovercraft1a 265 191 16777215 0 2",
        "IC hovercraft1a 310 191 16777215 0 2", "Clip 0 0 640 480"},
       {}},
      {"shell spitter flying", Unit(37, 300, 200, [](EnemyRecord& e) { e.Height = 256; }),
       {}, {"RC shellspitter 342 242 64 192 0 0 2"}, {},
       {"RC shellspitter 300 200 64 256 16777215 0 2"}},
      {"dome, closed", Unit(43, 300, 200, [](EnemyRecord&) {}),
       {}, {}, {}, {"I dome 251 159 0 0"}},
      {"dome, open: nothing", Unit(43, 300, 200, [](EnemyRecord& e) { e.ParamA = 1; }),
       {}, {}, {}, {}},
      {"missile tank", Unit(90, 300, 200, [](EnemyRecord& e) { e.Angle = 128; }),
       {}, {"RC missiletank 302 202 128 256 0 0 2"},
       {"RC missiletank 300 200 128 256 16777215 0 2"}, {}},
      {"missile tank dead: no crater at all",
       Unit(90, 300, 200, [](EnemyRecord& e) { e.Dead = true; }), {}, {}, {}, {}},
      {"big tank hatch: double size, alive or dead",
       Unit(98, 300, 200, [](EnemyRecord& e) { e.ParamA = 4; e.Dead = true; }),
       {}, {"RC bigtank 300 200 64 512 16777215 4 2"}, {},
       {"RC bigtank 300 200 64 512 16777215 4 2"}},
      {"big tank hull in four quarters",
       Unit(99, 300, 200, [](EnemyRecord& e) { e.Angle = 128; }),
       {},
       {"RC bigtank1 263 147 128 256 0 2 2", "RC bigtank1 359 147 128 256 0 0 2",
        "RC bigtank1 263 275 128 256 0 3 2", "RC bigtank1 359 275 128 256 0 1 2"},
       {"R bigtank1 252 200 128 256 2 2", "R bigtank1 348 200 128 256 0 2",
        "R bigtank1 252 264 128 256 3 2", "R bigtank1 348 264 128 256 1 2"},
       {}},
      {"big tank hull dead: a crater of ParamB + 480",
       Unit(99, 300, 200, [](EnemyRecord& e) { e.Dead = true; e.ParamB = 20; }),
       {"R crater01 300 200 64 500 0 2"}, {}, {}, {}},
  };
  for (const DrawCase& c : cases) {
    Game game;
    game.ScrollX = 0;
    game.ScrollY = 1000;
    game.EnemyList = {c.record};
    const std::pair<EnemyPass, const Calls*> passes[] = {{EnemyPass::Wrecks, &c.wrecks},
                                                         {EnemyPass::Shadows, &c.shadows},
                                                         {EnemyPass::Ground, &c.ground},
                                                         {EnemyPass::Air, &c.air}};
    for (const auto& [pass, expected] : passes) {
      TextCanvas canvas;
      Enemy_Draw(game, canvas, pass);
      EXPECT_EQ(canvas.calls, *expected) << c.name << ", pass " << static_cast<int>(pass);
    }
  }
}

}  // namespace
}  // namespace tarq

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <sstream>

#include "game/game.h"
#include "render/frame.h"

namespace tarq {
namespace {

// One drawing call as the canvas received it.
struct Call {
  std::string op;     // "image", "rotated", "rotatedColored", "quad", "center", "enemies", ...
  std::string image;  // sprite name, "tile<n>" or "sprite<n>"
  std::vector<int64_t> args;
  std::string text;
};

class RecordingCanvas : public FrameCanvas {
 public:
  RecordingCanvas() {
    const char* names[] = {"heli2", "rotors1", "playerbullet", "flare", "shield",
                           "bar1",  "powerups", "lives1",      "nuke"};
    int32_t index = 100;
    for (const char* n : names) sprites_[n] = index++;
  }
  int32_t SpriteIndex(std::string_view name) override {
    auto it = sprites_.find(std::string(name));
    return it == sprites_.end() ? 0 : it->second;
  }
  void BeginScene() override { calls.push_back({"begin"}); }
  void EndScene() override { calls.push_back({"end"}); }
  void Present() override { calls.push_back({"present"}); }
  void DrawImage(ImageRef image, int32_t x, int32_t y, int32_t pattern, int32_t effect) override {
    calls.push_back({"image", Name(image), {x, y, pattern, effect}});
  }
  void DrawImageRotated(ImageRef image, int32_t x, int32_t y, int32_t angle, int32_t scale,
                        int32_t pattern, int32_t effect) override {
    calls.push_back({"rotated", Name(image), {x, y, angle, scale, pattern, effect}});
  }
  void DrawImageRotatedColored(ImageRef image, int32_t x, int32_t y, int32_t angle, int32_t scale,
                               uint32_t colour, int32_t pattern, int32_t effect) override {
    calls.push_back({"rotatedColored", Name(image), {x, y, angle, scale, colour, pattern, effect}});
  }
  void DrawQuad(ImageRef image, int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t x3,
                int32_t y3, int32_t x4, int32_t y4, int32_t pattern, int32_t effect) override {
    calls.push_back({"quad", Name(image), {x1, y1, x2, y2, x3, y3, x4, y4, pattern, effect}});
  }
  void Center(const std::string& text, int32_t x, int32_t y, uint32_t colour,
              int32_t scale) override {
    calls.push_back({"center", "", {x, y, colour, scale}, text});
  }
  void DrawImageColored(ImageRef image, int32_t x, int32_t y, uint32_t colour, int32_t pattern,
                        int32_t effect) override {
    calls.push_back({"imageColored", Name(image), {x, y, colour, pattern, effect}});
  }
  void Clear(uint32_t colour) override { calls.push_back({"clear", "", {colour}}); }
  void FillBox(int32_t x, int32_t y, int32_t w, int32_t h, uint32_t colour,
               int32_t effect) override {
    calls.push_back({"fill", "", {x, y, w, h, colour, effect}});
  }
  void Right(const std::string& text, int32_t x, int32_t y, uint32_t colour,
             int32_t scale) override {
    calls.push_back({"right", "", {x, y, colour, scale}, text});
  }
  void Lft(const std::string& text, int32_t x, int32_t y, uint32_t colour,
           int32_t scale) override {
    calls.push_back({"lft", "", {x, y, colour, scale}, text});
  }
  void Lft2(const std::string& text, int32_t x, int32_t y, uint32_t colour,
            int32_t scale) override {
    calls.push_back({"lft2", "", {x, y, colour, scale}, text});
  }
  int32_t TextWidth(int32_t, const std::string& text, int32_t scale) override {
    return static_cast<int32_t>(text.size()) * 10 * scale / 256;
  }
  void SetClipRect(int32_t x, int32_t y, int32_t w, int32_t h) override {
    calls.push_back({"clip", "", {x, y, w, h}});
  }

  std::vector<Call> Of(const std::string& op, const std::string& image = "") const {
    std::vector<Call> out;
    for (const Call& c : calls)
      if (c.op == op && (image.empty() || c.image == image)) out.push_back(c);
    return out;
  }
  // Position of the first call matching op and image, or -1.
  ptrdiff_t First(const std::string& op, const std::string& image = "") const {
    for (size_t i = 0; i < calls.size(); ++i)
      if (calls[i].op == op && (image.empty() || calls[i].image == image))
        return static_cast<ptrdiff_t>(i);
    return -1;
  }

  std::vector<Call> calls;

 private:
  std::string Name(ImageRef image) const {
    if (image.Type == ImageRef::Kind::Tile) return "tile" + std::to_string(image.Index);
    for (const auto& [name, index] : sprites_)
      if (index == image.Index) return name;
    return "sprite" + std::to_string(image.Index);
  }
  std::map<std::string, int32_t> sprites_;
};

class FrameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    FillAngleTables();
    game.ScreenState = kScreenPlaying;
  }
  PlayerRecord& Join(int i) {
    PlayerRecord& p = game.Players[static_cast<size_t>(i)];
    JoinPlayer(p);
    return p;
  }
  void Draw() {
    canvas.calls.clear();
    Timer1Render(game, &canvas);
  }
  Game game;
  RecordingCanvas canvas;
};

TEST_F(FrameTest, LayersAreDrawnInTheirFixedOrder) {
  game.ScrollY = 0;
  game.Map.Set(0, 0, 0, 10);
  game.Map.Set(0, 0, 3, 11);
  Join(0);
  Join(1);
  game.EnemyBullets.push_back({});
  game.PlayerBullets.push_back({});
  Explosion_Add(game, 0, 0, 256, 1);
  Flare_Add(game, 0, 0, 256, 0, 0, 0, 255, 0, 10);
  game.NukeTimer = 100;
  game.InGameMenuSlide = 50;
  Draw();
  std::vector<std::string> order;
  for (const Call& c : canvas.calls) {
    std::string tag = c.op + ":" + c.image;
    if (c.op == "center") tag += c.text.substr(0, 6);
    if (order.empty() || order.back() != tag) order.push_back(tag);
  }
  const std::vector<std::string> want = {
      "begin:", "image:tile10", "rotatedColored:heli2", "rotated:rotors1",
      "rotatedColored:heli2", "rotated:rotors1", "image:tile11", "rotated:sprite0", "rotated:playerbullet", "rotatedColored:heli2",
      "rotated:rotors1", "rotatedColored:heli2", "rotated:rotors1", "rotatedColored:sprite3",
      "rotatedColored:flare", "quad:bar1", "rotated:lives1", "rotatedColored:nuke",
      "center:000000", "center:SHIELD", "quad:nuke",
      // The in-game menu over the darkening: items, volume bars, spectrum ("bar3").
      "center:RETURN", "center:SWITCH", "center:SOUND ", "quad:bar1", "center:MUSIC ", "quad:bar1",
      "center:QUIT T", "quad:sprite0", "end:", "present:"};
  EXPECT_EQ(order, want);
}

TEST_F(FrameTest, MapTilesFollowTheScrollAndSkipEmptyAndImagelessNumbers) {
  game.ScrollY = 100;  // first row 1, offset 36
  game.ScrollX = 0;
  game.Map.Set(1, 0, 0, 5);
  game.Map.Set(1, 0, 1, 1);     // never drawn
  game.Map.Set(2, 3, 2, 2048);  // no image: drawn as empty
  game.Map.Set(9, 10, 4, 77);   // last drawn row and column, overlay layer
  game.Map.Set(10, 0, 0, 88);   // below the drawn rows
  Join(0).X = 200;  // ScrollX 20
  Draw();
  const auto tiles = canvas.Of("image");
  ASSERT_EQ(tiles.size(), 2u);
  EXPECT_EQ(tiles[0].image, "tile5");
  EXPECT_EQ(tiles[0].args, (std::vector<int64_t>{-20, -36, 0, kEffectCopy}));
  EXPECT_EQ(tiles[1].image, "tile77");
  EXPECT_EQ(tiles[1].args, (std::vector<int64_t>{640 - 20, 64 * 8 - 36, 0, kEffectAlpha}));
}

TEST_F(FrameTest, HelicopterShadowAndGlowFollowAltitudeAndHeading) {
  PlayerRecord& p = Join(0);
  p.X = 300;
  p.Y = 200;
  p.Altitude = 512;
  p.Armour = 100;
  p.Colour = 0x4040FF;
  game.Paused = true;
  Draw();
  const auto bodies = canvas.Of("rotatedColored", "heli2");
  ASSERT_EQ(bodies.size(), 2u);
  // Shadow: 6 pixels behind the hub, shifted by 512 div 6 = 85, always at scale 192.
  EXPECT_EQ(bodies[0].args, (std::vector<int64_t>{385, 291, 0, 192, 0, 0, kEffectAlpha}));
  // Body: 8 pixels below the hub at heading 0, at the altitude's scale and tint.
  EXPECT_EQ(bodies[1].args, (std::vector<int64_t>{300, 208, 0, 512, 0x4040FF, 0, kEffectAlpha}));
  const auto rotors = canvas.Of("rotated", "rotors1");
  ASSERT_EQ(rotors.size(), 2u);
  EXPECT_EQ(rotors[0].args[0], 385);
  EXPECT_EQ(rotors[0].args[3], 192);
  EXPECT_EQ(rotors[0].args[5], kEffectDarken);
  EXPECT_EQ(rotors[1].args[3], 512);
  // Paused: a steady glow, two first-colour copies and one second-colour copy.
  const auto glow = canvas.Of("rotatedColored", "shield");
  ASSERT_EQ(glow.size(), 3u);
  EXPECT_EQ(glow[0].args, (std::vector<int64_t>{300, 200, 64, 614, 0xFFFFFF, 0, kEffectAlphaAdd}));
  EXPECT_EQ(glow[1].args[4], 0xFFFFFF);
  EXPECT_EQ(glow[2].args[2], 192);
  EXPECT_EQ(glow[2].args[4], 0x7F7F7F);
  // Running: one to four copies of the colour of this half of the 8-tick cycle.
  game.Paused = false;
  p.Altitude = 256;
  for (int64_t tick = 0; tick < 16; ++tick) {
    game.TickCount = tick;
    Draw();
    const auto running = canvas.Of("rotatedColored", "shield");
    ASSERT_GE(running.size(), 1u);
    ASSERT_LE(running.size(), 4u);
    for (const Call& c : running) {
      EXPECT_EQ(c.args[3], 307);
      EXPECT_EQ(c.args[4], tick % 8 < 4 ? 0xFFFFFF : 0x7F7F7F) << tick;
    }
  }
  EXPECT_EQ(canvas.Of("rotatedColored", "heli2")[0].args[0], 300 + 42) << "256 div 6";
}

TEST_F(FrameTest, ADestroyedPlayerIsNotDrawnButKeepsBarAndGameOverText) {
  PlayerRecord& p = Join(1);
  p.Energy = 0;
  p.Lives = -1;
  p.DeathTimer = 226;
  Draw();
  EXPECT_TRUE(canvas.Of("rotatedColored", "heli2").empty());
  EXPECT_TRUE(canvas.Of("rotated", "rotors1").empty());
  const auto bars = canvas.Of("quad", "bar1");
  ASSERT_EQ(bars.size(), 1u);
  EXPECT_EQ(bars[0].args, (std::vector<int64_t>{624, 0, 640, 0, 640, 480, 624, 480, 0, kEffectAlphaAdd}));
  const auto texts = canvas.Of("center");
  ASSERT_GE(texts.size(), 4u);
  EXPECT_EQ(texts[0].text, "GAME OVER PLAYER 2");
  EXPECT_EQ(texts[0].args, (std::vector<int64_t>{512, 70, 0x7F000000, 192}));
  EXPECT_EQ(texts[1].args, (std::vector<int64_t>{510, 68, 0x7F00FFFF, 192}));
  EXPECT_EQ(texts[2].text, "TRY AGAIN!");
  EXPECT_EQ(texts[3].args, (std::vector<int64_t>{510, 92, 0x7F0000FF, 256}));
}

TEST_F(FrameTest, DamageBarGrowsAsEnergyFalls) {
  EXPECT_EQ(DamageBarTop(1000), 480);
  EXPECT_EQ(DamageBarTop(450), 216);
  Join(0).Energy = 450;
  Draw();
  const auto bars = canvas.Of("quad", "bar1");
  ASSERT_EQ(bars.size(), 1u);
  EXPECT_EQ(bars[0].args, (std::vector<int64_t>{0, 216, 16, 216, 16, 480, 0, 480, 0, kEffectAlphaAdd}));
}

TEST_F(FrameTest, NukeAndLifeIconsAreCappedAt18AndShownForBothPlayers) {
  game.Players[0].Lives = 25;
  game.Players[1].Nukes = 30;
  game.Players[1].Lives = -1;
  Draw();
  const auto lives = canvas.Of("rotated", "lives1");
  ASSERT_EQ(lives.size(), 36u) << "18 icons, each drawn twice";
  EXPECT_EQ(lives[0].args, (std::vector<int64_t>{16, 472, 64, 256, 0, kEffectSquareAdd}));
  EXPECT_EQ(lives[35].args[0], 16 + 28 * 17);
  const auto nukes = canvas.Of("rotated", "powerups");
  ASSERT_EQ(nukes.size(), 18u);
  EXPECT_EQ(nukes[0].args, (std::vector<int64_t>{629, 450, 64, 128, 4, kEffectSquareAdd}));
  EXPECT_EQ(nukes[17].args[0], 629 - 20 * 17);
}

TEST_F(FrameTest, NegativeArmourIsShownAsZeroAndStaysZero) {
  game.Players[0].Armour = -50;
  game.Players[1].Armour = 42;
  Draw();
  const auto texts = canvas.Of("center");
  ASSERT_EQ(texts.size(), 8u);
  EXPECT_EQ(texts[0].text, "00000000");
  EXPECT_EQ(texts[0].args, (std::vector<int64_t>{62, 14, 0, 192}));
  EXPECT_EQ(texts[1].args, (std::vector<int64_t>{60, 12, 0xFFD0C0, 192}));
  EXPECT_EQ(texts[3].args, (std::vector<int64_t>{579, 12, 0xFFD0C0, 192}));
  EXPECT_EQ(texts[4].text, "SHIELD: 0%");
  EXPECT_EQ(texts[4].args, (std::vector<int64_t>{62, 33, 0, 160}));
  EXPECT_EQ(texts[5].args, (std::vector<int64_t>{60, 32, 0xFFA070, 160}));
  EXPECT_EQ(texts[7].text, "SHIELD: 42%");
  EXPECT_EQ(game.Players[0].Armour, 0);
}

TEST_F(FrameTest, ExplosionsPlaySixteenPatternsPerImageAtMapPositions) {
  game.ScrollX = 10;
  game.ScrollY = 1000;
  ExplosionRecord e;
  e.X = 110;
  e.Y = 1200;
  e.BaseImage = 5;
  e.Frame = 37;
  e.Scale = 300;
  e.Angle = 9;
  e.Colour = 0xCFCFFF;
  game.Explosions.push_back(e);
  Draw();
  const auto drawn = canvas.Of("rotatedColored", "sprite7");
  ASSERT_EQ(drawn.size(), 1u);
  EXPECT_EQ(drawn[0].args, (std::vector<int64_t>{100, 200, 9, 300, 0xCFCFFF, 5, kEffectSquareAdd}));
}

TEST_F(FrameTest, FlaresAndTheNukeBlastAreGreyByBrightness) {
  game.ScrollY = 1000;
  FlareRecord f;
  f.X = 50;
  f.Y = 1060;
  f.Scale = 512;
  f.Brightness = 0x80;
  game.Flares.push_back(f);
  game.NukeTimer = 20000;
  game.NukeBrightness = 0x40;
  game.NukeX = 300;
  game.NukeY = 1200;
  Draw();
  const auto flares = canvas.Of("rotatedColored", "flare");
  ASSERT_EQ(flares.size(), 1u);
  EXPECT_EQ(flares[0].args, (std::vector<int64_t>{50, 60, 0, 512, 0x808080, 0, kEffectSquareAdd}));
  const auto blast = canvas.Of("rotatedColored", "nuke");
  ASSERT_EQ(blast.size(), 2u);
  EXPECT_EQ(blast[0].args, (std::vector<int64_t>{300, 200, 0, 16384, 0x404040, 0, kEffectAdd}));
  EXPECT_EQ(blast[1].args[3], 2048);
}

TEST_F(FrameTest, MenuDarkeningGrowsFromABandToTheWholeScreen) {
  game.InGameMenuSlide = 100;
  Draw();
  auto quads = canvas.Of("quad", "nuke");
  ASSERT_EQ(quads.size(), 1u);
  EXPECT_EQ(quads[0].args,
            (std::vector<int64_t>{-200, -200, 839, -200, 839, 679, -200, 679, 0, kEffectDarken}));
  game.InGameMenuSlide = 1;
  Draw();
  quads = canvas.Of("quad", "nuke");
  ASSERT_EQ(quads.size(), 1u);
  EXPECT_EQ(quads[0].args,
            (std::vector<int64_t>{225, 225, 414, 225, 414, 254, 225, 254, 0, kEffectDarken}));
  game.InGameMenuSlide = 0;
  Draw();
  EXPECT_TRUE(canvas.Of("quad", "nuke").empty());
}

TEST_F(FrameTest, BulletsAreDrawnAtRoundedPositions) {
  game.ScrollX = 30;
  game.ScrollY = 500;
  EnemyBullet eb;
  eb.X = 100.5;
  eb.Y = 600.5;
  eb.Image = 1;
  eb.Angle = 128;
  eb.Frame = 2;
  game.EnemyBullets.push_back(eb);
  PlayerBullet pb;
  pb.X = 10.5;
  pb.Y = 11.5;
  pb.Pattern = 1;
  game.PlayerBullets.push_back(pb);
  Draw();
  const auto eBullets = canvas.Of("rotated", "sprite1");
  ASSERT_EQ(eBullets.size(), 1u);
  EXPECT_EQ(eBullets[0].args, (std::vector<int64_t>{70, 100, 128, 256, 2, kEffectAlpha}));
  const auto pBullets = canvas.Of("rotated", "playerbullet");
  ASSERT_EQ(pBullets.size(), 1u);
  EXPECT_EQ(pBullets[0].args, (std::vector<int64_t>{10, 12, 0, 256, 1, kEffectAlpha}));
}

TEST_F(FrameTest, WithoutACanvasOnlyTheFramesGameLogicRuns) {
  Join(0).X = 639.6;
  game.Players[1].Armour = -3;
  Timer1Render(game, nullptr);
  EXPECT_EQ(game.ScrollX, 64);
  EXPECT_EQ(game.Players[1].Armour, 0);
}

TEST_F(FrameTest, OtherScreensAreHandedToTheirOwnRoutines) {
  for (int32_t screen : {0, 2, 3, 4, 5, 6, 7}) {
    game.ScreenState = screen;
    game.Players[0].Armour = -1;
    Draw();
    ASSERT_FALSE(canvas.calls.empty());
    EXPECT_EQ(canvas.calls.front().op, "begin");
    EXPECT_EQ(canvas.calls.back().op, "present");
    EXPECT_TRUE(canvas.Of("rotatedColored", "heli2").empty()) << "not the in-game frame";
    EXPECT_EQ(game.Players[0].Armour, -1) << "only the in-game frame clamps armour";
  }
  game.ScreenState = 42;  // any other value draws the in-game frame
  Draw();
  EXPECT_EQ(canvas.calls.front().op, "begin");
}

}  // namespace
}  // namespace tarq

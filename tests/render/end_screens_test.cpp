// The score table, completion and sponsor screens: their drawing calls on a recording
// canvas, and golden pictures drawn by the software back end with the forged art
// (tests/golden/end_<name>.png; TARQ_UPDATE_GOLDEN=1 rewrites them).
#include <gtest/gtest.h>

#include "forged_scene_test.h"
#include "assets/asset_loader.h"
#include "core/random.h"
#include "game/game.h"
#include "game/hiscores.h"
#include "render/frame.h"
#include "render/screens.h"

namespace tarq {
namespace {

// Records fills, clips, images and text; text is 10 pixels a character at scale 256.
class EndScreenCanvas : public FrameCanvas {
 public:
  struct Op {
    std::string what;
    std::vector<int64_t> args;
    std::string text;
  };
  int32_t SpriteIndex(std::string_view name) override {
    return name == "sponsors" ? 7 : 1;
  }
  void BeginScene() override { ops.push_back({"begin", {}}); }
  void EndScene() override { ops.push_back({"end", {}}); }
  void Present() override { ops.push_back({"present", {}}); }
  void DrawImage(ImageRef, int32_t, int32_t, int32_t, int32_t) override {}
  void DrawImageRotated(ImageRef, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t) override {}
  void DrawImageRotatedColored(ImageRef image, int32_t x, int32_t y, int32_t angle, int32_t scale,
                               uint32_t colour, int32_t pattern, int32_t effect) override {
    ops.push_back({"rotated", {image.Index, x, y, angle, scale, colour, pattern, effect}});
  }
  void DrawQuad(ImageRef, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t,
                int32_t, int32_t) override {}
  void DrawImageColored(ImageRef, int32_t x, int32_t y, uint32_t colour, int32_t,
                        int32_t) override {
    ops.push_back({"colored", {x, y, colour}});
  }
  void Clear(uint32_t colour) override { ops.push_back({"clear", {colour}}); }
  void FillBox(int32_t x, int32_t y, int32_t w, int32_t h, uint32_t colour,
               int32_t effect) override {
    ops.push_back({"fill", {x, y, w, h, colour, effect}});
  }
  void Center(const std::string& t, int32_t x, int32_t y, uint32_t c, int32_t s) override {
    ops.push_back({"center", {x, y, c, s}, t});
  }
  void Right(const std::string& t, int32_t x, int32_t y, uint32_t c, int32_t s) override {
    ops.push_back({"right", {x, y, c, s}, t});
  }
  void Lft(const std::string& t, int32_t x, int32_t y, uint32_t c, int32_t s) override {
    ops.push_back({"lft", {x, y, c, s}, t});
  }
  void Lft2(const std::string& t, int32_t x, int32_t y, uint32_t c, int32_t s) override {
    ops.push_back({"lft2", {x, y, c, s}, t});
  }
  int32_t TextWidth(int32_t, const std::string& text, int32_t scale) override {
    return static_cast<int32_t>(text.size()) * 10 * scale / 256;
  }
  void SetClipRect(int32_t x, int32_t y, int32_t w, int32_t h) override {
    ops.push_back({"clip", {x, y, w, h}});
  }

  std::vector<Op> Of(const std::string& what) const {
    std::vector<Op> out;
    for (const Op& op : ops)
      if (op.what == what) out.push_back(op);
    return out;
  }
  std::vector<Op> ops;
};

TEST(DrawScores, RowsClipsAndTheCursor) {
  Game game;
  game.HiScores[6] = {700000, "ALONGNAMEWITHALOTOFLETTERSINIT"};
  game.HiScores[0] = {5, "ab[C"};
  game.HiScoreMessage = "PLAYER 2 NEW HIGH SCORE";
  for (int32_t rank : {6, 0, -1, 7}) {
    EndScreenCanvas c;
    DrawScores(game, c, rank);
    ASSERT_EQ(c.ops.front().what, "begin");
    EXPECT_EQ(c.ops[1].args, (std::vector<int64_t>{0}));  // cleared to black
    EXPECT_EQ(c.ops.back().what, "present");
    EXPECT_EQ(c.Of("rotated").size(), 88u);  // the 8 x 11 backdrop cells
    const auto texts = c.Of("center");
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].text, "PLAYER 2 NEW HIGH SCORE");
    EXPECT_EQ(texts[1].text, "NAME" + std::string(84, ' ') + "% COMPLETE");
    const auto names = c.Of("lft2");
    ASSERT_EQ(names.size(), 7u);
    // Top row: the best entry; its name is clipped where its score starts (x 540).
    EXPECT_EQ(names[0].args, (std::vector<int64_t>{40, 150, 0xAFFFAF, 256}));
    EXPECT_EQ(c.Of("clip")[0].args, (std::vector<int64_t>{0, 0, 539, 479}));
    EXPECT_EQ(c.Of("clip")[1].args, (std::vector<int64_t>{0, 0, 640, 480}));
    EXPECT_EQ(c.Of("right")[0].args, (std::vector<int64_t>{600, 150, 0xAFFFAF, 256}));
    // Bottom row: the lowest entry, showing only characters 32 to 90.
    EXPECT_EQ(names[6].text, "C");
    EXPECT_EQ(names[6].args[1], 342);
    const auto cursor = c.Of("fill");
    if (rank == 6) {
      ASSERT_EQ(cursor.size(), 1u);
      EXPECT_EQ(cursor[0].args, (std::vector<int64_t>{42 + 300, 134, 4, 32, 0xAFFFAF, 0}));
    } else if (rank == 0) {
      ASSERT_EQ(cursor.size(), 1u);
      EXPECT_EQ(cursor[0].args, (std::vector<int64_t>{42 + 10, 326, 4, 32, 0x4F994F, 0}));
    } else {
      EXPECT_TRUE(cursor.empty()) << rank;
    }
  }
}

TEST(DrawGameOver, TheWhiteOverlayFadesAfterTick137) {
  const std::pair<int32_t, int64_t> cases[] = {{0, 255}, {137, 255}, {138, 254},
                                               {450, 150}, {900, 0}, {5000, 0}};
  for (const auto& [ticks, level] : cases) {
    Game game;
    game.ScreenTicks = ticks;
    EndScreenCanvas c;
    DrawGameOver(game, c);
    const auto texts = c.Of("center");
    ASSERT_EQ(texts.size(), 13u);
    EXPECT_EQ(texts.front().text, "CONGRATULATIONS BRAVE WARRIOR!");
    EXPECT_EQ(texts[11].args, (std::vector<int64_t>{320, 388, 0xFFA0FF, 256}));
    EXPECT_EQ(texts.back().args, (std::vector<int64_t>{320, 444, 0xFFFFFF, 192}));
    const auto fill = c.Of("fill");
    ASSERT_EQ(fill.size(), 1u);
    EXPECT_EQ(fill[0].args, (std::vector<int64_t>{0, 0, 640, 480, level * 0x010101, 6})) << ticks;
  }
}

TEST(DrawSponsors, ShrinksTheCardAndFadesInAndOut) {
  struct Case {
    int32_t ticks;
    int64_t scale;
    int64_t darkening;
  };
  for (const Case& k : {Case{0, 768, 255}, Case{300, 468, 0}, Case{400, 368, 68},
                        Case{600, 168, 255}}) {
    Game game;
    game.ScreenTicks = k.ticks;
    EndScreenCanvas c;
    DrawSponsors(game, c);
    const auto card = c.Of("rotated");
    ASSERT_EQ(card.size(), 1u);
    EXPECT_EQ(card[0].args, (std::vector<int64_t>{7, 320, 240, 64, k.scale, 0xFFFFFF, 0, 0}));
    const auto fill = c.Of("fill");
    ASSERT_EQ(fill.size(), 1u);
    EXPECT_EQ(fill[0].args,
              (std::vector<int64_t>{0, 0, 640, 480, k.darkening * 0x010101, 7}))
        << k.ticks;
  }
}

// ---- Golden pictures on the forged art ----------------------------------------------

class EndScreenGoldenTest : public ForgedSceneTest {
 protected:
  void SetUp() override { LoadForgedScene(4, {.Map = false}); }
};

TEST_F(EndScreenGoldenTest, SponsorScreenAtFullBrightness) {
  game.ScreenState = kScreenIntro;
  game.ScreenTicks = 300;
  Timer1Render(game, canvas.get());
  testing::ExpectGolden(*device, "end_sponsors");
}

TEST_F(EndScreenGoldenTest, TableWithANameBeingTyped) {
  // A run's backdrop: the cells seeded as the title's landing does, then drifted.
  SeedPlasma(game.Plasma);
  for (int i = 0; i < 200; ++i) ProcessPlasma(game.Plasma);
  game.Players[0].Score = 450000;
  DoHiScores(game, kScreenScores);
  game.HiScores[static_cast<size_t>(game.EditIndex)].Name = "CAPTAIN WREN";
  ASSERT_EQ(game.ScreenState, kScreenNameEntry);
  Timer1Render(game, canvas.get());
  testing::ExpectGolden(*device, "end_scores_cursor");
}

TEST_F(EndScreenGoldenTest, CompletionScreenWithTheOverlayGone) {
  game.ScreenState = kScreenCompletion;
  game.ScreenTicks = 900;
  Timer1Render(game, canvas.get());
  testing::ExpectGolden(*device, "end_completion");
}

}  // namespace
}  // namespace tarq

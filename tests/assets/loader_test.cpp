// The loading sequence on small data folders built here: the loading screen's frames
// and figures, the sprite table and sn, tiles and their solidity, the reload after a
// display switch, the release, and every error that stops the loading.
#include <gtest/gtest.h>

#include "archive_fixtures.h"
#include "assets/asset_loader.h"
#include "assets/bitmap_ex.h"
#include "draw_test_support.h"
#include "input/input_devices.h"

namespace tarq {
namespace {

using testing::TempDir;
using testing::WriteText;

void WriteTga(const std::filesystem::path& path, int32_t w, int32_t h, uint32_t argb) {
  TBitmapEx bmp;
  bmp.SetSize(w, h, 32);
  for (int32_t y = 0; y < h; ++y) {
    for (int32_t x = 0; x < w; ++x) {
      uint8_t* p = bmp.Row(y) + 4 * x;
      p[0] = argb & 0xFF;
      p[1] = (argb >> 8) & 0xFF;
      p[2] = (argb >> 16) & 0xFF;
      p[3] = argb >> 24;
    }
  }
  bmp.SaveToFile(path.string());
}

void WriteBmp(const std::filesystem::path& path, int32_t w, int32_t h, uint32_t rgb) {
  TBitmapEx bmp;
  bmp.SetSize(w, h, 24);
  for (int32_t y = 0; y < h; ++y) {
    for (int32_t x = 0; x < w; ++x) {
      const uint32_t c = (x < w / 2) ? 0xFF00FF : rgb;  // left half magenta
      uint8_t* p = bmp.Row(y) + 3 * x;
      p[0] = c & 0xFF;
      p[1] = (c >> 8) & 0xFF;
      p[2] = (c >> 16) & 0xFF;
    }
  }
  bmp.SaveToFile(path.string());
}

std::vector<uint8_t> SpriteRecord(uint32_t argb) {
  return tools::BuildImageRecord({{16, 16, std::vector<uint32_t>(256, argb)}});
}

// An input source whose devices cannot be opened.
class BrokenInput : public ScriptedInputSource {
 public:
  int Open(bool, bool, bool) override { return -1; }
};

class LoaderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(dir.path() / "system");
    std::filesystem::create_directories(dir.path() / "tiles");
    std::vector<testing::TestGlyph> glyphs(96, {9, 14});
    testing::WriteTestFont(dir.path() / "system/timesroman.fnt", 32, glyphs);
    testing::WriteTestFont(dir.path() / "system/stencil.fnt", 32, glyphs);
    WriteTga(dir.path() / "system/loading.tga", 64, 64, 0xFF204060);
    WriteSprites({"ship", "Player", "shot", "PLAYER"});
    WriteText(dir.path() / "tiles/tiles.txt", "0001 0000000000000000 a\n");
    WriteTga(dir.path() / "tiles/a.tga", 64, 64, 0xFF00FF00);
    device = testing::RecordingDevice(backend);
    ctx.Device = device.get();
    ctx.Root = dir.path();
    ctx.LoadMusicTrack = [this](int32_t track) { music.push_back(track); };
    ctx.OnFrame = [this](LoadingPhase phase, const std::vector<LoadingText>& texts) {
      frames.push_back({phase, texts});
    };
  }
  void TearDown() override { ReleaseGraphics(assets, nullptr); }

  void WriteSprites(const std::vector<std::string>& names) {
    std::vector<tools::ArchiveRecord> records;
    for (size_t i = 0; i < names.size(); ++i) {
      records.push_back({names[i], SpriteRecord(0xFF000000u | static_cast<uint32_t>(i + 1))});
    }
    tools::WriteArchive(dir.path() / "system/sprites.pak", records);
  }

  // The figures shown by the frames of one phase, in order ("" for none).
  std::vector<std::string> Figures(LoadingPhase phase) const {
    std::vector<std::string> out;
    static const int32_t kFigureY[] = {163, 243, 323};
    for (const auto& [p, texts] : frames) {
      if (p != phase) continue;
      std::string figure;
      for (const LoadingText& t : texts) {
        if (t.Y == kFigureY[static_cast<int>(phase)] && t.Colour == kLoadingWhite) figure = t.Text;
      }
      out.push_back(figure);
    }
    return out;
  }

  TempDir dir;
  RecordingBackend* backend = nullptr;
  std::unique_ptr<TDrawDevice> device;
  GameAssets assets;
  AssetLoaderContext ctx;
  std::vector<int32_t> music;
  std::vector<std::pair<LoadingPhase, std::vector<LoadingText>>> frames;
};

TEST(LoadingScreen, FrameTextsByPhase) {
  using V = std::vector<std::tuple<std::string, int32_t, uint32_t>>;
  auto flat = [](const std::vector<LoadingText>& texts) {
    V v;
    for (const LoadingText& t : texts) v.emplace_back(t.Text, t.Y, t.Colour);
    return v;
  };
  const uint32_t W = kLoadingWhite, G = kLoadingGrey;
  EXPECT_EQ(flat(LoadingFrameTexts(LoadingPhase::kMusic, std::nullopt)),
            (V{{"LOADING MUSIC...", 137, W}, {"LOADING SPRITES...", 217, G}, {"0%", 243, G},
               {"LOADING TILES...", 297, G}, {"0%", 323, G}}));
  EXPECT_EQ(flat(LoadingFrameTexts(LoadingPhase::kSprites, 66)),
            (V{{"LOADING MUSIC...", 137, G}, {"100%", 163, G}, {"LOADING SPRITES...", 217, W},
               {"66%", 243, W}, {"LOADING TILES...", 297, G}, {"0%", 323, G}}));
  EXPECT_EQ(flat(LoadingFrameTexts(LoadingPhase::kTiles, 5)),
            (V{{"LOADING MUSIC...", 137, G}, {"100%", 163, G}, {"LOADING SPRITES...", 217, G},
               {"100%", 243, G}, {"LOADING TILES...", 297, W}, {"5%", 323, W}}));
}

TEST_F(LoaderTest, FiguresRedrawOnlyWhenTheyChange) {
  WriteSprites({"a", "b", "c"});
  WriteText(dir.path() / "tiles/tiles.txt",
            "0001 0000000000000000 a\r\n   \r\n0002 0000000000000000 a\r\n");
  ASSERT_TRUE(LoadGraphics(assets, ctx).Ok);
  EXPECT_EQ(Figures(LoadingPhase::kMusic),
            (std::vector<std::string>{"", "", "", "0%", "12%", "25%", "37%", "50%", "62%", "75%",
                                      "87%", "100%"}));
  EXPECT_EQ(music, (std::vector<int32_t>{0, 1, 2, 3, 4, 5, 6, 7, 8}));
  EXPECT_EQ(Figures(LoadingPhase::kSprites), (std::vector<std::string>{"33%", "66%", "100%"}));
  EXPECT_EQ(Figures(LoadingPhase::kTiles), (std::vector<std::string>{"33%", "100%"}));
  // Every frame is a whole scene presented once.
  EXPECT_EQ(backend->Count(RecordedCall::Present), static_cast<int32_t>(frames.size()));
}

TEST_F(LoaderTest, ManyRecordsRedrawAtMostOncePerFigure) {
  std::vector<std::string> names;
  for (int i = 0; i < 250; ++i) names.push_back("s" + std::to_string(i));
  WriteSprites(names);
  ASSERT_TRUE(LoadGraphics(assets, ctx).Ok);
  EXPECT_EQ(assets.SpriteImage.size(), 250u);
  // Figures 0, 1, ..., 100, each drawn once: the first record already shows 0%,
  // which differs from the starting value 100.
  const std::vector<std::string> figures = Figures(LoadingPhase::kSprites);
  ASSERT_EQ(figures.size(), 101u);
  EXPECT_EQ(figures.front(), "0%");
  EXPECT_EQ(figures[50], "50%");
  EXPECT_EQ(figures.back(), "100%");
  // One record gives figure 100 at once, equal to the starting value: no frame.
  frames.clear();
  ReleaseGraphics(assets, nullptr);
  WriteSprites({"only"});
  ASSERT_TRUE(LoadGraphics(assets, ctx).Ok);
  EXPECT_TRUE(Figures(LoadingPhase::kSprites).empty());
}

TEST_F(LoaderTest, SpriteTableAndSn) {
  ASSERT_TRUE(LoadGraphics(assets, ctx).Ok);
  ASSERT_EQ(assets.SpriteImage.size(), 4u);
  EXPECT_EQ(assets.SpriteImage[1].Name, "player");
  EXPECT_EQ(assets.SpriteImage[3].Name, "player");
  EXPECT_EQ(assets.sn("player"), 1);  // the lower of the two
  EXPECT_EQ(assets.sn("shot"), 2);
  EXPECT_EQ(assets.sn("nobody"), 0);
  EXPECT_EQ(assets.sn("SHOT"), 0);  // the table holds lower-case names
  for (const TSpriteImage& s : assets.SpriteImage) {
    ASSERT_TRUE(s.Image && s.Image->Loaded()) << s.Name;
    EXPECT_EQ(s.Image->Format(), 21);
  }
  EXPECT_EQ(assets.Sprite(4), nullptr);
  EXPECT_EQ(assets.Sprite(-1), nullptr);
  EXPECT_TRUE(assets.Font1.Loaded());
  EXPECT_TRUE(assets.Font2.Loaded());
  EXPECT_EQ(assets.Font2.Image()->Format(), 26);
}

TEST_F(LoaderTest, TilesAndSolidity) {
  WriteText(dir.path() / "tiles/tiles.txt",
            "0042 0000111122220000 water\n"
            "\t0007,1111111111111111,brick  \n"
            "0100 2x2x2x2x2x2x2x2x gone\n");
  WriteTga(dir.path() / "tiles/water.tga", 64, 64, 0xFF0000FF);
  WriteBmp(dir.path() / "tiles/water.bmp", 64, 64, 0xFFFFFF);  // the TGA wins
  WriteBmp(dir.path() / "tiles/brick.bmp", 128, 64, 0x804020);
  ASSERT_TRUE(LoadGraphics(assets, ctx).Ok);
  ASSERT_EQ(assets.TileImages.size(), 2048u);
  ASSERT_EQ(assets.TileSolidity.size(), 2048u);

  const TPatternImage& water = *assets.TileImages[42];
  ASSERT_TRUE(water.Loaded());
  EXPECT_EQ(water.Format(), 21);
  EXPECT_EQ(water.PatternCount(), 1);
  EXPECT_EQ(assets.TileSolidity[42],
            (TileSolidityGrid{0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 0, 0, 0, 0}));

  TPatternImage& brick = *assets.TileImages[7];
  ASSERT_TRUE(brick.Loaded());
  EXPECT_EQ(brick.Format(), 25);
  EXPECT_EQ(brick.PatternCount(), 2);  // 128 x 64 picture: two 64 x 64 patterns
  // Pattern 0 (the magenta left half) is in texture 0, pattern 1 in texture 1.
  auto first_texel = [&](int32_t texture) {
    LockedArea area;
    uint16_t texel = 0;
    EXPECT_EQ(brick.Lock(texture, area), 0);
    std::memcpy(&texel, area.Bits + area.Pitch * 10 + 2 * 10, 2);
    brick.Unlock(texture);
    return texel;
  };
  EXPECT_EQ(first_texel(0) & 0x8000, 0);  // magenta keyed out
  EXPECT_NE(first_texel(1) & 0x8000, 0);
  EXPECT_EQ(assets.TileSolidity[7], (TileSolidityGrid{1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1}));

  // No picture at all: the tile stays empty, its solidity is still taken.
  EXPECT_FALSE(assets.TileImages[100]->Loaded());
  EXPECT_EQ(assets.TileSolidity[100][0], 2);
  EXPECT_EQ(assets.TileSolidity[100][1], 0);
  EXPECT_FALSE(assets.TileImages[1]->Loaded());
  EXPECT_EQ(assets.TileSolidity[1], TileSolidityGrid{});
}

TEST(TileList, LinesAndFields) {
  EXPECT_EQ(SplitTileList("a\r\nb\rc\n\nd"), (std::vector<std::string>{"a", "b", "c", "", "d"}));
  EXPECT_EQ(SplitTileList(""), std::vector<std::string>{});
  EXPECT_EQ(TrimTileLine(" \t\x01 0001 x \x7f"), "0001 x \x7f");  // 127 is no blank
  TileLine t;
  std::string error;
  ASSERT_TRUE(ParseTileLine("2047 1212121212121212 sub\\dir name", t, error));
  EXPECT_EQ(t.Number, 2047);
  EXPECT_EQ(t.Base, "sub\\dir name");
  EXPECT_EQ(t.Solidity[0], 1);
  EXPECT_EQ(t.Solidity[15], 2);
  ASSERT_TRUE(ParseTileLine("0000 0000000000000000 ", t, error));
  EXPECT_EQ(t.Base, "");
  EXPECT_FALSE(ParseTileLine("2048 0000000000000000 x", t, error));
  EXPECT_NE(error.find("0..2047"), std::string::npos);
  EXPECT_FALSE(ParseTileLine("-001 0000000000000000 x", t, error));
  EXPECT_FALSE(ParseTileLine("00x1 0000000000000000 x", t, error));
  EXPECT_NE(error.find("not a decimal number"), std::string::npos);
  EXPECT_FALSE(ParseTileLine("0001 000000000000000", t, error));
  EXPECT_NE(error.find("shorter than 22"), std::string::npos);
}

TEST_F(LoaderTest, BadTileListStopsLoadingWithAMessage) {
  struct Case {
    std::string list;
    std::string expected;
  };
  const Case cases[] = {
      {"0001 0000000000000000 a\n00x2 0000000000000000 b\n", "line 2: tile number \"00x2\""},
      {"4096 0000000000000000 a\n", "line 1: tile number 4096 lies outside 0..2047"},
      {"0001 00000\n", "shorter than 22 characters"},
  };
  for (const Case& c : cases) {
    WriteText(dir.path() / "tiles/tiles.txt", c.list);
    const LoadGraphicsResult r = LoadGraphics(assets, ctx);
    EXPECT_FALSE(r.Ok);
    EXPECT_NE(r.Error.find(c.expected), std::string::npos) << r.Error;
    ReleaseGraphics(assets, nullptr);
  }
  std::filesystem::remove(dir.path() / "tiles/tiles.txt");
  LoadGraphicsResult r = LoadGraphics(assets, ctx);
  EXPECT_FALSE(r.Ok);
  EXPECT_NE(r.Error.find("tiles.txt"), std::string::npos);
  ReleaseGraphics(assets, nullptr);
  // A picture that exists but cannot be read names the file.
  WriteText(dir.path() / "tiles/tiles.txt", "0001 0000000000000000 broken\n");
  WriteText(dir.path() / "tiles/broken.tga", "not a picture");
  r = LoadGraphics(assets, ctx);
  EXPECT_FALSE(r.Ok);
  EXPECT_NE(r.Error.find("broken.tga"), std::string::npos) << r.Error;
}

TEST_F(LoaderTest, MissingFilesAreNotErrors) {
  std::filesystem::remove(dir.path() / "system/timesroman.fnt");
  std::filesystem::remove(dir.path() / "system/loading.tga");
  std::filesystem::remove(dir.path() / "system/sprites.pak");
  const LoadGraphicsResult r = LoadGraphics(assets, ctx);
  EXPECT_TRUE(r.Ok) << r.Error;
  EXPECT_FALSE(assets.Font1.Loaded());
  EXPECT_TRUE(assets.Font2.Loaded());
  EXPECT_TRUE(assets.SpriteImage.empty());
  EXPECT_EQ(assets.sn("anything"), 0);
  EXPECT_EQ(Figures(LoadingPhase::kMusic).size(), 12u);
}

TEST_F(LoaderTest, ReloadSkipsMusicKeepsIndicesAndReleaseFreesEverything) {
  ASSERT_TRUE(LoadGraphics(assets, ctx).Ok);
  const int32_t shot = assets.sn("shot");
  // The display switch: everything released, then loaded again.
  ReleaseGraphics(assets, nullptr);
  EXPECT_TRUE(assets.SpriteImage.empty());
  EXPECT_TRUE(assets.TileImages.empty());
  EXPECT_FALSE(assets.Font1.Loaded());
  EXPECT_EQ(backend->Count(RecordedCall::CreateTexture), backend->Count(RecordedCall::DestroyTexture));
  frames.clear();
  music.clear();
  ASSERT_TRUE(LoadGraphics(assets, ctx).Ok);
  EXPECT_TRUE(music.empty());
  EXPECT_EQ(Figures(LoadingPhase::kMusic), (std::vector<std::string>{"", "", ""}));
  EXPECT_EQ(assets.sn("shot"), shot);
  EXPECT_TRUE(assets.SpriteImage[static_cast<size_t>(shot)].Image->Loaded());
  ReleaseGraphics(assets, nullptr);
  EXPECT_EQ(backend->Count(RecordedCall::CreateTexture), backend->Count(RecordedCall::DestroyTexture));
}

TEST_F(LoaderTest, InputDevicesAreInitialisedLast) {
  TInputDevices input(std::make_unique<ScriptedInputSource>());
  ctx.Input = &input;
  ASSERT_TRUE(LoadGraphics(assets, ctx).Ok);
  EXPECT_TRUE(input.Initialized());
  ReleaseGraphics(assets, &input);
  EXPECT_FALSE(input.Initialized());

  TInputDevices broken(std::make_unique<BrokenInput>());
  ctx.Input = &broken;
  const LoadGraphicsResult r = LoadGraphics(assets, ctx);
  EXPECT_FALSE(r.Ok);
  EXPECT_FALSE(r.Error.empty());
  // Nothing is left holding textures of the device the shell is about to finalise.
  EXPECT_FALSE(assets.Font1.Loaded());
  EXPECT_TRUE(assets.SpriteImage.empty());
  EXPECT_EQ(backend->Count(RecordedCall::CreateTexture), backend->Count(RecordedCall::DestroyTexture));
}

}  // namespace
}  // namespace tarq

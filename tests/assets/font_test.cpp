// Bitmap fonts on the recording back end: which glyph each character draws, where the
// pen goes, how scale truncates, and every way a font file can fail to load.
#include <gtest/gtest.h>

#include "archive_fixtures.h"
#include "assets/bitmap_font.h"
#include "assets/pattern_image.h"
#include "draw_test_support.h"

namespace tarq {
namespace {

using testing::TestGlyph;

// 96 glyphs from code 32; 'A' (pattern 33) is 15 wide and 20 high, '~' (pattern 94)
// 7 wide and 24 high, every other glyph 10 x 18.
std::vector<TestGlyph> AsciiGlyphs() {
  std::vector<TestGlyph> g(96, {10, 18});
  g['A' - 32] = {15, 20};
  g['~' - 32] = {7, 24};
  return g;
}

class FontTest : public ::testing::Test {
 protected:
  void SetUp() override {
    device = testing::RecordingDevice(backend);
    font.DrawDevice = device.get();
    testing::WriteTestFont(dir.path() / "test.fnt", 32, AsciiGlyphs());
  }
  void TearDown() override { font.Unload(); }

  // Quads drawn since the last ClearCalls, as their top-left vertices.
  std::vector<DrawVertex> DrawnQuads() {
    device->EndScene();
    std::vector<DrawVertex> tl;
    for (const RecordedCall& c : backend->Of(RecordedCall::UploadVertices)) {
      const size_t step = c.Vertices.size() == 4 ? 4 : 6;  // strip or list
      for (size_t i = 0; i + step <= c.Vertices.size(); i += step) tl.push_back(c.Vertices[i]);
    }
    return tl;
  }

  testing::TempDir dir;
  RecordingBackend* backend = nullptr;
  std::unique_ptr<TDrawDevice> device;
  TBitmapFont font;
};

TEST_F(FontTest, LoadsGlyphsAndMetrics) {
  ASSERT_TRUE(font.LoadFromFile((dir.path() / "test.fnt").string(), 26));
  EXPECT_TRUE(font.Loaded());
  EXPECT_EQ(font.FirstChar(), 32);
  EXPECT_EQ(font.CharCount(), 96);
  EXPECT_EQ(font.CellWidth(), 8);
  EXPECT_EQ(font.CellHeight(), 8);
  ASSERT_NE(font.Image(), nullptr);
  EXPECT_EQ(font.Image()->Format(), 26);
  EXPECT_EQ(font.Image()->PatternCount(), 128);  // whole 128 x 64 texture of 8 x 8 cells
  // A second load is refused and keeps the first font.
  testing::WriteTestFont(dir.path() / "other.fnt", 40, {{1, 1}});
  EXPECT_FALSE(font.LoadFromFile((dir.path() / "other.fnt").string(), 26));
  EXPECT_EQ(font.FirstChar(), 32);
  EXPECT_TRUE(font.Unload());
  EXPECT_FALSE(font.Unload());
  EXPECT_FALSE(font.Loaded());
}

TEST_F(FontTest, DrawsPatternsByCharacterAndSkipsOthersWithoutAdvancing) {
  ASSERT_TRUE(font.LoadFromFile((dir.path() / "test.fnt").string(), 26));
  backend->ClearCalls();
  device->BeginScene();
  const std::string text = std::string("A") + char(128) + "~" + char(10) + "A";
  EXPECT_TRUE(font.TextOut(text, 100, 50, 0xFF0000FF));
  const std::vector<DrawVertex> quads = DrawnQuads();
  ASSERT_EQ(quads.size(), 3u);
  // Pen: 100, then +15 for 'A', the two foreign characters add nothing, +7 for '~'.
  EXPECT_EQ(quads[0].x, 100.0f);
  EXPECT_EQ(quads[1].x, 115.0f);
  EXPECT_EQ(quads[2].x, 122.0f);
  EXPECT_EQ(quads[0].y, 50.0f);
  // Pattern 33 is column 1, row 2 of the 16 x 8 grid; pattern 94 column 14, row 5.
  EXPECT_FLOAT_EQ(quads[0].u, 8.0f / 128);
  EXPECT_FLOAT_EQ(quads[0].v, 16.0f / 64);
  EXPECT_FLOAT_EQ(quads[1].u, 112.0f / 128);
  EXPECT_FLOAT_EQ(quads[1].v, 40.0f / 64);
  // Alpha blending, the colour handed to the device (which swaps red and blue).
  EXPECT_EQ(quads[0].colour, 0xFFFF0000u);
  const auto blends = backend->Of(RecordedCall::SetBlend);
  ASSERT_FALSE(blends.empty());
  EXPECT_EQ(blends.back().Args[0], kBlendAlpha);
  EXPECT_EQ(font.TextWidth(text), 15 + 7 + 15);
}

TEST_F(FontTest, ScaleTruncatesEachCharacter) {
  ASSERT_TRUE(font.LoadFromFile((dir.path() / "test.fnt").string(), 26));
  font.Scale = 128;
  EXPECT_EQ(font.TextWidth("AAAA"), 28);  // 7 each, not 30 / 2
  backend->ClearCalls();
  device->BeginScene();
  EXPECT_TRUE(font.TextOut("AAAA", 0, 0, 0xFFFFFFFF));
  const std::vector<DrawVertex> quads = DrawnQuads();
  ASSERT_EQ(quads.size(), 4u);
  EXPECT_EQ(quads[1].x, 7.0f);
  EXPECT_EQ(quads[3].x, 21.0f);
  // Scaled glyphs are drawn 8 * 128 / 256 = 4 pixels wide: the strip's last quad.
  const auto uploads = backend->Of(RecordedCall::UploadVertices);
  ASSERT_FALSE(uploads.empty());
  const auto& last = uploads.back().Vertices;
  EXPECT_EQ(last[1].x - last[0].x, 4.0f);

  font.Scale = 256;
  EXPECT_EQ(font.TextHeight("A~A"), 24);
  font.Scale = 384;
  EXPECT_EQ(font.TextHeight("A~A"), 36);
  EXPECT_EQ(font.TextHeight("A"), 30);
  EXPECT_EQ(font.TextHeight(std::string(1, char(200))), 0);
}

TEST_F(FontTest, EmptyTextAndUnloadedFontDrawAndMeasureNothing) {
  EXPECT_FALSE(font.TextOut("A", 0, 0, 0xFFFFFFFF));
  EXPECT_EQ(font.TextWidth("A"), 0);
  EXPECT_EQ(font.TextHeight("A"), 0);
  ASSERT_TRUE(font.LoadFromFile((dir.path() / "test.fnt").string(), 26));
  EXPECT_FALSE(font.TextOut("", 0, 0, 0xFFFFFFFF));
  EXPECT_EQ(font.TextWidth(""), 0);
  EXPECT_EQ(font.TextHeight(""), 0);
  // Text made only of characters outside the font still counts as drawn.
  EXPECT_TRUE(font.TextOut(std::string(1, char(10)), 0, 0, 0xFFFFFFFF));
}

TEST_F(FontTest, BrokenFontFilesFailAndLeaveNothingBehind) {
  const std::string path = (dir.path() / "bad.fnt").string();
  auto expect_fails = [&](const std::string& what) {
    const int32_t created = backend->Count(RecordedCall::CreateTexture);
    const int32_t destroyed = backend->Count(RecordedCall::DestroyTexture);
    EXPECT_FALSE(font.LoadFromFile(path, 26)) << what;
    EXPECT_FALSE(font.Loaded()) << what;
    EXPECT_EQ(font.TextWidth("A"), 0) << what;
    EXPECT_EQ(backend->Count(RecordedCall::CreateTexture) - created,
              backend->Count(RecordedCall::DestroyTexture) - destroyed)
        << what << ": textures leaked";
  };
  expect_fails("missing file");
  testing::WriteTestFont(path, 32, AsciiGlyphs(), 8, tools::kArchiveSignature);
  expect_fails("sprite-archive signature");

  const std::vector<uint8_t> image =
      tools::BuildImageRecord({{8, 8, std::vector<uint32_t>(64, 0xFFFFFFFF)}});
  tools::WriteArchive(path, {{"font", image}}, {.signature = tools::kFontSignature});
  expect_fails("no size data");
  tools::WriteArchive(path, {{"sizedata", tools::BuildFontSizeData(32, 0, {{1, 1}})}},
                      {.signature = tools::kFontSignature});
  expect_fails("no glyph image");
  tools::WriteArchive(path, {{"font", image}, {"sizedata", {1, 0, 0, 0}}},
                      {.signature = tools::kFontSignature});
  expect_fails("size data shorter than its header");
  std::vector<uint8_t> sizes = tools::BuildFontSizeData(32, 0, {{1, 1}, {2, 2}});
  tools::PutU32(sizes, 0, 3);  // announces three glyphs, holds two
  tools::WriteArchive(path, {{"font", image}, {"sizedata", sizes}},
                      {.signature = tools::kFontSignature});
  expect_fails("size data shorter than its count");
  tools::PutU32(sizes, 0, 0xFFFFFFFF);
  tools::WriteArchive(path, {{"font", image}, {"sizedata", sizes}},
                      {.signature = tools::kFontSignature});
  expect_fails("negative count");

  font.DrawDevice = nullptr;
  testing::WriteTestFont(path, 32, AsciiGlyphs());
  EXPECT_FALSE(font.LoadFromFile(path, 26));  // no device to hold the glyphs
}

}  // namespace
}  // namespace tarq

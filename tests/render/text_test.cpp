// Text placement: where each routine puts a line for a known font, the scale it leaves
// set, and the clipping rectangle's clamping.
#include <gtest/gtest.h>

#include "../assets/archive_fixtures.h"
#include "../assets/draw_test_support.h"
#include "render/prompt.h"
#include "render/text.h"

namespace tarq {
namespace {

class TextTest : public ::testing::Test {
 protected:
  void SetUp() override {
    device = testing::RecordingDevice(backend);
    // Font2: 'A' 10 wide, 'B' 11 wide, both 15 high; Font1: the same widths, 9 high.
    testing::WriteTestFont(dir.path() / "f2.fnt", 'A', {{10, 15}, {11, 15}});
    testing::WriteTestFont(dir.path() / "f1.fnt", 'A', {{10, 9}, {11, 9}});
    font1.DrawDevice = device.get();
    font2.DrawDevice = device.get();
    ASSERT_TRUE(font1.LoadFromFile((dir.path() / "f1.fnt").string(), 26));
    ASSERT_TRUE(font2.LoadFromFile((dir.path() / "f2.fnt").string(), 26));
    ctx = {&font1, &font2, device.get()};
  }
  void TearDown() override {
    font1.Unload();
    font2.Unload();
  }

  // Top-left corner of the first glyph drawn by one text call.
  std::pair<float, float> Origin(void (*routine)(const TextContext&, const std::string&, int32_t,
                                                 int32_t, uint32_t, int32_t)) {
    backend->ClearCalls();
    device->BeginScene();
    routine(ctx, "AB", 100, 50, 0xFFFFFFFF, 256);
    device->EndScene();
    const auto uploads = backend->Of(RecordedCall::UploadVertices);
    if (uploads.empty() || uploads[0].Vertices.empty()) return {-1, -1};
    return {uploads[0].Vertices[0].x, uploads[0].Vertices[0].y};
  }

  testing::TempDir dir;
  RecordingBackend* backend = nullptr;
  std::unique_ptr<TDrawDevice> device;
  TBitmapFont font1, font2;
  TextContext ctx;
};

TEST_F(TextTest, PlacesTheLineByItsAlignment) {
  EXPECT_EQ(font2.TextWidth("AB"), 21);
  EXPECT_EQ(font2.TextHeight("AB"), 15);
  EXPECT_EQ(Origin(&Center), std::make_pair(90.0f, 43.0f));
  EXPECT_EQ(Origin(&Right), std::make_pair(79.0f, 43.0f));
  EXPECT_EQ(Origin(&Lft2), std::make_pair(100.0f, 42.0f));
  // Lft measures with Font1: 50 - 9 div 2 - 1.
  EXPECT_EQ(Origin(&Lft), std::make_pair(100.0f, 45.0f));
}

TEST_F(TextTest, ScaleStaysSetUntilTheNextTextCall) {
  Center(ctx, "AB", 320, 240, 0xFFFFFFFF, 300);
  EXPECT_EQ(font2.Scale, 300);
  EXPECT_EQ(font1.Scale, 256);
  EXPECT_EQ(font2.TextWidth("AB"), 10 * 300 / 256 + 11 * 300 / 256);
  Lft(ctx, "A", 0, 0, 0xFFFFFFFF, 128);
  EXPECT_EQ(font1.Scale, 128);
  EXPECT_EQ(font2.Scale, 300);
  Right(ctx, "", 0, 0, 0xFFFFFFFF, 512);  // even an empty text sets the scale
  EXPECT_EQ(font2.Scale, 512);
}

TEST_F(TextTest, ClipRectIsClampedToTheScreen) {
  auto rect = [](int32_t x, int32_t y, int32_t w, int32_t h) {
    const DrawRect r = ClipRectFor(x, y, w, h);
    return std::vector<int32_t>{r.Left, r.Top, r.Right, r.Bottom};
  };
  EXPECT_EQ(rect(-10, 470, 40, 20), (std::vector<int32_t>{0, 470, 31, 480}));
  EXPECT_EQ(rect(0, 0, 640, 480), (std::vector<int32_t>{0, 0, 640, 480}));
  EXPECT_EQ(rect(10, 20, 30, 40), (std::vector<int32_t>{10, 20, 41, 61}));
  EXPECT_EQ(rect(700, -50, 10, 10), (std::vector<int32_t>{640, 0, 640, 0}));  // clips all
  EXPECT_EQ(rect(INT32_MAX, 0, INT32_MAX, 0), (std::vector<int32_t>{640, 0, 640, 1}));

  backend->ClearCalls();
  SetClipRect(ctx, -10, 470, 40, 20);
  device->BeginScene();
  device->FillBox(0, 0, 5, 5, 0xFFFFFFFF, 0);
  device->EndScene();
  const auto viewports = backend->Of(RecordedCall::SetViewport);
  ASSERT_FALSE(viewports.empty());
  EXPECT_EQ(viewports.back().Args, (std::vector<int64_t>{0, 470, 31, 10}));
}

TEST_F(TextTest, RedefinePromptIsOneWholeFrameWithTwoCentredLines) {
  backend->ClearCalls();
  DrawRedefinePrompt(ctx);
  EXPECT_EQ(backend->Of(RecordedCall::BeginScene).size(), 1u);
  ASSERT_EQ(backend->Of(RecordedCall::Clear).size(), 1u);
  EXPECT_EQ(backend->Of(RecordedCall::Present).size(), 1u);
  // The second line is the smaller one, and its scale stays set.
  EXPECT_EQ(font2.Scale, 192);
  const auto uploads = backend->Of(RecordedCall::UploadVertices);
  ASSERT_FALSE(uploads.empty());
  // The first glyph of the first line sits above the second line's centre.
  EXPECT_LT(uploads.front().Vertices[0].y, 256.0f - 7.0f);
}

}  // namespace
}  // namespace tarq

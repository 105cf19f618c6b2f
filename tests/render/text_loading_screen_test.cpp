// The loading screen drawn with the forged fonts and loading picture on the software
// back end: the frame is saved as loading_screen.png in the build folder for people
// to look at, and its text rows are checked where they must be.
#include <gtest/gtest.h>

#include <filesystem>

#include "assets/asset_loader.h"
#include "gfx/png_io.h"
#include "gfx/software_backend.h"

namespace tarq {
namespace {

// Rows (y) holding bright text pixels in the middle third of the screen.
std::vector<int32_t> BrightRows(const std::vector<uint32_t>& pixels, int32_t w, int32_t h) {
  std::vector<int32_t> rows;
  for (int32_t y = 0; y < h; ++y) {
    for (int32_t x = 160; x < 480; ++x) {
      const uint32_t p = pixels[static_cast<size_t>(y * w + x)];
      if (((p >> 16) & 0xFF) > 0xF0 && ((p >> 8) & 0xFF) > 0xF0 && (p & 0xFF) > 0xF0) {
        rows.push_back(y);
        break;
      }
    }
  }
  return rows;
}

TEST(LoadingScreenPicture, SpritePhaseWithForgedData) {
  const std::filesystem::path data = TARQ_DATA_DIR;
  if (!std::filesystem::exists(data / "system/stencil.fnt") ||
      !std::filesystem::exists(data / "tiles/tiles.txt")) {
    GTEST_SKIP() << "no forged data in " << data;
  }
  TDrawDevice device;
  device.SetHardware(false);
  device.SetBitDepth(bd_High);
  ASSERT_EQ(device.Initialize(), 0);

  GameAssets assets;
  AssetLoaderContext ctx;
  ctx.Device = &device;
  ctx.Root = data;
  std::vector<uint32_t> shot;
  int32_t w = 0, h = 0;
  ctx.OnFrame = [&](LoadingPhase phase, const std::vector<LoadingText>& texts) {
    // Keep the first sprite frame at or past half way.
    if (phase != LoadingPhase::kSprites || !shot.empty()) return;
    for (const LoadingText& t : texts) {
      if (t.Y == 243 && std::stoi(t.Text) >= 50) device.ReadFrame(shot, w, h);
    }
  };
  const LoadGraphicsResult result = LoadGraphics(assets, ctx);
  ReleaseGraphics(assets, nullptr);
  ASSERT_TRUE(result.Ok) << result.Error;
  ASSERT_FALSE(shot.empty()) << "no sprite frame at or past 50%";
  ASSERT_EQ(w, 640);
  ASSERT_EQ(h, 480);
  const std::string png = std::string(TARQ_BINARY_DIR) + "/loading_screen.png";
  EXPECT_TRUE(WritePng(png, shot.data(), w, h));

  // White text only on the sprite label (y 217) and its figure (y 243): every bright
  // row lies within a text line's height of one of them.
  const std::vector<int32_t> rows = BrightRows(shot, w, h);
  ASSERT_FALSE(rows.empty());
  bool label = false, figure = false;
  for (int32_t y : rows) {
    EXPECT_TRUE(std::abs(y - 217) < 20 || std::abs(y - 243) < 20) << "bright row " << y;
    label |= std::abs(y - 217) < 8;
    figure |= std::abs(y - 243) < 8;
  }
  EXPECT_TRUE(label);
  EXPECT_TRUE(figure);
}

}  // namespace
}  // namespace tarq

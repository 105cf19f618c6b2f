// PNG screenshots and goldens: round trip, and broken or hostile files refused cleanly.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "gfx/png_io.h"

namespace tarq {
namespace {

std::string TempPath(const std::string& name) { return std::string(TARQ_BINARY_DIR) + "/" + name; }

std::vector<uint8_t> FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(DrawPng, RoundTripKeepsPixelsAndAlphaOnRequest) {
  std::vector<uint32_t> px(7 * 5);
  for (size_t i = 0; i < px.size(); ++i) px[i] = 0x80000000u | static_cast<uint32_t>(i * 0x030507);
  const std::string path = TempPath("draw_png_roundtrip.png");
  ASSERT_TRUE(WritePng(path, px.data(), 7, 5));
  std::vector<uint32_t> back;
  int32_t w = 0, h = 0;
  ASSERT_TRUE(ReadPng(path, back, w, h));
  ASSERT_EQ(w, 7);
  ASSERT_EQ(h, 5);
  for (size_t i = 0; i < px.size(); ++i) ASSERT_EQ(back[i], px[i] | 0xFF000000u) << i;  // written opaque
  ASSERT_TRUE(WritePng(path, px.data(), 7, 5, /*keep_alpha=*/true));
  ASSERT_TRUE(ReadPng(path, back, w, h));
  EXPECT_EQ(back, px);
  std::remove(path.c_str());
}

TEST(DrawPng, BrokenFilesAreRefusedWithAReason) {
  std::vector<uint32_t> px(16 * 16, 0xFF123456u);
  const std::string path = TempPath("draw_png_broken.png");
  ASSERT_TRUE(WritePng(path, px.data(), 16, 16));
  const std::vector<uint8_t> good = FileBytes(path);
  std::remove(path.c_str());
  ASSERT_GT(good.size(), 40u);

  std::vector<uint32_t> out = {1, 2, 3};
  int32_t w = -1, h = -1;
  std::string error;
  auto refused = [&](const std::vector<uint8_t>& bytes) {
    error.clear();
    const bool ok = ReadPngFromMemory(bytes, out, w, h, &error);
    return !ok && !error.empty() && out.size() == 3 && w == -1 && h == -1;  // outputs untouched
  };
  EXPECT_TRUE(refused({}));
  EXPECT_TRUE(refused({'n', 'o', 't', ' ', 'p', 'n', 'g'}));
  for (size_t cut : {8ul, 20ul, 33ul, good.size() / 2, good.size() - 13}) {
    EXPECT_TRUE(refused(std::vector<uint8_t>(good.begin(), good.begin() + static_cast<ptrdiff_t>(cut)))) << cut;
  }
  // Corrupt compressed data (the CRC check catches it, or the inflater does).
  std::vector<uint8_t> bad = good;
  for (size_t i = 45; i < bad.size() - 20; ++i) bad[i] ^= 0x5A;
  EXPECT_TRUE(refused(bad));
  // A header claiming an enormous picture is refused before any allocation.
  std::vector<uint8_t> huge = good;
  const uint8_t big[8] = {0x00, 0x10, 0x00, 0x00, 0x00, 0x10, 0x00, 0x00};  // 1048576 x 1048576
  std::copy(big, big + 8, huge.begin() + 16);
  EXPECT_TRUE(refused(huge));
  // Missing file and nothing to write.
  EXPECT_FALSE(ReadPng(TempPath("no_such_file.png"), out, w, h, &error));
  EXPECT_FALSE(WritePng(path, nullptr, 4, 4));
  EXPECT_FALSE(WritePng(path, px.data(), 0, 4));
  EXPECT_FALSE(WritePng("/nonexistent-dir/x.png", px.data(), 16, 16, false, &error));
  EXPECT_FALSE(error.empty());
}

}  // namespace
}  // namespace tarq

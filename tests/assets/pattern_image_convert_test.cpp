// The row converters behind pattern-image textures and their expansion back to
// 32 bits, which every back end samples from.
#include <gtest/gtest.h>

#include <vector>

#include "gfx/pixel_convert.h"

namespace tarq {
namespace {

using Bytes = std::vector<uint8_t>;

const int kAllFormats[] = {21, 22, 23, 24, 25, 26, 27, 29, 30};

Bytes Convert(int format, const Bytes& bgra) {
  Bytes out(bgra.size() / 4 * static_cast<size_t>(FormatBytesPerTexel(format)));
  ConverterForFormat(format)(bgra.data(), out.data(), bgra.size() / 4);
  return out;
}

TEST(PixelConvert, KnownTexelsPerFormat) {
  // Pixels as bytes B, G, R, A: pure red half-transparent, white opaque, black clear.
  const Bytes src = {0, 0, 255, 128, 255, 255, 255, 255, 0, 0, 0, 0};
  EXPECT_EQ(Convert(21, src), src);
  EXPECT_EQ(Convert(22, src), (Bytes{0, 0, 255, 255, 255, 255, 255, 255, 0, 0, 0, 255}));
  EXPECT_EQ(Convert(23, src), (Bytes{0x00, 0xF8, 0xFF, 0xFF, 0x00, 0x00}));
  EXPECT_EQ(Convert(24, src), (Bytes{0x00, 0xFC, 0xFF, 0xFF, 0x00, 0x80}));
  EXPECT_EQ(Convert(25, src), (Bytes{0x00, 0xFC, 0xFF, 0xFF, 0x00, 0x00}));
  EXPECT_EQ(Convert(26, src), (Bytes{0x00, 0x8F, 0xFF, 0xFF, 0x00, 0x00}));
  EXPECT_EQ(Convert(27, src), (Bytes{0xE0, 0xFF, 0x00}));
  EXPECT_EQ(Convert(29, src), (Bytes{0xE0, 0x80, 0xFF, 0xFF, 0x00, 0x00}));
  EXPECT_EQ(Convert(30, src), (Bytes{0x00, 0xFF, 0xFF, 0xFF, 0x00, 0xF0}));
  EXPECT_EQ(ConverterForFormat(28), nullptr);
  EXPECT_EQ(ConverterForFormat(20), nullptr);
  EXPECT_EQ(FormatBytesPerTexel(31), 0);
}

TEST(PixelConvert, ChannelsRoundToTheNearestLevel) {
  // 5 bits: 255/31 = 8.2 per level, so 4 rounds down to 0 and 5 up to 1.
  EXPECT_EQ(Conv24to15(0x000004), 0);
  EXPECT_EQ(Conv24to15(0x000005), 1);
  EXPECT_EQ(Conv24to15(0xFF00FF), 0x7C1F);  // magenta, the tiles' colour key
  EXPECT_EQ(Conv24to15(0xFFFFFF), 0x7FFF);
}

TEST(PixelConvert, ExpandInvertsConvertOnRepresentableColours) {
  // Every format, through every level of every channel: expand(convert(expand(t)))
  // equals expand(t), i.e. converting an expanded texel is exact.
  for (int format : kAllFormats) {
    const int bpt = FormatBytesPerTexel(format);
    const int texels = bpt == 1 ? 256 : 65536;
    Bytes raw(static_cast<size_t>(texels * bpt));
    for (int i = 0; i < texels; ++i) {
      for (int k = 0; k < bpt; ++k)
        raw[static_cast<size_t>(i * bpt + k)] = static_cast<uint8_t>(i >> (8 * k));
    }
    if (bpt == 4) raw.resize(4 * 256);  // 32-bit: a sample is enough
    const size_t n = raw.size() / static_cast<size_t>(bpt);
    Bytes expanded(n * 4), again(n * 4);
    ASSERT_TRUE(ExpandRow(format, raw.data(), expanded.data(), n));
    const Bytes reconverted = Convert(format, expanded);
    ASSERT_TRUE(ExpandRow(format, reconverted.data(), again.data(), n));
    EXPECT_EQ(again, expanded) << "format " << format;
    if (!FormatHasAlpha(format)) {
      for (size_t i = 0; i < n; ++i) ASSERT_EQ(expanded[i * 4 + 3], 255) << format;
    }
  }
  Bytes dst(4);
  EXPECT_FALSE(ExpandRow(28, dst.data(), dst.data(), 1));
}

TEST(PixelConvert, ExpansionReachesFullRange) {
  const Bytes white = {255, 255, 255, 255};
  const Bytes black = {0, 0, 0, 0};
  for (int format : kAllFormats) {
    Bytes out(4);
    ExpandRow(format, Convert(format, white).data(), out.data(), 1);
    EXPECT_EQ(out, white) << format;
    ExpandRow(format, Convert(format, black).data(), out.data(), 1);
    EXPECT_EQ(out[0] + out[1] + out[2], 0) << format;
    EXPECT_EQ(out[3], FormatHasAlpha(format) ? 0 : 255) << format;
  }
}

}  // namespace
}  // namespace tarq

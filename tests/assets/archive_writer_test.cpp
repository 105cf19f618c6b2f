#include <gtest/gtest.h>
#include <zlib.h>

#include <cstring>

#include "archive_writer/archive_writer.h"

namespace tarq::tools {
namespace {

uint32_t U32At(const std::vector<uint8_t>& b, size_t at) {
  return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 |
         uint32_t(b[at + 3]) << 24;
}

std::string NameAt(const std::vector<uint8_t>& b, size_t at) {
  return std::string(reinterpret_cast<const char*>(&b[at + 1]), b[at]);
}

TEST(ArchiveWriter, LaysOutHeaderTableAndBlocks) {
  std::vector<uint8_t> raw = {1, 2, 3, 4, 5};
  std::vector<uint8_t> packed(300, 7);
  const std::vector<uint8_t> file =
      BuildArchive({{"Player", raw, kModeStored}, {"shots", packed, kModeDeflate}});

  EXPECT_EQ(U32At(file, 0), 0x4B505154u);
  EXPECT_EQ(std::memcmp(file.data(), "TQPK", 4), 0);
  float version = 0;
  std::memcpy(&version, &file[8], 4);
  EXPECT_EQ(version, 1.0f);
  EXPECT_EQ(U32At(file, 12), 2u);
  EXPECT_EQ(U32At(file, 16), 64u);
  for (size_t i = 20; i < 64; ++i) ASSERT_EQ(file[i], 0) << i;

  // Table keeps the given spelling; each block header repeats it in upper case.
  EXPECT_EQ(NameAt(file, 64), "Player");
  EXPECT_EQ(U32At(file, 64 + 32), 0u);
  const uint32_t first = U32At(file, 64 + 36);
  EXPECT_EQ(first, 64u + 2 * 64u);
  EXPECT_EQ(U32At(file, 64 + 40), static_cast<uint32_t>(crc32(0, raw.data(), 5)));
  EXPECT_EQ(U32At(file, 64 + 44), 64u + 5u);
  EXPECT_EQ(U32At(file, 64 + 48), 5u);
  EXPECT_EQ(NameAt(file, first), "PLAYER");
  EXPECT_EQ(std::memcmp(&file[first + 64], raw.data(), 5), 0);

  const size_t e2 = 128;
  const uint32_t second = U32At(file, e2 + 36);
  EXPECT_EQ(second, first + 64 + 5);
  EXPECT_EQ(U32At(file, e2 + 32), 1u);
  EXPECT_EQ(U32At(file, e2 + 48), 300u);
  const uint32_t stored = U32At(file, e2 + 44);
  EXPECT_EQ(second + stored, file.size());
  std::vector<uint8_t> back(300);
  uLongf back_size = 300;
  ASSERT_EQ(uncompress(back.data(), &back_size, &file[second + 64], stored - 64), Z_OK);
  EXPECT_EQ(back, packed);

  // Same input, same bytes.
  EXPECT_EQ(file, BuildArchive({{"Player", raw, kModeStored}, {"shots", packed, kModeDeflate}}));
}

TEST(ArchiveWriter, RejectsBadNamesAndModes) {
  EXPECT_THROW(BuildArchive({{"", {1}}}), std::invalid_argument);
  EXPECT_THROW(BuildArchive({{std::string(32, 'a'), {1}}}), std::invalid_argument);
  EXPECT_NO_THROW(BuildArchive({{std::string(31, 'a'), {1}}}));
  EXPECT_THROW(BuildArchive({{"x", {1}, 7}}), std::invalid_argument);
}

PatternPixels Solid(int w, int h, uint32_t colour) {
  return {w, h, std::vector<uint32_t>(size_t(w) * h, colour)};
}

TEST(ImageRecordWriter, ChoosesPowerOfTwoTextures) {
  ImageLayout one = ChooseImageLayout(48, 20, 1);
  EXPECT_EQ(one.texture_width, 64);
  EXPECT_EQ(one.texture_height, 32);
  EXPECT_EQ(one.texture_count, 1);
  // 96 glyph cells of 32 x 32: one power-of-two texture holding them all.
  ImageLayout font = ChooseImageLayout(32, 32, 96);
  EXPECT_GE(font.PatternsPerTexture(), 96);
  EXPECT_EQ(font.texture_count, 1);
  EXPECT_EQ(font.texture_width & (font.texture_width - 1), 0);
  EXPECT_EQ(font.texture_height & (font.texture_height - 1), 0);
  // More than a 512x512 texture holds: several full-size textures.
  ImageLayout many = ChooseImageLayout(256, 256, 9);
  EXPECT_EQ(many.texture_width, 512);
  EXPECT_EQ(many.texture_height, 512);
  EXPECT_EQ(many.texture_count, 3);
  ImageLayout forced = ChooseImageLayout(64, 64, 5, {.force_texture_width = 64});
  EXPECT_EQ(forced.texture_width, 64);
  EXPECT_EQ(forced.texture_height, 512);
  EXPECT_EQ(forced.texture_count, 1);
  EXPECT_THROW(ChooseImageLayout(600, 10, 1), std::invalid_argument);
  EXPECT_THROW(ChooseImageLayout(64, 64, 1, {.force_texture_width = 32}), std::invalid_argument);
}

TEST(ImageRecordWriter, PlacesPatternsRowMajor) {
  // Three 2x2 patterns on a forced 4-wide texture: slots (0,0), (2,0), (0,2).
  std::vector<PatternPixels> p = {Solid(2, 2, 0xFF000001), Solid(2, 2, 0xFF000002),
                                  Solid(2, 2, 0xFF000003)};
  p[0].pixels[1] = 0xFF0000AA;  // top row, right pixel of pattern 0
  const std::vector<uint8_t> rec = BuildImageRecord(p, {.force_texture_width = 4});
  EXPECT_EQ(U32At(rec, 0), kImageRecordMagic);
  EXPECT_EQ(U32At(rec, 4), 4u);
  EXPECT_EQ(U32At(rec, 8), 4u);
  EXPECT_EQ(U32At(rec, 12), 2u);
  EXPECT_EQ(U32At(rec, 16), 2u);
  EXPECT_EQ(U32At(rec, 20), 1u);
  ASSERT_EQ(rec.size(), 24u + 16 * 4);
  auto texel = [&](int x, int y) { return U32At(rec, 24 + 4 * (y * 4 + x)); };
  EXPECT_EQ(texel(0, 0), 0xFF000001u);
  EXPECT_EQ(texel(1, 0), 0xFF0000AAu);
  EXPECT_EQ(texel(2, 1), 0xFF000002u);
  EXPECT_EQ(texel(1, 3), 0xFF000003u);
  EXPECT_EQ(texel(3, 3), 0u);  // unused slot stays transparent
  // Pixels are stored B, G, R, A.
  EXPECT_EQ(rec[24], 0x01);
  EXPECT_EQ(rec[27], 0xFF);
  EXPECT_THROW(BuildImageRecord({Solid(2, 2, 0), Solid(3, 2, 0)}), std::invalid_argument);
}

TEST(ImageRecordWriter, FontSizeData) {
  const std::vector<uint8_t> s = BuildFontSizeData(32, 9, {{15, 20}, {7, 24}});
  ASSERT_EQ(s.size(), 4u * 7);
  EXPECT_EQ(U32At(s, 0), 2u);
  EXPECT_EQ(U32At(s, 4), 32u);
  EXPECT_EQ(U32At(s, 8), 9u);
  EXPECT_EQ(U32At(s, 12), 15u);
  EXPECT_EQ(U32At(s, 24), 24u);
}

}  // namespace
}  // namespace tarq::tools

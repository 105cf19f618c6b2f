// TGA and BMP pictures: the reader's checks and their messages, row order, run-length
// packets, writing, and files that are truncated or lie about their size.
#include "assets/bitmap_ex.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace tarq {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes TgaHeader(int type, int width, int height, int bits, int descriptor, int id_length = 0,
                int colour_map_type = 0) {
  Bytes h(18, 0);
  h[0] = static_cast<uint8_t>(id_length);
  h[1] = static_cast<uint8_t>(colour_map_type);
  h[2] = static_cast<uint8_t>(type);
  h[12] = static_cast<uint8_t>(width);
  h[13] = static_cast<uint8_t>(width >> 8);
  h[14] = static_cast<uint8_t>(height);
  h[15] = static_cast<uint8_t>(height >> 8);
  h[16] = static_cast<uint8_t>(bits);
  h[17] = static_cast<uint8_t>(descriptor);
  return h;
}

Bytes Cat(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

std::string LoadError(const Bytes& bytes) {
  TBitmapEx bmp;
  try {
    bmp.LoadTgaFromMemory(bytes);
  } catch (const BitmapError& e) {
    EXPECT_TRUE(bmp.Empty());
    return e.what();
  }
  return "";
}

// A scratch folder per test program run, removed at the end.
class TempDir {
 public:
  TempDir() {
    path_ = std::filesystem::temp_directory_path() / ("tarq_bitmap_test_" + std::to_string(::getpid()));
    std::filesystem::create_directories(path_);
  }
  ~TempDir() { std::filesystem::remove_all(path_); }
  std::string File(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

void WriteBytes(const std::string& path, const Bytes& bytes) {
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

TEST(BitmapExTga, HeaderChecksComeInOrderWithTheirMessages) {
  // Type 1 is colour-mapped too, but the image type is examined first.
  EXPECT_EQ(LoadError(TgaHeader(1, 1, 1, 8, 0, 0, 1)), kTgaNotTrueColour);
  EXPECT_EQ(LoadError(TgaHeader(3, 1, 1, 8, 0)), kTgaNotTrueColour);
  EXPECT_EQ(LoadError(TgaHeader(2, 1, 1, 24, 0, 0, 1)), kTgaColourMapped);
  EXPECT_EQ(LoadError(TgaHeader(2, 1, 1, 16, 0)), kTgaBadBitDepth);
  EXPECT_EQ(LoadError(TgaHeader(10, 1, 1, 16, 0x10)), kTgaBadBitDepth);
  EXPECT_EQ(LoadError(Cat(TgaHeader(2, 1, 1, 24, 0x10), {1, 2, 3})), kTgaMirrored);
  EXPECT_EQ(std::string(kTgaNotTrueColour), "TGA graphics is not in True-Color");
  EXPECT_EQ(std::string(kTgaColourMapped), "Color-mapped TGA is not supported");
  EXPECT_EQ(std::string(kTgaBadBitDepth), "Invalid TGA Bit-depth!");
  EXPECT_EQ(std::string(kTgaMirrored), "Mirrored TGA is not supported!");
}

TEST(BitmapExTga, RowOrderFollowsDescriptorBit5) {
  const Bytes pixels = {1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4, 4};
  TBitmapEx up;
  // Bits 0..3 (alpha depth) and 6..7 are ignored.
  up.LoadTgaFromMemory(Cat(TgaHeader(2, 2, 2, 24, 0xC8), pixels));
  ASSERT_EQ(up.Width(), 2);
  ASSERT_EQ(up.Height(), 2);
  EXPECT_EQ(up.BitsPerPixel(), 24);
  EXPECT_EQ(up.Row(1)[0], 1);  // the first stored row is the bottom one
  EXPECT_EQ(up.Row(1)[3], 2);
  EXPECT_EQ(up.Row(0)[0], 3);

  TBitmapEx down;
  down.LoadTgaFromMemory(Cat(TgaHeader(2, 2, 2, 24, 0x20), pixels));
  EXPECT_EQ(down.Row(0)[0], 1);
  EXPECT_EQ(down.Row(0)[3], 2);
  EXPECT_EQ(down.Row(1)[3], 4);
}

TEST(BitmapExTga, IdFieldIsSkippedAnd32BitKeepsAlpha) {
  TBitmapEx bmp;
  bmp.LoadTgaFromMemory(Cat(TgaHeader(2, 1, 1, 32, 0x20, 3), {9, 9, 9, 10, 20, 30, 40}));
  EXPECT_EQ(bmp.BitsPerPixel(), 32);
  EXPECT_EQ(Bytes(bmp.Row(0), bmp.Row(0) + 4), (Bytes{10, 20, 30, 40}));
}

TEST(BitmapExTga, RunLengthPackets) {
  // 0x83: one pixel repeated four times; 0x01: two literal pixels; 0x80: one pixel once.
  const Bytes data = {0x83, 1, 2, 3, 0x01, 4, 5, 6, 7, 8, 9, 0x81, 10, 11, 12};
  TBitmapEx bmp;
  bmp.LoadTgaFromMemory(Cat(TgaHeader(10, 4, 2, 24, 0x20), data));
  for (int x = 0; x < 4; ++x) {
    EXPECT_EQ(Bytes(bmp.Row(0) + x * 3, bmp.Row(0) + x * 3 + 3), (Bytes{1, 2, 3})) << x;
  }
  EXPECT_EQ(Bytes(bmp.Row(1), bmp.Row(1) + 6), (Bytes{4, 5, 6, 7, 8, 9}));
  EXPECT_EQ(Bytes(bmp.Row(1) + 6, bmp.Row(1) + 12), (Bytes{10, 11, 12, 10, 11, 12}));
}

TEST(BitmapExTga, PacketsReachingPastThePictureAreCut) {
  // A 3-pixel picture: a run of 128 and a literal packet claiming 5 pixels of which
  // only the bytes needed are present.
  TBitmapEx run;
  run.LoadTgaFromMemory(Cat(TgaHeader(10, 3, 1, 32, 0x20), {0xFF, 1, 2, 3, 4}));
  EXPECT_EQ(run.Row(0)[8], 1);
  EXPECT_EQ(run.Row(0)[11], 4);

  TBitmapEx literal;
  literal.LoadTgaFromMemory(Cat(TgaHeader(10, 1, 2, 24, 0x20), {0x00, 1, 2, 3, 0x04, 4, 5, 6}));
  EXPECT_EQ(literal.Row(1)[0], 4);
}

TEST(BitmapExTga, TruncatedFilesFailCleanly) {
  EXPECT_EQ(LoadError({}), "TGA file ends early");
  EXPECT_EQ(LoadError(Bytes(17, 0)), "TGA file ends early");
  // ID field longer than the file.
  EXPECT_EQ(LoadError(TgaHeader(2, 0, 0, 24, 0, 200)), "TGA file ends early");
  // Raw pixel data one byte short.
  EXPECT_EQ(LoadError(Cat(TgaHeader(2, 2, 1, 24, 0), {1, 2, 3, 4, 5})), "TGA file ends early");
  // Run-length data ending inside a packet, before a packet, and inside a run pixel.
  EXPECT_EQ(LoadError(Cat(TgaHeader(10, 4, 1, 24, 0), {0x03, 1, 2, 3, 4})), "TGA file ends early");
  EXPECT_EQ(LoadError(Cat(TgaHeader(10, 4, 1, 24, 0), {0x81, 1, 2, 3})), "TGA file ends early");
  EXPECT_EQ(LoadError(Cat(TgaHeader(10, 4, 1, 24, 0), {0x83, 1, 2})), "TGA file ends early");
}

TEST(BitmapExTga, HugeDimensionsAreRefusedBeforeAllocating) {
  // 65535 x 65535 x 4 bytes would be 17 GB; the files hold a handful of bytes.
  EXPECT_EQ(LoadError(Cat(TgaHeader(2, 65535, 65535, 32, 0), Bytes(64, 7))), kPictureTooLarge);
  EXPECT_EQ(LoadError(Cat(TgaHeader(10, 65535, 65535, 32, 0), {0xFF, 1, 2, 3, 4})), kPictureTooLarge);
  EXPECT_EQ(LoadError(Cat(TgaHeader(2, 2048, 2048, 32, 0), Bytes(64, 7))), "TGA file ends early");
  // A zero-sized picture is legal and empty.
  TBitmapEx empty;
  empty.LoadTgaFromMemory(TgaHeader(2, 0, 5, 24, 0));
  EXPECT_TRUE(empty.Empty());
}

TEST(BitmapExTga, SaveWritesTopFirstAndReadsBack) {
  for (int bits : {24, 32}) {
    TBitmapEx bmp;
    bmp.SetSize(3, 2, bits);
    for (int y = 0; y < 2; ++y) {
      for (size_t i = 0; i < bmp.RowBytes(); ++i) bmp.Row(y)[i] = static_cast<uint8_t>(y * 50 + i);
    }
    const Bytes file = bmp.SaveTgaToMemory();
    ASSERT_EQ(file.size(), 18 + bmp.RowBytes() * 2);
    EXPECT_EQ(file[2], 2);
    EXPECT_EQ(file[12], 3);
    EXPECT_EQ(file[14], 2);
    EXPECT_EQ(file[16], bits);
    EXPECT_EQ(file[17], 0x20);
    EXPECT_EQ(file[18], bmp.Row(0)[0]);  // the top row comes first

    TBitmapEx back;
    back.LoadTgaFromMemory(file);
    ASSERT_EQ(back.BitsPerPixel(), bits);
    for (int y = 0; y < 2; ++y) {
      EXPECT_EQ(Bytes(back.Row(y), back.Row(y) + back.RowBytes()),
                Bytes(bmp.Row(y), bmp.Row(y) + bmp.RowBytes()));
    }
  }
  TBitmapEx no_format;
  try {
    no_format.SaveTgaToMemory();
    FAIL() << "saving a bitmap without a pixel format must fail";
  } catch (const BitmapError& e) {
    EXPECT_STREQ(e.what(), "Invalid pixel format!");
  }
}

TEST(BitmapExFiles, ExtensionChoosesTheReader) {
  EXPECT_TRUE(TBitmapEx::IsTgaName("tiles\\grass.TGA"));
  EXPECT_TRUE(TBitmapEx::IsTgaName("a.tGa"));
  EXPECT_FALSE(TBitmapEx::IsTgaName("a.tga.bmp"));
  EXPECT_FALSE(TBitmapEx::IsTgaName("tga"));

  TempDir dir;
  const Bytes tga = Cat(TgaHeader(2, 1, 1, 24, 0), {5, 6, 7});
  WriteBytes(dir.File("UPPER.TGA"), tga);
  TBitmapEx bmp;
  bmp.LoadFromFile(dir.File("UPPER.TGA"));
  EXPECT_EQ(bmp.Row(0)[2], 7);

  // The same TGA bytes under a .bmp name go to the BMP reader, which refuses them.
  WriteBytes(dir.File("pic.tga.bmp"), tga);
  EXPECT_THROW(bmp.LoadFromFile(dir.File("pic.tga.bmp")), BitmapError);
  EXPECT_TRUE(bmp.Empty());

  try {
    bmp.LoadFromFile(dir.File("missing.tga"));
    FAIL();
  } catch (const BitmapError& e) {
    EXPECT_NE(std::string(e.what()).find("missing.tga"), std::string::npos);
  }

  // Writing to a folder that does not exist reports an error.
  TBitmapEx small;
  small.SetSize(1, 1, 24);
  EXPECT_THROW(small.SaveToFile(dir.File("no/such/folder.tga")), BitmapError);
  small.SaveToFile(dir.File("saved.tga"));
  bmp.LoadFromFile(dir.File("saved.tga"));
  EXPECT_EQ(bmp.Width(), 1);
}

// A minimal uncompressed BMP (BITMAPINFOHEADER), bottom-up rows.
Bytes MakeBmp(int width, int height, int bits, const std::vector<uint32_t>& palette,
              const Bytes& rows_bottom_up) {
  const uint32_t offset = 14 + 40 + static_cast<uint32_t>(palette.size()) * 4;
  const uint32_t size = offset + static_cast<uint32_t>(rows_bottom_up.size());
  Bytes b(offset, 0);
  auto put32 = [&](size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
  };
  b[0] = 'B';
  b[1] = 'M';
  put32(2, size);
  put32(10, offset);
  put32(14, 40);
  put32(18, static_cast<uint32_t>(width));
  put32(22, static_cast<uint32_t>(height));
  b[26] = 1;
  b[28] = static_cast<uint8_t>(bits);
  put32(46, static_cast<uint32_t>(palette.size()));
  for (size_t i = 0; i < palette.size(); ++i) put32(54 + i * 4, palette[i]);
  return Cat(b, rows_bottom_up);
}

TEST(BitmapExBmp, TwentyFourBitPictureWidensWithAlphaZero) {
  // 2 x 2, rows padded to 8 bytes, bottom row first.
  const Bytes rows = {1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0};
  TBitmapEx bmp;
  bmp.LoadBmpFromMemory(MakeBmp(2, 2, 24, {}, rows));
  ASSERT_EQ(bmp.Width(), 2);
  ASSERT_EQ(bmp.BitsPerPixel(), 24);
  EXPECT_EQ(Bytes(bmp.Row(0), bmp.Row(0) + 6), (Bytes{7, 8, 9, 10, 11, 12}));
  EXPECT_EQ(Bytes(bmp.Row(1), bmp.Row(1) + 6), (Bytes{1, 2, 3, 4, 5, 6}));
  bmp.ConvertTo32Bit();
  EXPECT_EQ(bmp.BitsPerPixel(), 32);
  EXPECT_EQ(Bytes(bmp.Row(0), bmp.Row(0) + 8), (Bytes{7, 8, 9, 0, 10, 11, 12, 0}));
}

TEST(BitmapExBmp, PalettedPictureBecomesTrueColour) {
  // 4 x 1 at 8 bits: indices 0, 1, 1, 0.
  TBitmapEx bmp;
  bmp.LoadBmpFromMemory(MakeBmp(4, 1, 8, {0x00FF00FF, 0x00102030}, {0, 1, 1, 0}));
  ASSERT_EQ(bmp.BitsPerPixel(), 24);
  EXPECT_EQ(Bytes(bmp.Row(0), bmp.Row(0) + 6), (Bytes{0xFF, 0x00, 0xFF, 0x30, 0x20, 0x10}));
}

TEST(BitmapExBmp, SaveAndReadBackThroughSdl) {
  TempDir dir;
  TBitmapEx bmp;
  bmp.SetSize(3, 2, 24);
  for (int y = 0; y < 2; ++y) {
    for (size_t i = 0; i < bmp.RowBytes(); ++i) bmp.Row(y)[i] = static_cast<uint8_t>(y * 40 + i * 3);
  }
  bmp.SaveToFile(dir.File("pic.bmp"));
  TBitmapEx back;
  back.LoadFromFile(dir.File("pic.bmp"));
  ASSERT_EQ(back.Width(), 3);
  ASSERT_EQ(back.BitsPerPixel(), 24);
  for (int y = 0; y < 2; ++y) {
    EXPECT_EQ(Bytes(back.Row(y), back.Row(y) + 9), Bytes(bmp.Row(y), bmp.Row(y) + 9));
  }
}

TEST(BitmapExBmp, BrokenAndHostileFilesFailCleanly) {
  TBitmapEx bmp;
  EXPECT_THROW(bmp.LoadBmpFromMemory({}), BitmapError);
  EXPECT_THROW(bmp.LoadBmpFromMemory(Bytes(100, 0x55)), BitmapError);
  // Header only, pixel rows missing.
  Bytes header_only = MakeBmp(16, 16, 24, {}, {});
  EXPECT_THROW(bmp.LoadBmpFromMemory(header_only), BitmapError);
  // Cut inside the header.
  header_only.resize(30);
  EXPECT_THROW(bmp.LoadBmpFromMemory(header_only), BitmapError);
  // Dimensions no file of this size can hold, uncompressed and run-length encoded.
  EXPECT_THROW(bmp.LoadBmpFromMemory(MakeBmp(60000, 60000, 32, {}, Bytes(64, 0))), BitmapError);
  Bytes rle = MakeBmp(60000, 60000, 8, std::vector<uint32_t>(2, 0), {0, 1});
  rle[30] = 1;  // BI_RLE8
  EXPECT_THROW(bmp.LoadBmpFromMemory(rle), BitmapError);
  Bytes negative = MakeBmp(-2000000000, 1, 24, {}, Bytes(8, 0));
  EXPECT_THROW(bmp.LoadBmpFromMemory(negative), BitmapError);
  EXPECT_TRUE(bmp.Empty());
}

}  // namespace
}  // namespace tarq

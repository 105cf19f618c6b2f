// Pattern images: the grid geometry of records and pictures, texture coordinates,
// every error code, locking, the colour key, and drawing through a software device.
#include "assets/pattern_image.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <optional>

#include "archive_writer/archive_writer.h"
#include "assets/bitmap_ex.h"
#include "assets/codec.h"
#include "gfx/pixel_convert.h"
#include "assets/record_archive.h"
#include "gfx/software_backend.h"

namespace tarq {
namespace {

std::unique_ptr<TDrawDevice> SoftwareDevice() {
  auto device = std::make_unique<TDrawDevice>();
  device->SetHardware(false);
  device->SetBitDepth(bd_High);
  EXPECT_EQ(device->Initialize(), 0);
  return device;
}

// The software back end with a switch that makes texture locks fail, counting the
// textures made and released.
class LockRefusingBackend : public SoftwareBackend {
 public:
  bool FailLock = false;
  int32_t Created = 0, Destroyed = 0;
  TextureHandle CreateTexture(int32_t width, int32_t height, int32_t format) override {
    ++Created;
    return SoftwareBackend::CreateTexture(width, height, format);
  }
  void DestroyTexture(TextureHandle texture) override {
    ++Destroyed;
    SoftwareBackend::DestroyTexture(texture);
  }
  bool LockTexture(TextureHandle texture, LockedArea& area) override {
    return !FailLock && SoftwareBackend::LockTexture(texture, area);
  }
};

std::unique_ptr<TDrawDevice> LockRefusingDevice(LockRefusingBackend*& backend) {
  auto device = std::make_unique<TDrawDevice>();
  device->SetBackendFactory([&backend](bool) {
    auto b = std::make_unique<LockRefusingBackend>();
    backend = b.get();
    return std::unique_ptr<DrawBackend>(std::move(b));
  });
  EXPECT_EQ(device->Initialize(), 0);
  return device;
}

// A record whose texel (x, y) of texture t is 0xFF000000 | t << 16 | y << 8 | x.
std::vector<uint8_t> CoordinateRecord(int tw, int th, int pw, int ph, int count) {
  std::vector<uint32_t> pixels;
  for (int t = 0; t < count; ++t) {
    for (int y = 0; y < th; ++y) {
      for (int x = 0; x < tw; ++x) {
        pixels.push_back(0xFF000000u | (static_cast<uint32_t>(t) << 16) |
                         (static_cast<uint32_t>(y & 255) << 8) | static_cast<uint32_t>(x & 255));
      }
    }
  }
  return tools::BuildRawImageRecord(tw, th, pw, ph, count, pixels);
}

uint32_t Texel32(const LockedArea& area, int x, int y) {
  uint32_t v;
  std::memcpy(&v, area.Bits + static_cast<ptrdiff_t>(y) * area.Pitch + x * 4, 4);
  return v;
}
uint16_t Texel16(const LockedArea& area, int x, int y) {
  return static_cast<uint16_t>(area.Bits[static_cast<ptrdiff_t>(y) * area.Pitch + x * 2] |
                               (area.Bits[static_cast<ptrdiff_t>(y) * area.Pitch + x * 2 + 1] << 8));
}

class TempDir {
 public:
  TempDir() {
    path_ = std::filesystem::temp_directory_path() / ("tarq_pattern_test_" + std::to_string(::getpid()));
    std::filesystem::create_directories(path_);
  }
  ~TempDir() { std::filesystem::remove_all(path_); }
  std::string File(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

// A 32-bit picture whose pixel (x, y) encodes its coordinates: B = x, G = y (low
// bytes), R = the high bits of both.
void WriteCoordinatePicture(const std::string& path, int width, int height) {
  TBitmapEx picture;
  picture.SetSize(width, height, 32);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      uint8_t* p = picture.Row(y) + x * 4;
      p[0] = static_cast<uint8_t>(x);
      p[1] = static_cast<uint8_t>(y);
      p[2] = static_cast<uint8_t>((x >> 8) | ((y >> 8) << 4));
      p[3] = 255;
    }
  }
  picture.SaveToFile(path);
}
uint32_t CoordinateOf(int x, int y) {
  return 0xFF000000u | (static_cast<uint32_t>((x >> 8) | ((y >> 8) << 4)) << 16) |
         (static_cast<uint32_t>(y & 255) << 8) | static_cast<uint32_t>(x & 255);
}

TEST(PatternImageRecord, GridGeometryAndTextureCoordinates) {
  auto device = SoftwareDevice();
  TPatternImage image;
  ASSERT_EQ(image.LoadFromMemory(*device, CoordinateRecord(256, 256, 64, 32, 2), 21), 0);
  EXPECT_TRUE(image.Loaded());
  EXPECT_EQ(image.PatternsPerRow(), 4);
  EXPECT_EQ(image.PatternsPerColumn(), 8);
  EXPECT_EQ(image.PatternsPerTexture(), 32);
  EXPECT_EQ(image.PatternCount(), 64);
  EXPECT_EQ(image.TextureCount(), 2);

  TextureHandle texture = kNoTexture;
  QuadTemplate quad;
  ASSERT_TRUE(image.SelectPattern(33, false, false, texture, quad));
  EXPECT_EQ(texture, image.Textures()[1]);
  EXPECT_FLOAT_EQ(quad.Corner[kCornerTL].u, 0.25f);
  EXPECT_FLOAT_EQ(quad.Corner[kCornerTL].v, 0.0f);
  EXPECT_FLOAT_EQ(quad.Corner[kCornerBR].u, 0.5f);
  EXPECT_FLOAT_EQ(quad.Corner[kCornerBR].v, 0.125f);
  EXPECT_FLOAT_EQ(quad.Corner[kCornerTR].u, 0.5f);
  EXPECT_FLOAT_EQ(quad.Corner[kCornerBL].v, 0.125f);

  // Mirror exchanges left and right, flip top and bottom.
  ASSERT_TRUE(image.SelectPattern(33, true, true, texture, quad));
  EXPECT_FLOAT_EQ(quad.Corner[kCornerTL].u, 0.5f);
  EXPECT_FLOAT_EQ(quad.Corner[kCornerTL].v, 0.125f);
  EXPECT_FLOAT_EQ(quad.Corner[kCornerBR].u, 0.25f);
  EXPECT_FLOAT_EQ(quad.Corner[kCornerBR].v, 0.0f);

  // Out-of-range patterns are clamped to the first and the last.
  ASSERT_TRUE(image.SelectPattern(-5, false, false, texture, quad));
  EXPECT_EQ(texture, image.Textures()[0]);
  EXPECT_FLOAT_EQ(quad.Corner[kCornerTL].u, 0.0f);
  ASSERT_TRUE(image.SelectPattern(image.PatternCount() + 3, false, false, texture, quad));
  EXPECT_EQ(texture, image.Textures()[1]);
  EXPECT_FLOAT_EQ(quad.Corner[kCornerBR].u, 1.0f);
  EXPECT_FLOAT_EQ(quad.Corner[kCornerBR].v, 1.0f);

  // The pixels went into the right textures, rows from the top.
  LockedArea area;
  ASSERT_EQ(image.Lock(1, area), 0);
  EXPECT_EQ(Texel32(area, 5, 7), 0xFF010705u);
  EXPECT_EQ(image.Unlock(1), 0);
}

TEST(PatternImageRecord, ZeroPatternSizeMeansWholeTexture) {
  auto device = SoftwareDevice();
  TPatternImage image;
  ASSERT_EQ(image.LoadFromMemory(*device, CoordinateRecord(32, 16, 0, 0, 3), 26), 0);
  EXPECT_EQ(image.PatternWidth(), 32);
  EXPECT_EQ(image.PatternHeight(), 16);
  EXPECT_EQ(image.PatternsPerTexture(), 1);
  EXPECT_EQ(image.PatternCount(), 3);
  EXPECT_EQ(image.Format(), 26);
  TextureHandle texture = kNoTexture;
  QuadTemplate quad;
  ASSERT_TRUE(image.SelectPattern(2, false, false, texture, quad));
  EXPECT_EQ(texture, image.Textures()[2]);
  EXPECT_FLOAT_EQ(quad.Corner[kCornerBR].u, 1.0f);
}

TEST(PatternImageRecord, ErrorCodes) {
  auto device = SoftwareDevice();
  const std::vector<uint8_t> good = CoordinateRecord(16, 16, 8, 8, 1);
  TPatternImage image;
  EXPECT_EQ(image.LoadFromMemory(*device, good, 28), kImageBadFormat);
  EXPECT_EQ(image.LoadFromMemory(*device, good, 30), kImageBadFormat);  // pictures only
  std::vector<uint8_t> bad_magic = good;
  bad_magic[0] = 'X';
  EXPECT_EQ(image.LoadFromMemory(*device, bad_magic, 21), kImageNotAnImage);
  EXPECT_EQ(image.LoadFromMemory(*device, std::vector<uint8_t>{'T', 'Q'}, 21), kImageNotAnImage);

  // Records that contradict themselves or would divide by zero.
  auto with = [&](int tw, int th, int pw, int ph, int count) {
    std::vector<uint8_t> r = good;
    const int32_t v[5] = {tw, th, pw, ph, count};
    std::memcpy(&r[4], v, sizeof v);
    return r;
  };
  EXPECT_EQ(image.LoadFromMemory(*device, with(16, 16, 8, 8, 0), 21), kImageInvalid);
  EXPECT_EQ(image.LoadFromMemory(*device, with(16, 16, 32, 8, 1), 21), kImageInvalid);
  EXPECT_EQ(image.LoadFromMemory(*device, with(16, 16, -8, 8, 1), 21), kImageInvalid);
  EXPECT_EQ(image.LoadFromMemory(*device, with(0, 0, 0, 0, 1), 21), kImageInvalid);
  EXPECT_EQ(image.LoadFromMemory(*device, with(16, 16, 8, 8, 2), 21), kImageInvalid);  // short
  EXPECT_EQ(image.LoadFromMemory(*device, with(65536, 65536, 8, 8, 65536), 21), kImageInvalid);
  std::vector<uint8_t> cut(good.begin(), good.begin() + 20);
  EXPECT_EQ(image.LoadFromMemory(*device, cut, 21), kImageInvalid);
  EXPECT_FALSE(image.Loaded());

  // A device that cannot make textures.
  TDrawDevice uninitialised;
  EXPECT_EQ(image.LoadFromMemory(uninitialised, good, 21), kImageCreateFailed);
  EXPECT_FALSE(image.Loaded());

  ASSERT_EQ(image.LoadFromMemory(*device, good, 21), 0);
  EXPECT_EQ(image.LoadFromMemory(*device, good, 21), kImageInvalid);  // already loaded
  EXPECT_EQ(image.Unload(), 0);
  EXPECT_EQ(image.Unload(), -1);
  TextureHandle texture;
  QuadTemplate quad;
  EXPECT_FALSE(image.SelectPattern(0, false, false, texture, quad));
}

TEST(PatternImageRecord, FailedUploadLeavesTheImageEmpty) {
  LockRefusingBackend* backend = nullptr;
  auto device = LockRefusingDevice(backend);
  backend->FailLock = true;
  TPatternImage image;
  EXPECT_EQ(image.LoadFromMemory(*device, CoordinateRecord(16, 16, 8, 8, 2), 21), kImageLockFailed);
  EXPECT_FALSE(image.Loaded());
  // Both textures were created and both were released again.
  EXPECT_EQ(backend->Created, 2);
  EXPECT_EQ(backend->Destroyed, 2);
}

TEST(PatternImageRecord, NoCodecLibraryMeansNoImage) {
  SetCodecLoader([](const std::string&) { return std::optional<CodecLibrary>(); });
  auto device = SoftwareDevice();
  TPatternImage image;
  EXPECT_EQ(image.LoadFromMemory(*device, CoordinateRecord(16, 16, 8, 8, 1), 21), kImageNoCodec);
  EXPECT_EQ(image.LoadFromFile(*device, "whatever.tga", 8, 8, 16, 16, 21), kImageNoCodec);
  SetCodecLoader(nullptr);
}

TEST(PatternImageArchive, LoadsRecordsByNameAndReportsFailures) {
  TempDir dir;
  const std::string path = dir.File("sprites.pak");
  tools::WriteArchive(path, {{"Player", CoordinateRecord(32, 32, 16, 16, 1)},
                             {"notes", std::vector<uint8_t>{1, 2, 3, 4, 5, 6, 7, 8}}});
  TRecordArchive archive;
  archive.FileName = path;
  archive.OpenMode = opReadOnly;
  ASSERT_EQ(archive.Open(), 0);

  auto device = SoftwareDevice();
  TPatternImage image;
  EXPECT_EQ(image.LoadFromArchive(archive, *device, "missing", 21), kImageRecordUnreadable);
  EXPECT_EQ(image.LoadFromArchive(archive, *device, "notes", 21), kImageNotAnImage);
  // Only the first 31 characters of the name count.
  EXPECT_EQ(image.LoadFromArchive(archive, *device, "player" + std::string(40, 'x'), 21),
            kImageRecordUnreadable);
  ASSERT_EQ(image.LoadFromArchive(archive, *device, "player", 21), 0);
  EXPECT_EQ(image.PatternCount(), 4);
  EXPECT_EQ(image.LoadFromArchive(archive, *device, "player", 21), kImageAlreadyLoaded);
}

TEST(PatternImagePicture, PartialGridLeavesLeftoverColumnsOut) {
  TempDir dir;
  WriteCoordinatePicture(dir.File("strip.tga"), 200, 64);
  auto device = SoftwareDevice();
  TPatternImage image;
  ASSERT_EQ(image.LoadFromFile(*device, dir.File("strip.tga"), 64, 64, 64, 64, 21), 0);
  EXPECT_EQ(image.PatternCount(), 3);
  EXPECT_EQ(image.TextureCount(), 3);
  LockedArea area;
  ASSERT_EQ(image.Lock(2, area), 0);
  EXPECT_EQ(Texel32(area, 0, 0), CoordinateOf(128, 0));
  EXPECT_EQ(Texel32(area, 63, 63), CoordinateOf(191, 63));
  image.Unlock(2);
}

TEST(PatternImagePicture, PatternsFlowAcrossTextures) {
  TempDir dir;
  WriteCoordinatePicture(dir.File("screen.tga"), 640, 480);
  auto device = SoftwareDevice();
  TPatternImage image;
  ASSERT_EQ(image.LoadFromFile(*device, dir.File("screen.tga"), 64, 64, 256, 256, 21), 0);
  EXPECT_EQ(image.PatternCount(), 70);
  EXPECT_EQ(image.TextureCount(), 5);
  EXPECT_EQ(image.PatternsPerTexture(), 16);
  // Pattern 69 is picture column 9, row 6; it sits in texture 4, slot 5 (column 1, row 1).
  LockedArea area;
  ASSERT_EQ(image.Lock(4, area), 0);
  EXPECT_EQ(Texel32(area, 64, 64), CoordinateOf(9 * 64, 6 * 64));
  EXPECT_EQ(Texel32(area, 64 + 63, 64 + 63), CoordinateOf(9 * 64 + 63, 6 * 64 + 63));
  // Pattern 64 (picture column 4, row 6) in slot 0.
  EXPECT_EQ(Texel32(area, 10, 3), CoordinateOf(4 * 64 + 10, 6 * 64 + 3));
  // Slot 6 onwards holds no pattern and stays as created.
  EXPECT_EQ(Texel32(area, 128 + 5, 64 + 5), 0u);
  image.Unlock(4);

  TextureHandle texture;
  QuadTemplate quad;
  ASSERT_TRUE(image.SelectPattern(69, false, false, texture, quad));
  EXPECT_EQ(texture, image.Textures()[4]);
  EXPECT_FLOAT_EQ(quad.Corner[kCornerTL].u, 0.25f);
  EXPECT_FLOAT_EQ(quad.Corner[kCornerTL].v, 0.25f);
}

TEST(PatternImagePicture, ErrorCodesAndReaderErrors) {
  TempDir dir;
  WriteCoordinatePicture(dir.File("small.tga"), 40, 40);
  auto device = SoftwareDevice();
  TPatternImage image;
  // Smaller than one pattern: no patterns, no textures.
  EXPECT_EQ(image.LoadFromFile(*device, dir.File("small.tga"), 64, 64, 64, 64, 21), kImageInvalid);
  // Textures that cannot hold a pattern.
  EXPECT_EQ(image.LoadFromFile(*device, dir.File("small.tga"), 32, 32, 16, 64, 21), kImageInvalid);
  EXPECT_EQ(image.LoadFromFile(*device, dir.File("small.tga"), 8, 8, 64, 64, 28), kImageBadFormat);
  EXPECT_FALSE(image.Loaded());

  // Reader errors reach the caller with their message; the image stays empty.
  std::vector<uint8_t> colour_mapped(18, 0);
  colour_mapped[2] = 1;
  tools::WriteFileBytes(dir.File("mapped.tga"), colour_mapped);
  try {
    image.LoadFromFile(*device, dir.File("mapped.tga"), 8, 8, 64, 64, 21);
    FAIL() << "a colour-mapped picture must be refused";
  } catch (const BitmapError& e) {
    EXPECT_STREQ(e.what(), "TGA graphics is not in True-Color");
  }
  EXPECT_THROW(image.LoadFromFile(*device, dir.File("absent.bmp"), 8, 8, 64, 64, 25), BitmapError);
  EXPECT_FALSE(image.Loaded());

  // Zero pattern sizes take the picture's; format 30 is accepted from pictures.
  ASSERT_EQ(image.LoadFromFile(*device, dir.File("small.tga"), 0, 0, 64, 64, 30), 0);
  EXPECT_EQ(image.PatternWidth(), 40);
  EXPECT_EQ(image.PatternCount(), 1);
  EXPECT_EQ(image.LoadFromFile(*device, dir.File("small.tga"), 0, 0, 64, 64, 30), kImageCreateFailed);
}

TEST(PatternImageLock, ChangesShowInTheNextFrame) {
  auto device = SoftwareDevice();
  TPatternImage image;
  ASSERT_EQ(image.LoadFromMemory(*device, CoordinateRecord(8, 8, 0, 0, 1), 21), 0);
  LockedArea area;
  EXPECT_EQ(image.Lock(1, area), kImageInvalid);
  EXPECT_EQ(image.Lock(-1, area), kImageInvalid);
  EXPECT_EQ(image.Unlock(3), kImageInvalid);
  ASSERT_EQ(image.Lock(0, area), 0);
  EXPECT_GE(area.Pitch, 8 * 4);
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 8; ++x) {
      const uint32_t green = 0xFF00FF00u;
      std::memcpy(area.Bits + static_cast<ptrdiff_t>(y) * area.Pitch + x * 4, &green, 4);
    }
  }
  ASSERT_EQ(image.Unlock(0), 0);
  ASSERT_EQ(image.Lock(0, area), 0);
  EXPECT_EQ(Texel32(area, 7, 7), 0xFF00FF00u);
  ASSERT_EQ(image.Unlock(0), 0);

  device->BeginScene();
  device->Clear(0);
  ASSERT_TRUE(device->DrawImage(&image, 100, 50, 0, 0));
  device->EndScene();
  std::vector<uint32_t> frame;
  int32_t w = 0, h = 0;
  ASSERT_TRUE(device->ReadFrame(frame, w, h));
  EXPECT_EQ(frame[static_cast<size_t>(50 * w + 100)], 0xFF00FF00u);
  EXPECT_EQ(frame[static_cast<size_t>(57 * w + 107)], 0xFF00FF00u);
  EXPECT_EQ(frame[static_cast<size_t>(58 * w + 108)] & 0xFFFFFFu, 0u);

  // A device that refuses the lock.
  LockRefusingBackend* backend = nullptr;
  auto recording = LockRefusingDevice(backend);
  TPatternImage other;
  ASSERT_EQ(other.LoadFromMemory(*recording, CoordinateRecord(8, 8, 0, 0, 1), 21), 0);
  backend->FailLock = true;
  EXPECT_EQ(other.Lock(0, area), kImageLockFailed);
  EXPECT_EQ(other.SetColorKey(0xFF00FF), kImageBadFormat);
}

TEST(PatternImageColourKey, MagentaBecomesTransparent) {
  // A 2 x 1 picture: magenta then a dark red, written as a 24-bit BMP so it arrives
  // without alpha, as the tiles do.
  TempDir dir;
  TBitmapEx picture;
  picture.SetSize(2, 1, 24);
  const uint8_t row[6] = {0xFF, 0x00, 0xFF, 0x00, 0x00, 0x80};
  std::memcpy(picture.Row(0), row, 6);
  picture.SaveToFile(dir.File("tile.bmp"));

  auto device = SoftwareDevice();
  TPatternImage image;
  EXPECT_EQ(image.SetColorKey(0xFF00FF), kImageInvalid);  // not loaded
  ASSERT_EQ(image.LoadFromFile(*device, dir.File("tile.bmp"), 0, 0, 2, 1, 25), 0);
  LockedArea area;
  ASSERT_EQ(image.Lock(0, area), 0);
  EXPECT_EQ(Texel16(area, 0, 0), 0x7C1F);  // alpha 0 from the picture: top bit clear
  EXPECT_EQ(Texel16(area, 1, 0), 0x4000);
  image.Unlock(0);

  ASSERT_EQ(image.SetColorKey(0xFF00FF), 0);
  ASSERT_EQ(image.Lock(0, area), 0);
  EXPECT_EQ(Texel16(area, 0, 0), 0x7C1F);  // the key: transparent
  EXPECT_EQ(Texel16(area, 1, 0), 0xC000);  // everything else: opaque
  image.Unlock(0);
  // The key is given as 0xAABBGGRR: 0x000080 is dark red, which now goes too.
  ASSERT_EQ(image.SetColorKey(0x000080), 0);
  ASSERT_EQ(image.Lock(0, area), 0);
  EXPECT_EQ(Texel16(area, 0, 0), 0xFC1F);
  EXPECT_EQ(Texel16(area, 1, 0), 0x4000);
  image.Unlock(0);

  // Any other format is refused and left alone.
  TPatternImage full;
  ASSERT_EQ(full.LoadFromMemory(*device, CoordinateRecord(4, 4, 0, 0, 1), 21), 0);
  EXPECT_EQ(full.SetColorKey(0xFF00FF), kImageBadFormat);
  ASSERT_EQ(full.Lock(0, area), 0);
  EXPECT_EQ(Texel32(area, 3, 2), 0xFF000203u);
  full.Unlock(0);
}

}  // namespace
}  // namespace tarq

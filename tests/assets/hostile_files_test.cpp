// Crafted files that used to crash the loaders, make them ask for gigabytes or make
// loading quadratic: each test builds the hostile file, then shows the reader refusing
// it (or loading it exactly as before) without the large allocation.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <filesystem>
#include <string>
#include <vector>

#include "archive_fixtures.h"
#include "assets/asset_loader.h"
#include "assets/bitmap_ex.h"
#include "assets/bitmap_font.h"
#include "assets/pattern_image.h"
#include "assets/record_archive.h"
#include "draw_test_support.h"

namespace tarq {
namespace {

using Bytes = std::vector<uint8_t>;
using testing::TempDir;
using testing::WriteText;

void Put16(Bytes& b, size_t at, uint32_t v) {
  b[at] = static_cast<uint8_t>(v);
  b[at + 1] = static_cast<uint8_t>(v >> 8);
}

// A file that claims `size` bytes but stores almost none (a sparse file).
void MakeSparse(const std::filesystem::path& path, off_t size) {
  const int fd = ::open(path.c_str(), O_CREAT | O_TRUNC | O_WRONLY, 0644);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::ftruncate(fd, size), 0);
  ::close(fd);
}

size_t CreatedTextures(const RecordingBackend& backend) {
  return backend.Of(RecordedCall::CreateTexture).size();
}

TEST(HostileImageRecord, ManyTinyTexturesAreRefusedBeforeAnyTextureIsMade) {
  // A record of 1 x 1 textures with a huge texture count deflates to a few KB; every
  // texture used to become a device texture (1.7 GB for a 31 KB archive).
  TempDir dir;
  const int32_t count = 1'000'000;
  tools::WriteArchive(dir.path() / "sprites.pak",
                      {{"tiny", tools::BuildRawImageRecord(1, 1, 0, 0, count, std::vector<uint32_t>(count))},
                       {"most", tools::BuildRawImageRecord(1, 1, 0, 0, kMaxImageTextures,
                                                           std::vector<uint32_t>(kMaxImageTextures))}});
  EXPECT_LT(std::filesystem::file_size(dir.path() / "sprites.pak"), 64u * 1024);
  TRecordArchive archive;
  archive.OpenMode = opReadOnly;
  archive.FileName = (dir.path() / "sprites.pak").string();
  ASSERT_EQ(archive.Open(), 0);
  RecordingBackend* backend = nullptr;
  auto device = testing::RecordingDevice(backend);
  TPatternImage image;
  EXPECT_EQ(image.LoadFromArchive(archive, *device, "tiny", 21), kImageInvalid);
  EXPECT_EQ(CreatedTextures(*backend), 0u);
  // The bound itself still loads.
  EXPECT_EQ(image.LoadFromArchive(archive, *device, "most", 21), 0);
  EXPECT_EQ(image.TextureCount(), kMaxImageTextures);
}

TEST(HostileImageRecord, TotalTexelsAreBounded) {
  RecordingBackend* backend = nullptr;
  auto device = testing::RecordingDevice(backend);
  // One texel over the bound, as one texture and as several.
  for (const auto& [w, h, n] : {std::tuple{2049, 2048, 1}, std::tuple{1025, 1024, 4}}) {
    const Bytes record = tools::BuildRawImageRecord(w, h, 0, 0, n, std::vector<uint32_t>(size_t(w) * h * n));
    TPatternImage image;
    EXPECT_EQ(image.LoadFromMemory(*device, record, 21), kImageInvalid) << w << "x" << h << "x" << n;
  }
  EXPECT_EQ(CreatedTextures(*backend), 0u);
  const Bytes largest = tools::BuildRawImageRecord(1024, 1024, 0, 0, 4, std::vector<uint32_t>(4u << 20));
  TPatternImage image;
  EXPECT_EQ(image.LoadFromMemory(*device, largest, 21), 0);
}

TEST(HostileBmp, OldHeaderSizesAreUnsigned) {
  // A 90-byte BMP with the 12-byte header claiming 65535 x 65535 at one bit per pixel:
  // read as signed numbers the sizes were 1 x 1 and passed the size check, and the
  // picture library then asked for about 13 GB.
  Bytes b(90, 0);
  b[0] = 'B';
  b[1] = 'M';
  Put16(b, 2, 90);
  Put16(b, 10, 32);  // pixel data offset: after the headers and a two-colour palette
  Put16(b, 14, 12);
  Put16(b, 18, 65535);
  Put16(b, 20, 65535);
  Put16(b, 22, 1);
  Put16(b, 24, 1);
  TBitmapEx bmp;
  try {
    bmp.LoadBmpFromMemory(b);
    ADD_FAILURE() << "the picture loaded";
  } catch (const BitmapError& e) {
    EXPECT_STREQ(e.what(), kPictureTooLarge);
  }
  // Found by the fuzzer: a header size that is neither form, in a file too short for
  // the fields the picture library then reads as 32-bit sizes (it asked for 9 PB).
  const Bytes odd = {'B', 'M', 0x5a, 0, 0, 0, 0, 0, 0, 0, 0x20, 0, 0, 0, 0x0c, 0, 0, 2, 0xff, 1,
                     0xfc, 0, 0, 0, 0, 0x0b, 0x2a, 0, 0x18, 0};
  EXPECT_THROW(bmp.LoadBmpFromMemory(odd), BitmapError);
  // A genuine small picture with the old header still loads: 2 x 2 at 24 bits.
  Bytes ok(26 + 2 * 8, 0);
  ok[0] = 'B';
  ok[1] = 'M';
  Put16(ok, 2, static_cast<uint32_t>(ok.size()));
  Put16(ok, 10, 26);
  Put16(ok, 14, 12);
  Put16(ok, 18, 2);
  Put16(ok, 20, 2);
  Put16(ok, 22, 1);
  Put16(ok, 24, 24);
  ok[26] = 0x11;  // bottom-left pixel, blue
  bmp.LoadBmpFromMemory(ok);
  EXPECT_EQ(bmp.Width(), 2);
  EXPECT_EQ(bmp.Height(), 2);
  EXPECT_EQ(bmp.Row(1)[0], 0x11);
}

// A run-length TGA of one repeated pixel: 5 bytes per 128 pixels.
Bytes RunLengthTga(int32_t w, int32_t h, int32_t bits) {
  Bytes b(18, 0);
  b[2] = 10;
  Put16(b, 12, static_cast<uint32_t>(w));
  Put16(b, 14, static_cast<uint32_t>(h));
  b[16] = static_cast<uint8_t>(bits);
  b[17] = 0x20;
  const int64_t pixels = int64_t{w} * h;
  for (int64_t done = 0; done < pixels; done += 128) {
    b.push_back(0xFF);
    for (int i = 0; i < bits / 8; ++i) b.push_back(static_cast<uint8_t>(0x40 + i));
  }
  return b;
}

TEST(HostileTga, RunLengthPicturesAreBoundedAndHeldOnce) {
  // 16384 x 16384 packed into 8 MB asked for 1 GiB; now any picture beyond the pixel
  // bound is refused before its pixels are allocated.
  TBitmapEx bmp;
  try {
    bmp.LoadTgaFromMemory(RunLengthTga(2049, 2048, 32));
    ADD_FAILURE() << "the picture loaded";
  } catch (const BitmapError& e) {
    EXPECT_STREQ(e.what(), kPictureTooLarge);
  }
  // A run-length picture expands about 100 times; it is decoded straight into the
  // bitmap, and widening to 32 bits happens in place rather than in a second copy.
  const Bytes file = RunLengthTga(2048, 2048, 24);
  bmp.LoadTgaFromMemory(file);
  ASSERT_EQ(bmp.Width(), 2048);
  const uint8_t* before = bmp.Row(0);
  bmp.ConvertTo32Bit();
  EXPECT_EQ(bmp.Row(0), before);
  EXPECT_EQ(bmp.BitsPerPixel(), 32);
  const uint8_t* last = bmp.Row(2047) + 2047 * 4;
  EXPECT_EQ((Bytes{last[0], last[1], last[2], last[3]}), (Bytes{0x40, 0x41, 0x42, 0}));
}

TEST(HostileFiles, HugeOrEndlessFilesAreRefusedWithAMessage) {
  TempDir dir;
  // A 2 GiB sparse picture, and a picture that is a link to a device that never ends.
  MakeSparse(dir.path() / "huge.tga", off_t{2} << 30);
  std::filesystem::create_symlink("/dev/zero", dir.path() / "endless.tga");
  std::filesystem::create_directory(dir.path() / "folder.tga");
  for (const char* name : {"huge.tga", "endless.tga", "folder.tga"}) {
    TBitmapEx bmp;
    try {
      bmp.LoadFromFile((dir.path() / name).string());
      ADD_FAILURE() << name << " loaded";
    } catch (const BitmapError& e) {
      EXPECT_NE(std::string(e.what()).find(name), std::string::npos) << e.what();
    }
  }
}

class HostileLoaderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(dir.path() / "system");
    std::filesystem::create_directories(dir.path() / "tiles");
    std::filesystem::create_directories(dir.path() / "outside");
    device = testing::RecordingDevice(backend);
    ctx.Device = device.get();
    ctx.Root = dir.path();
  }
  void TearDown() override { ReleaseGraphics(assets, nullptr); }

  TempDir dir;
  RecordingBackend* backend = nullptr;
  std::unique_ptr<TDrawDevice> device;
  GameAssets assets;
  AssetLoaderContext ctx;
};

TEST_F(HostileLoaderTest, TileListTooLargeOrEndlessEndsLoadingWithAMessage) {
  MakeSparse(dir.path() / "tiles/tiles.txt", off_t{2} << 30);
  LoadGraphicsResult r = LoadGraphics(assets, ctx);
  EXPECT_FALSE(r.Ok);
  EXPECT_NE(r.Error.find("too large"), std::string::npos) << r.Error;
  ReleaseGraphics(assets, nullptr);
  std::filesystem::remove(dir.path() / "tiles/tiles.txt");
  std::filesystem::create_symlink("/dev/zero", dir.path() / "tiles/tiles.txt");
  r = LoadGraphics(assets, ctx);
  EXPECT_FALSE(r.Ok);
  EXPECT_NE(r.Error.find("too large"), std::string::npos) << r.Error;
}

TEST_F(HostileLoaderTest, TileNamesStayInsideTheTilesFolder) {
  // The picture exists outside the tiles folder; the list must not reach it.
  TBitmapEx bmp;
  bmp.SetSize(64, 64, 32);
  bmp.SaveToFile((dir.path() / "outside/secret.tga").string());
  const std::string absolute = (dir.path() / "outside/secret").string();
  for (const std::string& name : {std::string("../outside/secret"), std::string("..\\outside\\secret"),
                                  std::string("a/../../outside/secret"), absolute}) {
    WriteText(dir.path() / "tiles/tiles.txt", "0001 0000000000000000 " + name + "\n");
    const LoadGraphicsResult r = LoadGraphics(assets, ctx);
    EXPECT_FALSE(r.Ok) << name;
    EXPECT_NE(r.Error.find("outside the tiles folder"), std::string::npos) << r.Error;
    ReleaseGraphics(assets, nullptr);
  }
  // Names inside subfolders and names that merely contain dots are fine.
  std::filesystem::create_directories(dir.path() / "tiles/sub");
  bmp.SaveToFile((dir.path() / "tiles/sub/a..b.tga").string());
  WriteText(dir.path() / "tiles/tiles.txt", "0001 0000000000000000 sub\\a..b\n");
  const LoadGraphicsResult r = LoadGraphics(assets, ctx);
  EXPECT_TRUE(r.Ok) << r.Error;
  EXPECT_TRUE(assets.TileImages[1]->Loaded());
}

TEST_F(HostileLoaderTest, HugeLoadingPictureIsRefusedAndTheGameLoadsOn) {
  // 16384 x 16384 run-length packed in 8 MB asked for 1 GiB.
  tools::WriteFileBytes(dir.path() / "system/loading.tga", RunLengthTga(16384, 16384, 32));
  WriteText(dir.path() / "tiles/tiles.txt", "");
  const LoadGraphicsResult r = LoadGraphics(assets, ctx);
  EXPECT_TRUE(r.Ok) << r.Error;  // a missing loading picture is no error: it draws nothing
  EXPECT_EQ(CreatedTextures(*backend), 0u);
}

// The names ReadRecord finds when it re-reads the table for every record, as the
// archive once did: the first entry whose upper-cased name matches, -5 when every
// entry was read without a match, -8 when the file ends before the count is reached.
int32_t ReReadingLookup(const Bytes& file, const std::string& name) {
  auto u32 = [&](size_t at) {
    return uint32_t(file[at]) | uint32_t(file[at + 1]) << 8 | uint32_t(file[at + 2]) << 16 |
           uint32_t(file[at + 3]) << 24;
  };
  const int32_t count = static_cast<int32_t>(u32(12));
  const size_t table = u32(16);
  for (int32_t i = 0; i < count; ++i) {
    const size_t at = table + 64 * static_cast<size_t>(i);
    if (at + 64 > file.size()) return kArchiveFileError;
    const std::string entry(reinterpret_cast<const char*>(&file[at + 1]), std::min<size_t>(file[at], 31));
    if (ArchiveUpperCase(entry) == ArchiveUpperCase(name)) return 0;
  }
  return kArchiveNoSuchRecord;
}

TEST(HostileArchive, FlippedRecordCountKeepsResultsAndReadsTheTableOnce) {
  TempDir dir;
  std::vector<tools::ArchiveRecord> records;
  for (int i = 0; i < 40; ++i) {
    records.push_back({"sprite" + std::to_string(i),
                       tools::BuildRawImageRecord(4, 4, 0, 0, 1, std::vector<uint32_t>(16, 0xFF000000u + i))});
  }
  Bytes file = tools::BuildArchive(records);
  file[14] ^= 0x01;  // one flipped bit: 40 records become 65576
  const auto path = dir.path() / "sprites.pak";
  tools::WriteFileBytes(path, file);
  TRecordArchive archive;
  archive.OpenMode = opReadOnly;
  archive.FileName = path.string();
  archive.Open();  // the table covers the whole file now: garbage entries after the real ones
  ASSERT_GT(archive.RecordCount(), 40);
  // Every name the table lists, and a missing one, gives what re-reading would give.
  for (int32_t i = 0; i < archive.RecordCount(); ++i) {
    const std::string name = archive.RecordName(i);
    Bytes data;
    int32_t size = 0;
    const int32_t rc = archive.ReadRecord(name, data, size);
    if (ReReadingLookup(file, name) != 0) {
      EXPECT_EQ(rc, ReReadingLookup(file, name)) << name;
    } else if (i < 40) {
      EXPECT_EQ(rc, 0) << name;
      EXPECT_EQ(size, 24 + 64);
    }
  }
  Bytes data;
  int32_t size = 0;
  EXPECT_EQ(archive.ReadRecord("nothing", data, size), kArchiveFileError);  // the count runs past the end
  // The kept table follows the file: rewritten with the right count, a missing name
  // is "no such record" again and the records still read.
  file[14] ^= 0x01;
  tools::WriteFileBytes(path, file);
  struct timespec later[2] = {{0, UTIME_OMIT}, {::time(nullptr) + 5, 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), later, 0), 0);
  EXPECT_EQ(archive.ReadRecord("nothing", data, size), kArchiveNoSuchRecord);
  EXPECT_EQ(archive.ReadRecord("sprite39", data, size), 0);
}

TEST(HostileFont, AbsurdMetricsCannotOverflowTheDrawingArithmetic) {
  // Advances of the largest 32-bit value saturate the pen; the device then added the
  // pattern width in 32 bits and the glyph wrapped round to the far left.
  TempDir dir;
  testing::WriteTestFont(dir.path() / "absurd.fnt", 65, {{INT32_MAX, 10}, {INT32_MAX, INT32_MAX}});
  RecordingBackend* backend = nullptr;
  auto device = testing::RecordingDevice(backend);
  TBitmapFont font;
  font.DrawDevice = device.get();
  ASSERT_TRUE(font.LoadFromFile((dir.path() / "absurd.fnt").string(), 26));
  for (int32_t scale : {256, 512}) {
    font.Scale = scale;
    backend->ClearCalls();
    device->BeginScene();
    EXPECT_TRUE(font.TextOut("ABAB", 10, 10, 0xFFFFFF));
    device->EndScene();
    size_t vertices = 0;
    for (const RecordedCall& c : backend->Of(RecordedCall::UploadVertices)) {
      for (const DrawVertex& v : c.Vertices) {
        EXPECT_GE(v.x, 10.0f);  // never wrapped to the left of where the text starts
        ++vertices;
      }
    }
    EXPECT_GT(vertices, 0u);
    EXPECT_EQ(font.TextWidth("ABAB"), INT32_MAX);
    EXPECT_EQ(font.TextHeight("B"), INT32_MAX);
  }
}

}  // namespace
}  // namespace tarq

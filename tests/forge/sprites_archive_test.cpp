// The forged sprite archive and loading picture, read back through the game's own
// archive, image and picture readers.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "assets/bitmap_ex.h"
#include "gfx/draw_device.h"
#include "assets/pattern_image.h"
#include "assets/record_archive.h"
#include "forge.h"
#include "forge_test_support.h"
#include "sprites_common.h"

namespace tarq {
namespace {

using forge_test::DataDir;
using forge_test::ReadBytes;

// What the game needs of each sprite: pattern size and the number of patterns it
// selects. at_least marks sizes that only have a lower bound (sliding parts clipped to
// a window, the fortress gun whose beam leaves 206 px below its top).
struct Needed {
  const char* name;
  int width, height, patterns;
  bool at_least = false;
};

const std::vector<Needed>& NeededSprites() {
  static const std::vector<Needed> needed = {
      {"blank", 16, 16, 1}, {"enemybullet", 16, 16, 1}, {"playerbullet", 32, 16, 2},
      {"explosion1a", 64, 64, 16}, {"explosion1b", 64, 64, 11}, {"explosion2a", 64, 64, 16},
      {"explosion2b", 64, 64, 15}, {"heli2", 64, 64, 2}, {"rotors1", 64, 64, 1}, {"lives1", 32, 16, 2},
      {"powerups", 32, 32, 9}, {"shield", 64, 64, 1}, {"bar1", 16, 16, 1}, {"bar3", 16, 64, 6},
      {"nuke", 64, 64, 1}, {"flare", 32, 32, 1}, {"crater01", 64, 64, 1}, {"tanktracks", 64, 64, 2},
      {"jeeptracks", 64, 32, 2}, {"splash", 64, 64, 1}, {"bullet2", 16, 16, 12}, {"bullet3", 16, 16, 3},
      {"bigbullet", 32, 16, 4}, {"hele0", 64, 64, 1}, {"hele1", 64, 64, 2}, {"hele2", 64, 64, 1},
      {"hele3", 96, 96, 1}, {"hele4", 64, 64, 1}, {"missile1", 32, 16, 1}, {"goose1", 128, 128, 5},
      {"goose2", 64, 64, 1}, {"goose3", 64, 64, 1}, {"lockheed", 64, 64, 1}, {"bat1", 64, 64, 4},
      {"bulletbomb", 48, 48, 2}, {"alienspin", 48, 48, 13}, {"mine", 32, 32, 2}, {"xbot", 64, 64, 4},
      {"loopy", 48, 48, 1}, {"waterthing1", 64, 64, 1}, {"alien2", 64, 64, 5}, {"floatplane", 64, 64, 1},
      {"lavabomb", 32, 32, 1}, {"bigtankflier", 48, 48, 1}, {"bigplane", 128, 128, 1},
      {"airportshooter", 32, 32, 1}, {"tank0b", 64, 64, 1}, {"tank0t", 64, 32, 1}, {"enemyjeep", 48, 32, 2},
      {"groundspitter", 64, 64, 1}, {"missiletank", 64, 64, 1}, {"seamine", 32, 32, 1},
      {"shellspitter", 32, 32, 1}, {"train1", 48, 96, 2}, {"carriage1", 48, 96, 2}, {"groundbomb", 48, 48, 6},
      {"groundcannon1anim", 48, 48, 6}, {"raillauncher", 64, 48, 1}, {"groundcannon2b", 60, 60, 5},
      {"groundcannon2a", 60, 30, 2}, {"tech1", 128, 64, 1}, {"techdoors", 40, 57, 2, true},
      {"hovercraft1", 90, 124, 1}, {"hovercraft1a", 25, 32, 1}, {"bigtank", 64, 64, 6}, {"bigtank1", 64, 96, 4},
      {"bubbleholder", 64, 64, 1}, {"bubbleholder1", 64, 64, 1}, {"camogun1", 64, 64, 1}, {"tarpgun", 64, 64, 1},
      {"biggun", 70, 70, 1}, {"dome", 98, 82, 1}, {"boss1gun", 64, 192, 1, true},
      {"boss1doors", 65, 134, 2, true}, {"boss2a", 128, 128, 4}, {"boss2b", 128, 128, 4},
      {"boss2cannon", 40, 42, 1}, {"boss3", 128, 128, 1}, {"boss4", 64, 64, 13}, {"boss4x1", 58, 48, 1},
      {"title1", 256, 256, 1}, {"title2", 256, 256, 1}, {"title3", 256, 256, 1}, {"sponsors", 320, 240, 1},
  };
  return needed;
}

// A decoded image record: its geometry and pixels (0xAARRGGBB).
struct Image {
  int tw = 0, th = 0, pw = 0, ph = 0, textures = 0;
  std::vector<uint32_t> texels;
  int PerRow() const { return tw / pw; }
  int PerTexture() const { return (tw / pw) * (th / ph); }
  int Count() const { return textures * PerTexture(); }
  uint32_t At(int pattern, int x, int y) const {
    const int t = pattern / PerTexture(), q = pattern % PerTexture();
    const int tx = (q % PerRow()) * pw + x, ty = (q / PerRow()) * ph + y;
    return texels[(size_t(t) * th + ty) * tw + tx];
  }
};

TRecordArchive OpenSprites() {
  TRecordArchive archive;
  archive.FileName = (DataDir() / "system" / "sprites.pak").string();
  archive.OpenMode = opReadOnly;
  EXPECT_EQ(archive.Open(), 0);
  return archive;
}

Image ReadImage(const TRecordArchive& archive, const std::string& name) {
  std::vector<uint8_t> data;
  int32_t size = 0;
  EXPECT_EQ(archive.ReadRecord(name, data, size), 0) << name;
  Image image;
  if (data.size() < 24) return image;
  auto u32 = [&](size_t at) {
    uint32_t v;
    std::memcpy(&v, data.data() + at, 4);
    return v;
  };
  EXPECT_EQ(u32(0), kImageRecordMagicTQIM) << name;
  image.tw = int(u32(4));
  image.th = int(u32(8));
  image.pw = int(u32(12));
  image.ph = int(u32(16));
  image.textures = int(u32(20));
  image.texels.resize((data.size() - 24) / 4);
  std::memcpy(image.texels.data(), data.data() + 24, image.texels.size() * 4);
  EXPECT_EQ(image.texels.size(), size_t(image.tw) * image.th * image.textures) << name;
  return image;
}

TEST(ForgedSprites, TableHoldsEveryNeededSpriteInAStableOrder) {
  TRecordArchive archive = OpenSprites();
  ASSERT_EQ(archive.RecordCount(), 84);
  // Indices used raw by the game, then every other name in alphabetical order.
  const char* fixed[] = {"blank", "enemybullet", "playerbullet", "explosion1a",
                         "explosion1b", "explosion2a", "explosion2b"};
  std::set<std::string> names;
  for (int i = 0; i < archive.RecordCount(); ++i) {
    const std::string name = archive.RecordName(i);
    if (i < 7) {
      EXPECT_EQ(name, fixed[i]);
    }
    if (i > 7) {
      EXPECT_LT(archive.RecordName(i - 1), name) << "table order at " << i;
    }
    EXPECT_LE(name.size(), 31u);
    EXPECT_EQ(name.find_first_not_of("abcdefghijklmnopqrstuvwxyz0123456789"), std::string::npos) << name;
    EXPECT_TRUE(names.insert(name).second) << "duplicate " << name;
  }
  for (const Needed& n : NeededSprites()) EXPECT_TRUE(names.count(n.name)) << "missing " << n.name;
  EXPECT_EQ(names.size(), NeededSprites().size());
}

TEST(ForgedSprites, EachLoadsWithItsPatternSizeAndCount) {
  TRecordArchive archive = OpenSprites();
  TDrawDevice device;
  device.SetHardware(false);
  device.SetWidth(640);
  device.SetHeight(480);
  ASSERT_EQ(device.Initialize(), 0);
  for (const Needed& n : NeededSprites()) {
    TPatternImage image;
    ASSERT_EQ(image.LoadFromArchive(archive, device, n.name, 21), 0) << n.name;
    if (n.at_least) {
      EXPECT_GE(image.PatternWidth(), n.width) << n.name;
      EXPECT_GE(image.PatternHeight(), n.height) << n.name;
    } else {
      EXPECT_EQ(image.PatternWidth(), n.width) << n.name;
      EXPECT_EQ(image.PatternHeight(), n.height) << n.name;
    }
    EXPECT_GE(image.PatternCount(), n.patterns) << n.name;
    // Power-of-two textures up to 512.
    for (int side : {image.TextureWidth(), image.TextureHeight()}) {
      EXPECT_TRUE(side <= 512 && (side & (side - 1)) == 0) << n.name << " texture side " << side;
    }
    image.Unload();
  }
  device.Finalize();
}

TEST(ForgedSprites, FixedLayoutsAndPieces) {
  TRecordArchive archive = OpenSprites();
  // boss4: four 64 px patterns per row on one 256 x 256 texture.
  const Image boss4 = ReadImage(archive, "boss4");
  EXPECT_EQ(boss4.tw, 256);
  EXPECT_EQ(boss4.th, 256);
  EXPECT_EQ(boss4.PerRow(), 4);
  // bigtank1: two quarters per row of one 128 x 192 picture.
  const Image bigtank1 = ReadImage(archive, "bigtank1");
  EXPECT_EQ(bigtank1.tw, 128);
  EXPECT_EQ(bigtank1.PerRow(), 2);
  EXPECT_EQ(bigtank1.Count(), 4);
  // The quarters join: pattern 0's right edge continues into pattern 1's left edge.
  int joined = 0;
  for (int y = 0; y < 96; ++y) joined += (bigtank1.At(0, 63, y) >> 24) > 0 && (bigtank1.At(1, 0, y) >> 24) > 0;
  EXPECT_GT(joined, 48);

  // The title pieces join seamlessly, and title3 is empty past its first 64 columns.
  const Image t1 = ReadImage(archive, "title1"), t2 = ReadImage(archive, "title2"),
              t3 = ReadImage(archive, "title3");
  int across = 0, mismatched = 0;
  for (int y = 0; y < 256; ++y) {
    const uint32_t a = t1.At(0, 255, y), b = t2.At(0, 0, y);
    if ((a >> 24) > 200) {
      ++across;
      if ((b >> 24) < 100) ++mismatched;
    }
  }
  EXPECT_GT(across, 10);
  EXPECT_LE(mismatched, 2);
  for (int y = 0; y < 256; ++y) {
    for (int x = 64; x < 256; ++x) ASSERT_EQ(t3.At(0, x, y), 0u) << "title3 at " << x << "," << y;
  }
}

TEST(ForgedSprites, PixelsFollowTheBlendRules) {
  TRecordArchive archive = OpenSprites();
  // Everywhere: RGB is zero where alpha is zero (images drawn with additive blends
  // would show it, and shadows rely on clean alpha).
  for (const Needed& n : NeededSprites()) {
    const Image image = ReadImage(archive, n.name);
    size_t dirty = 0;
    for (uint32_t p : image.texels) dirty += (p >> 24) == 0 && (p & 0xFFFFFF) != 0;
    EXPECT_EQ(dirty, 0u) << n.name;
  }
  // Index 0 stands in for unknown names: fully transparent.
  for (uint32_t p : ReadImage(archive, "blank").texels) ASSERT_EQ(p, 0u);

  // Drawn with copy: every pattern pixel opaque.
  for (const char* name : {"groundcannon2a", "techdoors", "dome", "sponsors"}) {
    const Image image = ReadImage(archive, name);
    for (int p = 0; p < image.Count(); ++p) {
      for (int y = 0; y < image.ph; ++y) {
        for (int x = 0; x < image.pw; ++x) ASSERT_EQ(image.At(p, x, y) >> 24, 255u) << name << " " << x << "," << y;
      }
    }
  }
  // Glows scaled up many times must be black all round their border.
  for (const char* name : {"explosion1a", "explosion1b", "explosion2a", "explosion2b", "nuke", "flare",
                           "splash", "shield", "rotors1", "bubbleholder1"}) {
    const Image image = ReadImage(archive, name);
    for (int p = 0; p < image.Count(); ++p) {
      for (int k = 0; k < image.pw; ++k) {
        ASSERT_EQ(image.At(p, k, 0), 0u) << name;
        ASSERT_EQ(image.At(p, k, image.ph - 1), 0u) << name;
        ASSERT_EQ(image.At(p, 0, k), 0u) << name;
        ASSERT_EQ(image.At(p, image.pw - 1, k), 0u) << name;
      }
    }
  }
  // Darkening images stay at or below grey 0x90 so they shade without blotting out.
  for (const char* name : {"rotors1", "bubbleholder1"}) {
    for (uint32_t p : ReadImage(archive, name).texels) {
      ASSERT_LE(std::max({(p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF}), 0x90u) << name;
    }
  }
  // Explosions: a white-hot flash first, fading to near black by the last frame used.
  auto brightest = [](const Image& image, int pattern) {
    uint32_t most = 0;
    for (int y = 0; y < image.ph; ++y)
      for (int x = 0; x < image.pw; ++x) most = std::max(most, (image.At(pattern, x, y) >> 8) & 0xFF);  // green
    return most;
  };
  const Image a1 = ReadImage(archive, "explosion1a"), a2 = ReadImage(archive, "explosion1b");
  const Image b1 = ReadImage(archive, "explosion2a"), b2 = ReadImage(archive, "explosion2b");
  EXPECT_GT(brightest(a1, 0), 230u);
  EXPECT_LT(brightest(a2, 10), 24u);
  EXPECT_GT(brightest(b1, 0), 230u);
  EXPECT_LT(brightest(b2, 14), 24u);
  EXPECT_NE(a1.texels, b1.texels);  // two distinct animations
  // The HUD's nuke icon is pattern 4 of the power-ups, added as light: black around.
  const Image powerups = ReadImage(archive, "powerups");
  for (int k = 0; k < 32; ++k) ASSERT_EQ(powerups.At(4, k, 0), 0u);
  // Every power-up has the same outline (its shadow is always pattern 0).
  for (int p = 1; p <= 8; ++p) {
    int differ = 0;
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 32; ++x)
        differ += ((powerups.At(0, x, y) >> 24) > 127) != ((powerups.At(p, x, y) >> 24) > 127);
    EXPECT_LE(differ, 4) << "power-up " << p;
  }
}

TEST(ForgedSprites, LoadingPictureIsASoftDarkBackdrop) {
  TBitmapEx bmp;
  bmp.LoadFromFile((DataDir() / "system" / "loading.tga").string());
  ASSERT_EQ(bmp.Width(), 64);
  ASSERT_EQ(bmp.Height(), 64);
  bmp.ConvertTo32Bit();
  // The middle band (screen rows 120..340) carries white and grey text: keep it dark.
  double sum = 0;
  int n = 0;
  for (int y = 16; y < 46; ++y) {
    const uint8_t* row = bmp.Row(y);
    for (int x = 0; x < 64; ++x, ++n) sum += (row[4 * x] + row[4 * x + 1] + row[4 * x + 2]) / 3.0;
  }
  EXPECT_LT(sum / n, 40.0);
}

TEST(ForgedSprites, TwoRunsWriteIdenticalBytes) {
  const auto base = std::filesystem::path(TARQ_BINARY_DIR) / "forge_sprites_twice";
  std::filesystem::remove_all(base);
  for (const char* run : {"a", "b"}) {
    forge::ForgeContext ctx;
    ctx.out = base / run;
    std::filesystem::create_directories(ctx.out / "system");
    forge::ForgeSprites(ctx);
  }
  for (const char* file : {"sprites.pak", "loading.tga"}) {
    const auto a = ReadBytes(base / "a" / "system" / file), b = ReadBytes(base / "b" / "system" / file);
    EXPECT_FALSE(a.empty()) << file;
    EXPECT_EQ(a, b) << file;
    // And the same as the data folder the build forged.
    EXPECT_EQ(a, ReadBytes(DataDir() / "system" / file)) << file;
  }
  std::filesystem::remove_all(base);
}

TEST(ForgedSprites, RejectsBadSpriteLists) {
  // The order and names are checked before anything is written.
  forge::SpriteList sprites = forge::BuildAllSprites();
  EXPECT_EQ(sprites.size(), 84u);
  auto with = [&](auto change) {
    forge::SpriteList copy = sprites;
    change(copy);
    return copy;
  };
  EXPECT_THROW(forge::OrderSprites(with([](forge::SpriteList& s) { s.push_back(s[10]); })), std::runtime_error);
  EXPECT_THROW(forge::OrderSprites(with([](forge::SpriteList& s) { s[10].name = "Upper"; })), std::runtime_error);
  EXPECT_THROW(forge::OrderSprites(with([](forge::SpriteList& s) { s[10].name = std::string(32, 'a'); })),
               std::runtime_error);
  EXPECT_THROW(forge::OrderSprites(with([](forge::SpriteList& s) { s.erase(s.begin() + 1); })),
               std::runtime_error);
  EXPECT_THROW(forge::OrderSprites(with([](forge::SpriteList& s) { s[20].patterns[0].width += 1; })),
               std::runtime_error);
  EXPECT_NO_THROW(forge::OrderSprites(sprites));
}

}  // namespace
}  // namespace tarq

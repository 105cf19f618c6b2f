// Both forged fonts loaded through the game's bitmap font on a software device: the
// metrics the screens are laid out for, and glyphs that are white with coverage in alpha.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "assets/bitmap_font.h"
#include "gfx/draw_device.h"
#include "assets/pattern_image.h"
#include "forge_test_support.h"

namespace tarq::forge_test {
namespace {

class ForgedFont : public ::testing::Test {
 protected:
  void SetUp() override {
    device_ = std::make_unique<TDrawDevice>();
    device_->SetHardware(false);
    device_->SetWidth(640);
    device_->SetHeight(480);
    ASSERT_EQ(device_->Initialize(), 0);
    font_.DrawDevice = device_.get();
  }
  void TearDown() override {
    font_.Unload();
    device_->Finalize();
  }
  void Load(const char* name) {
    ASSERT_TRUE(font_.LoadFromFile((DataDir() / "system" / name).string(), 26)) << name;
  }
  int Width(const std::string& text, int scale) {
    font_.Scale = scale;
    const int w = font_.TextWidth(text);
    font_.Scale = 256;
    return w;
  }
  // Alpha nibbles of one glyph cell (A4R4G4B4 texels), checking every inked texel is white.
  std::vector<int> GlyphAlpha(char ch) {
    TPatternImage* image = font_.Image();
    const int i = ch - font_.FirstChar();
    const int per_row = image->TextureWidth() / image->PatternWidth();
    const int x0 = (i % per_row) * image->PatternWidth(), y0 = (i / per_row) * image->PatternHeight();
    LockedArea area;
    EXPECT_EQ(image->Lock(0, area), 0);
    std::vector<int> alpha;
    for (int y = 0; y < image->PatternHeight(); ++y) {
      const auto* row = reinterpret_cast<const uint16_t*>(area.Bits + size_t(y0 + y) * area.Pitch);
      for (int x = 0; x < image->PatternWidth(); ++x) {
        const uint16_t t = row[x0 + x];
        alpha.push_back(t >> 12);
        if ((t >> 12) != 0) {
          EXPECT_EQ(t & 0x0FFF, 0x0FFF) << "glyph '" << ch << "' is not white";
        }
      }
    }
    image->Unlock(0);
    return alpha;
  }

  std::unique_ptr<TDrawDevice> device_;
  TBitmapFont font_;
};

TEST_F(ForgedFont, StencilFitsTheScreenLayouts) {
  Load("stencil.fnt");
  EXPECT_EQ(font_.FirstChar(), 32);
  EXPECT_EQ(font_.CharCount(), 95);
  for (int h : font_.CharHeight()) EXPECT_EQ(h, 24) << "one height keeps vertical centring steady";
  const auto& w = font_.CharWidth();
  for (char d = '0'; d <= '9'; ++d) EXPECT_EQ(w[size_t(d - 32)], w['0' - 32]) << "digit " << d;
  EXPECT_GE(w['0' - 32], 12);
  EXPECT_LE(w['0' - 32], 16);
  EXPECT_GE(w[0], 10);
  EXPECT_LE(w[0], 11);
  EXPECT_LE(*std::max_element(w.begin(), w.end()), 22);
  // Lines the game draws and the room they have.
  EXPECT_LE(Width("YOUR TARQ UNIT IS BEING DISBANDED", 256), 640);
  EXPECT_LE(Width("(PRESS BACKSPACE TO CLEAR, OR ESC FOR DEFAULT)", 192), 640);
  EXPECT_LE(Width("SHIELD: 800%", 160), 120) << "centred on x 60 it must not leave the screen";
  EXPECT_EQ(Width("0123456789", 256), 10 * w['0' - 32]);
  EXPECT_EQ(Width(std::string(84, ' '), 128), 84 * 5) << "the score header's spacing";
}

TEST_F(ForgedFont, StencilGlyphsAreWhiteCapitals) {
  Load("stencil.fnt");
  EXPECT_EQ(font_.CellWidth(), 32);
  EXPECT_EQ(font_.CellHeight(), 32);
  const std::vector<int> space = GlyphAlpha(' ');
  EXPECT_EQ(*std::max_element(space.begin(), space.end()), 0);
  const std::vector<int> a = GlyphAlpha('A');
  EXPECT_EQ(*std::max_element(a.begin(), a.end()), 15);
  EXPECT_EQ(GlyphAlpha('a'), a) << "lower case is drawn with the capital's shape";
  EXPECT_EQ(font_.CharWidth()['a' - 32], font_.CharWidth()['A' - 32]);
}

TEST_F(ForgedFont, SerifFitsTheOptionColumns) {
  Load("timesroman.fnt");
  EXPECT_EQ(font_.FirstChar(), 32);
  EXPECT_EQ(font_.CharCount(), 95);
  for (int h : font_.CharHeight()) EXPECT_EQ(h, 16);
  const auto& w = font_.CharWidth();
  double sum = 0;
  for (int x : w) sum += x;
  EXPECT_NEAR(sum / w.size(), 8.0, 1.5);
  EXPECT_GE(w[0], 3);
  EXPECT_LE(w[0], 5);
  EXPECT_LE(Width("Joystick 2 button 1, or A.", 256), 435);
  EXPECT_LE(Width("(PRESS BACKSPACE TO CLEAR, OR ESC FOR DEFAULT)", 256), 435);
  const std::vector<int> g = GlyphAlpha('g');
  EXPECT_GT(*std::max_element(g.begin(), g.end()), 10);
}

}  // namespace
}  // namespace tarq::forge_test

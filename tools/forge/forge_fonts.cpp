// The two bitmap fonts: a serif face for option values and a bold military stencil
// face for everything else. Glyphs are rendered with FreeType from fonts that the
// install script provides, white with the coverage in alpha, one glyph per cell.
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "archive_writer/archive_writer.h"
#include "forge.h"
#include "image_files.h"

namespace tarq::forge {
namespace {

constexpr int kFirstChar = 32;
constexpr int kLastChar = 126;
constexpr int kCharCount = kLastChar - kFirstChar + 1;

struct FontStyle {
  const char* file_name;  // written to system/
  const char* face_path;  // TrueType source
  const char* package;    // Debian package that installs face_path
  int pixel_width;        // FreeType nominal size; width < height condenses the face
  int pixel_height;
  int cell;               // square glyph cell
  int char_height;        // CharHeight of every glyph: vertical centring never varies
  int baseline;           // cell row of the baseline
  int space_advance;
  int texture_width;
  int texture_height;
  bool stencil;           // upper-case shapes only, bridges cut into closed letters
};

// Serif: small enough that a key name fits the option columns.
constexpr FontStyle kSerif = {
    "timesroman.fnt", "/usr/share/fonts/truetype/freefont/FreeSerif.ttf", "fonts-freefont-ttf",
    15, 15, 16, 16, 12, 4, 256, 128, false};
// Stencil: cap height about 18 with the baseline at row 19; digits share one advance so
// a rolling score does not jitter.
constexpr FontStyle kStencil = {
    "stencil.fnt", "/usr/share/fonts/truetype/dejavu/DejaVuSansCondensed-Bold.ttf",
    "fonts-dejavu-extra", 22, 25, 32, 24, 19, 10, 512, 256, true};

struct Glyph {
  std::vector<uint8_t> coverage;  // cell * cell
  int advance = 0;
};

class FreeTypeFace {
 public:
  explicit FreeTypeFace(const FontStyle& style) {
    if (FT_Init_FreeType(&library_) != 0) throw std::runtime_error("FreeType cannot start");
    if (!std::filesystem::exists(style.face_path) ||
        FT_New_Face(library_, style.face_path, 0, &face_) != 0) {
      FT_Done_FreeType(library_);
      throw std::runtime_error(std::string("font ") + style.face_path + " missing (package " +
                               style.package + ")");
    }
    FT_Set_Pixel_Sizes(face_, FT_UInt(style.pixel_width), FT_UInt(style.pixel_height));
  }
  ~FreeTypeFace() {
    FT_Done_Face(face_);
    FT_Done_FreeType(library_);
  }
  FreeTypeFace(const FreeTypeFace&) = delete;
  FreeTypeFace& operator=(const FreeTypeFace&) = delete;
  FT_Face face() const { return face_; }

 private:
  FT_Library library_ = nullptr;
  FT_Face face_ = nullptr;
};

// Stencil bridges: a two-pixel gap down the middle of the letter, cutting only the
// short runs (horizontal strokes) so upright stems stay whole.
void CutStencilBridges(std::vector<uint8_t>& cov, int cell, int char_code) {
  const std::string bridged = "ABDGOPQRC04689";
  if (bridged.find(char(char_code)) == std::string::npos) return;
  int left = cell, right = -1;
  for (int y = 0; y < cell; ++y) {
    for (int x = 0; x < cell; ++x) {
      if (cov[size_t(y) * cell + x] > 96) {
        left = std::min(left, x);
        right = std::max(right, x);
      }
    }
  }
  if (right - left < 8) return;
  const int mid = (left + right + 1) / 2;
  int y = 0;
  while (y < cell) {
    if (cov[size_t(y) * cell + mid] <= 96) {
      ++y;
      continue;
    }
    int end = y;
    while (end < cell && cov[size_t(end) * cell + mid] > 96) ++end;
    if (end - y <= 7) {
      for (int r = std::max(0, y - 1); r < std::min(cell, end + 1); ++r) {
        cov[size_t(r) * cell + mid - 1] = 0;
        cov[size_t(r) * cell + mid] = 0;
      }
    }
    y = end;
  }
}

Glyph RenderGlyph(FT_Face face, const FontStyle& style, int code) {
  Glyph g;
  g.coverage.assign(size_t(style.cell) * style.cell, 0);
  int shape = code;
  if (style.stencil && code >= 'a' && code <= 'z') shape = code - 32;  // capitals only
  if (FT_Load_Char(face, FT_ULong(shape), FT_LOAD_RENDER | FT_LOAD_TARGET_LIGHT) != 0) {
    throw std::runtime_error("FreeType cannot render character " + std::to_string(code));
  }
  const FT_GlyphSlot slot = face->glyph;
  g.advance = int(std::lround(double(slot->advance.x) / 64.0));
  const FT_Bitmap& bm = slot->bitmap;
  // Keep the whole glyph inside its cell: shift right if it would start left of it.
  const int x0 = std::max(0, slot->bitmap_left);
  const int y0 = style.baseline - slot->bitmap_top;
  for (unsigned r = 0; r < bm.rows; ++r) {
    for (unsigned c = 0; c < bm.width; ++c) {
      const int x = x0 + int(c), y = y0 + int(r);
      if (x < 0 || y < 0 || x >= style.cell || y >= style.cell) continue;
      g.coverage[size_t(y) * style.cell + x] = bm.buffer[int(r) * bm.pitch + int(c)];
    }
  }
  if (style.stencil) CutStencilBridges(g.coverage, style.cell, shape);
  return g;
}

std::vector<Glyph> RenderFont(const FontStyle& style) {
  FreeTypeFace face(style);
  std::vector<Glyph> glyphs;
  for (int code = kFirstChar; code <= kLastChar; ++code) {
    glyphs.push_back(RenderGlyph(face.face(), style, code));
  }
  glyphs[0].advance = style.space_advance;
  if (style.stencil) {
    int digit = 0;
    for (int d = '0'; d <= '9'; ++d) digit = std::max(digit, glyphs[d - kFirstChar].advance);
    for (int d = '0'; d <= '9'; ++d) glyphs[d - kFirstChar].advance = digit;
  }
  return glyphs;
}

// A strip of sample text set with the font's own metrics, to look at.
void WriteFontSheet(const std::filesystem::path& path, const FontStyle& style,
                    const std::vector<Glyph>& glyphs) {
  const std::vector<std::string> lines = {
      "THE QUICK BROWN FOX JUMPS OVER 0123456789",
      "the quick brown fox jumps over the lazy dog",
      "LOADING SPRITES... 100%  SHIELD: 800%",
      "Cursor Up  Numpad *  [ ] ; ' \\ , . / = + - ~ { } | ( ) !?",
      "YOUR TARQ UNIT IS BEING DISBANDED"};
  const int line_height = style.char_height + 8;
  Picture sheet(700, int(lines.size()) * line_height + 16, 0xFF303840);
  int y = 8;
  for (const auto& line : lines) {
    int x = 8;
    for (char ch : line) {
      const int i = int(static_cast<unsigned char>(ch)) - kFirstChar;
      if (i < 0 || i >= kCharCount) continue;
      const Glyph& g = glyphs[size_t(i)];
      for (int gy = 0; gy < style.cell; ++gy) {
        for (int gx = 0; gx < style.cell; ++gx) {
          const int px = x + gx, py = y + gy;
          if (px >= sheet.width || py >= sheet.height) continue;
          const uint32_t a = g.coverage[size_t(gy) * style.cell + gx];
          uint32_t& d = sheet.At(px, py);
          auto mix = [a](uint32_t bg) { return (bg * (255 - a) + 255 * a) / 255; };
          d = 0xFF000000u | (mix((d >> 16) & 0xFF) << 16) | (mix((d >> 8) & 0xFF) << 8) |
              mix(d & 0xFF);
        }
      }
      x += g.advance;
    }
    y += line_height;
  }
  WritePng(path, sheet);
}

void ForgeFont(const ForgeContext& ctx, const FontStyle& style) {
  const std::vector<Glyph> glyphs = RenderFont(style);
  std::vector<tools::PatternPixels> patterns;
  std::vector<tools::GlyphMetrics> metrics;
  for (const Glyph& g : glyphs) {
    tools::PatternPixels p;
    p.width = style.cell;
    p.height = style.cell;
    p.pixels.resize(g.coverage.size());
    for (size_t i = 0; i < g.coverage.size(); ++i) {
      const uint32_t a = g.coverage[i];
      p.pixels[i] = a == 0 ? 0u : (a << 24) | 0xFFFFFFu;  // white, coverage in alpha
    }
    patterns.push_back(std::move(p));
    metrics.push_back({g.advance, style.char_height});
  }
  tools::ImageRecordOptions layout;
  layout.force_texture_width = style.texture_width;
  layout.force_texture_height = style.texture_height;
  std::vector<tools::ArchiveRecord> records(2);
  records[0].name = "font";
  records[0].data = tools::BuildImageRecord(patterns, layout);
  records[1].name = "sizedata";
  records[1].data = tools::BuildFontSizeData(kFirstChar, 0, metrics);
  tools::ArchiveOptions options;
  options.signature = tools::kFontSignature;
  tools::WriteArchive(ctx.out / "system" / style.file_name, records, options);
  if (ctx.WantSheets()) {
    WriteFontSheet(ctx.sheets / (std::filesystem::path(style.file_name).stem().string() + ".png"),
                   style, glyphs);
  }
}

}  // namespace

void ForgeFonts(const ForgeContext& ctx) {
  ForgeFont(ctx, kSerif);
  ForgeFont(ctx, kStencil);
}

}  // namespace tarq::forge

// system/sprites.pak and system/loading.tga, plus the sprite contact sheets.
//
// The sprite table is the archive's record table in file order. Two places in the game
// use raw indices instead of names: the plain enemy bullet is image 1 and explosions
// are images 3/4 and 5/6. Those seven come first in a fixed order; every other sprite
// follows in alphabetical order, so the indices found by name never change between
// builds.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <map>
#include <set>
#include <stdexcept>

#include "forge.h"
#include "image_files.h"
#include "sprites_common.h"

namespace tarq::forge {

namespace {

constexpr std::array<const char*, 7> kFixedOrder = {
    "blank", "enemybullet", "playerbullet", "explosion1a", "explosion1b", "explosion2a", "explosion2b"};

// How each sprite is previewed on the contact sheet: the blend the game draws it with.
enum class Preview { kAlpha, kAdd, kAddAlpha, kDarken, kOpaque };

Preview PreviewFor(const std::string& name) {
  static const std::set<std::string> add = {"explosion1a", "explosion1b", "explosion2a", "explosion2b",
                                            "nuke", "flare", "splash", "lives1"};
  static const std::set<std::string> add_alpha = {"bar1", "bar3"};
  static const std::set<std::string> darken = {"rotors1", "bubbleholder1"};
  static const std::set<std::string> opaque = {"groundcannon2a", "techdoors", "dome", "sponsors"};
  if (add.count(name)) return Preview::kAdd;
  if (add_alpha.count(name)) return Preview::kAddAlpha;
  if (darken.count(name)) return Preview::kDarken;
  if (opaque.count(name)) return Preview::kOpaque;
  return Preview::kAlpha;
}

bool IsLowerName(const std::string& name) {
  if (name.empty() || name.size() > tools::kMaxRecordName) return false;
  return std::all_of(name.begin(), name.end(),
                     [](char c) { return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'); });
}

// Fills the last texture with copies of the last pattern: a pattern index past the
// painted ones then draws what the game's clamping would have drawn.
std::vector<PatternPixels> PaddedPatterns(const Sprite& s) {
  const tools::ImageLayout layout = tools::ChooseImageLayout(
      s.pattern_width, s.pattern_height, static_cast<int>(s.patterns.size()), s.options);
  std::vector<PatternPixels> patterns = s.patterns;
  const size_t total = static_cast<size_t>(layout.texture_count) * layout.PatternsPerTexture();
  while (patterns.size() < total) patterns.push_back(s.patterns.back());
  return patterns;
}

// ---- Contact sheets --------------------------------------------------------------

void PaintPreviewBackground(cairo_t* cr, double x, double y, double w, double h, Preview preview) {
  switch (preview) {
    case Preview::kAdd:
    case Preview::kAddAlpha:
      cairo_set_source_rgb(cr, 0, 0, 0);
      cairo_rectangle(cr, x, y, w, h);
      cairo_fill(cr);
      break;
    case Preview::kDarken:
      cairo_set_source_rgb(cr, 0.75, 0.78, 0.7);
      cairo_rectangle(cr, x, y, w, h);
      cairo_fill(cr);
      break;
    default:
      for (int j = 0; j * 8 < h; ++j) {
        for (int i = 0; i * 8 < w; ++i) {
          const double v = ((i + j) % 2) ? 0.42 : 0.52;
          cairo_set_source_rgb(cr, v, v * 1.02, v * 0.96);
          cairo_rectangle(cr, x + i * 8, y + j * 8, std::min(8.0, w - i * 8), std::min(8.0, h - j * 8));
          cairo_fill(cr);
        }
      }
  }
}

// A pattern shown the way the game blends it.
PatternPixels PreviewPixels(const PatternPixels& p, Preview preview) {
  PatternPixels out = p;
  for (uint32_t& v : out.pixels) {
    const double a = (v >> 24) / 255.0;
    double r = ((v >> 16) & 0xFF) / 255.0, g = ((v >> 8) & 0xFF) / 255.0, b = (v & 0xFF) / 255.0;
    double alpha = a;
    switch (preview) {
      case Preview::kAdd:  // source squared, added to black
        r *= r, g *= g, b *= b, alpha = 1;
        break;
      case Preview::kAddAlpha:
        r *= a, g *= a, b *= a, alpha = 1;
        break;
      case Preview::kDarken:  // the picture darkens a light ground by its colour
        r = 0.75 * (1 - r), g = 0.78 * (1 - g), b = 0.7 * (1 - b), alpha = 1;
        break;
      case Preview::kOpaque:
        alpha = 1;
        break;
      case Preview::kAlpha:
        break;
    }
    auto byte = [](double c) { return static_cast<uint32_t>(std::clamp(c, 0.0, 1.0) * 255.0 + 0.5); };
    v = (byte(alpha) << 24) | (byte(r) << 16) | (byte(g) << 8) | byte(b);
  }
  return out;
}

void WriteSheets(const SpriteList& sprites, const std::filesystem::path& dir) {
  constexpr int kPageWidth = 1400;
  constexpr int kSpritesPerPage = 6;
  for (size_t first = 0; first < sprites.size(); first += kSpritesPerPage) {
    const size_t last = std::min(sprites.size(), first + kSpritesPerPage);
    // Lay out first to know the page height.
    struct Placed {
      size_t sprite;
      int pattern;
      double x, y, zoom;
    };
    std::vector<Placed> placed;
    std::vector<std::pair<double, size_t>> labels;
    double y = 8;
    for (size_t i = first; i < last; ++i) {
      const Sprite& s = sprites[i];
      const int side = std::max(s.pattern_width, s.pattern_height);
      const double zoom = side <= 32 ? 3.0 : (side <= 64 ? 2.0 : 1.0);
      const double cw = s.pattern_width * zoom + 6, ch = s.pattern_height * zoom + 16;
      labels.emplace_back(y, i);
      y += 16;
      double x = 8;
      for (size_t k = 0; k < s.patterns.size(); ++k) {
        if (x + cw > kPageWidth) {
          x = 8;
          y += ch;
        }
        placed.push_back({i, static_cast<int>(k), x, y, zoom});
        x += cw;
      }
      y += ch + 10;
    }
    const int height = static_cast<int>(y) + 8;
    Canvas page(kPageWidth, height);
    cairo_t* cr = page.cr();
    cairo_set_source_rgb(cr, 0.16, 0.17, 0.18);
    cairo_paint(cr);
    cairo_select_font_face(cr, "monospace", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
    cairo_set_font_size(cr, 12);
    for (const auto& [ly, i] : labels) {
      const Sprite& s = sprites[i];
      char text[160];
      std::snprintf(text, sizeof text, "%zu  %s   %dx%d  x%zu", i, s.name.c_str(), s.pattern_width,
                    s.pattern_height, s.patterns.size());
      cairo_set_source_rgb(cr, 1, 0.9, 0.5);
      cairo_move_to(cr, 8, ly + 12);
      cairo_show_text(cr, text);
    }
    cairo_set_font_size(cr, 9);
    for (const Placed& p : placed) {
      const Sprite& s = sprites[p.sprite];
      const Preview preview = PreviewFor(s.name);
      const double w = s.pattern_width * p.zoom, h = s.pattern_height * p.zoom;
      PaintPreviewBackground(cr, p.x, p.y, w, h, preview);
      cairo_surface_t* img = SurfaceFromPixels(PreviewPixels(s.patterns[p.pattern], preview));
      cairo_save(cr);
      cairo_translate(cr, p.x, p.y);
      cairo_scale(cr, p.zoom, p.zoom);
      cairo_set_source_surface(cr, img, 0, 0);
      cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
      cairo_paint(cr);
      cairo_restore(cr);
      cairo_surface_destroy(img);
      char text[16];
      std::snprintf(text, sizeof text, "%d", p.pattern);
      cairo_set_source_rgb(cr, 0.8, 0.85, 0.9);
      cairo_move_to(cr, p.x, p.y + h + 10);
      cairo_show_text(cr, text);
    }
    cairo_surface_flush(page.surface());
    char file[64];
    std::snprintf(file, sizeof file, "sprites_%02zu.png", first / kSpritesPerPage);
    cairo_surface_write_to_png(page.surface(), (dir / file).string().c_str());
  }
}

// A mock play-field for judging the sprites together: grass, a road, shadows as black
// silhouettes, rotors darkening, explosions added as squared light.
void WriteScenePreview(const SpriteList& sprites, const std::filesystem::path& dir) {
  auto find = [&](const std::string& name) -> const Sprite& {
    for (const Sprite& s : sprites) {
      if (s.name == name) return s;
    }
    return sprites[0];
  };
  Canvas scene(640, 480);
  cairo_t* cr = scene.cr();
  PatternPixels ground;
  ground.width = 640;
  ground.height = 480;
  ground.pixels.resize(640 * 480);
  for (int y = 0; y < 480; ++y) {
    for (int x = 0; x < 640; ++x) {
      Rgb c = Mix(pal::kGrass, pal::kGrassDark, Fbm(x / 40.0, y / 40.0, 4, 7));
      if (x > 280 && x < 344) c = Mix(pal::kAsphalt, pal::kConcreteDark, Fbm(x / 6.0, y / 6.0, 2, 8) * 0.4);
      auto b = [](double v) { return static_cast<uint32_t>(std::clamp(v, 0.0, 1.0) * 255); };
      ground.pixels[y * 640 + x] = 0xFF000000u | (b(c.r) << 16) | (b(c.g) << 8) | b(c.b);
    }
  }
  cairo_surface_t* g = SurfaceFromPixels(ground);
  cairo_set_source_surface(cr, g, 0, 0);
  cairo_paint(cr);
  cairo_surface_destroy(g);

  enum Blend { kNormal, kShadow, kDarken, kSquaredAdd };
  auto draw = [&](const std::string& name, int pattern, double x, double y, int angle, double scale,
                  Blend blend) {
    const Sprite& s = find(name);
    PatternPixels p = s.patterns[std::min<size_t>(pattern, s.patterns.size() - 1)];
    if (blend == kDarken || blend == kSquaredAdd) {
      for (uint32_t& v : p.pixels) {
        uint32_t out = 0xFF000000u;
        for (int sh = 0; sh < 24; sh += 8) {
          const double c = ((v >> sh) & 0xFF) / 255.0;
          const double o = blend == kDarken ? 1 - c : c * c;
          out |= static_cast<uint32_t>(o * 255 + 0.5) << sh;
        }
        v = out;
      }
    }
    cairo_surface_t* img = SurfaceFromPixels(p);
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_rotate(cr, (angle - 64) * 2 * M_PI / 256);
    cairo_scale(cr, scale, scale);
    cairo_translate(cr, -s.pattern_width / 2.0, -s.pattern_height / 2.0);
    if (blend == kShadow) {
      cairo_set_source_rgba(cr, 0, 0, 0, 1);
      cairo_mask_surface(cr, img, 0, 0);
    } else {
      cairo_set_operator(cr, blend == kDarken     ? CAIRO_OPERATOR_MULTIPLY
                             : blend == kSquaredAdd ? CAIRO_OPERATOR_ADD
                                                    : CAIRO_OPERATOR_OVER);
      cairo_set_source_surface(cr, img, 0, 0);
      cairo_paint(cr);
    }
    cairo_restore(cr);
    cairo_surface_destroy(img);
  };
  draw("crater01", 0, 420, 330, 64, 1.4, kNormal);
  draw("tanktracks", 1, 312, 420, 0, 1, kNormal);
  draw("tanktracks", 1, 312, 356, 0, 1, kNormal);
  for (int j = 1; j <= 4; ++j) draw("tank0b", 0, 312 + j, 300 + j, 0, 1, kShadow);
  draw("tank0b", 0, 312, 300, 0, 1, kNormal);
  for (int j = 1; j <= 3; ++j) draw("tank0t", 0, 312 + 14 * std::sin(-0.3) + j, 300 - 14 * std::cos(-0.3) + j, 243, 1, kShadow);
  draw("tank0t", 0, 312 + 14 * std::sin(-0.3), 300 - 14 * std::cos(-0.3), 243, 1, kNormal);
  draw("enemyjeep", 0, 200, 400, 200, 1, kNormal);
  draw("camogun1", 0, 520, 140, 64, 1, kNormal);
  // Air: shadows first, then bodies and rotors.
  draw("heli2", 0, 300 + 42, 330 + 42 + 6, 0, 0.75, kShadow);
  draw("rotors1", 0, 300 + 42, 330 + 42, 40, 0.75, kDarken);
  draw("hele0", 0, 150 + 42, 120 + 42 - 6, 128, 0.75, kShadow);
  draw("rotors1", 0, 150 + 42, 120 + 42, 90, 0.75, kDarken);
  draw("bigplane", 0, 470 + 42, 230 + 42, 64, 1, kShadow);
  draw("bigplane", 0, 470, 230, 64, 1, kNormal);
  draw("hele0", 0, 150, 120 - 8, 128, 1, kNormal);
  draw("rotors1", 0, 150, 120, 90, 1, kDarken);
  draw("heli2", 0, 300, 330 + 8 * 1.3, 0, 1.3, kNormal);
  draw("rotors1", 0, 300, 330, 40, 1.3, kDarken);
  draw("enemybullet", 0, 230, 200, 100, 1, kNormal);
  draw("playerbullet", 0, 296, 250, 0, 1, kNormal);
  draw("playerbullet", 1, 306, 230, 0, 1, kNormal);
  draw("explosion1a", 6, 420, 330, 40, 1.6, kSquaredAdd);
  draw("explosion2a", 4, 120, 300, 200, 2.5, kSquaredAdd);
  draw("powerups", 3, 560, 400, 64, 1, kNormal);
  cairo_surface_flush(scene.surface());
  cairo_surface_write_to_png(scene.surface(), (dir / "sprites_scene.png").string().c_str());
}


}  // namespace

// Orders the sprites: the fixed seven, then the rest by name. Checks names and sizes.
SpriteList OrderSprites(SpriteList sprites) {
  std::map<std::string, Sprite> by_name;
  for (Sprite& s : sprites) {
    if (!IsLowerName(s.name)) throw std::runtime_error("bad sprite name: " + s.name);
    if (s.patterns.empty()) throw std::runtime_error("sprite without patterns: " + s.name);
    for (const PatternPixels& p : s.patterns) {
      if (p.width != s.pattern_width || p.height != s.pattern_height ||
          p.pixels.size() != static_cast<size_t>(p.width) * p.height) {
        throw std::runtime_error("pattern of the wrong size in " + s.name);
      }
    }
    const std::string name = s.name;
    if (!by_name.emplace(name, std::move(s)).second) throw std::runtime_error("duplicate sprite " + name);
  }
  SpriteList ordered;
  for (const char* name : kFixedOrder) {
    auto it = by_name.find(name);
    if (it == by_name.end()) throw std::runtime_error(std::string("missing sprite ") + name);
    ordered.push_back(std::move(it->second));
    by_name.erase(it);
  }
  for (auto& [name, sprite] : by_name) ordered.push_back(std::move(sprite));  // std::map: sorted
  return ordered;
}

SpriteList BuildAllSprites() {
  SpriteList sprites;
  AddEffectSprites(sprites);
  AddPlayerSprites(sprites);
  AddFlyerSprites(sprites);
  AddGroundSprites(sprites);
  AddBossSprites(sprites);
  AddScreenSprites(sprites);
  return OrderSprites(std::move(sprites));
}

void ForgeSprites(const ForgeContext& ctx) {
  const SpriteList sprites = BuildAllSprites();
  std::vector<tools::ArchiveRecord> records;
  records.reserve(sprites.size());
  for (const Sprite& s : sprites) {
    tools::ArchiveRecord record;
    record.name = s.name;
    record.mode = tools::kModeDeflate;
    record.data = tools::BuildImageRecord(PaddedPatterns(s), s.options);
    records.push_back(std::move(record));
  }
  tools::WriteArchive(ctx.out / "system" / "sprites.pak", records);

  const PatternPixels loading = PaintLoadingPicture();
  Picture picture(loading.width, loading.height);
  picture.pixels = loading.pixels;
  WriteTga32(ctx.out / "system" / "loading.tga", picture);

  if (ctx.WantSheets()) {
    WriteSheets(sprites, ctx.sheets);
    WriteScenePreview(sprites, ctx.sheets);
    Picture big(640, 480);
    for (int y = 0; y < 480; ++y) {
      for (int x = 0; x < 640; ++x) {
        // Bilinear, as the game stretches it.
        const double fx = std::clamp((x + 0.5) * 64 / 640 - 0.5, 0.0, 63.0);
        const double fy = std::clamp((y + 0.5) * 64 / 480 - 0.5, 0.0, 63.0);
        const int x0 = static_cast<int>(fx), y0 = static_cast<int>(fy);
        const int x1 = std::min(x0 + 1, 63), y1 = std::min(y0 + 1, 63);
        const double tx = fx - x0, ty = fy - y0;
        uint32_t out = 0xFF000000u;
        for (int sh = 0; sh < 24; sh += 8) {
          auto ch = [&](int px, int py) { return double((loading.pixels[py * 64 + px] >> sh) & 0xFF); };
          const double top = ch(x0, y0) * (1 - tx) + ch(x1, y0) * tx;
          const double bottom = ch(x0, y1) * (1 - tx) + ch(x1, y1) * tx;
          out |= static_cast<uint32_t>(top * (1 - ty) + bottom * ty + 0.5) << sh;
        }
        big.At(x, y) = out;
      }
    }
    WritePng(ctx.sheets / "loading_stretched.png", big);
  }
}

}  // namespace tarq::forge

// system/map.dat and system/enemies.txt from the level plan, and pictures of the map.
#include <cairo.h>

#include <algorithm>
#include <map>
#include <string>

#include "archive_writer/archive_writer.h"
#include "forge.h"
#include "forge_schedule.h"
#include "level_plan.h"

namespace tarq::forge {
namespace {

// Each tile shrunk to scale x scale pixels (premultiplied averages), for the overview.
class TileThumbs {
 public:
  explicit TileThumbs(int scale) : scale_(scale) {}
  const std::vector<double>& Get(int number) {
    auto it = cache_.find(number);
    if (it != cache_.end()) return it->second;
    std::vector<double> rgba(size_t(scale_) * scale_ * 4, 0.0);
    if (const TileDef* t = Tiles().Find(number)) {
      const int step = kTileSize / scale_;
      for (int y = 0; y < kTileSize; ++y) {
        for (int x = 0; x < kTileSize; ++x) {
          const uint32_t px = t->picture.pixels[size_t(y) * kTileSize + x];
          const double a = (px >> 24) / 255.0;
          // BMP tiles are keyed to one-bit alpha in the game.
          const double alpha = t->bmp ? (a >= 0.5 ? 1.0 : 0.0) : a;
          double* d = &rgba[(size_t(y / step) * scale_ + x / step) * 4];
          d[0] += ((px >> 16) & 0xFF) / 255.0 * alpha;
          d[1] += ((px >> 8) & 0xFF) / 255.0 * alpha;
          d[2] += (px & 0xFF) / 255.0 * alpha;
          d[3] += alpha;
        }
      }
      for (double& v : rgba) v /= step * step;
    }
    return cache_.emplace(number, std::move(rgba)).first->second;
  }

 private:
  int scale_;
  std::map<int, std::vector<double>> cache_;
};

// Composites rows [row_top, row_bottom] of the map at `scale` pixels per tile.
void DrawMap(const MapBuilder& map, TileThumbs& thumbs, int scale, int row_top, int row_bottom,
             uint32_t* dst, int stride_px) {
  for (int row = row_top; row <= row_bottom; ++row) {
    for (int col = 0; col < kMapCols; ++col) {
      for (int y = 0; y < scale; ++y) {
        for (int x = 0; x < scale; ++x) {
          double r = 0, g = 0, b = 0;
          for (int layer = 0; layer < kMapLayers; ++layer) {
            const int n = map.At(row, col, layer);
            if (n < 2) continue;
            const double* s = &thumbs.Get(n)[(size_t(y) * scale + x) * 4];
            if (layer == 0) {  // copied opaque
              const double a = s[3] > 0 ? s[3] : 1;
              r = s[0] / a, g = s[1] / a, b = s[2] / a;
            } else {
              r = s[0] + r * (1 - s[3]);
              g = s[1] + g * (1 - s[3]);
              b = s[2] + b * (1 - s[3]);
            }
          }
          auto ch = [](double v) { return uint32_t(std::clamp(v, 0.0, 1.0) * 255.0 + 0.5); };
          dst[size_t((row - row_top) * scale + y) * stride_px + col * scale + x] =
              0xFF000000u | (ch(r) << 16) | (ch(g) << 8) | ch(b);
        }
      }
    }
  }
}

void WriteMapSheets(const ForgeContext& ctx, const Level& level) {
  // The level's sections side by side at a quarter of full size, start on the left.
  {
    const int scale = 16, gap = 10;
    int tallest = 0;
    for (const Section& s : level.sections) tallest = std::max(tallest, s.bottom_row - s.top_row + 1);
    const int w = int(level.sections.size()) * (kMapCols * scale + gap);
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, tallest * scale + 20);
    cairo_t* cr = cairo_create(surface);
    cairo_set_source_rgb(cr, 0.1, 0.1, 0.12);
    cairo_paint(cr);
    cairo_surface_flush(surface);
    TileThumbs thumbs(scale);
    const int stride = cairo_image_surface_get_stride(surface) / 4;
    auto* data = reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(surface));
    for (size_t i = 0; i < level.sections.size(); ++i) {
      const Section& s = level.sections[i];
      const int rows = s.bottom_row - s.top_row + 1;
      const int x0 = int(i) * (kMapCols * scale + gap), y0 = 20 + (tallest - rows) * scale;
      DrawMap(level.map, thumbs, scale, s.top_row, s.bottom_row, data + size_t(y0) * stride + x0, stride);
    }
    cairo_surface_mark_dirty(surface);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_set_font_size(cr, 12);
    for (size_t i = 0; i < level.sections.size(); ++i) {
      cairo_move_to(cr, int(i) * (kMapCols * scale + gap) + 2, 14);
      cairo_show_text(cr, (std::to_string(i + 1) + " " + level.sections[i].name).c_str());
    }
    cairo_surface_write_to_png(surface, (ctx.sheets / "map_sections.png").string().c_str());
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
  }
  // The whole map at 4 pixels per tile, in eight strips of 512 rows, top strip first.
  {
    const int scale = 4, strip_rows = 512, gap = 6;
    const int strips = kMapRows / strip_rows;
    const int w = strips * (kMapCols * scale + gap);
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, strip_rows * scale);
    cairo_surface_flush(surface);
    TileThumbs thumbs(scale);
    const int stride = cairo_image_surface_get_stride(surface) / 4;
    auto* data = reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(surface));
    for (int sidx = 0; sidx < strips; ++sidx) {
      DrawMap(level.map, thumbs, scale, sidx * strip_rows, (sidx + 1) * strip_rows - 1,
              data + sidx * (kMapCols * scale + gap), stride);
    }
    cairo_surface_mark_dirty(surface);
    cairo_surface_write_to_png(surface, (ctx.sheets / "map_whole.png").string().c_str());
    cairo_surface_destroy(surface);
  }
}

// One screen of the map at full size as the game composes it (layer 0 copied, layers
// 1-4 blended), with the view centred (ScrollX 32) and its top edge at map row `row`.
void WriteView(const std::filesystem::path& path, const Level& level, int row) {
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 640, 480);
  cairo_t* cr = cairo_create(surface);
  std::map<int, cairo_surface_t*> cache;
  for (int i = 0; i < 8; ++i) {
    for (int col = 0; col < kMapCols; ++col) {
      for (int layer = 0; layer < kMapLayers; ++layer) {
        const int n = level.map.At(row + i, col, layer);
        const TileDef* t = n >= 2 ? Tiles().Find(n) : nullptr;
        if (!t) continue;
        auto it = cache.find(n);
        if (it == cache.end()) {
          PatternPixels p = t->picture;
          for (uint32_t& px : p.pixels) {
            if (layer == 0) px |= 0xFF000000u;
            if (t->bmp) px = (px >> 24) >= 128 ? (px | 0xFF000000u) : 0;
          }
          it = cache.emplace(n, SurfaceFromPixels(p)).first;
        }
        cairo_set_source_surface(cr, it->second, col * 64 - 32, i * 64);
        cairo_paint(cr);
      }
    }
  }
  for (auto& [n, s] : cache) cairo_surface_destroy(s);
  cairo_surface_write_to_png(surface, path.string().c_str());
  cairo_destroy(cr);
  cairo_surface_destroy(surface);
}

std::string PlanSummary(const Level& level) {
  std::string out = "sections (playing order):\n";
  for (const Section& s : level.sections) {
    out += "  rows " + std::to_string(s.top_row) + "-" + std::to_string(s.bottom_row) + " track " +
           std::to_string(s.music_track) + " cue " + std::to_string(s.music_trigger) + "  " + s.name + "\n";
  }
  out += "reserved (kind x y rows cols param section):\n";
  for (const Reservation& r : level.reserved) {
    out += "  " + r.kind + " " + std::to_string(r.x) + " " + std::to_string(r.y) + " rows " +
           std::to_string(r.row_top) + "-" + std::to_string(r.row_bottom) + " cols " +
           std::to_string(r.col_left) + "-" + std::to_string(r.col_right) + " " +
           std::to_string(r.param) + " " + r.section + "\n";
  }
  return out;
}

}  // namespace

void ForgeLevel(const ForgeContext& ctx) {
  const Level& level = TheLevel();
  tools::WriteFileBytes(ctx.out / "system" / "map.dat", level.map.Encode());
  std::string script =
      "; TARQ level script: Trigger Kind ParamA ParamB ParamC IntA IntB IntC Angle X YOffset HitPoints\r\n";
  const std::vector<std::string> cues = MusicCueLines(level);
  for (size_t i = 0; i < cues.size(); ++i) {
    script += cues[i] + "\r\n";
    // The first section: its comment and cue, then the opening aircraft.
    if (i == 1)
      for (const std::string& line : OpeningAircraftLines()) script += line + "\r\n";
  }
  tools::WriteFileBytes(ctx.out / "system" / "enemies.txt", std::vector<uint8_t>(script.begin(), script.end()));
  if (ctx.WantSheets()) {
    WriteMapSheets(ctx, level);
    // Screens worth a look: the start, the middle of every section and the set pieces.
    WriteView(ctx.sheets / "view_start.png", level, 4087);
    for (size_t i = 0; i < level.sections.size(); ++i) {
      const Section& s = level.sections[i];
      WriteView(ctx.sheets / ("view_section_" + std::to_string(i + 1) + ".png"), level,
                (s.top_row + s.bottom_row) / 2);
    }
    for (const char* kind : {"fortress", "runway", "citadel", "platform", "arena", "airstrip"}) {
      for (const Reservation* r : level.Reserved(kind)) {
        WriteView(ctx.sheets / ("view_" + std::string(kind) + ".png"), level,
                  std::max(0, r->y / 64 - 4));
      }
    }
    WriteView(ctx.sheets / "view_final.png", level, 1973);
    const std::string summary = PlanSummary(level);
    tools::WriteFileBytes(ctx.sheets / "level_plan.txt", std::vector<uint8_t>(summary.begin(), summary.end()));
  }
}

}  // namespace tarq::forge

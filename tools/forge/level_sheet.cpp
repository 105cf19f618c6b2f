// The level script drawn over the section map: where every unit is made, coloured by
// what it is, so a level designer sees the waves against the ground they fly over.
#include <cairo.h>

#include <algorithm>
#include <charconv>

#include "level_waves.h"

namespace tarq::forge {
namespace {

// Air, ground, water, boss, supplies.
void MarkerColour(cairo_t* cr, long kind) {
  if (kind >= 101 && kind <= 105) return cairo_set_source_rgb(cr, 1.0, 0.2, 1.0);
  if (kind == 7) return cairo_set_source_rgb(cr, 1.0, 0.2, 1.0);
  if (kind >= 253) return cairo_set_source_rgb(cr, 0.3, 1.0, 0.3);
  if (kind == 32 || kind == 36 || kind == 41 || kind == 42) return cairo_set_source_rgb(cr, 0.3, 0.8, 1.0);
  static const long kGround[] = {1, 4, 6, 10, 19, 20, 21, 22, 23, 25, 26, 28, 33, 43, 44, 90, 98, 99};
  if (std::find(std::begin(kGround), std::end(kGround), kind) != std::end(kGround))
    return cairo_set_source_rgb(cr, 1.0, 0.6, 0.1);
  cairo_set_source_rgb(cr, 1.0, 1.0, 0.2);
}

}  // namespace

// Reads map_sections.png (16 pixels a tile, sections side by side) from the sheets
// folder and writes map_enemies.png with a marker for every schedule entry.
void WriteScheduleSheet(const std::filesystem::path& sheets, const Level& level,
                        const std::vector<std::string>& lines) {
  cairo_surface_t* surface =
      cairo_image_surface_create_from_png((sheets / "map_sections.png").string().c_str());
  if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(surface);
    return;
  }
  cairo_t* cr = cairo_create(surface);
  const int scale = 16, gap = 10;
  int tallest = 0;
  for (const Section& s : level.sections) tallest = std::max(tallest, s.bottom_row - s.top_row + 1);
  for (const std::string& line : lines) {
    if (line.empty() || line[0] == ';') continue;
    long v[12] = {};
    const char* p = line.data();
    const char* end = p + line.size();
    for (long& value : v) {
      p = std::from_chars(p, end, value).ptr;
      if (p < end) ++p;
    }
    const long kind = v[1], x = v[9], y = v[0] + v[10];
    if (kind == 252) continue;
    // The final boss is made above the arena and descends into it.
    const Section* s = level.SectionAt(std::max(level.sections.back().top_row, int(y / 64)));
    if (s == nullptr) continue;
    const size_t i = size_t(s - level.sections.data());
    const int rows = s->bottom_row - s->top_row + 1;
    const double x0 = double(i) * (kMapCols * scale + gap), y0 = 20 + (tallest - rows) * scale;
    const double px = x0 + std::clamp(double(x), 0.0, 703.0) * scale / 64.0;
    const double py = y0 + double(y - s->top_row * 64) * scale / 64.0;
    MarkerColour(cr, kind);
    const double r = kind >= 101 && kind <= 105 ? 6.0 : kind == 7 ? 6.0 : 2.0;
    cairo_arc(cr, px, py, r, 0, 6.2832);
    cairo_fill(cr);
  }
  cairo_surface_write_to_png(surface, (sheets / "map_enemies.png").string().c_str());
  cairo_destroy(cr);
  cairo_surface_destroy(surface);
}

}  // namespace tarq::forge

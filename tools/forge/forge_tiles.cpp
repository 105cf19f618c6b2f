// tiles/tiles.txt and one picture per tile: 32-bit TGA, or 24-bit BMP with magenta
// where the tile is transparent (the loader keys magenta out of BMP tiles).
#include <cairo.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>

#include "archive_writer/archive_writer.h"
#include "forge.h"
#include "image_files.h"
#include "tiles_catalogue.h"

namespace tarq::forge {
namespace {

constexpr uint32_t kMagenta = 0xFFFF00FFu;

Picture ToPicture(const PatternPixels& p) {
  Picture out(p.width, p.height);
  out.pixels = p.pixels;
  return out;
}

// Half-covered pixels become magenta (transparent), the rest opaque. A colour that
// would read as magenta after the 15-bit conversion is nudged off the key.
Picture KeyedForBmp(const PatternPixels& p) {
  Picture out(p.width, p.height);
  for (size_t i = 0; i < p.pixels.size(); ++i) {
    const uint32_t px = p.pixels[i];
    if ((px >> 24) < 128) {
      out.pixels[i] = kMagenta;
      continue;
    }
    uint32_t rgb = px & 0xFFFFFF;
    if (((rgb >> 19) & 31) == 31 && ((rgb >> 11) & 31) == 0 && ((rgb >> 3) & 31) == 31) rgb |= 0x000800;
    out.pixels[i] = 0xFF000000u | rgb;
  }
  return out;
}

std::string TileLine(const TileDef& t) {
  char number[8];
  std::snprintf(number, sizeof number, "%04d", t.number);
  return std::string(number) + " " + t.solidity + " " + t.name;
}

void WriteTileSheet(const std::filesystem::path& path, const std::vector<const TileDef*>& tiles) {
  const int per_row = 12, cell_w = 72, cell_h = 86;
  const int rows = (int(tiles.size()) + per_row - 1) / per_row;
  Canvas sheet(per_row * cell_w, rows * cell_h);
  cairo_t* cr = sheet.cr();
  SetColour(cr, Hex(0x202428));
  cairo_paint(cr);
  cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
  cairo_set_font_size(cr, 10);
  for (size_t i = 0; i < tiles.size(); ++i) {
    const int x = int(i % per_row) * cell_w + 4, y = int(i / per_row) * cell_h + 4;
    for (int cy = 0; cy < 8; ++cy)  // checkerboard shows transparency
      for (int cx = 0; cx < 8; ++cx) {
        cairo_rectangle(cr, x + cx * 8, y + cy * 8, 8, 8);
        SetColour(cr, (cx + cy) % 2 ? Hex(0x909090) : Hex(0xB8B8B8));
        cairo_fill(cr);
      }
    cairo_surface_t* s = SurfaceFromPixels(tiles[i]->picture);
    cairo_set_source_surface(cr, s, x, y);
    cairo_paint(cr);
    cairo_surface_destroy(s);
    SetColour(cr, tiles[i]->bmp ? pal::kWarnYellow : pal::kWhite);
    cairo_move_to(cr, x, y + 76);
    cairo_show_text(cr, (std::to_string(tiles[i]->number) + " " + tiles[i]->name).substr(0, 12).c_str());
  }
  const cairo_status_t status = cairo_surface_write_to_png(sheet.surface(), path.string().c_str());
  if (status != CAIRO_STATUS_SUCCESS) throw std::runtime_error("cannot write " + path.string());
}

}  // namespace

void ForgeTiles(const ForgeContext& ctx) {
  const std::filesystem::path dir = ctx.out / "tiles";
  std::filesystem::create_directories(dir);
  // Old pictures would linger after a rename; the folder belongs to the forge.
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    const std::string ext = entry.path().extension().string();
    if (ext == ".tga" || ext == ".bmp") std::filesystem::remove(entry.path());
  }
  const std::vector<const TileDef*> tiles = Tiles().All();
  std::string list;
  for (const TileDef* t : tiles) {
    if (t->bmp) {
      WriteBmp24(dir / (t->name + ".bmp"), KeyedForBmp(t->picture));
    } else {
      WriteTga32(dir / (t->name + ".tga"), ToPicture(t->picture));
    }
    list += TileLine(*t) + "\r\n";
  }
  tools::WriteFileBytes(dir / "tiles.txt", std::vector<uint8_t>(list.begin(), list.end()));
  if (ctx.WantSheets()) {
    const size_t per_sheet = 192;
    for (size_t first = 0, n = 0; first < tiles.size(); first += per_sheet, ++n) {
      const std::vector<const TileDef*> part(tiles.begin() + long(first),
                                             tiles.begin() + long(std::min(tiles.size(), first + per_sheet)));
      WriteTileSheet(ctx.sheets / ("tiles_" + std::to_string(n) + ".png"), part);
    }
  }
}

}  // namespace tarq::forge

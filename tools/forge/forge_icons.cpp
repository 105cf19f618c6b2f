// The desktop icon: the player's gunship seen from above, nose up, with its rotor and
// shadow, on a rounded tile of sea and coast. Painted as vectors at every size, so
// each size is sharp rather than scaled from another.
#include <cmath>
#include <cstdio>

#include "art.h"
#include "forge.h"
#include "image_files.h"
#include "sprites_common.h"

namespace tarq::forge {

namespace {

// The helicopter in the sprite's own 64 x 64 frame (nose toward +x, mast at x 40).
void PaintGunship(cairo_t* cr) {
  HeliLook look;
  look.hull = pal::kPlayerHull;
  look.accent = Hex(0xB8B6A8);
  look.length = 60;
  look.nose_x = 62;
  look.hub_x = 40;
  look.body_width = 22;
  look.stub_wings = true;
  look.wing_span = 30;
  look.pods = true;
  look.stripe = true;
  PaintHelicopter(cr, look);
}

void PaintRotor(cairo_t* cr) {
  // A faint blurred disc and four blades around the mast.
  cairo_arc(cr, 40, 32, 27, 0, 2 * M_PI);
  SetColour(cr, pal::kInk, 0.18);
  cairo_fill(cr);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  for (int k = 0; k < 4; ++k) {
    const double a = 0.35 + k * M_PI / 2;
    cairo_move_to(cr, 40, 32);
    cairo_line_to(cr, 40 + 26 * std::cos(a), 32 + 26 * std::sin(a));
    SetColour(cr, pal::kInk, 0.5);
    cairo_set_line_width(cr, 1.8);
    cairo_stroke(cr);
  }
  cairo_arc(cr, 40, 32, 2.6, 0, 2 * M_PI);
  SetColour(cr, pal::kGunmetal);
  cairo_fill(cr);
}

Picture PaintIcon(int size) {
  Canvas canvas(size, size);
  cairo_t* cr = canvas.cr();
  cairo_scale(cr, size / 64.0, size / 64.0);

  // The tile: sea in the upper half shading to a green coast below.
  RoundedRect(cr, 2, 2, 60, 60, 11);
  cairo_pattern_t* ground = cairo_pattern_create_linear(0, 2, 0, 62);
  const Rgb stops[] = {pal::kWaterLight, pal::kWater, pal::kGrass, pal::kGrassDark};
  const double at[] = {0.0, 0.5, 0.62, 1.0};
  for (int i = 0; i < 4; ++i) cairo_pattern_add_color_stop_rgb(ground, at[i], stops[i].r, stops[i].g, stops[i].b);
  cairo_set_source(cr, ground);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(ground);
  SetColour(cr, pal::kInk);
  cairo_set_line_width(cr, 2);
  cairo_stroke(cr);

  // The gunship, nose up, a little smaller than the tile.
  cairo_save(cr);
  cairo_translate(cr, 32, 31);
  cairo_rotate(cr, -M_PI / 2);
  cairo_scale(cr, 0.66, 0.66);
  cairo_translate(cr, -34, -32);
  // Its shadow on the ground below and to the right (light from the top-left).
  cairo_push_group(cr);
  PaintGunship(cr);
  cairo_pattern_t* shape = cairo_pop_group(cr);
  cairo_save(cr);
  cairo_translate(cr, -4, 4);  // in the rotated frame: down and to the right on screen
  SetColour(cr, pal::kInk, 0.4);
  cairo_mask(cr, shape);
  cairo_restore(cr);
  cairo_set_source(cr, shape);
  cairo_paint(cr);
  cairo_pattern_destroy(shape);
  PaintRotor(cr);
  cairo_restore(cr);

  cairo_surface_flush(canvas.surface());
  return PictureFromSurface(canvas.surface());
}

}  // namespace

void ForgeIcons(const std::filesystem::path& folder) {
  for (const int size : kIconSizes) {
    const std::filesystem::path dir = folder / (std::to_string(size) + "x" + std::to_string(size));
    std::filesystem::create_directories(dir);
    WritePng(dir / "tarq.png", PaintIcon(size));
  }
}

}  // namespace tarq::forge

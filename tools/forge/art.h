#pragma once
// Shared art kit of the content forge: one palette, one light direction, one noise
// function and the Cairo helpers every sprite and tile painter uses, so the whole game
// looks drawn by one hand.
//
// Conventions:
//  - Colours here are straight RGB in 0..1 (Rgb). Finished pixels are 0xAARRGGBB with
//    straight alpha (the archive writer's PatternPixels), RGB = 0 wherever alpha = 0.
//  - Light comes from the top-left of the picture as stored. Sprites that the game
//    rotates are shaded mostly from straight above, so turning them does not flip
//    their lighting.
//  - Everything is deterministic: noise is a hash of integer coordinates and a seed.
#include <cairo.h>

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "archive_writer/archive_writer.h"

namespace tarq::forge {

using tools::PatternPixels;

struct Rgb {
  double r = 0, g = 0, b = 0;
};

constexpr Rgb Hex(uint32_t rrggbb) {
  return {((rrggbb >> 16) & 0xFF) / 255.0, ((rrggbb >> 8) & 0xFF) / 255.0, (rrggbb & 0xFF) / 255.0};
}

// Linear mix: t = 0 gives a, t = 1 gives b.
Rgb Mix(Rgb a, Rgb b, double t);
// k > 0 lightens toward white by k, k < 0 darkens toward black by -k.
Rgb Shade(Rgb c, double k);
Rgb Scale(Rgb c, double k);

// The palette. Military vehicles are mid-to-light in value so the game's red hit
// tint stays visible on them; the darkest tones are kept for outlines and vents.
namespace pal {
// Neutrals
constexpr Rgb kInk = Hex(0x1A1C18);        // outlines, deepest shadows
constexpr Rgb kGunmetal = Hex(0x55595C);   // barrels, tracks
constexpr Rgb kSteel = Hex(0x8C9296);      // bare metal
constexpr Rgb kSteelLight = Hex(0xC2C8CA);
constexpr Rgb kWhite = Hex(0xFFFFFF);
constexpr Rgb kBlack = Hex(0x000000);
// Enemy army: olive and khaki
constexpr Rgb kOlive = Hex(0x8A9457);
constexpr Rgb kOliveLight = Hex(0xAEB775);
constexpr Rgb kOliveDark = Hex(0x5E6838);
constexpr Rgb kKhaki = Hex(0xC2B080);
constexpr Rgb kSand = Hex(0xD8C89A);
constexpr Rgb kRust = Hex(0xA4643A);
constexpr Rgb kCamoBrown = Hex(0x8E7650);
// Enemy air force: pale blue-grey
constexpr Rgb kAirGrey = Hex(0xA9B4BC);
constexpr Rgb kAirGreyLight = Hex(0xCCD5DA);
constexpr Rgb kAirGreyDark = Hex(0x76838C);
// The player's helicopter: warm off-white with a blue stripe
constexpr Rgb kPlayerHull = Hex(0xE4E2D6);
constexpr Rgb kPlayerStripe = Hex(0x4C7FB8);
// Glass and lights
constexpr Rgb kGlass = Hex(0x3E6E86);
constexpr Rgb kGlassLight = Hex(0x9FD6E8);
constexpr Rgb kWarnRed = Hex(0xD8402C);
constexpr Rgb kWarnYellow = Hex(0xF0C830);
// Fire and light (effects)
constexpr Rgb kFlameWhite = Hex(0xFFF8E0);
constexpr Rgb kFlameYellow = Hex(0xFFD050);
constexpr Rgb kFlameOrange = Hex(0xFF8A20);
constexpr Rgb kFlameRed = Hex(0xC83010);
constexpr Rgb kSmoke = Hex(0x6A625A);
// Alien and tech forces
constexpr Rgb kAlienViolet = Hex(0xA48CC8);
constexpr Rgb kAlienTeal = Hex(0x6CC4B4);
constexpr Rgb kAlienGlow = Hex(0x90FFC0);
constexpr Rgb kTechPanel = Hex(0x9AA6B0);
constexpr Rgb kTechDark = Hex(0x4A5560);
// Ground and terrain (shared with the tiles)
constexpr Rgb kGrass = Hex(0x5F8A3A);
constexpr Rgb kGrassDark = Hex(0x466C2A);
constexpr Rgb kForest = Hex(0x2F5A2A);
constexpr Rgb kDirt = Hex(0x8A6E4A);
constexpr Rgb kDesert = Hex(0xD2B47C);
constexpr Rgb kAsphalt = Hex(0x55575A);
constexpr Rgb kConcrete = Hex(0x9C9A92);
constexpr Rgb kConcreteDark = Hex(0x6E6C66);
constexpr Rgb kWater = Hex(0x2A5E80);
constexpr Rgb kWaterLight = Hex(0x4F8FB0);
constexpr Rgb kFoam = Hex(0xDDEEF2);
constexpr Rgb kVolcanic = Hex(0x3A3430);
constexpr Rgb kLava = Hex(0xFF6A10);
constexpr Rgb kScorch = Hex(0x221C16);
// Flat concrete pad that the dome pictures are painted on: ground tiles around a
// silo opening use this colour so the opaque dome rectangle blends in.
constexpr Rgb kDomePad = Hex(0x8E8C84);
}  // namespace pal

// ---- Noise (deterministic) -------------------------------------------------------

uint32_t Hash32(int32_t x, int32_t y, uint32_t seed);
// Uniform in [0, 1) for one lattice point.
double HashUnit(int32_t x, int32_t y, uint32_t seed);
// Smooth value noise in [0, 1], lattice spacing 1.
double ValueNoise(double x, double y, uint32_t seed);
// Value noise that repeats every period_x by period_y lattice cells (for seamless tiles).
double PeriodicNoise(double x, double y, int period_x, int period_y, uint32_t seed);
// Fractal sum of octaves of value noise, in [0, 1]; frequency doubles per octave.
double Fbm(double x, double y, int octaves, uint32_t seed);
// Fractal noise that repeats every period_x by period_y units of x and y.
double PeriodicFbm(double x, double y, int period_x, int period_y, int octaves, uint32_t seed);

// A small seeded generator for scatter placement (not the game's generator).
class ArtRandom {
 public:
  explicit ArtRandom(uint32_t seed) : state_(seed * 2654435761u + 0x9E3779B9u) {}
  uint32_t Next();
  double Unit();                        // [0, 1)
  double Range(double lo, double hi);   // [lo, hi)
  int Below(int n);                     // 0 .. n - 1

 private:
  uint32_t state_;
};

// ---- Cairo canvas ----------------------------------------------------------------

// An ARGB32 Cairo surface with its context, cleared to transparent black.
class Canvas {
 public:
  Canvas(int width, int height);
  ~Canvas();
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  cairo_t* cr() const { return cr_; }
  cairo_surface_t* surface() const { return surface_; }
  int width() const { return width_; }
  int height() const { return height_; }
  // The picture as straight-alpha 0xAARRGGBB pixels with RGB zeroed where alpha is 0.
  PatternPixels Pixels();

 private:
  int width_, height_;
  cairo_surface_t* surface_;
  cairo_t* cr_;
};

// Premultiplied Cairo ARGB32 -> straight alpha, RGB = 0 where alpha = 0.
PatternPixels PixelsFromSurface(cairo_surface_t* surface);
// Straight-alpha pixels -> a new premultiplied surface (caller destroys it).
cairo_surface_t* SurfaceFromPixels(const PatternPixels& pixels);

// ---- Drawing helpers ---------------------------------------------------------------

void SetColour(cairo_t* cr, Rgb c, double alpha = 1.0);
void RoundedRect(cairo_t* cr, double x, double y, double w, double h, double r);
void EllipsePath(cairo_t* cr, double cx, double cy, double rx, double ry);
void PolygonPath(cairo_t* cr, const std::vector<double>& xy);

// Fills the current path (and keeps it) with base lit from the top-left: a lighter
// top-left corner and a darker bottom-right across the path's extents.
void FillLit(cairo_t* cr, Rgb base, double strength = 0.35);
// Fills the current path (and keeps it) with a cylinder shading across its width as
// seen from above: bright along the spine (axis along x when along_x), darker sides.
void FillCylinder(cairo_t* cr, Rgb base, bool along_x, double strength = 0.4);
// Fills the current path (and keeps it) with a dome shading: highlight up-left of the
// centre (cx, cy), darkening toward radius r.
void FillDome(cairo_t* cr, Rgb base, double cx, double cy, double r, double strength = 0.45);
// One colour stop of a radial fill: offset 0 .. 1 from the centre outward, RGBA.
struct RadialStop {
  double offset, r, g, b, a;
};
// Fills a disc of radius r round (cx, cy) with a gradient running outward from radius
// r0: glows, halos and pools of light.
void FillRadialDisc(cairo_t* cr, double cx, double cy, double r0, double r,
                    std::initializer_list<RadialStop> stops);
// Strokes the current path (and clears it) with a dark outline of the given colour.
void Outline(cairo_t* cr, Rgb c, double width = 1.0, double alpha = 0.85);

// ---- Pixel post-processing ---------------------------------------------------------

// Multiplies the RGB of visible pixels by 1 +- amount of fractal noise (surface grain).
void AddGrain(PatternPixels& p, uint32_t seed, double amount = 0.07, double cell = 3.0);
// Sets RGB to zero wherever alpha is zero (the rule for additive effects).
void ZeroTransparent(PatternPixels& p);
// For glows drawn additively: alpha = the brightest channel, so the pattern is clean
// under every effect (RGB is the light, alpha follows it).
void AlphaFromBrightness(PatternPixels& p);
// Rotates a pattern a quarter turn clockwise (w x h becomes h x w).
PatternPixels RotateClockwise(const PatternPixels& p);
// Flips a pattern top to bottom.
PatternPixels FlipVertical(const PatternPixels& p);
// Copies a w x h window of src starting at (x0, y0).
PatternPixels Crop(const PatternPixels& src, int x0, int y0, int w, int h);

}  // namespace tarq::forge

#pragma once
// Picture files the forge writes: 32-bit TGA (the game's tile and loading pictures),
// 24-bit BMP (tiles that use the magenta colour key) and PNG (contact sheets only).
// Pixels are 0xAARRGGBB with straight (not premultiplied) alpha, rows from the top.
#include <cairo.h>

#include <cstdint>
#include <filesystem>
#include <vector>

namespace tarq::forge {

struct Picture {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;  // width * height, row-major from the top

  Picture() = default;
  Picture(int w, int h, uint32_t fill = 0) : width(w), height(h), pixels(size_t(w) * h, fill) {}
  uint32_t& At(int x, int y) { return pixels[size_t(y) * width + x]; }
  uint32_t At(int x, int y) const { return pixels[size_t(y) * width + x]; }
};

// Uncompressed true-colour TGA, 32 bits, descriptor 0x28 (top row first, 8 alpha bits).
std::vector<uint8_t> EncodeTga32(const Picture& picture);
// Uncompressed 24-bit BMP (bottom-up rows padded to 4 bytes); alpha is dropped.
std::vector<uint8_t> EncodeBmp24(const Picture& picture);

void WriteTga32(const std::filesystem::path& path, const Picture& picture);
void WriteBmp24(const std::filesystem::path& path, const Picture& picture);
// PNG through Cairo; for looking at, so not part of the deterministic data folder.
void WritePng(const std::filesystem::path& path, const Picture& picture);

// Conversions between Cairo's premultiplied ARGB32 surfaces and straight-alpha pictures.
Picture PictureFromSurface(cairo_surface_t* surface);
// The caller owns the returned surface (cairo_surface_destroy).
cairo_surface_t* SurfaceFromPicture(const Picture& picture);

}  // namespace tarq::forge

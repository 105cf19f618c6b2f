#include "image_files.h"

#include <algorithm>
#include <stdexcept>
#include <string>

#include "archive_writer/archive_writer.h"

namespace tarq::forge {
namespace {

void Put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(uint8_t(v));
  out.push_back(uint8_t(v >> 8));
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

void CheckSize(const Picture& p) {
  if (p.width <= 0 || p.height <= 0 || p.width > 65535 || p.height > 65535 ||
      p.pixels.size() != size_t(p.width) * p.height) {
    throw std::invalid_argument("picture has an invalid size");
  }
}

}  // namespace

std::vector<uint8_t> EncodeTga32(const Picture& picture) {
  CheckSize(picture);
  std::vector<uint8_t> out;
  out.reserve(18 + picture.pixels.size() * 4);
  out.push_back(0);  // no image id
  out.push_back(0);  // no colour map
  out.push_back(2);  // uncompressed true colour
  for (int i = 0; i < 5; ++i) out.push_back(0);  // colour-map fields (no colour map)
  Put16(out, 0);
  Put16(out, 0);  // origin
  Put16(out, uint32_t(picture.width));
  Put16(out, uint32_t(picture.height));
  out.push_back(32);
  out.push_back(0x28);  // top row first, 8 alpha bits
  for (uint32_t px : picture.pixels) Put32(out, px);  // bytes B, G, R, A
  return out;
}

std::vector<uint8_t> EncodeBmp24(const Picture& picture) {
  CheckSize(picture);
  const uint32_t row_bytes = (uint32_t(picture.width) * 3 + 3) & ~3u;
  const uint32_t image_bytes = row_bytes * uint32_t(picture.height);
  std::vector<uint8_t> out;
  out.reserve(54 + image_bytes);
  out.push_back('B');
  out.push_back('M');
  Put32(out, 54 + image_bytes);
  Put32(out, 0);
  Put32(out, 54);  // pixel data offset
  Put32(out, 40);  // BITMAPINFOHEADER
  Put32(out, uint32_t(picture.width));
  Put32(out, uint32_t(picture.height));  // positive: bottom-up rows
  Put16(out, 1);
  Put16(out, 24);
  Put32(out, 0);  // no compression
  Put32(out, image_bytes);
  Put32(out, 2835);
  Put32(out, 2835);  // 72 dpi
  Put32(out, 0);
  Put32(out, 0);
  for (int y = picture.height - 1; y >= 0; --y) {
    for (int x = 0; x < picture.width; ++x) {
      const uint32_t px = picture.At(x, y);
      out.push_back(uint8_t(px));
      out.push_back(uint8_t(px >> 8));
      out.push_back(uint8_t(px >> 16));
    }
    for (uint32_t pad = uint32_t(picture.width) * 3; pad < row_bytes; ++pad) out.push_back(0);
  }
  return out;
}

void WriteTga32(const std::filesystem::path& path, const Picture& picture) {
  tools::WriteFileBytes(path, EncodeTga32(picture));
}

void WriteBmp24(const std::filesystem::path& path, const Picture& picture) {
  tools::WriteFileBytes(path, EncodeBmp24(picture));
}

Picture PictureFromSurface(cairo_surface_t* surface) {
  cairo_surface_flush(surface);
  Picture p(cairo_image_surface_get_width(surface), cairo_image_surface_get_height(surface));
  const int stride = cairo_image_surface_get_stride(surface);
  const unsigned char* data = cairo_image_surface_get_data(surface);
  for (int y = 0; y < p.height; ++y) {
    const auto* row = reinterpret_cast<const uint32_t*>(data + size_t(y) * stride);
    for (int x = 0; x < p.width; ++x) {
      const uint32_t px = row[x];
      const uint32_t a = px >> 24;
      if (a == 0) {
        p.At(x, y) = 0;  // fully transparent pixels carry no colour
        continue;
      }
      auto un = [a](uint32_t c) { return std::min<uint32_t>(255, (c * 255 + a / 2) / a); };
      p.At(x, y) = (a << 24) | (un((px >> 16) & 0xFF) << 16) | (un((px >> 8) & 0xFF) << 8) |
                   un(px & 0xFF);
    }
  }
  return p;
}

cairo_surface_t* SurfaceFromPicture(const Picture& picture) {
  cairo_surface_t* s =
      cairo_image_surface_create(CAIRO_FORMAT_ARGB32, picture.width, picture.height);
  cairo_surface_flush(s);
  const int stride = cairo_image_surface_get_stride(s);
  unsigned char* data = cairo_image_surface_get_data(s);
  for (int y = 0; y < picture.height; ++y) {
    auto* row = reinterpret_cast<uint32_t*>(data + size_t(y) * stride);
    for (int x = 0; x < picture.width; ++x) {
      const uint32_t px = picture.At(x, y);
      const uint32_t a = px >> 24;
      auto pre = [a](uint32_t c) { return (c * a + 127) / 255; };
      row[x] = (a << 24) | (pre((px >> 16) & 0xFF) << 16) | (pre((px >> 8) & 0xFF) << 8) |
               pre(px & 0xFF);
    }
  }
  cairo_surface_mark_dirty(s);
  return s;
}

void WritePng(const std::filesystem::path& path, const Picture& picture) {
  cairo_surface_t* s = SurfaceFromPicture(picture);
  const cairo_status_t status = cairo_surface_write_to_png(s, path.string().c_str());
  cairo_surface_destroy(s);
  if (status != CAIRO_STATUS_SUCCESS) {
    throw std::runtime_error("cannot write " + path.string() + ": " +
                             cairo_status_to_string(status));
  }
}

}  // namespace tarq::forge

#include "assets/bitmap_ex.h"

#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>

#include "core/bounded_file.h"

namespace tarq {
namespace {

constexpr size_t kTgaHeaderSize = 18;
constexpr const char* kTgaEndsEarly = "TGA file ends early";

uint32_t Le16(const uint8_t* p) { return p[0] | (static_cast<uint32_t>(p[1]) << 8); }
uint32_t Le32(const uint8_t* p) {
  return p[0] | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
         (static_cast<uint32_t>(p[3]) << 24);
}

std::vector<uint8_t> ReadWholeFile(const std::string& file_name) {
  std::vector<uint8_t> bytes;
  const FileReadResult read = ReadBoundedFile(file_name, kMaxPictureFileBytes, bytes);
  if (read.Status == FileReadStatus::kMissing || read.Status == FileReadStatus::kError) {
    throw BitmapError("Cannot open file \"" + file_name + "\"");
  }
  if (!read.Ok()) throw BitmapError(read.Error);
  return bytes;
}

void WriteWholeFile(const std::string& file_name, const std::vector<uint8_t>& bytes) {
  std::unique_ptr<FILE, int (*)(FILE*)> f(std::fopen(file_name.c_str(), "wb"), std::fclose);
  if (!f) throw BitmapError("Cannot create file \"" + file_name + "\"");
  if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), f.get()) != bytes.size()) {
    throw BitmapError("Cannot write file \"" + file_name + "\"");
  }
  if (std::fclose(f.release()) != 0) throw BitmapError("Cannot write file \"" + file_name + "\"");
}

// Rejects BMP headers whose dimensions the file cannot back, before SDL allocates
// a surface for them. Anything this does not understand is left to SDL to refuse.
void CheckBmpDimensions(std::span<const uint8_t> b) {
  if (b.size() < 2 || b[0] != 'B' || b[1] != 'M') return;  // not a BMP: the reader refuses it
  // The picture library reads the sizes of any header it is given, so a header too
  // short to hold them is refused here rather than read past.
  if (b.size() < 26) throw BitmapError("BMP file ends early");
  const uint32_t info_size = Le32(&b[14]);
  int64_t w, h;
  uint32_t bpp, compression = 0;
  if (info_size == 12) {
    // The old header's sizes are unsigned 16-bit numbers, as the BMP reader takes them.
    w = Le16(&b[18]);
    h = Le16(&b[20]);
    bpp = Le16(&b[24]);
  } else {
    if (b.size() < 34) throw BitmapError("BMP file ends early");
    w = static_cast<int32_t>(Le32(&b[18]));
    h = static_cast<int32_t>(Le32(&b[22]));
    bpp = Le16(&b[28]);
    compression = Le32(&b[30]);
  }
  w = w < 0 ? -w : w;
  h = h < 0 ? -h : h;
  // Run-length BMPs can describe far more pixels than they have bytes (an escape skips
  // a whole row), so the pixel count is capped for every form.
  if (static_cast<uint64_t>(w) * static_cast<uint64_t>(h) > kMaxPicturePixels) {
    throw BitmapError(kPictureTooLarge);
  }
  const bool packed = compression == 0 || compression == 3 || compression == 6;
  if (packed && bpp > 0 && bpp <= 32) {
    const uint64_t stride = ((static_cast<uint64_t>(w) * bpp + 31) / 32) * 4;
    if (stride * static_cast<uint64_t>(h) > b.size()) throw BitmapError("BMP file ends early");
  }
}

}  // namespace

void TBitmapEx::SetSize(int32_t width, int32_t height, int32_t bits) {
  if (width < 0 || height < 0 || (bits != 24 && bits != 32)) {
    throw BitmapError(kBitmapBadPixelFormat);
  }
  // assign keeps any room reserved for widening the picture later.
  pixels_.assign(static_cast<size_t>(width) * static_cast<size_t>(height) * static_cast<size_t>(bits / 8), 0);
  width_ = width;
  height_ = height;
  bits_ = bits;
}

void TBitmapEx::Clear() {
  width_ = height_ = bits_ = 0;
  pixels_.clear();
  pixels_.shrink_to_fit();
}

void TBitmapEx::ConvertTo32Bit() {
  if (bits_ != 24) return;
  // Widened in place from the last pixel back, so the picture is never held twice
  // (the readers reserve room for the wide form).
  const size_t count = static_cast<size_t>(width_) * static_cast<size_t>(height_);
  pixels_.resize(count * 4);
  for (size_t i = count; i-- > 0;) {
    const uint8_t b = pixels_[i * 3 + 0], g = pixels_[i * 3 + 1], r = pixels_[i * 3 + 2];
    pixels_[i * 4 + 0] = b;
    pixels_[i * 4 + 1] = g;
    pixels_[i * 4 + 2] = r;
    pixels_[i * 4 + 3] = 0;
  }
  bits_ = 32;
}

bool TBitmapEx::IsTgaName(const std::string& file_name) {
  if (file_name.size() < 4) return false;
  std::string ext = file_name.substr(file_name.size() - 4);
  std::transform(ext.begin(), ext.end(), ext.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return ext == ".tga";
}

void TBitmapEx::LoadFromFile(const std::string& file_name) {
  const std::vector<uint8_t> bytes = ReadWholeFile(file_name);
  if (IsTgaName(file_name)) {
    LoadTgaFromMemory(bytes);
  } else {
    LoadBmpFromMemory(bytes);
  }
}

void TBitmapEx::SaveToFile(const std::string& file_name) const {
  if (bits_ != 24 && bits_ != 32) throw BitmapError(kBitmapBadPixelFormat);
  if (IsTgaName(file_name)) {
    WriteWholeFile(file_name, SaveTgaToMemory());
    return;
  }
  const Uint32 format = bits_ == 32 ? SDL_PIXELFORMAT_BGRA32 : SDL_PIXELFORMAT_BGR24;
  // SDL only reads from the pixels when saving; it takes a non-const pointer regardless.
  SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(
      const_cast<uint8_t*>(pixels_.data()), width_, height_, bits_, static_cast<int>(RowBytes()), format);
  if (!surface) throw BitmapError(std::string("Cannot save BMP picture: ") + SDL_GetError());
  const int rc = SDL_SaveBMP(surface, file_name.c_str());
  SDL_FreeSurface(surface);
  if (rc != 0) throw BitmapError("Cannot write file \"" + file_name + "\": " + SDL_GetError());
}

void TBitmapEx::LoadTgaFromMemory(std::span<const uint8_t> bytes) {
  Clear();
  if (bytes.size() < kTgaHeaderSize) throw BitmapError(kTgaEndsEarly);
  const uint8_t* h = bytes.data();
  const uint32_t id_length = h[0];
  const uint32_t colour_map_type = h[1];
  const uint32_t image_type = h[2];
  const int32_t width = static_cast<int32_t>(Le16(&h[12]));
  const int32_t height = static_cast<int32_t>(Le16(&h[14]));
  const uint32_t bits = h[16];
  const uint32_t descriptor = h[17];

  // The order of these checks decides which message a file with several faults gets.
  if (image_type != 2 && image_type != 10) throw BitmapError(kTgaNotTrueColour);
  if (colour_map_type != 0) throw BitmapError(kTgaColourMapped);
  if (bits != 24 && bits != 32) throw BitmapError(kTgaBadBitDepth);
  if (descriptor & 0x10) throw BitmapError(kTgaMirrored);

  size_t pos = kTgaHeaderSize + id_length;
  if (pos > bytes.size()) throw BitmapError(kTgaEndsEarly);
  if (static_cast<uint64_t>(width) * static_cast<uint64_t>(height) > kMaxPicturePixels) {
    throw BitmapError(kPictureTooLarge);
  }
  const size_t pixel_bytes = bits / 8;
  const size_t row_bytes = static_cast<size_t>(width) * pixel_bytes;
  const size_t need = row_bytes * static_cast<size_t>(height);
  const size_t available = bytes.size() - pos;

  // Refuse sizes the file cannot hold before allocating anything for them: raw data
  // needs every byte; a run-length packet of 1 + pixel_bytes bytes yields at most 128
  // pixels.
  if (image_type == 2) {
    if (need > available) throw BitmapError(kTgaEndsEarly);
  } else {
    const size_t packets = (available + pixel_bytes) / (1 + pixel_bytes);
    if (need / pixel_bytes > packets * 128) throw BitmapError(kTgaEndsEarly);
  }

  // The pixels are decoded straight into the bitmap in stored row order (the picture
  // is held once), with room kept for widening to 32 bits in place.
  pixels_.reserve(static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
  SetSize(width, height, static_cast<int32_t>(bits));
  uint8_t* data = pixels_.data();
  try {
    if (image_type == 2) {
      if (need > 0) std::memcpy(data, bytes.data() + pos, need);
    } else {
      size_t produced = 0;
      while (produced < need) {
        if (pos >= bytes.size()) throw BitmapError(kTgaEndsEarly);
        const uint8_t header = bytes[pos++];
        const size_t count = (header & 0x7F) + 1;
        // A packet reaching past the end of the picture is cut there.
        const size_t take = std::min(count * pixel_bytes, need - produced);
        if (header & 0x80) {
          if (bytes.size() - pos < pixel_bytes) throw BitmapError(kTgaEndsEarly);
          const uint8_t* pixel = bytes.data() + pos;
          pos += pixel_bytes;
          for (size_t i = 0; i < take; ++i) data[produced + i] = pixel[i % pixel_bytes];
        } else {
          if (bytes.size() - pos < take) throw BitmapError(kTgaEndsEarly);
          std::memcpy(data + produced, bytes.data() + pos, take);
          pos += count * pixel_bytes;  // may step past the end; nothing more is read then
        }
        produced += take;
      }
    }
  } catch (...) {
    Clear();
    throw;
  }

  // Stored bottom row first: turn the rows over in place.
  const bool top_first = (descriptor & 0x20) != 0;
  if (!top_first && row_bytes > 0) {
    for (int32_t top = 0, bottom = height - 1; top < bottom; ++top, --bottom) {
      std::swap_ranges(Row(top), Row(top) + row_bytes, Row(bottom));
    }
  }
}

std::vector<uint8_t> TBitmapEx::SaveTgaToMemory() const {
  if (bits_ != 24 && bits_ != 32) throw BitmapError(kBitmapBadPixelFormat);
  if (width_ > 65535 || height_ > 65535) {
    throw BitmapError("Picture is too large for a TGA file");
  }
  std::vector<uint8_t> out(kTgaHeaderSize + pixels_.size(), 0);
  out[2] = 2;
  out[12] = static_cast<uint8_t>(width_);
  out[13] = static_cast<uint8_t>(width_ >> 8);
  out[14] = static_cast<uint8_t>(height_);
  out[15] = static_cast<uint8_t>(height_ >> 8);
  out[16] = static_cast<uint8_t>(bits_);
  out[17] = 0x20;  // rows stored top row first
  if (!pixels_.empty()) std::memcpy(out.data() + kTgaHeaderSize, pixels_.data(), pixels_.size());
  return out;
}

void TBitmapEx::LoadBmpFromMemory(std::span<const uint8_t> bytes) {
  Clear();
  CheckBmpDimensions(bytes);
  SDL_RWops* rw = SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size()));
  if (!rw) throw BitmapError(std::string("Cannot read BMP picture: ") + SDL_GetError());
  SDL_Surface* loaded = SDL_LoadBMP_RW(rw, 1);
  if (!loaded) throw BitmapError(std::string("Cannot read BMP picture: ") + SDL_GetError());
  // Pictures with an alpha channel keep it; the rest become 24-bit and, once widened,
  // get alpha 0.
  const bool has_alpha = loaded->format->Amask != 0;
  SDL_Surface* converted =
      SDL_ConvertSurfaceFormat(loaded, has_alpha ? SDL_PIXELFORMAT_BGRA32 : SDL_PIXELFORMAT_BGR24, 0);
  SDL_FreeSurface(loaded);
  if (!converted) throw BitmapError(std::string("Cannot convert BMP picture: ") + SDL_GetError());
  try {
    pixels_.reserve(static_cast<size_t>(converted->w) * static_cast<size_t>(converted->h) * 4);
    SetSize(converted->w, converted->h, has_alpha ? 32 : 24);
  } catch (...) {
    SDL_FreeSurface(converted);
    throw;
  }
  if (SDL_LockSurface(converted) == 0) {
    for (int32_t y = 0; y < height_; ++y) {
      std::memcpy(Row(y), static_cast<const uint8_t*>(converted->pixels) + y * converted->pitch, RowBytes());
    }
    SDL_UnlockSurface(converted);
  }
  SDL_FreeSurface(converted);
}

}  // namespace tarq

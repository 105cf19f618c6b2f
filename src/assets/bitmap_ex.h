#pragma once
// TBitmapEx: an in-memory picture read from or written to a TGA or BMP file.
//
// Pixels are 24 bits (bytes blue, green, red) or 32 bits (blue, green, red, alpha);
// row 0 is the top row. A file whose name ends in ".tga" (any case) is handled here;
// every other name goes to SDL's BMP reader and writer. Failures throw BitmapError
// carrying a message; a failed load leaves the bitmap empty.
#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace tarq {

class BitmapError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The TGA reader's messages, shown to whoever loads the picture.
inline constexpr const char* kTgaNotTrueColour = "TGA graphics is not in True-Color";
inline constexpr const char* kTgaColourMapped = "Color-mapped TGA is not supported";
inline constexpr const char* kTgaBadBitDepth = "Invalid TGA Bit-depth!";
inline constexpr const char* kTgaMirrored = "Mirrored TGA is not supported!";
inline constexpr const char* kBitmapBadPixelFormat = "Invalid pixel format!";
inline constexpr const char* kPictureTooLarge = "Picture dimensions are too large";

// The most pixels a TGA or BMP picture may have: 2048 x 2048. Every picture the game
// reads (tiles, the loading picture) is cut into 64 x 64 patterns and the forged ones
// are a single pattern each, so this leaves a thousandfold headroom while keeping one
// picture below 16 MiB at 32 bits per pixel.
inline constexpr uint64_t kMaxPicturePixels = uint64_t{2048} * 2048;
// The largest picture file read: the largest picture uncompressed at 32 bits, plus
// room for headers, palettes, an ID field and trailing extension data.
inline constexpr size_t kMaxPictureFileBytes = kMaxPicturePixels * 4 + (size_t{1} << 20);

class TBitmapEx {
 public:
  TBitmapEx() = default;

  int32_t Width() const { return width_; }
  int32_t Height() const { return height_; }
  // 24 or 32; 0 for an empty bitmap that was never given a format.
  int32_t BitsPerPixel() const { return bits_; }
  int32_t BytesPerPixel() const { return bits_ / 8; }
  size_t RowBytes() const { return static_cast<size_t>(width_) * static_cast<size_t>(bits_ / 8); }
  bool Empty() const { return width_ == 0 || height_ == 0; }

  // Row y from the top; valid for 0 <= y < Height().
  uint8_t* Row(int32_t y) { return pixels_.data() + static_cast<size_t>(y) * RowBytes(); }
  const uint8_t* Row(int32_t y) const { return pixels_.data() + static_cast<size_t>(y) * RowBytes(); }

  // Sizes the bitmap (contents zeroed). bits must be 24 or 32, the sizes non-negative.
  void SetSize(int32_t width, int32_t height, int32_t bits);
  void Clear();

  // Widens a 24-bit picture to 32 bits with alpha 0; 32-bit pictures are untouched.
  void ConvertTo32Bit();

  void LoadFromFile(const std::string& file_name);
  void SaveToFile(const std::string& file_name) const;

  // The same readers over bytes already in memory (tests, fuzzing).
  void LoadTgaFromMemory(std::span<const uint8_t> bytes);
  void LoadBmpFromMemory(std::span<const uint8_t> bytes);
  std::vector<uint8_t> SaveTgaToMemory() const;

  // True when the name's extension is ".tga", without regard to case.
  static bool IsTgaName(const std::string& file_name);

 private:
  int32_t width_ = 0;
  int32_t height_ = 0;
  int32_t bits_ = 0;
  std::vector<uint8_t> pixels_;
};

}  // namespace tarq

#pragma once
// TPatternImage: the drawable image. One or more textures of the drawing device, all
// the same size, each cut into a grid of equal patterns (animation frames, glyphs,
// tile pieces) addressed by one pattern index across all textures: pattern p lives
// in texture p div PatternsPerTexture, at column q mod PatternsPerRow and row
// q div PatternsPerRow of its grid, with q = p mod PatternsPerTexture.
//
// Loaded from an image record of a record archive ("TQIM" records), from such a
// record in memory, or from a TGA/BMP picture, converting the 32-bit source pixels
// into the texture format asked for (codes 21..27, 29, and 30 from pictures only).
// The image remembers the device it was loaded on to reach its textures; unload it
// before that device is finalised or destroyed.
//
// Results: 0, or
//   -1 the device refused to lock or unlock a texture
//   -2 format code not supported by this operation
//   -3 invalid arguments, not loaded, texture index out of range, a record shorter
//      than its own sizes, or (LoadFromMemory) already loaded
//   -4 the device could not create a texture, or (LoadFromFile) already loaded
//   -5 LoadFromArchive on a loaded image
//   -6 codec library not available
//   -11 the archive record is unreadable
//   -12 not an image record (magic differs)
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "gfx/draw_device.h"

namespace tarq {

class TRecordArchive;

enum : int32_t {
  kImageLockFailed = -1,
  kImageBadFormat = -2,
  kImageInvalid = -3,
  kImageCreateFailed = -4,
  kImageAlreadyLoaded = -5,
  kImageNoCodec = -6,
  kImageRecordUnreadable = -11,
  kImageNotAnImage = -12,
};

// "TQIM" read as a little-endian integer.
inline constexpr uint32_t kImageRecordMagicTQIM = 0x4D495154;

// Bounds of one image record, checked before any texture is made. The forged sprite
// sheets and fonts use one texture of at most 512 x 256 texels each; sixty-four
// textures and 4 Mi texels (16 MiB of source pixels, sixteen 512 x 512 textures) leave
// ample room, while a record of many tiny textures can no longer ask for gigabytes of
// texture objects.
inline constexpr int32_t kMaxImageTextures = 64;
inline constexpr uint64_t kMaxImageTexels = uint64_t{1} << 22;

class TPatternImage : public DrawableImage {
 public:
  TPatternImage() = default;
  ~TPatternImage() override;
  TPatternImage(const TPatternImage&) = delete;
  TPatternImage& operator=(const TPatternImage&) = delete;

  // Reads record `name` (first 31 characters count) and loads it as LoadFromMemory.
  int32_t LoadFromArchive(const TRecordArchive& archive, TDrawDevice& device, const std::string& name,
                          int32_t format);
  // Loads a decoded image record: "TQIM", TextureWidth, TextureHeight, PatternWidth
  // (0 = TextureWidth), PatternHeight (0 = TextureHeight), TextureCount, then the
  // pixels texture by texture, rows from the top, 4 bytes each (B, G, R, A).
  int32_t LoadFromMemory(TDrawDevice& device, std::span<const uint8_t> data, int32_t format);
  // Loads a TGA or BMP picture cut into pattern_width x pattern_height patterns (0 = the
  // picture's size) laid onto texture_width x texture_height textures. Errors of the
  // picture reader are thrown as BitmapError, leaving the image empty.
  int32_t LoadFromFile(TDrawDevice& device, const std::string& file_name, int32_t pattern_width,
                       int32_t pattern_height, int32_t texture_width, int32_t texture_height, int32_t format);
  // 0, or -1 when nothing was loaded.
  int32_t Unload();

  // Lock gives the texels of a texture in the image's format (rows from the top);
  // changes show from Unlock on. The map's water animation works through these.
  int32_t Lock(int32_t texture_index, LockedArea& area);
  int32_t Unlock(int32_t texture_index);

  // Format 25 only: texels equal to `color` (0xAABBGGRR, compared in 15 bits) become
  // transparent, all others opaque.
  int32_t SetColorKey(uint32_t color);

  // DrawableImage.
  int32_t DrawPatternWidth() const override { return pattern_width_; }
  int32_t DrawPatternHeight() const override { return pattern_height_; }
  bool SelectPattern(int32_t pattern, bool mirror, bool flip, TextureHandle& texture,
                     QuadTemplate& quad) override;

  int32_t PatternWidth() const { return pattern_width_; }
  int32_t PatternHeight() const { return pattern_height_; }
  int32_t TextureWidth() const { return texture_width_; }
  int32_t TextureHeight() const { return texture_height_; }
  int32_t PatternCount() const { return pattern_count_; }
  int32_t PatternsPerRow() const { return patterns_per_row_; }
  int32_t PatternsPerColumn() const { return patterns_per_column_; }
  int32_t PatternsPerTexture() const { return patterns_per_texture_; }
  int32_t Format() const { return format_; }
  bool Loaded() const { return loaded_; }
  int32_t TextureCount() const { return static_cast<int32_t>(textures_.size()); }
  const std::vector<TextureHandle>& Textures() const { return textures_; }

 private:
  int32_t CreateTextures(TDrawDevice& device, int32_t texture_width, int32_t texture_height,
                         int32_t texture_count, int32_t pattern_width, int32_t pattern_height,
                         int32_t format);
  int32_t UploadTexture(const uint8_t* source, int32_t texture_index);

  int32_t pattern_width_ = 0, pattern_height_ = 0;
  int32_t texture_width_ = 0, texture_height_ = 0;
  int32_t pattern_count_ = 0;
  int32_t patterns_per_row_ = 0, patterns_per_column_ = 0, patterns_per_texture_ = 0;
  int32_t format_ = 0;
  bool loaded_ = false;
  std::vector<TextureHandle> textures_;
  TDrawDevice* device_ = nullptr;
};

}  // namespace tarq

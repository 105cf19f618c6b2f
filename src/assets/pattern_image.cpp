#include "assets/pattern_image.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "assets/bitmap_ex.h"
#include "assets/codec.h"
#include "gfx/pixel_convert.h"
#include "assets/record_archive.h"

namespace tarq {
namespace {

constexpr size_t kImageRecordHeaderSize = 24;
static_assert(kMaxDecodedRecordSize >= static_cast<int64_t>(kImageRecordHeaderSize + kMaxImageTexels * 4),
              "the archive must be able to hold the largest image record");
constexpr size_t kMaxRecordNameLength = 31;

int32_t ReadInt32(const uint8_t* p) {
  uint32_t v = p[0] | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
               (static_cast<uint32_t>(p[3]) << 24);
  return static_cast<int32_t>(v);
}

bool RecordFormat(int32_t format) { return format >= 21 && format <= 27 ? true : format == 29; }
bool PictureFormat(int32_t format) { return RecordFormat(format) || format == 30; }

// The converter of the bound codec library, binding it first; null when the library
// cannot be had or the format has none.
RowConverter CodecConverter(int32_t format) {
  if (!BindCodecLibrary()) return nullptr;
  return BoundCodecLibrary()->ConverterFor(format);
}

}  // namespace

TPatternImage::~TPatternImage() { Unload(); }

int32_t TPatternImage::CreateTextures(TDrawDevice& device, int32_t texture_width, int32_t texture_height,
                                      int32_t texture_count, int32_t pattern_width, int32_t pattern_height,
                                      int32_t format) {
  // A texture without texels would make the pattern grid divide by zero.
  if (texture_count < 1 || loaded_ || texture_width < 1 || texture_height < 1 ||
      texture_width < pattern_width || texture_height < pattern_height || pattern_width < 0 ||
      pattern_height < 0) {
    return kImageInvalid;
  }
  device_ = &device;
  textures_.reserve(static_cast<size_t>(texture_count));
  for (int32_t i = 0; i < texture_count; ++i) {
    const TextureHandle texture = device.CreateTexture(texture_width, texture_height, format);
    if (texture == kNoTexture) {
      loaded_ = true;  // so Unload releases the textures made so far
      Unload();
      return kImageCreateFailed;
    }
    textures_.push_back(texture);
  }
  format_ = format;
  texture_width_ = texture_width;
  texture_height_ = texture_height;
  pattern_width_ = pattern_width == 0 ? texture_width : pattern_width;
  pattern_height_ = pattern_height == 0 ? texture_height : pattern_height;
  patterns_per_row_ = texture_width_ / pattern_width_;
  patterns_per_column_ = texture_height_ / pattern_height_;
  patterns_per_texture_ = patterns_per_row_ * patterns_per_column_;
  pattern_count_ = texture_count * patterns_per_texture_;
  loaded_ = true;
  return 0;
}

int32_t TPatternImage::UploadTexture(const uint8_t* source, int32_t texture_index) {
  LockedArea area;
  const int32_t locked = Lock(texture_index, area);
  if (locked != 0) return locked;
  const RowConverter convert = CodecConverter(format_);
  if (convert != nullptr) {
    for (int32_t r = 0; r < texture_height_; ++r) {
      convert(source, area.Bits + static_cast<ptrdiff_t>(r) * area.Pitch,
              static_cast<size_t>(texture_width_));
      source += static_cast<size_t>(texture_width_) * 4;
    }
  }
  return Unlock(texture_index);
}

int32_t TPatternImage::LoadFromArchive(const TRecordArchive& archive, TDrawDevice& device,
                                       const std::string& name, int32_t format) {
  if (loaded_) return kImageAlreadyLoaded;
  std::vector<uint8_t> record;
  int32_t size = 0;
  if (archive.ReadRecord(name.substr(0, kMaxRecordNameLength), record, size) != 0) {
    return kImageRecordUnreadable;
  }
  const size_t usable = std::min(record.size(), static_cast<size_t>(std::max(size, 0)));
  return LoadFromMemory(device, std::span<const uint8_t>(record.data(), usable), format);
}

int32_t TPatternImage::LoadFromMemory(TDrawDevice& device, std::span<const uint8_t> data, int32_t format) {
  if (loaded_) return kImageInvalid;
  if (!RecordFormat(format)) return kImageBadFormat;
  if (data.size() < 4 || static_cast<uint32_t>(ReadInt32(data.data())) != kImageRecordMagicTQIM) {
    return kImageNotAnImage;
  }
  if (!BindCodecLibrary()) return kImageNoCodec;
  // A record must hold the pixels its own sizes promise; reading on past its end
  // would take memory that is not the picture.
  if (data.size() < kImageRecordHeaderSize) return kImageInvalid;
  const int32_t texture_width = ReadInt32(&data[4]);
  const int32_t texture_height = ReadInt32(&data[8]);
  const int32_t pattern_width = ReadInt32(&data[12]);
  const int32_t pattern_height = ReadInt32(&data[16]);
  const int32_t texture_count = ReadInt32(&data[20]);
  if (texture_count > kMaxImageTextures) return kImageInvalid;
  if (texture_width > 0 && texture_height > 0 && texture_count > 0) {
    const uint64_t texels = static_cast<uint64_t>(texture_width) * static_cast<uint64_t>(texture_height) *
                            static_cast<uint64_t>(texture_count);
    if (texels > kMaxImageTexels) return kImageInvalid;
    const uint64_t texture_bytes =
        static_cast<uint64_t>(texture_width) * static_cast<uint64_t>(texture_height) * 4;
    const uint64_t available = data.size() - kImageRecordHeaderSize;
    if (available / texture_bytes < static_cast<uint64_t>(texture_count)) return kImageInvalid;
  }
  const int32_t created = CreateTextures(device, texture_width, texture_height, texture_count, pattern_width,
                                         pattern_height, format);
  if (created != 0) return created;

  const uint8_t* source = data.data() + kImageRecordHeaderSize;
  const size_t texture_bytes = static_cast<size_t>(texture_width) * static_cast<size_t>(texture_height) * 4;
  for (int32_t i = 0; i < texture_count; ++i) {
    const int32_t uploaded = UploadTexture(source, i);
    if (uploaded != 0) {
      Unload();
      return uploaded;
    }
    source += texture_bytes;
  }
  return 0;
}

int32_t TPatternImage::LoadFromFile(TDrawDevice& device, const std::string& file_name, int32_t pattern_width,
                                    int32_t pattern_height, int32_t texture_width, int32_t texture_height,
                                    int32_t format) {
  if (loaded_) return kImageCreateFailed;
  if (!BindCodecLibrary()) return kImageNoCodec;
  if (!PictureFormat(format)) return kImageBadFormat;
  const RowConverter convert = BoundCodecLibrary()->ConverterFor(format);
  if (convert == nullptr) return kImageNoCodec;

  TBitmapEx picture;
  picture.LoadFromFile(file_name);  // reader errors go to the caller as BitmapError
  picture.ConvertTo32Bit();         // 24-bit pictures get alpha 0

  const int32_t bw = picture.Width();
  const int32_t bh = picture.Height();
  const int32_t pw = pattern_width == 0 ? bw : pattern_width;
  const int32_t ph = pattern_height == 0 ? bh : pattern_height;
  // Patterns must have pixels, or there is no grid to lay them on.
  if (pw <= 0 || ph <= 0) return kImageInvalid;
  if (texture_width < pw || texture_height < ph) return kImageInvalid;

  const int32_t picture_columns = bw / pw;
  const int32_t picture_patterns = picture_columns * (bh / ph);  // N
  const int32_t texture_columns = texture_width / pw;
  const int32_t slots = texture_columns * (texture_height / ph);  // M
  const int32_t texture_count = picture_patterns / slots + (picture_patterns % slots != 0 ? 1 : 0);
  const int32_t created =
      CreateTextures(device, texture_width, texture_height, texture_count, pw, ph, format);
  if (created != 0) return created;
  pattern_count_ = picture_patterns;

  const int32_t texel_bytes = FormatBytesPerTexel(format);
  int32_t p = 0;
  for (int32_t t = 0; t < texture_count; ++t) {
    LockedArea area;
    const int32_t locked = Lock(t, area);
    if (locked != 0) {
      Unload();  // a failed load leaves the image empty
      return locked;
    }
    for (int32_t s = 0; s < slots; ++s, ++p) {
      const int32_t slot_x = (s % texture_columns) * pw;
      const int32_t slot_y = (s / texture_columns) * ph;
      const int32_t origin_x = pw * (p % picture_columns);
      const int32_t origin_y = ph * (p / picture_columns);
      // Slots past the last whole pattern are left as they are.
      if (bh < origin_y + ph) continue;
      const int32_t count = std::min(pw, bw - origin_x);
      for (int32_t r = 0; r < ph; ++r) {
        convert(picture.Row(origin_y + r) + static_cast<size_t>(origin_x) * 4,
                area.Bits + static_cast<ptrdiff_t>(slot_y + r) * area.Pitch +
                    static_cast<ptrdiff_t>(slot_x) * texel_bytes,
                static_cast<size_t>(std::max(count, 0)));
      }
    }
    const int32_t unlocked = Unlock(t);
    if (unlocked != 0) {
      Unload();
      return unlocked;
    }
  }
  return 0;
}

int32_t TPatternImage::Unload() {
  const bool had_textures = loaded_ && !textures_.empty();
  if (device_ != nullptr) {
    for (TextureHandle texture : textures_) device_->DestroyTexture(texture);
  }
  textures_.clear();
  loaded_ = false;
  pattern_width_ = pattern_height_ = texture_width_ = texture_height_ = 0;
  pattern_count_ = patterns_per_row_ = patterns_per_column_ = patterns_per_texture_ = 0;
  format_ = 0;
  device_ = nullptr;
  return had_textures ? 0 : -1;
}

int32_t TPatternImage::Lock(int32_t texture_index, LockedArea& area) {
  if (!loaded_ || texture_index < 0 || texture_index >= TextureCount()) return kImageInvalid;
  if (!device_->LockTexture(textures_[static_cast<size_t>(texture_index)], area)) {
    return kImageLockFailed;
  }
  return 0;
}

int32_t TPatternImage::Unlock(int32_t texture_index) {
  if (!loaded_ || texture_index < 0 || texture_index >= TextureCount()) return kImageInvalid;
  if (!device_->UnlockTexture(textures_[static_cast<size_t>(texture_index)])) {
    return kImageLockFailed;
  }
  return 0;
}

int32_t TPatternImage::SetColorKey(uint32_t color) {
  if (!loaded_) return kImageInvalid;
  if (format_ != kFormatA1R5G5B5) return kImageBadFormat;
  if (!BindCodecLibrary()) return kImageNoCodec;
  // 0xAABBGGRR to 0x00RRGGBB, then the 15-bit form the texels use.
  const uint32_t rgb = ((color & 0xFF) << 16) | (color & 0xFF00) | ((color >> 16) & 0xFF);
  const uint32_t key = BoundCodecLibrary()->Conv24to15(rgb) & 0x7FFFu;
  for (int32_t t = 0; t < TextureCount(); ++t) {
    LockedArea area;
    const int32_t locked = Lock(t, area);
    if (locked != 0) return locked;
    for (int32_t y = 0; y < texture_height_; ++y) {
      uint8_t* row = area.Bits + static_cast<ptrdiff_t>(y) * area.Pitch;
      for (int32_t x = 0; x < texture_width_; ++x) {
        uint8_t* texel = row + static_cast<ptrdiff_t>(x) * 2;
        const uint32_t value = texel[0] | (static_cast<uint32_t>(texel[1]) << 8);
        const uint32_t keyed = (value & 0x7FFFu) == key ? (value & 0x7FFFu) : (value | 0x8000u);
        texel[0] = static_cast<uint8_t>(keyed);
        texel[1] = static_cast<uint8_t>(keyed >> 8);
      }
    }
    const int32_t unlocked = Unlock(t);
    if (unlocked != 0) return unlocked;
  }
  return 0;
}

bool TPatternImage::SelectPattern(int32_t pattern, bool mirror, bool flip, TextureHandle& texture,
                                  QuadTemplate& quad) {
  if (!loaded_ || textures_.empty() || pattern_count_ <= 0) return false;
  pattern = std::clamp(pattern, 0, pattern_count_ - 1);
  texture = textures_[static_cast<size_t>(pattern / patterns_per_texture_)];
  const int32_t q = pattern % patterns_per_texture_;
  const int32_t column = q % patterns_per_row_;
  const int32_t row = (q / patterns_per_row_) % patterns_per_column_;
  const double tw = texture_width_;
  const double th = texture_height_;
  float left = static_cast<float>(column * pattern_width_ / tw);
  float right = static_cast<float>((column * pattern_width_ + pattern_width_) / tw);
  float top = static_cast<float>(row * pattern_height_ / th);
  float bottom = static_cast<float>((row * pattern_height_ + pattern_height_) / th);
  if (mirror) std::swap(left, right);
  if (flip) std::swap(top, bottom);
  quad.Corner[kCornerTL].u = left;
  quad.Corner[kCornerTL].v = top;
  quad.Corner[kCornerTR].u = right;
  quad.Corner[kCornerTR].v = top;
  quad.Corner[kCornerBL].u = left;
  quad.Corner[kCornerBL].v = bottom;
  quad.Corner[kCornerBR].u = right;
  quad.Corner[kCornerBR].v = bottom;
  return true;
}

}  // namespace tarq

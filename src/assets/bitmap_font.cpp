#include "assets/bitmap_font.h"

#include <cstdint>

#include "assets/pattern_image.h"
#include "assets/record_archive.h"
#include "core/numeric.h"

namespace tarq {

namespace {


int32_t I32At(const std::vector<uint8_t>& b, size_t at) {
  return static_cast<int32_t>(uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 |
                              uint32_t(b[at + 2]) << 16 | uint32_t(b[at + 3]) << 24);
}

// One advance or height at the font's scale: truncated per character.
int64_t Scaled(int32_t size, int32_t scale) { return Div(static_cast<int64_t>(size) * scale, 256); }

// Sums are kept in 64 bits and saturated, so absurd metrics in a font file give an
// absurd width rather than an arithmetic overflow.
int32_t Saturate(int64_t v) {
  return static_cast<int32_t>(Clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

}  // namespace

TBitmapFont::TBitmapFont() = default;
TBitmapFont::~TBitmapFont() { Unload(); }

bool TBitmapFont::LoadFromFile(const std::string& file_name, int32_t format) {
  if (loaded_ || !DrawDevice) return false;
  TRecordArchive archive;
  archive.OpenMode = opReadOnly;
  archive.FileName = file_name;
  archive.Signature = kArchiveSignatureTQFN;
  if (archive.Open() != 0) return false;

  auto image = std::make_unique<TPatternImage>();
  if (image->LoadFromArchive(archive, *DrawDevice, "font", format) != 0) return false;

  std::vector<uint8_t> sizes;
  int32_t size = 0;
  if (archive.ReadRecord("sizedata", sizes, size) != 0) {
    image->Unload();
    return false;
  }
  // The metrics must cover every character they announce: a count the record cannot
  // hold would otherwise read past its end.
  if (sizes.size() < 12) {
    image->Unload();
    return false;
  }
  const int32_t count = I32At(sizes, 0);
  if (count < 0 || static_cast<uint64_t>(count) > (sizes.size() - 12) / 8) {
    image->Unload();
    return false;
  }
  first_char_ = I32At(sizes, 4);
  reserved_ = I32At(sizes, 8);
  char_width_.resize(static_cast<size_t>(count));
  char_height_.resize(static_cast<size_t>(count));
  for (size_t i = 0; i < static_cast<size_t>(count); ++i) {
    char_width_[i] = I32At(sizes, 12 + 8 * i);
    char_height_[i] = I32At(sizes, 16 + 8 * i);
  }
  cell_width_ = image->PatternWidth();
  cell_height_ = image->PatternHeight();
  image_ = std::move(image);
  loaded_ = true;
  return true;
}

bool TBitmapFont::Unload() {
  const bool was_loaded = loaded_;
  if (image_) {
    image_->Unload();
    image_.reset();
  }
  loaded_ = false;
  return was_loaded;
}

int32_t TBitmapFont::GlyphIndex(char c) const {
  const int64_t i = static_cast<int64_t>(static_cast<unsigned char>(c)) - first_char_;
  return (i >= 0 && i < static_cast<int64_t>(char_width_.size())) ? static_cast<int32_t>(i) : -1;
}

bool TBitmapFont::TextOut(const std::string& text, int32_t x, int32_t y, uint32_t color) {
  if (!loaded_ || text.empty()) return false;
  int64_t pen = x;
  for (char c : text) {
    const int32_t i = GlyphIndex(c);
    if (i < 0) continue;
    if (DrawDevice) {
      if (Scale == 256) {
        DrawDevice->DrawImageColored(image_.get(), Saturate(pen), y, color, i, kBlendAlpha);
      } else {
        DrawDevice->DrawImageScaled(image_.get(), Saturate(pen), y, Scale, color, i, kBlendAlpha);
      }
    }
    pen += Scaled(char_width_[static_cast<size_t>(i)], Scale);
  }
  return true;
}

int32_t TBitmapFont::TextWidth(const std::string& text) const {
  if (!loaded_) return 0;
  int64_t width = 0;
  for (char c : text) {
    const int32_t i = GlyphIndex(c);
    if (i >= 0) width += Scaled(char_width_[static_cast<size_t>(i)], Scale);
  }
  return Saturate(width);
}

int32_t TBitmapFont::TextHeight(const std::string& text) const {
  if (!loaded_) return 0;
  int64_t height = 0;
  for (char c : text) {
    const int32_t i = GlyphIndex(c);
    if (i >= 0 && Scaled(char_height_[static_cast<size_t>(i)], Scale) > height) {
      height = Scaled(char_height_[static_cast<size_t>(i)], Scale);
    }
  }
  return Saturate(height);
}

}  // namespace tarq

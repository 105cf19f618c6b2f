#pragma once
// TBitmapFont draws text with a pre-rendered bitmap font: each character is one
// pattern of a glyph image, placed one after the other with its own advance width,
// tinted by a colour and scaled in 1/256.
//
// A font file is a record archive with the "TQFN" signature holding two records:
//   "font"     an image record; pattern i is the glyph of character FirstChar + i
//   "sizedata" 32-bit little-endian integers: CharCount, FirstChar, Reserved, then
//              CharCount pairs (advance width, height) at scale 256
// Characters are 8-bit codes; one outside FirstChar .. FirstChar + CharCount - 1 is
// skipped: nothing drawn, no advance, no width.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "gfx/draw_device.h"

namespace tarq {

class TPatternImage;

class TBitmapFont : public TCustomDrawComponent {
 public:
  TBitmapFont();
  ~TBitmapFont() override;
  TBitmapFont(const TBitmapFont&) = delete;
  TBitmapFont& operator=(const TBitmapFont&) = delete;

  // Size factor in 1/256: 256 draws glyphs at their own size, 128 at half size.
  int32_t Scale = 256;

  // Loads the font through DrawDevice's device into textures of the given format
  // (a texture format code; the game uses 26, A4R4G4B4). False, and the font left
  // unloaded, on any failure; false as well when a font is already loaded (that
  // font is kept).
  bool LoadFromFile(const std::string& file_name, int32_t format);
  // Releases the glyph image; returns whether a font had been loaded.
  bool Unload();

  // Draws text with its top-left corner at (x, y), alpha blended in color
  // (0xAABBGGRR). True when a font is loaded and text is not empty.
  bool TextOut(const std::string& text, int32_t x, int32_t y, uint32_t color);
  // Sum of the advances (each CharWidth * Scale div 256, truncated per character).
  int32_t TextWidth(const std::string& text) const;
  // Largest CharHeight * Scale div 256 over the characters in the font.
  int32_t TextHeight(const std::string& text) const;

  bool Loaded() const { return loaded_; }
  int32_t FirstChar() const { return first_char_; }
  int32_t CharCount() const { return static_cast<int32_t>(char_width_.size()); }
  int32_t Reserved() const { return reserved_; }
  const std::vector<int32_t>& CharWidth() const { return char_width_; }
  const std::vector<int32_t>& CharHeight() const { return char_height_; }
  // The glyph cell: the image's pattern size (kept; text operations do not use it).
  int32_t CellWidth() const { return cell_width_; }
  int32_t CellHeight() const { return cell_height_; }
  TPatternImage* Image() const { return image_.get(); }

 private:
  // Index of a character's glyph, or -1 when the font has none for it.
  int32_t GlyphIndex(char c) const;

  std::unique_ptr<TPatternImage> image_;
  bool loaded_ = false;
  int32_t first_char_ = 0;
  int32_t reserved_ = 0;
  std::vector<int32_t> char_width_;
  std::vector<int32_t> char_height_;
  int32_t cell_width_ = 0;
  int32_t cell_height_ = 0;
};

}  // namespace tarq

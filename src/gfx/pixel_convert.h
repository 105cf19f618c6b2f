#pragma once
// Row converters between 32-bit source pixels and the texture formats of pattern
// images.
//
// Source pixels are always 32-bit: bytes blue, green, red, alpha (0xAARRGGBB read as a
// little-endian integer). Format codes follow the display system's numbering, bits
// listed from the most significant down:
//   21 A8R8G8B8 (4 bytes)  22 X8R8G8B8 (4)  23 R5G6B5 (2)    24 X1R5G5B5 (2)
//   25 A1R5G5B5 (2)        26 A4R4G4B4 (2)  27 R3G3B2 (1)    29 A8R3G3B2 (2)
//   30 X4R4G4B4 (2)
// Multi-byte texels are stored little-endian. Channels are reduced with rounding to
// the nearest level; X bits are written as ones, so an X texel reads as opaque.
// Expanding back gives round(level * 255 / max) per channel, identical for every
// back end, and alpha 255 for formats without alpha.
#include <cstddef>
#include <cstdint>

namespace tarq {

enum : int32_t {
  kFormatA8R8G8B8 = 21,
  kFormatX8R8G8B8 = 22,
  kFormatR5G6B5 = 23,
  kFormatX1R5G5B5 = 24,
  kFormatA1R5G5B5 = 25,
  kFormatA4R4G4B4 = 26,
  kFormatR3G3B2 = 27,
  kFormatA8R3G3B2 = 29,
  kFormatX4R4G4B4 = 30,
};

// Bytes per texel of a format code; 0 for codes that are not texture formats.
int32_t FormatBytesPerTexel(int32_t format);

// Whether texels of the format carry an alpha channel (21, 25, 26, 29).
bool FormatHasAlpha(int32_t format);

// One converter per format: n source pixels (4 bytes each) into n destination texels.
void Line32to32(const uint8_t* src, uint8_t* dst, size_t n);  // 21: copied unchanged
void Line24to24(const uint8_t* src, uint8_t* dst, size_t n);  // 22
void Line24to16(const uint8_t* src, uint8_t* dst, size_t n);  // 23
void Line24to15(const uint8_t* src, uint8_t* dst, size_t n);  // 24
void Line32to15(const uint8_t* src, uint8_t* dst, size_t n);  // 25
void Line32to12(const uint8_t* src, uint8_t* dst, size_t n);  // 26
void Line24to8(const uint8_t* src, uint8_t* dst, size_t n);   // 27
void Line32to8(const uint8_t* src, uint8_t* dst, size_t n);   // 29
void Line24to12(const uint8_t* src, uint8_t* dst, size_t n);  // 30

using RowConverter = void (*)(const uint8_t* src, uint8_t* dst, size_t n);

// The converter for a format code, or nullptr when the code is not a texture format.
RowConverter ConverterForFormat(int32_t format);

// A 0x00RRGGBB colour in the 15-bit form of format 24/25 (top bit clear).
uint16_t Conv24to15(uint32_t rgb);

// The reverse direction: n texels of the format into 32-bit pixels (bytes blue, green,
// red, alpha), alpha 255 where the format has none. Returns false for unknown codes.
bool ExpandRow(int32_t format, const uint8_t* src, uint8_t* dst, size_t n);

}  // namespace tarq

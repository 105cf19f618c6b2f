#include "gfx/pixel_convert.h"

#include <array>
#include <cstring>

namespace tarq {
namespace {

// Nearest level of an 8-bit channel on a scale of (1 << bits) - 1 steps.
constexpr uint32_t Reduce(uint32_t v, uint32_t bits) {
  const uint32_t max = (1u << bits) - 1;
  return (v * max + 127) / 255;
}

// Tables for the widths the formats use, so a row costs a few lookups per texel.
template <uint32_t Bits>
constexpr std::array<uint8_t, 256> MakeReduceTable() {
  std::array<uint8_t, 256> t{};
  for (uint32_t v = 0; v < 256; ++v) t[v] = static_cast<uint8_t>(Reduce(v, Bits));
  return t;
}
constexpr auto kTo2 = MakeReduceTable<2>();
constexpr auto kTo3 = MakeReduceTable<3>();
constexpr auto kTo4 = MakeReduceTable<4>();
constexpr auto kTo5 = MakeReduceTable<5>();
constexpr auto kTo6 = MakeReduceTable<6>();

// Level back to 8 bits: round(level * 255 / max).
template <uint32_t Bits>
constexpr std::array<uint8_t, (1u << Bits)> MakeExpandTable() {
  constexpr uint32_t max = (1u << Bits) - 1;
  std::array<uint8_t, (1u << Bits)> t{};
  for (uint32_t c = 0; c <= max; ++c) t[c] = static_cast<uint8_t>((c * 255 + max / 2) / max);
  return t;
}
constexpr auto kFrom2 = MakeExpandTable<2>();
constexpr auto kFrom3 = MakeExpandTable<3>();
constexpr auto kFrom4 = MakeExpandTable<4>();
constexpr auto kFrom5 = MakeExpandTable<5>();
constexpr auto kFrom6 = MakeExpandTable<6>();

inline void Put16(uint8_t* dst, uint32_t v) {
  dst[0] = static_cast<uint8_t>(v);
  dst[1] = static_cast<uint8_t>(v >> 8);
}
inline uint32_t Get16(const uint8_t* src) { return src[0] | (static_cast<uint32_t>(src[1]) << 8); }

inline uint32_t Rgb555(const uint8_t* p) {
  return (static_cast<uint32_t>(kTo5[p[2]]) << 10) | (static_cast<uint32_t>(kTo5[p[1]]) << 5) | kTo5[p[0]];
}
inline uint32_t Rgb444(const uint8_t* p) {
  return (static_cast<uint32_t>(kTo4[p[2]]) << 8) | (static_cast<uint32_t>(kTo4[p[1]]) << 4) | kTo4[p[0]];
}
inline uint32_t Rgb332(const uint8_t* p) {
  return (static_cast<uint32_t>(kTo3[p[2]]) << 5) | (static_cast<uint32_t>(kTo3[p[1]]) << 2) | kTo2[p[0]];
}

inline void PutBgra(uint8_t* dst, uint8_t b, uint8_t g, uint8_t r, uint8_t a) {
  dst[0] = b;
  dst[1] = g;
  dst[2] = r;
  dst[3] = a;
}

}  // namespace

int32_t FormatBytesPerTexel(int32_t format) {
  switch (format) {
    case kFormatA8R8G8B8:
    case kFormatX8R8G8B8:
      return 4;
    case kFormatR5G6B5:
    case kFormatX1R5G5B5:
    case kFormatA1R5G5B5:
    case kFormatA4R4G4B4:
    case kFormatA8R3G3B2:
    case kFormatX4R4G4B4:
      return 2;
    case kFormatR3G3B2:
      return 1;
    default:
      return 0;
  }
}

bool FormatHasAlpha(int32_t format) {
  return format == kFormatA8R8G8B8 || format == kFormatA1R5G5B5 || format == kFormatA4R4G4B4 ||
         format == kFormatA8R3G3B2;
}

void Line32to32(const uint8_t* src, uint8_t* dst, size_t n) {
  if (n > 0) std::memcpy(dst, src, n * 4);
}

void Line24to24(const uint8_t* src, uint8_t* dst, size_t n) {
  for (size_t i = 0; i < n; ++i, src += 4, dst += 4) PutBgra(dst, src[0], src[1], src[2], 0xFF);
}

void Line24to16(const uint8_t* src, uint8_t* dst, size_t n) {
  for (size_t i = 0; i < n; ++i, src += 4, dst += 2) {
    Put16(dst, (static_cast<uint32_t>(kTo5[src[2]]) << 11) | (static_cast<uint32_t>(kTo6[src[1]]) << 5) |
                   kTo5[src[0]]);
  }
}

void Line24to15(const uint8_t* src, uint8_t* dst, size_t n) {
  for (size_t i = 0; i < n; ++i, src += 4, dst += 2) Put16(dst, 0x8000u | Rgb555(src));
}

void Line32to15(const uint8_t* src, uint8_t* dst, size_t n) {
  for (size_t i = 0; i < n; ++i, src += 4, dst += 2) {
    Put16(dst, (src[3] >= 128 ? 0x8000u : 0u) | Rgb555(src));
  }
}

void Line32to12(const uint8_t* src, uint8_t* dst, size_t n) {
  for (size_t i = 0; i < n; ++i, src += 4, dst += 2) {
    Put16(dst, (static_cast<uint32_t>(kTo4[src[3]]) << 12) | Rgb444(src));
  }
}

void Line24to8(const uint8_t* src, uint8_t* dst, size_t n) {
  for (size_t i = 0; i < n; ++i, src += 4) dst[i] = static_cast<uint8_t>(Rgb332(src));
}

void Line32to8(const uint8_t* src, uint8_t* dst, size_t n) {
  for (size_t i = 0; i < n; ++i, src += 4, dst += 2) {
    Put16(dst, (static_cast<uint32_t>(src[3]) << 8) | Rgb332(src));
  }
}

void Line24to12(const uint8_t* src, uint8_t* dst, size_t n) {
  for (size_t i = 0; i < n; ++i, src += 4, dst += 2) Put16(dst, 0xF000u | Rgb444(src));
}

RowConverter ConverterForFormat(int32_t format) {
  switch (format) {
    case kFormatA8R8G8B8:
      return Line32to32;
    case kFormatX8R8G8B8:
      return Line24to24;
    case kFormatR5G6B5:
      return Line24to16;
    case kFormatX1R5G5B5:
      return Line24to15;
    case kFormatA1R5G5B5:
      return Line32to15;
    case kFormatA4R4G4B4:
      return Line32to12;
    case kFormatR3G3B2:
      return Line24to8;
    case kFormatA8R3G3B2:
      return Line32to8;
    case kFormatX4R4G4B4:
      return Line24to12;
    default:
      return nullptr;
  }
}

uint16_t Conv24to15(uint32_t rgb) {
  const uint8_t p[4] = {static_cast<uint8_t>(rgb), static_cast<uint8_t>(rgb >> 8),
                        static_cast<uint8_t>(rgb >> 16), 0};
  return static_cast<uint16_t>(Rgb555(p));
}

bool ExpandRow(int32_t format, const uint8_t* src, uint8_t* dst, size_t n) {
  switch (format) {
    case kFormatA8R8G8B8:
      Line32to32(src, dst, n);
      return true;
    case kFormatX8R8G8B8:
      for (size_t i = 0; i < n; ++i, src += 4, dst += 4) PutBgra(dst, src[0], src[1], src[2], 0xFF);
      return true;
    case kFormatR5G6B5:
      for (size_t i = 0; i < n; ++i, src += 2, dst += 4) {
        const uint32_t v = Get16(src);
        PutBgra(dst, kFrom5[v & 31], kFrom6[(v >> 5) & 63], kFrom5[(v >> 11) & 31], 0xFF);
      }
      return true;
    case kFormatX1R5G5B5:
    case kFormatA1R5G5B5: {
      const bool has_alpha = format == kFormatA1R5G5B5;
      for (size_t i = 0; i < n; ++i, src += 2, dst += 4) {
        const uint32_t v = Get16(src);
        const uint8_t a = (!has_alpha || (v & 0x8000)) ? 0xFF : 0;
        PutBgra(dst, kFrom5[v & 31], kFrom5[(v >> 5) & 31], kFrom5[(v >> 10) & 31], a);
      }
      return true;
    }
    case kFormatA4R4G4B4:
    case kFormatX4R4G4B4: {
      const bool has_alpha = format == kFormatA4R4G4B4;
      for (size_t i = 0; i < n; ++i, src += 2, dst += 4) {
        const uint32_t v = Get16(src);
        const uint8_t a = has_alpha ? kFrom4[(v >> 12) & 15] : 0xFF;
        PutBgra(dst, kFrom4[v & 15], kFrom4[(v >> 4) & 15], kFrom4[(v >> 8) & 15], a);
      }
      return true;
    }
    case kFormatR3G3B2:
      for (size_t i = 0; i < n; ++i, dst += 4) {
        const uint32_t v = src[i];
        PutBgra(dst, kFrom2[v & 3], kFrom3[(v >> 2) & 7], kFrom3[(v >> 5) & 7], 0xFF);
      }
      return true;
    case kFormatA8R3G3B2:
      for (size_t i = 0; i < n; ++i, src += 2, dst += 4) {
        const uint32_t v = Get16(src);
        PutBgra(dst, kFrom2[v & 3], kFrom3[(v >> 2) & 7], kFrom3[(v >> 5) & 7], static_cast<uint8_t>(v >> 8));
      }
      return true;
    default:
      return false;
  }
}

}  // namespace tarq

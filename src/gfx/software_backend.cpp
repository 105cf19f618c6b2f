#include "gfx/software_backend.h"

#include <SDL.h>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <utility>

#include "gfx/draw_device.h"

namespace tarq {

int32_t TexelBytes(int32_t format) {
  switch (format) {
    case 21: case 22: return 4;
    case 23: case 24: case 25: case 26: case 29: case 30: return 2;
    case 27: return 1;
    default: return 0;
  }
}

namespace {
inline uint32_t Widen(uint32_t level, uint32_t max) { return (level * 255 + max / 2) / max; }
}  // namespace

bool ExpandTexels(int32_t format, const uint8_t* src, uint32_t* dst, int32_t n) {
  for (int32_t i = 0; i < n; ++i) {
    uint32_t a = 255, r = 0, g = 0, b = 0;
    switch (format) {
      case 21: case 22: {
        uint32_t t;
        std::memcpy(&t, src + i * 4, 4);
        dst[i] = format == 21 ? t : (t | 0xFF000000u);
        continue;
      }
      case 23: case 24: case 25: case 26: case 29: case 30: {
        const uint32_t t = static_cast<uint32_t>(src[i * 2]) | (static_cast<uint32_t>(src[i * 2 + 1]) << 8);
        if (format == 23) { r = Widen(t >> 11, 31); g = Widen((t >> 5) & 63, 63); b = Widen(t & 31, 31); }
        else if (format == 24 || format == 25) {
          r = Widen((t >> 10) & 31, 31); g = Widen((t >> 5) & 31, 31); b = Widen(t & 31, 31);
          if (format == 25) a = (t & 0x8000) ? 255 : 0;
        } else if (format == 26 || format == 30) {
          r = Widen((t >> 8) & 15, 15); g = Widen((t >> 4) & 15, 15); b = Widen(t & 15, 15);
          if (format == 26) a = Widen(t >> 12, 15);
        } else {  // 29 A8R3G3B2
          a = t >> 8; r = Widen((t >> 5) & 7, 7); g = Widen((t >> 2) & 7, 7); b = Widen(t & 3, 3);
        }
        break;
      }
      case 27: {
        const uint32_t t = src[i];
        r = Widen((t >> 5) & 7, 7); g = Widen((t >> 2) & 7, 7); b = Widen(t & 3, 3);
        break;
      }
      default: return false;
    }
    dst[i] = (a << 24) | (r << 16) | (g << 8) | b;
  }
  return true;
}

bool SoftwareBackend::Texture::Expand() {
  const size_t stride = static_cast<size_t>(Width) + 2;
  const size_t row_bytes = static_cast<size_t>(Width) * static_cast<size_t>(TexelBytes(Format));
  for (int32_t y = 0; y < Height; ++y) {
    uint32_t* row = Padded.data() + (static_cast<size_t>(y) + 1) * stride;
    if (!ExpandTexels(Format, Texels.data() + static_cast<size_t>(y) * row_bytes, row + 1, Width)) {
      return false;
    }
    row[0] = row[1];
    row[Width + 1] = row[Width];
  }
  std::copy_n(Padded.data() + stride, stride, Padded.data());
  std::copy_n(Padded.data() + static_cast<size_t>(Height) * stride, stride,
              Padded.data() + (static_cast<size_t>(Height) + 1) * stride);
  return true;
}

SoftwareBackend::SoftwareBackend() = default;
SoftwareBackend::~SoftwareBackend() { Close(); }

int32_t SoftwareBackend::OpenDisplay() { return 0; }

int32_t SoftwareBackend::CreateDevice(const BackendSettings& s) {
  if (s.Width <= 0 || s.Height <= 0 || s.Width > 16384 || s.Height > 16384) return kDrawNoDevice;
  width_ = s.Width;
  height_ = s.Height;
  low_bit_depth_ = s.LowBitDepth;
  linear_ = s.LinearFilter;
  target_.assign(static_cast<size_t>(width_) * static_cast<size_t>(height_), 0xFF000000u);
  window_ = s.Window;
  open_ = true;
  Reset();
  return 0;
}

void SoftwareBackend::Close() {
  if (screen_ != nullptr) SDL_DestroyTexture(screen_);
  if (renderer_ != nullptr) SDL_DestroyRenderer(renderer_);
  screen_ = nullptr;
  renderer_ = nullptr;
  window_ = nullptr;
  textures_.clear();
  bound_ = nullptr;
  open_ = false;
}

bool SoftwareBackend::Reset() {
  if (!open_) return false;
  blend_ = 0;
  vertex_alpha_ = false;
  bound_ = nullptr;
  clip_x0_ = 0;
  clip_y0_ = 0;
  clip_x1_ = width_;
  clip_y1_ = height_;
  return true;
}

TextureHandle SoftwareBackend::CreateTexture(int32_t width, int32_t height, int32_t format) {
  const int32_t bytes = TexelBytes(format);
  if (!open_ || bytes == 0 || width <= 0 || height <= 0 || width > 8192 || height > 8192) return kNoTexture;
  auto t = std::make_unique<Texture>();
  t->Width = width;
  t->Height = height;
  t->Format = format;
  t->Texels.assign(static_cast<size_t>(width) * height * bytes, 0);
  t->Padded.assign(static_cast<size_t>(width + 2) * (height + 2), 0);
  t->Expand();
  const TextureHandle h = next_texture_++;
  textures_[h] = std::move(t);
  return h;
}

void SoftwareBackend::DestroyTexture(TextureHandle texture) {
  auto it = textures_.find(texture);
  if (it == textures_.end()) return;
  if (bound_ == it->second.get()) bound_ = nullptr;
  textures_.erase(it);
}

bool SoftwareBackend::LockTexture(TextureHandle texture, LockedArea& area) {
  auto it = textures_.find(texture);
  if (it == textures_.end() || it->second->Locked) return false;
  Texture& t = *it->second;
  t.Locked = true;
  area.Pitch = t.Width * TexelBytes(t.Format);
  area.Bits = t.Texels.data();
  return true;
}

bool SoftwareBackend::UnlockTexture(TextureHandle texture) {
  auto it = textures_.find(texture);
  if (it == textures_.end() || !it->second->Locked) return false;
  Texture& t = *it->second;
  t.Locked = false;
  return t.Expand();
}

bool SoftwareBackend::BindTexture(TextureHandle texture) {
  if (texture == kNoTexture) {
    bound_ = nullptr;
    return true;
  }
  auto it = textures_.find(texture);
  if (it == textures_.end()) return false;
  bound_ = it->second.get();
  return true;
}

bool SoftwareBackend::SetBlend(int32_t blend) {
  if (blend < 0 || blend > 9) return false;
  blend_ = blend == 9 ? 2 : blend;
  return true;
}
bool SoftwareBackend::SetAlphaSource(bool vertex_alpha) {
  vertex_alpha_ = vertex_alpha;
  return true;
}
bool SoftwareBackend::SetFilter(bool linear) {
  linear_ = linear;
  return true;
}
bool SoftwareBackend::SetDithering(bool) { return true; }

bool SoftwareBackend::SetViewport(int32_t x, int32_t y, int32_t width, int32_t height) {
  clip_x0_ = std::clamp(x, 0, width_);
  clip_y0_ = std::clamp(y, 0, height_);
  clip_x1_ = std::clamp(x + std::max(width, 0), clip_x0_, width_);
  clip_y1_ = std::clamp(y + std::max(height, 0), clip_y0_, height_);
  return true;
}

bool SoftwareBackend::BeginScene() { return open_; }
bool SoftwareBackend::EndScene() { return open_; }

bool SoftwareBackend::UploadVertices(const DrawVertex* vertices, int32_t count) {
  if (!open_ || count < 0 || count > 256) return false;
  vertices_.assign(vertices, vertices + count);
  return true;
}

// --- Span kernels ----------------------------------------------------------------------
//
// A span is a run of pixels on one row. Its source is sampled at 16.16 fixed-point
// texel coordinates that step by (dtx, dty) per pixel; the kernels are specialised by
// sampler, by whether the vertex colour modulates the texel, and by blend, so the
// inner loops carry no per-pixel decisions.

struct SpanSetup {
  const uint32_t* tex = nullptr;  // texels (kRow: the texel of the span's first pixel;
                                  // kBilinearRow: the blended row, index x + 1)
  int32_t tw = 0, th = 0, ts = 0;  // texture size and row stride in texels
  int32_t tx = 0, ty = 0, dtx = 0, dty = 0;
  uint32_t mod = 0xFFFFFFFFu;  // vertex colour; its alpha is 255 unless alpha comes from it
};

namespace {

// kFill: untextured. kNearest / kBilinear: general, with clamping at the texture's
// edges. kRow: one texel per pixel along a row. kBilinearInside: every sample of the
// span and its neighbours lies inside the texture, so no clamping. kBilinearRow: the
// span stays on one texel row pair (dty 0), whose vertical blend was made beforehand
// into SpanSetup::tex, leaving one horizontal blend per pixel.
// The kernels' helpers must inline into the pixel loops.
#define TARQ_INLINE inline __attribute__((always_inline))

enum Sampler : int32_t {
  kFill = 0,
  kNearest = 1,
  kBilinear = 2,
  kRow = 3,
  kBilinearInside = 4,
  kBilinearRow = 5,
  kSamplerCount = 6
};

// round(v / 255) for v in 0..65535.
TARQ_INLINE uint32_t Div255(uint32_t v) {
  v += 128;
  return (v + (v >> 8)) >> 8;
}

// The same on two 16-bit lanes (0x00XX00YY products).
TARQ_INLINE uint32_t Div255Pair(uint32_t x) {
  x += 0x00800080u;
  return ((x + ((x >> 8) & 0x00FF00FFu)) >> 8) & 0x00FF00FFu;
}

// Clamps two 16-bit lanes holding 0..510 to 255.
TARQ_INLINE uint32_t SaturatePair(uint32_t x) {
  const uint32_t over = x & 0x01000100u;
  return (x | (over - (over >> 8))) & 0x00FF00FFu;
}

TARQ_INLINE uint32_t Channel(uint32_t c, int shift) { return (c >> shift) & 0xFFu; }

// Per channel: round(t * m / 255).
TARQ_INLINE uint32_t Modulate(uint32_t t, uint32_t m) {
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128();
  const __m128i a = _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(t)), zero);
  const __m128i b = _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(m)), zero);
  __m128i x = _mm_add_epi16(_mm_mullo_epi16(a, b), _mm_set1_epi16(128));
  x = _mm_srli_epi16(_mm_add_epi16(x, _mm_srli_epi16(x, 8)), 8);
  return static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_packus_epi16(x, x)));
#else
  return (Div255(Channel(t, 24) * Channel(m, 24)) << 24) |
         (Div255(Channel(t, 16) * Channel(m, 16)) << 16) |
         (Div255(Channel(t, 8) * Channel(m, 8)) << 8) | Div255(Channel(t, 0) * Channel(m, 0));
#endif
}

// a + (b - a) * f / 256 on all four channels, truncating: (a * (256 - f) + b * f) >> 8.
TARQ_INLINE uint32_t Lerp(uint32_t a, uint32_t b, uint32_t f) {
  const uint32_t g = 256 - f;
  const uint32_t rb = (((a & 0x00FF00FFu) * g + (b & 0x00FF00FFu) * f) >> 8) & 0x00FF00FFu;
  const uint32_t ag = ((((a >> 8) & 0x00FF00FFu) * g + ((b >> 8) & 0x00FF00FFu) * f) >> 8) & 0x00FF00FFu;
  return rb | (ag << 8);
}

// Bilinear filtering of the 2 x 2 texels at r0 (row stride in texels): first down
// each column by fy, then across by fx, each step as Lerp does. 0 when all four
// texels are 0 (the clear surroundings of sprites).
TARQ_INLINE uint32_t Bilinear(const uint32_t* r0, int32_t stride, uint32_t fx, uint32_t fy) {
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128();
  const __m128i top8 = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(r0));
  const __m128i bottom8 = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(r0 + stride));
  if (_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_or_si128(top8, bottom8), zero)) == 0xFFFF) return 0;
  const __m128i top = _mm_unpacklo_epi8(top8, zero);  // a, b as 16-bit channels
  const __m128i bottom = _mm_unpacklo_epi8(bottom8, zero);
  const __m128i wy = _mm_set1_epi16(static_cast<short>(fy));
  const __m128i wy0 = _mm_set1_epi16(static_cast<short>(256 - fy));
  const __m128i cols = _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(top, wy0), _mm_mullo_epi16(bottom, wy)), 8);
  const __m128i right = _mm_srli_si128(cols, 8);
  const __m128i wx = _mm_set1_epi16(static_cast<short>(fx));
  const __m128i wx0 = _mm_set1_epi16(static_cast<short>(256 - fx));
  const __m128i px = _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(cols, wx0), _mm_mullo_epi16(right, wx)), 8);
  return static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_packus_epi16(px, px)));
#else
  const uint32_t a = r0[0], b = r0[1], c = r0[stride], d = r0[stride + 1];
  if ((a | b | c | d) == 0) return 0;
  return Lerp(Lerp(a, c, fy), Lerp(b, d, fy), fx);
#endif
}

TARQ_INLINE int32_t ClampIndex(int32_t i, int32_t n) { return i < 0 ? 0 : (i >= n ? n - 1 : i); }
TARQ_INLINE int32_t ClampBorder(int32_t i, int32_t n) { return i < -1 ? -1 : (i >= n ? n - 1 : i); }

template <int32_t kSampler>
TARQ_INLINE uint32_t Fetch(const SpanSetup& p, int32_t i, int32_t tx, int32_t ty) {
  if constexpr (kSampler == kFill) {
    (void)p, (void)i, (void)tx, (void)ty;
    return 0xFFFFFFFFu;
  } else if constexpr (kSampler == kRow) {
    (void)tx, (void)ty;
    return p.tex[i];
  } else if constexpr (kSampler == kNearest) {
    (void)i;
    return p.tex[ClampIndex(ty >> 16, p.th) * p.ts + ClampIndex(tx >> 16, p.tw)];
  } else if constexpr (kSampler == kBilinearRow) {
    (void)i, (void)ty;
    const uint32_t* t = p.tex + (tx >> 16) + 1;
    const uint32_t a = t[0], b = t[1];
    if ((a | b) == 0) return 0;
    return Lerp(a, b, static_cast<uint32_t>(tx >> 8) & 0xFFu);
  } else {
    (void)i;
    const int32_t x0 = tx >> 16, y0 = ty >> 16;
    const uint32_t fx = static_cast<uint32_t>(tx >> 8) & 0xFFu;
    const uint32_t fy = static_cast<uint32_t>(ty >> 8) & 0xFFu;
    // The texture's one-texel border repeats its edges, so clamping the top-left
    // sample to -1 .. size-1 clamps all four.
    const uint32_t* r0;
    if constexpr (kSampler == kBilinearInside) {
      r0 = p.tex + y0 * p.ts + x0;
    } else {
      r0 = p.tex + ClampBorder(y0, p.th) * p.ts + ClampBorder(x0, p.tw);
    }
    return Bilinear(r0, p.ts, fx, fy);
  }
}

// One pixel of each blend: s is the source with its alpha As, d the target pixel.
template <int32_t kBlend>
TARQ_INLINE uint32_t BlendPixel(uint32_t s, uint32_t d) {
  if constexpr (kBlend == 0) {
    (void)d;
    return s;
  } else if constexpr (kBlend == 1) {  // S + D
    const uint32_t rb = SaturatePair((s & 0x00FF00FFu) + (d & 0x00FF00FFu));
    const uint32_t g = std::min<uint32_t>(255, Channel(s, 8) + Channel(d, 8));
    return rb | (g << 8);
  } else if constexpr (kBlend == 2) {  // S*As + D*(1-As)
    const uint32_t a = s >> 24;
    if (a == 0) return d;
    if (a == 255) return s;
    const uint32_t rb = Div255Pair((s & 0x00FF00FFu) * a + (d & 0x00FF00FFu) * (255 - a));
    const uint32_t g = Div255(Channel(s, 8) * a + Channel(d, 8) * (255 - a));
    return rb | (g << 8);
  } else if constexpr (kBlend == 3) {  // S*As + D
    const uint32_t a = s >> 24;
    if (a == 0) return d;
    const uint32_t rb = SaturatePair(Div255Pair((s & 0x00FF00FFu) * a) + (d & 0x00FF00FFu));
    const uint32_t g = std::min<uint32_t>(255, Div255(Channel(s, 8) * a) + Channel(d, 8));
    return rb | (g << 8);
  } else if constexpr (kBlend == 4) {  // D*S
    return (Div255(Channel(d, 16) * Channel(s, 16)) << 16) |
           (Div255(Channel(d, 8) * Channel(s, 8)) << 8) | Div255(Channel(d, 0) * Channel(s, 0));
  } else if constexpr (kBlend == 5) {  // S*S + D*(1-S)
    uint32_t out = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
      const uint32_t sc = Channel(s, shift), dc = Channel(d, shift);
      out |= std::min<uint32_t>(255, Div255(sc * sc + dc * (255 - sc))) << shift;
    }
    return out;
  } else if constexpr (kBlend == 6) {  // S*S + D
    uint32_t out = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
      const uint32_t sc = Channel(s, shift), dc = Channel(d, shift);
      out |= std::min<uint32_t>(255, Div255(sc * sc) + dc) << shift;
    }
    return out;
  } else if constexpr (kBlend == 7) {  // D*(1-S)
    return (Div255(Channel(d, 16) * (255 - Channel(s, 16))) << 16) |
           (Div255(Channel(d, 8) * (255 - Channel(s, 8))) << 8) |
           Div255(Channel(d, 0) * (255 - Channel(s, 0)));
  } else {  // 8: D*(1-As)
    const uint32_t a = s >> 24;
    if (a == 0) return d;
    const uint32_t rb = Div255Pair((d & 0x00FF00FFu) * (255 - a));
    const uint32_t g = Div255(Channel(d, 8) * (255 - a));
    return rb | (g << 8);
  }
}

// 8-bit channel -> nearest 5- or 6-bit level -> widened back to 8 bits.
struct QuantiseTables {
  std::array<uint8_t, 256> five{}, six{};
  QuantiseTables() {
    for (uint32_t c = 0; c < 256; ++c) {
      five[c] = static_cast<uint8_t>(Widen((c * 31 + 127) / 255, 31));
      six[c] = static_cast<uint8_t>(Widen((c * 63 + 127) / 255, 63));
    }
  }
};
const QuantiseTables kQuantise;

// An opaque pixel as a 16-bit (RGB565) target holds it.
TARQ_INLINE uint32_t Quantise565(uint32_t c) {
  return 0xFF000000u | (static_cast<uint32_t>(kQuantise.five[(c >> 16) & 0xFF]) << 16) |
         (static_cast<uint32_t>(kQuantise.six[(c >> 8) & 0xFF]) << 8) | kQuantise.five[c & 0xFF];
}

// With kQuantise the target is 16-bit: a pixel that changes is stored as RGB565
// would hold it (unchanged pixels already are).
template <int32_t kSampler, bool kModulate, int32_t kBlend, bool kQuantise>
void SpanKernel(uint32_t* dst, int32_t n, const SpanSetup& p) {
  // Blends weighted by the source alpha leave the pixel alone where it is 0, and the
  // additive ones (and 5, 7) where the colour is black.
  constexpr bool kAlphaWeighted = kBlend == 2 || kBlend == 3 || kBlend == 8;
  constexpr bool kBlackKeeps = kBlend == 1 || kBlend == 5 || kBlend == 6 || kBlend == 7;
  int32_t tx = p.tx, ty = p.ty;
  for (int32_t i = 0; i < n; ++i, tx += p.dtx, ty += p.dty) {
    uint32_t s = Fetch<kSampler>(p, i, tx, ty);
    if constexpr (kAlphaWeighted && kSampler != kFill) {
      if ((s >> 24) == 0) continue;
    }
    if constexpr (kBlackKeeps && kSampler != kFill) {
      if ((s & 0x00FFFFFFu) == 0) continue;
    }
    if constexpr (kModulate) s = kSampler == kFill ? p.mod : Modulate(s, p.mod);
    const uint32_t d = dst[i];
    uint32_t out = BlendPixel<kBlend>(s, d) | 0xFF000000u;
    if constexpr (kQuantise) {
      if (out != d) out = Quantise565(out);
    }
    dst[i] = out;
  }
}

#if defined(__SSE2__)
// Four pixels held as RGB565 would hold them: each channel to its nearest 5- or 6-bit
// level and widened back (the same results as Quantise565).
TARQ_INLINE __m128i Quantise565x4(__m128i px) {
  const __m128i zero = _mm_setzero_si128();
  // Per pixel lanes B, G, R, A: level = (c * m + a) >> s, with the shift made a
  // multiply-high by 2^(16 - s) (11 for five bits, 10 for six).
  const __m128i m1 = _mm_setr_epi16(249, 253, 249, 0, 249, 253, 249, 0);
  const __m128i a1 = _mm_setr_epi16(1014, 505, 1014, 0, 1014, 505, 1014, 0);
  const __m128i sh = _mm_setr_epi16(32, 64, 32, 0, 32, 64, 32, 0);
  // Widening: (level * m + a) >> 6.
  const __m128i m2 = _mm_setr_epi16(527, 259, 527, 0, 527, 259, 527, 0);
  const __m128i a2 = _mm_setr_epi16(23, 33, 23, 0, 23, 33, 23, 0);
  auto half = [&](__m128i x) {
    const __m128i level = _mm_mulhi_epu16(_mm_add_epi16(_mm_mullo_epi16(x, m1), a1), sh);
    return _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(level, m2), a2), 6);
  };
  const __m128i lo = half(_mm_unpacklo_epi8(px, zero));
  const __m128i hi = half(_mm_unpackhi_epi8(px, zero));
  return _mm_or_si128(_mm_packus_epi16(lo, hi), _mm_set1_epi32(static_cast<int>(0xFF000000u)));
}

// Per channel round((s * a + d * (255 - a)) / 255) on 16-bit lanes, as Div255 does.
TARQ_INLINE __m128i AlphaBlend16(__m128i s, __m128i d, __m128i a) {
  const __m128i inv = _mm_sub_epi16(_mm_set1_epi16(255), a);
  __m128i x = _mm_add_epi16(_mm_add_epi16(_mm_mullo_epi16(s, a), _mm_mullo_epi16(d, inv)),
                            _mm_set1_epi16(128));
  return _mm_srli_epi16(_mm_add_epi16(x, _mm_srli_epi16(x, 8)), 8);
}

// Alpha of two pixels spread over their four 16-bit channel lanes.
TARQ_INLINE __m128i SpreadAlpha(__m128i px16) {
  const __m128i a = _mm_shufflelo_epi16(px16, _MM_SHUFFLE(3, 3, 3, 3));
  return _mm_shufflehi_epi16(a, _MM_SHUFFLE(3, 3, 3, 3));
}

// One texel per pixel, untinted, blends 0, 1 and 2: four pixels at a time, with the
// same results as SpanKernel.
template <int32_t kBlend, bool kQuantise>
void RowKernel4(uint32_t* dst, int32_t n, const SpanSetup& p) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i opaque = _mm_set1_epi32(static_cast<int>(0xFF000000u));
  int32_t i = 0;
  for (; i + 4 <= n; i += 4) {
    const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p.tex + i));
    __m128i* out = reinterpret_cast<__m128i*>(dst + i);
    __m128i result;
    if constexpr (kBlend == 0) {
      result = _mm_or_si128(s, opaque);
    } else if constexpr (kBlend == 1) {
      if (_mm_movemask_epi8(_mm_cmpeq_epi32(_mm_and_si128(s, _mm_set1_epi32(0x00FFFFFF)), zero)) == 0xFFFF) continue;
      result = _mm_or_si128(_mm_adds_epu8(s, _mm_loadu_si128(out)), opaque);
    } else {
      const __m128i alpha = _mm_srli_epi32(s, 24);
      const int none = _mm_movemask_epi8(_mm_cmpeq_epi32(alpha, zero));
      if (none == 0xFFFF) continue;
      if (_mm_movemask_epi8(_mm_cmpeq_epi32(alpha, _mm_set1_epi32(255))) == 0xFFFF) {
        result = s;
      } else {
        const __m128i d = _mm_loadu_si128(out);
        const __m128i s_lo = _mm_unpacklo_epi8(s, zero), s_hi = _mm_unpackhi_epi8(s, zero);
        const __m128i d_lo = _mm_unpacklo_epi8(d, zero), d_hi = _mm_unpackhi_epi8(d, zero);
        result = _mm_packus_epi16(AlphaBlend16(s_lo, d_lo, SpreadAlpha(s_lo)),
                                  AlphaBlend16(s_hi, d_hi, SpreadAlpha(s_hi)));
      }
      result = _mm_or_si128(result, opaque);
    }
    if constexpr (kQuantise) result = Quantise565x4(result);
    _mm_storeu_si128(out, result);
  }
  if (i < n) {
    SpanSetup rest = p;
    rest.tex = p.tex + i;
    SpanKernel<kRow, false, kBlend, kQuantise>(dst + i, n - i, rest);
  }
}

// Per 16-bit lane round(x * y / 255) for products up to 255 * 255, as Div255 does.
TARQ_INLINE __m128i MulDiv255x16(__m128i x, __m128i y) {
  const __m128i v = _mm_add_epi16(_mm_mullo_epi16(x, y), _mm_set1_epi16(128));
  return _mm_srli_epi16(_mm_add_epi16(v, _mm_srli_epi16(v, 8)), 8);
}

// a + (b - a) * f / 256 per 16-bit lane, truncating, as Lerp does: (a * (256 - f) + b * f) >> 8.
TARQ_INLINE __m128i Lerp16(__m128i a, __m128i b, __m128i f) {
  const __m128i g = _mm_sub_epi16(_mm_set1_epi16(256), f);
  return _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(a, g), _mm_mullo_epi16(b, f)), 8);
}

// The 2 x 2 texels a sample at (tx, ty) filters, top-left first, as Fetch finds them.
template <int32_t kSampler>
TARQ_INLINE const uint32_t* BilinearCorner(const SpanSetup& p, int32_t tx, int32_t ty) {
  if constexpr (kSampler == kBilinearInside) {
    return p.tex + (ty >> 16) * p.ts + (tx >> 16);
  } else {
    return p.tex + ClampBorder(ty >> 16, p.th) * p.ts + ClampBorder(tx >> 16, p.tw);
  }
}

// The eight 16-bit lanes [w0 x 4, w1 x 4] and [w2 x 4, w3 x 4] from four 32-bit weights.
TARQ_INLINE void SpreadWeights(__m128i w32, __m128i& w01, __m128i& w23) {
  const __m128i w16 = _mm_packs_epi32(w32, w32);          // w0 w1 w2 w3 w0 w1 w2 w3
  const __m128i pairs = _mm_unpacklo_epi16(w16, w16);      // w0 w0 w1 w1 w2 w2 w3 w3
  w01 = _mm_unpacklo_epi32(pairs, pairs);
  w23 = _mm_unpackhi_epi32(pairs, pairs);
}

// Filtered, tinted, blended spans four pixels at a time (magnified glows and their
// rotated copies), for the blends that leave the target alone where the source is
// clear: 1 (S + D), 2 (S*As + D*(1-As)), 3 (S*As + D), 6 (S*S + D) and 7 (D*(1-S), the
// rotors' darkening, which also gives the target back where the source is black). Each step is the
// one-pixel kernel's arithmetic on 16-bit lanes, so the pictures are the same; the
// one-pixel kernel's early outs for clear texels give the target unchanged, which is
// also what the full arithmetic gives, so four clear samples are skipped together.
//
// One group: the four pixels at out, whose samples have their top-left texels at c0..c3
// and their coordinates in the lanes of txv and tyv. fx01 and fx23 are the horizontal
// weights when the caller already has them (a column span), else they are made here.
template <bool kModulate, int32_t kBlend, bool kQuantise, bool kHaveFx>
TARQ_INLINE void BilinearGroup4(uint32_t* out, const uint32_t* c0, const uint32_t* c1, const uint32_t* c2,
                                const uint32_t* c3, int32_t stride, __m128i txv, __m128i tyv,
                                __m128i fx01, __m128i fx23, __m128i mod) {
  static_assert(kBlend == 1 || kBlend == 2 || kBlend == 3 || kBlend == 6 || kBlend == 7);
  const __m128i zero = _mm_setzero_si128();
  const __m128i byte_mask = _mm_set1_epi32(0xFF);
  // Two texel pairs in one register: the second loaded straight into the high half.
  auto pair = [](const uint32_t* a, const uint32_t* b) {
    const __m128 low = _mm_castsi128_ps(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(a)));
    return _mm_castps_si128(_mm_loadh_pi(low, reinterpret_cast<const __m64*>(b)));
  };
  const __m128i top01 = pair(c0, c1), bottom01 = pair(c0 + stride, c1 + stride);
  const __m128i top23 = pair(c2, c3), bottom23 = pair(c2 + stride, c3 + stride);
  const __m128i any = _mm_or_si128(_mm_or_si128(top01, bottom01), _mm_or_si128(top23, bottom23));
  if (_mm_movemask_epi8(_mm_cmpeq_epi8(any, zero)) == 0xFFFF) return;

  __m128i fy01, fy23;
  if constexpr (!kHaveFx) SpreadWeights(_mm_and_si128(_mm_srai_epi32(txv, 8), byte_mask), fx01, fx23);
  SpreadWeights(_mm_and_si128(_mm_srai_epi32(tyv, 8), byte_mask), fy01, fy23);
  // Down each column by fy (pixel k's weight in its half), then across by fx.
  auto filter = [&](__m128i top, __m128i bottom, __m128i fx, __m128i fy) {
    const __m128i fy_lo = _mm_unpacklo_epi64(fy, fy), fy_hi = _mm_unpackhi_epi64(fy, fy);
    const __m128i cols_a = Lerp16(_mm_unpacklo_epi8(top, zero), _mm_unpacklo_epi8(bottom, zero), fy_lo);
    const __m128i cols_b = Lerp16(_mm_unpackhi_epi8(top, zero), _mm_unpackhi_epi8(bottom, zero), fy_hi);
    return Lerp16(_mm_unpacklo_epi64(cols_a, cols_b), _mm_unpackhi_epi64(cols_a, cols_b), fx);
  };
  __m128i s01 = filter(top01, bottom01, fx01, fy01);
  __m128i s23 = filter(top23, bottom23, fx23, fy23);
  if constexpr (kModulate) {
    s01 = MulDiv255x16(s01, mod);
    s23 = MulDiv255x16(s23, mod);
  } else {
    (void)mod;
  }
  __m128i* dst = reinterpret_cast<__m128i*>(out);
  const __m128i d = _mm_loadu_si128(dst);
  __m128i result;
  if constexpr (kBlend == 1) {
    result = _mm_adds_epu8(_mm_packus_epi16(s01, s23), d);
  } else if constexpr (kBlend == 6) {
    result = _mm_adds_epu8(_mm_packus_epi16(MulDiv255x16(s01, s01), MulDiv255x16(s23, s23)), d);
  } else if constexpr (kBlend == 3) {
    result = _mm_adds_epu8(_mm_packus_epi16(MulDiv255x16(s01, SpreadAlpha(s01)),
                                            MulDiv255x16(s23, SpreadAlpha(s23))),
                           d);
  } else if constexpr (kBlend == 7) {
    const __m128i full = _mm_set1_epi16(255);
    result = _mm_packus_epi16(MulDiv255x16(_mm_unpacklo_epi8(d, zero), _mm_sub_epi16(full, s01)),
                              MulDiv255x16(_mm_unpackhi_epi8(d, zero), _mm_sub_epi16(full, s23)));
  } else {
    result = _mm_packus_epi16(AlphaBlend16(s01, _mm_unpacklo_epi8(d, zero), SpreadAlpha(s01)),
                              AlphaBlend16(s23, _mm_unpackhi_epi8(d, zero), SpreadAlpha(s23)));
  }
  result = _mm_or_si128(result, _mm_set1_epi32(static_cast<int>(0xFF000000u)));
  if constexpr (kQuantise) {
    // Pixels that change are stored as a 16-bit target holds them.
    const __m128i same = _mm_cmpeq_epi32(result, d);
    result = _mm_or_si128(_mm_and_si128(same, d), _mm_andnot_si128(same, Quantise565x4(result)));
  }
  _mm_storeu_si128(dst, result);
}

// Lanes k = 0..3 of the coordinates of pixels 0..3 of a span that starts at (tx, ty)
// and steps by (dtx, dty), stepped as the one-pixel kernel steps (wrapping).
TARQ_INLINE __m128i FirstLanes(int32_t t, int32_t dt) {
  const auto u = static_cast<uint32_t>(t), du = static_cast<uint32_t>(dt);
  return _mm_setr_epi32(static_cast<int>(u), static_cast<int>(u + du), static_cast<int>(u + 2 * du),
                        static_cast<int>(u + 3 * du));
}

// The top-left texel indices (ty >> 16) * stride + (tx >> 16) of four samples that need
// no clamping, in one multiply-add: both halves fit 16 bits (textures are at most 8192
// texels a side), so x goes in the low half and y in the high half of each lane, and
// the multiply-add by (1, stride) sums x + y * stride exactly.
// `weights` is IndexWeights(stride).
TARQ_INLINE __m128i IndexWeights(int32_t stride) {
  return _mm_set1_epi32(static_cast<int>((static_cast<uint32_t>(stride) << 16) | 1u));
}

TARQ_INLINE void TexelIndices4(__m128i txv, __m128i tyv, __m128i weights, int32_t (&index)[4]) {
  const __m128i xy = _mm_or_si128(_mm_srli_epi32(txv, 16),
                                  _mm_and_si128(tyv, _mm_set1_epi32(static_cast<int>(0xFFFF0000u))));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(index), _mm_madd_epi16(xy, weights));
}

// The span's whole groups of four; returns how many pixels they covered. With kColumn
// the span walks down one texel column pair (dtx 0, as on glows turned a quarter turn),
// so the horizontal weights are the same on every pixel.
template <int32_t kSampler, bool kModulate, int32_t kBlend, bool kQuantise, bool kColumn>
TARQ_INLINE int32_t BilinearGroups4(uint32_t* dst, int32_t n, const SpanSetup& p) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i mod = _mm_unpacklo_epi8(_mm_set1_epi32(static_cast<int>(p.mod)), zero);
  const __m128i step4 = _mm_set1_epi32(static_cast<int>(static_cast<uint32_t>(p.dtx) * 4u));
  const __m128i step4y = _mm_set1_epi32(static_cast<int>(static_cast<uint32_t>(p.dty) * 4u));
  __m128i txv = FirstLanes(p.tx, p.dtx);
  __m128i tyv = FirstLanes(p.ty, p.dty);
  __m128i column_fx = zero;
  if constexpr (kColumn) {
    SpreadWeights(_mm_and_si128(_mm_srai_epi32(txv, 8), _mm_set1_epi32(0xFF)), column_fx, column_fx);
  }
  // Held in locals: the stores to the target could otherwise alias them.
  const uint32_t* const tex = p.tex;
  const int32_t ts = p.ts;
  const __m128i weights = IndexWeights(ts);
  int32_t tx = p.tx, ty = p.ty;
  int32_t i = 0;
  for (; i + 4 <= n; i += 4, txv = _mm_add_epi32(txv, step4), tyv = _mm_add_epi32(tyv, step4y)) {
    const uint32_t *c0, *c1, *c2, *c3;
    if constexpr (kSampler == kBilinearInside) {
      int32_t index[4];
      TexelIndices4(txv, tyv, weights, index);
      c0 = tex + index[0], c1 = tex + index[1], c2 = tex + index[2], c3 = tex + index[3];
    } else {
      const int32_t dtx = kColumn ? 0 : p.dtx;
      c0 = BilinearCorner<kSampler>(p, tx, ty);
      tx += dtx, ty += p.dty;
      c1 = BilinearCorner<kSampler>(p, tx, ty);
      tx += dtx, ty += p.dty;
      c2 = BilinearCorner<kSampler>(p, tx, ty);
      tx += dtx, ty += p.dty;
      c3 = BilinearCorner<kSampler>(p, tx, ty);
      tx += dtx, ty += p.dty;
    }
    BilinearGroup4<kModulate, kBlend, kQuantise, kColumn>(dst + i, c0, c1, c2, c3, ts, txv, tyv,
                                                          column_fx, column_fx, mod);
  }
  return i;
}

// The rest of a span after its first `done` pixels, one pixel at a time.
template <int32_t kSampler, bool kModulate, int32_t kBlend, bool kQuantise>
TARQ_INLINE void SpanRest(uint32_t* dst, int32_t done, int32_t n, const SpanSetup& p) {
  if (done >= n) return;
  SpanSetup rest = p;
  rest.tx = static_cast<int32_t>(static_cast<uint32_t>(p.tx) + static_cast<uint32_t>(done) * static_cast<uint32_t>(p.dtx));
  rest.ty = static_cast<int32_t>(static_cast<uint32_t>(p.ty) + static_cast<uint32_t>(done) * static_cast<uint32_t>(p.dty));
  SpanKernel<kSampler, kModulate, kBlend, kQuantise>(dst + done, n - done, rest);
}

template <int32_t kSampler, bool kModulate, int32_t kBlend, bool kQuantise>
void BilinearKernel4(uint32_t* dst, int32_t n, const SpanSetup& p) {
  const int32_t done = p.dtx == 0 ? BilinearGroups4<kSampler, kModulate, kBlend, kQuantise, true>(dst, n, p)
                                  : BilinearGroups4<kSampler, kModulate, kBlend, kQuantise, false>(dst, n, p);
  SpanRest<kSampler, kModulate, kBlend, kQuantise>(dst, done, n, p);
}

// Two spans side by side on one row, each with its own coordinates (the two triangles
// of a turned sprite's quad), both needing no clamping: drawn as one, so the row has one
// partial group, not two. The group where they meet takes its lanes from both; every
// pixel gets the coordinates it has in its own span, so the pictures are the same as
// drawing the spans one after the other.
template <bool kModulate, int32_t kBlend, bool kQuantise>
void BilinearPairKernel4(uint32_t* dst, int32_t na, const SpanSetup& a, int32_t nb, const SpanSetup& b) {
  int32_t done = BilinearGroups4<kBilinearInside, kModulate, kBlend, kQuantise, false>(dst, na, a);
  const int32_t left = na - done;  // 0..3 pixels of the first span in the shared group
  int32_t b_done = 0;
  if (left > 0 && nb >= 4 - left) {
    alignas(16) int32_t lanes_x[4], lanes_y[4];
    for (int32_t k = 0; k < 4; ++k) {
      const SpanSetup& s = k < left ? a : b;
      const auto at = static_cast<uint32_t>(k < left ? done + k : k - left);
      lanes_x[k] = static_cast<int32_t>(static_cast<uint32_t>(s.tx) + at * static_cast<uint32_t>(s.dtx));
      lanes_y[k] = static_cast<int32_t>(static_cast<uint32_t>(s.ty) + at * static_cast<uint32_t>(s.dty));
    }
    const __m128i txv = _mm_load_si128(reinterpret_cast<const __m128i*>(lanes_x));
    const __m128i tyv = _mm_load_si128(reinterpret_cast<const __m128i*>(lanes_y));
    int32_t index[4];
    TexelIndices4(txv, tyv, IndexWeights(a.ts), index);
    const __m128i mod = _mm_unpacklo_epi8(_mm_set1_epi32(static_cast<int>(a.mod)), _mm_setzero_si128());
    BilinearGroup4<kModulate, kBlend, kQuantise, false>(dst + done, a.tex + index[0], a.tex + index[1],
                                                        a.tex + index[2], a.tex + index[3], a.ts, txv,
                                                        tyv, _mm_setzero_si128(), _mm_setzero_si128(), mod);
    done = na;
    b_done = 4 - left;
  }
  SpanRest<kBilinearInside, kModulate, kBlend, kQuantise>(dst, done, na, a);
  // The second span from where the shared group left it.
  SpanSetup rest = b;
  rest.tx = static_cast<int32_t>(static_cast<uint32_t>(b.tx) + static_cast<uint32_t>(b_done) * static_cast<uint32_t>(b.dtx));
  rest.ty = static_cast<int32_t>(static_cast<uint32_t>(b.ty) + static_cast<uint32_t>(b_done) * static_cast<uint32_t>(b.dty));
  uint32_t* const b_dst = dst + na + b_done;
  const int32_t b_n = nb - b_done;
  const int32_t b_groups = BilinearGroups4<kBilinearInside, kModulate, kBlend, kQuantise, false>(b_dst, b_n, rest);
  SpanRest<kBilinearInside, kModulate, kBlend, kQuantise>(b_dst, b_groups, b_n, rest);
}

// One texel per pixel, tinted, blends 2 (S*As + D*(1-As)), 3 (S*As + D) and 6 (S*S + D):
// four pixels at a time, with the same results as SpanKernel (the one-pixel kernel
// skips clear texels, or black ones for blend 6, where the full blend gives the target
// back unchanged anyway).
template <int32_t kBlend, bool kQuantise>
void TintedRowKernel4(uint32_t* dst, int32_t n, const SpanSetup& p) {
  static_assert(kBlend == 2 || kBlend == 3 || kBlend == 6);
  const __m128i zero = _mm_setzero_si128();
  const __m128i opaque = _mm_set1_epi32(static_cast<int>(0xFF000000u));
  const __m128i mod = _mm_unpacklo_epi8(_mm_set1_epi32(static_cast<int>(p.mod)), zero);
  // The texel bits that decide whether a texel changes anything: alpha, or colour for blend 6.
  const __m128i telling = _mm_set1_epi32(static_cast<int>(kBlend == 6 ? 0x00FFFFFFu : 0xFF000000u));
  int32_t i = 0;
  for (; i + 4 <= n; i += 4) {
    const __m128i texels = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p.tex + i));
    if (_mm_movemask_epi8(_mm_cmpeq_epi32(_mm_and_si128(texels, telling), zero)) == 0xFFFF) continue;
    __m128i* out = reinterpret_cast<__m128i*>(dst + i);
    const __m128i d = _mm_loadu_si128(out);
    const __m128i s_lo = MulDiv255x16(_mm_unpacklo_epi8(texels, zero), mod);
    const __m128i s_hi = MulDiv255x16(_mm_unpackhi_epi8(texels, zero), mod);
    __m128i result;
    if constexpr (kBlend == 2) {
      result = _mm_packus_epi16(AlphaBlend16(s_lo, _mm_unpacklo_epi8(d, zero), SpreadAlpha(s_lo)),
                                AlphaBlend16(s_hi, _mm_unpackhi_epi8(d, zero), SpreadAlpha(s_hi)));
    } else if constexpr (kBlend == 3) {
      result = _mm_adds_epu8(
          _mm_packus_epi16(MulDiv255x16(s_lo, SpreadAlpha(s_lo)), MulDiv255x16(s_hi, SpreadAlpha(s_hi))), d);
    } else {
      result = _mm_adds_epu8(_mm_packus_epi16(MulDiv255x16(s_lo, s_lo), MulDiv255x16(s_hi, s_hi)), d);
    }
    result = _mm_or_si128(result, opaque);
    if constexpr (kQuantise) {
      const __m128i same = _mm_cmpeq_epi32(result, d);
      result = _mm_or_si128(_mm_and_si128(same, d), _mm_andnot_si128(same, Quantise565x4(result)));
    }
    _mm_storeu_si128(out, result);
  }
  if (i < n) {
    SpanSetup rest = p;
    rest.tex = p.tex + i;
    SpanKernel<kRow, true, kBlend, kQuantise>(dst + i, n - i, rest);
  }
}

// Filtered spans along a pre-blended texel row pair (magnified, unturned sprites and
// backdrops), tinted or not, copied (blend 0) or alpha-blended (blend 2), four pixels
// at a time: the one-pixel kernel's horizontal blend, tint and blend on 16-bit lanes,
// so the same results (a clear texel's full blend gives the target back unchanged).
template <bool kModulate, int32_t kBlend, bool kQuantise>
void BilinearRowKernel4(uint32_t* dst, int32_t n, const SpanSetup& p) {
  static_assert(kBlend == 0 || kBlend == 2);
  const __m128i zero = _mm_setzero_si128();
  const __m128i opaque = _mm_set1_epi32(static_cast<int>(0xFF000000u));
  const __m128i byte_mask = _mm_set1_epi32(0xFF);
  const __m128i mod = _mm_unpacklo_epi8(_mm_set1_epi32(static_cast<int>(p.mod)), zero);
  const __m128i step4 = _mm_set1_epi32(static_cast<int>(static_cast<uint32_t>(p.dtx) * 4u));
  alignas(16) int32_t lanes_x[4];
  for (uint32_t k = 0; k < 4; ++k) {
    lanes_x[k] = static_cast<int32_t>(static_cast<uint32_t>(p.tx) + k * static_cast<uint32_t>(p.dtx));
  }
  __m128i txv = _mm_load_si128(reinterpret_cast<const __m128i*>(lanes_x));
  int32_t tx = p.tx;
  int32_t i = 0;
  for (; i + 4 <= n; i += 4, txv = _mm_add_epi32(txv, step4)) {
    // Texel pairs (x, x + 1) of pixels k and k + 1, spread to [a_k, a_k+1] and [b_k, b_k+1].
    auto pair = [&](__m128i& a, __m128i& b) {
      const __m128i first = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p.tex + (tx >> 16) + 1));
      tx += p.dtx;
      const __m128i second = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p.tex + (tx >> 16) + 1));
      tx += p.dtx;
      const __m128i lo = _mm_unpacklo_epi8(first, zero), hi = _mm_unpacklo_epi8(second, zero);
      a = _mm_unpacklo_epi64(lo, hi);
      b = _mm_unpackhi_epi64(lo, hi);
    };
    __m128i a01, b01, a23, b23, fx01, fx23;
    pair(a01, b01);
    pair(a23, b23);
    SpreadWeights(_mm_and_si128(_mm_srai_epi32(txv, 8), byte_mask), fx01, fx23);
    __m128i s01 = Lerp16(a01, b01, fx01);
    __m128i s23 = Lerp16(a23, b23, fx23);
    if constexpr (kModulate) {
      s01 = MulDiv255x16(s01, mod);
      s23 = MulDiv255x16(s23, mod);
    } else {
      (void)mod;
    }
    __m128i* out = reinterpret_cast<__m128i*>(dst + i);
    __m128i result;
    if constexpr (kBlend == 0) {
      result = _mm_or_si128(_mm_packus_epi16(s01, s23), opaque);
    } else {
      const __m128i d = _mm_loadu_si128(out);
      result = _mm_or_si128(_mm_packus_epi16(AlphaBlend16(s01, _mm_unpacklo_epi8(d, zero), SpreadAlpha(s01)),
                                             AlphaBlend16(s23, _mm_unpackhi_epi8(d, zero), SpreadAlpha(s23))),
                            opaque);
    }
    if constexpr (kQuantise) {
      const __m128i d = _mm_loadu_si128(out);
      const __m128i same = _mm_cmpeq_epi32(result, d);
      result = _mm_or_si128(_mm_and_si128(same, d), _mm_andnot_si128(same, Quantise565x4(result)));
    }
    _mm_storeu_si128(out, result);
  }
  if (i < n) {
    SpanSetup rest = p;
    rest.tx = tx;
    SpanKernel<kBilinearRow, kModulate, kBlend, kQuantise>(dst + i, n - i, rest);
  }
}

// Untextured spans (fades and flashes over the whole frame) four pixels at a time, for
// blends 1, 2, 3, 6 and 7: the source is the same on every pixel, so its part of the
// blend is worked out once. The same results as SpanKernel.
template <bool kModulate, int32_t kBlend, bool kQuantise>
void FillKernel4(uint32_t* dst, int32_t n, const SpanSetup& p) {
  static_assert(kBlend == 1 || kBlend == 2 || kBlend == 3 || kBlend == 6 || kBlend == 7);
  const __m128i zero = _mm_setzero_si128();
  const __m128i opaque = _mm_set1_epi32(static_cast<int>(0xFF000000u));
  const uint32_t colour = kModulate ? p.mod : 0xFFFFFFFFu;
  const __m128i s = _mm_unpacklo_epi8(_mm_set1_epi32(static_cast<int>(colour)), zero);
  // What blends 1, 3 and 6 add to the target, on every channel.
  __m128i added = s;
  if constexpr (kBlend == 3) added = MulDiv255x16(s, SpreadAlpha(s));
  if constexpr (kBlend == 6) added = MulDiv255x16(s, s);
  added = _mm_packus_epi16(added, added);
  const __m128i alpha = SpreadAlpha(s);
  // What blend 7 keeps of the target, on every channel.
  const __m128i kept = _mm_sub_epi16(_mm_set1_epi16(255), s);
  int32_t i = 0;
  for (; i + 4 <= n; i += 4) {
    __m128i* out = reinterpret_cast<__m128i*>(dst + i);
    const __m128i d = _mm_loadu_si128(out);
    __m128i result;
    if constexpr (kBlend == 2) {
      result = _mm_packus_epi16(AlphaBlend16(s, _mm_unpacklo_epi8(d, zero), alpha),
                                AlphaBlend16(s, _mm_unpackhi_epi8(d, zero), alpha));
    } else if constexpr (kBlend == 7) {
      result = _mm_packus_epi16(MulDiv255x16(_mm_unpacklo_epi8(d, zero), kept),
                                MulDiv255x16(_mm_unpackhi_epi8(d, zero), kept));
    } else {
      (void)alpha;
      (void)kept;
      result = _mm_adds_epu8(added, d);
    }
    result = _mm_or_si128(result, opaque);
    if constexpr (kQuantise) {
      const __m128i same = _mm_cmpeq_epi32(result, d);
      result = _mm_or_si128(_mm_and_si128(same, d), _mm_andnot_si128(same, Quantise565x4(result)));
    }
    _mm_storeu_si128(out, result);
  }
  if (i < n) SpanKernel<kFill, kModulate, kBlend, kQuantise>(dst + i, n - i, p);
}
#endif

using SpanFn = void (*)(uint32_t*, int32_t, const SpanSetup&);
using BlendTable = std::array<SpanFn, 9>;

template <int32_t kSampler, bool kModulate, bool kQuantise, size_t... kBlends>
constexpr BlendTable BlendRow(std::index_sequence<kBlends...>) {
  return {&SpanKernel<kSampler, kModulate, static_cast<int32_t>(kBlends), kQuantise>...};
}

// [modulate][quantise][blend] for one sampler.
template <int32_t kSampler>
constexpr std::array<std::array<BlendTable, 2>, 2> SamplerTable() {
  const auto blends = std::make_index_sequence<9>{};
  return {{{BlendRow<kSampler, false, false>(blends), BlendRow<kSampler, false, true>(blends)},
           {BlendRow<kSampler, true, false>(blends), BlendRow<kSampler, true, true>(blends)}}};
}

using SpanTable = std::array<std::array<std::array<BlendTable, 2>, 2>, kSamplerCount>;

#if defined(__SSE2__)
template <int32_t kSampler>
void SetBilinearKernels(SpanTable& t) {
  auto set = [&]<bool kModulate, bool kQuantise>() {
    auto& row = t[kSampler][kModulate ? 1 : 0][kQuantise ? 1 : 0];
    row[1] = &BilinearKernel4<kSampler, kModulate, 1, kQuantise>;
    row[2] = &BilinearKernel4<kSampler, kModulate, 2, kQuantise>;
    row[3] = &BilinearKernel4<kSampler, kModulate, 3, kQuantise>;
    row[6] = &BilinearKernel4<kSampler, kModulate, 6, kQuantise>;
    row[7] = &BilinearKernel4<kSampler, kModulate, 7, kQuantise>;
  };
  set.template operator()<false, false>();
  set.template operator()<false, true>();
  set.template operator()<true, false>();
  set.template operator()<true, true>();
}

void SetFillKernels(SpanTable& t) {
  auto set = [&]<bool kModulate, bool kQuantise>() {
    auto& row = t[kFill][kModulate ? 1 : 0][kQuantise ? 1 : 0];
    row[1] = &FillKernel4<kModulate, 1, kQuantise>;
    row[2] = &FillKernel4<kModulate, 2, kQuantise>;
    row[3] = &FillKernel4<kModulate, 3, kQuantise>;
    row[6] = &FillKernel4<kModulate, 6, kQuantise>;
    row[7] = &FillKernel4<kModulate, 7, kQuantise>;
  };
  set.template operator()<false, false>();
  set.template operator()<false, true>();
  set.template operator()<true, false>();
  set.template operator()<true, true>();
}
#endif

SpanTable MakeSpanTable(bool vector_kernels) {
  SpanTable t = {
      SamplerTable<kFill>(),           SamplerTable<kNearest>(), SamplerTable<kBilinear>(),
      SamplerTable<kRow>(),            SamplerTable<kBilinearInside>(),
      SamplerTable<kBilinearRow>(),
  };
#if defined(__SSE2__)
  if (!vector_kernels) return t;
  // Tiles and glows: untinted, one texel per pixel.
  t[kRow][0][0][0] = &RowKernel4<0, false>;
  t[kRow][0][1][0] = &RowKernel4<0, true>;
  t[kRow][0][0][1] = &RowKernel4<1, false>;
  t[kRow][0][1][1] = &RowKernel4<1, true>;
  t[kRow][0][0][2] = &RowKernel4<2, false>;
  t[kRow][0][1][2] = &RowKernel4<2, true>;
  // Tinted sprites and glows, one texel per pixel.
  t[kRow][1][0][2] = &TintedRowKernel4<2, false>;
  t[kRow][1][1][2] = &TintedRowKernel4<2, true>;
  t[kRow][1][0][3] = &TintedRowKernel4<3, false>;
  t[kRow][1][1][3] = &TintedRowKernel4<3, true>;
  t[kRow][1][0][6] = &TintedRowKernel4<6, false>;
  t[kRow][1][1][6] = &TintedRowKernel4<6, true>;
  // Filtered glows, tinted or not, with the blends that leave clear texels alone.
  SetBilinearKernels<kBilinear>(t);
  SetBilinearKernels<kBilinearInside>(t);
  // Filtered copies and alpha blends along one texel row pair.
  t[kBilinearRow][0][0][0] = &BilinearRowKernel4<false, 0, false>;
  t[kBilinearRow][0][1][0] = &BilinearRowKernel4<false, 0, true>;
  t[kBilinearRow][1][0][0] = &BilinearRowKernel4<true, 0, false>;
  t[kBilinearRow][1][1][0] = &BilinearRowKernel4<true, 0, true>;
  t[kBilinearRow][0][0][2] = &BilinearRowKernel4<false, 2, false>;
  t[kBilinearRow][0][1][2] = &BilinearRowKernel4<false, 2, true>;
  t[kBilinearRow][1][0][2] = &BilinearRowKernel4<true, 2, false>;
  t[kBilinearRow][1][1][2] = &BilinearRowKernel4<true, 2, true>;
  // Fades and flashes.
  SetFillKernels(t);
#endif
  return t;
}

// kSpans[sampler][modulate][quantise][blend]; kScalarSpans without the four-pixel
// kernels, to check that both give the same pictures.
const SpanTable kSpans = MakeSpanTable(true);
const SpanTable kScalarSpans = MakeSpanTable(false);

// Kernels that draw two side-by-side filtered spans as one (BilinearPairKernel4):
// kPairSpans[modulate][quantise][blend], null where there is none.
using PairSpanFn = void (*)(uint32_t*, int32_t, const SpanSetup&, int32_t, const SpanSetup&);
using PairTable = std::array<std::array<std::array<PairSpanFn, 9>, 2>, 2>;

PairTable MakePairTable() {
  PairTable t{};
#if defined(__SSE2__)
  auto set = [&]<bool kModulate, bool kQuantise>() {
    auto& row = t[kModulate ? 1 : 0][kQuantise ? 1 : 0];
    row[1] = &BilinearPairKernel4<kModulate, 1, kQuantise>;
    row[2] = &BilinearPairKernel4<kModulate, 2, kQuantise>;
    row[3] = &BilinearPairKernel4<kModulate, 3, kQuantise>;
    row[6] = &BilinearPairKernel4<kModulate, 6, kQuantise>;
    row[7] = &BilinearPairKernel4<kModulate, 7, kQuantise>;
  };
  set.template operator()<false, false>();
  set.template operator()<false, true>();
  set.template operator()<true, false>();
  set.template operator()<true, true>();
#endif
  return t;
}

const PairTable kPairSpans = MakePairTable();

// 16.16 fixed point, held well inside int32 so stepping a span never overflows.
// Rounds to nearest with halves up: floor(v * 65536 + 0.5), clamped. The floor is done
// by hand (truncate, then step down where that went up) because the library's floor,
// without SSE4.1, is a long chain of instructions on the path of every span.
inline int32_t ToFixed(double v) {
  constexpr double kLimit = 1073741824.0;
  const double s = v * 65536.0 + 0.5;
  if (!(s > -kLimit)) return std::isnan(s) ? 0 : -1073741824;
  if (s >= kLimit) return 1073741824;
  const auto t = static_cast<int32_t>(s);
  return static_cast<double>(t) > s ? t - 1 : t;
}

// First pixel index whose centre is at or right of the edge position e: ceil(e - 0.5),
// limited to lo..hi (so huge or off-screen geometry stays cheap and in range).
// For integer limits, ceil(w) > lo exactly when w > lo (and the same for hi), so the
// limits are tested on w and the ceiling is taken by hand, as in ToFixed.
inline int32_t PixelFrom(double e, int32_t lo, int32_t hi) {
  const double w = e - 0.5;
  if (!(w > lo)) return lo;  // also catches NaN
  if (w > hi) return hi;
  const auto t = static_cast<int32_t>(w);
  return static_cast<double>(t) < w ? t + 1 : t;
}

bool SameVertex(const DrawVertex& a, const DrawVertex& b) {
  return a.x == b.x && a.y == b.y && a.u == b.u && a.v == b.v && a.colour == b.colour;
}

// Whether the vertices from `first` on start one of the device's quads (TL, TR, BL)
// (BL, TR, BR).
bool StartsQuad(const DrawVertex* v, int32_t first, int32_t count) {
  return first + 5 < count && SameVertex(v[first + 3], v[first + 2]) && SameVertex(v[first + 4], v[first + 1]);
}

// out[x + 1] = Lerp(r0[x], r1[x], fy) for columns x = first .. last (-1 .. width):
// the texture's border repeats its edge texels, so columns -1 and width read the
// clamped ones. With `vector` four columns at a time (Lerp16 is Lerp on each lane).
void BlendTexelRows(const uint32_t* r0, const uint32_t* r1, uint32_t fy, int32_t first, int32_t last,
                    uint32_t* out, bool vector) {
  int32_t x = first;
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128();
  const __m128i f = _mm_set1_epi16(static_cast<short>(fy));
  for (; vector && x + 3 <= last; x += 4) {
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(r0 + x));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(r1 + x));
    const __m128i lo = Lerp16(_mm_unpacklo_epi8(a, zero), _mm_unpacklo_epi8(b, zero), f);
    const __m128i hi = Lerp16(_mm_unpackhi_epi8(a, zero), _mm_unpackhi_epi8(b, zero), f);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x + 1), _mm_packus_epi16(lo, hi));
  }
#else
  (void)vector;
#endif
  for (; x <= last; ++x) out[x + 1] = Lerp(r0[x], r1[x], fy);
}

// The texels a span's samples reach: coordinates step linearly, so the extremes are
// at its ends.
struct TexelRange {
  int64_t x_lo, x_hi, y_lo, y_hi;
  // Every sample and its filter neighbours lie in the texture (or its border).
  bool Inside(const SpanSetup& p) const { return x_lo >= -1 && x_hi < p.tw && y_lo >= -1 && y_hi < p.th; }
};

TARQ_INLINE TexelRange SpanTexels(const SpanSetup& p, int32_t n) {
  const int64_t tx_end = p.tx + static_cast<int64_t>(p.dtx) * (n - 1);
  const int64_t ty_end = p.ty + static_cast<int64_t>(p.dty) * (n - 1);
  return {std::min<int64_t>(p.tx, tx_end) >> 16, std::max<int64_t>(p.tx, tx_end) >> 16,
          std::min<int64_t>(p.ty, ty_end) >> 16, std::max<int64_t>(p.ty, ty_end) >> 16};
}

}  // namespace

// Chooses the kernel for a span and draws it; the span's coordinates are in p.
void SoftwareBackend::DrawSpan(int32_t y, int32_t x0, int32_t x1, SpanSetup& p) {
  const int32_t n = x1 - x0;
  if (n <= 0) return;
  int32_t sampler = bound_ == nullptr ? kFill : (linear_ ? kBilinear : kNearest);
  if (sampler != kFill && p.dtx == 65536 && p.dty == 0) {
    // One texel per pixel along a texel row: linear filtering at texel centres is the
    // texel itself, so both filters read the row directly.
    const bool centred = sampler == kNearest || ((p.tx & 0xFFFF) == 0 && (p.ty & 0xFFFF) == 0);
    const int32_t tx = p.tx >> 16, ty = p.ty >> 16;
    if (centred && tx >= 0 && tx + n <= p.tw && ty >= 0 && ty < p.th) {
      sampler = kRow;
      p.tex = bound_->Origin() + static_cast<ptrdiff_t>(ty) * p.ts + tx;
    }
  }
  if (sampler == kBilinear) {
    const TexelRange r = SpanTexels(p, n);
    const int64_t x_lo = r.x_lo, x_hi = r.x_hi;
    if (p.dty == 0 && x_lo >= -1 && x_hi < p.tw && x_hi - x_lo < 4 * static_cast<int64_t>(n)) {
      // Blend the two texel rows once, then each pixel blends across: made for
      // magnified glows. Index x + 1 holds column x, clamped at both ends.
      const int32_t y0 = static_cast<int32_t>(p.ty >> 16);
      const uint32_t fy = static_cast<uint32_t>(p.ty >> 8) & 0xFFu;
      const uint32_t* r0 = p.tex + ClampIndex(y0, p.th) * p.ts;
      const uint32_t* r1 = p.tex + ClampIndex(y0 + 1, p.th) * p.ts;
      row_blend_.resize(static_cast<size_t>(p.tw) + 2);
      BlendTexelRows(r0, r1, fy, static_cast<int32_t>(x_lo), static_cast<int32_t>(x_hi) + 1, row_blend_.data(),
                     vector_kernels_);
      p.tex = row_blend_.data();
      sampler = kBilinearRow;
    } else if (r.Inside(p)) {
      sampler = kBilinearInside;
    }
  }
  const bool modulate = p.mod != 0xFFFFFFFFu;
  uint32_t* dst = target_.data() + static_cast<size_t>(y) * width_ + x0;
  (vector_kernels_ ? kSpans : kScalarSpans)[static_cast<size_t>(sampler)][modulate ? 1 : 0][low_bit_depth_ ? 1 : 0]
        [static_cast<size_t>(blend_)](dst, n, p);
}

uint32_t SoftwareBackend::Modulator(uint32_t colour) const {
  return vertex_alpha_ ? colour : (colour | 0xFF000000u);
}

// An axis-aligned quad whose texture coordinates follow its edges and whose corners
// share one colour: drawn row by row with no edge arithmetic. Returns false when the
// quad is not of that kind.
bool SoftwareBackend::DrawRect(const DrawVertex& tl, const DrawVertex& tr, const DrawVertex& bl,
                               const DrawVertex& br) {
  if (!(tl.y == tr.y && bl.y == br.y && tl.x == bl.x && tr.x == br.x && tl.u == bl.u &&
        tr.u == br.u && tl.v == tr.v && bl.v == br.v && tl.colour == tr.colour &&
        tl.colour == bl.colour && tl.colour == br.colour)) {
    return false;
  }
  if (tl.x == tr.x || tl.y == bl.y) return true;  // no area
  if (!std::isfinite(tl.x) || !std::isfinite(tr.x) || !std::isfinite(tl.y) || !std::isfinite(bl.y)) {
    return true;
  }
  const double xl = std::min(tl.x, tr.x), xr = std::max(tl.x, tr.x);
  const double yt = std::min(tl.y, bl.y), yb = std::max(tl.y, bl.y);
  if (xr <= clip_x0_ || xl >= clip_x1_ || yb <= clip_y0_ || yt >= clip_y1_) return true;
  const int32_t x0 = PixelFrom(xl, clip_x0_, clip_x1_), x1 = PixelFrom(xr, clip_x0_, clip_x1_);
  const int32_t y0 = PixelFrom(yt, clip_y0_, clip_y1_), y1 = PixelFrom(yb, clip_y0_, clip_y1_);
  if (x0 >= x1 || y0 >= y1) return true;

  SpanSetup p;
  p.mod = Modulator(tl.colour);
  double u0 = 0, dudx = 0, v0 = 0, dvdy = 0;
  if (bound_ != nullptr) {
    p.tex = bound_->Origin();
    p.tw = bound_->Width;
    p.th = bound_->Height;
    p.ts = bound_->Width + 2;
    const double off = linear_ ? 0.5 : 0.0;  // linear filtering samples around texel centres
    dudx = (static_cast<double>(tr.u) - tl.u) * p.tw / (static_cast<double>(tr.x) - tl.x);
    u0 = tl.u * static_cast<double>(p.tw) + (x0 + 0.5 - tl.x) * dudx - off;
    dvdy = (static_cast<double>(bl.v) - tl.v) * p.th / (static_cast<double>(bl.y) - tl.y);
    v0 = tl.v * static_cast<double>(p.th) - off;
    p.dtx = ToFixed(dudx);
  }
  const int32_t tx = ToFixed(u0);
  for (int32_t y = y0; y < y1; ++y) {
    p.tx = tx;
    p.ty = ToFixed(v0 + (y + 0.5 - tl.y) * dvdy);
    if (bound_ != nullptr) p.tex = bound_->Origin();
    DrawSpan(y, x0, x1, p);
  }
  return true;
}

// What a triangle's rows share: its edges, rows and attribute planes.
struct SoftwareBackend::TriangleSetup {
  // Edges with their end points in a fixed order (by y, then x), so that two
  // triangles sharing an edge compute exactly the same crossings.
  struct Edge {
    double xa, ya, yb, slope;
  };
  double x[3], y[3];
  Edge edges[3];
  int32_t edge_count = 0;
  int32_t row0 = 0, row1 = 0;  // rows [row0, row1) to walk
  // Attribute planes: A(x, y) = A0 + ax * (x - x0) + ay * (y - y0).
  double u0 = 0, uax = 0, uay = 0, v0 = 0, vax = 0, vay = 0;
  bool flat = true;
  std::array<double, 4> c0{}, cax{}, cay{};  // colour channel planes when not flat
  SpanSetup p;
};

bool SoftwareBackend::SetUpTriangle(const DrawVertex& va, const DrawVertex& vb, const DrawVertex& vc,
                                    TriangleSetup& t) const {
  const DrawVertex* v[3] = {&va, &vb, &vc};
  double* x = t.x;
  double* y = t.y;
  for (int i = 0; i < 3; ++i) {
    x[i] = v[i]->x;
    y[i] = v[i]->y;
    if (!std::isfinite(x[i]) || !std::isfinite(y[i])) return false;
  }
  const double det = (x[1] - x[0]) * (y[2] - y[0]) - (x[2] - x[0]) * (y[1] - y[0]);
  if (det == 0.0) return false;
  const double xmin = std::min({x[0], x[1], x[2]}), xmax = std::max({x[0], x[1], x[2]});
  const double ymin = std::min({y[0], y[1], y[2]}), ymax = std::max({y[0], y[1], y[2]});
  // Quick rejection: huge geometry (a glow many times the screen) costs only its
  // visible rows.
  if (xmax <= clip_x0_ || xmin >= clip_x1_ || ymax <= clip_y0_ || ymin >= clip_y1_) return false;
  t.row0 = PixelFrom(ymin, clip_y0_, clip_y1_);
  t.row1 = PixelFrom(ymax, clip_y0_, clip_y1_);
  if (t.row0 >= t.row1) return false;

  t.edge_count = 0;
  for (int i = 0; i < 3; ++i) {
    int a = i, b = (i + 1) % 3;
    if (y[a] == y[b]) continue;
    if (y[a] > y[b] || (y[a] == y[b] && x[a] > x[b])) std::swap(a, b);
    t.edges[t.edge_count++] = {x[a], y[a], y[b], (x[b] - x[a]) / (y[b] - y[a])};
  }

  auto plane = [&](double a0, double a1, double a2, double& ax, double& ay) {
    ax = ((a1 - a0) * (y[2] - y[0]) - (a2 - a0) * (y[1] - y[0])) / det;
    ay = ((a2 - a0) * (x[1] - x[0]) - (a1 - a0) * (x[2] - x[0])) / det;
  };
  SpanSetup& p = t.p;
  if (bound_ != nullptr) {
    p.tex = bound_->Origin();
    p.tw = bound_->Width;
    p.th = bound_->Height;
    p.ts = bound_->Width + 2;
    const double off = linear_ ? 0.5 : 0.0;
    t.u0 = va.u * static_cast<double>(p.tw) - off;
    t.v0 = va.v * static_cast<double>(p.th) - off;
    plane(t.u0, vb.u * static_cast<double>(p.tw) - off, vc.u * static_cast<double>(p.tw) - off, t.uax, t.uay);
    plane(t.v0, vb.v * static_cast<double>(p.th) - off, vc.v * static_cast<double>(p.th) - off, t.vax, t.vay);
    p.dtx = ToFixed(t.uax);
    p.dty = ToFixed(t.vax);
  }
  t.flat = va.colour == vb.colour && va.colour == vc.colour;
  if (t.flat) {
    p.mod = Modulator(va.colour);
  } else {
    for (int k = 0; k < 4; ++k) {
      t.c0[k] = Channel(va.colour, k * 8);
      plane(t.c0[k], Channel(vb.colour, k * 8), Channel(vc.colour, k * 8), t.cax[k], t.cay[k]);
    }
  }
  return true;
}

// The pixels [i0, i1) of a row whose centres lie inside the triangle; false when none.
TARQ_INLINE bool SoftwareBackend::TriangleRow(const TriangleSetup& t, int32_t row, int32_t& i0, int32_t& i1) const {
  const double yc = row + 0.5;
  double xl = std::numeric_limits<double>::infinity(), xr = -xl;
  for (int32_t e = 0; e < t.edge_count; ++e) {
    const TriangleSetup::Edge& ed = t.edges[e];
    if (ed.ya <= yc && yc < ed.yb) {
      const double xe = ed.xa + (yc - ed.ya) * ed.slope;
      xl = std::min(xl, xe);
      xr = std::max(xr, xe);
    }
  }
  if (!(xl < xr)) return false;
  i0 = PixelFrom(xl, clip_x0_, clip_x1_);
  i1 = PixelFrom(xr, clip_x0_, clip_x1_);
  return i0 < i1;
}

// The texel coordinates of a flat triangle's span that starts at pixel i0 of `row`.
TARQ_INLINE void SoftwareBackend::StartSpan(TriangleSetup& t, int32_t row, int32_t i0) const {
  const double dx = i0 + 0.5 - t.x[0], dy = row + 0.5 - t.y[0];
  t.p.tx = ToFixed(t.u0 + t.uax * dx + t.uay * dy);
  t.p.ty = ToFixed(t.v0 + t.vax * dx + t.vay * dy);
  if (bound_ != nullptr) t.p.tex = bound_->Origin();
}

void SoftwareBackend::DrawTriangle(const DrawVertex& va, const DrawVertex& vb, const DrawVertex& vc) {
  TriangleSetup t;
  if (SetUpTriangle(va, vb, vc, t)) DrawTriangleRows(t);
}

void SoftwareBackend::DrawTriangleRows(TriangleSetup& t) {
  SpanSetup& p = t.p;
  for (int32_t row = t.row0; row < t.row1; ++row) {
    int32_t i0 = 0, i1 = 0;
    if (!TriangleRow(t, row, i0, i1)) continue;
    if (t.flat) {
      StartSpan(t, row, i0);
      DrawSpan(row, i0, i1, p);
      continue;
    }
    // Colours that differ per corner: one pixel at a time (the device never does this).
    const double dy = row + 0.5 - t.y[0];
    for (int32_t i = i0; i < i1; ++i) {
      const double px = i + 0.5 - t.x[0];
      uint32_t colour = 0;
      for (int k = 0; k < 4; ++k) {
        const double c = std::clamp(t.c0[k] + t.cax[k] * px + t.cay[k] * dy, 0.0, 255.0);
        colour |= static_cast<uint32_t>(std::lround(c)) << (k * 8);
      }
      p.mod = Modulator(colour);
      p.tx = ToFixed(t.u0 + t.uax * px + t.uay * dy);
      p.ty = ToFixed(t.v0 + t.vax * px + t.vay * dy);
      if (bound_ != nullptr) p.tex = bound_->Origin();
      DrawSpan(row, i, i + 1, p);
    }
  }
}

// The two triangles of a quad that is not an axis-aligned rectangle (a turned sprite),
// walked row by row together. Each row of each triangle gets exactly the span and
// coordinates it gets alone, and where the two spans of a row touch they go to the
// kernel as one (DrawSpanPair), saving a call and a partial group per row. Rows of
// different triangles never share pixels, and on a row the first triangle's span is
// drawn first, so overlapping (folded) quads come out as drawn one after the other.
void SoftwareBackend::DrawTrianglePair(const DrawVertex& a, const DrawVertex& b, const DrawVertex& c,
                                       const DrawVertex& d, const DrawVertex& e, const DrawVertex& f) {
  TriangleSetup s, t;
  const bool has_s = SetUpTriangle(a, b, c, s);
  const bool has_t = SetUpTriangle(d, e, f, t);
  if (!has_s || !has_t || !s.flat || !t.flat) {
    if (has_s) DrawTriangleRows(s);
    if (has_t) DrawTriangleRows(t);
    return;
  }
  // A batch of rows is measured first and then drawn: the measuring depends on nothing
  // drawn, so the processor overlaps the rows' long floating-point chains instead of
  // waiting on each before its span.
  struct RowSpans {
    bool in_s, in_t;
    int32_t a0, a1, b0, b1;       // the spans of s and t
    int32_t atx, aty, btx, bty;   // their first pixels' texel coordinates
  };
  constexpr int32_t kBatch = 64;
  RowSpans rows[kBatch];
  const int32_t first = std::min(s.row0, t.row0), last = std::max(s.row1, t.row1);
  for (int32_t batch = first; batch < last; batch += kBatch) {
    const int32_t count = std::min(kBatch, last - batch);
    for (int32_t k = 0; k < count; ++k) {
      const int32_t row = batch + k;
      RowSpans& r = rows[k];
      r = RowSpans{};
      r.in_s = row >= s.row0 && row < s.row1 && TriangleRow(s, row, r.a0, r.a1);
      r.in_t = row >= t.row0 && row < t.row1 && TriangleRow(t, row, r.b0, r.b1);
      if (r.in_s) {
        StartSpan(s, row, r.a0);
        r.atx = s.p.tx, r.aty = s.p.ty;
      }
      if (r.in_t) {
        StartSpan(t, row, r.b0);
        r.btx = t.p.tx, r.bty = t.p.ty;
      }
    }
    for (int32_t k = 0; k < count; ++k) {
      const int32_t row = batch + k;
      const RowSpans& r = rows[k];
      if (r.in_s) {
        s.p.tx = r.atx, s.p.ty = r.aty;
        if (bound_ != nullptr) s.p.tex = bound_->Origin();
      }
      if (r.in_t) {
        t.p.tx = r.btx, t.p.ty = r.bty;
        if (bound_ != nullptr) t.p.tex = bound_->Origin();
      }
      if (r.in_s && r.in_t && r.a1 == r.b0) {
        DrawSpanPair(row, r.a0, r.a1, r.b1, s.p, t.p);
      } else if (r.in_s && r.in_t && r.b1 == r.a0) {
        DrawSpanPair(row, r.b0, r.b1, r.a1, t.p, s.p);
      } else {
        if (r.in_s) DrawSpan(row, r.a0, r.a1, s.p);
        if (r.in_t) DrawSpan(row, r.b0, r.b1, t.p);
      }
    }
  }
}

// Whether DrawSpan samples this span filtered with no clamping (kBilinearInside): a
// filtered span off the texel rows whose samples all lie inside the texture.
TARQ_INLINE bool SoftwareBackend::FilteredInside(const SpanSetup& p, int32_t n) const {
  if (n <= 0 || bound_ == nullptr || !linear_ || p.dty == 0) return false;
  return SpanTexels(p, n).Inside(p);
}

// Two spans that meet at xm: as one when both are filtered without clamping with the
// same tint, else one after the other.
void SoftwareBackend::DrawSpanPair(int32_t y, int32_t x0, int32_t xm, int32_t x1, SpanSetup& a, SpanSetup& b) {
  const int32_t na = xm - x0, nb = x1 - xm;
  if (vector_kernels_ && a.mod == b.mod && FilteredInside(a, na) && FilteredInside(b, nb)) {
    const PairSpanFn kernel =
        kPairSpans[a.mod != 0xFFFFFFFFu ? 1 : 0][low_bit_depth_ ? 1 : 0][static_cast<size_t>(blend_)];
    if (kernel != nullptr) {
      kernel(target_.data() + static_cast<size_t>(y) * width_ + x0, na, a, nb, b);
      return;
    }
  }
  DrawSpan(y, x0, xm, a);
  DrawSpan(y, xm, x1, b);
}


bool SoftwareBackend::DrawPrimitives(Primitive primitive, int32_t vertex_count) {
  if (!open_ || vertex_count < 0 || vertex_count > static_cast<int32_t>(vertices_.size())) {
    return false;
  }
  const DrawVertex* v = vertices_.data();
  if (primitive == Primitive::TriangleStrip) {
    if (vertex_count == 4) {
      if (!DrawRect(v[0], v[1], v[2], v[3])) DrawTrianglePair(v[0], v[1], v[2], v[1], v[2], v[3]);
      return true;
    }
    for (int32_t i = 0; i + 2 < vertex_count; ++i) DrawTriangle(v[i], v[i + 1], v[i + 2]);
    return true;
  }
  int32_t i = 0;
  for (; i + 2 < vertex_count; i += 3) {
    // The device's quads are (TL, TR, BL) (BL, TR, BR): try them as one rectangle, else
    // as a pair of triangles, unless the second triangle would itself start a quad (then
    // it goes its own way on the next step, as it always has).
    if (StartsQuad(v, i, vertex_count)) {
      if (DrawRect(v[i], v[i + 1], v[i + 2], v[i + 5])) {
        i += 3;
        continue;
      }
      if (!StartsQuad(v, i + 3, vertex_count)) {
        DrawTrianglePair(v[i], v[i + 1], v[i + 2], v[i + 3], v[i + 4], v[i + 5]);
        i += 3;
        continue;
      }
    }
    DrawTriangle(v[i], v[i + 1], v[i + 2]);
  }
  return true;
}

bool SoftwareBackend::Clear(uint32_t argb) {
  if (!open_) return false;
  uint32_t c = argb | 0xFF000000u;
  QuantiseSpan(&c, 1);
  std::fill(target_.begin(), target_.end(), c);
  return true;
}

void SoftwareBackend::QuantiseSpan(uint32_t* p, int32_t n) const {
  if (!low_bit_depth_) return;
  for (int32_t i = 0; i < n; ++i) {
    p[i] = Quantise565(p[i]);
  }
}

PresentResult SoftwareBackend::Present() {
  if (!open_) return PresentResult::Failed;
  if (window_ == nullptr) return PresentResult::Ok;  // off-screen: the frame stays readable
  // Shown through SDL's renderer, scaled to the window keeping the 4:3 shape.
  if (renderer_ == nullptr) {
    renderer_ = SDL_CreateRenderer(window_, -1, 0);
    if (renderer_ == nullptr) renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
    if (renderer_ == nullptr) return PresentResult::Failed;
    SDL_RenderSetLogicalSize(renderer_, width_, height_);
    screen_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING,
                                width_, height_);
    if (screen_ == nullptr) return PresentResult::Failed;
  }
  if (SDL_UpdateTexture(screen_, nullptr, target_.data(), width_ * 4) != 0) {
    return PresentResult::Failed;
  }
  SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
  SDL_RenderClear(renderer_);
  SDL_RenderCopy(renderer_, screen_, nullptr, nullptr);
  SDL_RenderPresent(renderer_);
  return PresentResult::Ok;
}

bool SoftwareBackend::ReadFrame(std::vector<uint32_t>& pixels, int32_t& width, int32_t& height) {
  if (!open_) return false;
  pixels = target_;
  width = width_;
  height = height_;
  return true;
}

}  // namespace tarq

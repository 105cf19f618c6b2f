#include "assets/software_backend.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>

#include "assets/draw_device.h"

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
  t->Argb.assign(static_cast<size_t>(width) * height, 0);
  ExpandTexels(format, t->Texels.data(), t->Argb.data(), width * height);
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
  return ExpandTexels(t.Format, t.Texels.data(), t.Argb.data(), t.Width * t.Height);
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

bool SoftwareBackend::DrawPrimitives(Primitive, int32_t vertex_count) {
  if (!open_ || vertex_count > static_cast<int32_t>(vertices_.size())) return false;
  return true;  // rasteriser follows
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
    const uint32_t c = p[i];
    const uint32_t r = Widen(((c >> 16) & 0xFF) * 31 / 255, 31);
    const uint32_t g = Widen(((c >> 8) & 0xFF) * 63 / 255, 63);
    const uint32_t b = Widen((c & 0xFF) * 31 / 255, 31);
    p[i] = 0xFF000000u | (r << 16) | (g << 8) | b;
  }
}

PresentResult SoftwareBackend::Present() {
  if (!open_) return PresentResult::Failed;
  return PresentResult::Ok;
}

bool SoftwareBackend::ReadFrame(std::vector<uint32_t>& pixels, int32_t& width, int32_t& height) {
  if (!open_) return false;
  pixels = target_;
  width = width_;
  height = height_;
  return true;
}

void SoftwareBackend::DrawTriangle(const DrawVertex&, const DrawVertex&, const DrawVertex&) {}
bool SoftwareBackend::DrawQuadFast(const DrawVertex&, const DrawVertex&, const DrawVertex&,
                                   const DrawVertex&) {
  return false;
}

}  // namespace tarq

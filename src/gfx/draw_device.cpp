#include "gfx/draw_device.h"

#include <cmath>
#include <cstdio>
#include <numbers>
#include <utility>

#include "gfx/png_io.h"
#include "gfx/software_backend.h"
#include "core/numeric.h"

namespace tarq {

namespace {

DrawBackendFactory g_hardware_factory = nullptr;

// 0xAABBGGRR -> 0xAARRGGBB: the back ends take red in bits 16..23.
constexpr uint32_t SwapRedBlue(uint32_t c) {
  return (c & 0xFF00FF00u) | ((c & 0xFFu) << 16) | ((c >> 16) & 0xFFu);
}

constexpr uint32_t kOpaqueWhite = 0xFFFFFFFFu;

}  // namespace

void RegisterHardwareBackend(DrawBackendFactory factory) { g_hardware_factory = factory; }
DrawBackendFactory HardwareBackendFactory() { return g_hardware_factory; }

TDrawDevice::TDrawDevice() : rotation_cache_(kRotationCacheSize) {}

TDrawDevice::~TDrawDevice() { Finalize(); }

// --- Properties ---------------------------------------------------------------------

void TDrawDevice::SetAntialias(bool value) {
  antialias_ = value;
  if (initialised_) {
    Flush();
    backend_->SetFilter(value);
    settings_.LinearFilter = value;
  }
}

void TDrawDevice::SetDithering(bool value) {
  dithering_ = value;
  if (initialised_) {
    Flush();
    backend_->SetDithering(value);
    settings_.Dithering = value;
  }
}

void TDrawDevice::SetFullScreen(bool value) {
  if (!initialised_) full_screen_ = value;
}
void TDrawDevice::SetWidth(int32_t value) {
  if (!initialised_) width_ = value;
}
void TDrawDevice::SetHeight(int32_t value) {
  if (!initialised_) height_ = value;
}
void TDrawDevice::SetBackBufferCount(int32_t value) {
  if (!initialised_) back_buffer_count_ = value;
}
void TDrawDevice::SetBitDepth(TBitDepth value) {
  if (!initialised_) bit_depth_ = value;
}
void TDrawDevice::SetZBuffer(TZBuffer value) {
  if (!initialised_) z_buffer_ = value;
}
void TDrawDevice::SetVSync(bool value) {
  if (!initialised_) vsync_ = value;
}
void TDrawDevice::SetRefreshRate(TRefreshRate value) {
  if (initialised_) return;
  refresh_rate_ = value;
  if (value != rr_custom) custom_refresh_rate_ = 0;
}
void TDrawDevice::SetCustomRefreshRate(int32_t value) {
  if (initialised_) return;
  if (refresh_rate_ == rr_custom) custom_refresh_rate_ = value;
}

void TDrawDevice::SetBackendFactory(
    std::function<std::unique_ptr<DrawBackend>(bool hardware)> factory) {
  factory_ = std::move(factory);
}

// --- Lifecycle ----------------------------------------------------------------------

int32_t TDrawDevice::Initialize() {
  // A hardware device draws into its owner window, so it needs one.
  if (initialised_ || (hardware_ && window_ == nullptr && !factory_)) return kDrawInvalidCall;

  // Choose and open the back end. Without an explicit factory a hardware device that
  // cannot get its display falls back to the software rasteriser, saying so once.
  std::unique_ptr<DrawBackend> backend;
  bool software = false;
  bool may_fall_back = false;
  if (factory_) {
    backend = factory_(hardware_);
    if (!backend) return kDrawNoDisplaySystem;
  } else if (hardware_) {
    if (g_hardware_factory) backend = g_hardware_factory(true);
    may_fall_back = true;
    if (!backend) {
      std::fprintf(stderr, "tarq: no hardware renderer available, using the software renderer\n");
    }
  }
  if (!backend) {
    backend = std::make_unique<SoftwareBackend>();
    software = true;
    may_fall_back = false;
  }

  int32_t code = backend->OpenDisplay();
  if (code != 0 && may_fall_back) {
    backend->Close();
    std::fprintf(stderr, "tarq: OpenGL unavailable (%s), using the software renderer\n",
                 ErrorText(code).c_str());
    backend = std::make_unique<SoftwareBackend>();
    software = true;
    may_fall_back = false;
    code = backend->OpenDisplay();
  }
  if (code != 0) {
    backend->Close();
    return code;
  }

  // Presentation parameters.
  BackendSettings s;
  s.Window = window_;
  s.Width = width_;
  s.Height = height_;
  s.FullScreen = full_screen_;
  s.LowBitDepth = bit_depth_ == bd_Low;
  s.DepthBits = z_buffer_ == zb_16bit ? 16 : (z_buffer_ == zb_32bit ? 32 : 0);
  s.LinearFilter = antialias_;
  s.Dithering = dithering_;
  std::shared_ptr<DisplayModeSource> modes = mode_source_;
  if (full_screen_) {
    if (!modes) modes = std::make_shared<SdlDisplayModeSource>();
    TModeList list(custom_refresh_rate_);
    // The other depth is tried only when enumerating the first one fails outright.
    const int32_t first = bit_depth_ == bd_High ? 32 : 16;
    const int32_t second = bit_depth_ == bd_High ? 16 : 32;
    bool listed = list.Enumerate(*modes, width_, height_, first);
    if (!listed) listed = list.Enumerate(*modes, width_, height_, second);
    TModeRecord* mode = listed ? list.SelectMode(refresh_rate_) : nullptr;
    if (mode == nullptr) {
      backend->Close();
      return kDrawNoVideoMode;
    }
    s.Width = mode->Width;
    s.Height = mode->Height;
    s.DisplayFormat = mode->Format;
    s.LowBitDepth = mode->Format == kDisplayR5G6B5 || mode->Format == kDisplayX1R5G5B5;
    s.BackBufferCount = back_buffer_count_;
    s.RefreshRate = refresh_rate_ == rr_default ? 0 : mode->RefreshRate;
    s.VSync = vsync_;
  } else if (window_ != nullptr) {
    // A windowed device uses the desktop's current mode; failing to read it is fatal.
    if (!modes) modes = std::make_shared<SdlDisplayModeSource>();
    DisplayMode current;
    if (!modes->CurrentMode(current)) {
      backend->Close();
      return kDrawNoDisplayMode;
    }
    s.BackBufferCount = 0;
    // Full screen is a borderless window here, so the game always runs windowed:
    // vertical sync follows the player's setting in a window too.
    s.VSync = vsync_;
  } else {
    s.BackBufferCount = 0;
    s.VSync = false;
  }

  code = backend->CreateDevice(s);
  if (code != 0 && may_fall_back) {
    backend->Close();
    std::fprintf(stderr, "tarq: OpenGL unavailable (%s), using the software renderer\n",
                 ErrorText(code).c_str());
    backend = std::make_unique<SoftwareBackend>();
    software = true;
    code = backend->OpenDisplay();
    if (code == 0) code = backend->CreateDevice(s);
  }
  if (code != 0) {
    backend->Close();
    return code;
  }

  // Render state: filtering and dithering as set; no texture, effect 0 (no blending).
  for (DrawVertex& v : quad_.Corner) {
    v.z = 0.0f;
    v.rhw = 1.0f;
  }
  backend->SetFilter(antialias_);
  backend->SetDithering(dithering_);

  backend_ = std::move(backend);
  settings_ = s;
  using_software_ = software;
  current_texture_ = kNoTexture;
  current_effect_ = 0;
  pending_ = 0;
  initialised_ = true;
  return 0;
}

void TDrawDevice::ReleaseAll() {
  if (backend_) backend_->Close();
  backend_.reset();
  initialised_ = false;
  pending_ = 0;
  current_texture_ = kNoTexture;
  current_effect_ = 0;
}

int32_t TDrawDevice::Finalize() {
  if (!initialised_) return kDrawInvalidCall;
  SetTexture(nullptr, 0, 0);  // draws what is pending, unbinds the texture
  ReleaseAll();
  return 0;
}

bool TDrawDevice::ResetDevice() {
  if (!initialised_) return false;
  // A reset clears the back end's bound texture and blend, so forget ours too: the
  // next draw binds both again (as after a lost device).
  current_texture_ = kNoTexture;
  current_effect_ = 0;
  return backend_->Reset();
}

// --- Frame --------------------------------------------------------------------------

bool TDrawDevice::BeginScene() {
  if (!initialised_) return false;
  pending_ = 0;  // whatever was queued before the frame began is dropped
  return backend_->BeginScene();
}

bool TDrawDevice::Clear(uint32_t color) {
  if (!initialised_) return false;
  return backend_->Clear(SwapRedBlue(color));
}

bool TDrawDevice::EndScene() {
  if (!initialised_) return false;
  if (Flush() != 0) return false;
  return backend_->EndScene();
}

bool TDrawDevice::Present() {
  if (!initialised_) return false;
  const PresentResult result = backend_->Present();
  if (result == PresentResult::Lost && OnDeviceLost) {
    OnDeviceLost(*this);
    // The device's state is gone with it: bind texture and blend afresh.
    current_texture_ = kNoTexture;
    current_effect_ = 0;
  }
  return result == PresentResult::Ok;
}

void TDrawDevice::SetViewport(const DrawRect& rect) {
  if (!initialised_) return;
  Flush();
  // An inverted rectangle clips everything rather than leaving the old one in force.
  const int32_t w = rect.Right - rect.Left;
  const int32_t h = rect.Bottom - rect.Top;
  backend_->SetViewport(rect.Left, rect.Top, w < 0 ? 0 : w, h < 0 ? 0 : h);
}

// --- Batching -----------------------------------------------------------------------

bool TDrawDevice::SetTexture(DrawableImage* image, int32_t pattern, int32_t effect) {
  if (!initialised_) return false;
  if (image != nullptr) {
    TextureHandle texture = kNoTexture;
    if (!image->SelectPattern(pattern, (effect & kEffectMirror) != 0, (effect & kEffectFlip) != 0,
                              texture, quad_)) {
      return false;
    }
    if (texture != current_texture_) {
      if (Flush() != 0) return false;
      if (!backend_->BindTexture(texture)) return false;
      current_texture_ = texture;
    }
    return true;
  }
  // Untextured drawing: everything pending goes first.
  if (Flush() != 0) return false;
  if (current_texture_ != kNoTexture) {
    if (!backend_->BindTexture(kNoTexture)) return false;
    current_texture_ = kNoTexture;
  }
  return true;
}

bool TDrawDevice::SetEffect(int32_t effect) {
  const int32_t blend = effect & 0xFF;
  const bool vertex_alpha = (effect & kEffectVertexAlpha) != 0;
  const int32_t current_blend = current_effect_ & 0xFF;
  const bool current_vertex_alpha = (current_effect_ & kEffectVertexAlpha) != 0;
  if (blend != current_blend || vertex_alpha != current_vertex_alpha) Flush();
  // Codes above 9 leave the blend that was last set in force.
  if (blend != current_blend && blend <= 9) backend_->SetBlend(blend);
  if (vertex_alpha != current_vertex_alpha) backend_->SetAlphaSource(vertex_alpha);
  current_effect_ = effect;
  return true;
}

void TDrawDevice::QueueQuad() {
  if (pending_ == kBatchQuads) Flush();
  DrawVertex* v = &batch_[static_cast<size_t>(pending_) * 6];
  v[0] = quad_.Corner[kCornerTL];
  v[1] = quad_.Corner[kCornerTR];
  v[2] = quad_.Corner[kCornerBL];
  v[3] = quad_.Corner[kCornerBL];
  v[4] = quad_.Corner[kCornerTR];
  v[5] = quad_.Corner[kCornerBR];
  ++pending_;
}

int32_t TDrawDevice::Flush() {
  const int32_t n = pending_;
  pending_ = 0;  // a failing draw loses the batch rather than repeating the failure
  if (n == 0) return 0;
  if (!initialised_) return kDrawInvalidCall;
  if (n > 1) {
    if (!backend_->UploadVertices(batch_.data(), n * 6)) return kDrawVertexLockFailed;
    if (!backend_->DrawPrimitives(Primitive::TriangleList, n * 6)) return kDrawRenderStateFailed;
    return 0;
  }
  // One quad goes as a four-vertex strip: TL, TR, BL, BR.
  const std::array<DrawVertex, 4> strip = {batch_[0], batch_[1], batch_[2], batch_[5]};
  if (!backend_->UploadVertices(strip.data(), 4)) return kDrawVertexLockFailed;
  if (!backend_->DrawPrimitives(Primitive::TriangleStrip, 4)) return kDrawRenderStateFailed;
  return 0;
}

// --- Drawing ------------------------------------------------------------------------

// Corners go in at the integer coordinates themselves: the back ends put pixel centres
// at +0.5, so a pattern drawn at its own size at (X, Y) covers exactly X..X+PW-1 and
// Y..Y+PH-1 with one texel per pixel.
void TDrawDevice::SetCorners(float x1, float y1, float x2, float y2, float x3, float y3, float x4,
                             float y4) {
  quad_.Corner[kCornerTL].x = x1;
  quad_.Corner[kCornerTL].y = y1;
  quad_.Corner[kCornerTR].x = x2;
  quad_.Corner[kCornerTR].y = y2;
  quad_.Corner[kCornerBR].x = x3;
  quad_.Corner[kCornerBR].y = y3;
  quad_.Corner[kCornerBL].x = x4;
  quad_.Corner[kCornerBL].y = y4;
}

void TDrawDevice::SetColour(uint32_t argb) {
  for (DrawVertex& v : quad_.Corner) v.colour = argb;
}

// Runs the steps every drawing operation shares; corners are TL, TR, BR, BL as x, y.
// Corners are 64-bit: a position near the edge of the 32-bit range plus a pattern's
// size (absurd font metrics push the pen there) must not overflow.
bool TDrawDevice::DrawPrepared(DrawableImage* image, int32_t pattern, int32_t effect,
                               uint32_t argb, const std::array<int64_t, 8>& c) {
  if (!SetTexture(image, pattern, effect)) return false;
  SetCorners(static_cast<float>(c[0]), static_cast<float>(c[1]), static_cast<float>(c[2]),
             static_cast<float>(c[3]), static_cast<float>(c[4]), static_cast<float>(c[5]),
             static_cast<float>(c[6]), static_cast<float>(c[7]));
  SetColour(argb);
  SetEffect(effect);
  QueueQuad();
  return true;
}

bool TDrawDevice::FillQuad(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t x3, int32_t y3,
                           int32_t x4, int32_t y4, uint32_t color, int32_t effect) {
  return DrawPrepared(nullptr, 0, effect, SwapRedBlue(color), {x1, y1, x2, y2, x3, y3, x4, y4});
}

bool TDrawDevice::FillRect(const DrawRect& r, uint32_t color, int32_t effect) {
  return DrawPrepared(nullptr, 0, effect, SwapRedBlue(color),
                      {r.Left, r.Top, r.Right, r.Top, r.Right, r.Bottom, r.Left, r.Bottom});
}

bool TDrawDevice::FillBox(int32_t x, int32_t y, int32_t width, int32_t height, uint32_t color,
                          int32_t effect) {
  return DrawPrepared(nullptr, 0, effect, SwapRedBlue(color),
                      {x, y, int64_t{x} + width, y, int64_t{x} + width, int64_t{y} + height, x,
                       int64_t{y} + height});
}

bool TDrawDevice::DrawQuad(DrawableImage* image, int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                           int32_t x3, int32_t y3, int32_t x4, int32_t y4, int32_t pattern,
                           int32_t effect) {
  if (image == nullptr) return false;
  return DrawPrepared(image, pattern, effect, kOpaqueWhite, {x1, y1, x2, y2, x3, y3, x4, y4});
}

bool TDrawDevice::DrawQuadColored(DrawableImage* image, int32_t x1, int32_t y1, int32_t x2,
                                  int32_t y2, int32_t x3, int32_t y3, int32_t x4, int32_t y4,
                                  uint32_t color, int32_t pattern, int32_t effect) {
  if (image == nullptr) return false;
  return DrawPrepared(image, pattern, effect, SwapRedBlue(color), {x1, y1, x2, y2, x3, y3, x4, y4});
}

bool TDrawDevice::DrawImage(DrawableImage* image, int32_t x, int32_t y, int32_t pattern,
                            int32_t effect) {
  if (image == nullptr) return false;
  const int32_t pw = image->DrawPatternWidth();
  const int32_t ph = image->DrawPatternHeight();
  return DrawPrepared(image, pattern, effect, kOpaqueWhite,
                      {x, y, int64_t{x} + pw, y, int64_t{x} + pw, int64_t{y} + ph, x, int64_t{y} + ph});
}

bool TDrawDevice::DrawImageColored(DrawableImage* image, int32_t x, int32_t y, uint32_t color,
                                   int32_t pattern, int32_t effect) {
  if (image == nullptr) return false;
  const int32_t pw = image->DrawPatternWidth();
  const int32_t ph = image->DrawPatternHeight();
  return DrawPrepared(image, pattern, effect, SwapRedBlue(color),
                      {x, y, int64_t{x} + pw, y, int64_t{x} + pw, int64_t{y} + ph, x, int64_t{y} + ph});
}

bool TDrawDevice::DrawImageScaled(DrawableImage* image, int32_t x, int32_t y, int32_t scale,
                                  uint32_t color, int32_t pattern, int32_t effect) {
  if (image == nullptr) return false;
  const int64_t sw = Div(int64_t{image->DrawPatternWidth()} * scale, 256);
  const int64_t sh = Div(int64_t{image->DrawPatternHeight()} * scale, 256);
  return DrawPrepared(image, pattern, effect, SwapRedBlue(color),
                      {x, y, x + sw, y, x + sw, y + sh, x, y + sh});
}

bool TDrawDevice::DrawImageStretched(DrawableImage* image, const DrawRect& r, uint32_t color,
                                     int32_t pattern, int32_t effect) {
  if (image == nullptr) return false;
  return DrawPrepared(image, pattern, effect, SwapRedBlue(color),
                      {r.Left, r.Top, r.Right, r.Top, r.Right, r.Bottom, r.Left, r.Bottom});
}

bool TDrawDevice::DrawImageRotated(DrawableImage* image, int32_t x, int32_t y, int32_t angle,
                                   int32_t scale, int32_t pattern, int32_t effect) {
  return DrawImageRotatedColored(image, x, y, angle, scale, 0xFFFFFFFFu, pattern, effect);
}

bool TDrawDevice::DrawImageRotatedColored(DrawableImage* image, int32_t x, int32_t y,
                                          int32_t angle, int32_t scale, uint32_t color,
                                          int32_t pattern, int32_t effect) {
  if (image == nullptr) return false;
  const auto sw = static_cast<int32_t>(Div(int64_t{image->DrawPatternWidth()} * scale, 256));
  const auto sh = static_cast<int32_t>(Div(int64_t{image->DrawPatternHeight()} * scale, 256));
  const RotationEntry& entry = rotation_cache_[static_cast<size_t>(RotationFor(sw, sh))];
  const double t = angle * 2.0 * std::numbers::pi / 256.0;
  std::array<int64_t, 4> px{}, py{};
  for (size_t i = 0; i < 4; ++i) {
    const PolarCorner& c = entry.Corners[i];
    px[i] = x + RoundEven(c.Radius * std::cos(t + c.Angle));
    py[i] = y + RoundEven(c.Radius * std::sin(t + c.Angle));
  }
  // Cache order is TL, TR, BL, BR; quads take TL, TR, BR, BL.
  return DrawPrepared(image, pattern, effect, SwapRedBlue(color),
                      {px[0], py[0], px[1], py[1], px[3], py[3], px[2], py[2]});
}

// --- Rotation cache -------------------------------------------------------------------

int32_t TDrawDevice::FindRotation(int32_t width, int32_t height) const {
  for (int32_t i = 0; i < rotation_count_; ++i) {
    const RotationEntry& e = rotation_cache_[static_cast<size_t>(i)];
    if (e.Width == width && e.Height == height) return i;
  }
  return -1;
}

std::array<int32_t, 2> TDrawDevice::RotationKey(int32_t index) const {
  if (index < 0 || index >= rotation_count_) return {0, 0};
  const RotationEntry& e = rotation_cache_[static_cast<size_t>(index)];
  return {e.Width, e.Height};
}

void TDrawDevice::ShiftRotationCache() {
  // Entries 0..2046 move up one place; the one at 2047 is dropped.
  for (size_t i = kRotationCacheSize - 1; i > 0; --i) rotation_cache_[i] = rotation_cache_[i - 1];
}

void TDrawDevice::BuildRotation(int32_t width, int32_t height, RotationEntry& entry) const {
  const int32_t hw = width / 2;
  const int32_t hh = height / 2;
  // Offsets of the corners from the centre when the pattern stands upright (angle 64).
  std::array<std::pair<int32_t, int32_t>, 4> offsets;
  if (width >= 2 && height >= 2) {
    offsets = {{{-hw, -hh}, {hw, -(height - hh)}, {-(width - hw), hh}, {width - hw, height - hh}}};
  } else {
    // Below two pixels the corners simply bound the (tiny) rectangle.
    offsets = {{{-hw, -hh}, {width - hw, -hh}, {-hw, height - hh}, {width - hw, height - hh}}};
  }
  entry.Width = width;
  entry.Height = height;
  for (size_t i = 0; i < 4; ++i) {
    const double ox = offsets[i].first;
    const double oy = offsets[i].second;
    double theta = std::atan2(oy, ox) - std::numbers::pi / 2.0;
    while (theta < 0.0) theta += 2.0 * std::numbers::pi;
    while (theta >= 2.0 * std::numbers::pi) theta -= 2.0 * std::numbers::pi;
    entry.Corners[i].Angle = theta;
    entry.Corners[i].Radius = std::sqrt(ox * ox + oy * oy);
  }
}

int32_t TDrawDevice::RotationFor(int32_t width, int32_t height) {
  const int32_t found = FindRotation(width, height);
  if (found >= 0) return found;
  int32_t index;
  if (rotation_count_ < kRotationCacheSize) {
    index = rotation_count_++;
  } else {
    ShiftRotationCache();
    index = 0;
  }
  BuildRotation(width, height, rotation_cache_[static_cast<size_t>(index)]);
  return index;
}

// --- Errors ---------------------------------------------------------------------------

std::string TDrawDevice::ErrorText(int32_t code) {
  switch (code) {
    case -1: return "Invalid call";
    case -2: return "Could not initialize the display system";
    case -3: return "Could not enumerate video modes or video mode not supported";
    case -4: return "Could not retrieve the current display mode";
    case -5: return "Could not create the display device";
    case -6: return "Could not create vertex buffer";
    case -7: return "Could not retreive device capabilities";
    case -8: return "Failed to retreive adapter identifier";
    case -9: return "Failed to lock vertex buffer";
    case -10: return "Failed to set rendering parameters";
    default: return "Internal error [" + std::to_string(code) + "]";
  }
}

// --- Textures and read-back -------------------------------------------------------------

TextureHandle TDrawDevice::CreateTexture(int32_t width, int32_t height, int32_t format) {
  if (!initialised_ || width <= 0 || height <= 0) return kNoTexture;
  return backend_->CreateTexture(width, height, format);
}

void TDrawDevice::DestroyTexture(TextureHandle texture) {
  if (!initialised_ || texture == kNoTexture) return;
  // A texture may still have quads waiting or be bound: draw them before it goes.
  if (texture == current_texture_) {
    Flush();
    backend_->BindTexture(kNoTexture);
    current_texture_ = kNoTexture;
  }
  backend_->DestroyTexture(texture);
}

bool TDrawDevice::LockTexture(TextureHandle texture, LockedArea& area) {
  if (!initialised_ || texture == kNoTexture) return false;
  return backend_->LockTexture(texture, area);
}

bool TDrawDevice::UnlockTexture(TextureHandle texture) {
  if (!initialised_ || texture == kNoTexture) return false;
  return backend_->UnlockTexture(texture);
}

bool TDrawDevice::ReadFrame(std::vector<uint32_t>& pixels, int32_t& width, int32_t& height) {
  if (!initialised_) return false;
  return backend_->ReadFrame(pixels, width, height);
}

bool TDrawDevice::SaveScreenshot(const std::string& png_path) {
  std::vector<uint32_t> pixels;
  int32_t w = 0, h = 0;
  if (!ReadFrame(pixels, w, h)) return false;
  return WritePng(png_path, pixels.data(), w, h);
}

}  // namespace tarq

#pragma once
// TDrawDevice: the one drawing device of the game. Everything on screen (tiles,
// sprites, text, fades, menus) is drawn as screen-space quads through it, textured or
// not, with one of ten blend effects. It batches quads to keep back-end calls few,
// caches the corner geometry of rotated sprites, turns failures into numbered codes
// with fixed texts and reports a lost device through OnDeviceLost.
//
// Colours given to drawing operations are 0xAABBGGRR (red in the lowest byte); the
// device swaps red and blue before use. An effect's low byte picks the blend:
//   0 S              1 S + D              2 S*As + D*(1-As)   3 S*As + D
//   4 D*S            5 S*S + D*(1-S)      6 S*S + D           7 D*(1-S)
//   8 D*(1-As)       9 as 2               above 9: the previous blend stays
// 0x100 takes the source alpha from texel x vertex colour (else the texel alone);
// 0x200 mirrors the pattern left-to-right, 0x400 flips it top-to-bottom.
// Angles are 1/256 turns, scales 1/256 (256 = natural size).
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "gfx/draw_backend.h"
#include "gfx/mode_list.h"

namespace tarq {

// TBitDepth
enum TBitDepth : int32_t { bd_Low = 0, bd_High = 1 };
// TZBuffer
enum TZBuffer : int32_t { zb_None = 0, zb_16bit = 1, zb_32bit = 2 };

// Effect flag bits.
enum : int32_t {
  kEffectVertexAlpha = 0x100,
  kEffectMirror = 0x200,
  kEffectFlip = 0x400,
};

// Error codes of Initialize, Finalize and Flush (texts through ErrorText).
enum : int32_t {
  kDrawInvalidCall = -1,
  kDrawNoDisplaySystem = -2,
  kDrawNoVideoMode = -3,
  kDrawNoDisplayMode = -4,
  kDrawNoDevice = -5,
  kDrawNoVertexBuffer = -6,
  kDrawNoCapabilities = -7,
  kDrawNoAdapterIdentifier = -8,
  kDrawVertexLockFailed = -9,
  kDrawRenderStateFailed = -10,
};

// The four vertices every drawing operation fills before queueing, by the pattern
// corner they carry.
enum QuadCorner : int32_t { kCornerTL = 0, kCornerTR = 1, kCornerBL = 2, kCornerBR = 3 };
struct QuadTemplate {
  std::array<DrawVertex, 4> Corner{};
};

// What an image must provide to be drawn (TPatternImage implements it).
class DrawableImage {
 public:
  virtual ~DrawableImage() = default;
  // Size of one pattern in pixels.
  virtual int32_t DrawPatternWidth() const = 0;
  virtual int32_t DrawPatternHeight() const = 0;
  // Picks pattern `pattern` (clamped to the image's range) and writes the texture
  // coordinates of its corners into quad.Corner[kCornerTL..kCornerBR].u/.v (with
  // left/right exchanged when mirror, top/bottom when flip), and the texture that
  // holds it into `texture`. False (nothing written) for an image that is not loaded
  // or has no patterns.
  virtual bool SelectPattern(int32_t pattern, bool mirror, bool flip, TextureHandle& texture,
                             QuadTemplate& quad) = 0;
};

// Simple integer rectangle; Right and Bottom are exclusive where a rectangle bounds
// pixels (SetViewport), and are corner coordinates for FillRect / DrawImageStretched.
struct DrawRect {
  int32_t Left = 0, Top = 0, Right = 0, Bottom = 0;
};

class TDrawDevice {
 public:
  static constexpr int32_t kBatchQuads = 42;
  static constexpr int32_t kRotationCacheSize = 2048;

  TDrawDevice();
  ~TDrawDevice();  // calls Finalize
  TDrawDevice(const TDrawDevice&) = delete;
  TDrawDevice& operator=(const TDrawDevice&) = delete;

  // --- Properties. Width, Height, BackBufferCount, BitDepth, FullScreen, ZBuffer,
  // VSync, RefreshRate and CustomRefreshRate are ignored while initialised. ----------
  bool Antialias() const { return antialias_; }
  void SetAntialias(bool value);  // applies at once (flushing) when initialised
  bool Dithering() const { return dithering_; }
  void SetDithering(bool value);  // applies at once (flushing) when initialised
  bool Hardware() const { return hardware_; }
  void SetHardware(bool value) { hardware_ = value; }
  bool FullScreen() const { return full_screen_; }
  void SetFullScreen(bool value);
  int32_t Width() const { return width_; }
  void SetWidth(int32_t value);
  int32_t Height() const { return height_; }
  void SetHeight(int32_t value);
  int32_t BackBufferCount() const { return back_buffer_count_; }
  void SetBackBufferCount(int32_t value);
  TBitDepth BitDepth() const { return bit_depth_; }
  void SetBitDepth(TBitDepth value);
  TZBuffer ZBuffer() const { return z_buffer_; }
  void SetZBuffer(TZBuffer value);
  bool VSync() const { return vsync_; }
  void SetVSync(bool value);
  TRefreshRate RefreshRate() const { return refresh_rate_; }
  void SetRefreshRate(TRefreshRate value);  // anything but rr_custom zeroes CustomRefreshRate
  int32_t CustomRefreshRate() const { return custom_refresh_rate_; }
  void SetCustomRefreshRate(int32_t value);  // accepted only while RefreshRate is rr_custom

  // Raised (with this device) when Present finds the device lost.
  std::function<void(TDrawDevice&)> OnDeviceLost;

  // The owner window. A hardware device needs one; a software device without a
  // window draws off-screen only (headless runs and tests).
  SDL_Window* Window() const { return window_; }
  void SetWindow(SDL_Window* window) { window_ = window; }

  // Chooses the back end at Initialize; null uses the registered hardware back end
  // (Hardware true) or the software one. Tests pass a recording back end here.
  void SetBackendFactory(std::function<std::unique_ptr<DrawBackend>(bool hardware)> factory);
  // Where full-screen modes come from (SDL's when never set).
  void SetModeSource(std::shared_ptr<DisplayModeSource> source) { mode_source_ = std::move(source); }

  // --- Lifecycle. --------------------------------------------------------------------
  int32_t Initialize();
  int32_t Finalize();
  bool ResetDevice();
  bool Initialized() const { return initialised_; }
  // True when Initialize ended up on the software back end (Hardware false, or no
  // hardware back end could be had).
  bool UsingSoftware() const { return using_software_; }

  // --- Frame. ------------------------------------------------------------------------
  bool BeginScene();
  bool Clear(uint32_t color);
  bool EndScene();
  bool Present();
  void SetViewport(const DrawRect& rect);

  // --- Drawing. Corners are integer pixels of the target. -----------------------------
  bool FillQuad(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t x3, int32_t y3, int32_t x4,
                int32_t y4, uint32_t color, int32_t effect);
  bool FillRect(const DrawRect& rect, uint32_t color, int32_t effect);
  bool FillBox(int32_t x, int32_t y, int32_t width, int32_t height, uint32_t color, int32_t effect);
  bool DrawQuad(DrawableImage* image, int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t x3,
                int32_t y3, int32_t x4, int32_t y4, int32_t pattern, int32_t effect);
  bool DrawQuadColored(DrawableImage* image, int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                       int32_t x3, int32_t y3, int32_t x4, int32_t y4, uint32_t color,
                       int32_t pattern, int32_t effect);
  bool DrawImage(DrawableImage* image, int32_t x, int32_t y, int32_t pattern, int32_t effect);
  bool DrawImageColored(DrawableImage* image, int32_t x, int32_t y, uint32_t color, int32_t pattern,
                        int32_t effect);
  bool DrawImageScaled(DrawableImage* image, int32_t x, int32_t y, int32_t scale, uint32_t color,
                       int32_t pattern, int32_t effect);
  bool DrawImageStretched(DrawableImage* image, const DrawRect& rect, uint32_t color,
                          int32_t pattern, int32_t effect);
  bool DrawImageRotated(DrawableImage* image, int32_t x, int32_t y, int32_t angle, int32_t scale,
                        int32_t pattern, int32_t effect);
  bool DrawImageRotatedColored(DrawableImage* image, int32_t x, int32_t y, int32_t angle,
                               int32_t scale, uint32_t color, int32_t pattern, int32_t effect);

  static std::string ErrorText(int32_t code);

  // --- Textures for images (TPatternImage). Fail (0 / false) while uninitialised. ---
  TextureHandle CreateTexture(int32_t width, int32_t height, int32_t format);
  void DestroyTexture(TextureHandle texture);
  bool LockTexture(TextureHandle texture, LockedArea& area);
  bool UnlockTexture(TextureHandle texture);

  // --- Read-back: the frame as 0xFFRRGGBB pixels, and a PNG screenshot of it. --------
  bool ReadFrame(std::vector<uint32_t>& pixels, int32_t& width, int32_t& height);
  bool SaveScreenshot(const std::string& png_path);

  // --- Rotation cache (exposed for tests). -------------------------------------------
  // First used entry keyed (width, height), or -1.
  int32_t FindRotation(int32_t width, int32_t height) const;
  int32_t RotationCacheCount() const { return rotation_count_; }
  // Key of entry `index` (0 .. RotationCacheCount()-1).
  std::array<int32_t, 2> RotationKey(int32_t index) const;

  // Number of quads waiting in the batch.
  int32_t PendingQuads() const { return pending_; }
  // The back end in use (null while uninitialised).
  DrawBackend* Backend() const { return backend_.get(); }

 private:
  struct PolarCorner {
    double Angle = 0;
    double Radius = 0;
  };
  struct RotationEntry {
    int32_t Width = 0, Height = 0;
    std::array<PolarCorner, 4> Corners{};  // top-left, top-right, bottom-left, bottom-right
  };

  bool SetTexture(DrawableImage* image, int32_t pattern, int32_t effect);
  bool SetEffect(int32_t effect);
  void QueueQuad();
  int32_t Flush();
  void SetCorners(float x1, float y1, float x2, float y2, float x3, float y3, float x4, float y4);
  void SetColour(uint32_t argb);
  bool DrawPrepared(DrawableImage* image, int32_t pattern, int32_t effect, uint32_t argb,
                    const std::array<int64_t, 8>& corners);
  void ShiftRotationCache();
  void BuildRotation(int32_t width, int32_t height, RotationEntry& entry) const;
  int32_t RotationFor(int32_t width, int32_t height);
  void ReleaseAll();

  // properties
  bool antialias_ = true;
  bool dithering_ = false;
  bool hardware_ = true;
  bool full_screen_ = false;
  int32_t width_ = 640;
  int32_t height_ = 480;
  int32_t back_buffer_count_ = 1;
  TBitDepth bit_depth_ = bd_Low;
  TZBuffer z_buffer_ = zb_None;
  bool vsync_ = false;
  TRefreshRate refresh_rate_ = rr_default;
  int32_t custom_refresh_rate_ = 0;
  SDL_Window* window_ = nullptr;

  std::function<std::unique_ptr<DrawBackend>(bool)> factory_;
  std::shared_ptr<DisplayModeSource> mode_source_;

  // state
  bool initialised_ = false;
  bool using_software_ = false;
  std::unique_ptr<DrawBackend> backend_;
  BackendSettings settings_;
  QuadTemplate quad_;
  std::array<DrawVertex, kBatchQuads * 6> batch_{};
  int32_t pending_ = 0;
  TextureHandle current_texture_ = kNoTexture;
  int32_t current_effect_ = 0;

  std::vector<RotationEntry> rotation_cache_;  // kRotationCacheSize entries
  int32_t rotation_count_ = 0;
};

// Base of components that draw through a TDrawDevice (the bitmap fonts).
class TCustomDrawComponent {
 public:
  virtual ~TCustomDrawComponent() = default;
  TDrawDevice* DrawDevice = nullptr;
};

}  // namespace tarq

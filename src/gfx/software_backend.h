#pragma once
// The software reference rasteriser: draws exactly what the OpenGL back end draws,
// with no GPU, into a 32-bit buffer. Used for tests, headless screenshots and as the
// fallback when no OpenGL context can be had. Deterministic: the same calls give the
// same pixels on every machine.
//
// Pixels are 0xFFRRGGBB words. With LowBitDepth every written pixel is quantised to
// RGB565 (and expanded back), so the picture looks, and blends, like a 16-bit target.
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

#include "gfx/draw_backend.h"

struct SDL_Renderer;
struct SDL_Texture;

namespace tarq {

struct SpanSetup;

class SoftwareBackend : public DrawBackend {
 public:
  SoftwareBackend();
  ~SoftwareBackend() override;

  int32_t OpenDisplay() override;
  int32_t CreateDevice(const BackendSettings& settings) override;
  void Close() override;
  bool Reset() override;

  TextureHandle CreateTexture(int32_t width, int32_t height, int32_t format) override;
  void DestroyTexture(TextureHandle texture) override;
  bool LockTexture(TextureHandle texture, LockedArea& area) override;
  bool UnlockTexture(TextureHandle texture) override;

  bool BindTexture(TextureHandle texture) override;
  bool SetBlend(int32_t blend) override;
  bool SetAlphaSource(bool vertex_alpha) override;
  bool SetFilter(bool linear) override;
  bool SetDithering(bool dithering) override;
  bool SetViewport(int32_t x, int32_t y, int32_t width, int32_t height) override;

  bool BeginScene() override;
  bool EndScene() override;
  bool UploadVertices(const DrawVertex* vertices, int32_t count) override;
  bool DrawPrimitives(Primitive primitive, int32_t vertex_count) override;
  bool Clear(uint32_t argb) override;
  PresentResult Present() override;
  bool ReadFrame(std::vector<uint32_t>& pixels, int32_t& width, int32_t& height) override;

  // Four-pixel (SSE2) kernels on or off; the pictures are the same either way.
  void SetVectorKernels(bool on) { vector_kernels_ = on; }

  // The target itself (Width x Height words), for callers that avoid a copy.
  const uint32_t* Pixels() const { return target_.data(); }
  int32_t TargetWidth() const { return width_; }
  int32_t TargetHeight() const { return height_; }

  struct Texture {
    int32_t Width = 0, Height = 0, Format = 0;
    std::vector<uint8_t> Texels;  // in the texture's own format (what Lock gives)
    // Expanded 0xAARRGGBB copy that drawing samples, with a one-texel border that
    // repeats the edge texels (so filtering at the edges needs no per-sample clamps).
    std::vector<uint32_t> Padded;
    bool Locked = false;
    const uint32_t* Origin() const { return Padded.data() + Width + 3; }  // texel (0, 0)
    bool Expand();  // refreshes Padded from Texels
  };

 private:
  struct TriangleSetup;
  void DrawTriangle(const DrawVertex& a, const DrawVertex& b, const DrawVertex& c);
  bool SetUpTriangle(const DrawVertex& a, const DrawVertex& b, const DrawVertex& c, TriangleSetup& t) const;
  bool TriangleRow(const TriangleSetup& t, int32_t row, int32_t& i0, int32_t& i1) const;
  void StartSpan(TriangleSetup& t, int32_t row, int32_t i0) const;
  void DrawTriangleRows(TriangleSetup& t);
  void DrawTrianglePair(const DrawVertex& a, const DrawVertex& b, const DrawVertex& c, const DrawVertex& d,
                        const DrawVertex& e, const DrawVertex& f);
  void DrawSpanPair(int32_t y, int32_t x0, int32_t xm, int32_t x1, SpanSetup& a, SpanSetup& b);
  bool FilteredInside(const SpanSetup& p, int32_t n) const;
  bool DrawRect(const DrawVertex& tl, const DrawVertex& tr, const DrawVertex& bl,
                const DrawVertex& br);
  void DrawSpan(int32_t y, int32_t x0, int32_t x1, SpanSetup& p);
  uint32_t Modulator(uint32_t colour) const;
  void QuantiseSpan(uint32_t* p, int32_t n) const;

  bool open_ = false;
  int32_t width_ = 0, height_ = 0;
  bool low_bit_depth_ = false;
  bool vector_kernels_ = true;
  bool linear_ = true;
  int32_t blend_ = 0;
  bool vertex_alpha_ = false;
  int32_t clip_x0_ = 0, clip_y0_ = 0, clip_x1_ = 0, clip_y1_ = 0;  // [x0, x1) x [y0, y1)
  std::vector<uint32_t> target_;
  std::vector<DrawVertex> vertices_;
  std::vector<uint32_t> row_blend_;  // vertically blended texel row of a span
  std::unordered_map<TextureHandle, std::unique_ptr<Texture>> textures_;
  TextureHandle next_texture_ = 1;
  Texture* bound_ = nullptr;

  SDL_Window* window_ = nullptr;
  SDL_Renderer* renderer_ = nullptr;
  SDL_Texture* screen_ = nullptr;
};

// Expands n texels of a texture format to 0xAARRGGBB (alpha 255 where the format has
// none; channels widened by round(level * 255 / max)). False for unknown formats.
bool ExpandTexels(int32_t format, const uint8_t* src, uint32_t* dst, int32_t n);
// Bytes per texel of a texture format, 0 when unknown.
int32_t TexelBytes(int32_t format);

}  // namespace tarq

#pragma once
// The OpenGL 3.3 core back end of the drawing device (SDL2 for the context, libepoxy
// for the entry points).
//
// Frames are drawn into an off-screen target of the device's size (640 x 480 for the
// game): RGBA8, or RGB565 with low bit depth so the picture really has 16-bit colour.
// Present scales that target into the window, centred with black bars: by a whole
// factor when that keeps nearly all of the window, otherwise by the largest
// aspect-preserving factor. Without an owner window the back end makes a hidden one
// for its context and Present only finishes the frame (tests, benchmarks).
//
// Textures keep a copy of their texels in their own format: Lock hands it out and
// Unlock expands it to 32 bits and uploads it, so every format samples exactly as the
// software back end samples it, and the contents survive anything the context does.
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

#include "gfx/draw_backend.h"

namespace tarq {

class GlBackend : public DrawBackend {
 public:
  GlBackend();
  ~GlBackend() override;
  GlBackend(const GlBackend&) = delete;
  GlBackend& operator=(const GlBackend&) = delete;

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

  // Waits until the GPU has finished every command given so far (benchmarks).
  void Finish();
  // The GL renderer string of the context ("llvmpipe ...", a GPU name), empty if none.
  const char* RendererName() const;

  // Where Present puts the frame in a drawable of the given size: x, y, width, height
  // in the drawable's pixels (y from the top), and whether the scale is a whole one.
  struct Placement {
    int32_t X = 0, Y = 0, Width = 0, Height = 0;
    bool Integer = false;
  };
  static Placement PlaceFrame(int32_t frame_width, int32_t frame_height, int32_t drawable_width,
                              int32_t drawable_height);

 private:
  struct Texture {
    uint32_t Id = 0;
    int32_t Width = 0, Height = 0, Format = 0;
    std::vector<uint8_t> Texels;  // in the texture's own format, rows from the top
    bool Locked = false;
  };

  bool MakeCurrent();
  bool CreateObjects(const BackendSettings& settings);
  void DestroyObjects();
  void ApplyScissor();
  void ChooseViewport();
  void ApplyViewport();
  Texture* Find(TextureHandle texture);

  bool display_open_ = false;
  bool video_initialised_here_ = false;
  bool device_ready_ = false;
  void* window_ = nullptr;  // SDL_Window*: the owner's, or our hidden one
  bool own_window_ = false;
  void* context_ = nullptr;  // SDL_GLContext
  int32_t width_ = 0, height_ = 0;
  bool low_bit_depth_ = false;
  bool has_depth_ = false;

  uint32_t program_ = 0;
  int32_t uniform_scale_ = -1, uniform_textured_ = -1, uniform_vertex_alpha_ = -1, uniform_sampler_ = -1,
          uniform_linear_ = -1;
  uint32_t vao_ = 0, vbo_ = 0, sampler_ = 0;
  uint32_t framebuffer_ = 0, colour_target_ = 0, depth_target_ = 0;

  int32_t viewport_x_ = 0, viewport_y_ = 0, viewport_w_ = 0, viewport_h_ = 0;
  int32_t clip_x_ = 0, clip_y_ = 0, clip_w_ = 0, clip_h_ = 0;
  TextureHandle bound_ = kNoTexture;
  bool textured_ = false;
  int32_t ring_next_ = 0;       // next free vertex of the vertex buffer
  int32_t uploaded_first_ = 0;  // where the last upload went
  int32_t uploaded_count_ = 0;

  std::unordered_map<TextureHandle, std::unique_ptr<Texture>> textures_;
  TextureHandle next_texture_ = 1;
  std::vector<uint8_t> staging_;  // 32-bit copy of a texture on its way to GL
};

}  // namespace tarq

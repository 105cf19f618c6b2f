#include "gfx/gl_backend.h"

#include <SDL.h>
#include <epoxy/gl.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "gfx/draw_device.h"
#include "gfx/pixel_convert.h"

namespace tarq {
namespace {

constexpr int32_t kMaxVertices = 256;
// Vertices go into one large buffer one batch after another and the buffer is
// renewed only when full: drivers then neither wait for earlier draws nor, as Mesa's
// llvmpipe does, pay for a new buffer object on every draw.
constexpr int32_t kRingVertices = 1 << 16;

// Vertices arrive in target pixels with y downwards. Target row 0 is stored as GL row
// 0, so read-back needs no flip and the scissor uses the same numbers as the viewport.
constexpr const char* kVertexShader = R"(#version 330 core
layout(location = 0) in vec2 position;
layout(location = 1) in vec4 colour;
layout(location = 2) in vec2 texcoord;
uniform vec2 origin;
uniform vec2 scale;
out vec4 v_colour;
out vec2 v_texcoord;
void main() {
  gl_Position = vec4((position - origin) * scale - 1.0, 0.0, 1.0);
  v_colour = colour;
  v_texcoord = texcoord;
}
)";

// Source colour = texel x vertex colour; source alpha = texel alpha, times the vertex
// alpha when the effect asks for it. Untextured quads use a white opaque texel.
//
// Texels are filtered here rather than by the sampler, with the reference
// rasteriser's own arithmetic: the texel position in 16.16 fixed point (rounded),
// 8-bit weights, each interpolation step truncated, columns before rows. So both back ends pick the same
// texels on ties and give the same filtered colours, and the picture does not depend
// on a GPU's filtering precision.
constexpr const char* kFragmentShader = R"(#version 330 core
in vec4 v_colour;
in vec2 v_texcoord;
uniform sampler2D image;
uniform bool textured;
uniform bool vertex_alpha;
uniform bool linear;
out vec4 result;

ivec4 Texel(ivec2 at, ivec2 size) {
  return ivec4(round(texelFetch(image, clamp(at, ivec2(0), size - 1), 0) * 255.0));
}
ivec4 Lerp(ivec4 a, ivec4 b, int f) { return (a * (256 - f) + b * f) >> 8; }

void main() {
  vec4 texel = vec4(1.0);
  if (textured) {
    ivec2 size = textureSize(image, 0);
    vec2 position = v_texcoord * vec2(size) - (linear ? 0.5 : 0.0);
    ivec2 fixed_point = ivec2(floor(clamp(position * 65536.0 + 0.5, -1073741824.0, 1073741824.0)));
    ivec2 first = fixed_point >> 16;
    if (linear) {
      ivec2 weight = (fixed_point >> 8) & 255;
      // Down each column first, then across, as the reference does.
      ivec4 left = Lerp(Texel(first, size), Texel(first + ivec2(0, 1), size), weight.y);
      ivec4 right = Lerp(Texel(first + ivec2(1, 0), size), Texel(first + ivec2(1, 1), size), weight.y);
      texel = vec4(Lerp(left, right, weight.x)) / 255.0;
    } else {
      texel = vec4(Texel(first, size)) / 255.0;
    }
  }
  float alpha = vertex_alpha ? texel.a * v_colour.a : texel.a;
  result = vec4(texel.rgb * v_colour.rgb, alpha);
}
)";

GLuint CompileShader(GLenum kind, const char* source) {
  const GLuint shader = glCreateShader(kind);
  if (shader == 0) return 0;
  glShaderSource(shader, 1, &source, nullptr);
  glCompileShader(shader);
  GLint ok = GL_FALSE;
  glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
  if (ok != GL_TRUE) {
    char log[1024] = {};
    glGetShaderInfoLog(shader, sizeof log - 1, nullptr, log);
    SDL_SetError("shader does not compile: %s", log);
    glDeleteShader(shader);
    return 0;
  }
  return shader;
}

// Source and destination factors of blends 1..9 (0 draws without blending).
struct BlendFactors {
  GLenum source, destination;
};
constexpr BlendFactors kBlendFactors[10] = {
    {GL_ONE, GL_ZERO},
    {GL_ONE, GL_ONE},
    {GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA},
    {GL_SRC_ALPHA, GL_ONE},
    {GL_ZERO, GL_SRC_COLOR},
    {GL_SRC_COLOR, GL_ONE_MINUS_SRC_COLOR},
    {GL_SRC_COLOR, GL_ONE},
    {GL_ZERO, GL_ONE_MINUS_SRC_COLOR},
    {GL_ZERO, GL_ONE_MINUS_SRC_ALPHA},
    {GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA},
};

SDL_Window* AsWindow(void* w) { return static_cast<SDL_Window*>(w); }

}  // namespace

GlBackend::GlBackend() = default;
GlBackend::~GlBackend() { Close(); }

int32_t GlBackend::OpenDisplay() {
  if (display_open_) return 0;
  if (SDL_WasInit(SDL_INIT_VIDEO) == 0) {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return kDrawNoDisplaySystem;
    video_initialised_here_ = true;
  }
  display_open_ = true;
  return 0;
}

int32_t GlBackend::CreateDevice(const BackendSettings& settings) {
  if (!display_open_ || device_ready_) return kDrawInvalidCall;
  if (settings.Width <= 0 || settings.Height <= 0) return kDrawNoDevice;
  width_ = settings.Width;
  height_ = settings.Height;
  low_bit_depth_ = settings.LowBitDepth;
  has_depth_ = settings.DepthBits > 0;

  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);

  if (settings.Window != nullptr) {
    window_ = settings.Window;
    own_window_ = false;
  } else {
    // No owner window (headless): a hidden one carries the context.
    window_ = SDL_CreateWindow("TARQ", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, width_, height_,
                               SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (window_ == nullptr) return kDrawNoDevice;
    own_window_ = true;
  }
  context_ = SDL_GL_CreateContext(AsWindow(window_));
  if (context_ == nullptr || epoxy_gl_version() < 33) {
    DestroyObjects();
    return kDrawNoDevice;
  }
  // Vertical sync where the device asks for it; a driver that cannot is not an error.
  SDL_GL_SetSwapInterval(settings.VSync ? 1 : 0);

  if (!CreateObjects(settings)) {
    DestroyObjects();
    return kDrawNoVertexBuffer;
  }
  device_ready_ = true;
  SetFilter(settings.LinearFilter);
  SetDithering(settings.Dithering);
  Reset();
  return 0;
}

bool GlBackend::CreateObjects(const BackendSettings& settings) {
  while (glGetError() != GL_NO_ERROR) {
  }
  const GLuint vs = CompileShader(GL_VERTEX_SHADER, kVertexShader);
  const GLuint fs = CompileShader(GL_FRAGMENT_SHADER, kFragmentShader);
  if (vs == 0 || fs == 0) {
    if (vs) glDeleteShader(vs);
    if (fs) glDeleteShader(fs);
    return false;
  }
  program_ = glCreateProgram();
  glAttachShader(program_, vs);
  glAttachShader(program_, fs);
  glLinkProgram(program_);
  glDeleteShader(vs);
  glDeleteShader(fs);
  GLint linked = GL_FALSE;
  glGetProgramiv(program_, GL_LINK_STATUS, &linked);
  if (linked != GL_TRUE) return false;
  uniform_scale_ = glGetUniformLocation(program_, "scale");
  const GLint uniform_origin = glGetUniformLocation(program_, "origin");
  uniform_textured_ = glGetUniformLocation(program_, "textured");
  uniform_vertex_alpha_ = glGetUniformLocation(program_, "vertex_alpha");
  uniform_sampler_ = glGetUniformLocation(program_, "image");
  uniform_linear_ = glGetUniformLocation(program_, "linear");
  glUseProgram(program_);
  ChooseViewport();
  glUniform2f(uniform_origin, static_cast<float>(viewport_x_), static_cast<float>(viewport_y_));
  glUniform2f(uniform_scale_, 2.0f / static_cast<float>(viewport_w_), 2.0f / static_cast<float>(viewport_h_));
  glUniform1i(uniform_sampler_, 0);

  // The vertex layout the device builds: x, y, z, rhw, colour 0xAARRGGBB, u, v.
  glGenVertexArrays(1, &vao_);
  glBindVertexArray(vao_);
  glGenBuffers(1, &vbo_);
  glBindBuffer(GL_ARRAY_BUFFER, vbo_);
  glBufferData(GL_ARRAY_BUFFER, kRingVertices * sizeof(DrawVertex), nullptr, GL_STREAM_DRAW);
  ring_next_ = 0;
  glEnableVertexAttribArray(0);
  glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, sizeof(DrawVertex),
                        reinterpret_cast<const void*>(offsetof(DrawVertex, x)));
  glEnableVertexAttribArray(1);
  // GL_BGRA size reads the little-endian bytes B, G, R, A into (r, g, b, a).
  glVertexAttribPointer(1, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, sizeof(DrawVertex),
                        reinterpret_cast<const void*>(offsetof(DrawVertex, colour)));
  glEnableVertexAttribArray(2);
  glVertexAttribPointer(2, 2, GL_FLOAT, GL_FALSE, sizeof(DrawVertex),
                        reinterpret_cast<const void*>(offsetof(DrawVertex, u)));

  // Texels are read with texelFetch and filtered by the shader; the sampler only has
  // to leave them alone.
  glGenSamplers(1, &sampler_);
  glSamplerParameteri(sampler_, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  glSamplerParameteri(sampler_, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  glSamplerParameteri(sampler_, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glSamplerParameteri(sampler_, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glBindSampler(0, sampler_);
  glActiveTexture(GL_TEXTURE0);

  // The off-screen target.
  glGenRenderbuffers(1, &colour_target_);
  glBindRenderbuffer(GL_RENDERBUFFER, colour_target_);
  glRenderbufferStorage(GL_RENDERBUFFER, low_bit_depth_ ? GL_RGB565 : GL_RGBA8, width_, height_);
  glGenFramebuffers(1, &framebuffer_);
  glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour_target_);
  if (has_depth_) {
    glGenRenderbuffers(1, &depth_target_);
    glBindRenderbuffer(GL_RENDERBUFFER, depth_target_);
    glRenderbufferStorage(GL_RENDERBUFFER,
                          settings.DepthBits >= 24 ? GL_DEPTH_COMPONENT24 : GL_DEPTH_COMPONENT16, width_,
                          height_);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth_target_);
  }
  if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) return false;

  glDisable(GL_CULL_FACE);
  glDisable(GL_DEPTH_TEST);
  glEnable(GL_SCISSOR_TEST);
  ApplyViewport();
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glPixelStorei(GL_PACK_ALIGNMENT, 4);
  glClearColor(0, 0, 0, 1);
  glClearDepth(1.0);
  glClear(GL_COLOR_BUFFER_BIT | (has_depth_ ? GL_DEPTH_BUFFER_BIT : 0));
  return glGetError() == GL_NO_ERROR;
}

void GlBackend::DestroyObjects() {
  if (context_ != nullptr && MakeCurrent()) {
    for (auto& [handle, texture] : textures_) glDeleteTextures(1, &texture->Id);
    if (program_) glDeleteProgram(program_);
    if (vbo_) glDeleteBuffers(1, &vbo_);
    if (vao_) glDeleteVertexArrays(1, &vao_);
    if (sampler_) glDeleteSamplers(1, &sampler_);
    if (framebuffer_) glDeleteFramebuffers(1, &framebuffer_);
    if (colour_target_) glDeleteRenderbuffers(1, &colour_target_);
    if (depth_target_) glDeleteRenderbuffers(1, &depth_target_);
  }
  textures_.clear();
  program_ = vbo_ = vao_ = sampler_ = framebuffer_ = colour_target_ = depth_target_ = 0;
  if (context_ != nullptr) {
    if (SDL_GL_GetCurrentContext() == context_) SDL_GL_MakeCurrent(nullptr, nullptr);
    SDL_GL_DeleteContext(context_);
    context_ = nullptr;
  }
  if (own_window_ && window_ != nullptr) SDL_DestroyWindow(AsWindow(window_));
  window_ = nullptr;
  own_window_ = false;
  bound_ = kNoTexture;
}

void GlBackend::Close() {
  DestroyObjects();
  device_ready_ = false;
  if (video_initialised_here_) SDL_QuitSubSystem(SDL_INIT_VIDEO);
  video_initialised_here_ = false;
  display_open_ = false;
}

bool GlBackend::MakeCurrent() {
  if (context_ == nullptr) return false;
  if (SDL_GL_GetCurrentContext() == context_) return true;
  return SDL_GL_MakeCurrent(AsWindow(window_), context_) == 0;
}

bool GlBackend::Reset() {
  if (!device_ready_ || !MakeCurrent()) return false;
  glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
  ApplyViewport();
  SetBlend(kBlendNone);
  SetAlphaSource(false);
  textured_ = true;  // forces the uniform to be written
  BindTexture(kNoTexture);
  return SetViewport(0, 0, width_, height_);
}

// --- Textures ---------------------------------------------------------------------

GlBackend::Texture* GlBackend::Find(TextureHandle texture) {
  const auto it = textures_.find(texture);
  return it == textures_.end() ? nullptr : it->second.get();
}

TextureHandle GlBackend::CreateTexture(int32_t width, int32_t height, int32_t format) {
  const int32_t bytes = FormatBytesPerTexel(format);
  if (!device_ready_ || bytes == 0 || width <= 0 || height <= 0 || !MakeCurrent()) {
    return kNoTexture;
  }
  GLint max_size = 0;
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &max_size);
  if (width > max_size || height > max_size) return kNoTexture;

  auto texture = std::make_unique<Texture>();
  texture->Width = width;
  texture->Height = height;
  texture->Format = format;
  texture->Texels.assign(
      static_cast<size_t>(width) * static_cast<size_t>(height) * static_cast<size_t>(bytes), 0);
  while (glGetError() != GL_NO_ERROR) {
  }
  glGenTextures(1, &texture->Id);
  glBindTexture(GL_TEXTURE_2D, texture->Id);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_BGRA, GL_UNSIGNED_BYTE, nullptr);
  const bool ok = glGetError() == GL_NO_ERROR;
  // Put back whatever the device had bound.
  const Texture* bound = Find(bound_);
  glBindTexture(GL_TEXTURE_2D, bound ? bound->Id : 0);
  if (!ok) {
    glDeleteTextures(1, &texture->Id);
    return kNoTexture;
  }
  const TextureHandle handle = next_texture_++;
  Texture* raw = texture.get();
  textures_.emplace(handle, std::move(texture));
  // Start from defined contents (zero texels), the same as the software back end.
  raw->Locked = true;
  UnlockTexture(handle);
  return handle;
}

void GlBackend::DestroyTexture(TextureHandle texture) {
  Texture* t = Find(texture);
  if (t == nullptr) return;
  if (MakeCurrent()) glDeleteTextures(1, &t->Id);
  if (bound_ == texture) bound_ = kNoTexture;
  textures_.erase(texture);
}

bool GlBackend::LockTexture(TextureHandle texture, LockedArea& area) {
  Texture* t = Find(texture);
  if (t == nullptr || t->Locked) return false;
  t->Locked = true;
  area.Pitch = t->Width * FormatBytesPerTexel(t->Format);
  area.Bits = t->Texels.data();
  return true;
}

bool GlBackend::UnlockTexture(TextureHandle texture) {
  Texture* t = Find(texture);
  if (t == nullptr || !t->Locked || !MakeCurrent()) return false;
  t->Locked = false;
  const size_t texels = static_cast<size_t>(t->Width) * static_cast<size_t>(t->Height);
  staging_.resize(texels * 4);
  ExpandRow(t->Format, t->Texels.data(), staging_.data(), texels);
  glBindTexture(GL_TEXTURE_2D, t->Id);
  glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, t->Width, t->Height, GL_BGRA, GL_UNSIGNED_BYTE, staging_.data());
  const Texture* bound = Find(bound_);
  glBindTexture(GL_TEXTURE_2D, bound ? bound->Id : 0);
  return true;
}

// --- Render state -------------------------------------------------------------------

bool GlBackend::BindTexture(TextureHandle texture) {
  if (!device_ready_ || !MakeCurrent()) return false;
  const Texture* t = texture == kNoTexture ? nullptr : Find(texture);
  if (texture != kNoTexture && t == nullptr) return false;
  glBindTexture(GL_TEXTURE_2D, t ? t->Id : 0);
  // Uniform changes cost some drivers a state update per draw: only when it changes.
  if ((t != nullptr) != textured_) {
    textured_ = t != nullptr;
    glUniform1i(uniform_textured_, textured_ ? 1 : 0);
  }
  bound_ = texture;
  return true;
}

bool GlBackend::SetBlend(int32_t blend) {
  if (!device_ready_ || blend < 0 || blend > 9 || !MakeCurrent()) return false;
  if (blend == kBlendNone) {
    glDisable(GL_BLEND);
  } else {
    glEnable(GL_BLEND);
    glBlendFunc(kBlendFactors[blend].source, kBlendFactors[blend].destination);
  }
  return true;
}

bool GlBackend::SetAlphaSource(bool vertex_alpha) {
  if (!device_ready_ || !MakeCurrent()) return false;
  glUniform1i(uniform_vertex_alpha_, vertex_alpha ? 1 : 0);
  return true;
}

bool GlBackend::SetFilter(bool linear) {
  if (!device_ready_ || !MakeCurrent()) return false;
  glUniform1i(uniform_linear_, linear ? 1 : 0);
  return true;
}

bool GlBackend::SetDithering(bool dithering) {
  if (!device_ready_ || !MakeCurrent()) return false;
  if (dithering) {
    glEnable(GL_DITHER);
  } else {
    glDisable(GL_DITHER);
  }
  return true;
}

bool GlBackend::SetViewport(int32_t x, int32_t y, int32_t width, int32_t height) {
  if (!device_ready_ || !MakeCurrent()) return false;
  // Clipping only: vertices stay in target pixels, so the GL viewport keeps covering
  // the whole target and the scissor does the limiting.
  const int64_t x0 = std::clamp<int64_t>(x, 0, width_);
  const int64_t y0 = std::clamp<int64_t>(y, 0, height_);
  const int64_t x1 = std::clamp<int64_t>(static_cast<int64_t>(x) + width, x0, width_);
  const int64_t y1 = std::clamp<int64_t>(static_cast<int64_t>(y) + height, y0, height_);
  clip_x_ = static_cast<int32_t>(x0);
  clip_y_ = static_cast<int32_t>(y0);
  clip_w_ = static_cast<int32_t>(x1 - x0);
  clip_h_ = static_cast<int32_t>(y1 - y0);
  ApplyScissor();
  return true;
}

void GlBackend::ApplyScissor() { glScissor(clip_x_, clip_y_, clip_w_, clip_h_); }

void GlBackend::ChooseViewport() {
  // The GL viewport reaches far beyond the target so that sprites hanging over its
  // edges are not clipped into new, rounded vertices: clipping would move their
  // edges by a hair and change which pixels on an edge they cover. With a
  // power-of-two size and a whole-pixel origin the mapping to and from clip space is
  // exact. The scissor keeps drawing inside the target.
  GLint dims[2] = {0, 0};
  glGetIntegerv(GL_MAX_VIEWPORT_DIMS, dims);
  int32_t size = 8192;
  while (size > dims[0] || size > dims[1]) size /= 2;
  if (size >= 2 * std::max(width_, height_)) {
    viewport_x_ = viewport_y_ = -size / 2;
    viewport_w_ = viewport_h_ = size;
  } else {
    viewport_x_ = viewport_y_ = 0;
    viewport_w_ = width_;
    viewport_h_ = height_;
  }
}

void GlBackend::ApplyViewport() { glViewport(viewport_x_, viewport_y_, viewport_w_, viewport_h_); }

// --- Drawing --------------------------------------------------------------------------

bool GlBackend::BeginScene() {
  if (!device_ready_ || !MakeCurrent()) return false;
  glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
  ApplyViewport();
  glEnable(GL_SCISSOR_TEST);
  ApplyScissor();
  return true;
}

bool GlBackend::EndScene() { return device_ready_; }

bool GlBackend::UploadVertices(const DrawVertex* vertices, int32_t count) {
  if (!device_ready_ || count < 0 || count > kMaxVertices || !MakeCurrent()) return false;
  if (ring_next_ + count > kRingVertices) {
    // Full: a fresh buffer, so the draws still reading the old one need not wait.
    glBufferData(GL_ARRAY_BUFFER, kRingVertices * sizeof(DrawVertex), nullptr, GL_STREAM_DRAW);
    ring_next_ = 0;
  }
  if (count > 0) {
    glBufferSubData(GL_ARRAY_BUFFER, static_cast<GLintptr>(ring_next_) * sizeof(DrawVertex),
                    count * sizeof(DrawVertex), vertices);
  }
  uploaded_first_ = ring_next_;
  uploaded_count_ = count;
  ring_next_ += count;
  return true;
}

bool GlBackend::DrawPrimitives(Primitive primitive, int32_t vertex_count) {
  if (!device_ready_ || vertex_count < 0 || vertex_count > uploaded_count_ || !MakeCurrent()) {
    return false;
  }
  glDrawArrays(primitive == Primitive::TriangleList ? GL_TRIANGLES : GL_TRIANGLE_STRIP, uploaded_first_,
               vertex_count);
  return true;
}

bool GlBackend::Clear(uint32_t argb) {
  if (!device_ready_ || !MakeCurrent()) return false;
  glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
  glDisable(GL_SCISSOR_TEST);  // Clear covers the whole target whatever the viewport
  glClearColor(static_cast<float>((argb >> 16) & 0xFF) / 255.0f,
               static_cast<float>((argb >> 8) & 0xFF) / 255.0f, static_cast<float>(argb & 0xFF) / 255.0f,
               static_cast<float>(argb >> 24) / 255.0f);
  glClear(GL_COLOR_BUFFER_BIT | (has_depth_ ? GL_DEPTH_BUFFER_BIT : 0));
  glEnable(GL_SCISSOR_TEST);
  return true;
}

GlBackend::Placement GlBackend::PlaceFrame(int32_t frame_width, int32_t frame_height, int32_t drawable_width,
                                           int32_t drawable_height) {
  Placement p;
  if (frame_width <= 0 || frame_height <= 0 || drawable_width <= 0 || drawable_height <= 0) {
    return p;
  }
  const double fit = std::min(static_cast<double>(drawable_width) / frame_width,
                              static_cast<double>(drawable_height) / frame_height);
  const double whole = std::floor(fit);
  // A whole factor keeps pixels square and sharp; it is taken when it gives up little
  // of the window (at most 15 % of the fitted size).
  double scale = fit;
  if (whole >= 1.0 && whole / fit >= 0.85) {
    scale = whole;
    p.Integer = true;
  }
  p.Width = std::max(1, static_cast<int32_t>(std::lround(frame_width * scale)));
  p.Height = std::max(1, static_cast<int32_t>(std::lround(frame_height * scale)));
  p.Width = std::min(p.Width, drawable_width);
  p.Height = std::min(p.Height, drawable_height);
  p.X = (drawable_width - p.Width) / 2;
  p.Y = (drawable_height - p.Height) / 2;
  return p;
}

PresentResult GlBackend::Present() {
  if (!device_ready_ || !MakeCurrent()) return PresentResult::Failed;
  if (own_window_) {
    // Nothing to show: just make sure the frame is handed to the driver.
    glFlush();
    return PresentResult::Ok;
  }
  int dw = 0, dh = 0;
  SDL_GL_GetDrawableSize(AsWindow(window_), &dw, &dh);
  const Placement p = PlaceFrame(width_, height_, dw, dh);
  glDisable(GL_SCISSOR_TEST);
  glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
  glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer_);
  glViewport(0, 0, dw, dh);
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  if (p.Width > 0 && p.Height > 0) {
    // The window's GL rows run from the bottom: target row 0 goes to the top.
    const GLint top = dh - p.Y;
    glBlitFramebuffer(0, 0, width_, height_, p.X, top, p.X + p.Width, top - p.Height, GL_COLOR_BUFFER_BIT,
                      p.Integer ? GL_NEAREST : GL_LINEAR);
  }
  SDL_GL_SwapWindow(AsWindow(window_));
  glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
  ApplyViewport();
  glEnable(GL_SCISSOR_TEST);
  ApplyScissor();
  return glGetError() == GL_NO_ERROR ? PresentResult::Ok : PresentResult::Failed;
}

bool GlBackend::ReadFrame(std::vector<uint32_t>& pixels, int32_t& width, int32_t& height) {
  if (!device_ready_ || !MakeCurrent()) return false;
  pixels.resize(static_cast<size_t>(width_) * static_cast<size_t>(height_));
  glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer_);
  // BGRA as 8_8_8_8_REV gives 0xAARRGGBB words on any byte order.
  glReadPixels(0, 0, width_, height_, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, pixels.data());
  for (uint32_t& p : pixels) p |= 0xFF000000u;
  width = width_;
  height = height_;
  return true;
}

void GlBackend::Finish() {
  if (device_ready_ && MakeCurrent()) glFinish();
}

const char* GlBackend::RendererName() const {
  if (!device_ready_ || SDL_GL_GetCurrentContext() != context_) return "";
  const GLubyte* name = glGetString(GL_RENDERER);
  return name ? reinterpret_cast<const char*>(name) : "";
}

}  // namespace tarq

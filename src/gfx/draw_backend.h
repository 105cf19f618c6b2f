#pragma once
// The narrow interface between the drawing device (TDrawDevice) and whatever puts
// pixels on the screen: OpenGL, the software reference rasteriser, or the recording
// back end of the tests. The device does all batching, geometry and state tracking;
// a back end only executes the calls it is given, in order.
//
// Conventions every back end follows, so that all of them give the same picture:
// - The target is Width x Height pixels (640 x 480 for the game), origin top-left.
//   Pixel (i, j) has its centre at (i + 0.5, j + 0.5). A triangle covers a pixel when
//   the centre lies inside it; centres exactly on an edge belong to the triangle on
//   the edge's right (x) and lower (y) side (the usual top-left rule), so two
//   triangles sharing an edge never both cover a pixel, and a quad with corners at
//   integer (X, Y) and (X + W, Y + H) covers exactly pixels X..X+W-1, Y..Y+H-1.
// - Texture coordinates are normalised (0..1 across the texture). A pixel centre
//   that maps to a texel centre samples exactly that texel, also with linear
//   filtering. Addressing clamps to the edge texels.
// - Vertices are pre-transformed screen positions; attributes are interpolated
//   affinely (z is always 0 and rhw always 1). No face culling: quads are drawn
//   whatever their winding.
// - Source colour S = texel x vertex colour per channel; source alpha As = texel
//   alpha, times the vertex alpha when the alpha source is the vertex too. Untextured
//   draws use a texel of (1, 1, 1, 1). Blend results are clamped to 0..1 per channel.
// - Texture formats are the pattern-image format codes (21 A8R8G8B8 ... 30 X4R4G4B4);
//   formats without alpha sample as opaque.
#include <cstdint>
#include <memory>
#include <vector>

struct SDL_Window;

namespace tarq {

// One vertex exactly as the device builds it (28 bytes): position in pixels,
// z = 0, rhw = 1, colour 0xAARRGGBB, texture coordinates.
struct DrawVertex {
  float x = 0, y = 0, z = 0, rhw = 1;
  uint32_t colour = 0xFFFFFFFF;
  float u = 0, v = 0;
};
static_assert(sizeof(DrawVertex) == 28, "vertex layout is 28 bytes");

// A texture of a back end; 0 stands for "no texture".
using TextureHandle = uint32_t;
inline constexpr TextureHandle kNoTexture = 0;

// A locked texture: the first texel of the (only) level and the bytes per row.
struct LockedArea {
  int32_t Pitch = 0;
  uint8_t* Bits = nullptr;
};

enum class Primitive : int32_t { TriangleList = 0, TriangleStrip = 1 };

// Blend codes 0..9 (see TDrawDevice); back ends only ever receive 0..9.
enum : int32_t {
  kBlendNone = 0,              // S
  kBlendAdd = 1,               // S + D
  kBlendAlpha = 2,             // S*As + D*(1-As)
  kBlendAlphaAdd = 3,          // S*As + D
  kBlendMultiply = 4,          // D*S
  kBlendScreenLike = 5,        // S*S + D*(1-S)
  kBlendSquareAdd = 6,         // S*S + D
  kBlendInvert = 7,            // D*(1-S)
  kBlendAlphaDarken = 8,       // D*(1-As)
  kBlendAlphaSame = 9,         // as 2
};

// Everything a back end needs to create its device. Filled by TDrawDevice.
struct BackendSettings {
  SDL_Window* Window = nullptr;   // where Present shows the frame; may be null (headless)
  int32_t Width = 640;            // target size in pixels
  int32_t Height = 480;
  bool FullScreen = false;
  bool LowBitDepth = true;        // render through a 16-bit (RGB565) colour target
  int32_t BackBufferCount = 1;    // full screen only
  bool VSync = false;             // full screen only (in a window the device never waits)
  int32_t RefreshRate = 0;        // Hz for full screen, 0 = display default
  int32_t DisplayFormat = 0;      // full-screen mode format code (0 in a window)
  int32_t DepthBits = 0;          // 0, 16 or 32
  bool LinearFilter = true;       // Antialias
  bool Dithering = false;
};

// Result of presenting a frame.
enum class PresentResult : int32_t { Ok = 0, Failed = 1, Lost = 2 };

class DrawBackend {
 public:
  virtual ~DrawBackend() = default;

  // --- Lifetime. Codes are TDrawDevice's error codes (0 on success). -------------
  // Start the display system and read its capabilities: -2, -7 or -8 on failure.
  virtual int32_t OpenDisplay() = 0;
  // Create the device for the settings: -4 (display mode), -5 (device) or
  // -6 (vertex buffers) on failure. Called once, after OpenDisplay.
  virtual int32_t CreateDevice(const BackendSettings& settings) = 0;
  // Release everything (textures still alive are released too). Safe to call twice.
  virtual void Close() = 0;
  // Reset a lost device with the settings it was created with. Textures survive;
  // blend returns to 0, the alpha source to the texel alone, no texture is bound,
  // the viewport covers the whole target; filtering and dithering are kept.
  virtual bool Reset() = 0;

  // --- Textures (one level, Width x Height texels of a format code). -------------
  virtual TextureHandle CreateTexture(int32_t width, int32_t height, int32_t format) = 0;
  virtual void DestroyTexture(TextureHandle texture) = 0;
  // Lock gives the texels in the texture's own format (little-endian texels, row 0 at
  // the top); the texture's new contents take effect at Unlock.
  virtual bool LockTexture(TextureHandle texture, LockedArea& area) = 0;
  virtual bool UnlockTexture(TextureHandle texture) = 0;

  // --- Render state. ---------------------------------------------------------------
  // kNoTexture unbinds (untextured drawing).
  virtual bool BindTexture(TextureHandle texture) = 0;
  virtual bool SetBlend(int32_t blend) = 0;
  // false: As = texel alpha; true: As = texel alpha x vertex alpha.
  virtual bool SetAlphaSource(bool vertex_alpha) = 0;
  virtual bool SetFilter(bool linear) = 0;
  virtual bool SetDithering(bool dithering) = 0;
  // Drawing is limited to x..x+width-1, y..y+height-1 (further limited to the target).
  virtual bool SetViewport(int32_t x, int32_t y, int32_t width, int32_t height) = 0;

  // --- Drawing. ------------------------------------------------------------------
  virtual bool BeginScene() = 0;
  virtual bool EndScene() = 0;
  // Copies vertices into the back end's vertex buffer (a failure is the device's
  // "could not lock the vertex buffer"). At most 256 vertices.
  virtual bool UploadVertices(const DrawVertex* vertices, int32_t count) = 0;
  // Draws the uploaded vertices: a list of count/3 triangles, or a strip of count-2.
  virtual bool DrawPrimitives(Primitive primitive, int32_t vertex_count) = 0;
  // Fills the whole target (ignoring the viewport) with colour 0xAARRGGBB, and the
  // depth buffer with 1.0 when there is one.
  virtual bool Clear(uint32_t argb) = 0;
  virtual PresentResult Present() = 0;

  // --- Read-back. ----------------------------------------------------------------
  // The last finished frame (or the frame being drawn) as Width x Height pixels
  // 0xFFRRGGBB, row 0 at the top. False when the back end cannot read back.
  virtual bool ReadFrame(std::vector<uint32_t>& pixels, int32_t& width, int32_t& height) = 0;
};

// Which back end a device gets. `hardware` is TDrawDevice::Hardware. Returning null
// means "not available"; TDrawDevice then uses the software back end.
using DrawBackendFactory = std::unique_ptr<DrawBackend> (*)(bool hardware);

// The hardware back end's factory, registered by whoever links it in (the OpenGL back
// end). While none is registered, hardware devices fall back to software.
void RegisterHardwareBackend(DrawBackendFactory factory);
DrawBackendFactory HardwareBackendFactory();

}  // namespace tarq

// Feeds arbitrary bytes to the image-record loader (a decoded archive record turned
// into textures) in the sprite, tile and font formats, then asks for patterns across
// the whole index range. Any result code is fine; crashes, overruns and leaks are not.
#include <cstdint>
#include <memory>
#include <span>

#include "gfx/draw_device.h"
#include "assets/pattern_image.h"

namespace {

tarq::TDrawDevice& Device() {
  static std::unique_ptr<tarq::TDrawDevice> device = [] {
    auto d = std::make_unique<tarq::TDrawDevice>();
    d->SetHardware(false);  // the software back end: no window, no GPU
    d->SetWidth(64);
    d->SetHeight(64);
    if (d->Initialize() != 0) __builtin_trap();
    return d;
  }();
  return *device;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  tarq::TDrawDevice& device = Device();
  for (int32_t format : {21, 25, 26, 27}) {
    tarq::TPatternImage image;
    if (image.LoadFromMemory(device, std::span<const uint8_t>(data, size), format) != 0) continue;
    tarq::QuadTemplate quad;
    tarq::TextureHandle texture = tarq::kNoTexture;
    for (int32_t p : {-5, 0, 1, image.PatternCount() - 1, image.PatternCount() + 3}) {
      image.SelectPattern(p, p & 1, p & 2, texture, quad);
    }
    if (format == 25) image.SetColorKey(0xFF00FF);
    device.BeginScene();
    device.DrawImage(&image, 1, 1, 0, 2);
    device.EndScene();
    image.Unload();
  }
  return 0;
}

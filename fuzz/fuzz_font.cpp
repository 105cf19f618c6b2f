// Feeds arbitrary bytes to the bitmap font loader as a font file, then measures and
// draws text with every character code at a few scales. A refused font is fine;
// crashes, overruns, leaks, arithmetic overflow and huge allocations are not.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "assets/bitmap_font.h"
#include "gfx/draw_device.h"

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

const std::string& FontPath() {
  static const std::string path = [] {
    std::atexit([] { std::remove(FontPath().c_str()); });
    return "/tmp/tarq_fuzz_font_" + std::to_string(getpid()) + ".fnt";
  }();
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::FILE* f = std::fopen(FontPath().c_str(), "wb");
  if (!f) return 0;
  if (size > 0) std::fwrite(data, 1, size, f);
  std::fclose(f);

  tarq::TDrawDevice& device = Device();
  tarq::TBitmapFont font;
  font.DrawDevice = &device;
  if (!font.LoadFromFile(FontPath(), 26)) return 0;
  std::string every(255, ' ');
  for (size_t i = 0; i < every.size(); ++i) every[i] = static_cast<char>(i + 1);
  device.BeginScene();
  for (int32_t scale : {256, 128, 384, INT32_MAX}) {
    font.Scale = scale;
    font.TextOut(every, 630, 470, 0xFFFFFF);
    volatile int32_t w = font.TextWidth(every);
    volatile int32_t h = font.TextHeight(every);
    (void)w;
    (void)h;
  }
  device.EndScene();
  font.Unload();
  return 0;
}

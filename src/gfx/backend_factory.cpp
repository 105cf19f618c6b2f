#include "gfx/backend_factory.h"

#include "gfx/draw_device.h"
#include "gfx/gl_backend.h"

namespace tarq {

std::unique_ptr<DrawBackend> MakeOpenGlBackend(bool hardware) {
  if (!hardware) return nullptr;
  return std::make_unique<GlBackend>();
}

void UseOpenGlForHardwareDevices() { RegisterHardwareBackend(&MakeOpenGlBackend); }

std::string SoftwareOpenGlRenderer(const TDrawDevice& device) {
  const auto* gl = dynamic_cast<const GlBackend*>(device.Backend());
  if (gl == nullptr) return {};
  const std::string name = gl->RendererName();
  for (const char* soft : {"llvmpipe", "softpipe", "swrast", "Software Rasterizer"})
    if (name.find(soft) != std::string::npos) return name;
  return {};
}

}  // namespace tarq

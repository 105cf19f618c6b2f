#include "assets/backend_factory.h"

#include "assets/gl_backend.h"

namespace tarq {

std::unique_ptr<DrawBackend> MakeOpenGlBackend(bool hardware) {
  if (!hardware) return nullptr;
  return std::make_unique<GlBackend>();
}

void UseOpenGlForHardwareDevices() { RegisterHardwareBackend(&MakeOpenGlBackend); }

}  // namespace tarq

#include "render/prompt.h"

#include "core/colour.h"

namespace tarq {

void DrawRedefinePrompt(const TextContext& ctx) {
  if (ctx.Device == nullptr) return;
  TDrawDevice& device = *ctx.Device;
  device.BeginScene();
  device.Clear(0);
  Center(ctx, "PRESS THEN RELEASE A KEY OR BUTTON", 320, 224, kWhite, 256);
  Center(ctx, "(PRESS BACKSPACE TO CLEAR, OR ESC FOR DEFAULT)", 320, 256, kWhite, 192);
  device.EndScene();
  device.Present();
}

}  // namespace tarq

#pragma once
// A back end that draws nothing and records every call, for tests of the device's
// batching and state handling. Failures and device loss can be switched on.
#include <cstdint>
#include <string>
#include <vector>

#include "gfx/draw_backend.h"

namespace tarq {

struct RecordedCall {
  enum Kind : int32_t {
    OpenDisplay, CreateDevice, Close, Reset, CreateTexture, DestroyTexture, LockTexture,
    UnlockTexture, BindTexture, SetBlend, SetAlphaSource, SetFilter, SetDithering, SetViewport,
    BeginScene, EndScene, UploadVertices, DrawPrimitives, Clear, Present,
  };
  Kind What = OpenDisplay;
  // Arguments by call: texture handle, blend, flag (0/1), colour, viewport x/y/w/h,
  // primitive and vertex count, texture size and format.
  std::vector<int64_t> Args;
  std::vector<DrawVertex> Vertices;  // UploadVertices only
};

class RecordingBackend : public DrawBackend {
 public:
  std::vector<RecordedCall> Calls;
  // When set, every call is also appended here (it outlives the back end, which the
  // device destroys at Finalize).
  std::vector<RecordedCall>* Log = nullptr;
  BackendSettings Settings;

  // Failure switches: the code OpenDisplay/CreateDevice return, and calls that fail.
  int32_t OpenDisplayResult = 0;
  int32_t CreateDeviceResult = 0;
  bool FailUpload = false;
  bool FailDraw = false;
  bool FailBind = false;
  bool FailLock = false;
  bool Lost = false;  // Present reports the device lost while set; Reset clears it

  // Calls of one kind, in order.
  std::vector<RecordedCall> Of(RecordedCall::Kind kind) const;
  int32_t Count(RecordedCall::Kind kind) const;
  void ClearCalls() { Calls.clear(); }

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

 private:
  void Record(RecordedCall::Kind kind, std::vector<int64_t> args = {});
  TextureHandle next_texture_ = 1;
  std::vector<std::vector<uint8_t>> texels_;  // lockable memory per texture (4 bytes per texel)
  std::vector<int32_t> widths_;
};

}  // namespace tarq

#include "gfx/recording_backend.h"

#include <utility>

namespace tarq {

void RecordingBackend::Record(RecordedCall::Kind kind, std::vector<int64_t> args) {
  RecordedCall call;
  call.What = kind;
  call.Args = std::move(args);
  if (Log != nullptr) Log->push_back(call);
  Calls.push_back(std::move(call));
}

std::vector<RecordedCall> RecordingBackend::Of(RecordedCall::Kind kind) const {
  std::vector<RecordedCall> out;
  for (const RecordedCall& c : Calls) {
    if (c.What == kind) out.push_back(c);
  }
  return out;
}

int32_t RecordingBackend::Count(RecordedCall::Kind kind) const {
  int32_t n = 0;
  for (const RecordedCall& c : Calls) n += c.What == kind ? 1 : 0;
  return n;
}

int32_t RecordingBackend::OpenDisplay() {
  Record(RecordedCall::OpenDisplay);
  return OpenDisplayResult;
}

int32_t RecordingBackend::CreateDevice(const BackendSettings& settings) {
  Settings = settings;
  Record(RecordedCall::CreateDevice, {settings.Width, settings.Height});
  return CreateDeviceResult;
}

void RecordingBackend::Close() { Record(RecordedCall::Close); }

bool RecordingBackend::Reset() {
  Record(RecordedCall::Reset);
  Lost = false;
  return true;
}

TextureHandle RecordingBackend::CreateTexture(int32_t width, int32_t height, int32_t format) {
  Record(RecordedCall::CreateTexture, {width, height, format});
  texels_.emplace_back(static_cast<size_t>(width) * static_cast<size_t>(height) * 4, 0);
  widths_.push_back(width);
  return next_texture_++;
}

void RecordingBackend::DestroyTexture(TextureHandle texture) {
  Record(RecordedCall::DestroyTexture, {texture});
}

bool RecordingBackend::LockTexture(TextureHandle texture, LockedArea& area) {
  Record(RecordedCall::LockTexture, {texture});
  if (FailLock || texture == kNoTexture || texture >= next_texture_) return false;
  area.Bits = texels_[texture - 1].data();
  area.Pitch = widths_[texture - 1] * 4;
  return true;
}

bool RecordingBackend::UnlockTexture(TextureHandle texture) {
  Record(RecordedCall::UnlockTexture, {texture});
  return !FailLock;
}

bool RecordingBackend::BindTexture(TextureHandle texture) {
  Record(RecordedCall::BindTexture, {texture});
  return !FailBind;
}

bool RecordingBackend::SetBlend(int32_t blend) {
  Record(RecordedCall::SetBlend, {blend});
  return true;
}

bool RecordingBackend::SetAlphaSource(bool vertex_alpha) {
  Record(RecordedCall::SetAlphaSource, {vertex_alpha ? 1 : 0});
  return true;
}

bool RecordingBackend::SetFilter(bool linear) {
  Record(RecordedCall::SetFilter, {linear ? 1 : 0});
  return true;
}

bool RecordingBackend::SetDithering(bool dithering) {
  Record(RecordedCall::SetDithering, {dithering ? 1 : 0});
  return true;
}

bool RecordingBackend::SetViewport(int32_t x, int32_t y, int32_t width, int32_t height) {
  Record(RecordedCall::SetViewport, {x, y, width, height});
  return true;
}

bool RecordingBackend::BeginScene() {
  Record(RecordedCall::BeginScene);
  return true;
}

bool RecordingBackend::EndScene() {
  Record(RecordedCall::EndScene);
  return true;
}

bool RecordingBackend::UploadVertices(const DrawVertex* vertices, int32_t count) {
  Record(RecordedCall::UploadVertices, {count});
  Calls.back().Vertices.assign(vertices, vertices + count);
  if (Log != nullptr) Log->back().Vertices = Calls.back().Vertices;
  return !FailUpload;
}

bool RecordingBackend::DrawPrimitives(Primitive primitive, int32_t vertex_count) {
  Record(RecordedCall::DrawPrimitives, {static_cast<int64_t>(primitive), vertex_count});
  return !FailDraw;
}

bool RecordingBackend::Clear(uint32_t argb) {
  Record(RecordedCall::Clear, {argb});
  return true;
}

PresentResult RecordingBackend::Present() {
  Record(RecordedCall::Present);
  return Lost ? PresentResult::Lost : PresentResult::Ok;
}

bool RecordingBackend::ReadFrame(std::vector<uint32_t>&, int32_t&, int32_t&) { return false; }

}  // namespace tarq

#pragma once
// A canvas that records the drawing calls of the enemy passes: each call's kind, the
// image's sprite name and its arguments. Every sprite name gets an index of its own on
// first use, so a call names the image it drew.
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "render/frame.h"

namespace tarq {

struct DrawCall {
  std::string op;
  std::string image;
  std::vector<int64_t> args;
};

class CallRecordingCanvas : public FrameCanvas {
 public:
  int32_t SpriteIndex(std::string_view name) override {
    auto it = index_.find(std::string(name));
    if (it != index_.end()) return it->second;
    const auto i = static_cast<int32_t>(names_.size() + 1);
    names_.emplace_back(name);
    index_[std::string(name)] = i;
    return i;
  }
  void BeginScene() override {}
  void EndScene() override {}
  void Present() override {}
  void DrawImage(ImageRef image, int32_t x, int32_t y, int32_t pattern, int32_t effect) override {
    calls.push_back({"I", Name(image), {x, y, pattern, effect}});
  }
  void DrawImageRotated(ImageRef image, int32_t x, int32_t y, int32_t angle, int32_t scale, int32_t pattern,
                        int32_t effect) override {
    calls.push_back({"R", Name(image), {x, y, angle, scale, pattern, effect}});
  }
  void DrawImageRotatedColored(ImageRef image, int32_t x, int32_t y, int32_t angle, int32_t scale,
                               uint32_t colour, int32_t pattern, int32_t effect) override {
    calls.push_back({"RC", Name(image), {x, y, angle, scale, colour, pattern, effect}});
  }
  void DrawQuad(ImageRef image, int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t x3, int32_t y3,
                int32_t x4, int32_t y4, int32_t pattern, int32_t effect) override {
    calls.push_back({"Quad", Name(image), {x1, y1, x2, y2, x3, y3, x4, y4, pattern, effect}});
  }
  void DrawImageColored(ImageRef image, int32_t x, int32_t y, uint32_t colour, int32_t pattern,
                        int32_t effect) override {
    calls.push_back({"IC", Name(image), {x, y, colour, pattern, effect}});
  }
  void Clear(uint32_t) override {}
  void FillBox(int32_t, int32_t, int32_t, int32_t, uint32_t, int32_t) override {}
  void Center(const std::string&, int32_t, int32_t, uint32_t, int32_t) override {}
  void Right(const std::string&, int32_t, int32_t, uint32_t, int32_t) override {}
  void Lft(const std::string&, int32_t, int32_t, uint32_t, int32_t) override {}
  void Lft2(const std::string&, int32_t, int32_t, uint32_t, int32_t) override {}
  int32_t TextWidth(int32_t, const std::string&, int32_t) override { return 0; }
  void SetClipRect(int32_t x, int32_t y, int32_t w, int32_t h) override {
    calls.push_back({"Clip", "", {x, y, w, h}});
  }

  std::vector<DrawCall> calls;

 private:
  std::string Name(ImageRef image) const {
    if (image.Index >= 1 && static_cast<size_t>(image.Index) <= names_.size())
      return names_[static_cast<size_t>(image.Index - 1)];
    return "#" + std::to_string(image.Index);
  }
  std::vector<std::string> names_;
  std::map<std::string, int32_t> index_;
};

}  // namespace tarq

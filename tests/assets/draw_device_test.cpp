// The drawing device's rules, counted on the recording back end: batching and its
// flush points, effects and blend state, corner placement, the rotation cache,
// lifecycle codes, device loss and the property setters.
#include <gtest/gtest.h>

#include "draw_test_support.h"

namespace tarq {
namespace {

using testing::GridImage;
using testing::RecordingDevice;
using testing::SpriteTexels;

std::vector<RecordedCall> Draws(const RecordingBackend& b) { return b.Of(RecordedCall::DrawPrimitives); }

TEST(DrawDeviceBatching, FortyThreeSpritesMakeAListThenAStrip) {
  RecordingBackend* b = nullptr;
  auto device = RecordingDevice(b);
  GridImage image(*device, 64, 32, 32, 32, SpriteTexels());
  ASSERT_TRUE(device->BeginScene());
  for (int i = 0; i < 43; ++i) ASSERT_TRUE(device->DrawImage(&image, i, 2 * i, 0, 2));
  EXPECT_EQ(Draws(*b).size(), 1u);  // the 43rd quad found the batch full
  ASSERT_TRUE(device->EndScene());
  const auto draws = Draws(*b);
  ASSERT_EQ(draws.size(), 2u);
  EXPECT_EQ(draws[0].Args, (std::vector<int64_t>{static_cast<int64_t>(Primitive::TriangleList), 252}));
  EXPECT_EQ(draws[1].Args, (std::vector<int64_t>{static_cast<int64_t>(Primitive::TriangleStrip), 4}));
  // The strip carries TL, TR, BL, BR of the last sprite, at (42, 84).
  const auto uploads = b->Of(RecordedCall::UploadVertices);
  ASSERT_EQ(uploads.size(), 2u);
  const auto& v = uploads[1].Vertices;
  ASSERT_EQ(v.size(), 4u);
  EXPECT_EQ(v[0].x, 42.0f);
  EXPECT_EQ(v[0].y, 84.0f);
  EXPECT_EQ(v[1].x, 74.0f);
  EXPECT_EQ(v[2].y, 116.0f);
  EXPECT_EQ(v[3].x, 74.0f);
  EXPECT_EQ(v[3].y, 116.0f);
  EXPECT_EQ(v[0].colour, 0xFFFFFFFFu);
  // List order: triangles (TL, TR, BL) and (BL, TR, BR).
  const auto& list = uploads[0].Vertices;
  ASSERT_EQ(list.size(), 252u);
  EXPECT_EQ(list[3].x, list[2].x);
  EXPECT_EQ(list[4].y, list[1].y);
  EXPECT_EQ(list[5].x, 32.0f);
  EXPECT_EQ(list[5].y, 32.0f);
  EXPECT_EQ(list[5].u, 0.5f);
  EXPECT_EQ(list[5].v, 1.0f);
  EXPECT_EQ(b->Count(RecordedCall::BindTexture), 1);
}

TEST(DrawDeviceBatching, FillBetweenSpritesSplitsTheBatchInOrder) {
  RecordingBackend* b = nullptr;
  auto device = RecordingDevice(b);
  GridImage image(*device, 64, 32, 32, 32, SpriteTexels());
  b->ClearCalls();
  device->BeginScene();
  device->DrawImage(&image, 0, 0, 0, 2);
  device->FillBox(5, 6, 7, 8, 0xFF0000FF, 2);
  device->DrawImage(&image, 10, 0, 1, 2);
  device->EndScene();
  const auto draws = Draws(*b);
  ASSERT_EQ(draws.size(), 3u);
  // Sequence of binds and draws: sprite (bound), unbind + fill, rebind + sprite.
  std::vector<std::pair<RecordedCall::Kind, int64_t>> seq;
  for (const auto& c : b->Calls) {
    if (c.What == RecordedCall::BindTexture) seq.push_back({c.What, c.Args[0]});
    if (c.What == RecordedCall::DrawPrimitives) seq.push_back({c.What, c.Args[1]});
  }
  const TextureHandle t = image.texture();
  const std::vector<std::pair<RecordedCall::Kind, int64_t>> expected = {
      {RecordedCall::BindTexture, t},    {RecordedCall::DrawPrimitives, 4},
      {RecordedCall::BindTexture, 0},    {RecordedCall::DrawPrimitives, 4},
      {RecordedCall::BindTexture, t},    {RecordedCall::DrawPrimitives, 4}};
  EXPECT_EQ(seq, expected);
  // The fill's colour went in as 0xAARRGGBB: red and blue swapped.
  const auto uploads = b->Of(RecordedCall::UploadVertices);
  EXPECT_EQ(uploads[1].Vertices[0].colour, 0xFFFF0000u);
  EXPECT_EQ(uploads[1].Vertices[3].x, 12.0f);
  EXPECT_EQ(uploads[1].Vertices[3].y, 14.0f);
}

TEST(DrawDeviceBatching, BlendChangesFlushButMirrorBitsDoNot) {
  RecordingBackend* b = nullptr;
  auto device = RecordingDevice(b);
  GridImage image(*device, 64, 32, 32, 32, SpriteTexels());
  b->ClearCalls();
  device->BeginScene();
  device->DrawImage(&image, 0, 0, 0, 2);
  device->DrawImage(&image, 0, 0, 0, 2 | kEffectMirror | kEffectFlip);  // same batch
  EXPECT_EQ(device->PendingQuads(), 2);
  device->DrawImage(&image, 0, 0, 0, 2 | kEffectVertexAlpha);  // alpha source: flush
  EXPECT_EQ(device->PendingQuads(), 1);
  EXPECT_EQ(Draws(*b).size(), 1u);
  device->DrawImage(&image, 0, 0, 0, 1 | kEffectVertexAlpha);  // blend: flush
  device->DrawImage(&image, 0, 0, 1, 1 | kEffectVertexAlpha);  // other pattern, same texture
  EXPECT_EQ(Draws(*b).size(), 2u);
  device->SetViewport({0, 0, 10, 10});  // viewport: flush
  EXPECT_EQ(Draws(*b).size(), 3u);
  EXPECT_EQ(device->PendingQuads(), 0);
  // Blend 2 then the alpha source on, then blend 1; the alpha source was set once.
  std::vector<int64_t> blends;
  for (const auto& c : b->Of(RecordedCall::SetBlend)) blends.push_back(c.Args[0]);
  EXPECT_EQ(blends, (std::vector<int64_t>{2, 1}));
  EXPECT_EQ(b->Count(RecordedCall::SetAlphaSource), 1);
  // The mirrored quad swapped its texture coordinates.
  const auto v = b->Of(RecordedCall::UploadVertices)[0].Vertices;
  EXPECT_EQ(v[6].u, 0.5f);  // TL of the second quad carries the right edge
  EXPECT_EQ(v[6].v, 1.0f);  // and the bottom
}

TEST(DrawDeviceBatching, EffectsAboveNineKeepTheBlendAndNineIsSent) {
  RecordingBackend* b = nullptr;
  auto device = RecordingDevice(b);
  b->ClearCalls();
  device->BeginScene();
  device->FillBox(0, 0, 1, 1, 0, 3);
  device->FillBox(0, 0, 1, 1, 0, 10);  // low byte differs: flush, but no blend set
  device->FillBox(0, 0, 1, 1, 0, 255);
  device->FillBox(0, 0, 1, 1, 0, 9);
  device->EndScene();
  std::vector<int64_t> blends;
  for (const auto& c : b->Of(RecordedCall::SetBlend)) blends.push_back(c.Args[0]);
  EXPECT_EQ(blends, (std::vector<int64_t>{3, 9}));
}

TEST(DrawDeviceBatching, BeginSceneDropsAndFailuresLoseTheBatch) {
  RecordingBackend* b = nullptr;
  auto device = RecordingDevice(b);
  GridImage image(*device, 64, 32, 32, 32, SpriteTexels());
  device->DrawImage(&image, 0, 0, 0, 0);
  device->DrawImage(&image, 0, 0, 0, 0);
  b->ClearCalls();
  EXPECT_TRUE(device->BeginScene());
  EXPECT_EQ(device->PendingQuads(), 0);
  EXPECT_TRUE(device->EndScene());
  EXPECT_EQ(Draws(*b).size(), 0u);

  // A failing draw makes EndScene false, loses the quads and leaves later frames fine.
  device->BeginScene();
  device->DrawImage(&image, 0, 0, 0, 0);
  device->DrawImage(&image, 0, 0, 0, 0);
  b->FailDraw = true;
  EXPECT_FALSE(device->EndScene());
  EXPECT_EQ(b->Count(RecordedCall::EndScene), 1);  // only the first, empty frame ended
  b->FailDraw = false;
  EXPECT_EQ(device->PendingQuads(), 0);
  device->BeginScene();
  device->DrawImage(&image, 0, 0, 0, 0);
  EXPECT_TRUE(device->EndScene());

  // A failing upload fails the next texture change's flush, and with it the draw.
  GridImage other(*device, 32, 32, 32, 32, std::vector<uint32_t>(32 * 32, 0xFFFFFFFF));
  device->BeginScene();
  device->DrawImage(&image, 0, 0, 0, 0);
  device->DrawImage(&image, 0, 0, 0, 0);
  b->FailUpload = true;
  EXPECT_FALSE(device->DrawImage(&other, 0, 0, 0, 0));
  b->FailUpload = false;
  EXPECT_EQ(device->PendingQuads(), 0);
}

TEST(DrawDeviceCorners, OperationsPlaceTheirCorners) {
  RecordingBackend* b = nullptr;
  auto device = RecordingDevice(b);
  GridImage image(*device, 64, 32, 32, 32, SpriteTexels());
  struct Case {
    std::function<bool()> draw;
    std::array<float, 8> tl_tr_bl_br;
  };
  const std::vector<Case> cases = {
      {[&] { return device->DrawImageScaled(&image, 10, 20, 200, 0xFFFFFF, 0, 0); },
       {10, 20, 35, 20, 10, 45, 35, 45}},  // 32 * 200 div 256 = 25
      {[&] { return device->DrawImageScaled(&image, 10, 20, -100, 0xFFFFFF, 0, 0); },
       {10, 20, -2, 20, 10, 8, -2, 8}},  // -3200 div 256 truncates to -12
      {[&] { return device->DrawImageStretched(&image, {50, 5, 10, 25}, 0xFFFFFF, 0, 0); },
       {50, 5, 10, 5, 50, 25, 10, 25}},
      {[&] { return device->FillRect({1, 2, 3, 4}, 0, 0); }, {1, 2, 3, 2, 1, 4, 3, 4}},
      {[&] { return device->FillQuad(1, 2, 3, 4, 5, 6, 7, 8, 0, 0); }, {1, 2, 3, 4, 7, 8, 5, 6}},
      {[&] { return device->DrawQuadColored(&image, 1, 2, 3, 4, 5, 6, 7, 8, 0x80112233, 0, 0); },
       {1, 2, 3, 4, 7, 8, 5, 6}},
  };
  for (size_t i = 0; i < cases.size(); ++i) {
    b->ClearCalls();
    device->BeginScene();
    ASSERT_TRUE(cases[i].draw()) << i;
    device->EndScene();
    const auto uploads = b->Of(RecordedCall::UploadVertices);
    ASSERT_EQ(uploads.size(), 1u) << i;
    const auto& v = uploads[0].Vertices;
    for (size_t k = 0; k < 4; ++k) {
      EXPECT_EQ(v[k].x, cases[i].tl_tr_bl_br[k * 2]) << i << " corner " << k;
      EXPECT_EQ(v[k].y, cases[i].tl_tr_bl_br[k * 2 + 1]) << i << " corner " << k;
    }
  }
  EXPECT_EQ(b->Of(RecordedCall::UploadVertices)[0].Vertices[0].colour, 0x80332211u);
}

TEST(DrawDeviceCorners, EmptyImagesDrawNothing) {
  RecordingBackend* b = nullptr;
  auto device = RecordingDevice(b);
  GridImage image(*device, 64, 32, 32, 32, SpriteTexels());
  image.loaded = false;
  device->BeginScene();
  EXPECT_FALSE(device->DrawImage(&image, 0, 0, 0, 0));
  EXPECT_FALSE(device->DrawImageRotated(&image, 0, 0, 3, 256, 0, 0));
  EXPECT_FALSE(device->DrawImage(nullptr, 0, 0, 0, 0));
  EXPECT_EQ(device->PendingQuads(), 0);
  image.loaded = true;
  EXPECT_TRUE(device->DrawImageScaled(&image, 0, 0, 0, 0xFFFFFF, 0, 0));  // zero size still queues
  EXPECT_EQ(device->PendingQuads(), 1);
}

TEST(DrawDeviceRotation, CornersFollowTheAngle) {
  RecordingBackend* b = nullptr;
  auto device = RecordingDevice(b);
  GridImage image(*device, 64, 32, 32, 32, SpriteTexels());
  auto corners = [&](int angle, int scale) {
    b->ClearCalls();
    device->BeginScene();
    EXPECT_TRUE(device->DrawImageRotated(&image, 100, 50, angle, scale, 0, 0));
    device->EndScene();
    const auto v = b->Of(RecordedCall::UploadVertices).at(0).Vertices;
    std::vector<float> out;
    for (const auto& c : v) {
      out.push_back(c.x);
      out.push_back(c.y);
    }
    return out;  // TL, TR, BL, BR
  };
  // Upright at 64: the rectangle 100 +- 16, 50 +- 16.
  EXPECT_EQ(corners(64, 256), (std::vector<float>{84, 34, 116, 34, 84, 66, 116, 66}));
  // At 0 a quarter turn anticlockwise: the top edge lies along the left side.
  EXPECT_EQ(corners(0, 256), (std::vector<float>{84, 66, 84, 34, 116, 66, 116, 34}));
  // 128 a quarter turn clockwise, 192 upside down; 256 wraps to 0.
  EXPECT_EQ(corners(128, 256), (std::vector<float>{116, 34, 116, 66, 84, 34, 84, 66}));
  EXPECT_EQ(corners(192, 256), (std::vector<float>{116, 66, 84, 66, 116, 34, 84, 34}));
  EXPECT_EQ(corners(256, 256), corners(0, 256));
  // Half size: 16 x 16 around the centre.
  EXPECT_EQ(corners(64, 128), (std::vector<float>{92, 42, 108, 42, 92, 58, 108, 58}));
  // Odd sizes keep the corner table's one-pixel shear: 32 * 300 div 256 = 37, hw = 18.
  EXPECT_EQ(corners(64, 300), (std::vector<float>{82, 32, 118, 31, 81, 68, 119, 69}));
}

TEST(DrawDeviceRotation, CacheEvictsTheOldestSlotAndStoresAtZero) {
  RecordingBackend* b = nullptr;
  auto device = RecordingDevice(b);
  // Sizes come from the image's pattern size times the scale: use scale 256 and
  // images of distinct sizes through a tiny fake image.
  struct SizedImage : DrawableImage {
    int32_t w = 1, h = 1;
    int32_t DrawPatternWidth() const override { return w; }
    int32_t DrawPatternHeight() const override { return h; }
    bool SelectPattern(int32_t, bool, bool, TextureHandle& t, QuadTemplate&) override {
      t = 7;
      return true;
    }
  } img;
  for (int32_t i = 0; i < 2048; ++i) {
    img.w = i + 1;
    device->DrawImageRotated(&img, 0, 0, 0, 256, 0, 0);
  }
  EXPECT_EQ(device->RotationCacheCount(), 2048);
  EXPECT_EQ(device->FindRotation(1, 1), 0);
  EXPECT_EQ(device->FindRotation(2048, 1), 2047);
  img.w = 5000;  // the 2049th size
  device->DrawImageRotated(&img, 0, 0, 0, 256, 0, 0);
  EXPECT_EQ(device->RotationCacheCount(), 2048);
  EXPECT_EQ(device->FindRotation(5000, 1), 0);
  EXPECT_EQ(device->FindRotation(2048, 1), -1);  // was at 2047
  EXPECT_EQ(device->FindRotation(1, 1), 1);
  EXPECT_EQ(device->FindRotation(2047, 1), 2047);
  img.w = 5001;
  device->DrawImageRotated(&img, 0, 0, 0, 256, 0, 0);
  EXPECT_EQ(device->FindRotation(2047, 1), -1);
  EXPECT_EQ(device->FindRotation(5001, 1), 0);
  EXPECT_EQ(device->FindRotation(5000, 1), 1);
  // A known size is found, not added again, and the cache outlives Finalize.
  img.w = 5000;
  device->DrawImageRotated(&img, 0, 0, 0, 256, 0, 0);
  EXPECT_EQ(device->FindRotation(5000, 1), 1);
  device->Finalize();
  EXPECT_EQ(device->RotationKey(1), (std::array<int32_t, 2>{5000, 1}));
}

TEST(DrawDeviceLifecycle, InitializeFinalizeAndCodes) {
  RecordingBackend* b = nullptr;
  auto device = RecordingDevice(b);
  EXPECT_TRUE(device->Initialized());
  EXPECT_EQ(device->Initialize(), kDrawInvalidCall);  // twice: refused, first still works
  EXPECT_TRUE(device->BeginScene());
  EXPECT_EQ(device->Finalize(), 0);
  EXPECT_EQ(device->Finalize(), kDrawInvalidCall);
  EXPECT_FALSE(device->BeginScene());
  EXPECT_FALSE(device->Clear(0));
  EXPECT_FALSE(device->EndScene());
  EXPECT_FALSE(device->Present());
  EXPECT_FALSE(device->FillBox(0, 0, 1, 1, 0, 0));
  EXPECT_FALSE(device->ResetDevice());
  device->SetViewport({0, 0, 1, 1});  // does nothing, no crash

  // Codes of the back end come back unchanged and leave nothing held.
  for (int32_t code : {kDrawNoDisplaySystem, kDrawNoCapabilities, kDrawNoAdapterIdentifier}) {
    device->SetBackendFactory([code](bool) {
      auto r = std::make_unique<RecordingBackend>();
      r->OpenDisplayResult = code;
      return std::unique_ptr<DrawBackend>(std::move(r));
    });
    EXPECT_EQ(device->Initialize(), code);
    EXPECT_FALSE(device->Initialized());
  }
  for (int32_t code : {kDrawNoDisplayMode, kDrawNoDevice, kDrawNoVertexBuffer}) {
    device->SetBackendFactory([code](bool) {
      auto r = std::make_unique<RecordingBackend>();
      r->CreateDeviceResult = code;
      return std::unique_ptr<DrawBackend>(std::move(r));
    });
    EXPECT_EQ(device->Initialize(), code);
    EXPECT_FALSE(device->Initialized());
  }
  // A hardware device with no window to draw into is an invalid call.
  TDrawDevice plain;
  EXPECT_EQ(plain.Initialize(), kDrawInvalidCall);
  plain.SetHardware(false);
  EXPECT_EQ(plain.Initialize(), 0);
  EXPECT_TRUE(plain.UsingSoftware());
}

TEST(DrawDeviceLifecycle, FinalizeDrawsWhatIsPending) {
  RecordingBackend* b = nullptr;
  auto device = RecordingDevice(b);
  std::vector<RecordedCall> log;
  b->Log = &log;
  GridImage image(*device, 64, 32, 32, 32, SpriteTexels());
  device->DrawImage(&image, 0, 0, 0, 0);
  EXPECT_EQ(device->Finalize(), 0);
  std::vector<RecordedCall::Kind> kinds;
  for (const auto& c : log) kinds.push_back(c.What);
  const std::vector<RecordedCall::Kind> expected = {
      RecordedCall::CreateTexture, RecordedCall::LockTexture,    RecordedCall::UnlockTexture,
      RecordedCall::BindTexture,   RecordedCall::UploadVertices, RecordedCall::DrawPrimitives,
      RecordedCall::BindTexture,   RecordedCall::Close};
  EXPECT_EQ(kinds, expected);
}

TEST(DrawDeviceLifecycle, ErrorTexts) {
  EXPECT_EQ(TDrawDevice::ErrorText(-1), "Invalid call");
  EXPECT_EQ(TDrawDevice::ErrorText(-3), "Could not enumerate video modes or video mode not supported");
  EXPECT_EQ(TDrawDevice::ErrorText(-7), "Could not retreive device capabilities");
  EXPECT_EQ(TDrawDevice::ErrorText(-8), "Failed to retreive adapter identifier");
  EXPECT_EQ(TDrawDevice::ErrorText(-10), "Failed to set rendering parameters");
  EXPECT_EQ(TDrawDevice::ErrorText(-11), "Internal error [-11]");
  EXPECT_EQ(TDrawDevice::ErrorText(0), "Internal error [0]");
  EXPECT_EQ(TDrawDevice::ErrorText(7), "Internal error [7]");
}

TEST(DrawDeviceLifecycle, LostDeviceRaisesTheEventAndRebindsAfterwards) {
  RecordingBackend* b = nullptr;
  auto device = RecordingDevice(b);
  GridImage image(*device, 64, 32, 32, 32, SpriteTexels());
  int lost = 0;
  device->BeginScene();
  device->DrawImage(&image, 0, 0, 0, 2);
  device->EndScene();
  b->Lost = true;
  EXPECT_FALSE(device->Present());  // no handler: nothing else happens
  EXPECT_FALSE(device->Present());
  device->OnDeviceLost = [&](TDrawDevice& d) {
    ++lost;
    EXPECT_TRUE(d.ResetDevice());
  };
  EXPECT_FALSE(device->Present());
  EXPECT_EQ(lost, 1);
  EXPECT_TRUE(device->Present());
  // Texture and blend are bound afresh.
  b->ClearCalls();
  device->BeginScene();
  device->DrawImage(&image, 0, 0, 0, 2);
  device->EndScene();
  EXPECT_EQ(b->Count(RecordedCall::BindTexture), 1);
  EXPECT_EQ(b->Count(RecordedCall::SetBlend), 1);
}

TEST(DrawDeviceProperties, SetterRules) {
  TDrawDevice d;
  d.SetCustomRefreshRate(75);  // RefreshRate is not rr_custom yet
  EXPECT_EQ(d.CustomRefreshRate(), 0);
  d.SetRefreshRate(rr_custom);
  d.SetCustomRefreshRate(75);
  EXPECT_EQ(d.CustomRefreshRate(), 75);
  d.SetRefreshRate(rr_highest);
  EXPECT_EQ(d.CustomRefreshRate(), 0);
  EXPECT_TRUE(d.Antialias());
  EXPECT_FALSE(d.Dithering());
  EXPECT_EQ(d.BitDepth(), bd_Low);
  EXPECT_EQ(d.ZBuffer(), zb_None);

  RecordingBackend* b = nullptr;
  auto device = RecordingDevice(b);
  device->SetWidth(320);
  device->SetHeight(200);
  device->SetFullScreen(true);
  device->SetBitDepth(bd_High);
  device->SetVSync(true);
  device->SetBackBufferCount(3);
  device->SetZBuffer(zb_32bit);
  device->SetRefreshRate(rr_custom);
  EXPECT_EQ(device->Width(), 640);
  EXPECT_EQ(device->Height(), 480);
  EXPECT_FALSE(device->FullScreen());
  EXPECT_EQ(device->BitDepth(), bd_Low);
  EXPECT_FALSE(device->VSync());
  EXPECT_EQ(device->BackBufferCount(), 1);
  EXPECT_EQ(device->ZBuffer(), zb_None);
  EXPECT_EQ(device->RefreshRate(), rr_default);
  // Antialias applies at once, flushing first.
  GridImage image(*device, 64, 32, 32, 32, SpriteTexels());
  device->DrawImage(&image, 0, 0, 0, 0);
  b->ClearCalls();
  device->SetAntialias(false);
  ASSERT_EQ(b->Calls.size(), 3u);  // upload, draw, filter
  EXPECT_EQ(b->Calls[1].What, RecordedCall::DrawPrimitives);
  EXPECT_EQ(b->Calls.back().What, RecordedCall::SetFilter);
  EXPECT_EQ(b->Calls.back().Args[0], 0);
}

// Full-screen mode choice, over a fixed list of modes.
class FixedModes : public DisplayModeSource {
 public:
  std::vector<DisplayMode> modes;
  bool fail = false;
  bool ModeCount(int32_t& n) override {
    n = static_cast<int32_t>(modes.size());
    return !fail;
  }
  bool Mode(int32_t i, DisplayMode& m) override {
    m = modes[static_cast<size_t>(i)];
    return true;
  }
  bool CurrentMode(DisplayMode& m) override {
    m = {640, 480, 60, kDisplayX8R8G8B8};
    return true;
  }
};

TEST(ModeList, SelectModeRules) {
  TModeList list(72);
  EXPECT_EQ(list.SelectMode(rr_default), nullptr);
  for (int rate : {60, 85, 72, 75, 100}) list.Add(640, 480, kDisplayR5G6B5, rate);
  EXPECT_EQ(list.Count(), 5);
  list.SortByRefreshRate();
  std::vector<int> rates;
  for (TModeRecord* r = list.First(); r != nullptr; r = r->Next) rates.push_back(r->RefreshRate);
  EXPECT_EQ(rates, (std::vector<int>{100, 85, 75, 72, 60}));
  EXPECT_EQ(list.SelectMode(rr_default)->RefreshRate, 60);
  EXPECT_EQ(list.SelectMode(rr_lowest)->RefreshRate, 60);
  EXPECT_EQ(list.SelectMode(rr_average)->RefreshRate, 75);  // index 5 div 2
  EXPECT_EQ(list.SelectMode(rr_higher)->RefreshRate, 85);
  EXPECT_EQ(list.SelectMode(rr_highest)->RefreshRate, 100);
  EXPECT_EQ(list.SelectMode(rr_custom)->RefreshRate, 72);
  list.CustomRefreshRate = 50;
  EXPECT_EQ(list.SelectMode(rr_custom)->RefreshRate, 60);  // none at 50: the last

  TModeList two;
  two.Add(640, 480, kDisplayR5G6B5, 60);
  two.Add(640, 480, kDisplayR5G6B5, 75);
  EXPECT_EQ(two.SelectMode(rr_higher)->RefreshRate, 75);  // fewer than 3: index 0
  EXPECT_EQ(two.SelectMode(rr_average)->RefreshRate, 60);

  // Equal rates keep their order.
  TModeList same;
  same.Add(1, 1, 1, 60);
  same.Add(2, 2, 2, 60);
  same.SortByRefreshRate();
  EXPECT_EQ(same.First()->Width, 2);
}

TEST(ModeList, EnumerateMatchesSizeAndDepth) {
  FixedModes source;
  source.modes = {{640, 480, 60, kDisplayR5G6B5},   {640, 480, 75, kDisplayX1R5G5B5},
                  {640, 480, 60, kDisplayX8R8G8B8}, {800, 600, 60, kDisplayR5G6B5},
                  {640, 480, 70, 0}};
  TModeList list;
  list.Add(1, 1, 1, 1);
  EXPECT_TRUE(list.Enumerate(source, 640, 480, 16));
  EXPECT_EQ(list.Count(), 2);
  EXPECT_EQ(list.First()->RefreshRate, 75);  // added at the head
  EXPECT_TRUE(list.Enumerate(source, 640, 480, 32));
  EXPECT_EQ(list.Count(), 1);
  EXPECT_TRUE(list.Enumerate(source, 640, 480, 24));
  EXPECT_EQ(list.Count(), 0);
  source.fail = true;
  EXPECT_FALSE(list.Enumerate(source, 640, 480, 16));
}

TEST(ModeList, FullScreenInitialisationPicksAMode) {
  auto source = std::make_shared<FixedModes>();
  source->modes = {{640, 480, 60, kDisplayR5G6B5}, {640, 480, 75, kDisplayR5G6B5},
                   {640, 480, 85, kDisplayR5G6B5}};
  RecordingBackend* b = nullptr;
  TDrawDevice device;
  RecordingBackend** out = &b;
  device.SetBackendFactory([out](bool) {
    auto r = std::make_unique<RecordingBackend>();
    *out = r.get();
    return std::unique_ptr<DrawBackend>(std::move(r));
  });
  device.SetModeSource(source);
  device.SetFullScreen(true);
  device.SetRefreshRate(rr_custom);
  device.SetCustomRefreshRate(75);
  device.SetVSync(true);
  device.SetBackBufferCount(2);
  ASSERT_EQ(device.Initialize(), 0);
  EXPECT_EQ(b->Settings.RefreshRate, 75);
  EXPECT_TRUE(b->Settings.VSync);
  EXPECT_EQ(b->Settings.BackBufferCount, 2);
  EXPECT_TRUE(b->Settings.LowBitDepth);
  device.Finalize();

  // 32-bit modes asked for but none of that depth: the 16-bit ones are not tried
  // because enumerating succeeded, so there is no mode.
  device.SetBitDepth(bd_High);
  EXPECT_EQ(device.Initialize(), kDrawNoVideoMode);
  // Enumeration failing outright does fall back to the other depth... which fails too.
  source->fail = true;
  EXPECT_EQ(device.Initialize(), kDrawNoVideoMode);
  EXPECT_FALSE(device.Initialized());
}

}  // namespace
}  // namespace tarq

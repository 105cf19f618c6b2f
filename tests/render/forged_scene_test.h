#pragma once
// What every golden picture of a game screen starts from: the forged graphics (and
// map) loaded onto a 640 x 480 software device, a canvas over them, and a game that
// knows the sprites' names.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>

#include "../assets/draw_test_support.h"
#include "assets/asset_loader.h"
#include "core/random.h"
#include "game/game.h"
#include "render/frame.h"

namespace tarq {

// What to load besides the graphics. The frame and menu pictures were made without the
// sprites' names, so the enemies in them keep the look those pictures recorded.
struct ForgedSceneParts {
  bool Map = true;
  bool SpriteNames = true;
};

class ForgedSceneTest : public ::testing::Test {
 protected:
  // Seeds the random numbers and loads the scene; the caller's SetUp stops when this
  // fails (HasFatalFailure).
  void LoadForgedScene(uint64_t seed, ForgedSceneParts parts = {}) {
    FillAngleTables();
    SeedRandom(seed);
    device = testing::SoftwareDevice(640, 480);
    AssetLoaderContext ctx;
    ctx.Device = device.get();
    ctx.Root = TARQ_DATA_DIR;
    const LoadGraphicsResult loaded = LoadGraphics(assets, ctx);
    ASSERT_TRUE(loaded.Ok) << loaded.Error;
    if (parts.Map) {
      std::string error;
      ASSERT_TRUE(LoadMap(std::string(TARQ_DATA_DIR) + "/system/map.dat", game.Map, error)) << error;
    }
    canvas = std::make_unique<DeviceFrameCanvas>(*device, assets);
    if (parts.SpriteNames) {
      for (const TSpriteImage& s : assets.SpriteImage) game.SpriteNames.push_back(s.Name);
    }
  }
  void TearDown() override { ReleaseGraphics(assets, nullptr); }

  std::unique_ptr<TDrawDevice> device;
  GameAssets assets;
  std::unique_ptr<DeviceFrameCanvas> canvas;
  Game game;
};

}  // namespace tarq

#pragma once
// The content forge: writes the game's whole data folder (system/ and tiles/)
// deterministically from code. Each family of content has its own entry point.
#include <filesystem>

namespace tarq::forge {

struct ForgeContext {
  std::filesystem::path out;     // the data folder: out/system, out/tiles
  std::filesystem::path sheets;  // where contact sheets go; empty = none
  bool WantSheets() const { return !sheets.empty(); }
};

// system/sprites.pak, system/loading.tga (sprites and pictures).
void ForgeSprites(const ForgeContext& ctx);
// system/timesroman.fnt, system/stencil.fnt.
void ForgeFonts(const ForgeContext& ctx);
// tiles/tiles.txt and tiles/*.tga.
void ForgeTiles(const ForgeContext& ctx);
// system/map.dat and system/enemies.txt from the level plan.
void ForgeLevel(const ForgeContext& ctx);
// system/sounds/00.wav .. 15.wav and system/music/*.
void ForgeAudio(const ForgeContext& ctx);

// The desktop icon at each size: folder/NxN/tarq.png (not part of the data folder).
inline constexpr int kIconSizes[] = {48, 64, 128, 256};
void ForgeIcons(const std::filesystem::path& folder);

}  // namespace tarq::forge

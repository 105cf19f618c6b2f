#pragma once
// Asset loading: everything the game draws (two fonts, the sprite table, the 2048 tile
// images and their solidity), plus the music through a hook, behind a loading screen
// with three labelled progress figures; at the end the input devices are initialised.
// Runs once at start-up and again after each window/full-screen switch, when the
// device and all textures have been recreated (the music only loads once per run).
//
// Files, relative to the data folder:
//   system/timesroman.fnt  Font1, texture format 26
//   system/stencil.fnt     Font2, texture format 26
//   system/loading.tga     the loading picture: pattern 0 (64 x 64) is stretched over
//                          the whole screen
//   system/sprites.pak     the sprite archive, every record in format 21
//   tiles/tiles.txt        the tile list; pictures tiles/<name>.tga (format 21), else
//                          tiles/<name>.bmp (format 25, magenta transparent)
//
// Missing fonts, loading picture, archive, sprites or tile pictures are not errors:
// they stay unloaded and draw nothing. A missing or malformed tile list, a tile
// picture that exists but cannot be read, or failing input devices stop the loading
// with an error the shell reports before it ends the program.
#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "assets/bitmap_font.h"
#include "assets/pattern_image.h"
#include "assets/record_archive.h"

namespace tarq {

class TDrawDevice;
class TInputDevices;

constexpr int32_t kTileImageCount = 2048;
// The longest tile list read: one line for each of the 2048 tile numbers with a base
// name of up to 255 characters comes to about 570 KB.
constexpr size_t kMaxTileListBytes = size_t{1} << 20;
constexpr int32_t kMusicTrackLoadCount = 9;

// Solidity of one tile: 4 x 4 cells row by row from the top-left, each 0, 1 or 2.
using TileSolidityGrid = std::array<uint8_t, 16>;

// One entry of the sprite table: the archive record's name in lower case and its
// image.
struct TSpriteImage {
  std::string Name;
  std::unique_ptr<TPatternImage> Image;
};

// Everything the loader produces; the renderer and the game read it. The images hold
// textures of the drawing device: call ReleaseGraphics before that device is
// finalised or destroyed.
struct GameAssets {
  TBitmapFont Font1;  // serif face
  TBitmapFont Font2;  // stencil face
  TRecordArchive Archive1;  // the sprite archive, read only
  std::vector<TSpriteImage> SpriteImage;  // in the archive's table order
  std::vector<std::unique_ptr<TPatternImage>> TileImages;  // kTileImageCount once loaded
  std::vector<TileSolidityGrid> TileSolidity;              // kTileImageCount once loaded
  bool MusicLoaded = false;

  GameAssets();

  // Index of the first sprite whose name equals name exactly (the table holds lower
  // case names); 0 when there is none, which is also what an empty table gives.
  int32_t sn(const std::string& name) const;
  // The image of sprite index, or nullptr when the index is outside the table.
  TPatternImage* Sprite(int32_t index) const;
};

// The three phases of the loading screen.
enum class LoadingPhase { kMusic, kSprites, kTiles };

// One text of a loading frame, centred on (320, Y) with Font2 at scale 256.
struct LoadingText {
  std::string Text;
  int32_t Y = 0;
  uint32_t Colour = 0;
};

constexpr uint32_t kLoadingWhite = 0xFFFFFF;
constexpr uint32_t kLoadingGrey = 0x7F7F7F;

// The texts of a loading frame: the phase in progress has a white label and, when
// figure is given, its figure in white; finished phases show "100%" in grey, phases
// not started "0%" in grey. The opening frames are the music phase without a figure.
std::vector<LoadingText> LoadingFrameTexts(LoadingPhase phase, std::optional<int32_t> figure);

// How the loader reaches the rest of the program.
struct AssetLoaderContext {
  TDrawDevice* Device = nullptr;  // initialised; required
  TInputDevices* Input = nullptr;  // initialised at the end when given
  std::filesystem::path Root = ".";  // the data folder holding system/ and tiles/
  // Loads music track index (0 .. 8) of the track table; the loader draws the
  // frames and keeps the once-per-run flag. Without it the phase only draws.
  std::function<void(int32_t index)> LoadMusicTrack;
  // Told about every loading frame drawn (tests, logging).
  std::function<void(LoadingPhase, const std::vector<LoadingText>&)> OnFrame;
};

struct LoadGraphicsResult {
  bool Ok = true;
  std::string Error;  // the message for the player when not Ok
};

// A tile list line, split. Number is the tile number, Base the picture's base name.
struct TileLine {
  int32_t Number = 0;
  TileSolidityGrid Solidity{};
  std::string Base;
};

// Removes leading and trailing blanks and control characters.
std::string TrimTileLine(const std::string& line);
// Splits a tile list into lines (CR, LF or CR LF end a line; a last line without an
// end counts).
std::vector<std::string> SplitTileList(const std::string& text);
// Parses one trimmed, non-empty line: characters 1..4 the tile number in decimal,
// 6..21 the sixteen cells ("1" and "2" count, anything else is 0), 23.. the base
// name. False with a reason when the line is shorter than 22 characters or the
// number is not four decimal digits in 0..2047.
bool ParseTileLine(const std::string& trimmed, TileLine& out, std::string& error);

// The whole loading sequence (see the top of this file).
LoadGraphicsResult LoadGraphics(GameAssets& assets, const AssetLoaderContext& ctx);

// The asset part of the program's final release: fonts, tile images, sprite images
// unloaded and their tables emptied; the input devices finalised when given. The
// music stays loaded.
void ReleaseGraphics(GameAssets& assets, TInputDevices* input);

}  // namespace tarq

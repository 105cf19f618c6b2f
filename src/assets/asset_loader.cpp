#include "assets/asset_loader.h"

#include <cstdio>
#include <exception>
#include <fstream>
#include <iterator>
#include <sstream>

#include "assets/bitmap_ex.h"
#include "gfx/draw_device.h"
#include "core/bounded_file.h"
#include "input/input_devices.h"
#include "render/text.h"

namespace tarq {

namespace {

constexpr int32_t kFontFormat = 26;         // A4R4G4B4
constexpr int32_t kSpriteFormat = 21;       // A8R8G8B8
constexpr int32_t kTileTgaFormat = 21;      // A8R8G8B8
constexpr int32_t kTileBmpFormat = 25;      // A1R5G5B5, magenta keyed out
constexpr uint32_t kTileColourKey = 0xFF00FF;
constexpr int32_t kTileSize = 64;
constexpr int32_t kOpeningFrames = 3;
constexpr size_t kMinTileLine = 22;

std::string LowerName(const std::string& name) {
  std::string lower = name;
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lower;
}

// Draws one loading frame: the picture stretched over the screen, then the texts.
void DrawLoadingFrame(GameAssets& assets, const AssetLoaderContext& ctx, TPatternImage& picture,
                      LoadingPhase phase, std::optional<int32_t> figure) {
  const std::vector<LoadingText> texts = LoadingFrameTexts(phase, figure);
  TDrawDevice& device = *ctx.Device;
  const TextContext text{&assets.Font1, &assets.Font2, &device};
  device.BeginScene();
  device.DrawQuad(&picture, 0, 0, 640, 0, 640, 480, 0, 480, 0, 0);
  for (const LoadingText& t : texts) Center(text, t.Text, 320, t.Y, t.Colour, 256);
  device.EndScene();
  device.Present();
  if (ctx.OnFrame) ctx.OnFrame(phase, texts);
}

// Loads a picture file into image; a reader error comes back as its message.
bool LoadPicture(TPatternImage& image, TDrawDevice& device, const std::filesystem::path& path,
                 int32_t format, std::string& error) {
  try {
    image.LoadFromFile(device, path.string(), kTileSize, kTileSize, kTileSize, kTileSize, format);
    return true;
  } catch (const std::exception& e) {
    image.Unload();
    error = path.generic_string() + ": " + e.what();
    return false;
  }
}

// A base name from the tile list must name a picture inside the tiles folder: no
// absolute names and no ".." steps (the list may use either slash).
bool TileNameStaysInside(const std::string& base) {
  if (base.empty() || base[0] == '/') return false;
  size_t start = 0;
  while (start <= base.size()) {
    size_t end = base.find('/', start);
    if (end == std::string::npos) end = base.size();
    if (base.compare(start, end - start, "..") == 0) return false;
    start = end + 1;
  }
  return true;
}

}  // namespace

GameAssets::GameAssets() { Archive1.OpenMode = opReadOnly; }

int32_t GameAssets::sn(const std::string& name) const {
  for (size_t i = 0; i < SpriteImage.size(); ++i) {
    if (SpriteImage[i].Name == name) return static_cast<int32_t>(i);
  }
  return 0;
}

TPatternImage* GameAssets::Sprite(int32_t index) const {
  if (index < 0 || static_cast<size_t>(index) >= SpriteImage.size()) return nullptr;
  return SpriteImage[static_cast<size_t>(index)].Image.get();
}

std::vector<LoadingText> LoadingFrameTexts(LoadingPhase phase, std::optional<int32_t> figure) {
  struct Row {
    LoadingPhase phase;
    const char* label;
    int32_t label_y;
    int32_t figure_y;
  };
  static constexpr Row kRows[] = {{LoadingPhase::kMusic, "LOADING MUSIC...", 137, 163},
                                  {LoadingPhase::kSprites, "LOADING SPRITES...", 217, 243},
                                  {LoadingPhase::kTiles, "LOADING TILES...", 297, 323}};
  std::vector<LoadingText> texts;
  for (const Row& row : kRows) {
    const bool current = row.phase == phase;
    texts.push_back({row.label, row.label_y, current ? kLoadingWhite : kLoadingGrey});
    if (current) {
      if (figure) texts.push_back({std::to_string(*figure) + "%", row.figure_y, kLoadingWhite});
    } else {
      const bool finished = static_cast<int>(row.phase) < static_cast<int>(phase);
      texts.push_back({finished ? "100%" : "0%", row.figure_y, kLoadingGrey});
    }
  }
  return texts;
}

std::string TrimTileLine(const std::string& line) {
  size_t first = 0;
  size_t last = line.size();
  while (first < last && static_cast<unsigned char>(line[first]) <= ' ') ++first;
  while (last > first && static_cast<unsigned char>(line[last - 1]) <= ' ') --last;
  return line.substr(first, last - first);
}

std::vector<std::string> SplitTileList(const std::string& text) {
  std::vector<std::string> lines;
  std::string current;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r' || c == '\n') {
      lines.push_back(current);
      current.clear();
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      current += c;
    }
  }
  if (!current.empty()) lines.push_back(current);
  return lines;
}

bool ParseTileLine(const std::string& trimmed, TileLine& out, std::string& error) {
  if (trimmed.size() < kMinTileLine) {
    error = "line \"" + trimmed + "\" is shorter than 22 characters";
    return false;
  }
  int32_t number = 0;
  for (size_t i = 0; i < 4; ++i) {
    const char c = trimmed[i];
    if (c < '0' || c > '9') {
      error = "tile number \"" + trimmed.substr(0, 4) + "\" is not a decimal number";
      return false;
    }
    number = number * 10 + (c - '0');
  }
  if (number >= kTileImageCount) {
    error = "tile number " + std::to_string(number) + " lies outside 0..2047";
    return false;
  }
  out.Number = number;
  for (size_t cell = 0; cell < 16; ++cell) {
    const char c = trimmed[5 + cell];
    out.Solidity[cell] = c == '1' ? 1 : (c == '2' ? 2 : 0);
  }
  out.Base = trimmed.substr(kMinTileLine);
  return true;
}

LoadGraphicsResult LoadGraphics(GameAssets& assets, const AssetLoaderContext& ctx) {
  if (!ctx.Device) return {false, "no drawing device to load the graphics onto"};
  TDrawDevice& device = *ctx.Device;
  const std::filesystem::path system = ctx.Root / "system";

  // 1. Fonts (failures leave them unloaded; text then draws nothing).
  assets.Font1.DrawDevice = &device;
  assets.Font2.DrawDevice = &device;
  assets.Font1.LoadFromFile((system / "timesroman.fnt").string(), kFontFormat);
  assets.Font2.LoadFromFile((system / "stencil.fnt").string(), kFontFormat);

  // 2. The loading picture; released when loading ends, however it ends.
  TPatternImage picture;
  std::string picture_error;
  std::error_code picture_ec;
  if (std::filesystem::exists(system / "loading.tga", picture_ec) &&
      !LoadPicture(picture, device, system / "loading.tga", kSpriteFormat, picture_error)) {
    // Not an error for the game (the screen is drawn without it), but worth a line.
    std::fprintf(stderr, "TARQ: no loading picture: %s\n", picture_error.c_str());
  }

  // 3. Opening frames.
  for (int32_t i = 0; i < kOpeningFrames; ++i) {
    DrawLoadingFrame(assets, ctx, picture, LoadingPhase::kMusic, std::nullopt);
  }

  // 4. Music, once per run: nine tracks, figures loaded x 100 div 8.
  if (!assets.MusicLoaded) {
    for (int32_t track = 0; track < kMusicTrackLoadCount; ++track) {
      DrawLoadingFrame(assets, ctx, picture, LoadingPhase::kMusic, track * 100 / 8);
      if (ctx.LoadMusicTrack) ctx.LoadMusicTrack(track);
    }
    assets.MusicLoaded = true;
  }

  // 5. Sprites, one per archive record in table order. The screen is redrawn only
  // when the figure changes.
  assets.SpriteImage.clear();
  assets.Archive1.FileName = (system / "sprites.pak").string();
  assets.Archive1.Open();
  int32_t last = 100;
  const int32_t count = assets.Archive1.RecordCount();
  assets.SpriteImage.resize(static_cast<size_t>(count));
  for (int32_t i = 0; i < count; ++i) {
    const int32_t figure = static_cast<int32_t>((static_cast<int64_t>(i) + 1) * 100 / count);
    if (figure != last) {
      DrawLoadingFrame(assets, ctx, picture, LoadingPhase::kSprites, figure);
      last = figure;
    }
    TSpriteImage& sprite = assets.SpriteImage[static_cast<size_t>(i)];
    const std::string name = assets.Archive1.RecordName(i);
    sprite.Image = std::make_unique<TPatternImage>();
    sprite.Image->LoadFromArchive(assets.Archive1, device, name, kSpriteFormat);
    sprite.Name = LowerName(name);
  }

  // 6. Tiles from the tile list.
  const std::filesystem::path tiles = ctx.Root / "tiles";
  const std::filesystem::path list_path = tiles / "tiles.txt";
  std::string list_text;
  const FileReadResult list_read = ReadBoundedFile(list_path.string(), kMaxTileListBytes, list_text);
  if (!list_read.Ok()) {
    return {false, "Cannot read the tile list " + list_path.generic_string() +
                       (list_read.Status == FileReadStatus::kMissing ? "" : ": " + list_read.Error)};
  }
  const std::vector<std::string> lines = SplitTileList(list_text);
  assets.TileImages.clear();
  assets.TileImages.resize(kTileImageCount);
  for (auto& image : assets.TileImages) image = std::make_unique<TPatternImage>();
  assets.TileSolidity.assign(kTileImageCount, TileSolidityGrid{});
  const int64_t line_count = static_cast<int64_t>(lines.size());
  for (int64_t i = 0; i < line_count; ++i) {
    const std::string line = TrimTileLine(lines[static_cast<size_t>(i)]);
    if (line.empty()) continue;
    const int32_t figure = static_cast<int32_t>((i + 1) * 100 / line_count);
    if (figure != last) {
      DrawLoadingFrame(assets, ctx, picture, LoadingPhase::kTiles, figure);
      last = figure;
    }
    TileLine tile;
    std::string error;
    if (!ParseTileLine(line, tile, error)) {
      return {false, "Error in " + list_path.generic_string() + ", line " + std::to_string(i + 1) +
                         ": " + error};
    }
    std::string base = tile.Base;
    for (char& c : base) {
      if (c == '\\') c = '/';  // the list may name subfolders the Windows way
    }
    if (!TileNameStaysInside(base)) {
      return {false, "Error in " + list_path.generic_string() + ", line " + std::to_string(i + 1) +
                         ": the tile name \"" + tile.Base + "\" leads outside the tiles folder"};
    }
    TPatternImage& image = *assets.TileImages[static_cast<size_t>(tile.Number)];
    const std::filesystem::path tga = tiles / (base + ".tga");
    const std::filesystem::path bmp = tiles / (base + ".bmp");
    std::error_code ec;
    if (std::filesystem::exists(tga, ec)) {
      if (!LoadPicture(image, device, tga, kTileTgaFormat, error)) return {false, error};
    } else if (std::filesystem::exists(bmp, ec)) {
      if (!LoadPicture(image, device, bmp, kTileBmpFormat, error)) return {false, error};
      image.SetColorKey(kTileColourKey);
    }
    assets.TileSolidity[static_cast<size_t>(tile.Number)] = tile.Solidity;
  }

  // 7. The loading picture is released by its destructor. 8. Input devices.
  picture.Unload();
  if (ctx.Input && ctx.Input->Initialize() != 0) {
    ReleaseGraphics(assets, nullptr);
    return {false, "The input devices could not be initialised."};
  }
  return {};
}

void ReleaseGraphics(GameAssets& assets, TInputDevices* input) {
  assets.Font1.Unload();
  assets.Font2.Unload();
  for (auto& image : assets.TileImages) {
    if (image) image->Unload();
  }
  assets.TileImages.clear();
  for (TSpriteImage& sprite : assets.SpriteImage) {
    if (sprite.Image) sprite.Image->Unload();
  }
  assets.SpriteImage.clear();
  if (input) input->Finalize();
}

}  // namespace tarq

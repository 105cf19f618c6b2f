#pragma once
// The configuration file system/tarq.ini: sections graphics, controls and sound.
//
// Keys are read as strings; a missing file, section or key gives the default. Section
// and key names match without regard to case. Writing keeps every other section and
// key of the file and replaces the file atomically (temporary file, then rename), so
// a crash mid-write never loses the player's settings.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "input/controls.h"

namespace tarq {

// All game paths are relative to the data folder (the current directory).
inline constexpr const char* kConfigFile = "system/tarq.ini";
// The largest settings file read: it holds some twenty keys in three sections (well
// under 1 KB); 1 MiB leaves room for any comments a player adds.
inline constexpr size_t kMaxConfigFileBytes = size_t{1} << 20;

// One INI file in memory. Load() of a missing file gives an empty file (all defaults).
class IniFile {
 public:
  IniFile();
  ~IniFile();
  IniFile(const IniFile&) = delete;
  IniFile& operator=(const IniFile&) = delete;

  // Reads `path`. A missing file is not an error (the first write creates it). A file
  // that exists but cannot be read is: writing it back would lose the player's data.
  bool Load(const std::string& path, std::string* error = nullptr);
  // Parses INI text (used by Load and by tests).
  void LoadText(std::string_view text);

  std::string ReadString(const char* section, const char* key, const char* def) const;
  void WriteString(const char* section, const char* key, const std::string& value);

  std::string Text() const;
  // Writes the whole file to a temporary file beside `path`, flushes it to disk and
  // renames it over `path`. Creates the parent folder if it is missing.
  bool Save(const std::string& path, std::string* error = nullptr) const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// Section graphics as the configuration dialog sees it. The defaults are those of a
// missing file.
struct GraphicsSettings {
  bool FullScreen = true;       // fullscreen = "true"
  bool LowBitDepth = true;      // bitdepth = "low" (16-bit), else high (32-bit)
  bool VSync = true;            // vsync = "true"
  bool DoubleBuffering = true;  // buffercount = "2", else triple buffering
  bool ShowOptions = true;      // showoptions = "true"
};

GraphicsSettings ReadGraphicsSettings(const IniFile& ini);
// Writes all five graphics keys ("true"/"false", "low"/"high", "2"/"3").
void WriteGraphicsSettings(IniFile& ini, const GraphicsSettings& settings);

// The main window's settings: the sixteen stored control bindings, the show-options
// flag and the two volumes.
struct GameSettings {
  ControlBindingTable ControlBindings = DefaultControlBindings();
  bool ShowOptionsAtStart = true;
  int32_t SoundVolume = 100;
  int32_t MusicVolume = 100;
};

// Start-up reading: controls into the binding table (the seventh and tenth control of
// each player keep their built-in values), showoptions, soundvolume, musicvolume.
GameSettings ReadGameSettings(const IniFile& ini);
// The write on close: the sixteen control keys, showoptions and both volumes. The
// other four graphics keys belong to the dialog and are left alone.
void WriteGameSettings(IniFile& ini, const GameSettings& settings);

// A volume value: an optional sign and decimal digits that fit in 32 bits; anything
// else (empty, "loud", "1e2", "0x10", out of range) reads as 100. The 0..100 range is
// enforced only where the player changes the volume.
int32_t ParseVolume(std::string_view text);

// Lower-cases ASCII letters; values are compared after this.
std::string LowerCase(std::string_view text);

}  // namespace tarq

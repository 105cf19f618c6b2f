#include "app/config.h"

// The Debian header keeps its template bodies behind this switch; one unit has them.
#define SI_IMPLEMENTATION
#include <SimpleIni.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/bounded_file.h"
#include "core/file_write.h"

namespace tarq {

namespace {

constexpr const char* kGraphics = "graphics";
constexpr const char* kControls = "controls";
constexpr const char* kSound = "sound";

void SetError(std::string* error, const std::string& text) {
  if (error) *error = text;
}

}  // namespace

struct IniFile::Impl {
  // Case-insensitive section and key names, as the INI files of the game expect.
  CSimpleIniA ini{false, false, false};
  // Written as "key=value", the classic INI layout.
  Impl() { ini.SetSpaces(false); }
};

IniFile::IniFile() : impl_(std::make_unique<Impl>()) {}
IniFile::~IniFile() = default;

bool IniFile::Load(const std::string& path, std::string* error) {
  impl_->ini.Reset();
  // A file that cannot be read, is a folder or is too large is an error: the caller
  // uses the defaults and never writes over what the player has there.
  std::string text;
  const FileReadResult read = ReadBoundedFile(path, kMaxConfigFileBytes, text);
  if (read.Status == FileReadStatus::kMissing) return true;
  if (!read.Ok()) {
    SetError(error, read.Error);
    return false;
  }
  LoadText(text);
  return true;
}

void IniFile::LoadText(std::string_view text) {
  impl_->ini.Reset();
  // SimpleIni accepts any text: lines it does not understand are skipped.
  impl_->ini.LoadData(text.data(), text.size());
}

std::string IniFile::ReadString(const char* section, const char* key, const char* def) const {
  const char* v = impl_->ini.GetValue(section, key, def);
  return v ? std::string(v) : std::string(def);
}

void IniFile::WriteString(const char* section, const char* key, const std::string& value) {
  impl_->ini.SetValue(section, key, value.c_str());
}

std::string IniFile::Text() const {
  std::string out;
  impl_->ini.Save(out);
  return out;
}

bool IniFile::Save(const std::string& path, std::string* error) const {
  return SaveFileSafely(path, Text(), OnExisting::Replace, error) == SaveOutcome::Saved;
}

std::string LowerCase(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

int32_t ParseVolume(std::string_view text) {
  const char* first = text.data();
  const char* last = text.data() + text.size();
  const bool plus = first != last && *first == '+';  // from_chars takes '-' but not '+'
  if (plus) ++first;
  if (first == last || (plus && *first == '-')) return 100;
  int32_t value = 0;
  const auto [end, ec] = std::from_chars(first, last, value, 10);
  if (ec != std::errc() || end != last) return 100;
  return value;
}

GraphicsSettings ReadGraphicsSettings(const IniFile& ini) {
  GraphicsSettings s;
  s.FullScreen = LowerCase(ini.ReadString(kGraphics, "fullscreen", "true")) == "true";
  s.LowBitDepth = LowerCase(ini.ReadString(kGraphics, "bitdepth", "low")) == "low";
  s.VSync = LowerCase(ini.ReadString(kGraphics, "vsync", "true")) == "true";
  s.DoubleBuffering = LowerCase(ini.ReadString(kGraphics, "buffercount", "2")) == "2";
  s.ShowOptions = LowerCase(ini.ReadString(kGraphics, "showoptions", "true")) == "true";
  return s;
}

void WriteGraphicsSettings(IniFile& ini, const GraphicsSettings& s) {
  ini.WriteString(kGraphics, "fullscreen", s.FullScreen ? "true" : "false");
  ini.WriteString(kGraphics, "bitdepth", s.LowBitDepth ? "low" : "high");
  ini.WriteString(kGraphics, "vsync", s.VSync ? "true" : "false");
  ini.WriteString(kGraphics, "buffercount", s.DoubleBuffering ? "2" : "3");
  ini.WriteString(kGraphics, "showoptions", s.ShowOptions ? "true" : "false");
}

GameSettings ReadGameSettings(const IniFile& ini) {
  GameSettings s;
  const ControlBindingTable& defaults = DefaultControlBindings();
  for (const ConfigurableControl& c : ConfigurableControls()) {
    const std::string& def = defaults[c.player][c.control];
    s.ControlBindings[c.player][c.control] = ini.ReadString(kControls, c.key, def.c_str());
  }
  s.ShowOptionsAtStart = LowerCase(ini.ReadString(kGraphics, "showoptions", "true")) == "true";
  s.SoundVolume = ParseVolume(ini.ReadString(kSound, "soundvolume", "100"));
  s.MusicVolume = ParseVolume(ini.ReadString(kSound, "musicvolume", "100"));
  return s;
}

void WriteGameSettings(IniFile& ini, const GameSettings& s) {
  for (const ConfigurableControl& c : ConfigurableControls()) {
    ini.WriteString(kControls, c.key, s.ControlBindings[c.player][c.control]);
  }
  ini.WriteString(kGraphics, "showoptions", s.ShowOptionsAtStart ? "true" : "false");
  ini.WriteString(kSound, "soundvolume", std::to_string(s.SoundVolume));
  ini.WriteString(kSound, "musicvolume", std::to_string(s.MusicVolume));
}

}  // namespace tarq

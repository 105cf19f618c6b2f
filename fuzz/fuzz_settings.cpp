// Feeds arbitrary text to the settings file reader and reads every setting the game
// takes from it, then writes them back and reads that again. Any values are fine;
// crashes, overruns and leaks are not, and written settings must read back the same.
#include <cstdint>
#include <string_view>

#include "app/config.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  tarq::IniFile ini;
  ini.LoadText(std::string_view(reinterpret_cast<const char*>(data), size));
  const tarq::GraphicsSettings graphics = tarq::ReadGraphicsSettings(ini);
  const tarq::GameSettings game = tarq::ReadGameSettings(ini);
  tarq::WriteGraphicsSettings(ini, graphics);
  tarq::WriteGameSettings(ini, game);
  tarq::IniFile again;
  again.LoadText(ini.Text());
  const tarq::GameSettings back = tarq::ReadGameSettings(again);
  if (back.SoundVolume != game.SoundVolume || back.MusicVolume != game.MusicVolume ||
      back.ShowOptionsAtStart != game.ShowOptionsAtStart) {
    __builtin_trap();
  }
  return 0;
}

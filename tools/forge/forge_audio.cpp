// The audio family of the forge: sixteen sound effects and nine music modules.
#include <algorithm>
#include <cmath>
#include <fstream>
#include <libopenmpt/libopenmpt.hpp>
#include <sstream>
#include <stdexcept>

#include "audio/game_audio.h"
#include "audio_forge.h"
#include "forge.h"

namespace tarq::forge {

double MasterModule(xm::Module& module, double targetPeak) {
  const std::vector<uint8_t> bytes = xm::Write(module);
  std::ostringstream log;
  openmpt::module player(bytes, log);
  player.set_repeat_count(0);
  constexpr int kRate = 44100;
  std::vector<float> buffer(2 * 4096);
  double peak = 0.0;
  while (true) {
    const size_t got = player.read_interleaved_stereo(kRate, 4096, buffer.data());
    if (got == 0) break;
    for (size_t i = 0; i < 2 * got; ++i) peak = std::max(peak, static_cast<double>(std::fabs(buffer[i])));
  }
  if (peak <= 0.0) throw std::runtime_error("module " + module.name + " renders silent");
  // Scale the sample data; it never goes above full scale.
  int16_t loudest = 1;
  for (const auto& in : module.instruments) {
    for (int16_t s : in.data) loudest = std::max<int16_t>(loudest, static_cast<int16_t>(std::abs(s)));
  }
  const double factor = std::min(targetPeak / peak, 32767.0 / loudest);
  for (auto& in : module.instruments) {
    for (int16_t& s : in.data) s = static_cast<int16_t>(std::lround(s * factor));
  }
  return peak;
}

void ForgeAudio(const ForgeContext& ctx) {
  ForgeSoundEffects(ctx.out / "system" / "sounds");
  const std::filesystem::path music = ctx.out / "system" / "music";
  std::filesystem::create_directories(music);
  std::vector<xm::Module> modules = ComposeTunes();
  if (modules.size() != MusicTrackTable().size()) throw std::runtime_error("tune count");
  for (size_t i = 0; i < modules.size(); ++i) {
    MasterModule(modules[i], 0.7);  // about -3 dBFS
    const std::vector<uint8_t> bytes = xm::Write(modules[i]);
    std::ofstream out(music / MusicTrackTable()[i].file, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write music " + std::string(MusicTrackTable()[i].file));
  }
}

}  // namespace tarq::forge

#pragma once
// Internal entry points of the forge's audio family (sound effects and music).
#include <cstdint>
#include <filesystem>
#include <vector>

#include "audio_xm.h"

namespace tarq::forge {

// system/sounds/00.wav .. 15.wav.
void ForgeSoundEffects(const std::filesystem::path& folder);

// The shared instrument set every tune draws from, in instrument-number order.
enum InstrumentId : uint8_t {
  kInstKick = 1,
  kInstSnare,
  kInstHatClosed,
  kInstHatOpen,
  kInstCrash,
  kInstBass,
  kInstLeadPulse,
  kInstLeadBrass,
  kInstPad,
  kInstPluck,
  kInstBell,
  kInstOrgan,
  kInstRiser,
  kInstClank,
  kInstSubBass,
  kInstTom,
  kInstrumentCount = kInstTom,
};
std::vector<xm::Instrument> BuildInstruments();

// The nine tunes, in track order.
std::vector<xm::Module> ComposeTunes();

// Scales every instrument's sample data so the rendered module peaks at
// `targetPeak` (linear); returns the peak measured before scaling.
double MasterModule(xm::Module& module, double targetPeak);

}  // namespace tarq::forge

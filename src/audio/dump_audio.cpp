#include "audio/dump_audio.h"

#include "audio/game_audio.h"

namespace tarq {

std::string DumpAudio(GameAudio* audio) {
  const int32_t current = audio ? audio->CurrentTrack : -1;
  const int32_t previous = audio ? audio->PreviousTrack : -1;
  std::string out = "CurrentTrack " + std::to_string(current) + "\nPreviousTrack " +
                    std::to_string(previous) + "\n";
  if (audio) {
    for (const SoundCall& call : audio->SoundLog) {
      out += "Sound " + std::to_string(call.sample) + " " + std::to_string(call.pan) + " " +
             std::to_string(call.frequency) + "\n";
    }
    audio->SoundLog.clear();
  }
  return out;
}

}  // namespace tarq

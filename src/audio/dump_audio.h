#pragma once
// The audio part of the headless dump: the music state and, when logging is on,
// the Sound calls since the last dump.
#include <string>

namespace tarq {

class GameAudio;

// "CurrentTrack N\nPreviousTrack N\n" followed by one "Sound sample pan frequency"
// line per logged call (the log is then emptied). A null audio side dumps -1, -1.
std::string DumpAudio(GameAudio* audio);

}  // namespace tarq

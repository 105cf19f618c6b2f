#pragma once
// The audio layer: the operations the game asks of its sound library (device,
// samples, tracker-module channels, a compressor effect, spectrum data). The game
// side (GameAudio) talks only to this interface, so it runs against the real mixer,
// a silent layer or a recording fake alike.
//
// Conventions: operations return 0 for success and a negative code for failure;
// handles are non-zero, and 0 is the unusable handle a failed load gives. Every
// operation accepts any handle, including 0 and stale ones, and then does nothing.
#include <cstddef>
#include <cstdint>
#include <string>

namespace tarq {

using SampleHandle = uint32_t;
using MusicHandle = uint32_t;
using FxHandle = uint32_t;

constexpr int kAudioOk = 0;
constexpr int kAudioErrorInit = -1;    // no output device
constexpr int kAudioErrorHandle = -2;  // unknown or stale handle
constexpr int kAudioErrorFile = -3;    // file missing or unreadable
constexpr int kAudioErrorFormat = -4;  // file read but not understood
constexpr int kAudioErrorFull = -5;    // no free slot

// The mixer's output rate; everything is mixed to 44100 Hz stereo.
constexpr int kMixRate = 44100;

// "Unchanged" markers of ChannelSetAttributes.
constexpr int kKeepFrequency = -1;
constexpr int kKeepVolume = -1;
constexpr int kKeepPan = -101;

// The spectrum request: a 256-sample FFT of each output channel gives 128
// magnitudes per channel, written left/right interleaved.
constexpr size_t kSpectrumBins = 128;
constexpr size_t kSpectrumValues = 2 * kSpectrumBins;

enum class FxType { kCompressor };

// The compressor's six parameters, in the order the game passes them.
struct CompressorParameters {
  float gain = 0.0f;        // make-up gain after compression, dB
  float attack = 10.0f;     // ms for the gain reduction to reach ~63% of a step
  float release = 200.0f;   // ms for it to recover ~63%
  float threshold = -20.0f; // dB full scale where compression starts
  float ratio = 3.0f;       // input dB above threshold per output dB above it
  float predelay = 4.0f;    // ms of look-ahead: the signal is delayed, the detector is not
};

class AudioLayer {
 public:
  virtual ~AudioLayer() = default;

  // Opens the default output at `frequency` Hz (the mixer always runs at 44100).
  virtual int AudioInit(int frequency) = 0;
  virtual int AudioStart() = 0;
  virtual int AudioStop() = 0;
  // Releases the device and every sample and module still loaded.
  virtual int AudioFree() = 0;

  // Loads a WAV file; at most `maxPlaybacks` copies play at once, and a new
  // playback of a busy sample replaces its quietest one.
  virtual SampleHandle SampleLoad(const std::string& path, int maxPlaybacks) = 0;
  // Plays once (or looping) from frame `start`; frequency in Hz (<= 0: the file's
  // own rate), volume 0..100, pan -100 (left) .. 100 (right).
  virtual int SamplePlay(SampleHandle sample, int start, int frequency, int volume, int pan,
                         bool loop) = 0;

  // Loads a tracker module; `loop` makes it play forever, following its jumps.
  virtual MusicHandle ModuleLoad(const std::string& path, bool loop) = 0;
  virtual int ModuleFree(MusicHandle music) = 0;
  // Position: order in the low 16 bits, row in the high 16 bits.
  virtual int ChannelSetPosition(MusicHandle music, uint32_t position) = 0;
  virtual int ChannelPlay(MusicHandle music) = 0;
  virtual int ChannelStop(MusicHandle music) = 0;
  virtual int ChannelPause(MusicHandle music) = 0;
  virtual int ChannelResume(MusicHandle music) = 0;
  // Frequency is ignored for music (kKeepFrequency); volume 0..100 or kKeepVolume;
  // pan -100..100 or kKeepPan.
  virtual int ChannelSetAttributes(MusicHandle music, int frequency, int volume, int pan) = 0;
  virtual int ChannelGetAttributes(MusicHandle music, int* frequency, int* volume, int* pan) = 0;
  virtual FxHandle ChannelSetFX(MusicHandle music, FxType type) = 0;
  virtual int FXSetParameters(FxHandle fx, const CompressorParameters& parameters) = 0;
  // Fills `out` with kSpectrumValues floats (see above); returns the number written
  // (0 when the channel is unknown or `count` is too small).
  virtual size_t ChannelGetData(MusicHandle music, float* out, size_t count) = 0;
};

}  // namespace tarq

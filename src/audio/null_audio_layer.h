#pragma once
// A layer that plays nothing: the headless runner and any machine where the game
// must stay silent. Loads give the unusable handle 0, every other call fails quietly.
#include "audio/audio_layer.h"

namespace tarq {

class NullAudioLayer final : public AudioLayer {
 public:
  int AudioInit(int) override { return kAudioErrorInit; }
  int AudioStart() override { return kAudioErrorInit; }
  int AudioStop() override { return kAudioErrorInit; }
  int AudioFree() override { return kAudioOk; }
  SampleHandle SampleLoad(const std::string&, int) override { return 0; }
  int SamplePlay(SampleHandle, int, int, int, int, bool) override { return kAudioErrorHandle; }
  MusicHandle ModuleLoad(const std::string&, bool) override { return 0; }
  int ModuleFree(MusicHandle) override { return kAudioErrorHandle; }
  int ChannelSetPosition(MusicHandle, uint32_t) override { return kAudioErrorHandle; }
  int ChannelPlay(MusicHandle) override { return kAudioErrorHandle; }
  int ChannelStop(MusicHandle) override { return kAudioErrorHandle; }
  int ChannelPause(MusicHandle) override { return kAudioErrorHandle; }
  int ChannelResume(MusicHandle) override { return kAudioErrorHandle; }
  int ChannelSetAttributes(MusicHandle, int, int, int) override { return kAudioErrorHandle; }
  int ChannelGetAttributes(MusicHandle, int*, int*, int*) override { return kAudioErrorHandle; }
  FxHandle ChannelSetFX(MusicHandle, FxType) override { return 0; }
  int FXSetParameters(FxHandle, const CompressorParameters&) override { return kAudioErrorHandle; }
  size_t ChannelGetData(MusicHandle, float*, size_t) override { return 0; }
};

}  // namespace tarq

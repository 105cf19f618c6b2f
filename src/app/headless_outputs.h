#pragma once
// What a headless run (scripted or replayed) writes besides the game's own files: the
// state dump and the screenshots, and the move into the data folder they share.
#include <cstdint>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "app/headless.h"

namespace tarq {

class TForm1;

// Paths given on the command line are relative to where the program was started, not
// to the data folder it changes to.
std::string Absolute(const std::string& path);

// Finds the data folder as the game does and makes it the current folder; false (the
// reason printed) when there is none.
bool EnterDataFolder(const std::string& dataDir);

class HeadlessOutputs {
 public:
  // Opens the dump and resolves the screenshot paths (call before EnterDataFolder);
  // false (the reason printed) when the dump cannot be written.
  bool Open(const HeadlessOptions& options);
  bool Dumping() const { return dump_.is_open(); }
  // After a tick: the dump's line when one is due.
  void AfterTick(const Game& game);
  bool ScreenshotDue(int64_t tick) const { return screenshots_.count(tick) != 0; }
  // Saves the screenshots due at `tick` from the frame the form just drew.
  void SaveScreenshots(TForm1& form, int64_t tick);
  // At the end of the run: the final state's screenshot (one more frame), a complaint
  // for each screenshot the run never reached, the dump flushed. Returns 0, or 1 when
  // anything could not be written.
  int Finish(TForm1& form, int64_t endTick, const char* runName);

 private:
  std::ofstream dump_;
  int64_t dumpEvery_ = 1;
  std::map<int64_t, std::vector<std::string>> screenshots_;
  int status_ = 0;
};

}  // namespace tarq

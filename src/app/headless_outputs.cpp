#include "app/headless_outputs.h"

#include <cstdio>
#include <filesystem>

#include "app/main_window.h"
#include "app/user_paths.h"
#include "game/dump.h"

namespace tarq {

std::string Absolute(const std::string& path) {
  if (path.empty()) return path;
  std::error_code ec;
  const auto abs = std::filesystem::absolute(path, ec);
  return ec ? path : abs.string();
}

bool EnterDataFolder(const std::string& dataDir) {
  const DataFolderResult data = FindDataFolder(DataSearchForThisProcess(dataDir));
  if (!data.Found) {
    std::fprintf(stderr, "tarq: %s\n", data.Error.c_str());
    return false;
  }
  std::error_code ec;
  std::filesystem::current_path(data.Path, ec);
  if (ec) {
    std::fprintf(stderr, "tarq: cannot change to data folder %s: %s\n", data.Path.c_str(), ec.message().c_str());
    return false;
  }
  return true;
}

bool HeadlessOutputs::Open(const HeadlessOptions& options) {
  dumpEvery_ = options.DumpEvery;
  for (const auto& [tick, path] : options.Screenshots) screenshots_[tick].push_back(Absolute(path));
  if (options.DumpFile.empty()) return true;
  dump_.open(Absolute(options.DumpFile), std::ios::binary | std::ios::trunc);
  if (!dump_) {
    std::fprintf(stderr, "tarq: cannot write dump file %s\n", options.DumpFile.c_str());
    return false;
  }
  return true;
}

void HeadlessOutputs::AfterTick(const Game& game) {
  if (dump_.is_open() && game.TickCount % dumpEvery_ == 0) dump_ << DumpGameLine(game) << '\n';
}

void HeadlessOutputs::SaveScreenshots(TForm1& form, int64_t tick) {
  const auto due = screenshots_.find(tick);
  if (due == screenshots_.end()) return;
  for (const std::string& path : due->second) {
    std::string error;
    if (!form.SaveScreenshot(path, &error)) {
      std::fprintf(stderr, "tarq: screenshot at tick %lld: %s\n", static_cast<long long>(tick), error.c_str());
      status_ = 1;
    }
  }
  screenshots_.erase(due);
}

int HeadlessOutputs::Finish(TForm1& form, int64_t endTick, const char* runName) {
  if (ScreenshotDue(endTick)) {
    form.SetRenderToDevice(true);
    form.Timer1Render();
    SaveScreenshots(form, endTick);
  }
  for (const auto& [tick, paths] : screenshots_) {
    for (const std::string& path : paths) {
      std::fprintf(stderr, "tarq: no screenshot %s: the %s ended at tick %lld before tick %lld\n", path.c_str(),
                   runName, static_cast<long long>(endTick), static_cast<long long>(tick));
      status_ = 1;
    }
  }
  screenshots_.clear();
  if (dump_.is_open()) {
    dump_.flush();
    if (!dump_) {
      std::fprintf(stderr, "tarq: writing the dump failed\n");
      status_ = 1;
    }
  }
  return status_;
}

}  // namespace tarq

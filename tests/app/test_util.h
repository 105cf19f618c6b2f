#pragma once
// Shared helpers of the app tests: a scratch folder that becomes the data folder.
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "app/fixed_timer.h"

namespace tarq::testing_util {

// A fresh temporary folder, removed with its contents at the end of the test.
class TempDir {
 public:
  TempDir() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "tarq-app-XXXXXX").string();
    path_ = ::mkdtemp(tmpl.data());
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  const std::filesystem::path& path() const { return path_; }
  std::string operator/(const std::string& rel) const { return (path_ / rel).string(); }

 private:
  std::filesystem::path path_;
};

// Makes a folder the current directory for the life of the object.
class ScopedChdir {
 public:
  explicit ScopedChdir(const std::filesystem::path& dir) : old_(std::filesystem::current_path()) {
    std::filesystem::current_path(dir);
  }
  ~ScopedChdir() { std::filesystem::current_path(old_); }

 private:
  std::filesystem::path old_;
};

inline void WriteFile(const std::string& path, const std::string& text) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream(path, std::ios::binary) << text;
}

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// A display that takes 1/75 s per pass, with a slow frame of three now and then (every
// 37th pass): such a pass owes the timer three ticks, which it runs after one render.
class StutteringClocks : public TimerClocks {
 public:
  bool CounterFrequency(int64_t& frequency) override {
    frequency = 75;
    return true;
  }
  int64_t Counter() override {
    ++passes_;
    counter_ += passes_ % 37 == 0 ? 3 : 1;
    return counter_;
  }
  uint32_t Milliseconds() override { return static_cast<uint32_t>(counter_ * 1000 / 75); }

 private:
  int64_t counter_ = 0;
  int64_t passes_ = 0;
};

}  // namespace tarq::testing_util

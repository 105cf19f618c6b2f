#pragma once
// Helpers for tests that build archives, fonts and data folders on disk.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "archive_writer/archive_writer.h"

namespace tarq::testing {

// A fresh folder under the system temp folder, removed at the end of the test.
class TempDir {
 public:
  TempDir() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = "tarq_" + std::to_string(::getpid()) + "_";
    if (info) name += std::string(info->test_suite_name()) + "_" + info->name();
    for (char& c : name) {
      if (c == '/') c = '_';
    }
    path_ = std::filesystem::temp_directory_path() / name;
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  const std::filesystem::path& path() const { return path_; }
  std::string File(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

inline std::vector<uint8_t> Bytes(const std::string& text) {
  return std::vector<uint8_t>(text.begin(), text.end());
}

inline std::vector<uint8_t> ReadFileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

inline void WriteText(const std::filesystem::path& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
}

}  // namespace tarq::testing

namespace tarq::testing {

// Metrics of one glyph of a test font.
struct TestGlyph {
  int32_t width;
  int32_t height;
};

// Writes a font file: count glyph patterns of cell x cell pixels (pattern i filled
// with a grey level from i, opaque) on textures 128 wide, and the size data.
inline void WriteTestFont(const std::filesystem::path& path, int32_t first_char,
                          const std::vector<TestGlyph>& glyphs, int32_t cell = 8,
                          uint32_t signature = tools::kFontSignature) {
  std::vector<tools::PatternPixels> patterns;
  std::vector<tools::GlyphMetrics> metrics;
  for (size_t i = 0; i < glyphs.size(); ++i) {
    const uint32_t grey = static_cast<uint32_t>(i * 2 + 40) & 0xFF;
    patterns.push_back({cell, cell,
                        std::vector<uint32_t>(static_cast<size_t>(cell * cell),
                                              0xFF000000u | grey << 16 | grey << 8 | grey)});
    metrics.push_back({glyphs[i].width, glyphs[i].height});
  }
  tools::WriteArchive(path,
                      {{"font", tools::BuildImageRecord(patterns, {.force_texture_width = 128})},
                       {"sizedata", tools::BuildFontSizeData(first_char, 0, metrics)}},
                      {.signature = signature});
}

}  // namespace tarq::testing

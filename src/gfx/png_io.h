#pragma once
// 32-bit PNG files for screenshots and golden-image comparisons. Pixels are 0xAARRGGBB
// words, row 0 at the top.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tarq {

// Writes width x height pixels as an RGBA PNG (alpha kept as given when keep_alpha,
// else written opaque). False (with a reason in *error when given) on failure; a
// failed write leaves no partial file behind.
bool WritePng(const std::string& path, const uint32_t* pixels, int32_t width, int32_t height,
              bool keep_alpha = false, std::string* error = nullptr);

// Reads any PNG into 0xAARRGGBB pixels (grey, palette and 16-bit files are expanded).
// False with a reason on a missing, broken or oversized file; outputs untouched then.
bool ReadPng(const std::string& path, std::vector<uint32_t>& pixels, int32_t& width,
             int32_t& height, std::string* error = nullptr);
bool ReadPngFromMemory(std::span<const uint8_t> bytes, std::vector<uint32_t>& pixels,
                       int32_t& width, int32_t& height, std::string* error = nullptr);

// Largest picture ReadPng accepts, in pixels per side.
inline constexpr int32_t kMaxPngSide = 16384;

}  // namespace tarq

#include "gfx/png_io.h"

#include <png.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>

namespace tarq {

namespace {

void SetError(std::string* error, const std::string& text) {
  if (error != nullptr) *error = text;
}

}  // namespace

bool WritePng(const std::string& path, const uint32_t* pixels, int32_t width, int32_t height,
              bool keep_alpha, std::string* error) {
  if (pixels == nullptr || width <= 0 || height <= 0) {
    SetError(error, "nothing to write");
    return false;
  }
  std::vector<uint32_t> rows(pixels, pixels + static_cast<size_t>(width) * static_cast<size_t>(height));
  if (!keep_alpha) {
    for (uint32_t& p : rows) p |= 0xFF000000u;
  }
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(width);
  image.height = static_cast<png_uint_32>(height);
  image.format = PNG_FORMAT_BGRA;  // bytes B, G, R, A: a little-endian 0xAARRGGBB word
  // Write beside the target and rename, so a failure never leaves half a file.
  const std::string temp = path + ".part";
  if (png_image_write_to_file(&image, temp.c_str(), 0, rows.data(), width * 4, nullptr) == 0) {
    SetError(error, std::string("cannot write PNG: ") + image.message);
    png_image_free(&image);
    std::remove(temp.c_str());
    return false;
  }
  if (std::rename(temp.c_str(), path.c_str()) != 0) {
    SetError(error, "cannot rename " + temp + " to " + path);
    std::remove(temp.c_str());
    return false;
  }
  return true;
}

bool ReadPngFromMemory(std::span<const uint8_t> bytes, std::vector<uint32_t>& pixels,
                       int32_t& width, int32_t& height, std::string* error) {
  if (bytes.empty()) {
    SetError(error, "empty PNG");
    return false;
  }
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  if (png_image_begin_read_from_memory(&image, bytes.data(), bytes.size()) == 0) {
    SetError(error, std::string("not a readable PNG: ") + image.message);
    png_image_free(&image);
    return false;
  }
  if (image.width == 0 || image.height == 0 || image.width > kMaxPngSide ||
      image.height > kMaxPngSide) {
    SetError(error, "PNG size out of range");
    png_image_free(&image);
    return false;
  }
  image.format = PNG_FORMAT_BGRA;
  std::vector<uint32_t> out(static_cast<size_t>(image.width) * image.height);
  if (png_image_finish_read(&image, nullptr, out.data(), static_cast<png_int_32>(image.width * 4),
                            nullptr) == 0) {
    SetError(error, std::string("broken PNG: ") + image.message);
    png_image_free(&image);
    return false;
  }
  width = static_cast<int32_t>(image.width);
  height = static_cast<int32_t>(image.height);
  pixels = std::move(out);
  return true;
}

bool ReadPng(const std::string& path, std::vector<uint32_t>& pixels, int32_t& width,
             int32_t& height, std::string* error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    SetError(error, "cannot open " + path);
    return false;
  }
  std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return ReadPngFromMemory(bytes, pixels, width, height, error);
}

}  // namespace tarq

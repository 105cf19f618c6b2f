// Feeds arbitrary bytes to the TGA reader. Errors (BitmapError and the reader's
// input/output errors) are fine; crashes, overruns and leaks are not.
#include <cstdint>
#include <exception>
#include <span>

#include "assets/bitmap_ex.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  tarq::TBitmapEx bitmap;
  try {
    bitmap.LoadTgaFromMemory(std::span<const uint8_t>(data, size));
  } catch (const std::exception&) {
    return 0;
  }
  if (!bitmap.Empty()) {
    bitmap.ConvertTo32Bit();
    volatile uint8_t last = bitmap.Row(bitmap.Height() - 1)[bitmap.RowBytes() - 1];
    (void)last;
  }
  return 0;
}

// Feeds arbitrary bytes to the BMP reader (both header forms, every compression the
// picture library knows). Errors are fine; crashes, overruns, leaks and huge
// allocations are not.
#include <cstdint>
#include <exception>
#include <span>

#include "assets/bitmap_ex.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  tarq::TBitmapEx bitmap;
  try {
    bitmap.LoadBmpFromMemory(std::span<const uint8_t>(data, size));
  } catch (const std::exception&) {
    return 0;
  }
  if (static_cast<uint64_t>(bitmap.Width()) * static_cast<uint64_t>(bitmap.Height()) > tarq::kMaxPicturePixels) {
    __builtin_trap();  // the pixel bound must hold for every picture that loads
  }
  if (!bitmap.Empty()) {
    bitmap.ConvertTo32Bit();
    volatile uint8_t last = bitmap.Row(bitmap.Height() - 1)[bitmap.RowBytes() - 1];
    (void)last;
  }
  return 0;
}

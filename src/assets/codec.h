#pragma once
// The codec library: decodes and checks archive records and converts pixel rows to
// texture formats. It is our own code, linked into the program, but it is still
// reached through a binding that "loads" it by path and resolves every entry point,
// so a missing or incomplete library stays an ordinary, testable failure (the
// archive reports -3, picture loading -6).
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "gfx/pixel_convert.h"

namespace tarq {

// Mode bytes of an archive record payload.
constexpr uint8_t kCodecModeStored = 0;
constexpr uint8_t kCodecModeDeflate = 1;  // zlib stream (RFC 1950)

// DecodeBlock results.
constexpr int32_t kDecodeOk = 0;
constexpr int32_t kDecodeBadMode = -1;     // mode byte names no encoding
constexpr int32_t kDecodeCorrupt = -2;     // the payload is not a valid stream
constexpr int32_t kDecodeTooLarge = -3;    // output would exceed the destination

// Decodes src_size bytes of payload with the given mode into dst, which holds
// dst_capacity bytes, and reports the bytes written in *produced. The decoder never
// writes past dst_capacity: output that would not fit is an error, not an overrun.
int32_t DecodeBlock(const uint8_t* src, uint8_t* dst, uint8_t mode, size_t src_size,
                    size_t dst_capacity, size_t* produced);

// CRC-32 as zlib computes it.
uint32_t CRC32(const uint8_t* data, size_t size);

// Entry points of a bound codec library. A binding counts as available only when
// every one of them is present.
struct CodecLibrary {
  int32_t (*DecodeBlock)(const uint8_t*, uint8_t*, uint8_t, size_t, size_t, size_t*) = nullptr;
  uint32_t (*CRC32)(const uint8_t*, size_t) = nullptr;
  RowConverter Line24to24 = nullptr;
  RowConverter Line24to16 = nullptr;
  RowConverter Line24to15 = nullptr;
  RowConverter Line32to15 = nullptr;
  RowConverter Line32to12 = nullptr;
  RowConverter Line24to8 = nullptr;
  RowConverter Line32to8 = nullptr;
  RowConverter Line24to12 = nullptr;
  uint16_t (*Conv24to15)(uint32_t) = nullptr;

  bool Complete() const;
  // The row converter of a texture format code: 21 copies unchanged; nullptr for
  // codes that are not texture formats.
  RowConverter ConverterFor(int32_t format) const;
};

// The library linked into the program, all entry points present.
CodecLibrary BuiltInCodecLibrary();

// How the binding obtains the library from its path: nullopt when the library cannot
// be loaded. The default loader returns the built-in library for any path; tests
// inject loaders that fail or leave entry points out.
using CodecLoader = std::function<std::optional<CodecLibrary>(const std::string& path)>;

// Replaces the loader (nullptr restores the default) and releases any binding.
void SetCodecLoader(CodecLoader loader);

// The path the library is loaded from: its bare file name until the program puts
// its data folder in front at start-up.
void SetCodecLibraryPath(const std::string& path);
const std::string& CodecLibraryPath();
extern const char* const kCodecLibraryFileName;

// True when bound (already, or now). A failed load or a library missing an entry
// point gives false and is tried again on the next call.
bool BindCodecLibrary();
bool CodecLibraryBound();
// The bound library, or nullptr.
const CodecLibrary* BoundCodecLibrary();
// Releases a bound library (program end).
void ReleaseCodecLibrary();

}  // namespace tarq

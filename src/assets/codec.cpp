#include "assets/codec.h"

#include <zlib.h>

#include <cstring>

namespace tarq {

namespace {

int32_t InflateInto(const uint8_t* src, uint8_t* dst, size_t src_size, size_t dst_capacity,
                    size_t* produced) {
  z_stream stream{};
  if (inflateInit(&stream) != Z_OK) return kDecodeCorrupt;
  // zlib counts in uInt; records are far below 4 GiB, but feed in pieces all the same.
  constexpr size_t kPiece = 1u << 30;
  size_t in_left = src_size;
  size_t out_left = dst_capacity;
  // zlib refuses null buffers even when they are empty.
  uint8_t no_output = 0;
  uint8_t no_input = 0;
  stream.next_in = const_cast<Bytef*>(src ? src : &no_input);
  stream.next_out = dst ? dst : &no_output;
  int status = Z_OK;
  while (status == Z_OK) {
    if (stream.avail_in == 0 && in_left > 0) {
      stream.avail_in = static_cast<uInt>(in_left < kPiece ? in_left : kPiece);
      in_left -= stream.avail_in;
    }
    if (stream.avail_out == 0 && out_left > 0) {
      stream.avail_out = static_cast<uInt>(out_left < kPiece ? out_left : kPiece);
      out_left -= stream.avail_out;
    }
    const uInt before_in = stream.avail_in;
    const uInt before_out = stream.avail_out;
    status = inflate(&stream, Z_NO_FLUSH);
    if (status == Z_BUF_ERROR || (status == Z_OK && before_in == stream.avail_in &&
                                  before_out == stream.avail_out)) {
      // No progress: either the input ended early or the output is full.
      const bool output_full = stream.avail_out == 0 && out_left == 0;
      inflateEnd(&stream);
      *produced = static_cast<size_t>(stream.total_out);
      return output_full ? kDecodeTooLarge : kDecodeCorrupt;
    }
  }
  *produced = static_cast<size_t>(stream.total_out);
  inflateEnd(&stream);
  return status == Z_STREAM_END ? kDecodeOk : kDecodeCorrupt;
}

}  // namespace

int32_t DecodeBlock(const uint8_t* src, uint8_t* dst, uint8_t mode, size_t src_size,
                    size_t dst_capacity, size_t* produced) {
  *produced = 0;
  switch (mode) {
    case kCodecModeStored:
      if (src_size > dst_capacity) return kDecodeTooLarge;
      if (src_size > 0) std::memcpy(dst, src, src_size);
      *produced = src_size;
      return kDecodeOk;
    case kCodecModeDeflate:
      return InflateInto(src, dst, src_size, dst_capacity, produced);
    default:
      return kDecodeBadMode;
  }
}

uint32_t CRC32(const uint8_t* data, size_t size) {
  uLong crc = crc32(0L, Z_NULL, 0);
  while (size > 0) {
    const uInt piece = static_cast<uInt>(size > (1u << 30) ? (1u << 30) : size);
    crc = crc32(crc, data, piece);
    data += piece;
    size -= piece;
  }
  return static_cast<uint32_t>(crc);
}

bool CodecLibrary::Complete() const {
  return DecodeBlock && CRC32 && Line24to24 && Line24to16 && Line24to15 && Line32to15 &&
         Line32to12 && Line24to8 && Line32to8 && Line24to12 && Conv24to15;
}

RowConverter CodecLibrary::ConverterFor(int32_t format) const {
  switch (format) {
    case kFormatA8R8G8B8: return &Line32to32;  // a plain copy needs no library routine
    case kFormatX8R8G8B8: return Line24to24;
    case kFormatR5G6B5: return Line24to16;
    case kFormatX1R5G5B5: return Line24to15;
    case kFormatA1R5G5B5: return Line32to15;
    case kFormatA4R4G4B4: return Line32to12;
    case kFormatR3G3B2: return Line24to8;
    case kFormatA8R3G3B2: return Line32to8;
    case kFormatX4R4G4B4: return Line24to12;
    default: return nullptr;
  }
}

CodecLibrary BuiltInCodecLibrary() {
  CodecLibrary lib;
  lib.DecodeBlock = &tarq::DecodeBlock;
  lib.CRC32 = &tarq::CRC32;
  lib.Line24to24 = &tarq::Line24to24;
  lib.Line24to16 = &tarq::Line24to16;
  lib.Line24to15 = &tarq::Line24to15;
  lib.Line32to15 = &tarq::Line32to15;
  lib.Line32to12 = &tarq::Line32to12;
  lib.Line24to8 = &tarq::Line24to8;
  lib.Line32to8 = &tarq::Line32to8;
  lib.Line24to12 = &tarq::Line24to12;
  lib.Conv24to15 = &tarq::Conv24to15;
  return lib;
}

const char* const kCodecLibraryFileName = "tqcodec";

namespace {

struct Binding {
  CodecLoader loader;  // empty: the built-in library
  std::string path = kCodecLibraryFileName;
  std::optional<CodecLibrary> bound;
};

Binding& TheBinding() {
  static Binding binding;
  return binding;
}

}  // namespace

void SetCodecLoader(CodecLoader loader) {
  Binding& b = TheBinding();
  b.bound.reset();
  b.loader = std::move(loader);
}

void SetCodecLibraryPath(const std::string& path) { TheBinding().path = path; }
const std::string& CodecLibraryPath() { return TheBinding().path; }

bool BindCodecLibrary() {
  Binding& b = TheBinding();
  if (b.bound) return true;
  std::optional<CodecLibrary> lib =
      b.loader ? b.loader(b.path) : std::optional<CodecLibrary>(BuiltInCodecLibrary());
  if (!lib || !lib->Complete()) return false;
  b.bound = *lib;
  return true;
}

bool CodecLibraryBound() { return TheBinding().bound.has_value(); }

const CodecLibrary* BoundCodecLibrary() {
  const Binding& b = TheBinding();
  return b.bound ? &*b.bound : nullptr;
}

void ReleaseCodecLibrary() { TheBinding().bound.reset(); }

}  // namespace tarq

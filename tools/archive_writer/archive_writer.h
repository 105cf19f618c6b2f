#pragma once
// Writer for the game's record archives (sprite archive, fonts) and for the image
// records they hold. The game only reads these files; the content forge and the
// tests write them with this library. Output is byte-for-byte deterministic for the
// same input.
//
// Archive layout (all integers 32-bit little-endian):
//   header, 64 bytes: signature, float 1.0, float 1.0, record count, table offset,
//                     44 zero bytes
//   table at offset 64: one 64-byte entry per record (length-prefixed name in 32
//                     bytes, mode, data offset, CRC-32 of the decoded bytes, stored
//                     size, decoded size, 12 zero bytes)
//   record blocks in table order: a 64-byte record header laid out like a table
//                     entry (with the name in upper case), then the encoded payload.
// Errors (bad names, oversized patterns, unwritable files) throw std::invalid_argument
// or std::runtime_error: this is tool code, a bad input should stop the forge loudly.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace tarq::tools {

constexpr uint32_t kArchiveSignature = 0x4B505154;  // "TQPK"
constexpr uint32_t kFontSignature = 0x4E465154;     // "TQFN"
constexpr uint32_t kImageRecordMagic = 0x4D495154;  // "TQIM"
constexpr size_t kArchiveHeaderSize = 64;
constexpr size_t kTableEntrySize = 64;
constexpr size_t kMaxRecordName = 31;

// Encodings of a record payload, selected by the mode byte.
constexpr uint32_t kModeStored = 0;
constexpr uint32_t kModeDeflate = 1;  // zlib stream (RFC 1950), best compression

struct ArchiveRecord {
  std::string name;            // 1..31 characters; the table keeps this spelling
  std::vector<uint8_t> data;   // the decoded bytes
  uint32_t mode = kModeDeflate;
  // Name written into the record block's own header. Normally the upper-case name;
  // tests override it to build archives whose blocks disagree with their table.
  std::optional<std::string> header_name;
};

struct ArchiveOptions {
  uint32_t signature = kArchiveSignature;
  float version_a = 1.0f;  // header offset 4
  float version_b = 1.0f;  // header offset 8: readers refuse records when above 1.0
};

// Upper-cases a..z only, as the reader's name matching does.
std::string UpperName(const std::string& name);

// CRC-32 as zlib computes it (the reader's checksum).
uint32_t ArchiveCrc32(const uint8_t* data, size_t size);

// Encodes one payload with the given mode (0 stored, 1 deflate).
std::vector<uint8_t> EncodePayload(const std::vector<uint8_t>& data, uint32_t mode);

// The complete archive file as bytes.
std::vector<uint8_t> BuildArchive(const std::vector<ArchiveRecord>& records,
                                  const ArchiveOptions& options = {});

// Builds the archive and writes it to path (parent folders must exist).
void WriteArchive(const std::filesystem::path& path, const std::vector<ArchiveRecord>& records,
                  const ArchiveOptions& options = {});

// Writes any byte buffer to a file; throws std::runtime_error on failure.
void WriteFileBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes);

// One pattern (animation frame, glyph) of an image: width x height pixels, rows from
// the top, each pixel 0xAARRGGBB (stored little-endian as bytes B, G, R, A).
struct PatternPixels {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;
};

struct ImageRecordOptions {
  // 0 picks the texture size automatically; otherwise the texture width or height
  // to use (must be at least the pattern size).
  int force_texture_width = 0;
  int force_texture_height = 0;
  int max_texture_size = 512;  // automatic sizes are powers of two up to this
};

// Texture geometry chosen for a list of equally sized patterns.
struct ImageLayout {
  int texture_width = 0;
  int texture_height = 0;
  int pattern_width = 0;
  int pattern_height = 0;
  int texture_count = 0;
  int PatternsPerRow() const { return texture_width / pattern_width; }
  int PatternsPerTexture() const {
    return (texture_width / pattern_width) * (texture_height / pattern_height);
  }
};

// Chooses the texture size: the smallest power-of-two texture (at most
// max_texture_size per side) that holds all patterns, growing the narrower side first;
// when even the largest does not hold them all, as many largest textures as needed.
ImageLayout ChooseImageLayout(int pattern_width, int pattern_height, int pattern_count,
                              const ImageRecordOptions& options = {});

// Builds an image record ("TQIM", sizes, pixels texture by texture) laying the
// patterns row-major into the textures. All patterns must have the same size; unused
// texels are zero (transparent black).
std::vector<uint8_t> BuildImageRecord(const std::vector<PatternPixels>& patterns,
                                      const ImageRecordOptions& options = {});

// Builds an image record from explicit geometry and raw texture pixels (for tests
// and special cases): pixels holds texture_count * texture_height * texture_width
// values. Pattern sizes are written as given (0 means the whole texture).
std::vector<uint8_t> BuildRawImageRecord(int texture_width, int texture_height,
                                         int pattern_width, int pattern_height,
                                         int texture_count, const std::vector<uint32_t>& pixels);

// The "sizedata" record of a font: CharCount, FirstChar, Reserved, then one
// (advance width, height) pair per character.
struct GlyphMetrics {
  int32_t width = 0;
  int32_t height = 0;
};
std::vector<uint8_t> BuildFontSizeData(int32_t first_char, int32_t reserved,
                                       const std::vector<GlyphMetrics>& glyphs);

// Little-endian helpers for building fixtures by hand.
void AppendU32(std::vector<uint8_t>& out, uint32_t value);
void AppendF32(std::vector<uint8_t>& out, float value);
void PutU32(std::vector<uint8_t>& out, size_t offset, uint32_t value);
void PutF32(std::vector<uint8_t>& out, size_t offset, float value);

}  // namespace tarq::tools

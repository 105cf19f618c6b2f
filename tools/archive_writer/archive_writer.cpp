#include "archive_writer.h"

#include <zlib.h>

#include <bit>
#include <cstring>
#include <fstream>
#include <stdexcept>

namespace tarq::tools {

void AppendU32(std::vector<uint8_t>& out, uint32_t value) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

void AppendF32(std::vector<uint8_t>& out, float value) {
  AppendU32(out, std::bit_cast<uint32_t>(value));
}

void PutU32(std::vector<uint8_t>& out, size_t offset, uint32_t value) {
  if (offset + 4 > out.size()) throw std::out_of_range("PutU32 beyond the buffer");
  for (int i = 0; i < 4; ++i) out[offset + i] = static_cast<uint8_t>(value >> (8 * i));
}

void PutF32(std::vector<uint8_t>& out, size_t offset, float value) {
  PutU32(out, offset, std::bit_cast<uint32_t>(value));
}

std::string UpperName(const std::string& name) {
  std::string upper = name;
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return upper;
}

uint32_t ArchiveCrc32(const uint8_t* data, size_t size) {
  uLong crc = crc32(0L, Z_NULL, 0);
  // zlib takes the length as uInt; feed large buffers in pieces.
  while (size > 0) {
    const uInt piece = static_cast<uInt>(size > 0x40000000u ? 0x40000000u : size);
    crc = crc32(crc, data, piece);
    data += piece;
    size -= piece;
  }
  return static_cast<uint32_t>(crc);
}

std::vector<uint8_t> EncodePayload(const std::vector<uint8_t>& data, uint32_t mode) {
  if (mode == kModeStored) return data;
  if (mode != kModeDeflate) throw std::invalid_argument("unknown record mode " + std::to_string(mode));
  uLongf size = compressBound(static_cast<uLong>(data.size()));
  std::vector<uint8_t> out(size);
  if (compress2(out.data(), &size, data.data(), static_cast<uLong>(data.size()), Z_BEST_COMPRESSION) !=
      Z_OK) {
    throw std::runtime_error("deflate failed");
  }
  out.resize(size);
  return out;
}

namespace {

// A table entry or record header: 32-byte name field, then five numbers, then zeros.
void AppendEntry(std::vector<uint8_t>& out, const std::string& name, uint32_t mode,
                 uint32_t data_offset, uint32_t crc, uint32_t stored_size, uint32_t decoded_size) {
  out.push_back(static_cast<uint8_t>(name.size()));
  for (size_t i = 0; i < 31; ++i) out.push_back(i < name.size() ? static_cast<uint8_t>(name[i]) : 0);
  AppendU32(out, mode);
  AppendU32(out, data_offset);
  AppendU32(out, crc);
  AppendU32(out, stored_size);
  AppendU32(out, decoded_size);
  out.insert(out.end(), 12, 0);
}

void CheckName(const std::string& name) {
  if (name.empty() || name.size() > kMaxRecordName) {
    throw std::invalid_argument("record name must have 1..31 characters: '" + name + "'");
  }
}

}  // namespace

std::vector<uint8_t> BuildArchive(const std::vector<ArchiveRecord>& records,
                                  const ArchiveOptions& options) {
  struct Encoded {
    std::vector<uint8_t> payload;
    uint32_t crc;
  };
  std::vector<Encoded> encoded;
  encoded.reserve(records.size());
  for (const ArchiveRecord& r : records) {
    CheckName(r.name);
    if (r.header_name) {
      if (r.header_name->size() > kMaxRecordName) throw std::invalid_argument("header name too long");
    }
    if (r.data.size() > 0x7FFFFFFFu) throw std::invalid_argument("record too large");
    encoded.push_back({EncodePayload(r.data, r.mode), ArchiveCrc32(r.data.data(), r.data.size())});
  }

  const uint64_t table_offset = kArchiveHeaderSize;
  uint64_t offset = table_offset + kTableEntrySize * records.size();
  std::vector<uint32_t> data_offsets;
  for (const Encoded& e : encoded) {
    data_offsets.push_back(static_cast<uint32_t>(offset));
    offset += kTableEntrySize + e.payload.size();
    if (offset > 0x7FFFFFFFu) throw std::invalid_argument("archive too large");
  }

  std::vector<uint8_t> out;
  out.reserve(offset);
  AppendU32(out, options.signature);
  AppendF32(out, options.version_a);
  AppendF32(out, options.version_b);
  AppendU32(out, static_cast<uint32_t>(records.size()));
  AppendU32(out, static_cast<uint32_t>(table_offset));
  out.insert(out.end(), kArchiveHeaderSize - 20, 0);

  for (size_t i = 0; i < records.size(); ++i) {
    const ArchiveRecord& r = records[i];
    AppendEntry(out, r.name, r.mode, data_offsets[i], encoded[i].crc,
                static_cast<uint32_t>(kTableEntrySize + encoded[i].payload.size()),
                static_cast<uint32_t>(r.data.size()));
  }
  for (size_t i = 0; i < records.size(); ++i) {
    const ArchiveRecord& r = records[i];
    const std::string header_name = r.header_name ? *r.header_name : UpperName(r.name);
    AppendEntry(out, header_name, r.mode, data_offsets[i], encoded[i].crc,
                static_cast<uint32_t>(kTableEntrySize + encoded[i].payload.size()),
                static_cast<uint32_t>(r.data.size()));
    out.insert(out.end(), encoded[i].payload.begin(), encoded[i].payload.end());
  }
  return out;
}

void WriteFileBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  if (!file) throw std::runtime_error("cannot create " + path.string());
  file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  file.close();
  if (!file) throw std::runtime_error("cannot write " + path.string());
}

void WriteArchive(const std::filesystem::path& path, const std::vector<ArchiveRecord>& records,
                  const ArchiveOptions& options) {
  WriteFileBytes(path, BuildArchive(records, options));
}

namespace {

int NextPowerOfTwo(int v) {
  int p = 1;
  while (p < v) p *= 2;
  return p;
}

}  // namespace

ImageLayout ChooseImageLayout(int pattern_width, int pattern_height, int pattern_count,
                              const ImageRecordOptions& options) {
  if (pattern_width <= 0 || pattern_height <= 0) throw std::invalid_argument("empty pattern size");
  if (pattern_count <= 0) throw std::invalid_argument("an image needs at least one pattern");
  const int max_size = options.max_texture_size;
  ImageLayout layout;
  layout.pattern_width = pattern_width;
  layout.pattern_height = pattern_height;

  const bool width_fixed = options.force_texture_width > 0;
  const bool height_fixed = options.force_texture_height > 0;
  layout.texture_width = width_fixed ? options.force_texture_width : NextPowerOfTwo(pattern_width);
  layout.texture_height = height_fixed ? options.force_texture_height : NextPowerOfTwo(pattern_height);
  if (layout.texture_width < pattern_width || layout.texture_height < pattern_height) {
    throw std::invalid_argument("forced texture size smaller than a pattern");
  }
  if ((!width_fixed && layout.texture_width > max_size) ||
      (!height_fixed && layout.texture_height > max_size)) {
    throw std::invalid_argument("pattern larger than the largest texture");
  }

  // Grow the narrower side first so textures stay close to square.
  while (layout.PatternsPerTexture() < pattern_count) {
    const bool can_grow_w = !width_fixed && layout.texture_width * 2 <= max_size;
    const bool can_grow_h = !height_fixed && layout.texture_height * 2 <= max_size;
    if (can_grow_w && (layout.texture_width <= layout.texture_height || !can_grow_h)) {
      layout.texture_width *= 2;
    } else if (can_grow_h) {
      layout.texture_height *= 2;
    } else {
      break;
    }
  }
  const int per_texture = layout.PatternsPerTexture();
  layout.texture_count = (pattern_count + per_texture - 1) / per_texture;
  return layout;
}

std::vector<uint8_t> BuildRawImageRecord(int texture_width, int texture_height, int pattern_width,
                                         int pattern_height, int texture_count,
                                         const std::vector<uint32_t>& pixels) {
  const size_t expected = static_cast<size_t>(texture_count) * static_cast<size_t>(texture_height) *
                          static_cast<size_t>(texture_width);
  if (texture_width <= 0 || texture_height <= 0 || texture_count <= 0 || pixels.size() != expected) {
    throw std::invalid_argument("image record pixels do not match its geometry");
  }
  std::vector<uint8_t> out;
  out.reserve(24 + pixels.size() * 4);
  AppendU32(out, kImageRecordMagic);
  AppendU32(out, static_cast<uint32_t>(texture_width));
  AppendU32(out, static_cast<uint32_t>(texture_height));
  AppendU32(out, static_cast<uint32_t>(pattern_width));
  AppendU32(out, static_cast<uint32_t>(pattern_height));
  AppendU32(out, static_cast<uint32_t>(texture_count));
  for (uint32_t p : pixels) AppendU32(out, p);
  return out;
}

std::vector<uint8_t> BuildImageRecord(const std::vector<PatternPixels>& patterns,
                                      const ImageRecordOptions& options) {
  if (patterns.empty()) throw std::invalid_argument("an image needs at least one pattern");
  const int pw = patterns[0].width;
  const int ph = patterns[0].height;
  for (const PatternPixels& p : patterns) {
    if (p.width != pw || p.height != ph) throw std::invalid_argument("patterns differ in size");
    if (p.pixels.size() != static_cast<size_t>(pw) * static_cast<size_t>(ph)) {
      throw std::invalid_argument("pattern pixel count does not match its size");
    }
  }
  const ImageLayout layout = ChooseImageLayout(pw, ph, static_cast<int>(patterns.size()), options);
  const size_t tw = static_cast<size_t>(layout.texture_width);
  const size_t th = static_cast<size_t>(layout.texture_height);
  std::vector<uint32_t> texels(tw * th * static_cast<size_t>(layout.texture_count), 0);
  const int per_row = layout.PatternsPerRow();
  const int per_texture = layout.PatternsPerTexture();
  for (size_t i = 0; i < patterns.size(); ++i) {
    const int index = static_cast<int>(i);
    const size_t texture = static_cast<size_t>(index / per_texture);
    const int slot = index % per_texture;
    const size_t x0 = static_cast<size_t>((slot % per_row) * pw);
    const size_t y0 = static_cast<size_t>((slot / per_row) * ph);
    uint32_t* base = texels.data() + texture * tw * th;
    for (size_t y = 0; y < static_cast<size_t>(ph); ++y) {
      std::memcpy(base + (y0 + y) * tw + x0, patterns[i].pixels.data() + y * static_cast<size_t>(pw),
                  static_cast<size_t>(pw) * sizeof(uint32_t));
    }
  }
  return BuildRawImageRecord(layout.texture_width, layout.texture_height, pw, ph,
                             layout.texture_count, texels);
}

std::vector<uint8_t> BuildFontSizeData(int32_t first_char, int32_t reserved,
                                       const std::vector<GlyphMetrics>& glyphs) {
  std::vector<uint8_t> out;
  AppendU32(out, static_cast<uint32_t>(glyphs.size()));
  AppendU32(out, static_cast<uint32_t>(first_char));
  AppendU32(out, static_cast<uint32_t>(reserved));
  for (const GlyphMetrics& g : glyphs) {
    AppendU32(out, static_cast<uint32_t>(g.width));
    AppendU32(out, static_cast<uint32_t>(g.height));
  }
  return out;
}

}  // namespace tarq::tools

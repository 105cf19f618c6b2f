#include <gtest/gtest.h>
#include <zlib.h>

#include "archive_writer/archive_writer.h"
#include "assets/codec.h"

namespace tarq {
namespace {

std::vector<uint8_t> Sample(size_t n) {
  std::vector<uint8_t> v(n);
  for (size_t i = 0; i < n; ++i) v[i] = static_cast<uint8_t>((i * 7) ^ (i >> 3));
  return v;
}

TEST(Codec, DecodesBothModesIntoExactlySizedBuffers) {
  const std::vector<uint8_t> data = Sample(5000);
  for (uint32_t mode : {tools::kModeStored, tools::kModeDeflate}) {
    const std::vector<uint8_t> payload = tools::EncodePayload(data, mode);
    std::vector<uint8_t> out(data.size());
    size_t produced = 99;
    EXPECT_EQ(DecodeBlock(payload.data(), out.data(), static_cast<uint8_t>(mode), payload.size(),
                          out.size(), &produced),
              kDecodeOk)
        << mode;
    EXPECT_EQ(produced, data.size());
    EXPECT_EQ(out, data);
  }
}

TEST(Codec, RefusesOutputBeyondTheBufferAndBrokenStreams) {
  const std::vector<uint8_t> data = Sample(1000);
  const std::vector<uint8_t> packed = tools::EncodePayload(data, tools::kModeDeflate);
  std::vector<uint8_t> small(999, 0xEE);
  std::vector<uint8_t> guard(small);
  size_t produced = 0;
  // The decoder writes at most the capacity it was given.
  EXPECT_EQ(DecodeBlock(packed.data(), small.data(), 1, packed.size(), 500, &produced),
            kDecodeTooLarge);
  EXPECT_LE(produced, 500u);
  EXPECT_TRUE(std::equal(small.begin() + 500, small.end(), guard.begin() + 500));
  EXPECT_EQ(DecodeBlock(data.data(), small.data(), 0, data.size(), small.size(), &produced),
            kDecodeTooLarge);

  std::vector<uint8_t> out(1000);
  // Truncated stream, garbage stream, unknown mode.
  EXPECT_EQ(DecodeBlock(packed.data(), out.data(), 1, packed.size() / 2, out.size(), &produced),
            kDecodeCorrupt);
  EXPECT_EQ(DecodeBlock(data.data(), out.data(), 1, 100, out.size(), &produced), kDecodeCorrupt);
  EXPECT_EQ(DecodeBlock(packed.data(), out.data(), 1, 0, out.size(), &produced), kDecodeCorrupt);
  EXPECT_EQ(DecodeBlock(data.data(), out.data(), 2, 10, out.size(), &produced), kDecodeBadMode);
  // A stream shorter than the buffer decodes and reports what it produced.
  std::vector<uint8_t> big(2000);
  EXPECT_EQ(DecodeBlock(packed.data(), big.data(), 1, packed.size(), big.size(), &produced),
            kDecodeOk);
  EXPECT_EQ(produced, 1000u);
}

TEST(Codec, Crc32IsZlibs) {
  const std::vector<uint8_t> data = Sample(777);
  EXPECT_EQ(CRC32(data.data(), data.size()), static_cast<uint32_t>(crc32(0, data.data(), 777)));
  EXPECT_EQ(CRC32(nullptr, 0), 0u);
  const char* text = "123456789";
  EXPECT_EQ(CRC32(reinterpret_cast<const uint8_t*>(text), 9), 0xCBF43926u);
}

TEST(Codec, BindingNeedsEveryEntryPointAndRetriesAfterFailure) {
  int loads = 0;
  std::string seen_path;
  bool available = false;
  SetCodecLibraryPath("system/tqcodec");
  SetCodecLoader([&](const std::string& path) -> std::optional<CodecLibrary> {
    ++loads;
    seen_path = path;
    if (!available) return std::nullopt;
    CodecLibrary lib = BuiltInCodecLibrary();
    if (loads == 2) lib.Line24to12 = nullptr;  // second load: one routine missing
    return lib;
  });
  EXPECT_FALSE(BindCodecLibrary());
  EXPECT_EQ(seen_path, "system/tqcodec");
  available = true;
  EXPECT_FALSE(BindCodecLibrary());  // incomplete: not bound
  EXPECT_FALSE(CodecLibraryBound());
  EXPECT_EQ(BoundCodecLibrary(), nullptr);
  EXPECT_TRUE(BindCodecLibrary());
  EXPECT_TRUE(BindCodecLibrary());  // already bound: no further load
  EXPECT_EQ(loads, 3);
  ASSERT_NE(BoundCodecLibrary(), nullptr);
  EXPECT_EQ(BoundCodecLibrary()->ConverterFor(kFormatA4R4G4B4), &Line32to12);
  EXPECT_EQ(BoundCodecLibrary()->ConverterFor(28), nullptr);
  ReleaseCodecLibrary();
  EXPECT_FALSE(CodecLibraryBound());
  SetCodecLoader(nullptr);
  SetCodecLibraryPath(kCodecLibraryFileName);
  EXPECT_TRUE(BindCodecLibrary());  // the built-in library is always there
  EXPECT_TRUE(BuiltInCodecLibrary().Complete());
}

}  // namespace
}  // namespace tarq

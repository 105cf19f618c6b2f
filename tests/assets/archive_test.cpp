#include <gtest/gtest.h>

#include <set>

#include "archive_fixtures.h"
#include "assets/codec.h"
#include "assets/record_archive.h"

namespace tarq {
namespace {

using testing::Bytes;
using testing::TempDir;
using tools::ArchiveRecord;

uint32_t U32At(const std::vector<uint8_t>& b, size_t at) {
  return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 |
         uint32_t(b[at + 3]) << 24;
}

// Table entry i's field at the given offset within the entry.
size_t EntryField(size_t i, size_t field) { return 64 + 64 * i + field; }

class ArchiveTest : public ::testing::Test {
 protected:
  TempDir dir;
  TRecordArchive archive;

  void Write(const std::vector<uint8_t>& bytes, const std::string& name = "a.pak") {
    tools::WriteFileBytes(dir.File(name), bytes);
    archive.FileName = dir.File(name);
  }
  int32_t Read(const std::string& name, std::vector<uint8_t>* out = nullptr) {
    std::vector<uint8_t> data;
    int32_t size = -1;
    const int32_t result = archive.ReadRecord(name, data, size);
    EXPECT_EQ(static_cast<size_t>(size), data.size());
    if (out) *out = data;
    return result;
  }
};

TEST_F(ArchiveTest, ListsAndReadsRecordsInBothModes) {
  std::vector<uint8_t> big(10000);
  for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<uint8_t>(i % 251);
  Write(tools::BuildArchive({{"player", Bytes("stored bytes"), tools::kModeStored},
                             {"Boss_1", big, tools::kModeDeflate},
                             {"empty", {}, tools::kModeDeflate}}));
  archive.OpenMode = opReadOnly;
  ASSERT_EQ(archive.Open(), 0);
  ASSERT_EQ(archive.RecordCount(), 3);
  EXPECT_EQ(archive.RecordName(0), "player");
  EXPECT_EQ(archive.RecordName(1), "Boss_1");
  EXPECT_EQ(archive.RecordName(-1), "");
  EXPECT_EQ(archive.RecordName(3), "");
  EXPECT_EQ(archive.HeaderVersionA(), 1.0f);

  std::vector<uint8_t> data;
  EXPECT_EQ(Read("PLAYER", &data), 0);
  EXPECT_EQ(data, Bytes("stored bytes"));
  EXPECT_EQ(Read("boss_1", &data), 0);
  EXPECT_EQ(data, big);
  EXPECT_EQ(Read("empty", &data), 0);
  EXPECT_TRUE(data.empty());
  EXPECT_EQ(Read("nobody"), kArchiveNoSuchRecord);
}

TEST_F(ArchiveTest, TableMatchIgnoresCaseButRecordHeaderMustBeUpperCase) {
  Write(tools::BuildArchive({{"Player", Bytes("p1")}, {"PLAYER", Bytes("p2")}}));
  std::vector<uint8_t> data;
  // Both table spellings match "player"; the first entry in table order is read.
  EXPECT_EQ(Read("player", &data), 0);
  EXPECT_EQ(data, Bytes("p1"));

  ArchiveRecord lower{"player", Bytes("x")};
  lower.header_name = "player";
  Write(tools::BuildArchive({lower}));
  EXPECT_EQ(Read("player"), kArchiveHeaderMismatch);
  EXPECT_EQ(Read("PLAYER"), kArchiveHeaderMismatch);
}

TEST_F(ArchiveTest, RequestIsMatchedOnItsFirst31Characters) {
  const std::string name31 = "abcdefghijklmnopqrstuvwxyz01234";
  Write(tools::BuildArchive({{name31, Bytes("long")}}));
  std::vector<uint8_t> data;
  EXPECT_EQ(Read(name31 + "567890123", &data), 0);  // 40 characters
  EXPECT_EQ(data, Bytes("long"));
  EXPECT_EQ(Read(name31.substr(0, 30)), kArchiveNoSuchRecord);
}

TEST_F(ArchiveTest, NewerArchiveListsNamesButRefusesEveryRead) {
  Write(tools::BuildArchive({{"one", Bytes("1")}, {"two", Bytes("2")}}, {.version_b = 1.5f}));
  archive.OpenMode = opReadOnly;
  ASSERT_EQ(archive.Open(), 0);
  EXPECT_EQ(archive.RecordName(1), "two");
  EXPECT_EQ(Read("one"), kArchiveTooNew);
  EXPECT_EQ(Read("two"), kArchiveTooNew);
  // The float at offset 4 is not examined.
  Write(tools::BuildArchive({{"one", Bytes("1")}}, {.version_a = 9.0f}));
  EXPECT_EQ(Read("one"), 0);
}

TEST_F(ArchiveTest, OpenModes) {
  archive.FileName = dir.File("new.pak");
  archive.OpenMode = opReadOnly;
  EXPECT_EQ(archive.Open(), kArchiveFileError);
  archive.OpenMode = opUpdate;
  EXPECT_EQ(archive.Open(), 0);
  EXPECT_EQ(archive.RecordCount(), 0);
  const std::vector<uint8_t> empty = testing::ReadFileBytes(dir.File("new.pak"));
  ASSERT_EQ(empty.size(), 64u);
  EXPECT_EQ(U32At(empty, 0), kArchiveSignatureTQPK);
  EXPECT_EQ(U32At(empty, 4), 0x3F800000u);
  EXPECT_EQ(U32At(empty, 8), 0x3F800000u);
  EXPECT_EQ(U32At(empty, 12), 0u);
  EXPECT_EQ(U32At(empty, 16), 64u);
  EXPECT_EQ(Read("x"), kArchiveNoSuchRecord);

  // opUpdate on an existing archive reads it; opOverwrite empties it.
  Write(tools::BuildArchive({{"keep", Bytes("k")}}), "new.pak");
  EXPECT_EQ(archive.Open(), 0);
  EXPECT_EQ(archive.RecordCount(), 1);
  archive.OpenMode = opOverwrite;
  EXPECT_EQ(archive.Open(), 0);
  EXPECT_EQ(archive.RecordCount(), 0);
  EXPECT_EQ(testing::ReadFileBytes(dir.File("new.pak")).size(), 64u);

  archive.OpenMode = 7;
  EXPECT_EQ(archive.Open(), kArchiveWriteError);
  archive.OpenMode = opOverwrite;
  archive.FileName = dir.File("no/such/folder.pak");
  EXPECT_EQ(archive.Open(), kArchiveWriteError);
  archive.FileName = dir.path().string();  // a folder is no archive
  archive.OpenMode = opReadOnly;
  EXPECT_EQ(archive.Open(), kArchiveFileError);
  EXPECT_EQ(Read("x"), kArchiveFileError);
}

TEST_F(ArchiveTest, SignatureMustMatch) {
  Write(tools::BuildArchive({{"font", Bytes("f")}}, {.signature = tools::kFontSignature}));
  archive.OpenMode = opReadOnly;
  Write(tools::BuildArchive({{"keep", Bytes("k")}}), "good.pak");
  ASSERT_EQ(archive.Open(), 0);
  archive.FileName = dir.File("a.pak");
  EXPECT_EQ(archive.Open(), kArchiveBadSignature);
  EXPECT_EQ(archive.RecordName(0), "keep");  // table left as it was
  EXPECT_EQ(Read("font"), kArchiveBadSignature);
  archive.Signature = kArchiveSignatureTQFN;
  EXPECT_EQ(Read("font"), 0);
}

TEST_F(ArchiveTest, CodecUnavailableFailsEveryRead) {
  Write(tools::BuildArchive({{"one", Bytes("1")}}));
  SetCodecLoader([](const std::string&) { return std::optional<CodecLibrary>(); });
  EXPECT_EQ(Read("one"), kArchiveNoCodec);
  EXPECT_EQ(Read("missing"), kArchiveNoCodec);
  SetCodecLoader(nullptr);
  EXPECT_EQ(Read("one"), 0);
}

// Hostile or broken field values: every one gives an error code, none allocates
// more than the file justifies, none reads past what was decoded.
TEST_F(ArchiveTest, RefusesImpossibleRecords) {
  const std::vector<uint8_t> good = tools::BuildArchive({{"rec", Bytes("hello hello hello")}});
  const size_t block = U32At(good, EntryField(0, 36));
  auto patched = [&](size_t at, uint32_t value, bool also_block) {
    std::vector<uint8_t> b = good;
    tools::PutU32(b, at, value);
    if (also_block) tools::PutU32(b, block + (at - EntryField(0, 0)), value);
    return b;
  };
  struct Case {
    const char* what;
    size_t field;
    uint32_t value;
    bool also_block;
    int32_t expected;
  };
  const Case cases[] = {
      {"stored size below 64", 44, 10, true, kArchiveHeaderMismatch},
      {"negative stored size", 44, 0x80000000u, true, kArchiveHeaderMismatch},
      {"stored size past the end", 44, 100000, true, kArchiveFileError},
      {"negative decoded size", 48, 0xFFFFFFFFu, true, kArchiveHeaderMismatch},
      {"absurd decoded size", 48, 0x7FFFFFFFu, true, kArchiveHeaderMismatch},
      {"decoded size beyond any expansion", 48, 2000000, true, kArchiveHeaderMismatch},
      {"decoder falls short", 48, 30, true, kArchiveBadChecksum},
      {"data offset past the end", 36, 5000, false, kArchiveFileError},
      {"negative data offset", 36, 0xFFFFFF00u, false, kArchiveFileError},
      {"table entry disagrees", 40, 1234, false, kArchiveHeaderMismatch},
      {"checksum wrong", 40, 1234, true, kArchiveBadChecksum},
      {"unknown mode", 32, 7, true, kArchiveBadChecksum},
  };
  for (const Case& c : cases) {
    Write(patched(EntryField(0, c.field), c.value, c.also_block));
    EXPECT_EQ(Read("rec"), c.expected) << c.what;
  }

  // Header-level damage.
  Write(patched(16, 0x80000000u, false));  // negative table offset
  EXPECT_EQ(Read("rec"), kArchiveFileError);
  archive.OpenMode = opReadOnly;
  EXPECT_EQ(archive.Open(), kArchiveFileError);
  Write(patched(16, 100000, false));  // table past the end
  EXPECT_EQ(Read("rec"), kArchiveFileError);
  Write(patched(12, 0xFFFFFFFFu, false));  // negative count: nothing to search
  EXPECT_EQ(Read("rec"), kArchiveNoSuchRecord);
  EXPECT_EQ(archive.Open(), kArchiveFileError);
  EXPECT_EQ(archive.RecordCount(), 0);
  // A count of two billion in a small file: the table keeps only what the file
  // holds (the one real entry and the block headers after it) and Open reports -8.
  Write(patched(12, 2000000000u, false));
  EXPECT_EQ(archive.Open(), kArchiveFileError);
  EXPECT_LE(archive.RecordCount(), static_cast<int32_t>(good.size() / 64));
  EXPECT_EQ(archive.RecordName(0), "rec");
  EXPECT_EQ(Read("rec"), 0);
  EXPECT_EQ(Read("other"), kArchiveFileError);

  Write(std::vector<uint8_t>(good.begin(), good.begin() + 40));
  EXPECT_EQ(Read("rec"), kArchiveHeaderUnreadable);
  EXPECT_EQ(archive.Open(), kArchiveFileError);
}

// Every truncation and many single-byte corruptions of a valid archive: each read
// returns a code, and a read that succeeds returns exactly the original bytes.
TEST_F(ArchiveTest, CorruptionSweep) {
  std::vector<uint8_t> pattern(700);
  for (size_t i = 0; i < pattern.size(); ++i) pattern[i] = static_cast<uint8_t>(i * 31 + 7);
  const std::vector<ArchiveRecord> records = {{"alpha", Bytes("first record"), tools::kModeStored},
                                              {"Beta", pattern, tools::kModeDeflate},
                                              {"gamma", std::vector<uint8_t>(64, 9)}};
  const std::vector<uint8_t> good = tools::BuildArchive(records);
  const std::set<int32_t> codes = {0, -1, -4, -5, -6, -7, -8, -11};
  const std::string names[] = {"alpha", "beta", "gamma"};

  auto check_all = [&](const std::vector<uint8_t>& bytes, const std::string& what) {
    Write(bytes);
    archive.OpenMode = opReadOnly;
    const int32_t open = archive.Open();
    EXPECT_TRUE(open == 0 || open == -1 || open == -8) << what;
    for (int32_t i = -1; i <= archive.RecordCount(); ++i) archive.RecordName(i);
    for (size_t r = 0; r < 3; ++r) {
      std::vector<uint8_t> data;
      const int32_t result = Read(names[r], &data);
      EXPECT_TRUE(codes.count(result)) << what << " gave " << result;
      if (result == 0) {
        EXPECT_EQ(data, records[r].data) << what;
      }
    }
  };

  for (size_t len = 0; len < good.size(); ++len) {
    check_all(std::vector<uint8_t>(good.begin(), good.begin() + len), "cut at " + std::to_string(len));
  }
  const uint8_t flips[] = {0x01, 0x80, 0xFF};
  for (size_t at = 0; at < good.size(); at += (at < 400 ? 1 : 7)) {
    for (uint8_t flip : flips) {
      std::vector<uint8_t> bad = good;
      bad[at] ^= flip;
      check_all(bad, "flip " + std::to_string(flip) + " at " + std::to_string(at));
    }
  }
}

}  // namespace
}  // namespace tarq

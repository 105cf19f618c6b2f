#include "assets/record_archive.h"

#include <sys/stat.h>

#include <bit>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <unordered_map>

#include "assets/codec.h"

namespace tarq {

namespace {

constexpr size_t kHeaderSize = 64;
constexpr size_t kEntrySize = 64;
constexpr size_t kMaxName = 31;

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// Opens a regular file for reading and reports its size; anything else (missing,
// a folder, unreadable) is nullptr.
File OpenForReading(const std::string& name, int64_t& size, struct stat* identity = nullptr) {
  if (name.empty()) return nullptr;
  File file(std::fopen(name.c_str(), "rb"));
  if (!file) return nullptr;
  struct stat info {};
  if (fstat(fileno(file.get()), &info) != 0 || !S_ISREG(info.st_mode)) return nullptr;
  size = static_cast<int64_t>(info.st_size);
  if (identity) *identity = info;
  return file;
}

bool ReadExact(std::FILE* f, uint8_t* dst, size_t n) { return std::fread(dst, 1, n, f) == n; }

bool SeekTo(std::FILE* f, int64_t offset) {
  return offset >= 0 && fseeko(f, static_cast<off_t>(offset), SEEK_SET) == 0;
}

uint32_t U32(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
int32_t I32(const uint8_t* p) { return static_cast<int32_t>(U32(p)); }
float F32(const uint8_t* p) { return std::bit_cast<float>(U32(p)); }

// Name field: a length byte then the characters; lengths above 31 are cut to 31.
std::string NameField(const uint8_t* p) {
  const size_t len = p[0] > kMaxName ? kMaxName : p[0];
  return std::string(reinterpret_cast<const char*>(p + 1), len);
}

struct RawEntry {
  std::string name;
  uint32_t mode;
  int32_t data_offset;
  uint32_t checksum;
  int32_t stored_size;
  int32_t decoded_size;
};

RawEntry ParseEntry(const uint8_t* p) {
  return {NameField(p), U32(p + 32), I32(p + 36), U32(p + 40), I32(p + 44), I32(p + 48)};
}

struct Header {
  uint32_t signature;
  float version_a;
  float version_b;
  int32_t count;
  int32_t table_offset;
};

Header ParseHeader(const uint8_t* p) {
  return {U32(p), F32(p + 4), F32(p + 8), I32(p + 12), I32(p + 16)};
}

}  // namespace

// What ReadRecord learns from the header and table, and the file it learnt it from.
struct TRecordArchive::RecordIndex {
  std::string file_name;
  uint32_t signature = 0;
  dev_t device = 0;
  ino_t inode = 0;
  int64_t size = 0;
  struct timespec modified {};
  std::vector<RawEntry> entries;  // the entries the file holds, in table order
  bool complete = true;           // false when the count claims more than the file holds
  std::unordered_map<std::string, size_t> first;  // upper-cased name -> first entry

  bool Describes(const std::string& name, uint32_t sig, const struct stat& info) const {
    return file_name == name && signature == sig && device == info.st_dev && inode == info.st_ino &&
           size == static_cast<int64_t>(info.st_size) && modified.tv_sec == info.st_mtim.tv_sec &&
           modified.tv_nsec == info.st_mtim.tv_nsec;
  }
};

std::string ArchiveUpperCase(const std::string& text) {
  std::string upper = text;
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return upper;
}

int32_t TRecordArchive::Open() {
  switch (OpenMode) {
    case opUpdate: {
      std::error_code ec;
      if (!FileName.empty() && std::filesystem::exists(FileName, ec)) return ReadHeader();
      return CreateNew();
    }
    case opOverwrite:
      return CreateNew();
    case opReadOnly:
      return ReadHeader();
    default:
      return kArchiveWriteError;
  }
}

std::string TRecordArchive::RecordName(int32_t index) const {
  if (index < 0 || index >= RecordCount()) return {};
  return table_[static_cast<size_t>(index)].Name;
}

int32_t TRecordArchive::CreateNew() {
  table_.clear();
  index_.reset();
  uint8_t header[kHeaderSize] = {};
  const uint32_t one = std::bit_cast<uint32_t>(1.0f);
  const uint32_t fields[5] = {Signature, one, one, 0, static_cast<uint32_t>(kHeaderSize)};
  for (size_t i = 0; i < 5; ++i) {
    for (size_t b = 0; b < 4; ++b) header[4 * i + b] = static_cast<uint8_t>(fields[i] >> (8 * b));
  }
  if (FileName.empty()) return kArchiveWriteError;
  File file(std::fopen(FileName.c_str(), "wb"));
  if (!file) return kArchiveWriteError;
  const bool written = std::fwrite(header, 1, kHeaderSize, file.get()) == kHeaderSize;
  if (std::fclose(file.release()) != 0 || !written) return kArchiveWriteError;
  file_size_ = static_cast<int64_t>(kHeaderSize);
  version_a_ = 1.0f;
  version_b_ = 1.0f;
  return kArchiveOk;
}

int32_t TRecordArchive::ReadHeader() {
  int64_t size = 0;
  index_.reset();  // every Open reads the archive afresh, records included
  File file = OpenForReading(FileName, size);
  if (!file) return kArchiveFileError;
  uint8_t raw[kHeaderSize];
  if (!ReadExact(file.get(), raw, kHeaderSize)) return kArchiveFileError;
  const Header header = ParseHeader(raw);
  if (header.signature != Signature) return kArchiveBadSignature;

  file_size_ = size;
  version_a_ = header.version_a;
  version_b_ = header.version_b;
  table_.clear();
  if (header.count < 0 || !SeekTo(file.get(), header.table_offset)) return kArchiveFileError;

  // The table never grows beyond the entries the file can actually hold, so a huge
  // count in a small file cannot ask for a huge table.
  const int64_t room = size > header.table_offset ? size - header.table_offset : 0;
  const int64_t fits = room / static_cast<int64_t>(kEntrySize);
  const int64_t kept = header.count < fits ? header.count : fits;
  table_.resize(static_cast<size_t>(kept));
  for (RecordTableEntry& entry : table_) {
    uint8_t e[kEntrySize];
    if (!ReadExact(file.get(), e, kEntrySize)) return kArchiveFileError;
    const RawEntry raw_entry = ParseEntry(e);
    entry = {raw_entry.name, raw_entry.mode, raw_entry.checksum, raw_entry.stored_size,
             raw_entry.decoded_size};
  }
  return kept < header.count ? kArchiveFileError : kArchiveOk;
}

int32_t TRecordArchive::ReadRecord(const std::string& name, std::vector<uint8_t>& data,
                                   int32_t& size) const {
  data.clear();
  size = 0;
  const std::string key = ArchiveUpperCase(name.substr(0, kMaxName));
  if (!BindCodecLibrary()) return kArchiveNoCodec;
  const CodecLibrary& codec = *BoundCodecLibrary();

  int64_t file_size = 0;
  struct stat identity {};
  File file = OpenForReading(FileName, file_size, &identity);
  if (!file) return kArchiveFileError;
  if (!index_ || !index_->Describes(FileName, Signature, identity)) {
    index_.reset();
    uint8_t raw[kHeaderSize];
    if (!ReadExact(file.get(), raw, kHeaderSize)) return kArchiveHeaderUnreadable;
    const Header header = ParseHeader(raw);
    if (header.signature != Signature) return kArchiveBadSignature;
    if (header.version_b > 1.0f) return kArchiveTooNew;
    if (!SeekTo(file.get(), header.table_offset)) return kArchiveFileError;
    auto index = std::make_shared<RecordIndex>();
    index->file_name = FileName;
    index->signature = Signature;
    index->device = identity.st_dev;
    index->inode = identity.st_ino;
    index->size = file_size;
    index->modified = identity.st_mtim;
    // Entries past the end of the file cannot be read: a name not found among the
    // ones before them is then a read failure, as reading on would have found.
    const int64_t room = file_size > header.table_offset ? file_size - header.table_offset : 0;
    const int64_t fits = room / static_cast<int64_t>(kEntrySize);
    const int64_t readable = header.count < fits ? header.count : fits;
    index->complete = header.count <= fits;
    index->entries.reserve(static_cast<size_t>(readable > 0 ? readable : 0));
    for (int64_t i = 0; i < readable; ++i) {
      uint8_t e[kEntrySize];
      if (!ReadExact(file.get(), e, kEntrySize)) return kArchiveFileError;
      index->entries.push_back(ParseEntry(e));
      index->first.emplace(ArchiveUpperCase(index->entries.back().name), index->entries.size() - 1);
    }
    index_ = std::move(index);
  }
  const auto hit = index_->first.find(key);
  if (hit == index_->first.end()) return index_->complete ? kArchiveNoSuchRecord : kArchiveFileError;
  const RawEntry entry = index_->entries[hit->second];

  // A block smaller than its own header cannot exist; one reaching past the end of
  // the file cannot be read. Both are refused before anything is allocated.
  if (entry.stored_size < static_cast<int32_t>(kHeaderSize)) return kArchiveHeaderMismatch;
  if (entry.data_offset < 0 ||
      static_cast<int64_t>(entry.data_offset) + entry.stored_size > file_size) {
    return kArchiveFileError;
  }
  if (!SeekTo(file.get(), entry.data_offset)) return kArchiveFileError;
  uint8_t block_header[kHeaderSize];
  if (!ReadExact(file.get(), block_header, kHeaderSize)) return kArchiveFileError;
  const RawEntry block = ParseEntry(block_header);
  if (block.name != key || block.checksum != entry.checksum || block.mode != entry.mode ||
      block.stored_size != entry.stored_size || block.decoded_size != entry.decoded_size) {
    return kArchiveHeaderMismatch;
  }

  const size_t payload_size = static_cast<size_t>(entry.stored_size) - kHeaderSize;
  const int64_t decoded = entry.decoded_size;
  if (decoded < 0 || decoded > kMaxDecodedRecordSize ||
      decoded > static_cast<int64_t>(payload_size) * kMaxExpansionRatio + 1024) {
    return kArchiveHeaderMismatch;
  }
  std::vector<uint8_t> payload(payload_size);
  if (payload_size > 0 && !ReadExact(file.get(), payload.data(), payload_size)) {
    return kArchiveFileError;
  }
  file.reset();

  std::vector<uint8_t> out(static_cast<size_t>(decoded));
  size_t produced = 0;
  const int32_t status =
      codec.DecodeBlock(payload.data(), out.data(), static_cast<uint8_t>(entry.mode & 0xFF),
                        payload_size, out.size(), &produced);
  // A decoder that fails or delivers fewer bytes than promised leaves the record
  // unusable: the caller would otherwise read bytes that were never decoded.
  if (status != 0 || produced != out.size()) return kArchiveBadChecksum;
  if (codec.CRC32(out.data(), out.size()) != entry.checksum) return kArchiveBadChecksum;
  data = std::move(out);
  size = static_cast<int32_t>(decoded);
  return kArchiveOk;
}

}  // namespace tarq

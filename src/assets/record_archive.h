#pragma once
// TRecordArchive reads record archives: single files holding named records of bytes,
// each stored encoded and verified by a CRC-32 of its decoded bytes. The sprite
// archive and the two fonts are such archives (fonts with their own signature).
// The game never writes records; the only file this class creates is an empty
// archive. Records are written by the tools' archive writer.
//
// File layout (32-bit little-endian integers):
//   header, 64 bytes: signature, float (kept), float (reads refused above 1.0),
//                     record count, table offset, 44 reserved bytes
//   table:  count entries of 64 bytes: name (length byte 0..31 + characters in 32
//           bytes), mode, data offset, checksum, stored size, decoded size, reserved
//   record: at its data offset a 64-byte record header laid out like the entry (name
//           in upper case), then stored size - 64 bytes of encoded payload.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tarq {

enum TOpenModes : int32_t { opUpdate = 0, opOverwrite = 1, opReadOnly = 2 };

// Signatures: the four bytes read as a little-endian integer.
constexpr uint32_t kArchiveSignatureTQPK = 0x4B505154;  // "TQPK"
constexpr uint32_t kArchiveSignatureTQFN = 0x4E465154;  // "TQFN", fonts

// Error codes (library convention: 0 success, negative failure; no texts).
enum : int32_t {
  kArchiveOk = 0,
  kArchiveBadSignature = -1,
  kArchiveNoCodec = -3,
  kArchiveTooNew = -4,
  kArchiveNoSuchRecord = -5,
  kArchiveHeaderMismatch = -6,  // also: a table entry describing an impossible record
  kArchiveBadChecksum = -7,     // also: the payload did not decode to the promised size
  kArchiveFileError = -8,       // also: offsets or sizes reaching past the end of the file
  kArchiveWriteError = -9,
  kArchiveHeaderUnreadable = -11,
};

// No record may decode to more than this: the largest image record an image accepts
// (4 Mi texels of 4 bytes and its header), thirty times the largest forged sheet; it
// keeps a hostile size field from asking for gigabytes.
constexpr int64_t kMaxDecodedRecordSize = (int64_t{16} << 20) + 4096;
// Deflate cannot expand input by more than about 1032:1; a decoded size beyond this
// bound for the payload at hand cannot be genuine.
constexpr int64_t kMaxExpansionRatio = 1032;

struct RecordTableEntry {
  std::string Name;  // up to 31 characters, spelled as stored in the table
  uint32_t Mode = 0;
  uint32_t Checksum = 0;
  int32_t StoredSize = 0;
  int32_t DecodedSize = 0;
};

class TRecordArchive {
 public:
  std::string FileName;
  int32_t OpenMode = opUpdate;
  uint32_t Signature = kArchiveSignatureTQPK;

  // By OpenMode: opUpdate reads the header when the file exists, else creates an
  // empty archive; opOverwrite creates one; opReadOnly reads the header; any other
  // mode -9.
  int32_t Open();

  int32_t RecordCount() const { return static_cast<int32_t>(table_.size()); }
  // The table name of entry index; empty when index is outside 0..RecordCount-1.
  std::string RecordName(int32_t index) const;

  // Reads and decodes the record named name (only its first 31 characters count;
  // matched without regard to case). On success data holds exactly the decoded
  // bytes and size their count; on failure data is empty and size 0. Header and
  // table are read from the file on the first call and kept for as long as the file
  // stays the same (device, inode, size, modification time): every call gives what
  // re-reading them would, but loading n records stays linear in the archive's size
  // even when a damaged record count makes the table cover the whole file.
  int32_t ReadRecord(const std::string& name, std::vector<uint8_t>& data, int32_t& size) const;

  // Writes an empty archive (header only) and empties the table.
  int32_t CreateNew();
  // Reads header and table from FileName into memory.
  int32_t ReadHeader();

  int64_t FileSize() const { return file_size_; }
  float HeaderVersionA() const { return version_a_; }  // offset 4
  float HeaderVersionB() const { return version_b_; }  // offset 8
  const std::vector<RecordTableEntry>& Table() const { return table_; }

 private:
  int64_t file_size_ = 0;
  float version_a_ = 0.0f;
  float version_b_ = 0.0f;
  std::vector<RecordTableEntry> table_;
  struct RecordIndex;
  mutable std::shared_ptr<RecordIndex> index_;  // ReadRecord's kept header and table
};

// Upper-cases the letters a..z only, as the archive's name matching does.
std::string ArchiveUpperCase(const std::string& text);

}  // namespace tarq

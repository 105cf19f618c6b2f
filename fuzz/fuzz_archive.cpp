// Feeds arbitrary bytes to the record archive reader as an archive file: the table is
// read, every listed name and a few others are read as records. Any result code is
// fine; crashes, overruns, leaks and huge allocations are not.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <set>
#include <cstdio>
#include <string>
#include <vector>

#include "assets/record_archive.h"

namespace {

const std::string& ArchivePath() {
  static const std::string path = [] {
    std::atexit([] { std::remove(ArchivePath().c_str()); });
    return "/tmp/tarq_fuzz_archive_" + std::to_string(getpid()) + ".pak";
  }();
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string& path = ArchivePath();
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return 0;
  if (size > 0) std::fwrite(data, 1, size, f);
  std::fclose(f);

  tarq::TRecordArchive archive;
  archive.FileName = path;
  archive.OpenMode = tarq::opReadOnly;
  archive.Open();
  // Each distinct name once: the same oversized record read many times over would
  // only slow the search down.
  std::set<std::string> names = {"font", std::string(40, 'A')};
  for (int32_t i = -1; i <= archive.RecordCount() && names.size() < 16; ++i) {
    names.insert(archive.RecordName(i));
  }
  for (const std::string& name : names) {
    std::vector<uint8_t> record;
    int32_t record_size = 0;
    if (archive.ReadRecord(name, record, record_size) == 0 &&
        static_cast<size_t>(record_size) != record.size()) {
      __builtin_trap();  // a success must hand over exactly the promised bytes
    }
  }
  return 0;
}

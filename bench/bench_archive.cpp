// Loading every record of a sprite archive, as the loading screen does: the table as
// the archive lists it, then one ReadRecord per entry. With one bit of the record count
// flipped the table covers the whole file (an entry per 64 bytes); loading must stay
// linear in the file's size, about as fast as the intact archive per byte.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "archive_writer/archive_writer.h"
#include "assets/record_archive.h"

namespace {

// An archive of `count` 32 x 32 sprite records; `flip` flips bit 16 of its count.
std::string WriteArchive(int count, bool flip) {
  std::vector<tarq::tools::ArchiveRecord> records;
  for (int i = 0; i < count; ++i) {
    std::vector<uint32_t> pixels(32 * 32);
    for (size_t p = 0; p < pixels.size(); ++p) pixels[p] = 0xFF000000u | static_cast<uint32_t>(p * 2654435761u + i);
    records.push_back({"sprite" + std::to_string(i), tarq::tools::BuildRawImageRecord(32, 32, 0, 0, 1, pixels)});
  }
  std::vector<uint8_t> bytes = tarq::tools::BuildArchive(records);
  if (flip) bytes[14] ^= 0x01;
  const std::string path = (std::filesystem::temp_directory_path() /
                            ("tarq_bench_archive_" + std::to_string(::getpid()) + (flip ? "_flip" : "") + ".pak"))
                               .string();
  tarq::tools::WriteFileBytes(path, bytes);
  return path;
}

void LoadAll(benchmark::State& state, bool flip) {
  const std::string path = WriteArchive(static_cast<int>(state.range(0)), flip);
  int64_t reads = 0;
  for (auto _ : state) {
    tarq::TRecordArchive archive;
    archive.OpenMode = tarq::opReadOnly;
    archive.FileName = path;
    archive.Open();
    for (int32_t i = 0; i < archive.RecordCount(); ++i) {
      std::vector<uint8_t> data;
      int32_t size = 0;
      benchmark::DoNotOptimize(archive.ReadRecord(archive.RecordName(i), data, size));
      ++reads;
    }
  }
  state.counters["file_bytes"] = static_cast<double>(std::filesystem::file_size(path));
  state.counters["records_read"] = benchmark::Counter(static_cast<double>(reads), benchmark::Counter::kAvgIterations);
  std::filesystem::remove(path);
}

void BM_LoadIntactArchive(benchmark::State& state) { LoadAll(state, false); }
void BM_LoadArchiveWithFlippedCount(benchmark::State& state) { LoadAll(state, true); }

BENCHMARK(BM_LoadIntactArchive)->Arg(84)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadArchiveWithFlippedCount)->Arg(84)->Arg(1000)->Unit(benchmark::kMillisecond);

}  // namespace

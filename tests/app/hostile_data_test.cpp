// Hostile data: for each data file the headless game reads at start-up, copies of the
// forged data folder with that file truncated, bit-flipped, emptied, enlarged with
// garbage or replaced by a folder. The real program runs 200 ticks on each under a
// 1 GiB address-space limit and must either run or end with a message: never a signal,
// never more than 30 seconds. The cases of one file run side by side.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "archive_writer/archive_writer.h"
#include "test_util.h"

#if defined(__SANITIZE_ADDRESS__)
#define TARQ_HOSTILE_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TARQ_HOSTILE_SANITIZED 1
#endif
#endif
#ifndef TARQ_HOSTILE_SANITIZED
#define TARQ_HOSTILE_SANITIZED 0
#endif

namespace tarq {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

// AddressSanitizer reserves terabytes of address space for its shadow memory, so the
// limit only applies to ordinary builds; sanitized builds run fewer cases (they are
// several times slower) and rely on the sanitizers to catch the faults instead.
constexpr bool kSanitized = TARQ_HOSTILE_SANITIZED != 0;
constexpr rlim_t kAddressSpaceLimit = rlim_t{1} << 30;
constexpr auto kRunLimit = std::chrono::seconds(30);
constexpr const char* kTicks = "200";

const char* const kSettings =
    "[graphics]\nfullscreen=false\nbitdepth=high\nvsync=true\nbuffercount=2\nshowoptions=false\n"
    "[controls]\nPL1Up=J0Y-\nPL1Fire=J0B0\nPL2Up=J1Y-KBC8\n[sound]\nsoundvolume=80\nmusicvolume=90\n";

enum class Mutation { kTruncate, kFlip, kEmpty, kEnlarge, kFolder };

struct Case {
  std::string name;
  Mutation mutation;
  size_t at = 0;  // truncation length, or the byte whose bit is flipped
  int bit = 0;
};

struct Outcome {
  bool timed_out = false;
  int status = 0;
  double seconds = 0;
  std::string output;
};

std::string ProgramPath() { return std::string(TARQ_BINARY_DIR) + "/tarq"; }

Bytes ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

// Replaces the file: a linked file is unlinked first, never written through (the link
// leads to the forged data folder itself).
void WriteAll(const fs::path& path, const Bytes& bytes) {
  fs::remove(path);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// A copy of the forged data folder: the small system files copied (the game writes
// its settings and scores there, by replacing the files), the large read-only files,
// sounds, music and the unchanged tile pictures linked.
constexpr uintmax_t kCopyBelow = 64 * 1024;
void CopyDataFolder(const fs::path& to, const std::string& target) {
  const fs::path from = TARQ_DATA_DIR;
  fs::create_directories(to / "system");
  fs::create_directories(to / "tiles");
  for (const auto& entry : fs::directory_iterator(from / "system")) {
    const fs::path dest = to / "system" / entry.path().filename();
    const std::string relative = "system/" + entry.path().filename().string();
    if (entry.is_directory()) {
      fs::create_directory_symlink(entry.path(), dest);
    } else if (relative == target || entry.file_size() < kCopyBelow) {
      fs::copy_file(entry.path(), dest);
    } else {
      fs::create_symlink(entry.path(), dest);  // the map and the sprite archive
    }
  }
  fs::remove(to / "system/tarq.ini");
  testing_util::WriteFile((to / "system/tarq.ini").string(), kSettings);
  for (const auto& entry : fs::directory_iterator(from / "tiles")) {
    const fs::path dest = to / "tiles" / entry.path().filename();
    const std::string relative = "tiles/" + entry.path().filename().string();
    if (relative == target || relative == "tiles/tiles.txt") {
      fs::copy_file(entry.path(), dest);
    } else {
      fs::create_symlink(entry.path(), dest);
    }
  }
}

void Mutate(const fs::path& file, const Case& c) {
  Bytes bytes = ReadAll(file);
  switch (c.mutation) {
    case Mutation::kTruncate:
      bytes.resize(std::min(c.at, bytes.size()));
      break;
    case Mutation::kFlip:
      if (!bytes.empty()) bytes[c.at % bytes.size()] ^= static_cast<uint8_t>(1u << c.bit);
      break;
    case Mutation::kEmpty:
      bytes.clear();
      break;
    case Mutation::kEnlarge: {
      std::mt19937 random(static_cast<uint32_t>(bytes.size()));
      for (int i = 0; i < (1 << 20); ++i) bytes.push_back(static_cast<uint8_t>(random()));
      break;
    }
    case Mutation::kFolder:
      fs::remove(file);
      fs::create_directory(file);
      fs::create_directory(file / "inside");
      return;
  }
  WriteAll(file, bytes);
}

// Runs the headless game on a data folder: 200 ticks, a 1 GiB address space.
Outcome RunGame(const fs::path& data) {
  const std::string program = ProgramPath();
  const std::string data_dir = data.string();
  const std::string log = (data / "output.txt").string();
  std::vector<std::string> args = {program, "--headless", "--ticks", kTicks, "--data", data_dir};
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = ::fork();
  if (pid == 0) {
    // Only async-signal-safe calls between fork and exec.
    if (!kSanitized) {
      const struct rlimit limit = {kAddressSpaceLimit, kAddressSpaceLimit};
      ::setrlimit(RLIMIT_AS, &limit);
    }
    const int fd = ::open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd >= 0) {
      ::dup2(fd, 1);
      ::dup2(fd, 2);
    }
    ::execv(program.c_str(), argv.data());
    ::_exit(127);
  }
  Outcome outcome;
  if (pid < 0) {
    outcome.status = -1;
    outcome.output = "fork failed";
    return outcome;
  }
  int status = 0;
  while (true) {
    const pid_t done = ::waitpid(pid, &status, WNOHANG);
    if (done == pid) break;
    if (std::chrono::steady_clock::now() - start > kRunLimit) {
      ::kill(pid, SIGKILL);
      ::waitpid(pid, &status, 0);
      outcome.timed_out = true;
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  outcome.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  outcome.status = status;
  const Bytes text = ReadAll(log);
  outcome.output.assign(text.begin(), text.end());
  return outcome;
}

// The verdict on one run: empty when the game ran or ended with a message.
std::string Verdict(const Outcome& o) {
  if (o.timed_out) return "ran longer than 30 seconds";
  if (WIFSIGNALED(o.status)) return "ended by signal " + std::to_string(WTERMSIG(o.status));
  if (!WIFEXITED(o.status)) return "did not exit";
  if (WEXITSTATUS(o.status) == 127) return "could not be started";
  // Sanitizer reports end the program with an ordinary exit status.
  for (const char* report : {"AddressSanitizer", "LeakSanitizer", "runtime error:"}) {
    if (o.output.find(report) != std::string::npos) return std::string("reported by the sanitizers");
  }
  if (WEXITSTATUS(o.status) != 0 && o.output.find("TARQ: ") == std::string::npos &&
      o.output.find("tarq: ") == std::string::npos) {
    return "failed (status " + std::to_string(WEXITSTATUS(o.status)) + ") without a message";
  }
  return "";
}

std::vector<Case> CasesFor(size_t size, uint32_t seed) {
  std::vector<Case> cases;
  std::mt19937 random(seed);
  const size_t middle = size / 2;
  const size_t somewhere = size > 0 ? random() % size : 0;
  if (!kSanitized) {
    for (size_t length : {size_t{1}, size_t{18}, size_t{65}, size - 1}) {
      if (length > 0 && length < size) cases.push_back({"cut to " + std::to_string(length), Mutation::kTruncate, length});
    }
    // Header fields: a size's high byte, a count's third byte.
    cases.push_back({"bit 7 of byte 13 flipped", Mutation::kFlip, 13, 7});
    cases.push_back({"bit 0 of byte 14 flipped", Mutation::kFlip, 14, 0});
  }
  cases.push_back({"cut to " + std::to_string(middle), Mutation::kTruncate, middle});
  const int bit = static_cast<int>(random() % 8);
  cases.push_back({"bit " + std::to_string(bit) + " of byte " + std::to_string(somewhere) + " flipped",
                   Mutation::kFlip, somewhere, bit});
  cases.push_back({"emptied", Mutation::kEmpty});
  cases.push_back({"enlarged with 1 MiB of garbage", Mutation::kEnlarge});
  cases.push_back({"replaced by a folder", Mutation::kFolder});
  return cases;
}

// Runs every case of one file, two or more at a time; reports each failure.
void RunCases(const std::string& target) {
  ASSERT_TRUE(fs::exists(fs::path(TARQ_DATA_DIR) / target) || target == "system/tarq.ini") << target;
  const uint64_t size = target == "system/tarq.ini" ? std::string(kSettings).size()
                                                    : fs::file_size(fs::path(TARQ_DATA_DIR) / target);
  const std::vector<Case> cases = CasesFor(size, static_cast<uint32_t>(std::hash<std::string>{}(target)));
  testing_util::TempDir scratch;
  std::atomic<size_t> next{0};
  std::mutex lock;
  std::vector<std::string> failures;
  double slowest = 0;
  auto worker = [&] {
    for (size_t i; (i = next++) < cases.size();) {
      const Case& c = cases[i];
      const fs::path data = scratch.path() / std::to_string(i);
      CopyDataFolder(data, target);
      Mutate(data / target, c);
      const Outcome o = RunGame(data);
      const std::string verdict = Verdict(o);
      std::lock_guard<std::mutex> guard(lock);
      slowest = std::max(slowest, o.seconds);
      if (!verdict.empty()) failures.push_back(target + " " + c.name + ": " + verdict + "\n" + o.output);
      fs::remove_all(data);
    }
  };
  const unsigned workers = std::clamp(std::thread::hardware_concurrency(), 2u, 4u);
  std::vector<std::thread> threads;
  for (unsigned w = 0; w < workers; ++w) threads.emplace_back(worker);
  for (std::thread& t : threads) t.join();
  for (const std::string& f : failures) ADD_FAILURE() << f;
  ::testing::Test::RecordProperty("cases", static_cast<int>(cases.size()));
  ::testing::Test::RecordProperty("slowest_ms", static_cast<int>(slowest * 1000));
}

class HostileData : public ::testing::TestWithParam<const char*> {};

TEST_P(HostileData, RunsOrEndsWithAMessage) { RunCases(GetParam()); }

// The files the headless game reads at start-up (sounds and music are only read by a
// real audio device); one tile of each picture kind.
INSTANTIATE_TEST_SUITE_P(StartupFiles, HostileData,
                         ::testing::Values("system/tarq.ini", "system/map.dat", "system/enemies.txt", "system/timesroman.fnt",
                                           "system/stencil.fnt", "system/loading.tga", "system/sprites.pak",
                                           "tiles/tiles.txt", "tiles/sand_0.tga", "tiles/house_0.bmp"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                           std::string name = info.param;
                           for (char& ch : name) {
                             if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
                           }
                           return name;
                         });

// Writes a sprite archive of `count` records, each an image record of four 1024 x 1024
// textures (the largest a record may be), all sharing one deflated payload: together
// they need more memory than the limit allows.
void WriteGreedySprites(const fs::path& path, int count) {
  const Bytes record = tools::BuildRawImageRecord(1024, 1024, 0, 0, 4, std::vector<uint32_t>(4u << 20, 0xFF336699u));
  const Bytes payload = tools::EncodePayload(record, tools::kModeDeflate);
  const uint32_t crc = tools::ArchiveCrc32(record.data(), record.size());
  const uint32_t stored = static_cast<uint32_t>(64 + payload.size());
  Bytes file;
  tools::AppendU32(file, tools::kArchiveSignature);
  tools::AppendF32(file, 1.0f);
  tools::AppendF32(file, 1.0f);
  tools::AppendU32(file, static_cast<uint32_t>(count));
  tools::AppendU32(file, 64);
  file.resize(64 + 64 * static_cast<size_t>(count), 0);
  for (int i = 0; i < count; ++i) {
    const std::string name = "S" + std::to_string(i);
    const size_t block = file.size();
    for (size_t at : {size_t{64} + 64 * static_cast<size_t>(i), block}) {
      if (at == block) file.resize(block + 64, 0);
      file[at] = static_cast<uint8_t>(name.size());
      std::copy(name.begin(), name.end(), file.begin() + static_cast<std::ptrdiff_t>(at + 1));
      tools::PutU32(file, at + 32, tools::kModeDeflate);
      tools::PutU32(file, at + 36, static_cast<uint32_t>(block));
      tools::PutU32(file, at + 40, crc);
      tools::PutU32(file, at + 44, stored);
      tools::PutU32(file, at + 48, static_cast<uint32_t>(record.size()));
    }
    file.insert(file.end(), payload.begin(), payload.end());
  }
  WriteAll(path, file);
}

TEST(HostileDataMemory, RunningOutOfMemoryWhileLoadingEndsWithTheMessage) {
  // Each record is within its bounds, but eighty of them need 1.3 GB of textures:
  // the allocation failure used to abort the program.
  if (kSanitized) GTEST_SKIP() << "no address-space limit under the sanitizers";
  testing_util::TempDir scratch;
  const fs::path data = scratch.path() / "data";
  CopyDataFolder(data, "system/sprites.pak");
  WriteGreedySprites(data / "system/sprites.pak", 80);
  const Outcome o = RunGame(data);
  EXPECT_EQ(Verdict(o), "") << o.output;
  ASSERT_TRUE(WIFEXITED(o.status));
  EXPECT_EQ(WEXITSTATUS(o.status), 1);
  EXPECT_NE(o.output.find("Not enough memory to load the game data."), std::string::npos) << o.output;
}

}  // namespace
}  // namespace tarq

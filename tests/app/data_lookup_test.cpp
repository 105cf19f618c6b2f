// The real program finds its data from anywhere, as built and as installed, and keeps
// the player's files in the XDG folders: copies of the binary in temporary layouts.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "app/command_line.h"
#include "app/config.h"
#include "app/hiscore_file.h"
#include "fixtures.h"
#include "run_program.h"

namespace tarq {
namespace {

namespace fs = std::filesystem;
using testing_util::BuiltProgram;
using testing_util::MakeDataFolder;
using testing_util::ReadFile;
using testing_util::RunShell;
using testing_util::TempDir;
using testing_util::WriteFile;

// A scratch folder in the build tree, so the program can be hard-linked rather than
// copied (a hard link is its own path for /proc/self/exe).
class Layout {
 public:
  Layout() {
    std::string tmpl = std::string(TARQ_BINARY_DIR) + "/tarq-layout-XXXXXX";
    root_ = ::mkdtemp(tmpl.data());
  }
  ~Layout() {
    std::error_code ec;
    fs::remove_all(root_, ec);
  }
  std::string operator/(const std::string& rel) const { return (root_ / rel).string(); }
  // Puts a copy of the program at `rel` and returns its path.
  std::string Program(const std::string& rel) const {
    const fs::path to = root_ / rel;
    fs::create_directories(to.parent_path());
    std::error_code ec;
    fs::create_hard_link(BuiltProgram(), to, ec);
    if (ec) fs::copy_file(BuiltProgram(), to);
    return to.string();
  }
  void LinkData(const std::string& rel) const {
    fs::create_directories((root_ / rel).parent_path());
    fs::create_directory_symlink(TARQ_DATA_DIR, root_ / rel);
  }

 private:
  fs::path root_;
};

// The environment of every run: no TARQ_DATA, the player's folders in the scratch
// folder, no display.
std::string Env(const Layout& l) {
  return "env -u TARQ_DATA XDG_CONFIG_HOME=" + (l / "home/config") + " XDG_DATA_HOME=" + (l / "home/share") +
         " HOME=" + (l / "home") + " SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy ASAN_OPTIONS=detect_leaks=0 ";
}

TEST(DataLookup, InstalledAndBuildTreeLayoutsWorkFromAnotherFolder) {
  Layout l;
  fs::create_directories(l / "elsewhere");
  const std::string cd = "cd " + (l / "elsewhere") + " && " + Env(l);
  std::string out;
  // Installed: prefix/bin/tarq with prefix/share/tarq.
  const std::string installed = l.Program("prefix/bin/tarq");
  l.LinkData("prefix/share/tarq");
  EXPECT_EQ(RunShell(cd + installed + " --headless --ticks 3", &out), 0) << out;
  // Build tree: the program with data/ beside it.
  const std::string built = l.Program("build/tarq");
  l.LinkData("build/data");
  EXPECT_EQ(RunShell(cd + built + " --headless --ticks 3", &out), 0) << out;
  // Neither: the current folder when it holds the data, else an error naming the
  // folders tried.
  const std::string alone = l.Program("alone/tarq");
  EXPECT_EQ(RunShell("cd " + std::string(TARQ_DATA_DIR) + " && " + Env(l) + alone + " --headless --ticks 3", &out), 0)
      << out;
  EXPECT_EQ(RunShell(cd + alone + " --headless --ticks 3", &out), 1) << out;
  for (const char* tried : {"alone/data", "share/tarq", "elsewhere"}) {
    EXPECT_NE(out.find(tried), std::string::npos) << out;
  }
  // The window names them too, before opening anything.
  EXPECT_EQ(RunShell(cd + alone, &out), 1) << out;
  EXPECT_NE(out.find("elsewhere"), std::string::npos) << out;
  // TARQ_DATA and --data are obeyed, and --data wins.
  TempDir fixture;
  MakeDataFolder(fixture);
  EXPECT_EQ(RunShell(cd + "TARQ_DATA=" + fixture.path().string() + " " + alone + " --headless --ticks 3", &out), 0)
      << out;
  EXPECT_EQ(RunShell(cd + "TARQ_DATA=/no/such/folder " + alone + " --headless --ticks 3 --data " +
                         fixture.path().string(),
                     &out),
            0)
      << out;
  EXPECT_EQ(RunShell(cd + "TARQ_DATA=/no/such/folder " + alone + " --headless --ticks 3", &out), 1) << out;
  EXPECT_NE(out.find("/no/such/folder"), std::string::npos) << out;
  // A headless run touches no player file.
  EXPECT_FALSE(fs::exists(l / "home"));
}

TEST(DataLookup, AReadOnlyDataFolderWorksAndOldFilesMoveToXdg) {
  Layout l;
  TempDir data;
  MakeDataFolder(data, "[graphics]\nshowoptions=false\nfullscreen=false\n[keep]\nthis=yes\n");
  const std::string oldScores = std::string("\x01\x02\xff\x00\x7f", 5);
  WriteFile(data / "system/hiscores.dat", oldScores);
  // Read-only throughout (root ignores the bits, so the test also compares contents).
  for (const auto& e : fs::recursive_directory_iterator(data.path())) {
    ::chmod(e.path().c_str(), e.is_directory() ? 0555 : 0444);
  }
  ::chmod(data.path().c_str(), 0555);
  auto listing = [&] {
    std::string text;
    for (const auto& e : fs::recursive_directory_iterator(data.path())) {
      text += e.path().string() + "\n";
      if (e.is_regular_file()) text += ReadFile(e.path().string()) + "\n";
    }
    return text;
  };
  const std::string before = listing();
  std::string out;
  ASSERT_EQ(RunShell(Env(l) + BuiltProgram() + " --data " + data.path().string() + " --quit-after-ticks 20", &out), 0)
      << out;
  EXPECT_EQ(listing(), before);
  // The settings moved over once (every section kept) and were written back on close.
  IniFile ini;
  ASSERT_TRUE(ini.Load(l / "home/config/tarq/tarq.ini"));
  EXPECT_EQ(ini.ReadString("keep", "this", ""), "yes");
  EXPECT_EQ(ini.ReadString("graphics", "showoptions", ""), "false");
  EXPECT_EQ(ini.ReadString("sound", "soundvolume", ""), "100");
  EXPECT_EQ(ReadFile(l / "home/share/tarq/hiscores.dat"), oldScores);

  // The next start reads the XDG file, not the old one.
  WriteFile(l / "home/config/tarq/tarq.ini", "[graphics]\nshowoptions=false\nfullscreen=false\n[sound]\nmusicvolume=3\n");
  ASSERT_EQ(RunShell(Env(l) + BuiltProgram() + " --data " + data.path().string() + " --quit-after-ticks 5", &out), 0)
      << out;
  ASSERT_TRUE(ini.Load(l / "home/config/tarq/tarq.ini"));
  EXPECT_EQ(ini.ReadString("sound", "musicvolume", ""), "3");
  EXPECT_EQ(ini.ReadString("keep", "this", "gone"), "gone");
  for (const auto& e : fs::recursive_directory_iterator(data.path())) ::chmod(e.path().c_str(), 0755);
  ::chmod(data.path().c_str(), 0755);
}

TEST(DataLookup, HeadlessReadsOnlyThePlayerFilesItIsGiven) {
  Layout l;
  TempDir data;
  MakeDataFolder(data, "[sound]\nsoundvolume=40\n");
  WriteFile(l / "mine.ini", "[sound]\nsoundvolume=25\n");
  const std::string run = Env(l) + BuiltProgram() + " --headless --ticks 1 --data " + data.path().string() + " --dump " +
                          (l / "d.jsonl");
  std::string out;
  // The data folder's old settings file is not the player's file of a headless run.
  ASSERT_EQ(RunShell(run, &out), 0) << out;
  EXPECT_NE(ReadFile(l / "d.jsonl").find("\"SoundVolume\":100,"), std::string::npos);
  EXPECT_NE(ReadFile(l / "d.jsonl").find("OSWALD KETTERIN"), std::string::npos);  // the default table
  ASSERT_EQ(RunShell("cd " + (l / "") + " && " + run + " --config mine.ini", &out), 0) << out;
  EXPECT_NE(ReadFile(l / "d.jsonl").find("\"SoundVolume\":25,"), std::string::npos);
  // --scores names the table to read (and to save after a name is entered).
  HiScoreTable table = DefaultHiScores();
  table[6] = HiScoreEntry{900000, "LINUX PILOT"};
  ASSERT_TRUE(SaveHiScores(l / "scores.dat", table));
  const std::string saved = ReadFile(l / "scores.dat");
  ASSERT_EQ(RunShell("cd " + (l / "") + " && " + run + " --scores scores.dat", &out), 0) << out;
  EXPECT_NE(ReadFile(l / "d.jsonl").find("{\"Score\":900000,\"Name\":\"LINUX PILOT\"}"), std::string::npos);
  EXPECT_EQ(ReadFile(l / "scores.dat"), saved);
  EXPECT_FALSE(fs::exists(l / "home"));
}

TEST(CommandLine, HelpVersionAndUnknownOptions) {
  std::string out;
  EXPECT_EQ(RunShell(BuiltProgram() + " --help", &out), 0);
  for (const char* option : {"--data", "--quit-after-ticks", "--headless", "--help", "--version", "--ticks",
                             "--seed", "--input", "--dump", "--dump-every", "--screenshot", "--config", "--scores"}) {
    EXPECT_NE(out.find(std::string(option) + " "), std::string::npos) << option;
  }
  std::string headlessHelp;
  EXPECT_EQ(RunShell(BuiltProgram() + " --headless --help", &headlessHelp), 0);
  EXPECT_EQ(headlessHelp, out);
  EXPECT_EQ(RunShell(BuiltProgram() + " --version", &out), 0);
  EXPECT_EQ(out.rfind("tarq ", 0), 0u) << out;
  EXPECT_EQ(RunShell(BuiltProgram() + " --fullscreen", &out), 2);
  EXPECT_NE(out.find("unknown option \"--fullscreen\""), std::string::npos) << out;
  EXPECT_NE(out.find("--help"), std::string::npos) << out;
  EXPECT_EQ(RunShell(BuiltProgram() + " --data", &out), 2);
  EXPECT_EQ(RunShell(BuiltProgram() + " --quit-after-ticks 0", &out), 2);
  EXPECT_EQ(RunShell(BuiltProgram() + " --headless --ticks 3 --frobnicate", &out), 2);
  EXPECT_NE(out.find("--start-section"), std::string::npos) << "the usage names section practice";
  for (const char* bad : {"0", "13", "two", "3x", "-1", "99999999999"}) {
    EXPECT_EQ(RunShell(BuiltProgram() + " --start-section " + bad, &out), 2) << bad;
    EXPECT_NE(out.find("--start-section needs a section number from 1 to 12, not \"" + std::string(bad) + "\""),
              std::string::npos)
        << out;
  }
  EXPECT_EQ(RunShell(BuiltProgram() + " --start-section", &out), 2);
  EXPECT_NE(out.find("--start-section needs a value"), std::string::npos) << out;
}

TEST(CommandLine, StartSectionTakesEverySectionOfTheLevel) {
  for (int32_t n = 1; n <= kLevelSectionCount; ++n) {
    WindowOptions o;
    std::string error;
    ASSERT_TRUE(ParseWindowArgs({"--start-section", std::to_string(n), "--data", "d"}, o, error)) << error;
    EXPECT_EQ(o.StartSection, n);
    EXPECT_EQ(o.DataDir, "d");
  }
  WindowOptions o;
  std::string error;
  ASSERT_TRUE(ParseWindowArgs({}, o, error));
  EXPECT_EQ(o.StartSection, 1) << "without the option a run starts at the level's start";
}

}  // namespace
}  // namespace tarq

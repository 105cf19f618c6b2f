// The headless runner's command line and input scripts, and runs of the real binary:
// headless, and the real window path under SDL's offscreen driver.
#include "app/headless.h"
#include "app/config.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <sstream>

#include "fixtures.h"

namespace tarq {
namespace {

using testing_util::MakeDataFolder;
using testing_util::ReadFile;
using testing_util::TempDir;
using testing_util::WriteFile;

TEST(HeadlessArgs, AcceptsTheFullCommandLine) {
  HeadlessOptions o;
  std::string error;
  ASSERT_TRUE(ParseHeadlessArgs({"--headless", "--ticks", "700", "--seed", "42", "--input", "in.txt", "--dump",
                                 "d.jsonl", "--dump-every", "5", "--screenshot", "10:a.png", "20:b.png",
                                 "--screenshot", "0:c.png", "--data", "build/data"},
                                o, error))
      << error;
  EXPECT_EQ(o.Ticks, 700);
  EXPECT_TRUE(o.SeedGiven);
  EXPECT_EQ(o.Seed, 42u);
  EXPECT_EQ(o.InputScript, "in.txt");
  EXPECT_EQ(o.DumpFile, "d.jsonl");
  EXPECT_EQ(o.DumpEvery, 5);
  ASSERT_EQ(o.Screenshots.size(), 3u);
  EXPECT_EQ(o.Screenshots[1], (std::pair<int64_t, std::string>{20, "b.png"}));
  EXPECT_EQ(o.Screenshots[2].first, 0);
  EXPECT_EQ(o.DataDir, "build/data");
}

TEST(HeadlessArgs, RejectsBadCommandLines) {
  const std::vector<std::vector<std::string>> bad = {
      {"--headless"},                                   // --ticks is required
      {"--headless", "--ticks"},                        // missing value
      {"--headless", "--ticks", "-1"},
      {"--headless", "--ticks", "12x"},
      {"--headless", "--ticks", "5", "--seed", "-3"},
      {"--headless", "--ticks", "5", "--dump-every", "0"},
      {"--headless", "--ticks", "5", "--screenshot", "a.png"},
      {"--headless", "--ticks", "5", "--screenshot", "5:"},
      {"--headless", "--ticks", "5", "--screenshot", "-5:x.png"},
      {"--headless", "--ticks", "5", "--fast"},
      {"--ticks", "5"},
  };
  for (const auto& args : bad) {
    HeadlessOptions o;
    std::string error;
    EXPECT_FALSE(ParseHeadlessArgs(args, o, error)) << args.back();
    EXPECT_FALSE(error.empty());
  }
}

TEST(InputScript, ParsesHoldsTypingAndWindowKeys) {
  std::vector<ScriptEvent> ev;
  std::string error;
  ASSERT_TRUE(ParseInputScript("# a comment\n"
                               "700 KB1E KBC8   # fire and up\n"
                               "0 KB1E\r\n"
                               "\n"
                               "10\n"
                               "20 type Hi #1\n"
                               "30 key Escape\n"
                               "31 key AltEnter\n"
                               "32 key Backspace\n"
                               "33 key Enter\n"
                               "40 J0B0 J1X-",
                               ev, error))
      << error;
  ASSERT_EQ(ev.size(), 13u);
  EXPECT_EQ(ev[0].Tick, 0);
  EXPECT_EQ(ev[0].Codes, std::vector<std::string>{"KB1E"});
  EXPECT_EQ(ev[1].Tick, 10);
  EXPECT_TRUE(ev[1].Codes.empty());
  // "type" types its text one character per tick, '#' included.
  const std::string typed = "Hi #1";
  for (size_t i = 0; i < typed.size(); ++i) {
    EXPECT_EQ(ev[2 + i].Type, ScriptEvent::Kind::Type);
    EXPECT_EQ(ev[2 + i].Tick, 20 + static_cast<int64_t>(i));
    EXPECT_EQ(ev[2 + i].Character, typed[i]);
  }
  EXPECT_EQ(ev[7].Type, ScriptEvent::Kind::Escape);
  EXPECT_EQ(ev[8].Type, ScriptEvent::Kind::AltEnter);
  EXPECT_EQ(ev[9].Character, 8);
  EXPECT_EQ(ev[10].Character, 13);
  EXPECT_EQ(ev[10].Tick, 33);
  EXPECT_EQ(ev[11].Tick, 40);
  EXPECT_EQ(ev[11].Codes, (std::vector<std::string>{"J0B0", "J1X-"}));
  EXPECT_EQ(ev.back().Tick, 700);  // sorted by tick: 700 came first in the file
}

TEST(InputScript, RejectsBrokenLinesWithTheirNumber) {
  for (const char* bad : {"x KB1E", "-1 KB1E", "5 KB1", "5 KB1EX", "5 QQQQ", "5 key", "5 key Space",
                          "5 type", "1\n2 KB1E\n3 nope"}) {
    std::vector<ScriptEvent> ev;
    std::string error;
    EXPECT_FALSE(ParseInputScript(bad, ev, error)) << bad;
    EXPECT_NE(error.find("line "), std::string::npos) << error;
  }
}

// ---- Runs of the real program ----------------------------------------------------------

std::string Binary() { return std::string(TARQ_BINARY_DIR) + "/tarq"; }

// Runs a shell command; returns its exit status and standard output.
int RunCommand(const std::string& command, std::string* out = nullptr) {
  FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
  if (!pipe) return -1;
  std::string text;
  char buf[4096];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, pipe)) > 0) text.append(buf, n);
  const int status = ::pclose(pipe);
  if (out) *out = text;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

TEST(HeadlessRun, IntroTurnsToTitleOnTick613) {
  TempDir dir;
  MakeDataFolder(dir);
  const std::string dump = dir / "dump.jsonl";
  const std::string shot = dir / "shot.png";
  std::string out;
  ASSERT_EQ(RunCommand(Binary() + " --headless --ticks 700 --seed 1 --data " + dir.path().string() + " --dump " + dump +
                    " --screenshot 613:" + shot,
                &out),
            0)
      << out;
  const auto lines = Lines(ReadFile(dump));
  ASSERT_EQ(lines.size(), 700u);
  for (size_t i = 0; i < lines.size(); ++i) {
    const int64_t tick = static_cast<int64_t>(i) + 1;
    ASSERT_NE(lines[i].find("{\"TickCount\":" + std::to_string(tick) + ","), std::string::npos) << lines[i];
    const char* screen = tick < 613 ? "\"ScreenState\":7," : "\"ScreenState\":0,";
    ASSERT_NE(lines[i].find(screen), std::string::npos) << lines[i];
  }
  EXPECT_NE(lines[611].find("\"ScreenTicks\":612,"), std::string::npos);
  EXPECT_NE(lines[612].find("\"ScreenTicks\":0,"), std::string::npos);
  EXPECT_EQ(ReadFile(shot).substr(1, 3), "PNG");
}

TEST(HeadlessRun, ScriptDrivesInputAndDumpEveryThins) {
  TempDir dir;
  MakeDataFolder(dir);
  WriteFile(dir / "in.txt", "0 KB1E\n3\n4 type ab\n6 key Escape\n");
  const std::string dump = dir / "d.jsonl";
  std::string out;
  ASSERT_EQ(RunCommand("cd " + dir.path().string() + " && " + Binary() +
                    " --headless --ticks 8 --input in.txt --dump d.jsonl --dump-every 2 --data .",
                &out),
            0)
      << out;
  const auto lines = Lines(ReadFile(dump));
  ASSERT_EQ(lines.size(), 4u);  // ticks 2, 4, 6, 8
  // Tick 1 and 2 ran with A (player 2's Fire) held; the hold ends before tick 4.
  EXPECT_NE(lines[0].find("\"FireHeld\":1"), std::string::npos) << lines[0];
  EXPECT_EQ(lines[1].find("\"FireHeld\":1"), std::string::npos) << lines[1];
  EXPECT_NE(lines[2].find("\"TypedKey\":66"), std::string::npos) << lines[2];  // 'b' upper-cased
  EXPECT_NE(lines[3].find("\"InGameMenuOpen\":true,\"Paused\":true"), std::string::npos) << lines[3];
}

TEST(HeadlessRun, TheScriptFeedsTheKeyRedefinitionPrompt) {
  TempDir dir;
  MakeDataFolder(dir);
  // Title (tick 613 on): OPTIONS, then CONTROL OPTIONS (list shown from tick 631).
  const std::string toControls =
      "620 KBD0\n621\n622 KB1E\n623\n"
      "624 KBD0\n625\n626 KBD0\n627\n628 KBD0\n629\n630 KB1E\n631\n";
  auto run = [&](const std::string& script) {
    WriteFile(dir / "in.txt", toControls + script);
    std::string out;
    EXPECT_EQ(RunCommand("cd " + dir.path().string() + " && " + Binary() +
                             " --headless --ticks 660 --input in.txt --dump d.jsonl",
                         &out),
              0)
        << out;
    return Lines(ReadFile(dir / "d.jsonl"));
  };
  // Enter on PLAYER 1 UP: the prompt opens during tick 633; X is pressed and released
  // while it waits. Then Enter on PLAYER 1 DOWN with Z held by the script's last line:
  // still captured, then the prompt gives up waiting for the release.
  auto lines = run("632 KB1C\n636 KB2D\n640\n650 KBD0\n651\n652 KB1C\n653 KB2C\n");
  ASSERT_EQ(lines.size(), 660u) << "the prompt holds no tick back";
  EXPECT_NE(lines[631].find("\"ScreenState\":2,"), std::string::npos) << lines[631];
  EXPECT_EQ(lines[631].find("KB2D"), std::string::npos);
  EXPECT_NE(lines[632].find("\"ControlBindings\":[[\"J0Y-KB2D\",\"J0Y+\","), std::string::npos)
      << lines[632];
  EXPECT_NE(lines[659].find("\"ControlBindings\":[[\"J0Y-KB2D\",\"J0Y+KB2C\",\"J0X-\""),
            std::string::npos)
      << lines[659];
  // Enter held on the last line: nothing can be pressed any more, so every prompt gives up
  // at once, the binding unchanged and the ticks going on.
  lines = run("632 KB1C\n");
  ASSERT_EQ(lines.size(), 660u);
  EXPECT_NE(lines[659].find("\"ControlBindings\":[[\"J0Y-\",\"J0Y+\","), std::string::npos)
      << lines[659];
  EXPECT_NE(lines[659].find("\"ScreenState\":2,"), std::string::npos) << lines[659];
}

TEST(HeadlessRun, ErrorsEndCleanlyWithTheirExitCodes) {
  TempDir dir;
  std::string out;
  // No map: a start-up error, reported, exit 1.
  EXPECT_EQ(RunCommand(Binary() + " --headless --ticks 5 --data " + dir.path().string(), &out), 1);
  EXPECT_NE(out.find("map.dat"), std::string::npos) << out;
  MakeDataFolder(dir);
  WriteFile(dir / "bad.txt", "0 NOPE\n");
  EXPECT_EQ(RunCommand(Binary() + " --headless --ticks 5 --input " + (dir / "bad.txt"), &out), 2);
  EXPECT_NE(out.find("line 1"), std::string::npos) << out;
  EXPECT_EQ(RunCommand(Binary() + " --headless --ticks", &out), 2);
  EXPECT_EQ(RunCommand(Binary() + " --headless --ticks 3 --data " + (dir / "missing"), &out), 1);
  // A screenshot after the end of the run cannot be taken: reported, not ignored.
  EXPECT_EQ(RunCommand(Binary() + " --headless --ticks 3 --data " + dir.path().string() + " --screenshot 9:" +
                    (dir / "late.png"),
                &out),
            1);
  EXPECT_EQ(RunCommand(Binary() + " --bogus", &out), 2);
}

// The real window path: SDL's offscreen video driver and the dummy audio driver, the
// dialog switched off. The program walks from the intro to the title and closes.
// Leak checking is off for these children only: the system's GL and video drivers,
// loaded and unloaded by SDL at run time, leave allocations that LeakSanitizer cannot
// even name. The headless runs above keep it on for all of our own code.
const char* const kWindowEnv = "SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy ASAN_OPTIONS=detect_leaks=0 ";
// The player's settings go to the XDG folder: here one in the test's own folder.
std::string PlayerFolders(const TempDir& dir) {
  return "XDG_CONFIG_HOME=" + (dir / "config") + " XDG_DATA_HOME=" + (dir / "share") + " ";
}
TEST(SmokeTest, RealWindowReachesTheTitleAndClosesCleanly) {
  TempDir dir;
  MakeDataFolder(dir, "[graphics]\nshowoptions=false\nfullscreen=false\n[keep]\nthis=yes\n");
  std::string out;
  const int status = RunCommand("cd " + dir.path().string() + " && " + kWindowEnv + PlayerFolders(dir) +
                             Binary() + " --data . --quit-after-ticks 640",
                         &out);
  ASSERT_EQ(status, 0) << out;
  EXPECT_NE(out.find("screen=0"), std::string::npos) << out;
  EXPECT_NE(out.find("ticks=64"), std::string::npos) << out;
  // The close wrote the settings and kept the rest of the file.
  IniFile ini;
  ASSERT_TRUE(ini.Load(dir / "config/tarq/tarq.ini"));
  EXPECT_EQ(ini.ReadString("sound", "soundvolume", ""), "100");
  EXPECT_EQ(ini.ReadString("keep", "this", ""), "yes");
  EXPECT_EQ(ini.ReadString("graphics", "showoptions", ""), "false");
}

TEST(SmokeTest, MissingDataShowsAnErrorAndExitsWithoutCrashing) {
  TempDir dir;
  WriteFile(dir / "system/tarq.ini", "[graphics]\nshowoptions=false\nfullscreen=false\n");
  std::string out;
  const int status = RunCommand("cd " + dir.path().string() + " && " + kWindowEnv + PlayerFolders(dir) +
                             Binary() + " --data .",
                         &out);
  EXPECT_EQ(status, 1) << out;
  EXPECT_NE(out.find("map.dat"), std::string::npos) << out;
}

}  // namespace
}  // namespace tarq

// Replays: the text format and its reader, recording and verifying runs of the real
// program, divergence and mismatch reports, and the pruning of old files.
#include "app/replay.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <regex>

#include "app/command_line.h"
#include "app/headless.h"
#include "app/main_window.h"
#include "app/replay_run.h"
#include "game/game.h"
#include "render/frame.h"
#include "run_program.h"
#include "test_util.h"

namespace tarq {
namespace {

namespace fs = std::filesystem;
using testing_util::BuiltProgram;
using testing_util::ReadFile;
using testing_util::RunShell;
using testing_util::TempDir;
using testing_util::WriteFile;

Replay SampleReplay() {
  Replay r;
  r.ProgramVersion = "tarq 9.9";
  r.DataChecksum = 0xDEADBEEF;
  r.Seed = 18446744073709551615ull;
  r.StartSection = 3;
  r.Invulnerable = true;
  r.FullScreen = true;
  r.ShowOptionsAtStart = false;
  r.SoundVolume = 40;
  r.MusicVolume = 0;
  r.Bindings[0][4] = "";             // a cleared binding
  r.Bindings[1][0] = "KB%1 X\xC8";   // whatever an edited settings file holds
  r.HiScores[2] = {12345, "BOB SMITH"};
  r.HiScores[6] = {-1, ""};
  r.RunStart = 620;
  r.End = 9001;
  auto ev = [](int64_t tick, ReplayEvent::Kind kind, int32_t value = 0, std::string codes = "", int32_t read = 0) {
    ReplayEvent e;
    e.Tick = tick;
    e.Type = kind;
    e.Value = value;
    e.Codes = std::move(codes);
    e.Read = read;
    return e;
  };
  using K = ReplayEvent::Kind;
  r.Events = {ev(0, K::Hold, 0, "KB1E"),       ev(2, K::Hold),
              ev(620, K::Pass, 3),             ev(620, K::Hold, 0, "J0B0J0X-KBC8"),
              ev(700, K::Type, 'A'),           ev(700, K::Type, ' '),
              ev(700, K::Type, 13),            ev(701, K::Type, 8),
              ev(702, K::Key, static_cast<int32_t>(ReplayKey::Escape)),
              ev(703, K::Key, static_cast<int32_t>(ReplayKey::AltEnter)),
              ev(800, K::Hold, 0, "KB1C"),     ev(800, K::Hold, 0, "", 7),
              ev(800, K::Hold, 0, "JFB3", 12), ev(4500, K::Hold, 0, "KB2D")};
  r.Checkpoints = {{4500, {{"TickCount", 0x01234567}, {"Players", 0x89abcdef}}},
                   {9001, {{"TickCount", 0xfedcba98}}}};
  return r;
}

TEST(ReplayFormat, EveryPartSurvivesTheRoundTrip) {
  const Replay r = SampleReplay();
  const std::string text = WriteReplayText(r);
  Replay back;
  std::string error;
  ASSERT_TRUE(ParseReplay(text, back, error)) << error << "\n" << text;
  EXPECT_EQ(back, r);
  EXPECT_EQ(WriteReplayText(back), text);
  // Close to the input script: holds, typing and keys read as its lines do.
  EXPECT_NE(text.find("\n620 J0B0 J0X- KBC8\n"), std::string::npos) << text;
  EXPECT_NE(text.find("\n700 type A\n700 key Space\n700 key Enter\n701 key Backspace\n702 key Escape\n"),
            std::string::npos);
  EXPECT_NE(text.find("\n800:7\n800:12 JFB3\n"), std::string::npos);
  // The checkpoint of tick 4500 (the state after it) comes before the holds of tick 4500.
  EXPECT_NE(text.find("4500 check TickCount=01234567 Players=89abcdef\n4500 KB2D\n"), std::string::npos);
  EXPECT_EQ(text.substr(text.size() - 9), "end 9001\n");
}

TEST(ReplayFormat, DamagedFilesAreRefusedWithTheLineAndTheReason) {
  const std::string good = WriteReplayText(SampleReplay());
  // Cut anywhere, the file is refused: the end line and its newline come last.
  for (size_t n = 0; n < good.size(); ++n) {
    Replay r;
    std::string error;
    ASSERT_FALSE(ParseReplay(std::string_view(good).substr(0, n), r, error)) << "cut at " << n;
    ASSERT_FALSE(error.empty());
  }
  struct Case {
    std::string text;
    std::string message;
  };
  const std::string head = "TARQ REPLAY 1\nprogram tarq\ndata 00000000\nseed 1\n";
  const std::vector<Case> cases = {
      {"", "empty"},
      {"\x7f" "ELF\x02\x01\x01", "line 1: not a replay"},
      {"TARQ REPLAY 2\n", "line 1: format version 2; this program reads version 1"},
      {head + "5 KB1E\n3 KB1F\nend 9\n", "line 6: tick 3 comes after tick 5"},
      {head + "5 KB1\nend 9\n", "line 5: \"KB1\" is not a four-character control code"},
      {head + "5 QQQQ\nend 9\n", "line 5: cannot hold control code \"QQQQ\""},
      {head + "5 pass 9\nend 9\n", "line 5: pass takes a tick count from 2 to 8"},
      {head + "5 pass 3\n6 pass 2\nend 9\n", "line 6: this pass starts inside the previous one"},
      {head + "5 key Tab\nend 9\n", "line 5: unknown key \"Tab\""},
      {head + "5 type ab\nend 9\n", "line 5: type takes one character"},
      {head + "5 check Players=123\nend 9\n", "line 5: bad checkpoint field"},
      {head + "5 KB1E\nseed 2\nend 9\n", "line 6: \"seed\" belongs before the first event"},
      {head + "5 KB1E\nend 4\n", "line 6: end needs the last tick"},
      {head + "end 9\n5 KB1E\n", "line 6: text after the end line"},
      {head + "5 KB1E\n", "line 6: the file is cut short (no end line)"},
      {"TARQ REPLAY 1\nend 9\n", "the header lacks its program, data or seed line"},
      {head + "hiscore 7 5 X\nend 9\n", "line 5: hiscore needs an entry"},
      {head + "binding 0 0 %G1\nend 9\n", "line 5: bad binding codes"},
      {head + "frobnicate 1\nend 9\n", "line 5: unknown line \"frobnicate\""},
      {head + "99999999999999999999 KB1E\nend 9\n", "line 5: bad tick"},
      {head + "5 KB1E\nend 27000001\n", "line 6: end needs the last tick (at least 5, at most 27000000)"},
      {std::string(kMaxReplayBytes + 1, '1'), "larger than 64 MiB"},
  };
  for (const Case& c : cases) {
    Replay r;
    std::string error;
    EXPECT_FALSE(ParseReplay(c.text, r, error)) << c.message;
    EXPECT_NE(error.find(c.message), std::string::npos) << "got: " << error << "\nwanted: " << c.message;
  }
}

TEST(ReplayFormat, AHugeOrMissingFileIsAnErrorNamingIt) {
  TempDir dir;
  const std::string huge = dir / "huge.tqr";
  {
    std::ofstream out(huge, std::ios::binary);
    out << "TARQ REPLAY 1\n";
  }
  fs::resize_file(huge, (kMaxReplayBytes + 1));  // sparse: no disk taken
  Replay r;
  std::string error;
  EXPECT_FALSE(LoadReplayFile(huge, r, error));
  EXPECT_NE(error.find("huge.tqr"), std::string::npos) << error;
  EXPECT_NE(error.find("larger than"), std::string::npos) << error;
  EXPECT_FALSE(LoadReplayFile(dir / "none.tqr", r, error));
  EXPECT_NE(error.find("none.tqr"), std::string::npos) << error;
  WriteFile(dir / "bad.tqr", "TARQ REPLAY 1\nprogram x\nwhat\n");
  EXPECT_FALSE(LoadReplayFile(dir / "bad.tqr", r, error));
  EXPECT_NE(error.find("bad.tqr, line 3"), std::string::npos) << error;
}

TEST(ReplayFiles, OnlyTheNewestHundredDatedReplaysAreKept) {
  TempDir dir;
  const std::string folder = dir / "tarq/replays";
  fs::create_directories(folder);
  // 105 dated files over several seconds, some sharing a second (-2, -3 ...).
  std::vector<std::string> names;
  for (int i = 0; i < 105; ++i) {
    char name[64];
    const int second = i / 3;
    const int n = i % 3;
    if (n == 0) {
      std::snprintf(name, sizeof name, "20260101-1200%02d.tqr", second);
    } else {
      std::snprintf(name, sizeof name, "20260101-1200%02d-%d.tqr", second, n + 1);
    }
    names.push_back(name);
    WriteFile(folder + "/" + name, "x");
  }
  WriteFile(folder + "/last.tqr", "x");
  WriteFile(folder + "/my-best-run.tqr", "x");
  PruneReplays(folder, 100);
  for (size_t i = 0; i < names.size(); ++i) {
    EXPECT_EQ(fs::exists(folder + "/" + names[i]), i >= 5) << names[i];
  }
  EXPECT_TRUE(fs::exists(folder + "/last.tqr"));
  EXPECT_TRUE(fs::exists(folder + "/my-best-run.tqr"));

  // Saving a run adds a dated file and last.tqr, and prunes to the limit.
  std::string error;
  ASSERT_TRUE(SaveRunReplay(folder, SampleReplay(), error, 100)) << error;
  EXPECT_FALSE(fs::exists(folder + "/" + names[5]));
  size_t dated = 0;
  for (const auto& e : fs::directory_iterator(folder)) {
    const std::string n = e.path().filename().string();
    if (n != "last.tqr" && n != "my-best-run.tqr") ++dated;
  }
  EXPECT_EQ(dated, 100u);
  Replay back;
  ASSERT_TRUE(LoadReplayFile(folder + "/last.tqr", back, error)) << error;
  EXPECT_EQ(back, SampleReplay());
}

TEST(ReplayFiles, TheDataChecksumCoversNamesAndContentsButNotThePlayersFiles) {
  TempDir dir;
  WriteFile(dir / "system/a.dat", "one");
  WriteFile(dir / "tiles/b.dat", "two");
  const uint32_t base = DataFolderChecksum(dir.path().string());
  WriteFile(dir / "system/tarq.ini", "[x]\n");
  WriteFile(dir / "system/hiscores.dat", "scores");
  EXPECT_EQ(DataFolderChecksum(dir.path().string()), base);
  WriteFile(dir / "tiles/b.dat", "tw0");
  EXPECT_NE(DataFolderChecksum(dir.path().string()), base);
  WriteFile(dir / "tiles/b.dat", "two");
  fs::rename(dir / "tiles/b.dat", dir / "tiles/c.dat");
  EXPECT_NE(DataFolderChecksum(dir.path().string()), base);
}

TEST(ReplayRecording, ARunLastsFromTheTickThatStartsPlayUntilTheTitleAndHoldsAreChangesOnly) {
  Game game;
  TInputDevices input;
  auto owned = std::make_unique<ScriptedInputSource>();
  ScriptedInputSource& source = *owned;
  input.DoJoystick = true;
  input.SetSource(std::move(owned));
  ASSERT_EQ(input.Initialize(), 0);
  ReplayRecorder recorder(game, 5, 0, "test");
  input.Observer = &recorder;
  game.ScreenState = kScreenTitle;
  auto tick = [&](int32_t screen) {
    recorder.Render();
    game.TickCount += 1;
    input.Update();
    game.ScreenState = screen;
    recorder.AfterTick();
  };
  source.Hold("J0B0");
  tick(kScreenTitle);
  source.Keys[0x1E] = 0x01;  // a bit other than "down" changing is no input change
  tick(kScreenPlaying);      // Fire on the title started the run in tick 1 -> 2
  EXPECT_TRUE(recorder.InRun());
  EXPECT_EQ(recorder.Recording().RunStart, 1);
  tick(kScreenNameEntry);  // game over: the end screens still belong to the run
  EXPECT_TRUE(recorder.InRun());
  source.ReleaseAll();
  tick(kScreenScores);
  EXPECT_FALSE(recorder.TakeRunEnded());
  tick(kScreenTitle);
  EXPECT_FALSE(recorder.InRun());
  EXPECT_TRUE(recorder.TakeRunEnded());
  EXPECT_FALSE(recorder.TakeRunEnded());
  const Replay r = recorder.Finish();
  ASSERT_EQ(r.Events.size(), 2u);
  EXPECT_EQ(r.Events[0].Tick, 0);
  EXPECT_EQ(r.Events[0].Codes, "J0B0");
  EXPECT_EQ(r.Events[1].Tick, 3);
  EXPECT_EQ(r.Events[1].Codes, "");
  EXPECT_EQ(r.End, 5);
  ASSERT_EQ(r.Checkpoints.size(), 1u);
  EXPECT_EQ(r.Checkpoints[0].Tick, 5);
  EXPECT_EQ(r.Checkpoints[0].Fields.front().first, "TickCount");
  EXPECT_EQ(FirstDifferingField(r.Checkpoints[0], StateCheckpoint(game)), "");
  game.Players[1].Score += 10;
  EXPECT_EQ(FirstDifferingField(r.Checkpoints[0], StateCheckpoint(game)), "Players");
}

TEST(ReplayArgs, AReplayBringsItsOwnRunAndVerifyNeedsOne) {
  HeadlessOptions o;
  std::string error;
  ASSERT_TRUE(ParseHeadlessArgs({"--headless", "--replay", "r.tqr", "--verify", "--dump", "d.jsonl"}, o, error))
      << error;
  EXPECT_EQ(o.ReplayFile, "r.tqr");
  EXPECT_TRUE(o.Verify);
  HeadlessOptions rec;
  ASSERT_TRUE(ParseHeadlessArgs({"--headless", "--ticks", "9", "--bot", "--record", "r.tqr"}, rec, error)) << error;
  EXPECT_EQ(rec.RecordFile, "r.tqr");
  for (const std::vector<std::string>& bad : std::vector<std::vector<std::string>>{
           {"--headless", "--replay", "r.tqr", "--ticks", "5"},
           {"--headless", "--replay", "r.tqr", "--bot"},
           {"--headless", "--replay", "r.tqr", "--record", "s.tqr"},
           {"--headless", "--replay", "r.tqr", "--scores", "h.dat"},
           {"--headless", "--ticks", "5", "--verify"},
           {"--headless", "--replay"}}) {
    HeadlessOptions b;
    EXPECT_FALSE(ParseHeadlessArgs(bad, b, error)) << bad.back();
    EXPECT_FALSE(error.empty());
  }
  WindowOptions w;
  ASSERT_TRUE(ParseWindowArgs({"--replay", "r.tqr"}, w, error)) << error;
  EXPECT_EQ(w.ReplayFile, "r.tqr");
  EXPECT_NE(HelpText().find("--verify"), std::string::npos);
}

// --- Runs of the real program --------------------------------------------------------

std::string Tarq() { return BuiltProgram() + " --headless --data " + std::string(TARQ_DATA_DIR); }

// The events of a replay's text, line by line.
std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t pos = 0;
  while (pos < text.size()) {
    const size_t end = text.find('\n', pos);
    lines.push_back(text.substr(pos, end - pos));
    pos = end == std::string::npos ? text.size() : end + 1;
  }
  return lines;
}

std::string JoinLines(const std::vector<std::string>& lines) {
  std::string out;
  for (const std::string& l : lines) out += l + '\n';
  return out;
}

TEST(ReplayRuns, AScriptedRunRecordsAndVerifiesAndAChangedInputDivergesAtTheNextCheckpoint) {
  TempDir dir;
  // Player 2 starts on the title, flies and fires; Escape opens and closes the menu.
  WriteFile(dir / "in.txt",
            "620 KB1E\n622\n700 KB1E KBC8\n900 KB1E KBCB\n1100\n1200 key Escape\n1260 key Escape\n"
            "1300 KB1E KBCD\n5000 KB1E\n9000\n");
  const std::string replay = dir / "run.tqr";
  std::string out;
  ASSERT_EQ(RunShell(Tarq() + " --ticks 9500 --seed 7 --input " + dir / "in.txt" + " --record " + replay, &out), 0)
      << out;
  const std::string text = ReadFile(replay);
  EXPECT_NE(text.find("\nseed 7\n"), std::string::npos);
  EXPECT_NE(text.find("\nrun-start 620\n"), std::string::npos) << text.substr(0, 2000);
  EXPECT_NE(text.find("\n1200 key Escape\n"), std::string::npos);
  EXPECT_NE(text.find("\n4500 check TickCount="), std::string::npos);
  EXPECT_NE(text.find("\n9000 check TickCount="), std::string::npos);
  EXPECT_NE(text.find("\n9500 check TickCount="), std::string::npos);

  ASSERT_EQ(RunShell(Tarq() + " --replay " + replay + " --verify", &out), 0) << out;
  EXPECT_NE(out.find("verified: 9500 ticks, 3 checkpoints"), std::string::npos) << out;
  // The replay's dump is the dump of the original run.
  ASSERT_EQ(RunShell(Tarq() + " --ticks 9500 --seed 7 --input " + dir / "in.txt" + " --dump " + dir / "a.jsonl" +
                         " --dump-every 500",
                     &out),
            0);
  ASSERT_EQ(RunShell(Tarq() + " --replay " + replay + " --dump " + dir / "b.jsonl" + " --dump-every 500" +
                         " --screenshot 9500:" + dir / "end.png",
                     &out),
            0)
      << out;
  EXPECT_EQ(ReadFile(dir / "a.jsonl"), ReadFile(dir / "b.jsonl"));
  EXPECT_TRUE(fs::exists(dir / "end.png"));

  // One input changed in a copy (left instead of right from tick 1300): the first
  // checkpoint after it fails, naming the first field that differs.
  std::vector<std::string> lines = Lines(text);
  auto changed = std::find(lines.begin(), lines.end(), "1300 KB1E KBCD");
  ASSERT_NE(changed, lines.end());
  *changed = "1300 KB1E KBCB";
  WriteFile(dir / "changed.tqr", JoinLines(lines));
  EXPECT_EQ(RunShell(Tarq() + " --replay " + dir / "changed.tqr" + " --verify", &out), 4) << out;
  EXPECT_TRUE(std::regex_search(out, std::regex("diverges at tick 4500: [A-Za-z]+ differs"))) << out;
  // Without --verify it plays to the end all the same.
  EXPECT_EQ(RunShell(Tarq() + " --replay " + dir / "changed.tqr", &out), 0) << out;
}

TEST(ReplayRuns, AReplayOfAnotherVersionOrOtherDataIsNotVerified) {
  TempDir dir;
  const std::string replay = dir / "run.tqr";
  std::string out;
  ASSERT_EQ(RunShell(Tarq() + " --ticks 50 --record " + replay, &out), 0) << out;
  std::vector<std::string> lines = Lines(ReadFile(replay));
  std::vector<std::string> otherVersion = lines;
  otherVersion[1] = "program tarq%200.0-old";
  WriteFile(dir / "version.tqr", JoinLines(otherVersion));
  EXPECT_EQ(RunShell(Tarq() + " --replay " + dir / "version.tqr" + " --verify", &out), 3);
  EXPECT_NE(out.find("it was recorded by tarq 0.0-old, this is " + VersionText() + "; not verifying it"),
            std::string::npos)
      << out;
  std::vector<std::string> otherData = lines;
  otherData[2] = "data 0badf00d";
  WriteFile(dir / "data.tqr", JoinLines(otherData));
  EXPECT_EQ(RunShell(Tarq() + " --replay " + dir / "data.tqr" + " --verify", &out), 3);
  EXPECT_NE(out.find("it was recorded with other game data (checksum 0badf00d, this data "), std::string::npos)
      << out;
  // Played without --verify, it warns and runs.
  EXPECT_EQ(RunShell(Tarq() + " --replay " + dir / "data.tqr", &out), 0) << out;
  EXPECT_NE(out.find("warning"), std::string::npos) << out;
  // A damaged file is a clear error, not a crash.
  WriteFile(dir / "cut.tqr", ReadFile(replay).substr(0, 60));
  EXPECT_EQ(RunShell(Tarq() + " --replay " + dir / "cut.tqr" + " --verify", &out), 2);
  EXPECT_NE(out.find("cut.tqr, line "), std::string::npos) << out;
}

TEST(ReplayRuns, TheKeyRedefinitionPromptsReadsReplayWithinTheirTick) {
  TempDir dir;
  // To CONTROL OPTIONS; Enter on PLAYER 1 UP, X pressed and released while the prompt
  // waits; then Enter on PLAYER 1 DOWN with Z held to the end.
  WriteFile(dir / "in.txt",
            "620 KBD0\n621\n622 KB1E\n623\n624 KBD0\n625\n626 KBD0\n627\n628 KBD0\n629\n630 KB1E\n631\n"
            "632 KB1C\n636 KB2D\n640\n650 KBD0\n651\n652 KB1C\n653 KB2C\n");
  std::string out;
  ASSERT_EQ(RunShell(Tarq() + " --ticks 660 --input " + dir / "in.txt" + " --record " + dir / "p.tqr" + " --dump " +
                         dir / "a.jsonl",
                     &out),
            0)
      << out;
  const std::string text = ReadFile(dir / "p.tqr");
  EXPECT_TRUE(std::regex_search(text, std::regex("\n632:[0-9]+ KB2D\n632:[0-9]+\n"))) << text;
  EXPECT_TRUE(std::regex_search(text, std::regex("\n652:[0-9]+ KB2C\n"))) << text;
  ASSERT_EQ(RunShell(Tarq() + " --replay " + dir / "p.tqr" + " --verify --dump " + dir / "b.jsonl", &out), 0) << out;
  const std::string dump = ReadFile(dir / "b.jsonl");
  EXPECT_EQ(dump, ReadFile(dir / "a.jsonl"));
  EXPECT_NE(dump.find("\"ControlBindings\":[[\"J0Y-KB2D\",\"J0Y+KB2C\""), std::string::npos);
}

TEST(ReplayRuns, ABotRunVerifies) {
  TempDir dir;
  const std::string replay = dir / "bot.tqr";
  std::string out;
  // The bot flies player 1 unshielded; a shielded one flies from the level's second section.
  ASSERT_EQ(RunShell(Tarq() + " --ticks 12000 --seed 3 --bot --record " + replay, &out), 0) << out;
  ASSERT_EQ(RunShell(Tarq() + " --replay " + replay + " --verify", &out), 0) << out;
  EXPECT_NE(out.find("verified: 12000 ticks"), std::string::npos) << out;
  ASSERT_EQ(RunShell(Tarq() + " --ticks 6000 --bot --invulnerable --start-section 2 --record " + replay, &out), 0)
      << out;
  const std::string text = ReadFile(replay);
  EXPECT_NE(text.find("\nstart-section 2\ninvulnerable 1\n"), std::string::npos);
  ASSERT_EQ(RunShell(Tarq() + " --replay " + replay + " --verify", &out), 0) << out;
}

}  // namespace
}  // namespace tarq

namespace tarq {
namespace {

TEST(ReplayRuns, PassesThatCatchUpSeveralTicksReplayTheSameWay) {
  TempDir dir;
  std::string replayText;
  {
    testing_util::ScopedChdir inData(TARQ_DATA_DIR);
    TForm1 form(std::make_unique<testing_util::StutteringClocks>());
    auto owned = std::make_unique<ScriptedInputSource>();
    ScriptedInputSource& source = *owned;
    StartupOptions startup;
    startup.Headless = true;
    startup.FixedSeed = true;
    startup.Seed = 99;
    startup.Input = std::move(owned);
    startup.SettingsFile = "";
    ASSERT_EQ(form.FormCreate(std::move(startup)), StartupResult::Ok);
    Game& game = form.GameState();
    ReplayRecorder recorder(game, form.Seed(), DataFolderChecksum("."), VersionText());
    form.SetRecorder(&recorder);
    // Player 1 (pad 0) starts, sweeps left and right firing, and opens the menu once.
    while (game.TickCount < 6000) {
      const int64_t t = game.TickCount;
      source.ReleaseAll();
      if (t >= 620 && t < 624) source.Hold("J0B0");
      if (t >= 700) {
        source.Hold("J0B0");
        source.Hold((t / 150) % 2 ? "J0X-" : "J0X+");
        if ((t / 400) % 2) source.Hold("J0Y-");
      }
      if (t == 3000 || t == 3100) form.FormKeyDown(kVkEscape, {});
      form.Timer1().Idle();
      form.AfterPass();
    }
    form.SetRecorder(nullptr);
    replayText = WriteReplayText(recorder.Finish());
  }
  EXPECT_NE(replayText.find(" pass 3\n"), std::string::npos);
  WriteFile(dir / "stutter.tqr", replayText);
  std::string out;
  EXPECT_EQ(RunShell(Tarq() + " --replay " + dir / "stutter.tqr" + " --verify", &out), 0) << out;
  EXPECT_NE(out.find("verified"), std::string::npos) << out;
}

}  // namespace
}  // namespace tarq

namespace tarq {
namespace {

TEST(ReplayRuns, TheWindowLoopSavesEachRunWhenTheGameIsBackOnTheTitle) {
  TempDir dir;
  const std::string folder = dir / "replays";
  {
    testing_util::ScopedChdir inData(TARQ_DATA_DIR);
    TForm1 form(std::make_unique<testing_util::StutteringClocks>());
    auto owned = std::make_unique<ScriptedInputSource>();
    ScriptedInputSource& source = *owned;
    StartupOptions startup;
    startup.Headless = true;  // the message loop without a display
    startup.FixedSeed = true;
    startup.Seed = 4;
    startup.Input = std::move(owned);
    startup.SettingsFile = "";
    ASSERT_EQ(form.FormCreate(std::move(startup)), StartupResult::Ok);
    WindowReplays replays;
    replays.StartRecording(form, folder);
    bool escaped = false;
    form.SetLoopHook([&] {
      const Game& g = form.GameState();
      const int64_t t = g.TickCount;
      source.ReleaseAll();
      // Fire starts a run; in the menu, four presses of Down reach QUIT TO TITLE.
      if ((t >= 620 && t < 624) || (t >= 700 && t < 800)) source.Hold("J0B0");
      if (t >= 800 && !escaped) {
        form.FormKeyDown(kVkEscape, {});
        escaped = true;
      }
      for (int64_t press = 0; press < 4; ++press)
        if (t >= 820 + press * 8 && t < 824 + press * 8) source.Hold("J0Y+");
      if (t >= 860 && t < 864) source.Hold("J0B0");
      if (t >= 900) form.Close();
    });
    form.Run();
  }
  Replay replay;
  std::string error;
  ASSERT_TRUE(LoadReplayFile(folder + "/last.tqr", replay, error)) << error;
  EXPECT_EQ(replay.RunStart, 620);
  EXPECT_GT(replay.End, 860);
  EXPECT_LT(replay.End, 900) << "saved when the run ended, not when the window closed";
  EXPECT_EQ(std::distance(fs::directory_iterator(folder), {}), 2);  // the dated file and last.tqr
  std::string out;
  EXPECT_EQ(RunShell(Tarq() + " --replay " + folder + "/last.tqr --verify --dump " + dir / "d.jsonl" +
                         " --dump-every 1",
                     &out),
            0)
      << out;
  const std::string dump = ReadFile(dir / "d.jsonl");
  const size_t lastLine = dump.rfind("\n{");
  EXPECT_NE(dump.find("\"ScreenState\":0,", lastLine), std::string::npos) << "back on the title";
}

}  // namespace
}  // namespace tarq

namespace tarq {
namespace {

// The window draws every frame, the headless runner and the replays do not: whatever a
// drawn frame leaves in the state, an undrawn one must leave too, or a window run would
// not replay headless. The enemy drawing finds the goose leader, which the next tick's
// goose parts follow.
TEST(ReplayDeterminism, AnUndrawnFramePlacesTheGooseLeaderAsADrawnOneDoes) {
  Game game;
  game.ScreenState = kScreenPlaying;
  game.GooseLeader = 5;  // stale: the record it named has left the list
  EnemyRecord other;
  other.Kind = 9;
  EnemyRecord goose;
  goose.Kind = 7;
  game.EnemyList = {other, goose, other};
  Timer1Render(game, nullptr);
  EXPECT_EQ(game.GooseLeader, 1);
  game.EnemyList.erase(game.EnemyList.begin() + 1);
  Timer1Render(game, nullptr);
  EXPECT_EQ(game.GooseLeader, -1);
}

}  // namespace
}  // namespace tarq

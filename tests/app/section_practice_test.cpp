// Section practice and the bot pilot on the forged level: a run started at any section
// begins at that section's music cue, and the bot flies without being told how.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "enemies/schedule.h"

namespace tarq {
namespace {

std::string ForgedData() { return std::string(TARQ_BINARY_DIR) + "/data"; }

int RunTarq(const std::string& args, std::string& out) {
  FILE* pipe = ::popen((std::string(TARQ_BINARY_DIR) + "/tarq " + args + " 2>&1").c_str(), "r");
  if (!pipe) return -1;
  char buf[4096];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, pipe)) > 0) out.append(buf, n);
  const int status = ::pclose(pipe);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The number after "key": in a dump line.
long long Field(const std::string& line, const std::string& key) {
  const size_t at = line.find("\"" + key + "\":");
  if (at == std::string::npos) return -999999;
  return std::stoll(line.substr(at + key.size() + 3));
}

std::string LastLine(const std::string& path) {
  std::ifstream in(path);
  std::string line, last;
  while (std::getline(in, line)) last = line;
  return last;
}

TEST(SectionPractice, EverySectionStartsAtItsCueWithItsMusic) {
  std::vector<ScheduleEntry> schedule;
  std::string message;
  ASSERT_TRUE(LoadEnemiesFile(ForgedData() + "/system/enemies.txt", schedule, message)) << message;
  std::vector<size_t> cues;
  for (size_t i = 0; i < schedule.size(); ++i)
    if (schedule[i].Kind == 252) cues.push_back(i);
  ASSERT_EQ(cues.size(), 12u);
  const std::string dump = ::testing::TempDir() + "/section.jsonl";
  for (size_t n = 1; n <= cues.size(); ++n) {
    // The bot starts the run from the title (tick 614); the dump shows the first
    // playing tick, after the cue has fired.
    std::string out;
    ASSERT_EQ(RunTarq("--headless --ticks 616 --data " + ForgedData() + " --bot --start-section " +
                      std::to_string(n) + " --dump " + dump + " --dump-every 616",
                  out),
              0)
        << out;
    const std::string line = LastLine(dump);
    const ScheduleEntry& cue = schedule[cues[n - 1]];
    ASSERT_EQ(Field(line, "ScreenState"), 1) << "section " << n;
    EXPECT_LE(Field(line, "ScrollY"), std::min(cue.Trigger, 261631)) << "section " << n;
    EXPECT_GE(Field(line, "ScrollY"), std::min(cue.Trigger, 261631) - 1) << "section " << n;
    EXPECT_GT(Field(line, "ScheduleIndex"), static_cast<long long>(cues[n - 1])) << "the cue fired";
    EXPECT_EQ(Field(line, "CurrentTrack"), cue.ParamA) << "section " << n;
  }
  std::string out;
  EXPECT_EQ(RunTarq("--headless --ticks 5 --data " + ForgedData() + " --start-section 13", out), 2);
  EXPECT_NE(out.find("12 sections"), std::string::npos) << out;
}

TEST(BotPilot, FliesTheFirstMinuteAndScores) {
  const std::string dump = ::testing::TempDir() + "/bot.jsonl";
  std::string out;
  ASSERT_EQ(RunTarq("--headless --ticks 5000 --seed 3 --data " + ForgedData() + " --bot --dump " + dump +
                    " --dump-every 5000",
                out),
            0)
      << out;
  const std::string line = LastLine(dump);
  EXPECT_EQ(Field(line, "ScreenState"), 1);
  EXPECT_GT(line.find("\"Score\":") == std::string::npos ? 0 : Field(line, "Score"), 0) << "it shot something";
}

}  // namespace
}  // namespace tarq

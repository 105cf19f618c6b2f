#include "app/config.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "test_util.h"

namespace tarq {
namespace {

using testing_util::ReadFile;
using testing_util::TempDir;
using testing_util::WriteFile;

GraphicsSettings GraphicsFrom(const std::string& text) {
  IniFile ini;
  ini.LoadText(text);
  return ReadGraphicsSettings(ini);
}

TEST(ConfigFile, MissingFileGivesDefaults) {
  TempDir dir;
  IniFile ini;
  std::string error;
  ASSERT_TRUE(ini.Load(dir / "system/tarq.ini", &error)) << error;
  const GraphicsSettings g = ReadGraphicsSettings(ini);
  EXPECT_TRUE(g.FullScreen);
  EXPECT_TRUE(g.LowBitDepth);
  EXPECT_TRUE(g.VSync);
  EXPECT_TRUE(g.DoubleBuffering);
  EXPECT_TRUE(g.ShowOptions);
  const GameSettings s = ReadGameSettings(ini);
  EXPECT_EQ(s.ControlBindings, DefaultControlBindings());
  EXPECT_TRUE(s.ShowOptionsAtStart);
  EXPECT_EQ(s.SoundVolume, 100);
  EXPECT_EQ(s.MusicVolume, 100);
}

TEST(ConfigFile, ValuesAreLowerCasedThenComparedExactly) {
  EXPECT_TRUE(GraphicsFrom("[graphics]\nbitdepth=LOW\n").LowBitDepth);
  EXPECT_FALSE(GraphicsFrom("[graphics]\nbitdepth=16\n").LowBitDepth);
  EXPECT_TRUE(GraphicsFrom("[GRAPHICS]\nFullScreen=TRUE\n").FullScreen);
  EXPECT_FALSE(GraphicsFrom("[graphics]\nfullscreen=yes\n").FullScreen);
  EXPECT_FALSE(GraphicsFrom("[graphics]\nvsync=1\n").VSync);
  EXPECT_FALSE(GraphicsFrom("[graphics]\nbuffercount=4\n").DoubleBuffering);
  EXPECT_FALSE(GraphicsFrom("[graphics]\nshowoptions=\n").ShowOptions);
  // A key in another section does not count.
  EXPECT_TRUE(GraphicsFrom("[sound]\nfullscreen=false\n").FullScreen);
}

TEST(ConfigFile, VolumesAreDecimalIntegersElse100) {
  EXPECT_EQ(ParseVolume("0"), 0);
  EXPECT_EQ(ParseVolume("57"), 57);
  EXPECT_EQ(ParseVolume("+7"), 7);
  EXPECT_EQ(ParseVolume("-5"), -5);    // out of range is kept: the menu clamps it
  EXPECT_EQ(ParseVolume("250"), 250);
  for (const char* bad : {"", "loud", "50%", "1e2", "0x10", "$10", " ", "+-3", "--3", "99999999999"}) {
    EXPECT_EQ(ParseVolume(bad), 100) << '"' << bad << '"';
  }
  IniFile ini;
  ini.LoadText("[sound]\nsoundvolume=quiet\nmusicvolume=40\n");
  const GameSettings s = ReadGameSettings(ini);
  EXPECT_EQ(s.SoundVolume, 100);
  EXPECT_EQ(s.MusicVolume, 40);
}

TEST(ConfigFile, ControlsReadIntoTheirSlotsAndBuiltInsStay) {
  IniFile ini;
  ini.LoadText("[controls]\nPL1Fire=KB39\npl2up=J1Y-\nPL2Pause=\n");
  const GameSettings s = ReadGameSettings(ini);
  EXPECT_EQ(s.ControlBindings[0][kCtlFire], "KB39");
  EXPECT_EQ(s.ControlBindings[1][kCtlUp], "J1Y-");
  EXPECT_EQ(s.ControlBindings[1][kCtlPause], "");  // an empty binding is a binding
  EXPECT_EQ(s.ControlBindings[0][kCtlSeventh], "J0B5");
  EXPECT_EQ(s.ControlBindings[1][kCtlTenth], "J1B3KB2F");
  EXPECT_EQ(s.ControlBindings[0][kCtlUp], "J0Y-");
}

TEST(ConfigFile, WriteKeepsOtherSectionsAndKeysAndRoundTrips) {
  TempDir dir;
  const std::string path = dir / "system/tarq.ini";
  WriteFile(path,
            "; the player's own notes\n[graphics]\nfullscreen=false\nbitdepth=high\ngamma=1.2\n"
            "[extra]\nfoo=bar\n[sound]\nsoundvolume=30\n");
  IniFile ini;
  ASSERT_TRUE(ini.Load(path));
  GameSettings s = ReadGameSettings(ini);
  s.ShowOptionsAtStart = false;
  s.MusicVolume = 7;
  s.ControlBindings[1][kCtlFire] = "KB1EKB39";
  WriteGameSettings(ini, s);
  std::string error;
  ASSERT_TRUE(ini.Save(path, &error)) << error;

  const std::string text = ReadFile(path);
  EXPECT_NE(text.find("foo=bar"), std::string::npos) << text;
  EXPECT_NE(text.find("gamma=1.2"), std::string::npos) << text;
  EXPECT_NE(text.find("the player's own notes"), std::string::npos) << text;

  IniFile again;
  ASSERT_TRUE(again.Load(path));
  const GameSettings back = ReadGameSettings(again);
  EXPECT_FALSE(back.ShowOptionsAtStart);
  EXPECT_EQ(back.SoundVolume, 30);
  EXPECT_EQ(back.MusicVolume, 7);
  EXPECT_EQ(back.ControlBindings[1][kCtlFire], "KB1EKB39");
  // The close writes only showoptions of the graphics keys.
  const GraphicsSettings g = ReadGraphicsSettings(again);
  EXPECT_FALSE(g.FullScreen);
  EXPECT_FALSE(g.LowBitDepth);
  EXPECT_FALSE(g.ShowOptions);
  EXPECT_EQ(again.ReadString("graphics", "vsync", "unset"), "unset");
}

TEST(ConfigFile, SaveIsAtomicAndLeavesNoTemporaryFiles) {
  TempDir dir;
  const std::string path = dir / "system/tarq.ini";
  IniFile ini;
  ASSERT_TRUE(ini.Load(path));
  WriteGraphicsSettings(ini, GraphicsSettings{});
  ASSERT_TRUE(ini.Save(path));  // creates the missing system folder
  ASSERT_TRUE(ini.Save(path));
  int files = 0;
  for (const auto& e : std::filesystem::directory_iterator(dir.path() / "system")) {
    ++files;
    EXPECT_EQ(e.path().filename(), "tarq.ini");
  }
  EXPECT_EQ(files, 1);
  EXPECT_NE(ReadFile(path).find("buffercount=2"), std::string::npos);
}

TEST(ConfigFile, FailedWritesKeepTheOldFileAndReportAnError) {
  if (::geteuid() == 0) {
    // Root ignores folder permissions; use a path whose parent is a file instead.
    TempDir dir;
    WriteFile(dir / "system", "not a folder");
    IniFile ini;
    std::string error;
    EXPECT_FALSE(ini.Save(dir / "system/tarq.ini", &error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(ReadFile(dir / "system"), "not a folder");
    return;
  }
  TempDir dir;
  const std::string path = dir / "system/tarq.ini";
  WriteFile(path, "[sound]\nsoundvolume=12\n");
  ::chmod((dir.path() / "system").c_str(), 0555);
  IniFile ini;
  ASSERT_TRUE(ini.Load(path));
  ini.WriteString("sound", "soundvolume", "99");
  std::string error;
  EXPECT_FALSE(ini.Save(path, &error));
  EXPECT_FALSE(error.empty());
  ::chmod((dir.path() / "system").c_str(), 0755);
  EXPECT_EQ(ReadFile(path), "[sound]\nsoundvolume=12\n");
}

TEST(ConfigFile, AnUnreadableFileIsAnErrorNotAnEmptyFile) {
  TempDir dir;
  // A folder where the file should be cannot be read as a file.
  std::filesystem::create_directories(dir.path() / "system/tarq.ini");
  IniFile ini;
  std::string error;
  EXPECT_FALSE(ini.Load(dir / "system/tarq.ini", &error));
  EXPECT_FALSE(error.empty());
}

TEST(ConfigFile, BinaryGarbageReadsAsDefaults) {
  std::string garbage;
  for (int i = 0; i < 4096; ++i) garbage += static_cast<char>((i * 7919) & 0xFF);
  IniFile ini;
  ini.LoadText(garbage);
  const GameSettings s = ReadGameSettings(ini);
  EXPECT_EQ(s.SoundVolume, 100);
  EXPECT_EQ(s.ControlBindings, DefaultControlBindings());
}

}  // namespace
}  // namespace tarq

// A second, separate forge run writes the same data folder byte for byte.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <string>

#include "forge_test_support.h"

namespace tarq::forge_test {
namespace {

TEST(ForgeRun, TwoRunsGiveIdenticalBytes) {
  const std::filesystem::path out =
      std::filesystem::temp_directory_path() / ("tarq_forge_again_" + std::to_string(::getpid()));
  std::filesystem::remove_all(out);
  const std::string command = std::string("\"") + TARQ_BINARY_DIR + "/forge\" --out \"" + out.string() + "\" > /dev/null";
  ASSERT_EQ(std::system(command.c_str()), 0);
  int files = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(out)) {
    if (!entry.is_regular_file()) continue;
    const std::filesystem::path rel = std::filesystem::relative(entry.path(), out);
    ++files;
    EXPECT_TRUE(ReadBytes(entry.path()) == ReadBytes(DataDir() / rel)) << rel << " differs";
  }
  EXPECT_GT(files, 300);
  std::filesystem::remove_all(out);
}

TEST(ForgeRun, FailsLoudlyWhenItCannotWrite) {
  // A plain file where the data folder should be: the run must report failure.
  const std::filesystem::path blocker =
      std::filesystem::temp_directory_path() / ("tarq_forge_blocked_" + std::to_string(::getpid()));
  { std::ofstream(blocker) << "x"; }
  const std::string command = std::string("\"") + TARQ_BINARY_DIR + "/forge\" --out \"" + blocker.string() +
                              "\" > /dev/null 2>&1";
  EXPECT_NE(std::system(command.c_str()), 0);
  std::filesystem::remove(blocker);
}

}  // namespace
}  // namespace tarq::forge_test

#include <cstdio>
#include <cstring>
#include <filesystem>

int main(int argc, char** argv) {
  std::filesystem::path out = "data";
  for (int i = 1; i + 1 < argc; ++i)
    if (std::strcmp(argv[i], "--out") == 0) out = argv[i + 1];
  std::filesystem::create_directories(out / "system");
  std::filesystem::create_directories(out / "tiles");
  return 0;
}

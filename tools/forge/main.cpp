// forge --out DIR [--sheets DIR]: writes the game's data folder; with --sheets it also
// writes contact sheets and map pictures to look at. forge --icons DIR writes only the
// desktop icons. Exits non-zero on any failure so
// the build stops instead of shipping half a data folder.
#include <chrono>
#include <cstdio>
#include <cstring>
#include <exception>

#include "forge.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since) {
  return std::chrono::duration<double>(Clock::now() - since).count();
}

}  // namespace

int main(int argc, char** argv) {
  tarq::forge::ForgeContext ctx;
  ctx.out = "data";
  std::filesystem::path icons;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--out") == 0 && i + 1 < argc) {
      ctx.out = argv[++i];
    } else if (std::strcmp(argv[i], "--sheets") == 0 && i + 1 < argc) {
      ctx.sheets = argv[++i];
    } else if (std::strcmp(argv[i], "--icons") == 0 && i + 1 < argc) {
      icons = argv[++i];
    } else {
      std::fprintf(stderr, "usage: forge [--out DIR] [--sheets DIR] | forge --icons DIR\n");
      return 2;
    }
  }
  if (!icons.empty()) {
    // The desktop icons alone: a step of the install, not of the data folder.
    try {
      tarq::forge::ForgeIcons(icons);
    } catch (const std::exception& e) {
      std::fprintf(stderr, "forge: %s\n", e.what());
      return 1;
    }
    return 0;
  }
  const auto start = Clock::now();
  struct Step {
    const char* name;
    void (*run)(const tarq::forge::ForgeContext&);
  };
  const Step steps[] = {{"sprites", tarq::forge::ForgeSprites}, {"fonts", tarq::forge::ForgeFonts},
                        {"tiles", tarq::forge::ForgeTiles},     {"level", tarq::forge::ForgeLevel},
                        {"audio", tarq::forge::ForgeAudio}};
  try {
    std::filesystem::create_directories(ctx.out / "system");
    std::filesystem::create_directories(ctx.out / "tiles");
    if (ctx.WantSheets()) std::filesystem::create_directories(ctx.sheets);
    for (const Step& step : steps) {
      const auto t = Clock::now();
      step.run(ctx);
      std::printf("forge: %-8s %5.1f s\n", step.name, Seconds(t));
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "forge: %s\n", e.what());
    return 1;
  }
  std::printf("forge: data written to %s in %.1f s\n", ctx.out.string().c_str(), Seconds(start));
  return 0;
}

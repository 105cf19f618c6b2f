// forge --out DIR [--sheets DIR]: writes the game's data folder.
#include <chrono>
#include <cstdio>
#include <cstring>
#include <exception>

#include "forge.h"

int main(int argc, char** argv) {
  tarq::forge::ForgeContext ctx;
  ctx.out = "data";
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--out") == 0 && i + 1 < argc) {
      ctx.out = argv[++i];
    } else if (std::strcmp(argv[i], "--sheets") == 0 && i + 1 < argc) {
      ctx.sheets = argv[++i];
    } else {
      std::fprintf(stderr, "usage: forge [--out DIR] [--sheets DIR]\n");
      return 2;
    }
  }
  const auto start = std::chrono::steady_clock::now();
  try {
    std::filesystem::create_directories(ctx.out / "system");
    std::filesystem::create_directories(ctx.out / "tiles");
    if (ctx.WantSheets()) std::filesystem::create_directories(ctx.sheets);
    tarq::forge::ForgeSprites(ctx);
    tarq::forge::ForgeFonts(ctx);
    tarq::forge::ForgeTiles(ctx);
    tarq::forge::ForgeLevel(ctx);
    tarq::forge::ForgeAudio(ctx);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "forge: %s\n", e.what());
    return 1;
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("forge: data written to %s in %.1f s\n", ctx.out.string().c_str(), seconds);
  return 0;
}

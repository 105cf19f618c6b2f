#include <cstdio>

#include "game/game.h"

int main() {
  tarq::Game game;
  std::printf("TARQ Beta 1 (skeleton) screen %d\n", game.ScreenState);
  return 0;
}

#pragma once
#include "game/dump.h"

namespace tarq {

// The menus' state: InGameMenuCursor, InGameMenuSlide, the title logo (TitleLogoY,
// TitleLogoSpeed, TitleLogoPhase) and ControlBindings (both players' ten codes).
void DumpMenus(const Game& game, JsonWriter& w);

}  // namespace tarq

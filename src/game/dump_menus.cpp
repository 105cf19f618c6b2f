#include "game/dump_menus.h"

namespace tarq {

void DumpMenus(const Game& game, JsonWriter& w) {
  w.Field("InGameMenuCursor", game.InGameMenuCursor);
  w.Field("InGameMenuSlide", game.InGameMenuSlide);
  w.Field("TitleLogoY", game.TitleLogoY);
  w.Field("TitleLogoSpeed", game.TitleLogoSpeed);
  w.Field("TitleLogoPhase", game.TitleLogoPhase);
  w.Key("ControlBindings");
  w.BeginArray();
  for (const auto& player : game.ControlBindings) {
    w.BeginArray();
    for (const std::string& binding : player) w.Value(std::string_view(binding));
    w.EndArray();
  }
  w.EndArray();
}

}  // namespace tarq

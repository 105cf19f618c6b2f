#include "game/dump_play.h"

namespace tarq {

namespace {

void DumpPlayer(const PlayerRecord& p, JsonWriter& w) {
  w.BeginObject();
  w.Field("Active", p.Active);
  w.Field("X", p.X);
  w.Field("Y", p.Y);
  w.Field("VelX", p.VelX);
  w.Field("VelY", p.VelY);
  w.Field("Heading", p.Heading);
  w.Field("RotorAngle", p.RotorAngle);
  w.Field("BodyPattern", p.BodyPattern);
  w.Field("Altitude", p.Altitude);
  w.Field("ClimbSpeed", p.ClimbSpeed);
  w.Field("Energy", p.Energy);
  w.Field("Lives", p.Lives);
  w.Field("DeathTimer", p.DeathTimer);
  w.Field("ShieldTime", p.ShieldTime);
  w.Field("Armour", p.Armour);
  w.Field("FireRate", p.FireRate);
  w.Field("WeaponLevel", p.WeaponLevel);
  w.Field("Spread", p.Spread);
  w.Field("Nukes", p.Nukes);
  w.Field("Colour", p.Colour);
  w.Field("Score", p.Score);
  w.Field("ScoreText", std::string_view(p.ScoreText));
  w.Field("FireCounter", p.FireCounter);
  w.EndObject();
}

void DumpBullet(const PlayerBullet& b, JsonWriter& w) {
  w.BeginObject();
  w.Field("X", b.X);
  w.Field("Y", b.Y);
  w.Field("Angle", b.Angle);
  w.Field("Speed", b.Speed);
  w.Field("Owner", b.Owner);
  w.Field("Pattern", b.Pattern);
  w.EndObject();
}

void DumpExplosion(const ExplosionRecord& e, JsonWriter& w) {
  w.BeginObject();
  w.Field("X", e.X);
  w.Field("Y", e.Y);
  w.Field("BaseImage", e.BaseImage);
  w.Field("Frame", e.Frame);
  w.Field("LastFrame", e.LastFrame);
  w.Field("Scale", e.Scale);
  w.Field("Angle", e.Angle);
  w.Field("FrameTimer", e.FrameTimer);
  w.Field("FrameDelay", e.FrameDelay);
  w.Field("Colour", e.Colour);
  w.EndObject();
}

void DumpFlare(const FlareRecord& f, JsonWriter& w) {
  w.BeginObject();
  w.Field("X", f.X);
  w.Field("Y", f.Y);
  w.Field("Scale", f.Scale);
  w.Field("ScaleStep", f.ScaleStep);
  w.Field("Angle", f.Angle);
  w.Field("Spin", f.Spin);
  w.Field("Brightness", f.Brightness);
  w.Field("BrightnessStep", f.BrightnessStep);
  w.Field("Age", f.Age);
  w.Field("Lifetime", f.Lifetime);
  w.EndObject();
}

template <typename List, typename Fn>
void DumpList(std::string_view key, const List& list, Fn dumpOne, JsonWriter& w) {
  w.Key(key);
  w.BeginArray();
  for (const auto& item : list) dumpOne(item, w);
  w.EndArray();
}

}  // namespace

void DumpPlay(const Game& game, JsonWriter& w) {
  w.Key("Players");
  w.BeginArray();
  for (const PlayerRecord& p : game.Players) DumpPlayer(p, w);
  w.EndArray();
  w.Field("ScrollY", game.ScrollY);
  w.Field("ScrollX", game.ScrollX);
  w.Field("ScrollHold", game.ScrollHold);
  w.Field("NukeTimer", game.NukeTimer);
  w.Field("NukeBrightness", game.NukeBrightness);
  DumpList("PlayerBullets", game.PlayerBullets, DumpBullet, w);
  DumpList("Explosions", game.Explosions, DumpExplosion, w);
  DumpList("Flares", game.Flares, DumpFlare, w);
}

}  // namespace tarq

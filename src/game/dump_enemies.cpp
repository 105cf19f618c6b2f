#include "game/dump_enemies.h"

namespace tarq {

namespace {

void DumpEnemy(const EnemyRecord& e, JsonWriter& w) {
  w.BeginObject();
  w.Field("X", e.X);
  w.Field("Y", e.Y);
  w.Field("Angle", e.Angle);
  w.Field("Age", e.Age);
  w.Field("HitPoints", e.HitPoints);
  w.Field("Kind", e.Kind);
  w.Field("Height", e.Height);
  w.Field("ParamA", e.ParamA);
  w.Field("ParamB", e.ParamB);
  w.Field("ParamC", e.ParamC);
  w.Field("TrackSide", e.TrackSide);
  w.Field("Dead", e.Dead);
  w.Field("IntA", e.IntA);
  w.Field("IntB", e.IntB);
  w.Field("IntC", e.IntC);
  w.Field("IntD", e.IntD);
  w.Field("IntE", e.IntE);
  w.Field("Colour", e.Colour);
  w.Field("Pickup", e.Pickup);
  w.Field("Radius", e.Radius);
  w.Field("HalfWidth", e.HalfWidth);
  w.Field("HalfHeight", e.HalfHeight);
  w.Field("RoundHit", e.RoundHit);
  w.Field("Solid", e.Solid);
  w.Field("Shootable", e.Shootable);
  w.Field("LastHitBy", e.LastHitBy);
  w.Field("ScoreValue", e.ScoreValue);
  w.Field("TopMargin", e.TopMargin);
  w.Field("BottomMargin", e.BottomMargin);
  w.Field("Armoured", e.Armoured);
  w.EndObject();
}

void DumpEnemyBullet(const EnemyBullet& b, JsonWriter& w) {
  w.BeginObject();
  w.Field("X", b.X);
  w.Field("Y", b.Y);
  w.Field("Angle", b.Angle);
  w.Field("Speed", b.Speed);
  w.Field("Image", b.Image);
  w.Field("Frame", b.Frame);
  w.Field("LastFrame", b.LastFrame);
  w.EndObject();
}

}  // namespace

void DumpEnemies(const Game& game, JsonWriter& w) {
  w.Key("Enemies");
  w.BeginArray();
  for (const EnemyRecord& e : game.EnemyList) DumpEnemy(e, w);
  w.EndArray();
  w.Key("EnemyBullets");
  w.BeginArray();
  for (const EnemyBullet& b : game.EnemyBullets) DumpEnemyBullet(b, w);
  w.EndArray();
  w.Field("ScheduleIndex", game.ScheduleIndex);
  w.Field("ScheduleDone", game.ScheduleDone);
  w.Field("GooseLeader", game.GooseLeader);
  w.Field("NukeX", game.NukeX);
  w.Field("NukeY", game.NukeY);
  w.Field("ScrollTick", game.ScrollTick);
  w.Field("InGameMenuSlide", game.InGameMenuSlide);
}

}  // namespace tarq

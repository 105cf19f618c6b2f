// The enemy catalogue: Enemy_Add, the initial values of every kind and the children
// some kinds bring with them.
#include <algorithm>
#include <cmath>

#include "core/numeric.h"
#include "core/random.h"
#include "enemies/mechanics.h"
#include "game/game.h"

namespace tarq {

namespace {

constexpr int32_t kLeftOfCentre = 352;  // half the map's width

void NoSolid(EnemyRecord& e) { e.Solid = false; }
void NoShoot(EnemyRecord& e) { e.Shootable = false; }
void Box(EnemyRecord& e, int32_t halfWidth, int32_t halfHeight) {
  e.HalfWidth = halfWidth;
  e.HalfHeight = halfHeight;
  e.RoundHit = false;
}
uint8_t RandomByte(int32_t n) { return static_cast<uint8_t>(Random(n)); }

// Tanks and jeeps remember where they laid their last track mark and which way round
// the marks lie (reversing units lay them turned half a circle).
void TrackLayer(EnemyRecord& e, int32_t x, int32_t y, int32_t intB) {
  e.IntD = x;
  e.IntE = y;
  e.TrackSide = intB > 0 ? 128 : 0;
}

// The kind's initial values beyond the defaults, in the order each kind sets them
// (the order of the random draws matters for a reproducible run).
void ApplyKind(Game& game, EnemyRecord& e, int32_t x, int32_t y, int32_t intB) {
  switch (e.Kind) {
    case 1:
      e.Height = 0;
      e.ScoreValue = 500;
      if (e.ParamC == 0) e.ParamC = RandomByte(64);
      TrackLayer(e, x, y, intB);
      break;
    case 2:
      e.IntA = 160 + Random(160);
      e.IntC = 0;
      e.Radius = 16;
      e.ScoreValue = 2275;
      break;
    case 4:
      e.Height = 0;
      Box(e, 16, 16);
      e.ScoreValue = 825;
      e.IntD = 0;
      break;
    case 6:
      e.Height = 0;
      e.Radius = 48;
      e.ScoreValue = 750;
      break;
    case 7:
      e.TopMargin = -1000;
      e.BottomMargin = 1000;
      e.Armoured = true;
      e.Radius = 32;
      e.ParamB = 0;
      NoShoot(e);
      game.GooseLeader = static_cast<int32_t>(game.EnemyList.size() - 1);
      e.IntA = 270;
      e.ScoreValue = 5000;
      break;
    case 8: e.IntC = 0; break;
    case 10:
      e.Height = 0;
      Box(e, 48, 24);
      e.ScoreValue = 500;
      break;
    case 11:
      e.Height = 0;
      Box(e, 48, 24);
      break;
    case 13:
      e.TopMargin = -1000;
      e.BottomMargin = 1000;
      e.Radius = e.ParamA == 1 ? 32 : 4;
      NoShoot(e);
      break;
    case 14:
      e.TopMargin = -1000;
      e.BottomMargin = 1000;
      e.Radius = 25;
      NoShoot(e);
      break;
    case 16:
      NoShoot(e);
      e.Height = 0;
      e.ScoreValue = 2000;
      e.HitPoints = 20;
      e.Radius = 20;
      e.IntC = 2;
      e.Angle = ToByteAngle(Random(96) - 48);
      break;
    case 17:
      e.Height = 64;
      e.ScoreValue = 2000;
      e.Angle = 64;
      e.ParamB = 160;
      e.IntA = 300;
      e.Radius = 64;
      e.TopMargin = -1000;
      e.BottomMargin = 1500;
      break;
    case 18:
      e.ParamA = RandomByte(256);
      e.IntC = 0;
      e.ParamB = 0;
      e.Angle = 128;
      NoShoot(e);
      e.IntD = x < kLeftOfCentre ? 1 : -1;
      break;
    case 19:
      e.Height = 0;
      Box(e, 24, 24);
      NoSolid(e);
      NoShoot(e);
      e.ScoreValue = 535;
      break;
    case 20:
      e.Height = 0;
      Box(e, 24, 24);
      NoSolid(e);
      NoShoot(e);
      e.ScoreValue = 650;
      break;
    case 21:
      e.Height = 0;
      Box(e, 30, 35);
      NoSolid(e);
      NoShoot(e);
      e.ScoreValue = 1000;
      break;
    case 22:
      e.Height = 0;
      Box(e, 32, 24);
      e.ScoreValue = 1800;
      break;
    case 23:
      e.IntD = 0;
      e.ScoreValue = 800;
      e.Radius = 48;
      e.Height = 0;
      break;
    case 24:
      e.Radius = 20;
      e.Angle = 128;
      e.IntD = Random(12);
      e.IntE = 2 * Random(2) - 1;
      e.IntA = 80 + Random(80);
      e.IntB = 100;
      e.ScoreValue = 2000;
      break;
    case 25:
      e.Height = 0;
      e.ScoreValue = 1450;
      e.ParamC = RandomByte(2);
      TrackLayer(e, x, y, intB);
      break;
    case 26:
      e.Height = 0;
      e.ScoreValue = 1500;
      e.IntC = 0;
      break;
    case 27:
      e.Height = 0;
      Box(e, 51, 27);
      NoShoot(e);
      break;
    case 28:
      e.HitPoints = 1000;
      NoSolid(e);
      NoShoot(e);
      e.IntC = 1;
      break;
    case 29:
      e.Height = 200 + Random(100);
      e.Radius = 16;
      e.IntC = Random(512);
      e.Angle = RandomByte(256);
      e.ParamC = static_cast<uint8_t>(1 + Random(7));
      e.ScoreValue = 500;
      break;
    case 30:
      e.IntB = 0;
      e.Height = 0;
      e.ScoreValue = 1250;
      break;
    case 31: e.ScoreValue = 650; break;
    case 32:
      e.Angle = 128;
      e.Height = 0;
      e.ScoreValue = 550;
      break;
    case 33:
      e.ScoreValue = 0;
      NoSolid(e);
      NoShoot(e);
      break;
    case 34:
      e.Radius = 16;
      NoShoot(e);
      e.Height = 0;
      e.ScoreValue = 500;
      break;
    case 35:
      e.HitPoints = 1000;
      e.Height = 0;
      e.ScoreValue = 0;
      NoSolid(e);
      NoShoot(e);
      e.IntC = 0xFFFFFF;
      e.IntB = 0;
      break;
    case 36:
      e.Radius = 45;
      e.Height = 0;
      e.IntA = 200;
      e.IntC = 1;
      e.IntD = 0;
      e.ScoreValue = 2000;
      break;
    case 37:
      e.IntB = 0;
      e.IntC = 1;
      e.Height = 0;
      e.ScoreValue = 1500;
      break;
    case 38:
      e.Angle = 128;
      e.Height = 0;
      e.ScoreValue = 2500;
      break;
    case 39:
      e.IntA = 200 + Random(150);
      e.IntB = x < kLeftOfCentre ? 1 : -1;
      e.ScoreValue = 2555;
      break;
    case 41:
      e.IntD = 200 + Random(200);
      e.Height = 0;
      e.Radius = 32;
      e.Angle = RandomByte(256);
      e.ParamC = static_cast<uint8_t>(1 + Random(7));
      e.ScoreValue = 3575;
      break;
    case 42:
      e.Height = e.IntA;
      e.IntB = 0;
      e.Radius = 16;
      e.ScoreValue = 2525;
      break;
    case 43:
    case 44:
      e.IntA = 200 + Random(200);
      NoSolid(e);
      NoShoot(e);
      e.HitPoints = 1000;
      e.ParamA = 0;
      e.ScoreValue = 0;
      break;
    case 45:
      e.ParamA = RandomByte(256);
      e.Angle = RandomByte(256);
      e.ParamB = ToByteAngle(Random(7) - 4);
      e.IntA = 0;
      e.HitPoints = 1;
      e.ScoreValue = 150;
      break;
    case 88:
      e.Height = 100;
      e.HitPoints = 9999999;
      e.ScoreValue = 0;
      e.IntA = 100;
      break;
    case 89:
      e.Height = 0;
      NoSolid(e);
      NoShoot(e);
      e.ScoreValue = 0;
      break;
    case 90:
      e.Height = 0;
      e.IntA = Wrap32(2 * int64_t{intB});
      NoShoot(e);
      e.ScoreValue = 1525;
      break;
    case 97:
      e.Radius = 21;
      e.Height = 0;
      e.IntC = 0;
      e.IntD = 0;
      e.ParamC = 0;
      NoShoot(e);
      e.ScoreValue = 2055;
      break;
    case 98:
      e.IntB = 0;
      e.IntC = 1;
      e.Height = 0;
      NoSolid(e);
      NoShoot(e);
      e.ScoreValue = 0;
      break;
    case 99:
      e.Angle = 128;
      e.ParamA = 128;
      e.ParamB = RandomByte(64);
      e.Height = 0;
      e.HitPoints = 100;
      break;
    case 101:
      e.Armoured = true;
      NoShoot(e);
      Box(e, 24, 96);
      e.ParamA = 0;
      e.ParamB = 0;
      e.IntA = 0;
      e.IntB = 0;
      e.IntC = 1;
      e.IntD = 0;
      e.IntE = 0;
      e.ScoreValue = 150000;
      break;
    case 102:
      e.Armoured = true;
      NoShoot(e);
      e.Radius = 64;
      e.ParamA = 0;
      e.ParamB = 0;
      e.IntA = 0;
      e.IntB = 0;
      e.IntC = 1;
      e.IntD = 0;
      e.IntE = 0;
      e.ScoreValue = 100000;
      break;
    case 103:
      e.IntC = 50 + Random(50);
      e.Radius = 20;
      e.Height = 0;
      e.ScoreValue = 15625;
      break;
    case 104:
      e.Armoured = true;
      e.Radius = 48;
      e.ParamA = 0;
      e.ScoreValue = 100000;
      break;
    case 105:
      e.Armoured = true;
      e.HitPoints = 400;
      NoShoot(e);
      e.Radius = 80;
      e.ParamA = 0;
      e.ParamB = 0;
      e.ParamC = 0;
      e.ScoreValue = 0;
      e.TopMargin = -1000;
      e.BottomMargin = 1000;
      break;
    case kKindMusicCue:
      game.MusicPlay(e.ParamA, e.ParamB, e.ParamC);
      e.Pickup = true;
      e.HitPoints = 1000;
      e.Y += 5000;  // gone through the bottom margin on the next update
      break;
    case 253:
      e.Radius = 32;
      e.Height = 0;
      break;
    case kKindShieldPickup:
      e.HitPoints = 10;
      e.Radius = 32;
      e.Pickup = true;
      break;
    case kKindPowerUp:
      e.HitPoints = 999999999;
      e.Radius = 16;
      e.Pickup = true;
      e.IntA = 64 + Random(191);
      e.IntB = 1 + Random(15);
      e.Height = 0;
      e.ParamC = 0;  // the power-up's sub-kind
      break;
    default: break;  // 0, 3, 5, 9, 12 and kinds without a row keep the defaults
  }
}

void AddTrackMark(Game& game, int32_t x, int32_t y, ByteAngle heading, const char* image) {
  Enemy_Add(game, x, y, heading, kKindTrackMark, 1, 0, 0, game.sn(image), 0, 0, 1);
}

// The children, each by a nested Enemy_Add once the parent's record is complete.
void AddChildren(Game& game, int32_t x, int32_t y, ByteAngle angle, int32_t kind, uint8_t paramA,
                 uint8_t paramB, uint8_t paramC, int32_t intA, int32_t intB, int32_t intC,
                 int32_t hitPoints, uint8_t trackSide) {
  switch (kind) {
    case 1:
    case 25:
      AddTrackMark(game, x, y, ToByteAngle(angle + trackSide), kind == 1 ? "tanktracks" : "jeeptracks");
      break;
    case 10: {
      // The carriages hang behind the engine and pass its speed down the line through
      // consecutive link slots.
      const int64_t step = paramA != 0 ? 96 : -96;
      for (int32_t i = 0; i < paramB; ++i) {
        const int32_t cx = Wrap32(x + step * (i + 1));
        const uint8_t look = RandomByte(2);
        Enemy_Add(game, cx, y, 0, 11, look, 0, 0, AddWrapped(intA, i), AddWrapped(intA, i + 1), 0, 4);
      }
      break;
    }
    case 31: {
      if (intC == 0) break;
      // A loopy chain: followers one behind the other along the heading, each turning
      // a little later (IntA) and toward a heading further round (ParamB).
      uint8_t runningB = ToByteAngle(intB + angle);
      int32_t runningA = intA;
      double fx = x;
      double fy = y;
      for (int32_t i = 0; i < intC; ++i) {
        fx = Round(fx - 64 * SinTable[angle]);
        fy = Round(fy + 64 * CosTable[angle]);
        runningB = ToByteAngle(runningB + intB);
        runningA = AddWrapped(runningA, 16);
        Enemy_Add(game, Round(fx), Round(fy), angle, 31, paramA, runningB,
                  paramC, runningA, intB, 0, hitPoints);
      }
      break;
    }
    case 32: {
      // A column of water things rising one after another.
      int32_t cy = y;
      uint8_t runningA = paramA;
      for (int32_t i = 0; i < paramC; ++i) {
        cy = AddWrapped(cy, -64);
        runningA = ToByteAngle(runningA - 8);
        Enemy_Add(game, x, cy, 128, 32, runningA, paramB, 0, intA, intB, intC, hitPoints);
      }
      break;
    }
    case 7:
    {
      const int32_t above = AddWrapped(y, -280);
      Enemy_Add(game, AddWrapped(x, -200), above, 0, 14, 0, 0, 0, 0, 0, 0, 1);
      Enemy_Add(game, AddWrapped(x, 200), above, 0, 14, 1, 0, 0, 0, 0, 0, 1);
      Enemy_Add(game, x, above, 0, 13, 0, 0, 0, 0, 0, 0, 1);
      Enemy_Add(game, x, above, 0, 13, 1, 0, 0, 0, 0, 0, 1);
    }
      break;
    default: break;
  }
}

}  // namespace

void Enemy_Add(Game& game, int32_t x, int32_t y, ByteAngle angle, int32_t kind, uint8_t paramA,
               uint8_t paramB, uint8_t paramC, int32_t intA, int32_t intB, int32_t intC,
               int32_t hitPoints) {
  game.EnemyList.emplace_back();
  EnemyRecord& e = game.EnemyList.back();
  e.X = x;
  e.Y = y;
  e.Angle = angle;
  e.Kind = kind;
  e.ParamA = paramA;
  e.ParamB = paramB;
  e.ParamC = paramC;
  e.IntA = intA;
  e.IntB = intB;
  e.IntC = intC;
  // Far below zero is as dead as can be; the floor keeps every later subtraction in range.
  e.HitPoints = std::max(hitPoints, kLowestHitPoints);
  // The rest are the defaults of a new record (enemies.h).
  if (kind == 0 || kind == 3 || kind == 5 || kind == 12) e.ParamA = RandomByte(256);  // rotor phase
  ApplyKind(game, e, x, y, intB);
  if (kind == 31 && intC != 0) e.ParamB = ToByteAngle(intB + angle);  // head of a loopy chain
  if (!e.Pickup && game.NukeTimer > 0 && game.NukeTimer < 32768) Damage(e, 50);
  const uint8_t trackSide = e.TrackSide;
  AddChildren(game, x, y, angle, kind, paramA, paramB, paramC, intA, intB, intC, hitPoints, trackSide);
}

void Enemy_NukeStrike(Game& game) {
  for (EnemyRecord& e : game.EnemyList)
    if (!e.Pickup && e.Shootable) Damage(e, 50);
  game.EnemyBullets.clear();
}

}  // namespace tarq

#include "game/players.h"

#include <cstdio>

#include "core/numeric.h"
#include "core/random.h"
#include "game/game.h"
#include "game/playing.h"

namespace tarq {

void ResetPlayerForProgramStart(PlayerRecord& player) { player = PlayerRecord{}; }

namespace {

// A fresh helicopter at the start position, shielded, with the basic weapon; lives,
// fire rate, nukes and score are the caller's to keep or reset.
void PlaceFreshHelicopter(PlayerRecord& p) {
  p.X = 320;
  p.Y = 340;
  p.VelX = 0;
  p.VelY = 0;
  p.Heading = 0;
  p.RotorAngle = ToByteAngle(Random(256));
  p.Altitude = 512;
  p.Energy = kFullEnergy;
  p.ShieldTime = 500;
  p.Armour = 0;
  p.WeaponLevel = 1;
  p.Spread = 0;
}

}  // namespace

void JoinPlayer(PlayerRecord& p) {
  p.Active = true;
  PlaceFreshHelicopter(p);
  p.Lives = 3;
  p.FireRate = 1;
  p.Nukes = 0;
  p.Colour = 0xFFFFFF;
  p.Score = 0;
}

void RollScoreText(PlayerRecord& p) {
  char padded[16];
  std::snprintf(padded, sizeof padded, "%08d", p.Score);
  // Only the first eight characters are shown; a longer score rolls its leading digits.
  for (size_t i = 0; i < p.ScoreText.size() && padded[i] != '\0'; ++i) {
    char& c = p.ScoreText[i];
    if (c != padded[i]) c = c == '0' ? '9' : static_cast<char>(c - 1);
  }
}

namespace {

// A hit tint returns to white in five steps, one per unpaused tick.
uint32_t FadeTint(uint32_t c) {
  if (c == 0xC0C0FF) return 0xFFFFFF;
  if (c == 0xA0A0FF) return 0xC0C0FF;
  if (c == 0x8080FF) return 0xA0A0FF;
  if (c == 0x6060FF) return 0x8080FF;
  if (c == 0x4040FF) return 0x6060FF;
  return c;
}

// Without a push either way a velocity decays by 0.2 per tick to exactly 0.
double Decay(double v) {
  if (v > 0) {
    v -= 0.2;
    if (v < 0) v = 0;
  } else {
    v += 0.2;
    if (v > 0) v = 0;
  }
  return v;
}

void Move(PlayerRecord& p, const ControlState& c) {
  p.Heading = 0;
  if (c.LeftHeld) p.VelX -= 0.5;
  if (c.RightHeld) p.VelX += 0.5;
  if (c.UpHeld) p.VelY -= 0.5;
  if (c.DownHeld) p.VelY += 0.5;
  if (!c.LeftHeld && !c.RightHeld) p.VelX = Decay(p.VelX);
  if (!c.UpHeld && !c.DownHeld) p.VelY = Decay(p.VelY);
  // The +-4 limit comes only after the move, so a held direction covers 4.5 pixels.
  p.X += p.VelX;
  p.Y += p.VelY;
}

// The nuke blast grows once per active player per tick; at its 64th step the blast
// wipes the explosions and leaves a crater on the ground.
void AdvanceNuke(Game& game) {
  if (game.NukeTimer > 0) game.NukeTimer += 256;
  if (game.NukeTimer > 16383) game.NukeBrightness -= 1;
  if (game.NukeBrightness < 1) game.NukeTimer = -1;
  if (game.NukeTimer == 16385) {
    game.Explosions.clear();
    Enemy_Add(game, game.NukeX, game.NukeY, 0, kKindTank, 0, 0, 255, 0, 0, 0, 0);
  }
}

void LaunchNuke(Game& game, PlayerRecord& p) {
  p.Nukes -= 1;
  game.NukeX = Round(p.X) + game.ScrollX;
  game.NukeY = Round(p.Y) + game.ScrollY;
  game.NukeTimer = 1;
  game.NukeBrightness = 255;
  game.Sound(9, game.NukeX, 100);
  Enemy_NukeStrike(game);
}

void Jump(PlayerRecord& p, const ControlState& c) {
  if (c.JumpPressed && p.Altitude == kGroundAltitude) p.ClimbSpeed = 50;
  p.Altitude += p.ClimbSpeed / 3;
  p.ClimbSpeed -= 1;
  if (p.Altitude < kGroundAltitude) p.Altitude = kGroundAltitude;
  if (p.ClimbSpeed < -256) p.ClimbSpeed = -256;
}

// From the tick the helicopter is destroyed: a big blast, scattered explosions for 40
// ticks, then off the screen; a lone player's view drifts back to the centre; with a
// life left it respawns after 226 ticks.
void Destruction(Game& game, PlayerRecord& p) {
  p.VelX = 0;
  p.VelY = 0;
  if (p.DeathTimer == 0) {
    p.Lives -= 1;
    for (int32_t delay = 1; delay <= 3; ++delay)
      Explosion_Add(game, Round(p.X), Round(p.Y), 2048, delay);
  }
  if (p.DeathTimer > 39) {
    p.Y = 10000;
  } else if (p.DeathTimer % 3 == 0) {
    const int32_t ex = Random(128) + Round(p.X) - 64;
    const int32_t ey = Random(128) + Round(p.Y) - 64;
    const int32_t scale = Random(512) + 512;
    Explosion_Add(game, ex, ey, scale, Random(2) + 1);
    if (p.DeathTimer % 12 == 0) {
      const int32_t sample = Random(2) + 1;
      game.Sound(sample, ex * 11 / 10, 100);
    }
  }
  if (p.DeathTimer > 40 && p.DeathTimer % 6 == 0 && p.Lives >= 0) {
    if (game.ScrollX > 32) game.ScrollX -= 1;
    else if (game.ScrollX < 32) game.ScrollX += 1;
    p.X = 10.0 * game.ScrollX;
  }
  p.DeathTimer += 1;
  if (p.DeathTimer > 225 && p.Lives >= 0) PlaceFreshHelicopter(p);
}

}  // namespace

void UpdatePlayer(Game& game, int32_t index) {
  PlayerRecord& p = game.Players[static_cast<size_t>(index)];
  const ControlState& c = game.Controls[static_cast<size_t>(index)];
  const bool paused = game.Paused;

  // 1. Invulnerability sparkle.
  if (!paused && (p.ShieldTime & 15) == 15) {
    const auto angle = ToByteAngle(Random(256));
    const auto spin = ToByteAngle(Random(4) - 2);
    Flare_Add(game, Round(p.X), Round(p.Y), 1024, -32, angle, spin, 255, 255, 32);
  }
  // 2. Hit tint fade.
  if (!paused) p.Colour = FadeTint(p.Colour);
  // 3. Firing.
  if (!paused && c.FireHeld && p.FireCounter == 0 && p.Energy > 0) {
    game.Sound(0, Round(p.X) + game.ScrollX, 100);
    FireVolley(game, index);
  }
  // 4. The fire counter runs on after Fire is let go, so tapping is no faster than holding.
  if (!paused && (c.FireHeld || p.FireCounter != 0)) p.FireCounter += 1;
  if (p.FireCounter > 22 - 3 * p.FireRate) p.FireCounter = 0;
  // 5. Invulnerability.
  if (!paused) p.ShieldTime -= 1;
  if (p.ShieldTime < 1) p.ShieldTime = 0;
  // 6. Armour drains; running out grants a short shield.
  if (!paused && game.TickCount % 34 == 0) {
    p.Armour -= 1;
    if (p.Armour == 0) p.ShieldTime += 225;
  }
  if (p.Armour < 0) p.Armour = 0;
  // 7. - 10. Movement, screen edges, rotor, speed limit.
  if (!paused) Move(p, c);
  if (p.Energy > 0) {
    p.X = Clamp(p.X, 0.0, 639.0);
    p.Y = Clamp(p.Y, 0.0, 479.0);
  }
  if (!paused) p.RotorAngle = ToByteAngle(p.RotorAngle + 8);
  p.VelX = Clamp(p.VelX, -4.0, 4.0);
  p.VelY = Clamp(p.VelY, -4.0, 4.0);
  // 11. Nuke progress (once per active player, so two players run it twice as fast).
  if (!paused) AdvanceNuke(game);
  // 12. Nuke launch; holding Nuke launches the next as soon as the last has ended.
  if (c.NukeHeld && game.NukeTimer == -1 && p.Nukes >= 1 && p.Energy > 0) LaunchNuke(game, p);
  // 13. Jump.
  if (!paused) Jump(p, c);
  // 14. Pause: the same toggle as the Escape key.
  if (c.PausePressed) {
    game.InGameMenuOpen = !game.InGameMenuOpen;
    game.Paused = game.InGameMenuOpen;
  }
  // 15. - 16. Alive: the death timer rests; energy regenerates one point per 75 ticks.
  if (p.Energy > 0) p.DeathTimer = 0;
  if (game.TickCount % 75 == 0 && p.Energy > 0 && p.Energy < kFullEnergy) p.Energy += 1;
  // 17. Destruction runs on while paused, so respawn and exit come on time.
  if (p.Energy < 1) Destruction(game, p);
  // 18. - 19. Out of lives: leave the run; the last one out ends it.
  if (p.Lives < 0 && p.DeathTimer > 450) p.Active = false;
  if (!game.Players[0].Active && !game.Players[1].Active) EndRun(game);
}

}  // namespace tarq

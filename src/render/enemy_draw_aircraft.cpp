// Drawing of the aircraft and other fliers: a shadow in the shadow pass, the body in
// the air pass (some in other passes too), rotors turning with their phase.
#include "core/angles.h"
#include "core/numeric.h"
#include "game/game.h"
#include "render/enemy_draw.h"
#include "render/frame.h"

namespace tarq {

namespace {

constexpr uint32_t kShadowColour = 0;
constexpr int32_t kShadowScale = 192;

ImageRef Sprite(EnemyDrawContext& c, std::string_view name) {
  return ImageRef::Sprite(c.canvas.SpriteIndex(name));
}

// Angle - 64 wrapped: images drawn nose-right turned to the heading.
int32_t QuarterBack(int32_t angle) { return (angle + 192) & 255; }

// --- Helicopters: body offset along the heading, rotor on the centre ---------------------

struct HelicopterLook {
  const char* Image;
  int32_t ShadowOffset;  // k1
  int32_t BodyOffset;    // k2
  bool PatternFromB;     // body pattern PB div 8 (else 0)
};

void DrawHelicopter(EnemyDrawContext& c, const HelicopterLook& look) {
  if (c.E.Dead) return;
  const ImageRef body = Sprite(c, look.Image);
  const ImageRef rotors = Sprite(c, "rotors1");
  const double cosQ = CosTable[static_cast<size_t>(c.Q)];
  const double sinQ = SinTable[static_cast<size_t>(c.Q)];
  if (c.Pass == EnemyPass::Shadows) {
    c.canvas.DrawImageRotatedColored(body, c.X + c.S - Round(look.ShadowOffset * cosQ),
                                     c.Y + c.S - Round(look.ShadowOffset * sinQ), c.H, kShadowScale,
                                     kShadowColour, 0, kEffectAlpha);
    c.canvas.DrawImageRotated(rotors, c.X + c.S, c.Y + c.S, c.E.ParamA, kShadowScale, 0, kEffectDarken);
  } else if (c.Pass == EnemyPass::Air) {
    const int32_t pattern = look.PatternFromB ? c.E.ParamB / 8 : 0;
    c.canvas.DrawImageRotatedColored(body, c.X - Round(look.BodyOffset * cosQ), c.Y - Round(look.BodyOffset * sinQ),
                                     c.H, 256, c.E.Colour, pattern, kEffectAlpha);
    c.canvas.DrawImageRotated(rotors, c.X, c.Y, c.E.ParamA, 256, 0, kEffectDarken);
  }
}

void DrawHelicopter0(EnemyDrawContext& c) { DrawHelicopter(c, {"hele0", 6, 8, false}); }
void DrawHelicopter3(EnemyDrawContext& c) { DrawHelicopter(c, {"hele1", 6, 8, true}); }
void DrawHelicopter12(EnemyDrawContext& c) { DrawHelicopter(c, {"hele3", 12, 16, false}); }
void DrawHelicopter18(EnemyDrawContext& c) { DrawHelicopter(c, {"hele4", 6, 8, true}); }

// Kind 5 is centred and always drawn pointing right.
void DrawHelicopter5(EnemyDrawContext& c) {
  if (c.E.Dead) return;
  const ImageRef body = Sprite(c, "hele2");
  const ImageRef rotors = Sprite(c, "rotors1");
  if (c.Pass == EnemyPass::Shadows) {
    c.canvas.DrawImageRotatedColored(body, c.X + c.S, c.Y + c.S, 64, kShadowScale, kShadowColour, 0, kEffectAlpha);
    c.canvas.DrawImageRotated(rotors, c.X + c.S, c.Y + c.S, c.E.ParamA, kShadowScale, 0, kEffectDarken);
  } else if (c.Pass == EnemyPass::Air) {
    c.canvas.DrawImageRotatedColored(body, c.X, c.Y, 64, 256, c.E.Colour, c.E.ParamB / 8, kEffectAlpha);
    c.canvas.DrawImageRotated(rotors, c.X, c.Y, c.E.ParamA, 256, 0, kEffectDarken);
  }
}

// --- Single-image fliers -----------------------------------------------------------------

struct FlierLook {
  int32_t Angle;
  int32_t ShadowScale;
  int32_t ShadowPattern;
  int32_t BodyScale;
  uint32_t BodyColour;
  int32_t BodyPattern;
};

// The shadow in the shadow pass; the body in the air pass (and in the wrecks pass too
// when `alsoInWrecks`).
void DrawFlier(EnemyDrawContext& c, std::string_view name, const FlierLook& look, bool alsoInWrecks = false) {
  if (c.E.Dead) return;
  const ImageRef image = Sprite(c, name);
  if (c.Pass == EnemyPass::Shadows) {
    c.canvas.DrawImageRotatedColored(image, c.X + c.S, c.Y + c.S, look.Angle, look.ShadowScale, kShadowColour,
                                     look.ShadowPattern, kEffectAlpha);
  } else if (c.Pass == EnemyPass::Air || (alsoInWrecks && c.Pass == EnemyPass::Wrecks)) {
    c.canvas.DrawImageRotatedColored(image, c.X, c.Y, look.Angle, look.BodyScale, look.BodyColour, look.BodyPattern,
                                     kEffectAlpha);
  }
}

FlierLook Plain(EnemyDrawContext& c, int32_t angle, int32_t pattern = 0) {
  return {angle, kShadowScale, pattern, 256, c.E.Colour, pattern};
}

void DrawMissile(EnemyDrawContext& c) {
  FlierLook look = Plain(c, c.H);
  look.BodyScale = 255;
  DrawFlier(c, "missile1", look, true);
}
void DrawPlane(EnemyDrawContext& c) { DrawFlier(c, "lockheed", Plain(c, 64)); }
void DrawBat(EnemyDrawContext& c) { DrawFlier(c, "bat1", Plain(c, 64, c.E.ParamB)); }
void DrawSpinner(EnemyDrawContext& c) { DrawFlier(c, "alienspin", Plain(c, 64, c.E.ParamC)); }
void DrawRobot(EnemyDrawContext& c) { DrawFlier(c, "xbot", Plain(c, 64, c.E.ParamA)); }
void DrawLoopy(EnemyDrawContext& c) { DrawFlier(c, "loopy", Plain(c, c.H, c.E.ParamA)); }
void DrawAlien(EnemyDrawContext& c) { DrawFlier(c, "alien2", Plain(c, QuarterBack(c.H), c.E.ParamA)); }
void DrawLavaBomb(EnemyDrawContext& c) { DrawFlier(c, "lavabomb", Plain(c, c.H)); }

void DrawFloatPlane(EnemyDrawContext& c) {
  FlierLook look = Plain(c, 64);
  look.ShadowScale = 256 - c.S;
  DrawFlier(c, "floatplane", look);
}

// Kind 16 pulses red: its glow pattern added in a red of intensity ParamA.
void DrawFloatingBomb(EnemyDrawContext& c) {
  DrawFlier(c, "bulletbomb", Plain(c, 64));
  if (c.E.Dead || c.Pass != EnemyPass::Air) return;
  c.canvas.DrawImageRotatedColored(Sprite(c, "bulletbomb"), c.X, c.Y, 64, 256, c.E.ParamA, 1, kEffectSquareAdd);
}

// Kind 29 glows in the colour its behaviour keeps in IntB, added three times.
void DrawMine(EnemyDrawContext& c) {
  DrawFlier(c, "mine", Plain(c, 64));
  if (c.E.Dead || c.Pass != EnemyPass::Air) return;
  const ImageRef image = Sprite(c, "mine");
  for (int32_t k = 0; k < 3; ++k)
    c.canvas.DrawImageRotatedColored(image, c.X, c.Y, 64, 256, static_cast<uint32_t>(c.E.IntB), 1, kEffectAlphaAdd);
}

// Kind 97 rises out of the big tank: black and half size at first, full size and
// colour once ParamC reaches 255.
void DrawBigTankFlier(EnemyDrawContext& c) {
  const int32_t pc = c.E.ParamC;
  FlierLook look = Plain(c, QuarterBack(c.H));
  look.BodyColour = pc == 255 ? c.E.Colour : static_cast<uint32_t>(pc) * 0x010101u;
  look.BodyScale = 256 - (255 - pc) / 2;
  DrawFlier(c, "bigtankflier", look);
}

// Kind 39: a small goose with its rotor above it.
void DrawSmallGoose(EnemyDrawContext& c) {
  if (c.E.Dead) return;
  const ImageRef body = Sprite(c, "goose2");
  const ImageRef rotors = Sprite(c, "rotors1");
  if (c.Pass == EnemyPass::Shadows) {
    c.canvas.DrawImageRotatedColored(body, c.X + c.S, c.Y + c.S, 64, kShadowScale, kShadowColour, 0, kEffectAlpha);
    c.canvas.DrawImageRotated(rotors, c.X + c.S, c.Y + c.S - 18, c.E.ParamC, kShadowScale, 0, kEffectDarken);
  } else if (c.Pass == EnemyPass::Air) {
    c.canvas.DrawImageRotatedColored(body, c.X, c.Y, 64, 256, c.E.Colour, 0, kEffectAlpha);
    c.canvas.DrawImageRotated(rotors, c.X, c.Y - 24, c.E.ParamC, 256, 0, kEffectDarken);
  }
}

// Kind 17 is a ground unit while it taxis (Height below 256; 0 counts as 256) and an
// aircraft once it flies; shot down on the ground it leaves a big crater.
void DrawBigPlane(EnemyDrawContext& c) {
  const int32_t e = c.E.Height == 0 ? 256 : c.E.Height;
  const ImageRef image = Sprite(c, "bigplane");
  const int32_t pa = c.E.ParamA;
  if (c.E.Dead) {
    if (c.Pass == EnemyPass::Wrecks && e < 256)
      c.canvas.DrawImageRotated(Sprite(c, "crater01"), c.X, c.Y, 64, 512, pa, kEffectAlpha);
    return;
  }
  if (c.Pass == EnemyPass::Shadows) {
    c.canvas.DrawImageRotatedColored(image, c.X + c.S, c.Y + c.S, c.H, 256, kShadowColour, pa, kEffectAlpha);
    return;
  }
  const bool bodyPass = e < 256 ? c.Pass == EnemyPass::Ground
                                : (c.Pass == EnemyPass::Wrecks || c.Pass == EnemyPass::Air);
  if (bodyPass) c.canvas.DrawImageRotatedColored(image, c.X, c.Y, c.H, 256, c.E.Colour, pa, kEffectAlpha);
}

// Kind 42: the sea mine's shadow shrinks as it falls; its body is drawn with the
// ground units.
void DrawSeaMine(EnemyDrawContext& c) {
  if (c.E.Dead) return;
  const ImageRef image = Sprite(c, "seamine");
  if (c.Pass == EnemyPass::Shadows)
    c.canvas.DrawImageRotatedColored(image, c.X + c.S, c.Y + c.S, 64, 256 - c.S, kShadowColour, 0, kEffectAlpha);
  else if (c.Pass == EnemyPass::Ground)
    c.canvas.DrawImageRotatedColored(image, c.X, c.Y, 64, 256, c.E.Colour, 0, kEffectAlpha);
}

}  // namespace

void RegisterAircraftDrawers(EnemyDrawTable& table) {
  table[0] = DrawHelicopter0;
  table[2] = DrawMissile;
  table[3] = DrawHelicopter3;
  table[5] = DrawHelicopter5;
  table[8] = DrawPlane;
  table[9] = DrawBat;
  table[12] = DrawHelicopter12;
  table[16] = DrawFloatingBomb;
  table[17] = DrawBigPlane;
  table[18] = DrawHelicopter18;
  table[24] = DrawSpinner;
  table[29] = DrawMine;
  table[30] = DrawRobot;
  table[31] = DrawLoopy;
  table[38] = DrawAlien;
  table[39] = DrawSmallGoose;
  table[41] = DrawFloatPlane;
  table[42] = DrawSeaMine;
  table[45] = DrawLavaBomb;
  table[97] = DrawBigTankFlier;
}

}  // namespace tarq

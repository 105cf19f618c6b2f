#pragma once
// Set pieces: structures larger than a tile (fortresses, runway, bunkers, silos, the
// final arena), painted as one picture in piece-local pixels and cut into tiles.
// The geometry here is what the enemy schedule relies on, so the level plan records
// every placed piece's key points in map pixels from these numbers.
#include <string>
#include <vector>

#include <cairo.h>

namespace tarq::forge {

struct SetPieceLayout {
  std::string name;
  int cols = 0;
  int rows = 0;
  void (*ground)(cairo_t*) = nullptr;   // layer 2 decal; may be null
  void (*overlay)(cairo_t*) = nullptr;  // layer 3 overlay; may be null
};

const std::vector<SetPieceLayout>& SetPieceLayouts();
const SetPieceLayout& FindSetPiece(const std::string& name);

// Local geometry, in pixels from the piece's top-left corner.
namespace piece {
// First fortress: the fortress record sits at (kFortressX, kFortressY); its two door
// windows (65 x 129) are 124 px left of and 64 px right of it, 120 px above.
constexpr int kFortressCols = 9, kFortressRows = 5;
constexpr int kFortressX = 288, kFortressY = 160;
// Runway: north-south strip centred on kRunwayX; the diagonal taxiway leaves the apron
// at (kTaxiStartX, kTaxiStartY) heading down-left.
constexpr int kRunwayCols = 6, kRunwayRows = 24;
constexpr int kRunwayX = 128, kRunwayHalfWidth = 56;
constexpr int kTaxiStartX = 368, kTaxiStartY = 40;
// Airstrip: east-west take-off strip on the centre line kAirstripY; planes start at
// kAirstripStartX and leave to the east.
constexpr int kAirstripCols = 11, kAirstripRows = 1;
constexpr int kAirstripY = 32, kAirstripStartX = 72;
// Tech bunkers: door window 40 x 57 centred on (kBunkerDoorX*, kBunkerDoorY).
constexpr int kBunkerCols = 3, kBunkerRows = 2;
constexpr int kBunkerDoorXEast = 160, kBunkerDoorXWest = 32, kBunkerDoorY = 64;
// Silo pad for a dome: dome centre at (kSiloX, kSiloY).
constexpr int kSiloCols = 2, kSiloRows = 2;
constexpr int kSiloX = 64, kSiloY = 64;
// Second fortress (citadel) and its four cannon pads.
constexpr int kCitadelCols = 5, kCitadelRows = 4;
constexpr int kCitadelX = 160, kCitadelY = 128;
constexpr int kCitadelCannons[4][2] = {{34, 52}, {286, 52}, {26, 196}, {294, 196}};
// Sliding platform track: the platform runs along y = kTrackY between x 128 and 575.
constexpr int kTrackCols = 11, kTrackRows = 2;
constexpr int kTrackY = 64;
// Final arena: 16 rows, the boss locks at (kArenaBossX, kArenaBossY).
constexpr int kArenaCols = 11, kArenaRows = 16;
constexpr int kArenaBossX = 352, kArenaBossY = 328;
}  // namespace piece

}  // namespace tarq::forge

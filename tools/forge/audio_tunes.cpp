// The nine tunes of the game, in track order. Each names its key, groove, sound
// and form; the composer writes the notes.
#include "audio_composer.h"
#include "audio_forge.h"

namespace tarq::forge {
namespace {

using namespace music;

constexpr std::array<int, 7> kIonian = {0, 2, 4, 5, 7, 9, 11};
constexpr std::array<int, 7> kDorian = {0, 2, 3, 5, 7, 9, 10};
constexpr std::array<int, 7> kPhrygian = {0, 1, 3, 5, 7, 8, 10};
constexpr std::array<int, 7> kAeolian = {0, 2, 3, 5, 7, 8, 10};
constexpr std::array<int, 7> kHarmonicMinor = {0, 2, 3, 5, 7, 8, 11};
constexpr std::array<int, 7> kPhrygianDominant = {0, 1, 4, 5, 7, 8, 10};

constexpr uint32_t kBreakdown = kPadOn | kArpOn | kLeadOn | kBassOn | kEchoOn;

// A level tune's form: intro, A A B B A A, a breakdown, B, A an octave up, outro;
// `long` adds another B and A pass for faster tempos.
std::vector<Section> LevelForm(uint32_t extra, bool longer) {
  std::vector<Section> form = {
      {'I', 3, kPadOn | kArpOn | kBassOn | kDrumsOn | kHatsOnly, 1},
      {'A', 0, kAll | kCrashIn | extra, 2},
      {'B', 1, kAll | kFillEnd | extra, 2},
      {'A', 0, kAll | kCrashIn | extra, 2},
      {'C', 2, kBreakdown, 2},
      {'B', 1, kAll | kPerc | kFillEnd | extra, 2},
  };
  if (longer) {
    form.push_back({'A', 0, kAll | kCrashIn | extra, 2});
    form.push_back({'B', 1, kAll | kFillEnd | extra, 2});
  }
  form.push_back({'A', 0, kAll | kCrashIn | kLeadUp | extra, 2});
  form.push_back({'O', 3, kDrumsOn | kBassOn | kPadOn | kArpOn | kFillEnd, 1});
  return form;
}

}  // namespace

std::vector<xm::Module> ComposeTunes() {
  const std::vector<xm::Instrument> instruments = BuildInstruments();
  std::vector<Tune> tunes;

  // 0: title and intro. Orders 0-6 build up from pads to a drum roll and riser;
  // order 7 lands the theme with a crash for the logo; the end loops to order 7.
  tunes.push_back({"Skybreak", 1001, 50, kAeolian, 132, Drums::kRock, Bass::kOctaves, Arp::kUpDown,
                   kInstLeadPulse, kInstBass, kInstPad, kInstPluck, 1,
                   {{0, 5, 2, 6}, {3, 4, 5, 6}, {5, 3, 0, 4}, {5, 6, 6, 6}},
                   {
                       {'I', 0, kPadOn | kArpOn, 1},
                       {'I', 0, kPadOn | kArpOn | kBassOn | kDrumsOn | kHatsOnly, 1},
                       {'J', 1, kPadOn | kArpOn | kBassOn | kLeadOn | kEchoOn | kDrumsOn | kHatsOnly, 2},
                       {'K', 2, kPadOn | kArpOn | kBassOn | kDrumsOn, 1},
                       {'K', 2, kPadOn | kArpOn | kBassOn | kDrumsOn | kLeadOn, 1},
                       {'R', 3, kPadOn | kBassOn | kDrumsOn | kFillEnd | kRiserEnd, 1},
                       {'A', 0, kAll | kCrashIn, 2},
                       {'B', 1, kAll | kPerc | kFillEnd, 2},
                       {'C', 2, kBreakdown, 2},
                       {'A', 0, kAll | kCrashIn | kLeadUp, 2},
                       {'B', 1, kAll | kFillEnd, 2},
                   },
                   7});
  // 1: the calm first section.
  tunes.push_back({"First Light", 1101, 55, kIonian, 104, Drums::kSparse, Bass::kWalking, Arp::kUpDown,
                   kInstLeadPulse, kInstBass, kInstPad, kInstPluck, 0,
                   {{0, 4, 5, 3}, {3, 0, 1, 4}, {5, 3, 0, 4}, {3, 4, 0, 0}}, LevelForm(0, false), 0});
  // 2: the sea: dorian, half-time, bell lead over rolling arpeggios.
  tunes.push_back({"Salt and Rotors", 1201, 52, kDorian, 112, Drums::kHalfTime, Bass::kSyncopated, Arp::kBroken,
                   kInstBell, kInstBass, kInstPad, kInstPluck, 1,
                   {{0, 3, 0, 3}, {6, 3, 0, 4}, {5, 6, 0, 0}, {3, 4, 0, 0}}, LevelForm(0, false), 0});
  // 3: the industrial works: phrygian, four to the floor, clanking metal.
  tunes.push_back({"Foundry Row", 1301, 52, kPhrygian, 138, Drums::kFourFloor, Bass::kDriving, Arp::kUp,
                   kInstLeadBrass, kInstBass, kInstPad, kInstPluck, 2,
                   {{0, 1, 0, 6}, {3, 4, 1, 0}, {5, 1, 0, 0}, {1, 1, 0, 0}}, LevelForm(kPerc, true), 0});
  // 4: the airbase: a march beat under a bright lead.
  tunes.push_back({"Runway Zero", 1401, 45, kAeolian, 144, Drums::kMarch, Bass::kOctaves, Arp::kUp,
                   kInstLeadPulse, kInstBass, kInstPad, kInstPluck, 2,
                   {{0, 6, 5, 6}, {2, 6, 0, 4}, {5, 6, 0, 0}, {3, 4, 5, 6}}, LevelForm(0, true), 0});
  // 5: the alien crash site: phrygian dominant, sparse, bells and sub bass.
  tunes.push_back({"Strange Signals", 1501, 54, kPhrygianDominant, 100, Drums::kSparse, Bass::kHeld, Arp::kBroken,
                   kInstBell, kInstSubBass, kInstPad, kInstBell, 0,
                   {{0, 1, 0, 6}, {3, 1, 0, 0}, {5, 4, 1, 0}, {1, 0, 1, 0}}, LevelForm(0, false), 0});
  // 6: the fortresses: harmonic minor at a gallop.
  tunes.push_back({"Iron Citadel", 1601, 53, kHarmonicMinor, 152, Drums::kBreakbeat, Bass::kDriving, Arp::kUpDown,
                   kInstLeadBrass, kInstBass, kInstPad, kInstPluck, 2,
                   {{0, 5, 3, 4}, {0, 1, 0, 4}, {5, 3, 1, 4}, {3, 4, 0, 0}}, LevelForm(kPerc, true), 0});
  // 7: the final boss and the ending: organ over a driving rock beat.
  tunes.push_back({"Last Stand", 1701, 48, kHarmonicMinor, 148, Drums::kRock, Bass::kOctaves, Arp::kUp,
                   kInstOrgan, kInstBass, kInstPad, kInstPluck, 1,
                   {{0, 5, 3, 4}, {5, 3, 0, 4}, {2, 5, 3, 4}, {0, 3, 4, 0}}, LevelForm(kPerc, true), 0});
  // 8: the volcano: low phrygian, half-time with toms.
  tunes.push_back({"Magma Fields", 1801, 49, kPhrygian, 126, Drums::kHalfTime, Bass::kDriving, Arp::kBroken,
                   kInstLeadBrass, kInstSubBass, kInstPad, kInstPluck, 1,
                   {{0, 5, 1, 0}, {3, 1, 4, 0}, {5, 6, 1, 0}, {1, 0, 1, 0}}, LevelForm(kPerc, false), 0});

  std::vector<xm::Module> modules;
  for (const Tune& t : tunes) modules.push_back(Compose(t, instruments));
  return modules;
}

}  // namespace tarq::forge

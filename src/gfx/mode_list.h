#pragma once
// Full-screen display modes: TModeList holds the modes of one size and depth that the
// display offers, and picks one for a refresh-rate choice.
#include <cstdint>
#include <memory>
#include <vector>

namespace tarq {

// TRefreshRate
enum TRefreshRate : int32_t {
  rr_default = 0,
  rr_lowest = 1,
  rr_average = 2,
  rr_higher = 3,
  rr_highest = 4,
  rr_custom = 5,
};

// Display-format codes of modes (the same numbering as texture formats).
enum : int32_t {
  kDisplayA8R8G8B8 = 21,
  kDisplayX8R8G8B8 = 22,
  kDisplayR5G6B5 = 23,
  kDisplayX1R5G5B5 = 24,
};

struct DisplayMode {
  int32_t Width = 0;
  int32_t Height = 0;
  int32_t RefreshRate = 0;
  int32_t Format = 0;  // display-format code, 0 when the display's format has none
};

// Where modes come from: SDL for the game, a fixed list for tests.
class DisplayModeSource {
 public:
  virtual ~DisplayModeSource() = default;
  // Number of modes of the first display; false when they cannot be read.
  virtual bool ModeCount(int32_t& count) = 0;
  virtual bool Mode(int32_t index, DisplayMode& mode) = 0;
  virtual bool CurrentMode(DisplayMode& mode) = 0;
};

// The modes SDL reports for display 0 (needs SDL's video subsystem).
class SdlDisplayModeSource : public DisplayModeSource {
 public:
  bool ModeCount(int32_t& count) override;
  bool Mode(int32_t index, DisplayMode& mode) override;
  bool CurrentMode(DisplayMode& mode) override;
};

// Maps an SDL pixel format (SDL_PixelFormatEnum) to a display-format code, 0 if none.
int32_t DisplayFormatFromSdl(uint32_t sdl_format);

struct TModeRecord {
  int32_t Width = 0;
  int32_t Height = 0;
  int32_t RefreshRate = -1;
  int32_t Format = 0;
  TModeRecord* Next = nullptr;
};

class TModeList {
 public:
  explicit TModeList(int32_t custom_refresh_rate = 0) : CustomRefreshRate(custom_refresh_rate) {}
  ~TModeList();
  TModeList(const TModeList&) = delete;
  TModeList& operator=(const TModeList&) = delete;

  int32_t CustomRefreshRate = 0;

  // Clears the list, then adds every mode of exactly width x height whose format has
  // the depth (16: X1R5G5B5, R5G6B5; 32: X8R8G8B8, A8R8G8B8). False when the modes
  // cannot be read (the list is then empty).
  bool Enumerate(DisplayModeSource& source, int32_t width, int32_t height, int32_t depth);
  // Puts a new record at the head of the list.
  void Add(int32_t width, int32_t height, int32_t format, int32_t refresh_rate);
  int32_t Count() const;
  void Clear();
  // Falling refresh rate; equal rates keep their order.
  void SortByRefreshRate();
  // Sorts, then picks the mode for the choice; null for an empty list.
  TModeRecord* SelectMode(TRefreshRate choice);

  TModeRecord* First() const { return head_; }

 private:
  TModeRecord* head_ = nullptr;
};

}  // namespace tarq

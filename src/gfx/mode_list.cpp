#include "gfx/mode_list.h"

#include <SDL.h>

namespace tarq {

int32_t DisplayFormatFromSdl(uint32_t sdl_format) {
  switch (sdl_format) {
    case SDL_PIXELFORMAT_ARGB8888: return kDisplayA8R8G8B8;
    case SDL_PIXELFORMAT_RGB888: return kDisplayX8R8G8B8;  // XRGB8888
    case SDL_PIXELFORMAT_RGB565: return kDisplayR5G6B5;
    case SDL_PIXELFORMAT_RGB555: return kDisplayX1R5G5B5;  // XRGB1555
    default: return 0;
  }
}

namespace {
bool FromSdl(const SDL_DisplayMode& m, DisplayMode& mode) {
  mode.Width = m.w;
  mode.Height = m.h;
  mode.RefreshRate = m.refresh_rate;
  mode.Format = DisplayFormatFromSdl(m.format);
  return true;
}
}  // namespace

bool SdlDisplayModeSource::ModeCount(int32_t& count) {
  if (SDL_WasInit(SDL_INIT_VIDEO) == 0) return false;
  const int n = SDL_GetNumDisplayModes(0);
  if (n < 0) return false;
  count = n;
  return true;
}

bool SdlDisplayModeSource::Mode(int32_t index, DisplayMode& mode) {
  SDL_DisplayMode m;
  if (SDL_GetDisplayMode(0, index, &m) != 0) return false;
  return FromSdl(m, mode);
}

bool SdlDisplayModeSource::CurrentMode(DisplayMode& mode) {
  if (SDL_WasInit(SDL_INIT_VIDEO) == 0) return false;
  SDL_DisplayMode m;
  if (SDL_GetCurrentDisplayMode(0, &m) != 0) return false;
  return FromSdl(m, mode);
}

TModeList::~TModeList() { Clear(); }

void TModeList::Clear() {
  while (head_ != nullptr) {
    TModeRecord* next = head_->Next;
    delete head_;
    head_ = next;
  }
}

void TModeList::Add(int32_t width, int32_t height, int32_t format, int32_t refresh_rate) {
  auto* record = new TModeRecord;
  record->Width = width;
  record->Height = height;
  record->Format = format;
  record->RefreshRate = refresh_rate;
  record->Next = head_;
  head_ = record;
}

int32_t TModeList::Count() const {
  int32_t n = 0;
  for (const TModeRecord* r = head_; r != nullptr; r = r->Next) ++n;
  return n;
}

bool TModeList::Enumerate(DisplayModeSource& source, int32_t width, int32_t height,
                          int32_t depth) {
  Clear();
  int32_t count = 0;
  if (!source.ModeCount(count)) return false;
  for (int32_t i = 0; i < count; ++i) {
    DisplayMode m;
    if (!source.Mode(i, m)) {
      Clear();
      return false;
    }
    if (m.Width != width || m.Height != height) continue;
    const bool match16 = m.Format == kDisplayX1R5G5B5 || m.Format == kDisplayR5G6B5;
    const bool match32 = m.Format == kDisplayX8R8G8B8 || m.Format == kDisplayA8R8G8B8;
    if ((depth == 16 && match16) || (depth == 32 && match32)) {
      Add(m.Width, m.Height, m.Format, m.RefreshRate);
    }
  }
  return true;
}

void TModeList::SortByRefreshRate() {
  if (head_ == nullptr || head_->Next == nullptr) return;
  bool swapped = true;
  while (swapped) {
    swapped = false;
    TModeRecord** link = &head_;
    while ((*link)->Next != nullptr) {
      TModeRecord* a = *link;
      TModeRecord* b = a->Next;
      if (a->RefreshRate < b->RefreshRate) {
        a->Next = b->Next;
        b->Next = a;
        *link = b;
        swapped = true;
      }
      link = &(*link)->Next;
    }
  }
}

TModeRecord* TModeList::SelectMode(TRefreshRate choice) {
  const int32_t count = Count();
  if (count == 0) return nullptr;
  SortByRefreshRate();
  auto at = [this](int32_t index) {
    TModeRecord* r = head_;
    for (int32_t i = 0; i < index && r->Next != nullptr; ++i) r = r->Next;
    return r;
  };
  switch (choice) {
    case rr_average: return at(count / 2);
    case rr_higher: return at(count >= 3 ? 1 : 0);
    case rr_highest: return at(0);
    case rr_custom:
      for (TModeRecord* r = head_; r != nullptr; r = r->Next) {
        if (r->RefreshRate == CustomRefreshRate) return r;
      }
      return at(count - 1);
    case rr_default:
    case rr_lowest:
    default: return at(count - 1);
  }
}

}  // namespace tarq

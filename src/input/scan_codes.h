#pragma once
// Mapping from SDL scancodes (USB HID usage codes) to PC set-1 scan codes, the codes
// that key bindings are written in (extended keys + 0x80, so Cursor Up is 0xC8).
#include <cstdint>

namespace tarq {

// The set-1 code of an SDL scancode, or 0 when the key has none.
uint8_t SetOneFromSdlScancode(int sdlScancode);

}  // namespace tarq

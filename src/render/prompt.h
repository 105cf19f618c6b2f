#pragma once
// The frame shown while a control is being redefined: it stays on screen, with no
// other frame drawn, until the player has pressed and released a key or button.
#include "render/text.h"

namespace tarq {

void DrawRedefinePrompt(const TextContext& ctx);

}  // namespace tarq

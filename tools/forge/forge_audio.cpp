#include "forge.h"

namespace tarq::forge {

// Placeholder until this content family is written.
void ForgeAudio(const ForgeContext&) {}

}  // namespace tarq::forge

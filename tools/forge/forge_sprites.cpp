#include "forge.h"

namespace tarq::forge {

// Placeholder until this content family is written.
void ForgeSprites(const ForgeContext&) {}

}  // namespace tarq::forge

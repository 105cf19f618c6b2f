#include "forge.h"

namespace tarq::forge {

// Placeholder until this content family is written.
void ForgeLevel(const ForgeContext&) {}

}  // namespace tarq::forge

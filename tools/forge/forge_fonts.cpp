#include "forge.h"

namespace tarq::forge {

// Placeholder until this content family is written.
void ForgeFonts(const ForgeContext&) {}

}  // namespace tarq::forge

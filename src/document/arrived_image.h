#pragma once

#include "model/band.h"
#include "model/memory_image.h"

namespace zrk6 {

// The image as showing it used to leave it, made once when an image arrives (New, Open,
// Read, a band change) so that showing is a pure read: channels and transmit parts outside
// the band erased, the VFO block in its rules, an unknown model byte made the first model's.
MemoryImage PrepareArrivedImage(MemoryImage image, const Band &band);

} // namespace zrk6

#pragma once

#include "model/band.h"
#include "model/memory_image.h"

namespace zrk6 {

// The image as showing it in the window leaves it, done once when an image arrives (New,
// Open, Read, a band change) so that showing is a pure read:
// - an unknown ModelByte becomes 0x38 (the first model), a known one stays;
// - the VFO block is put into its rules (NormaliseVfo);
// - every channel whose RxFreq is outside the band is erased, and every transmit part whose
//   TxFreq is outside the band removed (NormaliseChannel).
// The band is not taken from the image; BandLimits and all other bytes stay as they are.
MemoryImage NormaliseImage(MemoryImage image, const Band &band);

// A new document's image for the band (New, a band change, the window's first image): the
// defaults of BuildDefaultImage over current, whose band variant and model bytes stay,
// normalised as above.
MemoryImage FreshImage(MemoryImage current, const Band &band);

} // namespace zrk6

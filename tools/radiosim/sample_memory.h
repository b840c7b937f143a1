#pragma once

#include "model/memory_image.h"

namespace zrk6::radiosim {

// The memory the virtual radio holds when it is given no image: the 400 - 470 MHz band with a
// dozen channels (simplex, repeater pairs, CTCSS and DCS tones, mixed power and bandwidth), a
// VFO set up for a repeater, a few options changed from their defaults, and the identification
// bytes 0xFB0-0xFB7 left at 0xFF so that any freshly built image matches it.
MemoryImage BuildSampleMemory();

} // namespace zrk6::radiosim

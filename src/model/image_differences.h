#pragma once

#include <string>
#include <vector>

#include "model/memory_image.h"
#include "text/text_table.h"

namespace zrk6 {

// Which addresses a difference list looks at.
enum class DifferenceScope {
    WholeImage,     // every address
    WrittenToRadio, // only what a write sends (for checking a write)
};

// The differences between two images by meaning, one line each, in the language, in address
// order: "Channel 12: RX Freq 145.00000 -> 145.12500", "Channel 40: added", "Channel 7:
// removed", "VFO: Step 5K -> 12.5K", "Optional features: Squelch Level 5 -> 3", "Model: ...",
// "Frequency: ...". Changed bytes that no shown value accounts for (bytes of no field, hidden
// bits, a channel outside both bands) come as "Address 0x0AE: FF -> 00". Each image is read
// in its own band. Empty when the images agree within the scope.
std::vector<std::string> DescribeDifferences(const MemoryImage &before, const MemoryImage &after,
                                             LanguageMode language,
                                             DifferenceScope scope = DifferenceScope::WholeImage);

// Every differing byte as "0x0AE: FF -> 00", in address order.
std::vector<std::string> ByteDifferences(const MemoryImage &before, const MemoryImage &after,
                                         DifferenceScope scope = DifferenceScope::WholeImage);

} // namespace zrk6

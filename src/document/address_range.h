#pragma once

#include <vector>

#include "model/memory_image.h"

namespace zrk6 {

// The addresses begin..end-1 of the image.
struct AddressRange {
    int begin = 0;
    int end = 0;
    bool operator==(const AddressRange &) const = default;
};

// The maximal runs of addresses where the two images differ, in address order.
std::vector<AddressRange> ChangedRanges(const MemoryImage &before, const MemoryImage &after);

} // namespace zrk6

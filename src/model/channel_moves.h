#pragma once

#include "model/memory_image.h"

namespace zrk6 {

// Inserts an empty channel at channel (1..128): records channel..127 move one channel up,
// the old record of channel 128 is overwritten and channel becomes all FF. No setting that
// names a channel number (the priority channel) changes. Other numbers throw std::out_of_range.
void InsertChannel(MemoryImage &image, int channel);

// Deletes channel (1..128): records channel+1..128 move one channel down and channel 128
// becomes all FF. No setting that names a channel number changes. Other numbers throw
// std::out_of_range.
void DeleteChannel(MemoryImage &image, int channel);

} // namespace zrk6

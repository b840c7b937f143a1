#include "model/channel_moves.h"

#include "model/channel_record.h"

namespace zrk6 {
namespace {

void copyRecord(MemoryImage &image, int from, int to)
{
    const int source = ChannelRow(from);
    const int target = ChannelRow(to);
    for (int column = 0; column < kRowSize; ++column)
        image.set(target, column, image.at(source, column));
}

void clearRecord(MemoryImage &image, int channel)
{
    image.fill(ChannelRow(channel) * kRowSize, kRowSize, 0xFF);
}

} // namespace

void InsertChannel(MemoryImage &image, int channel)
{
    ChannelRow(channel); // validates before anything moves
    for (int k = kChannelCount - 1; k >= channel; --k)
        copyRecord(image, k, k + 1);
    clearRecord(image, channel);
}

void DeleteChannel(MemoryImage &image, int channel)
{
    ChannelRow(channel);
    for (int k = channel + 1; k <= kChannelCount; ++k)
        copyRecord(image, k, k - 1);
    clearRecord(image, kChannelCount);
}

} // namespace zrk6

#include "model/channel_moves.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace zrk6 {
namespace {

// Every record holds bytes that name its channel, so a moved record is recognisable.
MemoryImage NumberedImage()
{
    MemoryImage image;
    image.fill(0xEE);
    for (int channel = 1; channel <= 128; ++channel)
        for (int column = 0; column < kRowSize; ++column)
            image.set(channel - 1, column, static_cast<std::uint8_t>((channel * 7 + column) & 0xFF));
    image.set(addr::kPriorityChannel, 10);
    return image;
}

// The channel whose original record now sits at channel n, or 0 when it is all FF.
int OriginOf(const MemoryImage &image, int channel)
{
    const MemoryImage original = NumberedImage();
    for (int source = 1; source <= 128; ++source) {
        bool same = true;
        for (int column = 0; column < kRowSize && same; ++column)
            same = image.at(channel - 1, column) == original.at(source - 1, column);
        if (same)
            return source;
    }
    for (int column = 0; column < kRowSize; ++column)
        if (image.at(channel - 1, column) != 0xFF)
            return -1;
    return 0;
}

struct MoveCase {
    const char *name;
    bool insert;
    int channel;
};

class ChannelMoveCases : public ::testing::TestWithParam<MoveCase> {};

TEST_P(ChannelMoveCases, RecordsShiftAndEverythingElseStays)
{
    const MoveCase c = GetParam();
    MemoryImage image = NumberedImage();
    if (c.insert)
        InsertChannel(image, c.channel);
    else
        DeleteChannel(image, c.channel);

    for (int n = 1; n <= 128; ++n) {
        int expected;
        if (n < c.channel)
            expected = n;
        else if (c.insert)
            expected = n == c.channel ? 0 : n - 1;
        else
            expected = n == 128 ? 0 : n + 1;
        EXPECT_EQ(OriginOf(image, n), expected) << "channel " << n;
    }
    // Nothing beyond the channel records moves, the priority channel included.
    const MemoryImage original = NumberedImage();
    for (int address = 128 * kRowSize; address < kImageSize; ++address)
        ASSERT_EQ(image.at(address), original.at(address)) << "address " << address;
}

INSTANTIATE_TEST_SUITE_P(, ChannelMoveCases,
                         ::testing::Values(MoveCase{"InsertAt10", true, 10}, MoveCase{"InsertAt1", true, 1},
                                           MoveCase{"InsertAt128", true, 128}, MoveCase{"DeleteAt1", false, 1},
                                           MoveCase{"DeleteAt10", false, 10},
                                           MoveCase{"DeleteAt128", false, 128}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(ChannelMoves, ChannelNumbersOutsideOneTo128ThrowAndChangeNothing)
{
    for (int channel : {0, 129, -1}) {
        MemoryImage image = NumberedImage();
        EXPECT_THROW(InsertChannel(image, channel), std::out_of_range);
        EXPECT_THROW(DeleteChannel(image, channel), std::out_of_range);
        EXPECT_EQ(image, NumberedImage());
    }
}

} // namespace
} // namespace zrk6

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "model/memory_image.h"

using namespace zrk6;

TEST(MemoryImage, StartsZeroAndAddressesRowsAndColumnsAlike)
{
    MemoryImage image;
    for (auto b : image.bytes())
        ASSERT_EQ(b, 0x00);
    image.set(0xFB, 0x0B, 0x3A);
    EXPECT_EQ(image.at(0xFBB), 0x3A);
    image.set(0xFFF, 0x12);
    EXPECT_EQ(image.at(0xFF, 0x0F), 0x12);
}

TEST(MemoryImage, RejectsAccessOutsideTheImage)
{
    MemoryImage image;
    EXPECT_THROW(image.at(-1), std::out_of_range);
    EXPECT_THROW(image.at(4096), std::out_of_range);
    EXPECT_THROW(image.set(256, 0, 1), std::out_of_range);
    EXPECT_THROW(image.at(0, 16), std::out_of_range);
    EXPECT_THROW(image.setBit(0, 8, true), std::out_of_range);
    EXPECT_THROW(image.fill(4090, 7, 0xFF), std::out_of_range);
    EXPECT_THROW(image.assign(std::vector<std::uint8_t>(4095)), std::invalid_argument);
}

TEST(MemoryImage, MaskedWritesTouchOnlyTheirBits)
{
    MemoryImage image;
    image.set(0x10, 0b1010'0101);
    image.setMasked(0x10, 0x60, 0xFF);
    EXPECT_EQ(image.at(0x10), 0b1110'0101);
    image.setBit(0x10, 0, false);
    image.setBit(0x10, 4, true);
    EXPECT_EQ(image.at(0x10), 0b1111'0100);
    EXPECT_TRUE(image.bit(0x10, 7));
    EXPECT_FALSE(image.bit(0x10, 3));
}

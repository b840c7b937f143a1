#include <gtest/gtest.h>

#include <array>

#include "model/bcd_freq.h"

using namespace zrk6;

namespace {

std::array<std::uint8_t, 4> bytesAt(const MemoryImage &image, int address)
{
    return {image.at(address), image.at(address + 1), image.at(address + 2), image.at(address + 3)};
}

} // namespace

TEST(BcdFreq, WritesBothByteOrders)
{
    struct Case {
        const char *text;
        std::array<std::uint8_t, 4> lowFirst;
        std::array<std::uint8_t, 4> highFirst;
    };
    const Case cases[] = {
        {"145.125", {0x00, 0x25, 0x51, 0x14}, {0x14, 0x51, 0x25, 0x00}},
        {"446.00625", {0x25, 0x06, 0x60, 0x44}, {0x44, 0x60, 0x06, 0x25}},
        {"0.5", {0x00, 0x00, 0x05, 0x00}, {0x00, 0x05, 0x00, 0x00}},
        {"0.6", {0x00, 0x00, 0x06, 0x00}, {0x00, 0x06, 0x00, 0x00}},
        {"145.60000", {0x00, 0x00, 0x56, 0x14}, {0x14, 0x56, 0x00, 0x00}},
    };
    for (const auto &c : cases) {
        MemoryImage image;
        const auto units = ParseFreqText(c.text);
        ASSERT_TRUE(units) << c.text;
        WriteFreqUnits(image, 0x20, *units, ByteOrder::LowFirst);
        WriteFreqUnits(image, 0x3C, *units, ByteOrder::HighFirst);
        EXPECT_EQ(bytesAt(image, 0x20), c.lowFirst) << c.text;
        EXPECT_EQ(bytesAt(image, 0x3C), c.highFirst) << c.text;
        EXPECT_EQ(ReadFreqUnits(image, 0x20, ByteOrder::LowFirst), *units) << c.text;
        EXPECT_EQ(ReadFreqUnits(image, 0x3C, ByteOrder::HighFirst), *units) << c.text;
    }
}

TEST(BcdFreq, ReadsLeadingDigitsOnly)
{
    MemoryImage image;
    image.fill(0xFF);
    EXPECT_EQ(ReadFreqUnits(image, 0, ByteOrder::LowFirst), 0);
    EXPECT_EQ(ReadFreqUnits(image, 0, ByteOrder::HighFirst), 0);
    // Digits 1 4 5 1 2 then an invalid nibble, low-first: byte 3 = 14, 2 = 51, 1 = 2F.
    image.set(3, 0x14);
    image.set(2, 0x51);
    image.set(1, 0x2F);
    EXPECT_EQ(FormatFreq(ReadFreqUnits(image, 0, ByteOrder::LowFirst)), "0.14512");
    image.set(1, 0x25);
    image.set(0, 0x00);
    EXPECT_EQ(FormatFreq(ReadFreqUnits(image, 0, ByteOrder::LowFirst)), "145.12500");
}

TEST(BcdFreq, RejectsTextsThatAreNotNumbersAndFieldsOutsideTheRow)
{
    MemoryImage image;
    EXPECT_EQ(ParseFreqText("14x"), std::nullopt);
    EXPECT_EQ(ParseFreqText(""), std::nullopt);
    EXPECT_THROW(WriteFreqUnits(image, kImageSize - 3, 14500000, ByteOrder::LowFirst), std::out_of_range);
}

TEST(RoundFrequencyText, MovesToTheRasterAndTheBand)
{
    const Band vhf = BandFromRow(0); // 136 - 174 MHz
    struct Case {
        const char *typed;
        const char *result;
        bool outOfRange;
    };
    const Case cases[] = {
        {"145", "145.00000", false},
        {"145.003", "145.00500", false},
        {"145.006", "145.00625", false},
        {"145.0025", "145.00000", false}, // equal distance: 6.25 kHz wins
        {"145.1x", "145.10000", false},
        {"abc", "136.00000", false},
        {"174", "173.99500", true},
        {"174.0", "173.99500", true},
        {"135.9", "136.00000", true},
        {"136", "136.00000", false},
        {"173.999", "174.00000", false},
        {"", "136.00000", true},
        {"-5.", "136.00000", true},
        {"1 45.5", "145.50000", false},
        {"145.00625", "145.00625", false},
        {"145.0125", "145.01250", false},
        {"145.000025", "145.00000", false}, // half a 10 Hz unit rounds to even
        {"145.000035", "145.00000", false},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(RoundFrequencyText(c.typed, vhf), (RoundedFrequency{c.result, c.outOfRange})) << c.typed;
    }
}

TEST(RoundFrequencyText, ChecksTheCurrentBand)
{
    const Band pmr = BandFromRow(kBand446);
    EXPECT_EQ(RoundFrequencyText("446.00625", pmr), (RoundedFrequency{"446.00625", false}));
    EXPECT_EQ(RoundFrequencyText("447", pmr), (RoundedFrequency{"446.99500", true}));
    EXPECT_EQ(RoundFrequencyText("445.99999", pmr), (RoundedFrequency{"446.00000", true}));
}

TEST(RoundFrequencyText, TheOutOfRangeMessageNamesTheBandAndTheValueSet)
{
    const Band pmr = BandFromRow(kBand446);
    const RoundedFrequency above = RoundFrequencyText("447", pmr);
    EXPECT_EQ(OutOfRangeText(above, pmr, kEnglish),
              "Frequency is out of range.\nThe band is 446 - 447 MHz; the cell was set to 446.99500 MHz.");
    EXPECT_EQ(OutOfRangeText(above, pmr, kChinese), "频率超出范围。\n频段为 446 - 447 MHz；单元格已设为 446.99500 MHz。");
}

#include <gtest/gtest.h>

#include "model/band.h"
#include "model/bcd_freq.h"
#include "model/channel_record.h"
#include "record_fixtures.h"

using namespace zrk6;

namespace {

MemoryImage withLimits(std::uint8_t a, std::uint8_t b, std::uint8_t c)
{
    MemoryImage image;
    image.set(0xFF0, a);
    image.set(0xFF1, b);
    image.set(0xFF2, c);
    return image;
}

} // namespace

TEST(Band, EveryRowSurvivesWriteAndRead)
{
    for (int i = 0; i < kBandCount; ++i) {
        const Band band = BandFromRow(i);
        MemoryImage image;
        WriteBandToImage(image, band);
        const auto &row = BandTable()[static_cast<std::size_t>(i)];
        EXPECT_EQ(image.at(0xFF0), row.limits[0]);
        EXPECT_EQ(image.at(0xFF1), row.limits[1]);
        EXPECT_EQ(image.at(0xFF2), row.limits[2]);
        EXPECT_EQ(ReadBandFromImage(image), band);
    }
}

TEST(Band, ReadsLimitsAndFallsBackOnInvalidBytes)
{
    struct Case {
        std::uint8_t a, b, c;
        int low, high;
        const char *text;
    };
    const Case cases[] = {
        {0x13, 0x15, 0x60, 136, 150, ""},
        {0x00, 0x00, 0x00, 144, 146, "144 - 146 MHz"}, // start-up state
        {0xFF, 0xFF, 0xFF, 144, 146, "144 - 146 MHz"}, // erased
        {0x13, 0x17, 0x9A, 144, 146, "144 - 146 MHz"},
        {0x1A, 0x17, 0x64, 144, 146, "144 - 146 MHz"}, // nibble A-F
        {0x14, 0x14, 0x4F, 144, 146, "144 - 146 MHz"},
        {0x04, 0x05, 0x00, 40, 50, ""},
        {0x44, 0x44, 0x67, 446, 447, "446 - 447 MHz"},
    };
    for (const auto &c : cases) {
        const Band band = ReadBandFromImage(withLimits(c.a, c.b, c.c));
        EXPECT_EQ(band.low, c.low);
        EXPECT_EQ(band.high, c.high);
        EXPECT_EQ(band.text, c.text);
    }
    EXPECT_EQ(Band{}.maxOffset(), 199500);
    EXPECT_EQ(BandFromRow(0).maxOffset(), 3799500);
}

TEST(Band, ModelTable)
{
    EXPECT_EQ(ModelIndexFromByte(0x38), 0);
    EXPECT_EQ(ModelIndexFromByte(0x3A), 2);
    EXPECT_EQ(ModelIndexFromByte(0x00), 0);
    EXPECT_EQ(ModelTable()[2].text, "ZR-K6C");
}

TEST(DefaultImage, HoldsEveryFixedByte)
{
    MemoryImage image;
    image.set(0xFBA, 0xEE);
    image.set(0xFBB, 0x12);
    image.set(0x900, 0x55);
    BuildDefaultImage(image, BandFromRow(0));

    MemoryImage expected;
    expected.fill(0xFF);
    const std::pair<int, std::uint8_t> fixed[] = {
        {0xD00, 0x00}, {0xD01, 0x25}, {0xD02, 0x60}, {0xD03, 0x13}, {0xD04, 0x00}, {0xD05, 0x25},
        {0xD06, 0x60}, {0xD07, 0x13}, {0xD08, 0x00}, {0xD09, 0x00}, {0xD0A, 0x00}, {0xD0B, 0x00},
        {0xD0C, 0x02}, {0xD0D, 0x38}, {0xD10, 0x00}, {0xD11, 0x00}, {0xD12, 0x00}, {0xD13, 0x00},
        {0xFBA, 0xEE}, {0xFBB, 0x12}, {0xFC0, 0x10}, {0xFC1, 0x08}, {0xFC2, 0xC4}, {0xFC3, 0x05},
        {0xFC4, 0x04}, {0xFC5, 0x00}, {0xFC6, 0x00}, {0xFC7, 0x03}, {0xFC8, 0x00}, {0xFC9, 0x00},
        {0xFF0, 0x13}, {0xFF1, 0x17}, {0xFF2, 0x64},
    };
    for (auto [a, v] : fixed)
        expected.set(a, v);
    expected.fill(0xFE0, 12, 0xC8);
    for (int a = 0; a < kImageSize; ++a)
        ASSERT_EQ(image.at(a), expected.at(a)) << std::hex << a;
}

TEST(DefaultImage, VfoStartsAboveTheLowerLimit)
{
    MemoryImage image;
    BuildDefaultImage(image, BandFromRow(7));
    EXPECT_EQ(image.at(0xFF0), 0x46);
    EXPECT_EQ(image.at(0xFF1), 0x52);
    EXPECT_EQ(image.at(0xFF2), 0x50);
    EXPECT_EQ(ReadFreqLowFirst(image, 0xD0, 0), "465.02500");
    EXPECT_EQ(ReadFreqLowFirst(image, 0xD0, 4), "465.02500");
    for (int ch = 1; ch <= kChannelCount; ++ch)
        EXPECT_FALSE(IsChannelInUse(image, ch, BandFromRow(7)));
}

TEST(DefaultImage, Band446HasEightPresetChannels)
{
    MemoryImage image;
    const Band pmr = BandFromRow(kBand446);
    BuildDefaultImage(image, pmr);
    EXPECT_EQ(image.at(0xFC2), 0x44);
    const char *freqs[] = {"446.00625", "446.01875", "446.03125", "446.04375",
                           "446.05625", "446.06875", "446.08125", "446.09375"};
    for (int ch = 1; ch <= 8; ++ch) {
        const auto row = ChannelRowTexts(image, ch, pmr, kEnglish);
        const RowTexts expected{freqs[ch - 1], freqs[ch - 1], "None", "None", "Wide", "Add", "Low", "Off", "Off"};
        EXPECT_EQ(row, expected) << ch;
        EXPECT_EQ(image.at(ch - 1, 14), 0xFF);
        EXPECT_EQ(image.at(ch - 1, 15), 0xFC);
    }
    EXPECT_EQ(image.at(7, 0), 0x75);
    EXPECT_EQ(image.at(7, 1), 0x93);
    EXPECT_EQ(image.at(7, 2), 0x60);
    EXPECT_EQ(image.at(7, 3), 0x44);
    EXPECT_FALSE(IsChannelInUse(image, 9, pmr));
}

TEST(DefaultImage, StartupImageIsTheDefaultOfModelCAndVariant240)
{
    const MemoryImage image = StartupImage(BandFromRow(3));
    EXPECT_EQ(image.at(0xFBA), 240);
    EXPECT_EQ(image.at(0xFBB), 0x3A);
    EXPECT_EQ(ReadBandFromImage(image), BandFromRow(3));
    EXPECT_EQ(ReadBandFromImage(StartupImage()), Band{});
}

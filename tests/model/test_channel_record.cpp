#include <gtest/gtest.h>

#include "model/bcd_freq.h"
#include "model/channel_record.h"
#include "record_fixtures.h"

using namespace zrk6;

namespace {

const Band kBand{144, 146, "144 - 146 MHz"};

MemoryImage erased()
{
    MemoryImage image;
    image.fill(0xFF);
    return image;
}

std::array<std::uint8_t, 16> record(const MemoryImage &image, int channel)
{
    std::array<std::uint8_t, 16> r{};
    for (int i = 0; i < 16; ++i)
        r[static_cast<std::size_t>(i)] = image.at(channel - 1, i);
    return r;
}

} // namespace

TEST(ChannelRecord, EmptyRecordShowsEmptyAndStaysErased)
{
    MemoryImage image = erased();
    EXPECT_EQ(ShowChannelRow(image, 1, kBand, kEnglish), RowTexts{});
    EXPECT_EQ(image, erased());
    EXPECT_THROW(ShowChannelRow(image, 0, kBand, kEnglish), std::out_of_range);
    EXPECT_THROW(ShowChannelRow(image, 129, kBand, kEnglish), std::out_of_range);
}

TEST(ChannelRecord, ShowingErasesWhatLiesOutsideTheBand)
{
    struct Case {
        const char *rx;
        bool inUse;
    };
    const Case cases[] = {{"143.99500", false}, {"144.00000", true}, {"146.00000", true}, {"146.00500", false}};
    for (const auto &c : cases) {
        MemoryImage image = erased();
        WriteFreqLowFirst(image, 9, 0, c.rx);
        image.set(9, 14, 0x12);
        const RowTexts row = ShowChannelRow(image, 10, kBand, kEnglish);
        EXPECT_EQ(!row[0].empty(), c.inUse) << c.rx;
        EXPECT_EQ(image.at(9, 14), c.inUse ? 0x12 : 0xFF) << c.rx;
    }

    // A transmit part out of band is dropped, byte 15 keeps its value.
    MemoryImage image = erased();
    WriteFreqLowFirst(image, 0, 0, "145.00000");
    WriteFreqLowFirst(image, 0, 4, "150.00000");
    image.set(0, 10, 0x70);
    image.set(0, 11, 0x06);
    image.set(0, 15, 0x5C);
    const RowTexts row = ShowChannelRow(image, 1, kBand, kEnglish);
    EXPECT_EQ(row[1], "");
    EXPECT_EQ(row[3], "");
    for (int off : {4, 5, 6, 7, 10, 11})
        EXPECT_EQ(image.at(0, off), 0xFF) << off;
    EXPECT_EQ(image.at(0, 15), 0x5C);
}

TEST(ChannelRecord, DecodesEveryFieldText)
{
    struct Case {
        std::uint8_t optionFlags, channelFlags;
        RowTexts tail; // W/N, Scan, TX Power, BCL, Scrambler in texts 4..8
    };
    const Case cases[] = {
        {0xBF, 0xD9, {"", "", "", "", "Wide", "Add", "High", "Off", "Off"}},
        {0x40, 0x60, {"", "", "", "", "Narrow", "Del", "High", "Off", "On"}},   // power 3
        {0x00, 0x22, {"", "", "", "", "Narrow", "Del", "Mid", "Carrier", "Off"}},
        {0x00, 0x06, {"", "", "", "", "Narrow", "Del", "Low", "Carrier", "Off"}}, // BCL 3
        {0x00, 0x04, {"", "", "", "", "Narrow", "Del", "Low", "QT/DQT", "Off"}},
    };
    for (const auto &c : cases) {
        MemoryImage image = erased();
        WriteFreqLowFirst(image, 0, 0, "145.50000");
        image.set(0, 12, c.optionFlags);
        image.set(0, 13, c.channelFlags);
        const RowTexts row = ChannelRowTexts(image, 1, kBand, kEnglish);
        for (int i = 4; i < 9; ++i)
            EXPECT_EQ(row[static_cast<std::size_t>(i)], c.tail[static_cast<std::size_t>(i)]) << i;
    }
    MemoryImage image = erased();
    WriteFreqLowFirst(image, 0, 0, "145.50000");
    image.set(0, 13, 0xD9);
    const RowTexts zh = ChannelRowTexts(image, 1, kBand, kChinese);
    EXPECT_EQ(zh[2], "无");
    EXPECT_EQ(zh[4], "宽");
    EXPECT_EQ(zh[6], "高");
}

TEST(ChannelRecord, FirstReceiveFrequencyMakesANewChannel)
{
    MemoryImage image = erased();
    StoreRxFrequency(image, 3, "145.12500", kBand);
    const std::array<std::uint8_t, 16> expected{0x00, 0x25, 0x51, 0x14, 0xFF, 0xFF, 0xFF, 0xFF,
                                                0xFF, 0xFF, 0xFF, 0xFF, 0xBF, 0xD9, 0xFF, 0xFE};
    EXPECT_EQ(record(image, 3), expected);
    const RowTexts row = ChannelRowTexts(image, 3, kBand, kEnglish);
    EXPECT_EQ(row, (RowTexts{"145.12500", "", "None", "", "Wide", "Add", "High", "Off", "Off"}));

    // A later receive frequency changes only the frequency and RxUnset.
    image.set(2, 13, 0x81);
    image.set(2, 15, 0xF3);
    StoreRxFrequency(image, 3, "145.50000", kBand);
    EXPECT_EQ(image.at(2, 13), 0x81);
    EXPECT_EQ(image.at(2, 15), 0xF2);
    EXPECT_EQ(image.at(2, 2), 0x55);
}

TEST(ChannelRecord, TransmitFrequencyStoreAndRemove)
{
    MemoryImage image = erased();
    StoreRxFrequency(image, 1, "145.00000", kBand);
    StoreTxFrequency(image, 1, "145.60000");
    EXPECT_EQ(image.at(0, 15), 0xFC);
    RowTexts row = ChannelRowTexts(image, 1, kBand, kEnglish);
    EXPECT_EQ(row[1], "145.60000");
    EXPECT_EQ(row[3], "None");

    WriteChannelTone(image, 1, ChannelColumn::Encode, "D023N");
    image.set(0, 15, 0x7C);
    WriteChannelField(image, 1, ChannelColumn::TxFreq, ChannelValue{}, Band{}); // no tx: removes the transmit part
    for (int off : {4, 5, 6, 7, 10, 11})
        EXPECT_EQ(image.at(0, off), 0xFF) << off;
    EXPECT_EQ(image.at(0, 15), 0x7E);
    row = ChannelRowTexts(image, 1, kBand, kEnglish);
    EXPECT_EQ(row[1], "");
    EXPECT_EQ(row[3], "");
}

TEST(ChannelRecord, EraseResetsOnlyItsOwnPriority)
{
    for (auto [priority, after] : {std::pair{5, 0}, std::pair{7, 7}}) {
        MemoryImage image = erased();
        image.set(0xFC9, static_cast<std::uint8_t>(priority));
        StoreRxFrequency(image, 5, "145.00000", kBand);
        EraseChannel(image, 5);
        EXPECT_EQ(image.at(0xFC9), after);
        EXPECT_EQ(record(image, 5), record(erased(), 5));
    }
}

TEST(ChannelRecord, OptionFieldsChangeOnlyTheirBits)
{
    struct Case {
        ChannelColumn column;
        const char *text;
        int byte;
        std::uint8_t before, after;
    };
    const Case cases[] = {
        {ChannelColumn::TxPower, "High", 13, 0x00, 0x40},  {ChannelColumn::TxPower, "Mid", 13, 0xFF, 0xBF},
        {ChannelColumn::TxPower, "Low", 13, 0xFF, 0x9F},   {ChannelColumn::WideNarrow, "Narrow", 13, 0xFF, 0xEF},
        {ChannelColumn::WideNarrow, "Wide", 13, 0x00, 0x10}, {ChannelColumn::Scan, "Del", 13, 0xFF, 0xF7},
        {ChannelColumn::Scan, "Add", 13, 0x00, 0x08},      {ChannelColumn::Bcl, "QT/DQT", 13, 0xFF, 0xFD},
        {ChannelColumn::Bcl, "Carrier", 13, 0x00, 0x02},   {ChannelColumn::Bcl, "Off", 13, 0xFF, 0xF9},
        {ChannelColumn::Scrambler, "On", 12, 0x00, 0x40},  {ChannelColumn::Scrambler, "Off", 12, 0xFF, 0xBF},
    };
    for (const auto &c : cases) {
        MemoryImage image = erased();
        image.set(0, c.byte, c.before);
        WriteChannelOption(image, 1, c.column, c.text, kEnglish);
        EXPECT_EQ(image.at(0, c.byte), c.after) << c.text;
    }
    // Texts compare in the current language.
    MemoryImage image = erased();
    image.set(0, 13, 0x00);
    WriteChannelOption(image, 1, ChannelColumn::TxPower, "高", kChinese);
    EXPECT_EQ(image.at(0, 13), 0x40);
}

#include "model/channel_operations.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <map>

namespace zrk6 {
namespace {

const Band kBand{144, 146};

// A memory with channels at the given places, each marked in its uninterpreted bits (byte
// 14 holds the channel it was made at, bit 7 of byte 12 is set) so that moved records can be
// recognised and shown to travel whole. The priority channel is priority.
MemoryImage Memory(const std::map<int, ChannelValue> &channels, int priority = 0)
{
    MemoryImage image = StartupImage(kBand);
    for (const auto &[channel, value] : channels) {
        WriteChannel(image, channel, value, kBand);
        image.set(ChannelRow(channel), 14, static_cast<std::uint8_t>(channel));
        image.set(ChannelRow(channel), 12, image.at(ChannelRow(channel), 12) | 0x80);
    }
    image.set(addr::kPriorityChannel, static_cast<std::uint8_t>(priority));
    return image;
}

// A channel; tx nullptr transmits on rx, "" receives only.
ChannelValue Ch(const char *rx, const char *tx = nullptr, Tone decode = {}, TxPower power = TxPower::High)
{
    ChannelValue v;
    v.rx = *ParseFreqText(rx);
    v.tx = tx == nullptr ? v.rx : *tx == '\0' ? std::nullopt : ParseFreqText(tx);
    v.decode = decode;
    v.power = power;
    return v;
}

// Where each record went: for every channel, the channel its record was made at (byte 14),
// or 0 for an empty one.
std::vector<int> Origins(const MemoryImage &image, int upTo)
{
    std::vector<int> origins;
    for (int channel = 1; channel <= upTo; ++channel) {
        const bool empty = image.at(ChannelRow(channel), 0) == 0xFF;
        origins.push_back(empty ? 0 : image.at(ChannelRow(channel), 14));
    }
    return origins;
}

TEST(ChannelList, ParsesRangesAndNamesWhatIsWrong)
{
    EXPECT_EQ(ParseChannelList("1-3,40, 45-46,2").channels, (std::vector<int>{1, 2, 3, 40, 45, 46}));
    EXPECT_EQ(ParseChannelList("").channels.size(), 128u);
    for (const char *bad : {"0", "129", "5-2", "a", "1-", "1,,2", "3-200"}) {
        const ChannelListParse parsed = ParseChannelList(bad);
        EXPECT_FALSE(parsed.error.empty()) << bad;
        EXPECT_TRUE(parsed.channels.empty()) << bad;
    }
}

TEST(ChangeChannels, SetsOnlyTheCheckedFieldsOfChannelsInUse)
{
    const MemoryImage image = Memory({{1, Ch("145.00000")}, {3, Ch("144.50000")}});
    ChannelChange change;
    change.power = TxPower::Low;
    const ChannelOperationResult r = ChangeChannels(image, kBand, {1, 2, 3}, change);
    EXPECT_EQ(r.changed, (std::vector<int>{1, 3}));
    EXPECT_TRUE(r.leftAlone.empty());
    EXPECT_EQ(ReadChannel(r.image, 3, kBand).power, TxPower::Low);
    EXPECT_FALSE(IsChannelInUse(r.image, 2, kBand)); // an empty channel stays empty
    // Only the power bits changed: every other byte and bit of the record is kept.
    for (int column = 0; column < kRowSize; ++column) {
        const std::uint8_t mask = column == 13 ? 0x9F : 0xFF;
        EXPECT_EQ(r.image.at(0, column) & mask, image.at(0, column) & mask) << column;
    }
}

TEST(ChangeChannels, OffsetsThatLeaveTheBandLeaveTheChannelAlone)
{
    const MemoryImage image = Memory({{1, Ch("145.00000")}, {2, Ch("145.80000")}, {3, Ch("144.10000")}});
    ChannelChange up;
    up.offset = 600 * 100; // +0.6 MHz
    const ChannelOperationResult r = ChangeChannels(image, kBand, {1, 2, 3}, up);
    EXPECT_EQ(r.leftAlone, (std::vector<int>{2}));
    EXPECT_EQ(ReadChannel(r.image, 1, kBand).tx, *ParseFreqText("145.60000"));
    EXPECT_EQ(r.image.at(1, 4), image.at(1, 4)); // channel 2 untouched

    ChannelChange down;
    down.offset = -600 * 100;
    EXPECT_EQ(ChangeChannels(image, kBand, {1, 2, 3}, down).leftAlone, (std::vector<int>{3}));

    ChannelChange receiveOnly;
    receiveOnly.receiveOnly = true;
    const ChannelOperationResult rx = ChangeChannels(image, kBand, {1}, receiveOnly);
    EXPECT_FALSE(ReadChannel(rx.image, 1, kBand).tx.has_value());

    // An encode tone needs a transmit frequency.
    ChannelChange encode;
    encode.encode = Tone::Ctcss(885);
    EXPECT_EQ(ChangeChannels(rx.image, kBand, {1}, encode).leftAlone, (std::vector<int>{1}));
}

// A derived TX is RX plus the offset exactly, also off the 5/6.25 kHz raster; offset 0 makes
// the TX bytes those of RX.
TEST(ChangeChannels, DerivedTxIsRxPlusTheOffsetExactly)
{
    const Band band{430, 440};
    struct Case {
        const char *rx;
        FreqUnits offset;
        const char *tx;
    };
    const Case cases[] = {
        {"431.52250", 0, "431.52250"},
        {"431.52250", 500000, "436.52250"},
        {"431.52250", -1, "431.52249"},
        {"439.99999", 0, "439.99999"},
        {"430.00001", 0, "430.00001"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.rx + std::string(" offset ") + std::to_string(c.offset));
        MemoryImage image = StartupImage(band);
        ChannelValue v;
        v.rx = *ParseFreqText(c.rx);
        WriteChannel(image, 1, v, band);
        ChannelChange change;
        change.offset = c.offset;
        const ChannelOperationResult r = ChangeChannels(image, band, {1}, change);
        EXPECT_TRUE(r.leftAlone.empty());
        EXPECT_EQ(ReadChannel(r.image, 1, band).tx, *ParseFreqText(c.tx));
        if (c.offset == 0) {
            for (int i = 0; i < 4; ++i)
                EXPECT_EQ(r.image.at(0, 4 + i), r.image.at(0, i)) << i;
        }
    }
}

struct ReorderCase {
    const char *name;
    std::function<ChannelOperationResult(const MemoryImage &)> run;
    std::vector<int> origins; // channels 1..8 afterwards
    int priority;             // the priority channel afterwards (it starts at 3)
};

class Reorder : public ::testing::TestWithParam<ReorderCase> {};

// Channels at 1, 3, 4 and 6 with falling, rising and equal frequencies; 2 and 5 empty.
MemoryImage Sample()
{
    return Memory({{1, Ch("145.50000", "145.50000", Tone::Ctcss(885), TxPower::Low)},
                   {3, Ch("144.20000", "", {}, TxPower::Mid)},
                   {4, Ch("145.50000", "144.90000", Tone::Dcs(23, DcsPolarity::Normal))},
                   {6, Ch("144.80000", "145.10000", Tone::Ctcss(670))}},
                  3);
}

TEST_P(Reorder, MovesWholeRecordsAndThePriorityFollows)
{
    const ReorderCase &c = GetParam();
    const MemoryImage before = Sample();
    const ChannelOperationResult r = c.run(before);
    EXPECT_TRUE(r.refusal.empty()) << r.refusal;
    EXPECT_EQ(Origins(r.image, 8), c.origins);
    EXPECT_EQ(r.image.at(addr::kPriorityChannel), c.priority);
    // Records travel whole, uninterpreted bits included.
    for (int channel = 1; channel <= 8; ++channel) {
        const int from = c.origins[static_cast<std::size_t>(channel - 1)];
        if (from == 0)
            continue;
        for (int column = 0; column < kRowSize; ++column)
            EXPECT_EQ(r.image.at(ChannelRow(channel), column), before.at(ChannelRow(from), column));
    }
    // Nothing outside the channels moves, the priority channel aside.
    for (int address = 0x800; address < kImageSize; ++address) {
        if (address != addr::kPriorityChannel) {
            EXPECT_EQ(r.image.at(address), before.at(address));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Reorder,
    ::testing::Values(
        ReorderCase{"SortRx", [](const MemoryImage &m) { return SortChannels(m, kBand, {}, SortKey::RxFreq, false); },
                    {3, 6, 1, 4, 0, 0, 0, 0}, 1},
        ReorderCase{"SortRxDescendingIsStable",
                    [](const MemoryImage &m) { return SortChannels(m, kBand, {}, SortKey::RxFreq, true); },
                    {1, 4, 6, 3, 0, 0, 0, 0}, 4},
        ReorderCase{"SortTxReceiveOnlyLast",
                    [](const MemoryImage &m) { return SortChannels(m, kBand, {}, SortKey::TxFreq, false); },
                    {4, 6, 1, 3, 0, 0, 0, 0}, 4},
        ReorderCase{"SortDecodeInListOrder",
                    [](const MemoryImage &m) { return SortChannels(m, kBand, {}, SortKey::Decode, false); },
                    {3, 6, 1, 4, 0, 0, 0, 0}, 1},
        ReorderCase{"SortPowerOverARange",
                    [](const MemoryImage &m) { return SortChannels(m, kBand, {1, 2, 3}, SortKey::TxPower, false); },
                    {1, 3, 0, 4, 0, 6, 0, 0}, 2},
        ReorderCase{"MoveUpARun", [](const MemoryImage &m) { return MoveChannels(m, {3, 4}, true); },
                    {1, 3, 4, 0, 0, 6, 0, 0}, 2},
        ReorderCase{"MoveDown", [](const MemoryImage &m) { return MoveChannels(m, {1}, false); },
                    {0, 1, 3, 4, 0, 6, 0, 0}, 3},
        ReorderCase{"Compact", [](const MemoryImage &m) { return CompactChannels(m, kBand); },
                    {1, 3, 4, 6, 0, 0, 0, 0}, 2},
        ReorderCase{"InsertTwo", [](const MemoryImage &m) { return InsertEmptyChannels(m, kBand, 2, 2); },
                    {1, 0, 0, 0, 3, 4, 0, 6}, 5},
        ReorderCase{"DeleteThePriorityChannel", [](const MemoryImage &m) { return DeleteChannels(m, {2, 3}); },
                    {1, 4, 0, 6, 0, 0, 0, 0}, 0},
        ReorderCase{"DeleteBeforeThePriority", [](const MemoryImage &m) { return DeleteChannels(m, {1}); },
                    {0, 3, 4, 0, 6, 0, 0, 0}, 2}),
    [](const ::testing::TestParamInfo<ReorderCase> &info) { return std::string(info.param.name); });

TEST(Reorder, RefusalsChangeNothing)
{
    MemoryImage full = StartupImage(kBand);
    for (int channel = 1; channel <= 128; ++channel)
        WriteChannel(full, channel, Ch("145.00000"), kBand);
    for (const ChannelOperationResult &r :
         {InsertEmptyChannels(full, kBand, 10, 1), MoveChannels(full, {1, 5}, true), MoveChannels(full, {128}, false),
          InsertEmptyChannels(full, kBand, 0, 1)}) {
        EXPECT_FALSE(r.refusal.empty());
        EXPECT_TRUE(std::equal(r.image.bytes().begin(), r.image.bytes().end(), full.bytes().begin()));
    }
    // With the last channel free, one insert fits.
    MemoryImage room = full;
    EraseChannel(room, 128);
    EXPECT_TRUE(InsertEmptyChannels(room, kBand, 10, 1).refusal.empty());
    EXPECT_FALSE(InsertEmptyChannels(room, kBand, 10, 2).refusal.empty());
}

TEST(Duplicates, GroupsChannelsWithTheSameFrequenciesAndTones)
{
    const MemoryImage image = Memory({{3, Ch("145.00000")},
                                      {7, Ch("144.50000", "145.10000")},
                                      {9, Ch("144.50000", "145.10000")},
                                      {12, Ch("145.00000", "145.00000", {}, TxPower::Low)}, // power is not compared
                                      {20, Ch("145.00000", "145.00000", Tone::Ctcss(885))},
                                      {40, Ch("144.50000", "145.10000")}});
    EXPECT_EQ(FindDuplicateChannels(image, kBand), (std::vector<std::vector<int>>{{3, 12}, {7, 9, 40}}));
}

} // namespace
TEST(Find, ReadsFrequenciesAndTones)
{
    EXPECT_EQ(ParseFindText("145.5")->frequency, ParseFreqText("145.50000"));
    EXPECT_EQ(ParseFindText(" 88.5 ")->tone, Tone::Ctcss(885));
    EXPECT_EQ(ParseFindText("67")->tone, Tone::Ctcss(670));
    EXPECT_FALSE(ParseFindText("145.5")->tone); // no such CTCSS tone
    EXPECT_EQ(ParseFindText("d023n")->tone, Tone::Dcs(23, DcsPolarity::Normal));
    for (const char *nothing : {"", "  ", "None", "abc", "D999N", "0"})
        EXPECT_FALSE(ParseFindText(nothing)) << nothing;
}

TEST(Find, GoesToTheNextCellThatHoldsTheTargetAndWraps)
{
    ChannelValue toned = Ch("145.00000", "144.50000", Tone::Ctcss(885));
    toned.encode = Tone::Ctcss(885);
    ChannelValue receiveOnly = Ch("144.80000", "");
    receiveOnly.encode = Tone::Ctcss(885); // no transmit part: the encode tone does not count
    const MemoryImage image = Memory({{2, Ch("144.50000")}, {5, toned}, {9, receiveOnly}, {70, Ch("144.70000", "144.50000")}});
    const FindTarget freq = *ParseFindText("144.5");
    const FindTarget tone = *ParseFindText("88.5");
    struct Case {
        const FindTarget *target;
        int channel;
        ChannelColumn column;
        std::optional<ChannelCell> next;
    };
    const Case cases[] = {
        {&freq, 1, ChannelColumn::Encode, ChannelCell{2, ChannelColumn::RxFreq}},
        {&freq, 2, ChannelColumn::RxFreq, ChannelCell{2, ChannelColumn::TxFreq}},
        {&freq, 2, ChannelColumn::TxFreq, ChannelCell{5, ChannelColumn::TxFreq}},
        {&freq, 5, ChannelColumn::TxFreq, ChannelCell{70, ChannelColumn::TxFreq}},
        {&freq, 70, ChannelColumn::TxFreq, ChannelCell{2, ChannelColumn::RxFreq}}, // wraps
        {&tone, 5, ChannelColumn::Decode, ChannelCell{5, ChannelColumn::Encode}},
        {&tone, 5, ChannelColumn::Encode, ChannelCell{5, ChannelColumn::Decode}}, // itself, once round
    };
    for (const Case &c : cases)
        EXPECT_EQ(FindNextCell(image, kBand, *c.target, c.channel, c.column), c.next)
            << c.channel << " " << static_cast<int>(c.column);
    EXPECT_FALSE(FindNextCell(image, kBand, *ParseFindText("145.9"), 1, ChannelColumn::RxFreq));
}

// A frequency typed in part finds the frequencies whose text starts with it ("144" finds
// 144.00625); a whole one still finds only itself.
TEST(Find, APartOfAFrequencyFindsTheFrequenciesStartingWith)
{
    const MemoryImage image = Memory({{3, Ch("144.00625", "")}, {4, Ch("145.10000", "144.10000")}, {8, Ch("145.00000", "")}});
    const FindTarget part = *ParseFindText("144");
    EXPECT_EQ(FindNextCell(image, kBand, part, 1, ChannelColumn::RxFreq), (ChannelCell{3, ChannelColumn::RxFreq}));
    EXPECT_EQ(FindNextCell(image, kBand, part, 3, ChannelColumn::RxFreq), (ChannelCell{4, ChannelColumn::TxFreq}));
    EXPECT_EQ(FindNextCell(image, kBand, *ParseFindText("145.1"), 1, ChannelColumn::RxFreq),
              (ChannelCell{4, ChannelColumn::RxFreq}));
    EXPECT_EQ(FindNextCell(image, kBand, *ParseFindText("145.000000"), 1, ChannelColumn::RxFreq),
              (ChannelCell{8, ChannelColumn::RxFreq}));
    EXPECT_FALSE(FindNextCell(image, kBand, *ParseFindText("145.2"), 1, ChannelColumn::RxFreq));
}

} // namespace

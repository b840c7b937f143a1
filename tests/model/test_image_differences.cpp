// The differences between two images by meaning, over a table of image pairs.
#include <gtest/gtest.h>

#include <functional>

#include "model/band.h"
#include "model/channel_record.h"
#include "model/image_differences.h"
#include "model/optional_features.h"
#include "record_fixtures.h"

namespace zrk6 {
namespace {

using Lines = std::vector<std::string>;
using Edit = std::function<void(MemoryImage &)>;

// The start-up image on 144 - 146 MHz with three channels, VFO step 5K and squelch level 5.
MemoryImage Base()
{
    MemoryImage image = StartupImage();
    image.set(addr::kVfoStep, 0);
    const Band band = ReadBandFromImage(image);
    StoreRxFrequency(image, 3, "144.50000", band);
    StoreRxFrequency(image, 7, "144.80000", band);
    StoreRxFrequency(image, 12, "145.00000", band);
    OptionalFeatures features = DecodeOptionalFeatures(image, band);
    features.squelchLevel = 5;
    EncodeOptionalFeatures(image, features);
    return image;
}

struct Case {
    const char *name;
    Edit edit;
    Lines expected;
};

class DescribeDifferencesTest : public ::testing::TestWithParam<Case> {};

TEST_P(DescribeDifferencesTest, NamesEachChangeByMeaning)
{
    const MemoryImage before = Base();
    MemoryImage after = before;
    GetParam().edit(after);
    EXPECT_EQ(DescribeDifferences(before, after, kEnglish), GetParam().expected);
}

const Band kBand = Band{};

INSTANTIATE_TEST_SUITE_P(
    ImagePairs, DescribeDifferencesTest,
    ::testing::Values(
        Case{"identical", [](MemoryImage &) {}, {}},
        Case{"receive frequency",
             [](MemoryImage &m) { StoreRxFrequency(m, 12, "145.12500", kBand); },
             {"Channel 12: RX Freq 145.00000 -> 145.12500"}},
        Case{"added", [](MemoryImage &m) { StoreRxFrequency(m, 40, "146.00000", kBand); }, {"Channel 40: added"}},
        Case{"removed", [](MemoryImage &m) { EraseChannel(m, 7); }, {"Channel 7: removed"}},
        Case{"transmit frequency and tones",
             [](MemoryImage &m) {
                 StoreTxFrequency(m, 3, "145.10000");
                 WriteChannelTone(m, 3, ChannelColumn::Decode, "88.5");
             },
             {"Channel 3: TX Freq None -> 145.10000", "Channel 3: Decode None -> 88.5"}},
        Case{"option bits of one byte",
             [](MemoryImage &m) {
                 WriteChannelOption(m, 12, ChannelColumn::TxPower, "Low", kEnglish);
                 WriteChannelOption(m, 12, ChannelColumn::Scan, "Del", kEnglish);
             },
             {"Channel 12: Scan Add -> Del", "Channel 12: TX Power High -> Low"}},
        Case{"a byte of a channel that nothing shows",
             [](MemoryImage &m) { m.set(2 * 16 + 14, 0x00); },
             {"Address 0x02E: FF -> 00"}},
        Case{"an empty channel's bytes", [](MemoryImage &m) { m.set(0x7F0, 0x12); }, {"Address 0x7F0: FF -> 12"}},
        Case{"VFO step", [](MemoryImage &m) { m.set(addr::kVfoStep, 3); }, {"VFO: Step 5K -> 12.5K"}},
        Case{"optional feature",
             [](MemoryImage &m) {
                 OptionalFeatures f = DecodeOptionalFeatures(m, kBand);
                 f.squelchLevel = 3;
                 f.beepTone = false;
                 EncodeOptionalFeatures(m, f);
             },
             {"Optional features: Squelch Level 5 -> 3", "Optional features: Beep Tone On -> Off"}},
        Case{"plain bytes in address order",
             [](MemoryImage &m) {
                 m.set(0x900, 0x12);
                 m.set(0x901, 0x34);
                 m.set(0xFFF, 0x00);
             },
             {"Address 0x900: FF -> 12", "Address 0x901: FF -> 34", "Address 0xFFF: FF -> 00"}},
        // Channels the new band leaves out are gone from the grid, though their bytes stay.
        Case{"band",
             [](MemoryImage &m) {
                 WriteBandToImage(m, BandFromRow(0));
                 StoreRxFrequency(m, 20, "136.00000", BandFromRow(0));
             },
             {"Channel 20: added", "Frequency: 144 - 146 MHz -> 136 - 174 MHz"}},
        Case{"band that leaves channels out",
             [](MemoryImage &m) { WriteBandToImage(m, BandFromRow(3)); },
             {"Frequency: 144 - 146 MHz -> 350 - 390 MHz", "Channel 3: removed", "Channel 7: removed",
              "Channel 12: removed"}}),
    [](const auto &info) {
        std::string name = info.param.name;
        for (char &c : name)
            c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
        return name;
    });

TEST(DescribeDifferences, SpeaksTheUsersLanguage)
{
    const MemoryImage before = Base();
    MemoryImage after = before;
    StoreRxFrequency(after, 12, "145.12500", kBand);
    EraseChannel(after, 7);
    EXPECT_EQ(DescribeDifferences(before, after, kChinese),
              (Lines{"信道 7: 已删除", "信道 12: 接收频率 145.00000 -> 145.12500"}));
}

TEST(DescribeDifferences, WrittenScopeLeavesOutWhatAWriteNeverSends)
{
    const MemoryImage before = Base();
    MemoryImage after = before;
    after.set(0xFE0, 0x41); // the PTT-ID name: never written
    after.set(0xFF5, 0x00);
    EXPECT_EQ(DescribeDifferences(before, after, kEnglish, DifferenceScope::WrittenToRadio), Lines{});
    after.set(0x0B1, 0x25); // channel 12's receive frequency, 10 and 1 kHz digits
    EXPECT_EQ(DescribeDifferences(before, after, kEnglish, DifferenceScope::WrittenToRadio),
              Lines{"Channel 12: RX Freq 145.00000 -> 145.02500"});
}

TEST(ByteDifferences, ListsEveryByte)
{
    const MemoryImage before = Base();
    MemoryImage after = before;
    after.set(0x900, 0x00);
    after.set(0xFE0, 0x41);
    EXPECT_EQ(ByteDifferences(before, after), (Lines{"0x900: FF -> 00", "0xFE0: C8 -> 41"}));
    EXPECT_EQ(ByteDifferences(before, after, DifferenceScope::WrittenToRadio), Lines{"0x900: FF -> 00"});
}

} // namespace
} // namespace zrk6

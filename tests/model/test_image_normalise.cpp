#include <gtest/gtest.h>

#include "model/bcd_freq.h"
#include "model/channel_record.h"
#include "model/image_normalise.h"
#include "model/vfo.h"

using namespace zrk6;

namespace {

const Band kBand{144, 146, "144 - 146 MHz"};

MemoryImage defaultImage()
{
    return StartupImage(kBand);
}

void setFreq(MemoryImage &image, int address, FreqUnits units, ByteOrder order = ByteOrder::LowFirst)
{
    WriteFreqUnits(image, address, units, order);
}

FreqUnits freq(const MemoryImage &image, int address, ByteOrder order = ByteOrder::LowFirst)
{
    return ReadFreqUnits(image, address, order);
}

} // namespace

TEST(NormaliseImage, LeavesEveryDefaultImageAlone)
{
    for (int row = 0; row < kBandCount; ++row) {
        const MemoryImage image = StartupImage(BandFromRow(row));
        EXPECT_EQ(NormaliseImage(image, BandFromRow(row)), image) << BandFromRow(row).text;
    }
}

TEST(NormaliseImage, UnknownModelBecomesTheFirst)
{
    const struct {
        std::uint8_t in, out;
    } cases[] = {{0x38, 0x38}, {0x39, 0x39}, {0x3A, 0x3A}, {0x00, 0x38}, {0x3B, 0x38}, {0xFF, 0x38}};
    for (const auto &c : cases) {
        MemoryImage image = defaultImage();
        image.set(addr::kModel, c.in);
        EXPECT_EQ(NormaliseImage(image, kBand).at(addr::kModel), c.out) << int(c.in);
    }
}

// Out-of-band receive frequencies erase the record; out-of-band transmit frequencies lose the
// transmit part only (TxUnset and the priority channel stay as they are).
TEST(NormaliseImage, ClearsWhatLiesOutsideTheBand)
{
    MemoryImage image = defaultImage();
    const auto fillRecord = [&](int channel, FreqUnits rx, FreqUnits tx) {
        const int b = (channel - 1) * 16;
        setFreq(image, b, rx);
        setFreq(image, b + 4, tx);
        for (int i = 8; i < 16; ++i)
            image.set(b + i, static_cast<std::uint8_t>(0x10 + i));
    };
    fillRecord(1, 14500000, 14560000);  // in band: kept
    fillRecord(2, 14700000, 14500000);  // RX above the band
    fillRecord(3, 14500000, 43000000);  // TX outside
    fillRecord(128, 14400000, 14600000); // both band edges are inside
    image.set(addr::kPriorityChannel, 2);
    const MemoryImage before = image;

    const MemoryImage after = NormaliseImage(image, kBand);
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(after.at(i), before.at(i)) << "channel 1 byte " << i;
        EXPECT_EQ(after.at(16 + i), 0xFF) << "channel 2 byte " << i;
        const bool transmitPart = (i >= 4 && i < 8) || i == 10 || i == 11;
        EXPECT_EQ(after.at(32 + i), transmitPart ? 0xFF : before.at(32 + i)) << "channel 3 byte " << i;
        EXPECT_EQ(after.at(0x7F0 + i), before.at(0x7F0 + i)) << "channel 128 byte " << i;
    }
    EXPECT_EQ(after.at(addr::kPriorityChannel), 2);
    EXPECT_EQ(image, before); // the argument is a copy
}

// The VFO rules, for listed and unlisted steps and duplex values.
TEST(NormaliseImage, PutsTheVfoIntoItsRules)
{
    struct Case {
        const char *name;
        int step;
        int duplex;
        FreqUnits rx, offset;
        FreqUnits wantRx, wantOffset, wantTx;
    };
    // tx of -1: left as the image had it (14300000).
    const Case cases[] = {
        {"6.25K raster", 2, 0, 14500300, 0, 14500000, 0, 14500000},
        {"5K raster, halves up", 0, 2, 14500250, 60000, 14500500, 60000, 14560500},
        {"rx above the band", 3, 1, 14700000, 60000, 14599500, 60000, 14539500},
        {"rx below, tx clamped", 0, 1, 14000000, 60000, 14400000, 60000, 14400000},
        {"offset above the maximum", 1, 2, 14500000, 300000, 14500000, 199500, 14600000},
        {"unlisted step keeps the frequencies", 7, 0, 14500300, 123, 14500300, 123, 14500300},
        {"unlisted duplex keeps tx", 7, 3, 14500300, 123, 14500300, 123, -1},
    };
    for (const Case &c : cases) {
        MemoryImage image = defaultImage();
        image.set(addr::kVfoStep, static_cast<std::uint8_t>(c.step));
        image.setMasked(vfo::kModeFlags, 0xC0, static_cast<std::uint8_t>(c.duplex << 6));
        setFreq(image, vfo::kRxFreq, c.rx);
        setFreq(image, vfo::kTxFreq, 14300000);
        setFreq(image, vfo::kOffset, c.offset, ByteOrder::HighFirst);
        const MemoryImage after = NormaliseImage(image, kBand);
        EXPECT_EQ(freq(after, vfo::kRxFreq), c.wantRx) << c.name;
        EXPECT_EQ(freq(after, vfo::kOffset, ByteOrder::HighFirst), c.wantOffset) << c.name;
        EXPECT_EQ(freq(after, vfo::kTxFreq), c.wantTx < 0 ? 14300000 : c.wantTx) << c.name;
        EXPECT_EQ(after.at(vfo::kModeFlags), image.at(vfo::kModeFlags)) << c.name;
        EXPECT_EQ(after.at(addr::kVfoStep), c.step) << c.name;
    }
}

TEST(NormaliseImage, RewritesVfoTonesFromTheirText)
{
    const struct {
        std::uint8_t low, high, wantLow, wantHigh;
    } cases[] = {
        {0x70, 0x06, 0x70, 0x06}, // 67.0 stays
        {0x23, 0xC0, 0x23, 0xC0}, // D023I stays
        {0x23, 0xB0, 0x23, 0x80}, // D023N with stray bits: rewritten from its text
        {0xFF, 0xFF, 0x00, 0x00}, // None is 00 00 in the VFO
        {0x34, 0x12, 0x00, 0x00}, // not a listed tone
    };
    for (const auto &c : cases) {
        MemoryImage image = defaultImage();
        for (const int address : {vfo::kDecode, vfo::kEncode}) {
            image.set(address, c.low);
            image.set(address + 1, c.high);
        }
        const MemoryImage after = NormaliseImage(image, kBand);
        for (const int address : {vfo::kDecode, vfo::kEncode}) {
            EXPECT_EQ(after.at(address), c.wantLow) << std::hex << int(c.high) << int(c.low);
            EXPECT_EQ(after.at(address + 1), c.wantHigh) << std::hex << int(c.high) << int(c.low);
        }
    }
}

// New and a band change start from the image in the window: its channels and settings go,
// its band variant and (known) model stay.
TEST(FreshImage, KeepsOnlyTheVariantAndTheModel)
{
    MemoryImage used = defaultImage();
    used.fill(0x11);
    used.set(addr::kBandVariant, 0x02);
    used.set(addr::kModel, 0x3A);
    const Band other = BandFromRow(kBandCount - 1);
    const MemoryImage fresh = FreshImage(used, other);

    MemoryImage expected = StartupImage(other);
    expected.set(addr::kBandVariant, 0x02);
    expected.set(addr::kModel, 0x3A);
    EXPECT_EQ(fresh, expected);
    EXPECT_EQ(FreshImage(fresh, other), fresh);
    EXPECT_EQ(FreshImage(used, kBand).at(addr::kModel), 0x3A);
}

#include <gtest/gtest.h>

#include "model/vfo.h"

using namespace zrk6;

namespace {

const Band k2m{144, 146, "144 - 146 MHz"};

MemoryImage defaultImage(const Band &band)
{
    MemoryImage image;
    BuildDefaultImage(image, band);
    return image;
}

} // namespace

TEST(Vfo, ReceiveRule)
{
    struct Case {
        const char *text;
        FreqUnits raster;
        VfoValue result;
    };
    const Case cases[] = {
        {"145.128", 625, {14512500, false}},
        {"145.128", 500, {14513000, false}},
        {"145.1275", 500, {14513000, false}}, // halfway goes up
        {"147", 500, {14599500, true}},
        {"143", 500, {14400000, true}},
        {"146", 625, {14600000, false}},
        {"146.001", 500, {14599500, true}},
        {"", 500, {14400000, true}},
        {"x145", 500, {14400000, true}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(VfoRxRule(c.text, c.raster, k2m), c.result) << c.text << " / " << c.raster;
}

TEST(Vfo, OffsetRule)
{
    struct Case {
        const char *text;
        FreqUnits raster;
        VfoValue result;
    };
    const Case cases[] = {
        {"5", 500, {199500, true}},
        {"1.995", 625, {199375, false}}, // the raster point above MaxOffset steps back
        {"1.99499", 500, {199500, false}},
        {"0.6", 625, {60000, false}},
        {"0.003125", 625, {625, false}},
        {"", 500, {0, false}},
        // Ten-digit and longer integer parts saturate instead of overflowing into a negative value.
        {"9223372036", 500, {199500, true}},
        {"9223372037", 500, {199500, true}},
        {"99999999999999999999.5", 625, {199500, true}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(VfoOffsetRule(c.text, c.raster, k2m), c.result) << c.text;
}

TEST(Vfo, TransmitIsDerivedAndClamped)
{
    EXPECT_EQ(DeriveVfoTx(14500000, 150000, 0, k2m), 14500000);
    EXPECT_EQ(DeriveVfoTx(14500000, 150000, 1, k2m), 14400000);
    EXPECT_EQ(DeriveVfoTx(14500000, 150000, 2, k2m), 14600000);
    EXPECT_EQ(DeriveVfoTx(14560000, 60000, 2, BandFromRow(0)), 14620000);
    EXPECT_EQ(DeriveVfoTx(14500000, 150000, 3, k2m), 14500000);
}

TEST(Vfo, PanelChangesKeepTheBlockConsistent)
{
    MemoryImage image = defaultImage(k2m);
    EXPECT_FALSE(StoreVfoRxFrequency(image, "145.6", k2m));
    EXPECT_FALSE(StoreVfoOffset(image, "0.6", k2m));
    const std::uint8_t rx[] = {0x00, 0x00, 0x56, 0x14};
    const std::uint8_t offset[] = {0x00, 0x06, 0x00, 0x00};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(image.at(0xD00 + i), rx[i]);
        EXPECT_EQ(image.at(0xD10 + i), offset[i]);
    }
    SetVfoDuplex(image, 2, k2m);
    EXPECT_EQ(image.at(0xD0D), 0xB8);
    EXPECT_EQ(ReadVfo(image, kEnglish).duplex, 2);
    EXPECT_EQ(ReadFreqUnits(image, 0xD04, ByteOrder::LowFirst), 14600000);

    SetVfoWide(image, false);
    SetVfoHighPower(image, false);
    EXPECT_EQ(image.at(0xD0D), 0x88);

    WriteVfoTone(image, 0xD08, "67.0");
    EXPECT_EQ(ReadVfo(image, kEnglish).decodeText, "67.0");
    WriteVfoTone(image, 0xD08, "无");
    EXPECT_EQ(image.at(0xD08), 0x00);
    EXPECT_EQ(image.at(0xD09), 0x00);
    EXPECT_EQ(ReadVfo(image, kEnglish).decodeText, "None");
}

TEST(Vfo, StepChangeReappliesBothRules)
{
    MemoryImage image = defaultImage(k2m);
    image.set(0xFC7, 0); // 5K
    StoreVfoRxFrequency(image, "145.13", k2m);
    StoreVfoOffset(image, "0.6", k2m);
    SetVfoDuplex(image, 1, k2m);
    const StepChangeResult result = ChangeVfoStep(image, 2, k2m);
    EXPECT_FALSE(result.rxOutOfRange);
    EXPECT_FALSE(result.offsetOutOfRange);
    EXPECT_EQ(image.at(0xFC7), 2);
    EXPECT_EQ(ReadVfo(image, kEnglish).rxText, "145.13125");
    EXPECT_EQ(ReadFreqUnits(image, 0xD04, ByteOrder::LowFirst), 14453125);
}

#include <gtest/gtest.h>

#include "model/bcd_freq.h"
#include "model/channel_record.h"
#include "model/optional_features.h"
#include "record_fixtures.h"

using namespace zrk6;

namespace {

const Band k2m{144, 146, "144 - 146 MHz"};

MemoryImage defaultImage()
{
    MemoryImage image;
    BuildDefaultImage(image, k2m);
    return image;
}

} // namespace

TEST(OptionalFeatures, DefaultImageDecodes)
{
    OptionalFeatures expected;
    expected.timeOutTimer = 4;
    expected.squelchLevel = 5;
    expected.scanMode = 1;
    expected.lamp = 1;
    expected.manual = true;
    expected.beepTone = true;
    expected.batterySave = true;
    expected.chordLanguage = ChordLanguage::Off;
    EXPECT_EQ(DecodeOptionalFeatures(defaultImage(), k2m), expected);
}

TEST(OptionalFeatures, OutOfRangeValuesNormaliseOnConfirm)
{
    struct Case {
        int address;
        std::uint8_t stored;
        std::uint8_t afterConfirm;
    };
    const Case cases[] = {
        {0xFC4, 21, 0},   {0xFC3, 10, 0},   {0xFC5, 200, 0},  {0xFC6, 6, 0},
        {0xFC1, 0x18, 0x00}, {0xFC1, 0xFF, 0xE7}, {0xFC0, 0x70, 0x10}, {0xFC0, 0x60, 0x20},
        {0xFC9, 200, 0},  {0xFC9, 5, 0}, // channel 5 is empty
    };
    for (const auto &c : cases) {
        MemoryImage image = defaultImage();
        image.set(c.address, c.stored);
        EncodeOptionalFeatures(image, DecodeOptionalFeatures(image, k2m));
        EXPECT_EQ(image.at(c.address), c.afterConfirm) << std::hex << c.address << " " << int(c.stored);
    }
}

TEST(OptionalFeatures, PriorityNamesAChannelInUse)
{
    MemoryImage image = defaultImage();
    StoreRxFrequency(image, 5, "145.00000", k2m);
    image.set(0xFC9, 5);
    EXPECT_EQ(DecodeOptionalFeatures(image, k2m).priorityChannel, 5);
    image.set(0xFC9, 128);
    EXPECT_EQ(DecodeOptionalFeatures(image, k2m).priorityChannel, 0);
}

TEST(OptionalFeatures, ConfirmChangesNoUnownedBit)
{
    // Every byte of 0xFC0-0xFC2 all ones and all zeros: a round trip keeps them.
    for (std::uint8_t fill : {0x00, 0xFF}) {
        MemoryImage image = defaultImage();
        for (int a = 0xFC0; a <= 0xFC2; ++a)
            image.set(a, fill);
        const MemoryImage before = image;
        EncodeOptionalFeatures(image, DecodeOptionalFeatures(image, k2m));
        EXPECT_EQ(image.at(0xFC1), before.at(0xFC1) & (fill ? 0xE7 : 0xFF));
        EXPECT_EQ(image.at(0xFC2), before.at(0xFC2));
        // Scan mode: only the first of the set bits survives.
        EXPECT_EQ(image.at(0xFC0), fill ? 0x9F : 0x00);
    }

    // Turning every field on and off leaves the unowned bits of each byte alone.
    MemoryImage image = defaultImage();
    image.set(0xFC0, 0x05);
    image.set(0xFC1, 0xE7);
    image.set(0xFC2, 0x2B);
    OptionalFeatures f = DecodeOptionalFeatures(image, k2m);
    f.keyLock = f.revertFrequency = f.batterySave = f.scrambler = f.beepTone = f.manual = true;
    f.channelDisplay = 1;
    f.scanMode = 3;
    f.lamp = 2;
    EncodeOptionalFeatures(image, f);
    EXPECT_EQ(image.at(0xFC0), 0x05 | 0x80 | 0x08 | 0x02 | 0x40);
    EXPECT_EQ(image.at(0xFC1), 0xE7 | 0x10);
    EXPECT_EQ(image.at(0xFC2), 0x2B | 0x04 | 0x10 | 0x40 | 0x80);
}

TEST(OptionalFeatures, ChordLanguageAndPttIdAreReadOnly)
{
    struct Case {
        std::uint8_t fc2;
        ChordLanguage chord;
    };
    for (const auto &c : {Case{0x01, ChordLanguage::Off}, Case{0x03, ChordLanguage::Chinese},
                          Case{0x02, ChordLanguage::English}}) {
        MemoryImage image = defaultImage();
        image.set(0xFC2, c.fc2);
        const OptionalFeatures f = DecodeOptionalFeatures(image, k2m);
        EXPECT_EQ(f.chordLanguage, c.chord);
        EncodeOptionalFeatures(image, f);
        EXPECT_EQ(image.at(0xFC2) & 0x03, c.fc2 & 0x03);
    }

    MemoryImage image = defaultImage();
    const std::uint8_t ani[] = {0x31, 0x32, 0x41, 0x33};
    const std::uint8_t name[] = {0x41, 0x30, 0x42};
    for (int i = 0; i < 4; ++i)
        image.set(0xFD0 + i, ani[i]);
    for (int i = 0; i < 3; ++i)
        image.set(0xFE0 + i, name[i]);
    OptionalFeatures f = DecodeOptionalFeatures(image, k2m);
    EXPECT_EQ(f.pttIdAni, "12");
    EXPECT_EQ(f.pttIdName, "A");
    const char *full = "AB12Z9";
    for (int i = 0; i < 6; ++i)
        image.set(0xFE0 + i, static_cast<std::uint8_t>(full[i]));
    image.set(0xFD3, 0x39);
    image.set(0xFD2, 0x30);
    f = DecodeOptionalFeatures(image, k2m);
    EXPECT_EQ(f.pttIdName, "AB12Z9");
    EXPECT_EQ(f.pttIdAni, "1209");
    EXPECT_EQ(DecodeOptionalFeatures(defaultImage(), k2m).pttIdName, "");
}

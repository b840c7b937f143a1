#include <gtest/gtest.h>

#include "model/channel_record.h"
#include "model/image_diff.h"
#include "model/vfo.h"

using namespace zrk6;

TEST(ImageDiff, ChangedRangesAreMaximalRuns)
{
    const MemoryImage base = StartupImage();
    struct Case {
        const char *name;
        std::vector<int> changed;
        std::vector<AddressRange> want;
    };
    const Case cases[] = {
        {"identical", {}, {}},
        {"first and last byte", {0x000, 0xFFF}, {{0x000, 0x001}, {0xFFF, 0x1000}}},
        {"adjacent bytes join", {0x010, 0x011, 0x012, 0x020}, {{0x010, 0x013}, {0x020, 0x021}}},
    };
    for (const Case &c : cases) {
        MemoryImage changed = base;
        for (const int address : c.changed)
            changed.set(address, static_cast<std::uint8_t>(changed.at(address) ^ 0x5A));
        EXPECT_EQ(ChangedRanges(base, changed), c.want) << c.name;
        EXPECT_EQ(ChangedRanges(changed, base), c.want) << c.name;
    }
}

TEST(ImageDiff, FieldOfEveryRegion)
{
    using G = FieldGroup;
    using F = ImageField;
    const struct {
        int address;
        FieldRef want;
    } cases[] = {
        {0x000, {G::Channel, F::ChannelRxFreq, 1}},
        {0x013, {G::Channel, F::ChannelRxFreq, 2}},
        {0x014, {G::Channel, F::ChannelTxFreq, 2}},
        {0x0B9, {G::Channel, F::ChannelDecodeTone, 12}},
        {0x0BA, {G::Channel, F::ChannelEncodeTone, 12}},
        {0x0BC, {G::Channel, F::ChannelOptionFlags, 12}},
        {0x0BD, {G::Channel, F::ChannelFlags, 12}},
        {0x0BE, {G::Channel, F::ChannelSpare, 12}},
        {0x7FF, {G::Channel, F::ChannelUnsetFlags, 128}},
        {0x800, {}},
        {0xCFF, {}},
        {0xD03, {G::Vfo, F::VfoRxFreq, 0}},
        {0xD04, {G::Vfo, F::VfoTxFreq, 0}},
        {0xD09, {G::Vfo, F::VfoDecodeTone, 0}},
        {0xD0B, {G::Vfo, F::VfoEncodeTone, 0}},
        {0xD0C, {}},
        {0xD0D, {G::Vfo, F::VfoModeFlags, 0}},
        {0xD0E, {}},
        {0xD13, {G::Vfo, F::VfoOffset, 0}},
        {0xD14, {}},
        {0xFC7, {G::Vfo, F::VfoStep, 0}},
        {0xFB0, {G::Identity, F::RadioId, 0}},
        {0xFB7, {G::Identity, F::RadioId, 0}},
        {0xFB8, {}},
        {0xFBA, {G::Identity, F::BandVariant, 0}},
        {0xFBB, {G::Identity, F::Model, 0}},
        {0xFC0, {G::OptionalFeatures, F::FeatureDisplayFlags, 0}},
        {0xFC1, {G::OptionalFeatures, F::FeatureLamp, 0}},
        {0xFC2, {G::OptionalFeatures, F::FeatureSwitches, 0}},
        {0xFC3, {G::OptionalFeatures, F::SquelchLevel, 0}},
        {0xFC4, {G::OptionalFeatures, F::TimeOutTimer, 0}},
        {0xFC5, {G::OptionalFeatures, F::VoxGain, 0}},
        {0xFC6, {G::OptionalFeatures, F::VoxDelay, 0}},
        {0xFC8, {}},
        {0xFC9, {G::OptionalFeatures, F::PriorityChannel, 0}},
        {0xFD3, {G::OptionalFeatures, F::PttIdAni, 0}},
        {0xFD4, {}},
        {0xFE5, {G::OptionalFeatures, F::PttIdName, 0}},
        {0xFE6, {}},
        {0xFF0, {G::Identity, F::BandLimits, 0}},
        {0xFF2, {G::Identity, F::BandLimits, 0}},
        {0xFF3, {}},
        {0xFFF, {}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(FieldAt(c.address), c.want) << std::hex << c.address;
    EXPECT_THROW(FieldAt(-1), std::out_of_range);
    EXPECT_THROW(FieldAt(kImageSize), std::out_of_range);
}

// An edit of channel 12 and stray bytes: one entry per field, plain bytes per adjacent run.
TEST(ImageDiff, ChangedFieldsNameEachFieldOnce)
{
    const Band band{144, 146, "144 - 146 MHz"};
    const MemoryImage before = StartupImage(band);
    MemoryImage after = before;
    ChannelValue v;
    v.rx = 14512500;
    v.power = TxPower::Low;
    WriteChannel(after, 12, v, band);
    after.set(0x900, 0);
    after.set(0x901, 0);
    after.set(0x903, 0);
    after.set(vfo::kModeFlags, 0x00);

    const std::vector<FieldChange> want = {
        {{FieldGroup::Channel, ImageField::ChannelRxFreq, 12}, {0x0B0, 0x0B4}},
        {{FieldGroup::Channel, ImageField::ChannelOptionFlags, 12}, {0x0BC, 0x0BD}},
        {{FieldGroup::Channel, ImageField::ChannelFlags, 12}, {0x0BD, 0x0BE}},
        {{FieldGroup::Channel, ImageField::ChannelUnsetFlags, 12}, {0x0BF, 0x0C0}},
        {{}, {0x900, 0x902}},
        {{}, {0x903, 0x904}},
        {{FieldGroup::Vfo, ImageField::VfoModeFlags, 0}, {0xD0D, 0xD0E}},
    };
    EXPECT_EQ(ChangedFields(before, after), want);
}

TEST(RadioWrite, SendsEverythingButThePttNameAndTheLastBytes)
{
    const struct {
        int address;
        bool written;
    } cases[] = {{0x000, true},  {0x7FF, true},  {0xD00, true},  {0xFD3, true},  {0xFDF, true}, {0xFE0, false},
                 {0xFEF, false}, {0xFF0, true},  {0xFF2, true},  {0xFF3, false}, {0xFFF, false}};
    for (const auto &c : cases)
        EXPECT_EQ(IsWrittenToRadio(c.address), c.written) << std::hex << c.address;
}

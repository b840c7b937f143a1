#include <gtest/gtest.h>

#include <vector>

#include "model/band.h"
#include "model/fields.h"

using namespace zrk6;

namespace {

const Band k2m{144, 146, "144 - 146 MHz"};

std::vector<std::string> itemTexts(FieldId field, LanguageMode language)
{
    std::vector<std::string> texts;
    for (const Choice &c : Field(field).choices)
        texts.push_back(ChoiceText(c, language));
    return texts;
}

// The default image with channel 3 in use.
MemoryImage sampleImage()
{
    MemoryImage image;
    BuildDefaultImage(image, k2m);
    ChannelValue value;
    value.rx = 14512500;
    value.tx = 14560000;
    WriteChannel(image, 3, value, k2m);
    return image;
}

} // namespace

// The lists every front end shows, in their order, with the values they store.
TEST(Fields, ChoiceListsInOrder)
{
    struct Case {
        FieldId field;
        std::vector<std::string> english;
        std::vector<int> values;
    };
    const Case cases[] = {
        {FieldId::WideNarrow, {"Wide", "Narrow"}, {1, 0}},
        {FieldId::Scan, {"Add", "Del"}, {1, 0}},
        {FieldId::TxPower, {"Low", "Mid", "High"}, {0, 1, 2}},
        {FieldId::Bcl, {"Off", "Carrier", "QT/DQT"}, {0, 1, 2}},
        {FieldId::Scrambler, {"Off", "On"}, {0, 1}},
        {FieldId::VfoDuplex, {"Simplex", "Minus", "Plus"}, {0, 1, 2}},
        {FieldId::VfoStep, {"5K", "10K", "6.25K", "12.5K", "25K"}, {0, 1, 2, 3, 4}},
        {FieldId::VfoWideNarrow, {"Narrow", "Wide"}, {0, 1}},
        {FieldId::VfoTxPower, {"Low", "High"}, {0, 1}},
        {FieldId::ChordLanguage, {"Chinese", "English", "Off"}, {0, 1, 2}},
        {FieldId::ChannelDisplay, {"Channel", "Channel+Frequency"}, {0, 1}},
        {FieldId::ScanMode, {"Off", "ChannelMode", "CTCSS Mode", "DCS Mode"}, {0, 1, 2, 3}},
        {FieldId::Lamp, {"Off", "Auto", "On"}, {0, 1, 2}},
        {FieldId::VoxDelay, {"0.3", "0.5", "1.0", "1.5", "2.0", "3.0"}, {0, 1, 2, 3, 4, 5}},
        {FieldId::VoxGain, {"Off", "1", "2", "3", "4", "5", "6", "7", "8", "9"}, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}},
        {FieldId::SquelchLevel, {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"}, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(static_cast<int>(c.field));
        EXPECT_EQ(itemTexts(c.field, kEnglish), c.english);
        std::vector<int> values;
        for (const Choice &choice : Field(c.field).choices)
            values.push_back(choice.value);
        EXPECT_EQ(values, c.values);
    }
    // The long numbered lists: their ends and their length.
    EXPECT_EQ(itemTexts(FieldId::TimeOutTimer, kEnglish).size(), 21u);
    EXPECT_EQ(ChoiceValueText(FieldId::TimeOutTimer, 20, kEnglish), "300");
    EXPECT_EQ(itemTexts(FieldId::PriorityChannel, kEnglish).size(), 129u);
    EXPECT_EQ(ChoiceValueText(FieldId::PriorityChannel, 128, kEnglish), "128");
    // Composite items follow the language in every part.
    EXPECT_EQ(itemTexts(FieldId::ScanMode, kChinese)[1], "信道模式");
    EXPECT_EQ(itemTexts(FieldId::ChannelDisplay, kChinese)[1], "信道+频率");
}

TEST(Fields, CatalogueIsComplete)
{
    ASSERT_EQ(AllFields().size(), static_cast<std::size_t>(kFieldCount));
    for (const FieldInfo &f : AllFields()) {
        EXPECT_FALSE(LoadText(f.labelId, kEnglish).empty()) << static_cast<int>(f.id);
        EXPECT_EQ(f.kind == FieldKind::Choice, !f.choices.empty()) << static_cast<int>(f.id);
        for (const Choice &c : f.choices)
            EXPECT_FALSE(ChoiceText(c, kChinese).empty()) << static_cast<int>(f.id);
    }
    EXPECT_EQ(FieldsOf(FieldScope::Channel).size(), static_cast<std::size_t>(kChannelColumns));
    for (int c = 0; c < kChannelColumns; ++c)
        EXPECT_EQ(ColumnOf(FieldOf(static_cast<ChannelColumn>(c))), static_cast<ChannelColumn>(c));
}

// Every item of every writable choice field reads back as written, and writing a field
// leaves every byte outside it as it was.
TEST(Fields, WriteReadsBackAndTouchesOnlyItsField)
{
    for (const FieldInfo &f : AllFields()) {
        if (f.kind != FieldKind::Choice || f.readOnly)
            continue;
        for (const Choice &c : f.choices) {
            SCOPED_TRACE(ChoiceText(c, kEnglish) + " of field " + std::to_string(static_cast<int>(f.id)));
            MemoryImage image = sampleImage();
            if (f.id == FieldId::PriorityChannel && c.value != 0 && c.value != 3)
                continue; // only a channel in use can be the priority channel
            const MemoryImage before = image;
            WriteChoice(image, k2m, f.id, c.value, 3);
            EXPECT_EQ(ReadChoice(image, k2m, f.id, 3), c.value);
            EXPECT_EQ(FieldText(image, k2m, f.id, kEnglish, 3), ChoiceText(c, kEnglish));
            // The step and duplex move the VFO's frequencies with them; nothing else may change.
            const bool vfoRule = f.id == FieldId::VfoStep || f.id == FieldId::VfoDuplex;
            for (int a = 0; a < kImageSize; ++a) {
                const bool own = (f.scope == FieldScope::Channel && a >= 0x20 && a < 0x30) ||
                                 (f.scope == FieldScope::Vfo && (a == 0xD0D || a == addr::kVfoStep)) ||
                                 (f.scope == FieldScope::Settings && a >= 0xFC0 && a <= 0xFC9) ||
                                 (vfoRule && a >= 0xD00 && a < 0xD14);
                if (!own)
                    ASSERT_EQ(image.at(a), before.at(a)) << std::hex << a;
            }
        }
    }
}

TEST(Fields, TextsOfTheImage)
{
    MemoryImage image = sampleImage();
    // A channel shows as the grid does; an empty one shows nothing.
    const RowTexts row = ChannelRowTexts(image, 3, k2m, kChinese);
    for (const FieldInfo &f : FieldsOf(FieldScope::Channel))
        EXPECT_EQ(FieldText(image, k2m, f.id, kChinese, 3), row[static_cast<std::size_t>(ColumnOf(f.id))]);
    EXPECT_EQ(FieldText(image, k2m, FieldId::TxPower, kEnglish, 4), "");
    // An unlisted stored value shows as its number.
    image.set(addr::kVfoStep, 7);
    EXPECT_EQ(FieldText(image, k2m, FieldId::VfoStep, kEnglish), "7");
    EXPECT_EQ(FieldText(image, k2m, FieldId::VfoRxFreq, kEnglish), "144.02500");
    // Texts parse back to their values in their own language only.
    EXPECT_EQ(ChoiceValueOf(FieldId::TxPower, "中", kChinese), 1);
    EXPECT_EQ(ChoiceValueOf(FieldId::TxPower, "Mid", kChinese), std::nullopt);
}

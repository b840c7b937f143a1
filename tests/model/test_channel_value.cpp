#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/bcd_freq.h"
#include "model/channel_record.h"
#include "model/tone.h"
#include "record_fixtures.h"

using namespace zrk6;

namespace {

const Band kBand{144, 146, "144 - 146 MHz"};
constexpr int kChannel = 7;

using Record = std::array<std::uint8_t, 16>;

MemoryImage withRecord(const Record &r)
{
    MemoryImage image;
    image.fill(0xFF);
    for (int i = 0; i < 16; ++i)
        image.set(kChannel - 1, i, r[static_cast<std::size_t>(i)]);
    return image;
}

std::string text(int id, LanguageMode language)
{
    return std::string(LoadText(id, language));
}

// What a user does in the grid to make the channel show value: commit the RX and TX entries
// whose text changes, then pick each drop-down item that differs from its cell. Only the
// display-text writers are used, and the cells are the row texts of the image as it stands.
void typeIntoGrid(MemoryImage &image, const ChannelValue &v, LanguageMode language)
{
    const auto cell = [&](ChannelColumn c) {
        return ChannelRowTexts(image, kChannel, kBand, language)[static_cast<std::size_t>(c)];
    };
    const std::string rx = FormatFreq(*v.rx);
    if (cell(ChannelColumn::RxFreq) != rx)
        StoreRxFrequency(image, kChannel, rx, kBand);
    const std::string tx = v.tx ? FormatFreq(*v.tx) : std::string();
    if (cell(ChannelColumn::TxFreq) != tx) {
        if (v.tx)
            StoreTxFrequency(image, kChannel, tx);
        else
            WriteChannelField(image, kChannel, ChannelColumn::TxFreq, ChannelValue{}, Band{});
    }
    const auto choose = [&](ChannelColumn c, const std::string &item) {
        if (cell(c) == item)
            return;
        if (c == ChannelColumn::Decode || c == ChannelColumn::Encode)
            WriteChannelTone(image, kChannel, c, item);
        else
            WriteChannelOption(image, kChannel, c, item, language);
    };
    choose(ChannelColumn::Decode, ToneText(v.decode, language));
    if (v.tx)
        choose(ChannelColumn::Encode, ToneText(v.encode, language));
    choose(ChannelColumn::WideNarrow, text(v.wide ? 1217 : 1218, language));
    choose(ChannelColumn::Scan, text(v.scan ? 1221 : 1220, language));
    const int power[] = {1214, 1257, 1215};
    choose(ChannelColumn::TxPower, text(power[static_cast<int>(v.power)], language));
    const int bcl[] = {1101, 1226, 1225};
    choose(ChannelColumn::Bcl, text(bcl[static_cast<int>(v.busyLock)], language));
    choose(ChannelColumn::Scrambler, text(v.scrambler ? 1100 : 1101, language));
}

ChannelValue value(FreqUnits rx, std::optional<FreqUnits> tx, Tone decode, Tone encode, bool wide, bool scan,
                   TxPower power, BusyLock bcl, bool scrambler)
{
    return ChannelValue{rx, tx, decode, encode, wide, scan, power, bcl, scrambler};
}

} // namespace

namespace {

const std::vector<ChannelValue> &sampleValues()
{
    static const std::vector<ChannelValue> values = {
        value(14512500, {}, {}, {}, true, true, TxPower::High, BusyLock::Off, false), // the defaults
        value(14400000, 14560000, Tone::Ctcss(670), Tone::Dcs(23, DcsPolarity::Normal), false, false,
              TxPower::Low, BusyLock::Carrier, true),
        value(14600000, 14400625, Tone::Dcs(754, DcsPolarity::Inverted), Tone::Ctcss(2541), true, false,
              TxPower::Mid, BusyLock::QtDqt, false),
        // Encode without a transmit frequency cannot be typed and is not written.
        value(14450000, {}, Tone::Ctcss(885), Tone::Ctcss(1000), false, true, TxPower::Low, BusyLock::QtDqt, true),
        value(14450000, 14450000, {}, {}, true, true, TxPower::High, BusyLock::Off, false),
    };
    return values;
}

} // namespace

// The records the grid produced for the sample values on an erased channel.
TEST(ChannelValue, NewChannelBytes)
{
    const Record want[] = {
        {0x00, 0x25, 0x51, 0x14, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xBF, 0xD9, 0xFF, 0xFE},
        {0x00, 0x00, 0x40, 0x14, 0x00, 0x00, 0x56, 0x14, 0x70, 0x06, 0x23, 0x80, 0xFF, 0x83, 0xFF, 0xFC},
        {0x00, 0x00, 0x60, 0x14, 0x25, 0x06, 0x40, 0x14, 0x54, 0xC7, 0x41, 0x25, 0xBF, 0xB5, 0xFF, 0xFC},
        {0x00, 0x00, 0x45, 0x14, 0xFF, 0xFF, 0xFF, 0xFF, 0x85, 0x08, 0xFF, 0xFF, 0xFF, 0x8D, 0xFF, 0xFE},
        {0x00, 0x00, 0x45, 0x14, 0x00, 0x00, 0x45, 0x14, 0xFF, 0xFF, 0xFF, 0xFF, 0xBF, 0xD9, 0xFF, 0xFC},
    };
    const Record erased{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    for (std::size_t i = 0; i < std::size(want); ++i) {
        MemoryImage image = withRecord(erased);
        WriteChannel(image, kChannel, sampleValues()[i], kBand);
        EXPECT_EQ(image, withRecord(want[i])) << "value " << i;
    }
}

// Writing a value gives the bytes of typing it into the grid, for new channels on an erased
// and on a garbled record, and for changes to a channel in use.
TEST(ChannelValue, WritingEqualsTypingIntoTheGrid)
{
    const std::vector<ChannelValue> &values = sampleValues();
    const std::vector<std::pair<const char *, Record>> starts = {
        {"erased", {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}},
        // RX 990 MHz (out of band) and every other byte garbled.
        {"garbled", {0x00, 0x00, 0x00, 0x99, 0x12, 0x34, 0x56, 0x78, 0x12, 0x34, 0x56, 0x78, 0x5A, 0xA5, 0x3C, 0xC3}},
        // In use: RX 145.00000, TX 145.60000, 67.0 / D023I, flags with the uninterpreted bits set.
        {"in use", {0x00, 0x00, 0x50, 0x14, 0x00, 0x00, 0x56, 0x14, 0x70, 0x06, 0x23, 0xC0, 0xFF, 0xFF, 0x12, 0xFC}},
    };
    for (const LanguageMode language : {kEnglish, kChinese}) {
        for (const auto &[name, start] : starts) {
            for (std::size_t i = 0; i < values.size(); ++i) {
                MemoryImage typed = withRecord(start);
                MemoryImage written = typed;
                typeIntoGrid(typed, values[i], language);
                WriteChannel(written, kChannel, values[i], kBand);
                EXPECT_EQ(written, typed) << name << ", value " << i << ", language " << language;
                ChannelValue expected = values[i];
                if (!expected.tx)
                    expected.encode = Tone{};
                EXPECT_EQ(ReadChannel(written, kChannel, kBand), expected) << name << ", value " << i;
            }
        }
    }
}

// A record read as a value and written back keeps every byte, odd bits and unlisted tones included.
TEST(ChannelValue, WritingBackWhatWasReadChangesNothing)
{
    const std::vector<Record> records = {
        // power 3, BCL 3, bits 0 and 7 set, unlisted tones 00 00 and 12 34
        {0x00, 0x00, 0x50, 0x14, 0x00, 0x00, 0x56, 0x14, 0x00, 0x00, 0x34, 0x12, 0x00, 0xFF, 0x00, 0x00},
        // transmit part out of band with a tone behind it
        {0x00, 0x00, 0x50, 0x14, 0x00, 0x00, 0x00, 0x40, 0x70, 0x06, 0x70, 0x06, 0xBF, 0x99, 0xFF, 0xFC},
        // empty channel with garbage
        {0x12, 0x34, 0x56, 0x78, 0x12, 0x34, 0x56, 0x78, 0x12, 0x34, 0x56, 0x78, 0x12, 0x34, 0x56, 0x78},
    };
    for (const Record &r : records) {
        MemoryImage image = withRecord(r);
        const MemoryImage before = image;
        WriteChannel(image, kChannel, ReadChannel(image, kChannel, kBand), kBand);
        EXPECT_EQ(image, before) << int(r[13]);
    }
}

TEST(ChannelValue, AnEmptyValueErasesTheChannelAndItsPriority)
{
    MemoryImage image = withRecord({0x00, 0x00, 0x50, 0x14, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xBF,
                                    0x99, 0xFF, 0xFE});
    image.set(addr::kPriorityChannel, kChannel);
    WriteChannel(image, kChannel, ChannelValue{}, kBand);
    MemoryImage expected = withRecord({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                                       0xFF, 0xFF, 0xFF});
    expected.set(addr::kPriorityChannel, 0);
    EXPECT_EQ(image, expected);
    EXPECT_FALSE(ReadChannel(image, kChannel, kBand).rx);
}

// Every tone list text in both languages is a tone value with the same bytes and text.
TEST(ToneValue, EveryListTextIsAValueWithTheSameBytes)
{
    for (const LanguageMode language : {kEnglish, kChinese}) {
        for (const std::string &t : BuildToneList(language)) {
            const std::optional<Tone> tone = ToneFromText(t);
            ASSERT_TRUE(tone) << t;
            EXPECT_EQ(EncodeTone(*tone), EncodeToneText(t)) << t;
            EXPECT_EQ(ToneText(*tone, language), t);
            EXPECT_EQ(DecodeTone(EncodeTone(*tone)), *tone) << t;
        }
    }
    EXPECT_FALSE(ToneFromText("67"));
    EXPECT_FALSE(ToneFromText("D024N")); // not a listed code
    EXPECT_FALSE(IsListedTone(Tone::Ctcss(671)));
    EXPECT_EQ(EncodeTone(Tone::Dcs(24, DcsPolarity::Normal)), (ToneBytes{0xFF, 0xFF}));
    EXPECT_EQ(ToneText(Tone::Ctcss(671), kEnglish), "None");
}

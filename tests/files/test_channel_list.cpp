#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "files/channel_list.h"
#include "list_fixture.h"
#include "model/band.h"
#include "model/channel_record.h"

namespace zrk6 {
namespace {

constexpr auto fixture = test::ListFixture;

constexpr Tone kNone{};
Tone T(int tenths) { return Tone::Ctcss(tenths); }
Tone D(int code, bool inverted = false) { return Tone::Dcs(code, inverted ? DcsPolarity::Inverted : DcsPolarity::Normal); }

// A channel of the fixtures: frequencies in 10 Hz units, tx -1 for none.
ChannelValue Ch(FreqUnits rx, FreqUnits tx, Tone encode = kNone, Tone decode = kNone, bool wide = true,
                TxPower power = TxPower::High, bool scan = true)
{
    ChannelValue c;
    c.rx = rx;
    if (tx >= 0)
        c.tx = tx;
    c.encode = encode;
    c.decode = decode;
    c.wide = wide;
    c.power = power;
    c.scan = scan;
    return c;
}

using Channels = std::vector<std::pair<int, ChannelValue>>;

struct Note {
    std::string location;
    int line;
    ListNote note;
    bool operator==(const Note &) const = default;
};

std::vector<Note> notes(const ChannelListImport &import)
{
    std::vector<Note> out;
    for (const ListReportLine &l : import.report)
        out.push_back({l.location, l.line, l.note});
    return out;
}

std::ostream &operator<<(std::ostream &os, const Note &n)
{
    return os << "{" << n.location << ", line " << n.line << ", " << static_cast<int>(n.note) << "}";
}

} // namespace

// Failure messages show the channel's fields.
void PrintTo(const ChannelValue &c, std::ostream *out)
{
    *out << (c.rx ? std::to_string(*c.rx) : "-") << "/" << (c.tx ? std::to_string(*c.tx) : "-") << " enc "
         << ToneText(c.encode, kEnglish) << " dec " << ToneText(c.decode, kEnglish) << " w" << c.wide << " p"
         << static_cast<int>(c.power) << " s" << c.scan << " b" << static_cast<int>(c.busyLock) << " x"
         << c.scrambler;
}

namespace {

TEST(ChannelList, ReadsEachVintageOfTheFormat)
{
    const TxPower low = TxPower::Low, mid = TxPower::Mid, high = TxPower::High;
    struct Case {
        const char *file;
        int band;
        Channels channels;
    };
    const Case cases[] = {
        {"vintage17.csv", kBand446,
         {{1, Ch(44600625, 44600625, kNone, kNone, false)},
          {2, Ch(44601875, 44601875, kNone, kNone, false)},
          {3, Ch(44603125, 44603125, kNone, kNone, false)},
          {4, Ch(44604375, 44604375, kNone, kNone, false)},
          {5, Ch(44605625, 44605625, kNone, kNone, false)},
          {6, Ch(44606875, 44606875, kNone, kNone, false)},
          {7, Ch(44608125, 44608125, kNone, kNone, false)},
          {8, Ch(44609375, 44609375, kNone, kNone, false)},
          {9, Ch(44600625, 44600625, T(854), T(854), false)},
          {10, Ch(44601875, 44601875, D(155), D(155), false)},
          // No CrossMode column: Tone->Tone.
          {11, Ch(44603125, 44603125, T(670), T(719), false)}}},
        {"vintage18.csv", 0,
         {{1, Ch(16065000, 15605000)},
          {6, Ch(15630000, 15630000)},
          {13, Ch(15665000, 15665000, kNone, kNone, true, low)},
          {15, Ch(15675000, -1, kNone, kNone, true, low)},
          {16, Ch(15680000, 15680000)},
          {22, Ch(15710000, 15710000, kNone, kNone, true, high)},
          {70, Ch(15652500, 15652500, kNone, kNone, true, low, false)}}},
        {"vintage21.csv", 0,
         {{1, Ch(14652000, 14652000)},
          {2, Ch(14694000, 14634000, T(1000))},
          {3, Ch(14700000, 14760000, T(1035), T(1035))},
          {4, Ch(15000000, 16000000, D(23), D(23, true))},
          {5, Ch(16255000, -1, kNone, kNone, false)},
          {6, Ch(14650000, 14650000, T(670), T(885))},
          {7, Ch(14650500, 14650500, T(719), D(754, true))},
          {8, Ch(14651000, 14651000, D(25, true), T(1230))},
          {9, Ch(14651500, 14651500, D(31), D(32))},
          {10, Ch(14652500, 14652500, kNone, T(948))},
          {11, Ch(14653000, 14653000, kNone, D(51, true))},
          {12, Ch(14653500, 14653500, T(770))},
          {13, Ch(14654000, 14654000, D(411, true))},
          {14, Ch(15162500, 15162500, kNone, kNone, false, mid, false)},
          {15, Ch(15457000, 15457000, kNone, kNone, true, low, true)}}},
    };
    for (const Case &c : cases) {
        const ChannelListImport import = ReadChannelList(fixture(c.file), BandFromRow(c.band));
        ASSERT_TRUE(import.ok()) << c.file;
        EXPECT_TRUE(import.report.empty()) << c.file << ": " << ListReportLineText(import.report.front(), kEnglish);
        EXPECT_EQ(import.channels, c.channels) << c.file;
    }
}

TEST(ChannelList, ReadsQuotedCellsCommentsABomAndColumnsInAnyOrder)
{
    const ChannelListImport import = ReadChannelList(fixture("quirks.csv"), BandFromRow(4));
    ASSERT_TRUE(import.ok());
    ChannelValue hiking = Ch(44600625, 44600625, T(670), kNone, false, TxPower::Low);
    hiking.busyLock = BusyLock::Carrier;
    hiking.scrambler = true;
    ChannelValue three = Ch(43500000, 43500000, kNone, kNone, true, TxPower::Low);
    ChannelValue four = Ch(43500625, 43500625, kNone, kNone, true, TxPower::Mid);
    EXPECT_EQ(import.channels,
              (Channels{{1, hiking}, {2, Ch(43352500, 43352500)}, {3, three}, {4, four}}));
    EXPECT_EQ(notes(import), (std::vector<Note>{{"4", 10, ListNote::RxRounded}, {"2", 11, ListNote::Replaces}}));
    EXPECT_EQ(ListReportLineText(import.report[0], kEnglish),
              "Location 4 (line 10): frequency 435.00610 MHz rounded to 435.00625 MHz.");
    EXPECT_EQ(ListReportLineText(import.report[1], kEnglish), "Location 2 (line 11): replaces the row on line 4.");
    EXPECT_EQ(ListReportLineText(import.report[1], kChinese), "位置 2（第 11 行）：替换第 4 行。");
}

TEST(ChannelList, SkipsEachRowThatDoesNotFitAndSaysWhy)
{
    const ChannelListImport import = ReadChannelList(fixture("skips.csv"), BandFromRow(1));
    ASSERT_TRUE(import.ok());
    EXPECT_EQ(import.channels, (Channels{{1, Ch(14552500, 14552500)},
                                         {25, Ch(14550500, 14550500)},
                                         {26, Ch(14550000, 14550500)}}));
    const std::vector<Note> expected{
        {"0", 3, ListNote::BadLocation},        {"129", 4, ListNote::BadLocation},
        {"A1", 5, ListNote::BadLocation},       {"2", 6, ListNote::ShortRow},
        {"3", 7, ListNote::BadFrequency},       {"4", 8, ListNote::BadFrequency},
        {"5", 9, ListNote::RxOutOfBand},        {"6", 10, ListNote::RxOutOfBand},
        {"7", 11, ListNote::RxAboveBand},       {"8", 12, ListNote::BadDuplex},
        {"9", 13, ListNote::BadOffset},         {"10", 14, ListNote::TxAboveBand},
        {"11", 15, ListNote::TxAboveBand},      {"12", 16, ListNote::BadToneMode},
        {"13", 17, ListNote::BadToneMode},      {"14", 18, ListNote::BadCtcss},
        {"15", 19, ListNote::BadDcs},           {"16", 20, ListNote::BadDcs},
        {"17", 21, ListNote::BadPolarity},      {"18", 22, ListNote::BadCrossMode},
        {"19", 23, ListNote::BadMode},          {"20", 24, ListNote::BadMode},
        {"21", 25, ListNote::BadSkip},          {"22", 26, ListNote::BadPower},
        {"23", 27, ListNote::BadBcl},           {"24", 28, ListNote::BadScrambler},
        {"25", 29, ListNote::RxRounded},        {"26", 30, ListNote::TxRounded},
        {"1", 31, ListNote::Replaces},
    };
    EXPECT_EQ(notes(import), expected);
    EXPECT_EQ(import.skippedRows(), 26);

    std::vector<std::string> lines;
    for (const ListReportLine &l : import.report)
        lines.push_back(ListReportLineText(l, kEnglish));
    EXPECT_EQ(lines[0], "Location 0 (line 3): skipped: Location \"0\" is not a channel number 1 - 128.");
    // Frequencies with five decimals, as the grid writes them; the band's upper limit is no channel.
    EXPECT_EQ(lines[6], "Location 5 (line 9): skipped: frequency 0.00000 MHz is outside the band 144 - 146 MHz.");
    EXPECT_EQ(lines[7], "Location 6 (line 10): skipped: frequency 143.99000 MHz is outside the band 144 - 146 MHz.");
    EXPECT_EQ(lines[8], "Location 7 (line 11): skipped: frequency 146.00000 MHz is outside the band 144 - 146 MHz: "
                        "the band ends below 146 MHz.");
    EXPECT_EQ(ListReportLineText(import.report[8], kChinese),
              "位置 7（第 11 行）：已跳过：频率 146.00000 MHz 超出频段 144 - 146 MHz：该频段的频率须低于 146 MHz。");
    EXPECT_EQ(lines[11], "Location 10 (line 14): skipped: transmit frequency 146.10000 MHz is outside the band "
                         "144 - 146 MHz: the band ends below 146 MHz.");
    EXPECT_EQ(ListReportLineText(import.report[11], kChinese),
              "位置 10（第 14 行）：已跳过：发射频率 146.10000 MHz 超出频段 144 - 146 MHz：该频段的频率须低于 146 MHz。");
    EXPECT_EQ(lines[15], "Location 14 (line 18): skipped: CTCSS tone \"150.0\" is not in the radio's list.");
    EXPECT_EQ(lines[27], "Location 26 (line 30): transmit frequency 145.50310 MHz rounded to 145.50500 MHz.");
}

TEST(ChannelList, MissingColumnsTakeTheirDefaults)
{
    const Band band = BandFromRow(0);
    struct Case {
        const char *text;
        ChannelValue channel;
    };
    const Case cases[] = {
        // Only Location and Frequency: no tones, Wide, Add, High, Off, Off, transmit = receive.
        {"Location,Frequency\n1,146.52\n", Ch(14652000, 14652000)},
        // DtcsCode 023 and polarity NN when missing; RxDtcsCode follows DtcsCode.
        {"Location,Frequency,Tone\n1,146.52,DTCS\n", Ch(14652000, 14652000, D(23), D(23))},
        {"Location,Frequency,Tone,DtcsCode,CrossMode\n1,146.52,Cross,754,DTCS->DTCS\n",
         Ch(14652000, 14652000, D(754), D(754))},
        // Tones 88.5 when missing; one of rToneFreq/cToneFreq stands for both.
        {"Location,Frequency,Tone\n1,146.52,TSQL\n", Ch(14652000, 14652000, T(885), T(885))},
        {"Location,Frequency,Tone,rToneFreq\n1,146.52,TSQL,67.0\n", Ch(14652000, 14652000, T(670), T(670))},
        {"Location,Frequency,Tone,cToneFreq\n1,146.52,Tone,71.9\n", Ch(14652000, 14652000, T(719))},
        // Without a transmit part there is no encode tone; the decode tone stays.
        {"Location,Frequency,Duplex,Tone,rToneFreq\n1,146.52,off,Tone,67.0\n", Ch(14652000, -1)},
        {"Location,Frequency,Duplex,Tone,cToneFreq\n1,146.52,off,TSQL,67.0\n", Ch(14652000, -1, kNone, T(670))},
        // "+" without Offset is no offset; names and keywords in any letter case.
        {"location,FREQUENCY,duplex,mode,power\n1,146.52,+,nfm,mid\n",
         Ch(14652000, 14652000, kNone, kNone, false, TxPower::Mid)},
    };
    for (const Case &c : cases) {
        const ChannelListImport import = ReadChannelList(c.text, band);
        ASSERT_TRUE(import.ok()) << c.text;
        EXPECT_TRUE(import.report.empty()) << c.text;
        EXPECT_EQ(import.channels, (Channels{{1, c.channel}})) << c.text;
    }
}

TEST(ChannelList, PowerInWattsPicksTheNearestLevel)
{
    struct Case {
        const char *power;
        TxPower level;
    };
    const Case cases[] = {
        {"5.0W", TxPower::High}, {"50W", TxPower::High},  {"4W", TxPower::High},   {"3.76W", TxPower::High},
        {"3.75W", TxPower::Mid}, {"2W", TxPower::Mid},    {"1.75W", TxPower::Low}, {"0.5 w", TxPower::Low},
        {"0W", TxPower::Low},    {"high", TxPower::High}, {"LOW", TxPower::Low},   {"", TxPower::High},
    };
    for (const Case &c : cases) {
        const ChannelListImport import =
            ReadChannelList(std::string("Location,Frequency,Power\n1,146.52,\"") + c.power + "\"\n", BandFromRow(0));
        ASSERT_EQ(import.channels.size(), 1U) << c.power;
        EXPECT_EQ(import.channels[0].second.power, c.level) << c.power;
    }
    for (const char *bad : {"5", "W", "-1W", "5 watts", "Turbo"}) {
        const ChannelListImport import =
            ReadChannelList(std::string("Location,Frequency,Power\n1,146.52,") + bad + "\n", BandFromRow(0));
        EXPECT_TRUE(import.channels.empty()) << bad;
        ASSERT_EQ(import.report.size(), 1U) << bad;
        EXPECT_EQ(import.report[0].note, ListNote::BadPower) << bad;
    }
}

TEST(ChannelList, RefusesBadInputWithAClearMessage)
{
    struct Case {
        std::string input;
        const char *message;
    };
    const Case cases[] = {
        {"", "The file is empty."},
        {std::string("\xFF\xFEL\0o\0", 6), "The file is not a text file."},
        {"Location,Name,Frequency\n1,Caf\xE9,146.52\n", "The file is not UTF-8 text."},
        {"1,,146.520000\n2,,146.540000\n",
         "The file is not a channel list: no header line names Location and Frequency."},
        {"Location,Name\n1,x\n", "The file is not a channel list: no header line names Location and Frequency."},
        {"# Location,Frequency\n#1,146.52\n", "The file is not a channel list: no header line names Location and Frequency."},
        {"\xEF\xBB\xBF\r\n\r\n", "The file is empty."},
        {"Location,Frequency\n1,\"" + std::string(100000, '1') + "\"\n", "Line 2 is too long."},
        {"Location,Frequency\n" + std::string(100000, ',') + "\n", "Line 2 has too many columns."},
        {"Location,Frequency\n1,\"146.52\n", "A quoted cell that begins on line 2 is not closed."},
    };
    for (const Case &c : cases) {
        const ChannelListImport import = ReadChannelList(c.input, BandFromRow(0));
        EXPECT_FALSE(import.ok());
        EXPECT_TRUE(import.channels.empty());
        EXPECT_EQ(ListErrorText(import, kEnglish), c.message);
    }
}

MemoryImage imported(const std::string &text, int bandRow)
{
    MemoryImage image = StartupImage(BandFromRow(bandRow));
    ApplyChannelList(image, ReadChannelList(text, BandFromRow(bandRow)), BandFromRow(bandRow));
    return image;
}

std::vector<int> record(const MemoryImage &image, int channel)
{
    std::vector<int> bytes;
    for (int i = 0; i < kRowSize; ++i)
        bytes.push_back(image.at(ChannelRow(channel), i));
    return bytes;
}

TEST(ChannelList, SpreadsheetListsWithSemicolonsTabsAndDecimalCommasReadAsTheirTwin)
{
    const Band band = BandFromRow(4);
    const ChannelListImport twin = ReadChannelList(fixture("locale_points.csv"), band);
    ASSERT_TRUE(twin.ok());
    ASSERT_EQ(twin.channels.size(), 6U);
    EXPECT_EQ(notes(twin), (std::vector<Note>{{"6", 7, ListNote::RxRounded}}));
    const MemoryImage twinImage = imported(fixture("locale_points.csv"), 4);

    struct Case {
        const char *file;
        char delimiter;
    };
    const Case cases[] = {
        {"locale_semicolon.csv", ';'}, // a German spreadsheet: decimal commas, BOM, CRLF
        {"locale_tab.tsv", '\t'},      // the same saved as text
        {"locale_mixed.csv", ';'},     // decimal commas in some cells, points in others
    };
    for (const Case &c : cases) {
        const ChannelListImport import = ReadChannelList(fixture(c.file), band);
        ASSERT_TRUE(import.ok()) << c.file;
        EXPECT_EQ(import.delimiter, c.delimiter) << c.file;
        EXPECT_EQ(import.channels, twin.channels) << c.file;
        EXPECT_EQ(import.report, twin.report) << c.file;
        EXPECT_EQ(imported(fixture(c.file), 4), twinImage) << c.file;
    }
}

TEST(ChannelList, ANumberCellWithAThousandsSeparatorIsABadValue)
{
    const ChannelListImport import = ReadChannelList(fixture("locale_broken.csv"), BandFromRow(kBand446));
    ASSERT_TRUE(import.ok());
    EXPECT_EQ(import.channels, (Channels{{8, Ch(44603125, 44603125, kNone, kNone, true, TxPower::Low)}}));
    const std::vector<Note> expected{
        {"1", 2, ListNote::BadFrequency}, {"2", 3, ListNote::BadFrequency}, {"3", 4, ListNote::BadFrequency},
        {"4", 5, ListNote::BadFrequency}, {"5", 6, ListNote::BadOffset},    {"6", 7, ListNote::BadCtcss},
        {"7", 8, ListNote::BadPower},
    };
    EXPECT_EQ(notes(import), expected);
    // The report shows the cell as the file has it.
    EXPECT_EQ(ListReportLineText(import.report[0], kEnglish),
              "Location 1 (line 2): skipped: Frequency \"446,006.25\" is not a frequency in MHz.");
    EXPECT_EQ(ListReportLineText(import.report[6], kEnglish),
              "Location 7 (line 8): skipped: Power \"1.000,0W\" is not watts (5.0W) or High, Mid, Low.");
}

TEST(ChannelList, TheHeaderLineChoosesTheDelimiterAndWhetherACommaIsDecimal)
{
    const Band band = BandFromRow(kBand446);
    const auto pasted = ListPlacement::from(1);
    struct Case {
        std::string text;
        ListPlacement placement;
        char preferred;
        char delimiter;
        FreqUnits rx; // 0: no channel
    };
    const Case cases[] = {
        {"Location,Frequency\n1,446.00625\n", {}, ',', ',', 44600625},
        {"Location;Frequency\n1;446,00625\n", {}, ',', ';', 44600625},
        {"Location\tFrequency\n1\t446,00625\n", {}, ',', '\t', 44600625},
        {"\xEF\xBB\xBF# saved by a spreadsheet\n\nLocation;Frequency\n1;446,00625\n", {}, ',', ';', 44600625},
        // Between commas a comma is no decimal mark: a quoted "446,00625" is a bad value.
        {"Location,Frequency\n1,\"446,00625\"\n", {}, ',', ',', 0},
        // A semicolon inside a cell of a comma header does not make it a semicolon list.
        {"Location,Frequency,Comment;notes\n1,446.00625,a;b\n", {}, ',', ',', 44600625},
        // One pasted column: no delimiter to find, the caller's tab stands, the comma is decimal.
        {"Frequency\n446,00625\n", pasted, '\t', '\t', 44600625},
        {"Frequency;Mode\n446,00625;FM\n", pasted, '\t', ';', 44600625},
        {"Frequency,Mode\n446.00625,FM\n", pasted, '\t', ',', 44600625},
    };
    for (const Case &c : cases) {
        const ChannelListImport import = ReadChannelList(c.text, band, c.placement, c.preferred);
        ASSERT_TRUE(import.ok()) << c.text;
        EXPECT_EQ(import.delimiter, c.delimiter) << c.text;
        if (c.rx == 0) {
            EXPECT_TRUE(import.channels.empty()) << c.text;
        } else {
            ASSERT_EQ(import.channels.size(), 1U) << c.text;
            EXPECT_EQ(import.channels[0].second.rx, c.rx) << c.text;
        }
    }
    // A header that names no column on any delimiter is refused as before.
    EXPECT_EQ(ListErrorText(ReadChannelList("Kanal;Frequenz\n1;446,00625\n", band), kEnglish),
              "The file is not a channel list: no header line names Location and Frequency.");
}

TEST(ChannelList, AnImportedChannelHoldsTheBytesTypingGives)
{
    const MemoryImage before = StartupImage(BandFromRow(kBand446));
    const MemoryImage image = imported(fixture("vintage17.csv"), kBand446);
    // Narrow, High, no tones: the new-channel flags with bit 4 cleared; transmit typed.
    EXPECT_EQ(record(image, 1), (std::vector<int>{0x25, 0x06, 0x60, 0x44, 0x25, 0x06, 0x60, 0x44, 0xFF, 0xFF, 0xFF,
                                                  0xFF, 0xBF, 0xC9, 0xFF, 0xFC}));
    EXPECT_EQ(record(image, 9), (std::vector<int>{0x25, 0x06, 0x60, 0x44, 0x25, 0x06, 0x60, 0x44, 0x54, 0x08, 0x54,
                                                  0x08, 0xBF, 0xC9, 0xFF, 0xFC}));
    EXPECT_EQ(record(image, 10), (std::vector<int>{0x75, 0x18, 0x60, 0x44, 0x75, 0x18, 0x60, 0x44, 0x55, 0x81, 0x55,
                                                   0x81, 0xBF, 0xC9, 0xFF, 0xFC}));
    // Channels not in the file and everything past the records keep their bytes.
    for (int a = 11 * kRowSize; a < kImageSize; ++a)
        ASSERT_EQ(image.at(a), before.at(a)) << a;

    const MemoryImage full = imported(fixture("vintage21.csv"), 0);
    // No transmit part: FF in 4-7 and 10-11, TxUnset still set; Narrow.
    EXPECT_EQ(record(full, 5), (std::vector<int>{0x00, 0x50, 0x25, 0x16, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                                                 0xFF, 0xBF, 0xC9, 0xFF, 0xFE}));
    // Mid power, Del, Narrow; Carrier and scrambler on come from our own columns.
    EXPECT_EQ(record(full, 14)[13], 0xA1);
    const MemoryImage quirks = imported(fixture("quirks.csv"), 4);
    EXPECT_EQ(record(quirks, 1)[12], 0xFF); // scrambler on
    EXPECT_EQ(record(quirks, 1)[13], 0x8B); // Low, Narrow, Add, Carrier
    EXPECT_EQ(record(quirks, 1)[10], 0x70); // encode 67.0
    EXPECT_EQ(record(quirks, 1)[8], 0xFF);  // decode none
}

TEST(ChannelList, ExportWritesTheColumnsAndReadsBackToTheSameBytes)
{
    const MemoryImage image = imported(fixture("vintage21.csv"), 0);
    const std::string text = WriteChannelList(image, BandFromRow(0));
    std::istringstream in(text);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line, '\n');)
        lines.push_back(line);
    ASSERT_EQ(lines.size(), 16U);
    EXPECT_EQ(lines[0], "Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,"
                        "RxDtcsCode,CrossMode,Mode,TStep,Skip,Power,Comment,URCALL,RPT1CALL,RPT2CALL,DVCODE,BCL,"
                        "Scrambler\r");
    const std::vector<std::string> expected{
        "1,,146.520000,,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,FM,5.00,,5.0W,,,,,,Off,Off\r",
        "2,,146.940000,-,0.600000,Tone,100.0,88.5,023,NN,023,Tone->Tone,FM,5.00,,5.0W,,,,,,Off,Off\r",
        "3,,147.000000,+,0.600000,TSQL,88.5,103.5,023,NN,023,Tone->Tone,FM,5.00,,5.0W,,,,,,Off,Off\r",
        "4,,150.000000,+,10.000000,DTCS,88.5,88.5,023,NR,023,Tone->Tone,FM,5.00,,5.0W,,,,,,Off,Off\r",
        "5,,162.550000,off,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,NFM,5.00,,5.0W,,,,,,Off,Off\r",
        "6,,146.500000,,0.000000,Cross,67.0,88.5,023,NN,023,Tone->Tone,FM,5.00,,5.0W,,,,,,Off,Off\r",
        "7,,146.505000,,0.000000,Cross,71.9,88.5,023,NR,754,Tone->DTCS,FM,5.00,,5.0W,,,,,,Off,Off\r",
        "8,,146.510000,,0.000000,Cross,88.5,123.0,025,RN,023,DTCS->Tone,FM,5.00,,5.0W,,,,,,Off,Off\r",
        "9,,146.515000,,0.000000,Cross,88.5,88.5,031,NN,032,DTCS->DTCS,FM,5.00,,5.0W,,,,,,Off,Off\r",
        "10,,146.525000,,0.000000,Cross,88.5,94.8,023,NN,023,->Tone,FM,5.00,,5.0W,,,,,,Off,Off\r",
        "11,,146.530000,,0.000000,Cross,88.5,88.5,023,NR,051,->DTCS,FM,5.00,,5.0W,,,,,,Off,Off\r",
        "12,,146.535000,,0.000000,Tone,77.0,88.5,023,NN,023,Tone->Tone,FM,5.00,,5.0W,,,,,,Off,Off\r",
        "13,,146.540000,,0.000000,Cross,88.5,88.5,411,RN,023,DTCS->,FM,5.00,,5.0W,,,,,,Off,Off\r",
        "14,,151.625000,,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,NFM,5.00,S,2.5W,,,,,,Off,Off\r",
        "15,,154.570000,,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,FM,5.00,,1.0W,,,,,,Off,Off\r",
    };
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 1, lines.end()), expected);

    // Read back into an image without those channels, the records come back byte for byte.
    const MemoryImage again = imported(text, 0);
    EXPECT_EQ(again, image);
}

TEST(ChannelList, ExportOfTheOwnOptionsAndOfPresetsReadsBack)
{
    const Band band = BandFromRow(4);
    const std::string list = "Location,Frequency,Duplex,Offset,Tone,DtcsCode,DtcsPolarity,Mode,Power,BCL,Scrambler\n"
                             "1,400.0125,split,469.9875,DTCS,754,RR,NFM,2.5W,QT/DQT,On\n"
                             "2,446.00625,-,5,,,,FM,1W,Carrier,Off\n";
    const MemoryImage image = imported(list, 4);
    const std::string text = WriteChannelList(image, band);
    EXPECT_NE(text.find("\r\n1,,400.012500,+,69.975000,DTCS,88.5,88.5,754,RR,023,Tone->Tone,NFM,6.25,,2.5W,,,,,"
                        ",QT/DQT,On\r\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("\r\n2,,446.006250,-,5.000000,"), std::string::npos) << text;
    EXPECT_EQ(imported(text, 4), image);

    // The preset channels of a default image, which no import made, read back the same.
    const MemoryImage presets = StartupImage(BandFromRow(kBand446));
    MemoryImage emptied = presets;
    emptied.fill(0, 8 * kRowSize, 0xFF);
    ApplyChannelList(emptied, ReadChannelList(WriteChannelList(presets, BandFromRow(kBand446)),
                                              BandFromRow(kBand446)),
                     BandFromRow(kBand446));
    EXPECT_EQ(emptied, presets);
}

TEST(ChannelList, PastedRowsFillConsecutiveChannels)
{
    const Band band = BandFromRow(0);
    const MemoryImage source = imported(fixture("vintage21.csv"), 0);
    const std::string tsv = WriteChannelList(source, band, {3, 4, 5}, '\t');
    EXPECT_EQ(tsv.substr(0, 18), "Location\tName\tFreq");

    const ChannelListImport pasted = ReadChannelList(tsv, band, ListPlacement::from(127), '\t');
    ASSERT_TRUE(pasted.ok());
    ASSERT_EQ(pasted.channels.size(), 2U);
    EXPECT_EQ(pasted.channels[0].first, 127);
    EXPECT_EQ(pasted.channels[1].first, 128);
    EXPECT_EQ(pasted.channels[1].second, ReadChannelList(fixture("vintage21.csv"), band).channels[3].second);
    EXPECT_EQ(notes(pasted), (std::vector<Note>{{"129", 4, ListNote::NoChannelLeft}}));

    // A spreadsheet's selection: no Location column needed.
    const ChannelListImport sheet = ReadChannelList("Frequency\tMode\n146.52\tNFM\n", band, ListPlacement::from(9), '\t');
    ASSERT_EQ(sheet.channels.size(), 1U);
    EXPECT_EQ(sheet.channels[0].first, 9);
    const ChannelListImport text = ReadChannelList("just some words\n", band, ListPlacement::from(9), '\t');
    EXPECT_EQ(ListErrorText(text, kEnglish), "The text is not a channel list: its first line does not name Frequency.");
}

TEST(ChannelList, SummarySaysHowManyOrThatNoneFits)
{
    const ChannelListImport eleven = ReadChannelList(fixture("vintage17.csv"), BandFromRow(kBand446));
    EXPECT_EQ(ListSummaryText(eleven, kEnglish), "11 channels imported.");
    EXPECT_EQ(ListSummaryText(eleven, kChinese), "已导入 11 个信道。");
    const ChannelListImport one = ReadChannelList("Location,Frequency\n5,446.00625\n", BandFromRow(kBand446));
    EXPECT_EQ(ListSummaryText(one, kEnglish), "1 channel imported.");
    EXPECT_EQ(ListSummaryText(one, kChinese), "已导入 1 个信道。");
    EXPECT_EQ(ListSummaryText(ReadChannelList(fixture("vintage17.csv"), BandFromRow(0)), kEnglish),
              "No channel was imported: no row of the list fits this band.");
}

} // namespace
} // namespace zrk6

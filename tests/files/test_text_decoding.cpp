// Channel lists as spreadsheets save them: UTF-8, UTF-16 after its byte-order mark, or the
// Windows system's code page (Windows-1252, GBK), decoded by the system's own converter.
#include <gtest/gtest.h>

#include <string>

#include "files/channel_list.h"
#include "list_fixture.h"
#include "files/text_decoding.h"
#include "model/band.h"

namespace zrk6 {
namespace {

constexpr auto fixture = test::ListFixture;

constexpr auto kUtf8 = TextEncoding::Utf8;
constexpr auto kUtf16 = TextEncoding::Utf16;
constexpr auto kWestern = TextEncoding::Windows1252;
constexpr auto kGbk = TextEncoding::Gbk;

TEST(TextDecoding, ByteOrderMarksUtf8AndTheCodePageThatFitsTheText)
{
    struct Case {
        const char *what;
        std::string bytes;
        TextEncoding system;
        TextEncoding encoding;
        std::string utf8;
    };
    const Case cases[] = {
        {"UTF-8", "Caf\xC3\xA9", kGbk, kUtf8, "Café"},
        {"UTF-8 after its mark", "\xEF\xBB\xBF" "a,\xE4\xB8\xAD", kGbk, kUtf8, "a,中"},
        {"UTF-16 little endian", std::string("\xFF\xFE" "A\0,\0\x2D\x4E\x3D\xD8\x00\xDE", 12), kWestern, kUtf16,
         "A,中😀"},
        {"UTF-16 big endian", std::string("\xFE\xFF\0A\0,\0\xE9", 8), kWestern, kUtf16, "A,é"},
        // A lone accented letter before a delimiter is no GBK pair at all.
        {"Windows-1252 only", "Caf\xE9,1", kGbk, kWestern, "Café,1"},
        // GBK reads "\xFCl" as one character; no Chinese text puts an ASCII byte second.
        {"Western letter before ASCII", "M\xFCller", kGbk, kWestern, "Müller"},
        {"Windows-1252 symbols", "\x80 5 \xB1 \x93x\x94", kWestern, kWestern, "€ 5 ± “x”"},
        // 0x81 has no character in Windows-1252; 0x81 0x40 is a GBK pair.
        {"GBK only", "\x81\x40", kWestern, kGbk, "丂"},
        // Two GB2312 characters in a row: Chinese, whatever the system.
        {"Chinese word", "\xD6\xD0\xBC\xCC\xCC\xA8,1", kWestern, kGbk, "中继台,1"},
        {"Chinese word, Chinese system", "\xD6\xD0\xBC\xCC\xCC\xA8,1", kGbk, kGbk, "中继台,1"},
        // One pair that either reads: the system's code page decides.
        {"tie, Western system", "Concei\xE7\xE3o", kWestern, kWestern, "Conceição"},
        {"tie, Chinese system", "Concei\xE7\xE3o", kGbk, kGbk, "Concei玢o"},
    };
    for (const Case &c : cases) {
        const DecodedText text = DecodeText(c.bytes, c.system);
        ASSERT_TRUE(text.ok()) << c.what;
        EXPECT_EQ(text.encoding, c.encoding) << c.what;
        EXPECT_EQ(text.utf8, c.utf8) << c.what;
    }
}

TEST(TextDecoding, RefusesWhatNoEncodingReads)
{
    struct Case {
        const char *what;
        std::string bytes;
        CsvError error;
        const char *message;
    };
    const char *notText = "The file is not text in UTF-8, UTF-16, Windows-1252 or GBK.";
    const Case cases[] = {
        {"undefined in both", "a\x81 b", CsvError::NoKnownEncoding, notText},
        {"GBK pair cut off", "Location,Frequency\n\x90", CsvError::NoKnownEncoding, notText},
        {"UTF-8 mark, other bytes", "\xEF\xBB\xBF" "Caf\xE9", CsvError::NotUtf8, "The file is not UTF-8 text."},
        {"UTF-16, odd length", "\xFF\xFE" "A\0B", CsvError::NoKnownEncoding, notText},
        {"UTF-16, lone surrogate", std::string("\xFF\xFE\x00\xD8" "A\0", 6), CsvError::NoKnownEncoding, notText},
        {"UTF-16 of control bytes", std::string("\xFF\xFE\x01\0", 4), CsvError::Binary, "The file is not a text file."},
        {"control bytes before decoding", std::string("a\0\xE9", 3), CsvError::Binary, "The file is not a text file."},
        // Windows-1252 doubles its size in UTF-8: past the limit once decoded.
        {"too large once decoded", std::string(kMaxCsvBytes / 2 + 1, '\xE9'), CsvError::TooLarge,
         "The file is too large for a channel list."},
    };
    for (const Case &c : cases) {
        for (const TextEncoding system : {kWestern, kGbk}) {
            EXPECT_EQ(DecodeText(c.bytes, system).error, c.error) << c.what;
            const ChannelListImport import = ReadChannelListFile(c.bytes, BandFromRow(1), system);
            EXPECT_FALSE(import.ok()) << c.what;
            EXPECT_EQ(ListErrorText(import, kEnglish), c.message) << c.what;
        }
    }
}

MemoryImage imported(const ChannelListImport &import, const Band &band)
{
    MemoryImage image = StartupImage(band);
    ApplyChannelList(image, import, band);
    return image;
}

// A spreadsheet on Windows saves its "CSV" in the system's code page, with commas, or (where
// the decimal mark is a comma) with semicolons and decimal commas. Names and comments are the
// only cells with other characters; the radio keeps neither.
TEST(TextDecoding, ListsInALegacyCodePageImportAsTheirUtf8Twins)
{
    const Band band = BandFromRow(1); // 144 - 146 MHz
    struct Case {
        const char *file;
        const char *twin;
        TextEncoding encoding;
        std::vector<std::string> unkept;
    };
    const std::vector<std::string> western{"Name", "Comment", "Région"};
    const std::vector<std::string> chinese{"Name", "Comment", "备注"};
    const Case cases[] = {
        {"western_comma_cp1252.csv", "western_comma_utf8.csv", kWestern, western},
        {"western_semicolon_cp1252.csv", "western_semicolon_utf8.csv", kWestern, western},
        {"chinese_comma_gbk.csv", "chinese_comma_utf8.csv", kGbk, chinese},
        {"chinese_semicolon_gbk.csv", "chinese_semicolon_utf8.csv", kGbk, chinese},
    };
    const MemoryImage first = imported(ReadChannelListFile(fixture(cases[0].twin), band, kWestern), band);
    for (const Case &c : cases) {
        const ChannelListImport twin = ReadChannelListFile(fixture(c.twin), band, kWestern);
        ASSERT_TRUE(twin.ok()) << c.twin;
        EXPECT_EQ(twin.encoding, kUtf8) << c.twin;
        EXPECT_EQ(twin.channels.size(), 4U) << c.twin;
        EXPECT_TRUE(twin.report.empty()) << c.twin;
        EXPECT_EQ(twin.unkeptColumns, c.unkept) << c.twin;
        // The same channels in all four lists.
        EXPECT_EQ(imported(twin, band), first) << c.twin;
        for (const TextEncoding system : {kWestern, kGbk}) {
            const ChannelListImport import = ReadChannelListFile(fixture(c.file), band, system);
            ASSERT_TRUE(import.ok()) << c.file;
            EXPECT_EQ(import.encoding, c.encoding) << c.file;
            EXPECT_EQ(import.delimiter, twin.delimiter) << c.file;
            EXPECT_EQ(import.channels, twin.channels) << c.file;
            EXPECT_EQ(import.report, twin.report) << c.file;
            // The header's own names come through decoded.
            EXPECT_EQ(import.unkeptColumns, c.unkept) << c.file;
            EXPECT_EQ(imported(import, band), imported(twin, band)) << c.file;
        }
    }
}

TEST(TextDecoding, TheReportSaysOnceWhichCodePageAndWhichColumnsWereNotKept)
{
    const Band band = BandFromRow(1);
    const ChannelListImport western = ReadChannelListFile(fixture("western_semicolon_cp1252.csv"), band, kWestern);
    EXPECT_EQ(ListImportNotes(western, kEnglish),
              (std::vector<std::string>{
                  "The list is not UTF-8 text: it was read in the code page Windows-1252 (Western European).",
                  "The radio has no place for these columns of the list, so they were not kept: Name, Comment, "
                  "Région."}));
    const ChannelListImport chinese = ReadChannelListFile(fixture("chinese_comma_gbk.csv"), band, kWestern);
    EXPECT_EQ(ListImportNotes(chinese, kChinese),
              (std::vector<std::string>{"该列表不是 UTF-8 文本：已按 GBK（简体中文）代码页读取。",
                                        "对讲机没有存放列表中以下各列的位置，因此未保留：Name、Comment、备注。"}));
    // A UTF-8 list says nothing of its encoding.
    EXPECT_EQ(ListImportNotes(ReadChannelListFile(fixture("chinese_comma_utf8.csv"), band, kGbk), kEnglish).size(),
              1U);

    // A column counts when a row that was imported fills it: empty cells, a skipped row's
    // cells and TStep (the raster follows from the frequency) lose nothing. A column repeated
    // under the same name is not read the second time; it is named once.
    struct Case {
        const char *text;
        std::vector<std::string> unkept;
    };
    const Case cases[] = {
        {"Location,Name,Frequency,TStep,Comment,URCALL\n1,,145.5,12.5,,\n", {}},
        {"Location,Name,Frequency,Comment\n1,,145.5,\n2,Out,150.0,far\n", {}},
        {"Location,Frequency,Name,Name,DVCODE,Notes\n1,145.5,a,b,c,d\n", {"Name", "DVCODE", "Notes"}},
        {"Location,Frequency,,URCALL\n1,145.5,x,CQCQCQ\n", {"URCALL"}},
    };
    for (const Case &c : cases) {
        const ChannelListImport import = ReadChannelList(c.text, band);
        EXPECT_EQ(import.unkeptColumns, c.unkept) << c.text;
        EXPECT_EQ(ListImportNotes(import, kEnglish).size(), c.unkept.empty() ? 0U : 1U) << c.text;
    }
}

} // namespace
} // namespace zrk6

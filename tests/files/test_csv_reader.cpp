#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "files/csv_reader.h"

namespace zrk6 {
namespace {

using Cells = std::vector<std::string>;

std::vector<Cells> cellsOf(const CsvTable &table)
{
    std::vector<Cells> out;
    for (const CsvRecord &r : table.records)
        out.push_back(r.cells);
    return out;
}

TEST(CsvReader, ReadsQuotedCellsAsRfc4180Defines)
{
    const CsvTable table = ReadCsv("a,b,c\r\n"
                                   "\"x, y\",\"say \"\"hi\"\"\",\"two\r\nlines\"\r\n"
                                   " spaced , ,\"\"\r\n");
    ASSERT_TRUE(table.ok());
    EXPECT_EQ(cellsOf(table), (std::vector<Cells>{{"a", "b", "c"},
                                                  {"x, y", "say \"hi\"", "two\r\nlines"},
                                                  {"spaced", "", ""}}));
    EXPECT_EQ(table.records[2].line, 4); // the quoted line break counts as a line
}

TEST(CsvReader, TakesEveryLineEndAndSkipsBomBlankLinesAndComments)
{
    const std::string bom = "\xEF\xBB\xBF";
    for (const std::string eol : {"\n", "\r\n", "\r"}) {
        const CsvTable table =
            ReadCsv(bom + "# first" + eol + "h1,h2" + eol + eol + "#,not,a,row" + eol + "1,2" + eol + "\"3" + eol +
                    "#inside\",4");
        ASSERT_TRUE(table.ok()) << static_cast<int>(table.error);
        EXPECT_EQ(cellsOf(table), (std::vector<Cells>{{"h1", "h2"}, {"1", "2"}, {"3" + eol + "#inside", "4"}}));
        EXPECT_EQ(table.records[0].line, 2);
        EXPECT_EQ(table.records[1].line, 5);
        EXPECT_EQ(table.records[2].line, 6);
    }
}

TEST(CsvReader, TabDelimitedKeepsCommasAndEmptyCells)
{
    const CsvTable table = ReadCsv("a\tb\tc\n1,5\t\t x \n", '\t');
    ASSERT_TRUE(table.ok());
    EXPECT_EQ(cellsOf(table), (std::vector<Cells>{{"a", "b", "c"}, {"1,5", "", "x"}}));
}

TEST(CsvReader, RefusesInputThatIsNoCsvText)
{
    struct Case {
        const char *what;
        std::string input;
        CsvError error;
        int line;
    };
    const std::string longCell(kMaxCsvRecordBytes + 1, 'x');
    const std::string manyColumns(100000, ',');
    std::string manyRows = "a,b\n";
    for (std::size_t i = 0; i <= kMaxCsvRecords; ++i)
        manyRows += "1,2\n";
    const Case cases[] = {
        {"empty", "", CsvError::Empty, 0},
        {"bom only", "\xEF\xBB\xBF", CsvError::Empty, 0},
        {"comments and blanks", "# one\n\n  \n# two\n", CsvError::Empty, 0},
        {"nul bytes", std::string("L\0o\0c\0", 6), CsvError::Binary, 0},
        {"control bytes", "a,b\n\x01\x02,c\n", CsvError::Binary, 0},
        {"latin-1", "a,b\nCaf\xE9,1\n", CsvError::NotUtf8, 0},
        {"cut sequence", "a,\xE4\xB8", CsvError::NotUtf8, 0},
        {"overlong", "a,\xC0\xAF", CsvError::NotUtf8, 0},
        {"surrogate", "a,\xED\xA0\x80", CsvError::NotUtf8, 0},
        {"long record", "a,b\n1,\"" + longCell + "\"\n", CsvError::RecordTooLong, 2},
        {"long quoted lines", "a\n\"" + std::string(40000, 'y') + "\n" + std::string(40000, 'y') + "\"\n",
         CsvError::RecordTooLong, 2},
        {"100000 columns", "a,b\n" + manyColumns + "\n", CsvError::TooManyColumns, 2},
        {"too many rows", manyRows, CsvError::TooManyRecords, static_cast<int>(kMaxCsvRecords) + 1},
        {"too large", std::string(kMaxCsvBytes + 1, 'a'), CsvError::TooLarge, 0},
        {"unclosed quote", "a,b\n1,\"open\n2,3\n", CsvError::UnclosedQuote, 2},
    };
    for (const Case &c : cases) {
        const CsvTable table = ReadCsv(c.input);
        EXPECT_EQ(table.error, c.error) << c.what;
        EXPECT_EQ(table.errorLine, c.line) << c.what;
        EXPECT_TRUE(table.records.empty()) << c.what;
    }
}

TEST(CsvReader, AcceptsValidUtf8)
{
    const CsvTable table = ReadCsv("名称,€,😀\n");
    ASSERT_TRUE(table.ok());
    EXPECT_EQ(cellsOf(table), (std::vector<Cells>{{"名称", "€", "😀"}}));
}

} // namespace
} // namespace zrk6

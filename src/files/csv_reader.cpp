#include "files/csv_reader.h"

#include <algorithm>

#include <csv.h>

namespace zrk6 {
namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

// Control bytes other than tab, line feed, vertical tab, form feed, carriage return and
// escape do not occur in text a person or a spreadsheet writes.
bool isBinaryByte(unsigned char c)
{
    return c < 0x20 && c != '\t' && c != '\n' && c != '\v' && c != '\f' && c != '\r' && c != 0x1B;
}

} // namespace

bool IsValidUtf8(std::string_view text)
{
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            ++i;
            continue;
        }
        int extra;
        char32_t cp;
        if (c >= 0xC2 && c <= 0xDF) {
            extra = 1;
            cp = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            extra = 2;
            cp = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            extra = 3;
            cp = c & 0x07;
        } else {
            return false;
        }
        if (i + static_cast<std::size_t>(extra) >= n)
            return false;
        for (int k = 1; k <= extra; ++k) {
            const auto d = static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]);
            if ((d & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (d & 0x3F);
        }
        // Overlong forms, surrogates and code points past U+10FFFF.
        if ((extra == 2 && cp < 0x800) || (extra == 3 && (cp < 0x10000 || cp > 0x10FFFF)) ||
            (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        i += static_cast<std::size_t>(extra) + 1;
    }
    return true;
}

bool HasBinaryBytes(std::string_view text)
{
    return std::any_of(text.begin(), text.end(), [](char c) { return isBinaryByte(static_cast<unsigned char>(c)); });
}

namespace {

struct Collector {
    std::vector<CsvRecord> records;
    std::vector<std::string> cells;
    int recordLine = 0;
    bool recordEnded = false;
    CsvError error = CsvError::None;
    int errorLine = 0;

    void fail(CsvError e)
    {
        if (error == CsvError::None) {
            error = e;
            errorLine = recordLine;
        }
    }
};

void onCell(void *data, std::size_t length, void *context)
{
    auto *c = static_cast<Collector *>(context);
    if (c->error != CsvError::None)
        return;
    if (c->cells.size() >= kMaxCsvColumns) {
        c->fail(CsvError::TooManyColumns);
        return;
    }
    c->cells.emplace_back(static_cast<const char *>(data), length);
}

void onRecordEnd(int, void *context)
{
    auto *c = static_cast<Collector *>(context);
    c->recordEnded = true;
    if (c->error != CsvError::None)
        return;
    if (c->records.size() >= kMaxCsvRecords) {
        c->fail(CsvError::TooManyRecords);
        return;
    }
    c->records.push_back({c->recordLine, std::move(c->cells)});
    c->cells.clear();
}

// Only the blank is dropped around unquoted cells: a tab may be the delimiter.
int isBlank(unsigned char c)
{
    return c == ' ';
}

// The length of the line at the start of text, with its line end (CRLF, LF or CR).
std::size_t lineLength(std::string_view text)
{
    const std::size_t end = text.find_first_of("\r\n");
    if (end == std::string_view::npos)
        return text.size();
    if (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n')
        return end + 2;
    return end + 1;
}

bool isBlankLine(std::string_view line)
{
    return line.find_first_not_of(" \t\r\n") == std::string_view::npos;
}

class Parser {
public:
    explicit Parser(char delimiter)
    {
        csv_init(&parser_, 0);
        csv_set_delim(&parser_, static_cast<unsigned char>(delimiter));
        csv_set_space_func(&parser_, isBlank);
    }
    ~Parser() { csv_free(&parser_); }
    Parser(const Parser &) = delete;
    Parser &operator=(const Parser &) = delete;

    void feed(std::string_view text, Collector &c)
    {
        csv_parse(&parser_, text.data(), text.size(), onCell, onRecordEnd, &c);
    }
    // Ends the last record; false when the file ends inside a quoted cell.
    bool finish(Collector &c)
    {
        csv_set_opts(&parser_, CSV_STRICT | CSV_STRICT_FINI);
        return csv_fini(&parser_, onCell, onRecordEnd, &c) == 0;
    }

private:
    csv_parser parser_{};
};

CsvTable failed(CsvError error, int line = 0)
{
    CsvTable table;
    table.error = error;
    table.errorLine = line;
    return table;
}

} // namespace

std::string_view CsvFirstLine(std::string_view bytes)
{
    if (bytes.substr(0, kBom.size()) == kBom)
        bytes.remove_prefix(kBom.size());
    while (!bytes.empty()) {
        std::string_view line = bytes.substr(0, lineLength(bytes));
        bytes.remove_prefix(line.size());
        if (isBlankLine(line) || line.front() == '#')
            continue;
        return line.substr(0, line.find_first_of("\r\n"));
    }
    return {};
}

CsvTable ReadCsv(std::string_view bytes, char delimiter)
{
    if (bytes.size() > kMaxCsvBytes)
        return failed(CsvError::TooLarge);
    if (bytes.substr(0, kBom.size()) == kBom)
        bytes.remove_prefix(kBom.size());
    if (HasBinaryBytes(bytes))
        return failed(CsvError::Binary);
    if (!IsValidUtf8(bytes))
        return failed(CsvError::NotUtf8);

    // libcsv knows nothing of comments, so the text goes in line by line and a line that
    // begins a record with '#' is left out.
    Parser parser(delimiter);
    Collector c;
    bool atRecordStart = true;
    std::size_t recordBytes = 0;
    int line = 0;
    while (!bytes.empty() && c.error == CsvError::None) {
        const std::string_view text = bytes.substr(0, lineLength(bytes));
        bytes.remove_prefix(text.size());
        ++line;
        if (atRecordStart) {
            if (isBlankLine(text) || text.front() == '#')
                continue;
            c.recordLine = line;
            recordBytes = 0;
        }
        c.recordEnded = false;
        parser.feed(text, c);
        recordBytes += text.size();
        if (recordBytes > kMaxCsvRecordBytes)
            c.fail(CsvError::RecordTooLong);
        atRecordStart = c.recordEnded;
    }
    if (c.error == CsvError::None && !parser.finish(c))
        c.fail(CsvError::UnclosedQuote);
    if (c.error != CsvError::None)
        return failed(c.error, c.errorLine);
    if (c.records.empty())
        return failed(CsvError::Empty);
    CsvTable table;
    table.records = std::move(c.records);
    return table;
}

} // namespace zrk6

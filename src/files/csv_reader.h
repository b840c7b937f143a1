#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace zrk6 {

// Bounds that keep a hostile or mistaken file from costing more than a moment: a channel
// list is a few hundred short lines.
inline constexpr std::size_t kMaxCsvBytes = 4 * 1024 * 1024;
inline constexpr std::size_t kMaxCsvRecordBytes = 64 * 1024;
inline constexpr std::size_t kMaxCsvColumns = 256;
inline constexpr std::size_t kMaxCsvRecords = 10000;

enum class CsvError {
    None = 0,
    Empty,          // no bytes, or nothing but a byte-order mark, blanks and comments
    Binary,         // holds NUL or other control bytes that no text file has
    NotUtf8,        // not valid UTF-8
    TooLarge,       // longer than kMaxCsvBytes
    RecordTooLong,  // one record (its line, or lines inside quotes) longer than kMaxCsvRecordBytes
    TooManyColumns, // one record with more than kMaxCsvColumns cells
    TooManyRecords, // more than kMaxCsvRecords records
    UnclosedQuote,  // the file ends inside a quoted cell
    NoKnownEncoding, // neither UTF-8 nor UTF-16 nor a code page that the text reading knows
};

// One record: its cells, and the line it starts on (1-based, counting every line of the file).
struct CsvRecord {
    int line = 0;
    std::vector<std::string> cells;
};

struct CsvTable {
    std::vector<CsvRecord> records; // empty unless ok()
    CsvError error = CsvError::None;
    int errorLine = 0; // where the error lies, for the errors that have a line

    bool ok() const { return error == CsvError::None; }
};

// True when text is valid UTF-8 (no overlong forms, surrogates or code points past U+10FFFF).
bool IsValidUtf8(std::string_view text);
// True when text holds NUL or another control byte that no text file has (tab, line ends,
// form feed and escape are text).
bool HasBinaryBytes(std::string_view text);

// Reads delimited text as RFC 4180 defines it (quoted cells with delimiters, doubled quotes
// and line breaks; CRLF, LF or CR line ends), UTF-8 with or without a byte-order mark.
// Blank lines and lines beginning with '#' outside a quoted cell are skipped. Blanks around
// unquoted cells are dropped. Any input gives either the records or one error, in time
// linear in its length.
CsvTable ReadCsv(std::string_view bytes, char delimiter = ',');

// The first line that ReadCsv would start a record with (neither blank nor a comment), without
// a byte-order mark before it and without its line end; empty when the text has none.
std::string_view CsvFirstLine(std::string_view bytes);

} // namespace zrk6

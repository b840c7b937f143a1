#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "files/csv_reader.h"

namespace zrk6 {

// What a text file was written in. Spreadsheets on Windows save "CSV" in the system's code
// page: Windows-1252 on Western systems, GBK (code page 936) on Simplified Chinese ones.
enum class TextEncoding {
    Utf8,
    Utf16,       // either byte order; only after its byte-order mark
    Windows1252,
    Gbk,
};

// The text of bytes in a legacy code page (Windows1252 or Gbk) as UTF-8, decoded by the
// system's own converter; nothing when a byte or a byte pair has no character in it. One
// implementation per platform: iconv, or MultiByteToWideChar on Windows.
std::optional<std::string> CodePageToUtf8(std::string_view bytes, TextEncoding codePage);

struct DecodedText {
    std::string utf8; // without a byte-order mark; empty unless ok()
    TextEncoding encoding = TextEncoding::Utf8;
    CsvError error = CsvError::None; // TooLarge, Binary, NotUtf8 or NoKnownEncoding

    bool ok() const { return error == CsvError::None; }
};

// The text of a file as UTF-8. A byte-order mark decides: UTF-8 or UTF-16 (little or big
// endian). Without one, valid UTF-8 is UTF-8; anything else is read in the code page
// whose decoding is clean and fits the text, systemCodePage (Windows1252 or Gbk) breaking
// the tie where both fit. Refuses bytes no text has (Binary) before any decoding.
DecodedText DecodeText(std::string_view bytes, TextEncoding systemCodePage);

// UTF-16 code units as UTF-8; nothing for a surrogate without its pair.
std::optional<std::string> Utf16ToUtf8(std::u16string_view units);

} // namespace zrk6

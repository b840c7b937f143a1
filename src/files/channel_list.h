#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "files/csv_reader.h"
#include "files/text_decoding.h"
#include "model/band.h"
#include "model/bcd_freq.h"
#include "model/channel_record.h"
#include "model/memory_image.h"
#include "text/text_table.h"

namespace zrk6 {

// Channel lists in the CSV layout that the open-source radio programmers share: a header
// line naming the columns, then one line per channel.

// Why a row was skipped, rounded or noted.
enum class ListNote {
    // skipped
    ShortRow,      // fewer cells than the header
    BadLocation,   // not a channel number 1..128
    NoChannelLeft, // a pasted row past channel 128
    BadFrequency,  // Frequency empty or not a number
    RxOutOfBand,   // below the band
    RxAboveBand,   // at the band's upper limit or above
    BadDuplex,
    BadOffset,
    TxOutOfBand,
    TxAboveBand,
    BadToneMode,
    BadCtcss,
    BadDcs,
    BadPolarity,
    BadCrossMode,
    BadMode,
    BadSkip,
    BadPower,
    BadBcl,
    BadScrambler,
    // kept, with a remark
    RxRounded,
    TxRounded,
    Replaces, // an earlier row for the same channel
};

bool IsSkipNote(ListNote note);

// One line of the import report.
struct ListReportLine {
    int line = 0;         // the row's first line in the text (1-based)
    std::string location; // the row's Location cell, or the channel a pasted row goes to
    ListNote note = ListNote::ShortRow;
    std::string value;    // the offending cell, the value before rounding, or the earlier line
    std::string detail;   // the band for out-of-band notes, the stored value for rounding
    std::string bandEnd;  // the band's upper limit in MHz, for the notes of a frequency at or above it

    bool operator==(const ListReportLine &) const = default;
};

enum class ListError {
    None = 0,
    Csv,             // see csvError
    NotAChannelList, // no header names Location and Frequency
};

// The outcome of reading a channel list against a band.
struct ChannelListImport {
    ListError error = ListError::None;
    bool byLocation = true; // false for pasted rows, which go to consecutive channels
    char delimiter = ',';   // the one found from the header line
    CsvError csvError = CsvError::None;
    int errorLine = 0;
    std::vector<std::pair<int, ChannelValue>> channels; // channel number -> channel (with rx), ascending
    std::vector<ListReportLine> report;                  // in the order of the rows
    TextEncoding encoding = TextEncoding::Utf8;          // what the file's bytes were read as
    // The columns, as the header names them, that some imported row fills but the radio has
    // no place for (Name, Comment, the digital-voice columns, columns we do not know).
    std::vector<std::string> unkeptColumns;

    bool ok() const { return error == ListError::None; }
    int skippedRows() const;
};

// Where the rows go: to their Location, or (pasting) to consecutive channels from a first one.
struct ListPlacement {
    int firstChannel = 0; // 0: by the Location column; 1..128: in row order from this channel

    static ListPlacement byLocation() { return {}; }
    static ListPlacement from(int channel) { return {channel}; }
};

// Reads a channel list and checks each row against the band as typing checks a frequency.
// Bad input gives an error and no channels; a row that does not fit is skipped and reported.
// The delimiter is the one of ',', ';' and tab that splits the header line into the most
// known column names; preferred when no other does better. With ';' or tab, a number cell may
// have a decimal comma ("446,00625"), as spreadsheets write it in many locales.
ChannelListImport ReadChannelList(std::string_view text, const Band &band,
                                  ListPlacement placement = ListPlacement::byLocation(), char preferred = ',');

// Reads a channel list file: its bytes decoded as DecodeText does (systemCodePage breaks the
// tie between Windows-1252 and GBK), then ReadChannelList by Location.
ChannelListImport ReadChannelListFile(std::string_view bytes, const Band &band, TextEncoding systemCodePage);

// Replaces the records of the imported channels, each with exactly the bytes that typing
// its values into an empty channel gives. Other channels keep their bytes.
void ApplyChannelList(MemoryImage &image, const ChannelListImport &import, const Band &band);

// The list text of the given channels (those not in use are left out), with the header line:
// the 21 shared columns, then BCL and Scrambler; lines end with CRLF.
std::string WriteChannelList(const MemoryImage &image, const Band &band, const std::vector<int> &channels,
                             char delimiter = ',');
// Every channel in use.
std::string WriteChannelList(const MemoryImage &image, const Band &band);

// The texts of the report and of the refusals, in the given language.
std::string ListReportLineText(const ListReportLine &line, LanguageMode language);
std::string ListErrorText(const ChannelListImport &import, LanguageMode language);
// "N channels imported." or that none was.
std::string ListSummaryText(const ChannelListImport &import, LanguageMode language);
// What is said once about the whole list: the code page it was read in when that was not
// Unicode, and the columns that were not kept. Empty when there is neither.
std::vector<std::string> ListImportNotes(const ChannelListImport &import, LanguageMode language);

} // namespace zrk6

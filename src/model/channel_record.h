#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "model/band.h"
#include "model/bcd_freq.h"
#include "model/memory_image.h"
#include "model/tone.h"
#include "text/text_ids.h"
#include "text/text_table.h"

namespace zrk6 {

inline constexpr int kChannelCount = 128;

// Grid columns 1..9 of a channel row, as 0-based indexes into RowTexts.
enum class ChannelColumn {
    RxFreq = 0,
    TxFreq,
    Decode,
    Encode,
    WideNarrow,
    Scan,
    TxPower,
    Bcl,
    Scrambler,
};
inline constexpr int kChannelColumns = 9;

// The text ids of the grid's column headers, in ChannelColumn order (RX Freq .. Scrambler).
inline constexpr std::array<int, kChannelColumns> kChannelColumnTextIds = {text_id::kRxFreq, text_id::kTxFreq, text_id::kDecode, text_id::kEncode, text_id::kWideNarrow,
                                                                           text_id::kScan, text_id::kTxPower, text_id::kBcl, text_id::kScramblerColumn};

// The nine display texts of one channel in grid column order; all empty for an empty channel.
using RowTexts = std::array<std::string, kChannelColumns>;

// Channel n (1..128) is image row n-1; other numbers throw std::out_of_range.
int ChannelRow(int channel);

// True when the channel's RxFreq lies in band.low..band.high, both ends included.
bool IsChannelInUse(const MemoryImage &image, int channel, const Band &band);

// The row texts of the record as it stands, without changing the image.
RowTexts ChannelRowTexts(const MemoryImage &image, int channel, const Band &band, LanguageMode language);

// Erases a record whose RxFreq is out of band (all 16 bytes FF; the priority channel is
// left alone) and the transmit part (bytes 4-7, 10, 11) of one whose TxFreq is out of band.
void NormaliseChannel(MemoryImage &image, int channel, const Band &band);

// Shows a channel: NormaliseChannel, then the row texts.
RowTexts ShowChannelRow(MemoryImage &image, int channel, const Band &band, LanguageMode language);

// TxPower: 0 Low, 1 Mid, 2 (and 3) High.
enum class TxPower { Low = 0, Mid = 1, High = 2 };
// Bcl, bits 2-1 of ChannelFlags: Carrier is bit 1, QtDqt bit 2 (both set reads as Carrier).
enum class BusyLock { Off = 0, Carrier = 1, QtDqt = 2 };

// One channel as values, independent of the language. No rx means an empty channel (the
// other fields then keep their defaults, so all empty channels compare equal); no tx means
// no transmit part, and encode is then None. The defaults are what a new channel typed
// into an erased record reads as.
struct ChannelValue {
    std::optional<FreqUnits> rx;
    std::optional<FreqUnits> tx;
    Tone decode;
    Tone encode;
    bool wide = true;
    bool scan = true;
    TxPower power = TxPower::High;
    BusyLock busyLock = BusyLock::Off;
    bool scrambler = false;

    bool operator==(const ChannelValue &) const = default;
};

// The channel as the grid shows it: a frequency outside the band reads as none, a tone that
// is not listed as None. The image is not changed.
ChannelValue ReadChannel(const MemoryImage &image, int channel, const Band &band);

// Writes one field of value exactly as committing that grid cell does: RxFreq stores the
// receive frequency (with the new-channel flags when the channel is empty) or, when value
// has no rx, erases the channel; TxFreq stores or removes the transmit part; Decode and
// Encode write the tone (None as FF FF); the option columns change only their own bits.
// Frequencies are stored as given: the caller keeps them inside the band. The band is
// used only for RxFreq, to tell whether the channel is empty.
void WriteChannelField(MemoryImage &image, int channel, ChannelColumn field, const ChannelValue &value,
                       const Band &band);

// Makes the channel read as value: writes, in grid column order, each field that reads
// differently, as typing those cells does. Writing to an empty channel gives the bytes of
// typing the values into the grid; a field that already reads as wanted keeps its bytes.
// Encode is written only with a transmit frequency.
void WriteChannel(MemoryImage &image, int channel, const ChannelValue &value, const Band &band);

// The value an option column's display text stands for; texts that are none of the
// column's items parse as the grid always took them (power Low, Narrow, Del, BCL Off,
// scrambler On). Only the field of that column is set in the result.
void ParseChannelOption(ChannelValue &value, ChannelColumn column, std::string_view text, LanguageMode language);

// Erases the channel to all FF; a PriorityChannel (0xFC9) naming it becomes 0.
void EraseChannel(MemoryImage &image, int channel);

} // namespace zrk6

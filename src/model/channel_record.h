#pragma once

#include <array>
#include <string>
#include <string_view>

#include "model/band.h"
#include "model/memory_image.h"
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

// The nine display texts of one channel in grid column order; all empty for an empty channel.
using RowTexts = std::array<std::string, kChannelColumns>;

// Channel n (1..128) is image row n-1; other numbers throw std::out_of_range.
int ChannelRow(int channel);

// True when the channel's RxFreq lies in band.low..band.high, both ends included.
bool IsChannelInUse(const MemoryImage &image, int channel, const Band &band);

// The row texts of the record as it stands, without changing the image.
RowTexts ChannelRowTexts(const MemoryImage &image, int channel, const Band &band, LanguageMode language);

// Shows a channel: erases a record whose RxFreq is out of band (all 16 bytes FF) and the
// transmit part (bytes 4-7, 10, 11) of one whose TxFreq is out of band, then decodes it.
RowTexts ShowChannelRow(MemoryImage &image, int channel, const Band &band, LanguageMode language);

// Record changes of the editing views. Each touches only the bytes and bits it owns.

// Stores a receive frequency text (already rounded). An empty channel also gets the
// flags of a new channel: byte 13 &= 0xD9, byte 12 &= 0xBF, byte 15 &= 0xFE.
void StoreRxFrequency(MemoryImage &image, int channel, std::string_view text, const Band &band);
// Erases the channel to all FF; a PriorityChannel (0xFC9) naming it becomes 0.
void EraseChannel(MemoryImage &image, int channel);
// Stores a transmit frequency text and clears TxUnset (bit 1 of byte 15).
void StoreTxFrequency(MemoryImage &image, int channel, std::string_view text);
// Removes the transmit part: bytes 4-7, 10, 11 become FF and TxUnset is set.
void RemoveTxFrequency(MemoryImage &image, int channel);
// Writes a tone text into the decode (bytes 8-9) or encode (bytes 10-11) tone.
void WriteChannelTone(MemoryImage &image, int channel, ChannelColumn column, std::string_view text);
// Writes one of the option fields (W/N, Scan, TX Power, BCL, Scrambler) from its display
// text in the given language; only that field's bits change. Other columns are ignored.
void WriteChannelOption(MemoryImage &image, int channel, ChannelColumn column, std::string_view text,
                        LanguageMode language);


} // namespace zrk6

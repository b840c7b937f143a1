#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/band.h"
#include "model/channel_record.h"
#include "model/memory_image.h"
#include "model/tone.h"

namespace zrk6 {

// Operations over many channels at once. Each takes an image and returns a new one; records
// move as whole 16 bytes, so bits no view interprets travel with their channel, and the
// priority channel (0xFC9) follows its channel wherever it moves (and becomes off when its
// channel is deleted).

// A channel list such as "1-20,40,45-50": ascending, without repeats. An empty text is every
// channel. error names what is wrong (a bad number, a range the wrong way round, a channel
// outside 1..128) and channels is then empty.
struct ChannelListParse {
    std::vector<int> channels;
    std::string error;
};
ChannelListParse ParseChannelList(std::string_view text);

// What Change Selected Channels sets; a field without a value keeps every bit it has.
struct ChannelChange {
    // The transmit frequency: RX plus this offset (10 Hz units, 0 for simplex), or
    // receiveOnly to remove it.
    std::optional<FreqUnits> offset;
    bool receiveOnly = false;
    std::optional<Tone> decode;
    std::optional<Tone> encode;
    std::optional<bool> wide;
    std::optional<bool> scan;
    std::optional<TxPower> power;
    std::optional<BusyLock> busyLock;
    std::optional<bool> scrambler;
};

struct ChannelOperationResult {
    MemoryImage image;
    std::vector<int> changed;    // channels whose bytes changed
    std::vector<int> leftAlone;  // channels that could not take a value and were not touched
    std::string refusal;         // set when the whole operation was refused; image unchanged
};

// Applies change to those of channels that are in use. A channel whose new transmit
// frequency would leave the band, or that would get an encode tone without a transmit
// frequency, is left alone and listed.
ChannelOperationResult ChangeChannels(const MemoryImage &image, const Band &band, const std::vector<int> &channels,
                                      const ChannelChange &change);

enum class SortKey { RxFreq, TxFreq, Decode, Encode, TxPower };
// Sorts the records at the positions channels (all channels when empty) among themselves,
// stably; channels not in use gather at the end of the range, in their old order. A channel
// without a transmit frequency sorts after those with one, either way round.
ChannelOperationResult SortChannels(const MemoryImage &image, const Band &band, const std::vector<int> &channels,
                                    SortKey key, bool descending);

// Moves each run of the selected channels one place up (or down), the neighbour taking the
// freed place. Refused when a selected channel is already at channel 1 (or 128).
ChannelOperationResult MoveChannels(const MemoryImage &image, const std::vector<int> &channels, bool up);

// Closes the gaps: channels in use move up in their order, the others follow.
ChannelOperationResult CompactChannels(const MemoryImage &image, const Band &band);

// Inserts count empty channels before channel at; the channels from there on move down.
// Refused when channels in use would be pushed past 128.
ChannelOperationResult InsertEmptyChannels(const MemoryImage &image, const Band &band, int at, int count);

// Deletes the channels; those after them move up, the end fills with empty records.
ChannelOperationResult DeleteChannels(const MemoryImage &image, const std::vector<int> &channels);

// Groups of channels in use whose RX, TX and both tones are equal, each ascending, groups in
// the order of their first channel.
std::vector<std::vector<int>> FindDuplicateChannels(const MemoryImage &image, const Band &band);

// What Find looks for: a frequency in MHz ("145.5"), a CTCSS tone ("88.5", "67") or a DCS
// code ("D023N", any letter case). A number is tried as both a frequency and a tone.
// A frequency typed in part ("446") also finds the frequencies whose text starts with it.
struct FindTarget {
    std::optional<FreqUnits> frequency;
    std::optional<Tone> tone;
    std::string frequencyPrefix; // the typed frequency text; empty when none was typed
};
// nullopt when the text is neither a frequency nor a listed tone (None is no target).
std::optional<FindTarget> ParseFindText(std::string_view text);

struct ChannelCell {
    int channel;
    ChannelColumn column;
    bool operator==(const ChannelCell &) const = default;
};
// The first cell after (channel, column) that holds the target, reading the RX, TX, decode and
// encode cells of the channels in use row by row, past channel 128 back to channel 1 and up to
// the starting cell itself. Decode and encode count only when the channel has them.
std::optional<ChannelCell> FindNextCell(const MemoryImage &image, const Band &band, const FindTarget &target,
                                        int channel, ChannelColumn column);

} // namespace zrk6

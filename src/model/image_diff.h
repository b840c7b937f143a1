#pragma once

#include <vector>

#include "model/memory_image.h"

namespace zrk6 {

// The maximal runs of addresses where the two images differ, in address order.
std::vector<AddressRange> ChangedRanges(const MemoryImage &before, const MemoryImage &after);

// Which part of the image a field belongs to.
enum class FieldGroup {
    None,             // a byte that no field interprets
    Channel,          // a channel record; FieldRef::channel names it
    Vfo,              // the VFO block and VfoStep
    OptionalFeatures, // the optional features, PTT-ID included
    Identity,         // radio identification, band variant, model, band limits
};

// The field a byte belongs to. A byte that holds several bit fields is named as a whole.
enum class ImageField {
    None,
    // channel record, by offset
    ChannelRxFreq,      // 0-3
    ChannelTxFreq,      // 4-7
    ChannelDecodeTone,  // 8-9
    ChannelEncodeTone,  // 10-11
    ChannelOptionFlags, // 12: scrambler
    ChannelFlags,       // 13: power, wide, scan, busy lock
    ChannelSpare,       // 14: not interpreted, but part of the record
    ChannelUnsetFlags,  // 15: RxUnset, TxUnset
    // VFO
    VfoRxFreq,
    VfoTxFreq,
    VfoDecodeTone,
    VfoEncodeTone,
    VfoModeFlags, // duplex, high power, wide
    VfoOffset,
    VfoStep,
    // optional features
    FeatureDisplayFlags, // 0xFC0: channel display, revert frequency, scan mode, key lock
    FeatureLamp,         // 0xFC1
    FeatureSwitches,     // 0xFC2: chord language, battery save, scrambler, beep, manual
    SquelchLevel,
    TimeOutTimer,
    VoxGain,
    VoxDelay,
    PriorityChannel,
    PttIdAni,
    PttIdName,
    // identity
    RadioId,
    BandVariant,
    Model,
    BandLimits,
};

struct FieldRef {
    FieldGroup group = FieldGroup::None;
    ImageField field = ImageField::None;
    int channel = 0; // 1..128 for a channel field, else 0
    bool operator==(const FieldRef &) const = default;
};

// The field of the byte at address; an address outside the image throws std::out_of_range.
FieldRef FieldAt(int address);

// A field whose bytes differ: range runs from its first to its last differing byte.
struct FieldChange {
    FieldRef field;
    AddressRange range;
    bool operator==(const FieldChange &) const = default;
};

// The changed fields in address order, each once; changed bytes of no field give one entry
// per run of adjacent bytes.
std::vector<FieldChange> ChangedFields(const MemoryImage &before, const MemoryImage &after);

} // namespace zrk6

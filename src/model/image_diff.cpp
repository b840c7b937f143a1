#include "model/image_diff.h"

#include <array>
#include <stdexcept>
#include <string>

#include "model/channel_record.h"
#include "model/vfo.h"

namespace zrk6 {
namespace {

struct FieldSpan {
    AddressRange range;
    FieldGroup group;
    ImageField field;
};

// The fields outside the channel records, in address order.
constexpr FieldSpan kFields[] = {
    {{vfo::kRxFreq, vfo::kRxFreq + 4}, FieldGroup::Vfo, ImageField::VfoRxFreq},
    {{vfo::kTxFreq, vfo::kTxFreq + 4}, FieldGroup::Vfo, ImageField::VfoTxFreq},
    {{vfo::kDecode, vfo::kDecode + 2}, FieldGroup::Vfo, ImageField::VfoDecodeTone},
    {{vfo::kEncode, vfo::kEncode + 2}, FieldGroup::Vfo, ImageField::VfoEncodeTone},
    {{vfo::kModeFlags, vfo::kModeFlags + 1}, FieldGroup::Vfo, ImageField::VfoModeFlags},
    {{vfo::kOffset, vfo::kOffset + 4}, FieldGroup::Vfo, ImageField::VfoOffset},
    {{addr::kRadioId, addr::kRadioId + 8}, FieldGroup::Identity, ImageField::RadioId},
    {{addr::kBandVariant, addr::kBandVariant + 1}, FieldGroup::Identity, ImageField::BandVariant},
    {{addr::kModel, addr::kModel + 1}, FieldGroup::Identity, ImageField::Model},
    {{0xFC0, 0xFC1}, FieldGroup::OptionalFeatures, ImageField::FeatureDisplayFlags},
    {{0xFC1, 0xFC2}, FieldGroup::OptionalFeatures, ImageField::FeatureLamp},
    {{0xFC2, 0xFC3}, FieldGroup::OptionalFeatures, ImageField::FeatureSwitches},
    {{0xFC3, 0xFC4}, FieldGroup::OptionalFeatures, ImageField::SquelchLevel},
    {{0xFC4, 0xFC5}, FieldGroup::OptionalFeatures, ImageField::TimeOutTimer},
    {{0xFC5, 0xFC6}, FieldGroup::OptionalFeatures, ImageField::VoxGain},
    {{0xFC6, 0xFC7}, FieldGroup::OptionalFeatures, ImageField::VoxDelay},
    {{addr::kVfoStep, addr::kVfoStep + 1}, FieldGroup::Vfo, ImageField::VfoStep},
    {{addr::kPriorityChannel, addr::kPriorityChannel + 1}, FieldGroup::OptionalFeatures,
     ImageField::PriorityChannel},
    {{addr::kPttIdAni, addr::kPttIdAni + 4}, FieldGroup::OptionalFeatures, ImageField::PttIdAni},
    {{addr::kPttIdName, addr::kPttIdName + 6}, FieldGroup::OptionalFeatures, ImageField::PttIdName},
    {{addr::kBandLimits, addr::kBandLimits + 3}, FieldGroup::Identity, ImageField::BandLimits},
};

// Record offset -> field.
constexpr std::array<ImageField, kRowSize> kChannelFields{
    ImageField::ChannelRxFreq,      ImageField::ChannelRxFreq,     ImageField::ChannelRxFreq,
    ImageField::ChannelRxFreq,      ImageField::ChannelTxFreq,     ImageField::ChannelTxFreq,
    ImageField::ChannelTxFreq,      ImageField::ChannelTxFreq,     ImageField::ChannelDecodeTone,
    ImageField::ChannelDecodeTone,  ImageField::ChannelEncodeTone, ImageField::ChannelEncodeTone,
    ImageField::ChannelOptionFlags, ImageField::ChannelFlags,      ImageField::ChannelSpare,
    ImageField::ChannelUnsetFlags};

} // namespace

std::vector<AddressRange> ChangedRanges(const MemoryImage &before, const MemoryImage &after)
{
    std::vector<AddressRange> ranges;
    const auto a = before.bytes();
    const auto b = after.bytes();
    for (int i = 0; i < kImageSize;) {
        if (a[static_cast<std::size_t>(i)] == b[static_cast<std::size_t>(i)]) {
            ++i;
            continue;
        }
        const int begin = i;
        while (i < kImageSize && a[static_cast<std::size_t>(i)] != b[static_cast<std::size_t>(i)])
            ++i;
        ranges.push_back({begin, i});
    }
    return ranges;
}

FieldRef FieldAt(int address)
{
    if (address < 0 || address >= kImageSize)
        throw std::out_of_range("image address out of range: " + std::to_string(address));
    if (address < kChannelCount * kRowSize)
        return {FieldGroup::Channel, kChannelFields[static_cast<std::size_t>(address % kRowSize)],
                address / kRowSize + 1};
    for (const FieldSpan &span : kFields) {
        if (span.range.contains(address))
            return {span.group, span.field, 0};
    }
    return {};
}

std::vector<FieldChange> ChangedFields(const MemoryImage &before, const MemoryImage &after)
{
    std::vector<FieldChange> changes;
    for (const AddressRange &range : ChangedRanges(before, after)) {
        for (int address = range.begin; address < range.end; ++address) {
            const FieldRef field = FieldAt(address);
            // A field's bytes are contiguous, so its changes follow one another; bytes of no
            // field join only when they are adjacent.
            if (!changes.empty() && changes.back().field == field &&
                (field.group != FieldGroup::None || changes.back().range.end == address)) {
                changes.back().range.end = address + 1;
            } else {
                changes.push_back({field, {address, address + 1}});
            }
        }
    }
    return changes;
}

} // namespace zrk6

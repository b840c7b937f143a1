#include "model/image_differences.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <map>
#include <optional>
#include <set>
#include <span>
#include <utility>

#include "model/band.h"
#include "model/channel_record.h"
#include "model/fields.h"
#include "model/image_diff.h"
#include "text/text_ids.h"

namespace zrk6 {

namespace {

constexpr int kTextNone = text_id::kNone;
constexpr int kTextChannel = text_id::kChannel;
constexpr int kTextVfo = text_id::kVfo;
constexpr int kTextAdded = text_id::kAdded;
constexpr int kTextRemoved = text_id::kRemoved;
constexpr int kTextFeatures = text_id::kOptionalFeaturesHeading;
constexpr int kTextAddress = text_id::kAddress;

std::string Text(int id, LanguageMode language)
{
    return std::string(LoadText(id, language));
}

// A caption as a field name: without the tab or blanks some captions end in.
std::string Label(int id, LanguageMode language)
{
    std::string text = Text(id, language);
    while (!text.empty() && (text.back() == '\t' || text.back() == ' '))
        text.pop_back();
    return text;
}

std::string OrNone(const std::string &value, LanguageMode language)
{
    return value.empty() ? Text(kTextNone, language) : value;
}

std::string ByteLine(int address, std::uint8_t before, std::uint8_t after)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "0x%03X: %02X -> %02X", address, before, after);
    return buffer;
}

// One shown value that reads differently in the two images, by its key within its group.
struct Item {
    int key;
    std::string line;
};

// What one channel, the VFO, the optional features or the identity bytes look like changed.
struct GroupChanges {
    std::vector<Item> items;
    bool whole = false; // one line accounts for every byte of the group (a channel added or removed)

    bool hasKey(int key) const
    {
        return std::any_of(items.begin(), items.end(), [key](const Item &item) { return item.key == key; });
    }
};

struct Images {
    const MemoryImage &before;
    const MemoryImage &after;
    Band bandBefore;
    Band bandAfter;
    LanguageMode language;
    std::set<int> channelsChanged; // channels with a changed byte, described on their own
};

void AddIfChanged(GroupChanges &changes, int key, const std::string &prefix, const std::string &name,
                  const std::string &before, const std::string &after)
{
    if (before != after)
        changes.items.push_back({key, prefix + name + " " + before + " -> " + after});
}

std::string ChannelPrefix(int channel, LanguageMode language)
{
    return Text(kTextChannel, language) + " " + std::to_string(channel) + ": ";
}

// "Channel n: added" or "removed" when the channel is in use in one image only.
std::optional<std::string> AddedOrRemoved(const Images &im, int channel)
{
    const bool usedBefore = IsChannelInUse(im.before, channel, im.bandBefore);
    const bool usedAfter = IsChannelInUse(im.after, channel, im.bandAfter);
    if (usedBefore == usedAfter)
        return std::nullopt;
    return ChannelPrefix(channel, im.language) + Text(usedAfter ? kTextAdded : kTextRemoved, im.language);
}

GroupChanges ChannelChanges(const Images &im, int channel)
{
    GroupChanges changes;
    const LanguageMode lang = im.language;
    const std::string prefix = ChannelPrefix(channel, lang);
    if (const auto line = AddedOrRemoved(im, channel)) {
        changes.whole = true;
        changes.items.push_back({-1, *line});
        return changes;
    }
    const bool usedBefore = IsChannelInUse(im.before, channel, im.bandBefore);
    if (!usedBefore)
        return changes; // empty in both: only bytes can tell
    const RowTexts before = ChannelRowTexts(im.before, channel, im.bandBefore, lang);
    const RowTexts after = ChannelRowTexts(im.after, channel, im.bandAfter, lang);
    for (int c = 0; c < kChannelColumns; ++c) {
        const auto i = static_cast<std::size_t>(c);
        AddIfChanged(changes, c, prefix, Label(Field(FieldOf(static_cast<ChannelColumn>(c))).labelId, lang), OrNone(before[i], lang), OrNone(after[i], lang));
    }
    return changes;
}

// The shown values of the VFO and of the optional features, in the order their lines come;
// a value's key in its group is its FieldId.
constexpr FieldId kVfoShown[] = {FieldId::VfoRxFreq, FieldId::VfoStep,   FieldId::VfoOffset,
                                 FieldId::VfoDuplex, FieldId::VfoDecode, FieldId::VfoEncode,
                                 FieldId::VfoWideNarrow, FieldId::VfoTxPower};
constexpr FieldId kFeaturesShown[] = {
    FieldId::TimeOutTimer, FieldId::SquelchLevel, FieldId::ChannelDisplay, FieldId::ScanMode,
    FieldId::Lamp,         FieldId::PriorityChannel, FieldId::RevertFrequency, FieldId::BeepTone,
    FieldId::BatterySave,  FieldId::FeatureScrambler, FieldId::KeyLock,    FieldId::Manual,
    FieldId::VoxGain,      FieldId::VoxDelay,     FieldId::ChordLanguage,  FieldId::PttIdAni,
    FieldId::PttIdName,
};

int KeyOf(FieldId field)
{
    return static_cast<int>(field);
}

// One line per shown field that reads differently; a tone or PTT ID text that is empty reads "None".
GroupChanges FieldChanges(const Images &im, std::span<const FieldId> fields, int prefixId)
{
    const LanguageMode lang = im.language;
    const std::string prefix = Text(prefixId, lang) + ": ";
    GroupChanges changes;
    for (const FieldId field : fields) {
        const auto text = [&](const MemoryImage &image, const Band &band) {
            const std::string t = FieldText(image, band, field, lang);
            return Field(field).kind == FieldKind::Choice ? t : OrNone(t, lang);
        };
        AddIfChanged(changes, KeyOf(field), prefix, Label(Field(field).labelId, lang), text(im.before, im.bandBefore),
                     text(im.after, im.bandAfter));
    }
    return changes;
}

GroupChanges VfoChanges(const Images &im)
{
    return FieldChanges(im, kVfoShown, kTextVfo);
}

GroupChanges FeatureChanges(const Images &im)
{
    return FieldChanges(im, kFeaturesShown, kTextFeatures);
}

enum IdentityKey { kModelKey, kBandKey };

GroupChanges IdentityChanges(const Images &im)
{
    const LanguageMode lang = im.language;
    const auto model = [](const MemoryImage &image) {
        return std::string(ModelTable()[static_cast<std::size_t>(ModelIndexFromByte(image.at(addr::kModel)))].text);
    };
    const auto band = [](const Band &b) {
        return b.text.empty() ? std::to_string(b.low) + " - " + std::to_string(b.high) + " MHz" : b.text;
    };
    GroupChanges changes;
    AddIfChanged(changes, kModelKey, "", Label(text_id::kModel, lang) + ":", model(im.before), model(im.after));
    AddIfChanged(changes, kBandKey, "", Label(text_id::kBand, lang) + ":", band(im.bandBefore), band(im.bandAfter));
    // Another band can put channels whose bytes did not change into or out of use.
    if (!(im.bandBefore == im.bandAfter)) {
        for (int channel = 1; channel <= kChannelCount; ++channel) {
            if (im.channelsChanged.contains(channel))
                continue;
            if (const auto line = AddedOrRemoved(im, channel))
                changes.items.push_back({kBandKey, *line});
        }
    }
    return changes;
}

// The shown values a field's bytes feed, by their keys in the field's group.
std::vector<int> KeysOf(ImageField field)
{
    switch (field) {
    case ImageField::ChannelRxFreq: return {static_cast<int>(ChannelColumn::RxFreq)};
    case ImageField::ChannelTxFreq: return {static_cast<int>(ChannelColumn::TxFreq)};
    case ImageField::ChannelDecodeTone: return {static_cast<int>(ChannelColumn::Decode)};
    case ImageField::ChannelEncodeTone: return {static_cast<int>(ChannelColumn::Encode)};
    case ImageField::ChannelOptionFlags: return {static_cast<int>(ChannelColumn::Scrambler)};
    case ImageField::ChannelFlags:
        return {static_cast<int>(ChannelColumn::WideNarrow), static_cast<int>(ChannelColumn::Scan),
                static_cast<int>(ChannelColumn::TxPower), static_cast<int>(ChannelColumn::Bcl)};
    case ImageField::ChannelUnsetFlags:
        return {static_cast<int>(ChannelColumn::RxFreq), static_cast<int>(ChannelColumn::TxFreq)};
    case ImageField::VfoRxFreq: return {KeyOf(FieldId::VfoRxFreq)};
    case ImageField::VfoTxFreq: // derived from these
        return {KeyOf(FieldId::VfoRxFreq), KeyOf(FieldId::VfoOffset), KeyOf(FieldId::VfoDuplex)};
    case ImageField::VfoDecodeTone: return {KeyOf(FieldId::VfoDecode)};
    case ImageField::VfoEncodeTone: return {KeyOf(FieldId::VfoEncode)};
    case ImageField::VfoModeFlags:
        return {KeyOf(FieldId::VfoDuplex), KeyOf(FieldId::VfoWideNarrow), KeyOf(FieldId::VfoTxPower)};
    case ImageField::VfoOffset: return {KeyOf(FieldId::VfoOffset)};
    case ImageField::VfoStep: return {KeyOf(FieldId::VfoStep)};
    case ImageField::FeatureDisplayFlags:
        return {KeyOf(FieldId::ChannelDisplay), KeyOf(FieldId::RevertFrequency), KeyOf(FieldId::ScanMode),
                KeyOf(FieldId::KeyLock)};
    case ImageField::FeatureLamp: return {KeyOf(FieldId::Lamp)};
    case ImageField::FeatureSwitches:
        return {KeyOf(FieldId::ChordLanguage), KeyOf(FieldId::BatterySave), KeyOf(FieldId::FeatureScrambler),
                KeyOf(FieldId::BeepTone), KeyOf(FieldId::Manual)};
    case ImageField::SquelchLevel: return {KeyOf(FieldId::SquelchLevel)};
    case ImageField::TimeOutTimer: return {KeyOf(FieldId::TimeOutTimer)};
    case ImageField::VoxGain: return {KeyOf(FieldId::VoxGain)};
    case ImageField::VoxDelay: return {KeyOf(FieldId::VoxDelay)};
    case ImageField::PriorityChannel: return {KeyOf(FieldId::PriorityChannel)};
    case ImageField::PttIdAni: return {KeyOf(FieldId::PttIdAni)};
    case ImageField::PttIdName: return {KeyOf(FieldId::PttIdName)};
    case ImageField::Model: return {kModelKey};
    case ImageField::BandLimits: return {kBandKey};
    default: return {};
    }
}

GroupChanges ChangesOf(const Images &im, const FieldRef &field)
{
    switch (field.group) {
    case FieldGroup::Channel: return ChannelChanges(im, field.channel);
    case FieldGroup::Vfo: return VfoChanges(im);
    case FieldGroup::OptionalFeatures: return FeatureChanges(im);
    case FieldGroup::Identity: return IdentityChanges(im);
    case FieldGroup::None: break;
    }
    return {};
}

// after, with only the addresses of the scope taken from it and the rest from before.
MemoryImage InScope(const MemoryImage &before, const MemoryImage &after, DifferenceScope scope)
{
    if (scope == DifferenceScope::WholeImage)
        return after;
    MemoryImage result = before;
    for (int a = 0; a < kImageSize; ++a) {
        if (IsWrittenToRadio(a))
            result.set(a, after.at(a));
    }
    return result;
}

} // namespace

std::vector<std::string> DescribeDifferences(const MemoryImage &before, const MemoryImage &afterWhole,
                                             LanguageMode language, DifferenceScope scope)
{
    const MemoryImage after = InScope(before, afterWhole, scope);
    const std::vector<FieldChange> changes = ChangedFields(before, after);
    Images im{before, after, ReadBandFromImage(before), ReadBandFromImage(after), language, {}};
    for (const FieldChange &change : changes) {
        if (change.field.group == FieldGroup::Channel)
            im.channelsChanged.insert(change.field.channel);
    }
    std::vector<std::string> lines;
    std::map<std::pair<FieldGroup, int>, GroupChanges> groups;
    for (const FieldChange &change : changes) {
        const std::pair<FieldGroup, int> key{change.field.group, change.field.channel};
        auto found = groups.find(key);
        if (found == groups.end() && change.field.group != FieldGroup::None) {
            found = groups.emplace(key, ChangesOf(im, change.field)).first;
            for (const Item &item : found->second.items)
                lines.push_back(item.line);
        }
        if (found != groups.end()) {
            const GroupChanges &group = found->second;
            const std::vector<int> keys = KeysOf(change.field.field);
            if (group.whole || std::any_of(keys.begin(), keys.end(), [&](int k) { return group.hasKey(k); }))
                continue; // a shown value accounts for these bytes
        }
        for (int a = change.range.begin; a < change.range.end; ++a) {
            if (before.at(a) != after.at(a))
                lines.push_back(Text(kTextAddress, language) + " " + ByteLine(a, before.at(a), after.at(a)));
        }
    }
    return lines;
}

std::vector<std::string> ByteDifferences(const MemoryImage &before, const MemoryImage &afterWhole,
                                         DifferenceScope scope)
{
    const MemoryImage after = InScope(before, afterWhole, scope);
    std::vector<std::string> lines;
    for (int a = 0; a < kImageSize; ++a) {
        if (before.at(a) != after.at(a))
            lines.push_back(ByteLine(a, before.at(a), after.at(a)));
    }
    return lines;
}

} // namespace zrk6

#include "model/image_differences.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <map>
#include <optional>
#include <set>
#include <utility>

#include "model/band.h"
#include "model/channel_record.h"
#include "model/image_diff.h"
#include "model/optional_features.h"
#include "model/vfo.h"

namespace zrk6 {

namespace {

constexpr int kTextOn = 1100;
constexpr int kTextOff = 1101;
constexpr int kTextNone = 1104;
constexpr int kTextChannel = 1205;
constexpr int kTextVfo = 1245;
constexpr int kTextAdded = 1811;
constexpr int kTextRemoved = 1812;
constexpr int kTextFeatures = 1814;
constexpr int kTextAddress = 1815;

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

// Item i of a list of text ids, or the number itself when it is outside the list.
template <std::size_t N>
std::string ListText(const std::array<int, N> &ids, int index, LanguageMode language)
{
    return index >= 0 && static_cast<std::size_t>(index) < N ? Text(ids[static_cast<std::size_t>(index)], language)
                                                              : std::to_string(index);
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
        AddIfChanged(changes, c, prefix, Label(kChannelColumnTextIds[i], lang), OrNone(before[i], lang), OrNone(after[i], lang));
    }
    return changes;
}

// Keys of the VFO's shown values.
enum VfoKey { kVfoRx, kVfoOffset, kVfoStepKey, kVfoDuplex, kVfoDecode, kVfoEncode, kVfoWide, kVfoPower };

GroupChanges VfoChanges(const Images &im)
{
    static constexpr std::array<const char *, kVfoStepCount> kSteps = {"5K", "10K", "6.25K", "12.5K", "25K"};
    static constexpr std::array<int, 3> kDuplexIds = {1241, 1243, 1242};
    static constexpr std::array<int, 2> kWideIds = {1218, 1217};
    static constexpr std::array<int, 2> kPowerIds = {1214, 1215};
    const LanguageMode lang = im.language;
    const VfoFields a = ReadVfo(im.before, lang);
    const VfoFields b = ReadVfo(im.after, lang);
    const auto step = [](int index) {
        return index >= 0 && index < kVfoStepCount ? std::string(kSteps[static_cast<std::size_t>(index)])
                                                    : std::to_string(index);
    };
    const std::string prefix = Text(kTextVfo, lang) + ": ";
    GroupChanges changes;
    AddIfChanged(changes, kVfoRx, prefix, Label(1200, lang), a.rxText, b.rxText);
    AddIfChanged(changes, kVfoStepKey, prefix, Label(1246, lang), step(a.step), step(b.step));
    AddIfChanged(changes, kVfoOffset, prefix, Label(1240, lang), a.offsetText, b.offsetText);
    AddIfChanged(changes, kVfoDuplex, prefix, Label(1255, lang), ListText(kDuplexIds, a.duplex, lang),
                 ListText(kDuplexIds, b.duplex, lang));
    AddIfChanged(changes, kVfoDecode, prefix, Label(1211, lang), OrNone(a.decodeText, lang), OrNone(b.decodeText, lang));
    AddIfChanged(changes, kVfoEncode, prefix, Label(1212, lang), OrNone(a.encodeText, lang), OrNone(b.encodeText, lang));
    AddIfChanged(changes, kVfoWide, prefix, Label(1216, lang), ListText(kWideIds, a.wide, lang),
                 ListText(kWideIds, b.wide, lang));
    AddIfChanged(changes, kVfoPower, prefix, Label(1213, lang), ListText(kPowerIds, a.highPower, lang),
                 ListText(kPowerIds, b.highPower, lang));
    return changes;
}

// Keys of the optional features' shown values.
enum FeatureKey {
    kTimeOut, kSquelch, kChannelDisplay, kScanMode, kLamp, kPriority, kRevert, kBeep, kBatterySave, kScrambler,
    kKeyLock, kManual, kVoxGain, kVoxDelay, kChord, kAni, kName,
};

// The optional features as the dialog's lists and check boxes show them, in the dialog's order.
std::vector<std::pair<int, std::string>> FeatureTexts(const OptionalFeatures &f, LanguageMode lang)
{
    const std::string off = Text(kTextOff, lang);
    const auto onOff = [&](bool on) { return Text(on ? kTextOn : kTextOff, lang); };
    const auto offOr = [&](int value, int factor) { return value == 0 ? off : std::to_string(value * factor); };
    const std::string mode = Text(1416, lang);
    const std::string channel = Text(kTextChannel, lang);
    static constexpr std::array<const char *, 6> kVoxDelays = {"0.3", "0.5", "1.0", "1.5", "2.0", "3.0"};
    const std::string scanModes[4] = {off, channel + mode, "CTCSS " + mode, "DCS " + mode};
    const std::string lamps[3] = {off, Text(1105, lang), Text(kTextOn, lang)};
    const std::string chords[3] = {Text(1322, lang), Text(1321, lang), off};
    const auto pick = [](const auto &list, int index) -> std::string {
        return index >= 0 && static_cast<std::size_t>(index) < std::size(list) ? std::string(list[index])
                                                                               : std::to_string(index);
    };
    return {
        {kTimeOut, offOr(f.timeOutTimer, 15)},
        {kSquelch, std::to_string(f.squelchLevel)},
        {kChannelDisplay, f.channelDisplay == 0 ? channel : channel + "+" + Text(1206, lang)},
        {kScanMode, pick(scanModes, f.scanMode)},
        {kLamp, pick(lamps, f.lamp)},
        {kPriority, offOr(f.priorityChannel, 1)},
        {kRevert, onOff(f.revertFrequency)},
        {kBeep, onOff(f.beepTone)},
        {kBatterySave, onOff(f.batterySave)},
        {kScrambler, onOff(f.scrambler)},
        {kKeyLock, onOff(f.keyLock)},
        {kManual, onOff(f.manual)},
        {kVoxGain, offOr(f.voxGain, 1)},
        {kVoxDelay, pick(kVoxDelays, f.voxDelay)},
        {kChord, pick(chords, static_cast<int>(f.chordLanguage))},
        {kAni, OrNone(f.pttIdAni, lang)},
        {kName, OrNone(f.pttIdName, lang)},
    };
}

GroupChanges FeatureChanges(const Images &im)
{
    // Field names by FeatureKey.
    static constexpr std::array<int, 17> kNames = {1404, 1408, 1459, 1460, 1409, 1462, 1461, 1414, 1415,
                                                   1428, 1401, 1254, 1410, 1451, 1450, 1452, 1453};
    const LanguageMode lang = im.language;
    const auto a = FeatureTexts(DecodeOptionalFeatures(im.before, im.bandBefore), lang);
    const auto b = FeatureTexts(DecodeOptionalFeatures(im.after, im.bandAfter), lang);
    const std::string prefix = Text(kTextFeatures, lang) + ": ";
    GroupChanges changes;
    for (std::size_t i = 0; i < a.size(); ++i)
        AddIfChanged(changes, a[i].first, prefix, Label(kNames[static_cast<std::size_t>(a[i].first)], lang),
                     a[i].second, b[i].second);
    return changes;
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
    AddIfChanged(changes, kModelKey, "", Label(1251, lang) + ":", model(im.before), model(im.after));
    AddIfChanged(changes, kBandKey, "", Label(1252, lang) + ":", band(im.bandBefore), band(im.bandAfter));
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
    case ImageField::VfoRxFreq: return {kVfoRx};
    case ImageField::VfoTxFreq: return {kVfoRx, kVfoOffset, kVfoDuplex}; // derived from these
    case ImageField::VfoDecodeTone: return {kVfoDecode};
    case ImageField::VfoEncodeTone: return {kVfoEncode};
    case ImageField::VfoModeFlags: return {kVfoDuplex, kVfoWide, kVfoPower};
    case ImageField::VfoOffset: return {kVfoOffset};
    case ImageField::VfoStep: return {kVfoStepKey};
    case ImageField::FeatureDisplayFlags: return {kChannelDisplay, kRevert, kScanMode, kKeyLock};
    case ImageField::FeatureLamp: return {kLamp};
    case ImageField::FeatureSwitches: return {kChord, kBatterySave, kScrambler, kBeep, kManual};
    case ImageField::SquelchLevel: return {kSquelch};
    case ImageField::TimeOutTimer: return {kTimeOut};
    case ImageField::VoxGain: return {kVoxGain};
    case ImageField::VoxDelay: return {kVoxDelay};
    case ImageField::PriorityChannel: return {kPriority};
    case ImageField::PttIdAni: return {kAni};
    case ImageField::PttIdName: return {kName};
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

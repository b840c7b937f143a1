#include "model/fields.h"

#include <array>
#include <charconv>
#include <stdexcept>
#include <vector>

#include "model/bcd_freq.h"
#include "model/tone.h"
#include "model/vfo.h"
#include "text/text_ids.h"

namespace zrk6 {
namespace {

// Text ids of the shared words.
constexpr int kOn = text_id::kOn;
constexpr int kOff = text_id::kOff;
constexpr int kChannel = text_id::kChannel;
constexpr int kMode = text_id::kMode;

// An item that is one text of the table, and one that is the same in both languages.
constexpr Choice T(int value, int textId)
{
    return {value, textId, {}, 0};
}
constexpr Choice L(int value, std::string_view literal)
{
    return {value, 0, literal, 0};
}

constexpr Choice kWideNarrow[] = {T(1, text_id::kWide), T(0, text_id::kNarrow)};
constexpr Choice kScan[] = {T(1, text_id::kScanAdd), T(0, text_id::kScanDel)};
constexpr Choice kTxPower[] = {T(0, text_id::kLow), T(1, text_id::kMid), T(2, text_id::kHigh)};
constexpr Choice kBcl[] = {T(0, kOff), T(1, text_id::kCarrier), T(2, text_id::kQtDqt)};
constexpr Choice kOffOn[] = {T(0, kOff), T(1, kOn)};

constexpr Choice kVfoDuplex[] = {T(0, text_id::kSimplex), T(1, text_id::kMinus), T(2, text_id::kPlus)};
constexpr Choice kVfoStep[] = {L(0, "5K"), L(1, "10K"), L(2, "6.25K"), L(3, "12.5K"), L(4, "25K")};
constexpr Choice kVfoWideNarrow[] = {T(0, text_id::kNarrow), T(1, text_id::kWide)};
constexpr Choice kVfoTxPower[] = {T(0, text_id::kLow), T(1, text_id::kHigh)};

constexpr Choice kChordLanguage[] = {T(0, text_id::kChineseLanguage), T(1, text_id::kEnglishLanguage), T(2, kOff)};
constexpr Choice kChannelDisplay[] = {T(0, kChannel), {1, kChannel, "+", text_id::kFrequency}};
constexpr Choice kScanMode[] = {T(0, kOff), {1, kChannel, "", kMode}, {2, 0, "CTCSS ", kMode}, {3, 0, "DCS ", kMode}};
constexpr Choice kLamp[] = {T(0, kOff), T(1, text_id::kAuto), T(2, kOn)};
constexpr Choice kVoxDelay[] = {L(0, "0.3"), L(1, "0.5"), L(2, "1.0"),
                                L(3, "1.5"), L(4, "2.0"), L(5, "3.0")};

// A list of numbers: value 0 is "Off" (or the number 0 when first is 0), value n shows n * scale.
template <int Count>
struct NumberedList {
    std::array<std::string, Count> texts;
    std::array<Choice, Count> choices;

    NumberedList(int scale, bool offFirst)
    {
        for (int i = 0; i < Count; ++i) {
            const auto n = static_cast<std::size_t>(i);
            texts[n] = std::to_string(i * scale);
            choices[n] = (i == 0 && offFirst) ? T(0, kOff) : L(i, texts[n]);
        }
    }
};

std::span<const Choice> timeOutChoices()
{
    static const NumberedList<21> list(15, true);
    return list.choices;
}
std::span<const Choice> squelchChoices()
{
    static const NumberedList<10> list(1, false);
    return list.choices;
}
std::span<const Choice> priorityChoices()
{
    static const NumberedList<kChannelCount + 1> list(1, true);
    return list.choices;
}
std::span<const Choice> voxGainChoices()
{
    static const NumberedList<10> list(1, true);
    return list.choices;
}

using S = FieldScope;
using K = FieldKind;

std::vector<FieldInfo> makeCatalogue()
{
    return {
        {FieldId::RxFreq, S::Channel, K::Frequency, text_id::kRxFreq, {}, false},
        {FieldId::TxFreq, S::Channel, K::Frequency, text_id::kTxFreq, {}, false},
        {FieldId::Decode, S::Channel, K::Tone, text_id::kDecode, {}, false},
        {FieldId::Encode, S::Channel, K::Tone, text_id::kEncode, {}, false},
        {FieldId::WideNarrow, S::Channel, K::Choice, text_id::kWideNarrow, kWideNarrow, false},
        {FieldId::Scan, S::Channel, K::Choice, text_id::kScan, kScan, false},
        {FieldId::TxPower, S::Channel, K::Choice, text_id::kTxPower, kTxPower, false},
        {FieldId::Bcl, S::Channel, K::Choice, text_id::kBcl, kBcl, false},
        {FieldId::Scrambler, S::Channel, K::Choice, text_id::kScramblerColumn, kOffOn, false},

        {FieldId::VfoRxFreq, S::Vfo, K::Frequency, text_id::kRxFreq, {}, false},
        {FieldId::VfoTxFreq, S::Vfo, K::Frequency, text_id::kTxFreq, {}, true},
        {FieldId::VfoOffset, S::Vfo, K::Frequency, text_id::kOffsetFreq, {}, false},
        {FieldId::VfoDuplex, S::Vfo, K::Choice, text_id::kDuplex, kVfoDuplex, false},
        {FieldId::VfoStep, S::Vfo, K::Choice, text_id::kStep, kVfoStep, false},
        {FieldId::VfoWideNarrow, S::Vfo, K::Choice, text_id::kWideNarrow, kVfoWideNarrow, false},
        {FieldId::VfoTxPower, S::Vfo, K::Choice, text_id::kTxPower, kVfoTxPower, false},
        {FieldId::VfoDecode, S::Vfo, K::Tone, text_id::kDecode, {}, false},
        {FieldId::VfoEncode, S::Vfo, K::Tone, text_id::kEncode, {}, false},

        {FieldId::TimeOutTimer, S::Settings, K::Choice, text_id::kTimeOutTimer, timeOutChoices(), false},
        {FieldId::SquelchLevel, S::Settings, K::Choice, text_id::kSquelchLevel, squelchChoices(), false},
        {FieldId::ChordLanguage, S::Settings, K::Choice, text_id::kChordLanguage, kChordLanguage, true},
        {FieldId::ChannelDisplay, S::Settings, K::Choice, text_id::kChannelDisplay, kChannelDisplay, false},
        {FieldId::ScanMode, S::Settings, K::Choice, text_id::kScanMode, kScanMode, false},
        {FieldId::Lamp, S::Settings, K::Choice, text_id::kLamp, kLamp, false},
        {FieldId::PriorityChannel, S::Settings, K::Choice, text_id::kPriorityChannel, priorityChoices(), false},
        {FieldId::RevertFrequency, S::Settings, K::Choice, text_id::kRevertFrequency, kOffOn, false},
        {FieldId::BeepTone, S::Settings, K::Choice, text_id::kBeepTone, kOffOn, false},
        {FieldId::BatterySave, S::Settings, K::Choice, text_id::kBatterySave, kOffOn, false},
        {FieldId::FeatureScrambler, S::Settings, K::Choice, text_id::kScramblerFeature, kOffOn, false},
        {FieldId::KeyLock, S::Settings, K::Choice, text_id::kKeyLock, kOffOn, false},
        {FieldId::Manual, S::Settings, K::Choice, text_id::kManual, kOffOn, false},
        {FieldId::VoxGain, S::Settings, K::Choice, text_id::kVoxGainLevel, voxGainChoices(), false},
        {FieldId::VoxDelay, S::Settings, K::Choice, text_id::kVoxDelayTime, kVoxDelay, false},
        {FieldId::PttIdAni, S::Settings, K::Text, text_id::kPttIdAni, {}, true},
        {FieldId::PttIdName, S::Settings, K::Text, text_id::kPttIdName, {}, true},
    };
}

const std::vector<FieldInfo> &catalogue()
{
    static const std::vector<FieldInfo> fields = [] {
        std::vector<FieldInfo> f = makeCatalogue();
        for (std::size_t i = 0; i < f.size(); ++i) {
            if (static_cast<std::size_t>(f[i].id) != i)
                throw std::logic_error("field catalogue out of order");
        }
        return f;
    }();
    return fields;
}

bool isChannelField(FieldId field)
{
    return field <= FieldId::Scrambler;
}

void requireChoiceField(FieldId field)
{
    if (Field(field).kind != FieldKind::Choice)
        throw std::invalid_argument("not a choice field");
}

int readVfoChoice(const MemoryImage &image, FieldId field)
{
    const std::uint8_t flags = image.at(vfo::kModeFlags);
    switch (field) {
    case FieldId::VfoDuplex:
        return flags >> 6;
    case FieldId::VfoStep:
        return image.at(addr::kVfoStep);
    case FieldId::VfoWideNarrow:
        return (flags >> 4) & 1;
    case FieldId::VfoTxPower:
        return (flags >> 5) & 1;
    default:
        throw std::invalid_argument("not a VFO choice field");
    }
}

void writeVfoChoice(MemoryImage &image, const Band &band, FieldId field, int stored)
{
    switch (field) {
    case FieldId::VfoDuplex:
        SetVfoDuplex(image, stored, band);
        break;
    case FieldId::VfoStep:
        if (stored >= 0 && stored < kVfoStepCount)
            ChangeVfoStep(image, stored, band);
        else
            image.set(addr::kVfoStep, static_cast<std::uint8_t>(stored));
        break;
    case FieldId::VfoWideNarrow:
        SetVfoWide(image, stored != 0);
        break;
    case FieldId::VfoTxPower:
        SetVfoHighPower(image, stored != 0);
        break;
    default:
        throw std::invalid_argument("not a VFO choice field");
    }
}

} // namespace

std::string ChoiceText(const Choice &choice, LanguageMode language)
{
    std::string text;
    if (choice.textId != 0)
        text += LoadText(choice.textId, language);
    text += choice.literal;
    if (choice.suffixId != 0)
        text += LoadText(choice.suffixId, language);
    return text;
}

const FieldInfo &Field(FieldId id)
{
    const auto &fields = catalogue();
    const auto index = static_cast<std::size_t>(id);
    if (index >= fields.size())
        throw std::out_of_range("unknown field");
    return fields[index];
}

std::span<const FieldInfo> AllFields()
{
    return catalogue();
}

std::span<const FieldInfo> FieldsOf(FieldScope scope)
{
    const auto all = AllFields();
    std::size_t first = 0;
    while (first < all.size() && all[first].scope != scope)
        ++first;
    std::size_t last = first;
    while (last < all.size() && all[last].scope == scope)
        ++last;
    return all.subspan(first, last - first);
}

std::optional<Choice> FindChoice(FieldId field, int value)
{
    for (const Choice &c : Field(field).choices) {
        if (c.value == value)
            return c;
    }
    return std::nullopt;
}

int ChoiceIndex(FieldId field, int value)
{
    const auto choices = Field(field).choices;
    for (std::size_t i = 0; i < choices.size(); ++i) {
        if (choices[i].value == value)
            return static_cast<int>(i);
    }
    return -1;
}

std::string ChoiceValueText(FieldId field, int value, LanguageMode language)
{
    if (const auto c = FindChoice(field, value))
        return ChoiceText(*c, language);
    return std::to_string(value);
}

std::optional<int> ChoiceValueOf(FieldId field, std::string_view text, LanguageMode language)
{
    for (const Choice &c : Field(field).choices) {
        if (ChoiceText(c, language) == text)
            return c.value;
    }
    return std::nullopt;
}

ChannelColumn ColumnOf(FieldId channelField)
{
    if (!isChannelField(channelField))
        throw std::invalid_argument("not a channel field");
    return static_cast<ChannelColumn>(static_cast<int>(channelField));
}

FieldId FieldOf(ChannelColumn column)
{
    return static_cast<FieldId>(static_cast<int>(column));
}

int ReadChoice(const ChannelValue &value, FieldId field)
{
    switch (field) {
    case FieldId::WideNarrow:
        return value.wide ? 1 : 0;
    case FieldId::Scan:
        return value.scan ? 1 : 0;
    case FieldId::TxPower:
        return static_cast<int>(value.power);
    case FieldId::Bcl:
        return static_cast<int>(value.busyLock);
    case FieldId::Scrambler:
        return value.scrambler ? 1 : 0;
    default:
        throw std::invalid_argument("not a channel choice field");
    }
}

void SetChoice(ChannelValue &value, FieldId field, int stored)
{
    switch (field) {
    case FieldId::WideNarrow:
        value.wide = stored != 0;
        break;
    case FieldId::Scan:
        value.scan = stored != 0;
        break;
    case FieldId::TxPower:
        value.power = stored >= 2 ? TxPower::High : stored == 1 ? TxPower::Mid : TxPower::Low;
        break;
    case FieldId::Bcl:
        value.busyLock = stored == 2 ? BusyLock::QtDqt : stored == 1 ? BusyLock::Carrier : BusyLock::Off;
        break;
    case FieldId::Scrambler:
        value.scrambler = stored != 0;
        break;
    default:
        throw std::invalid_argument("not a channel choice field");
    }
}

int ReadChoice(const OptionalFeatures &f, FieldId field)
{
    switch (field) {
    case FieldId::TimeOutTimer: return f.timeOutTimer;
    case FieldId::SquelchLevel: return f.squelchLevel;
    case FieldId::ChordLanguage: return static_cast<int>(f.chordLanguage);
    case FieldId::ChannelDisplay: return f.channelDisplay;
    case FieldId::ScanMode: return f.scanMode;
    case FieldId::Lamp: return f.lamp;
    case FieldId::PriorityChannel: return f.priorityChannel;
    case FieldId::RevertFrequency: return f.revertFrequency ? 1 : 0;
    case FieldId::BeepTone: return f.beepTone ? 1 : 0;
    case FieldId::BatterySave: return f.batterySave ? 1 : 0;
    case FieldId::FeatureScrambler: return f.scrambler ? 1 : 0;
    case FieldId::KeyLock: return f.keyLock ? 1 : 0;
    case FieldId::Manual: return f.manual ? 1 : 0;
    case FieldId::VoxGain: return f.voxGain;
    case FieldId::VoxDelay: return f.voxDelay;
    default:
        throw std::invalid_argument("not a settings choice field");
    }
}

void SetChoice(OptionalFeatures &f, FieldId field, int stored)
{
    switch (field) {
    case FieldId::TimeOutTimer: f.timeOutTimer = stored; break;
    case FieldId::SquelchLevel: f.squelchLevel = stored; break;
    case FieldId::ChordLanguage:
        f.chordLanguage = stored == 0 ? ChordLanguage::Chinese : stored == 1 ? ChordLanguage::English : ChordLanguage::Off;
        break;
    case FieldId::ChannelDisplay: f.channelDisplay = stored; break;
    case FieldId::ScanMode: f.scanMode = stored; break;
    case FieldId::Lamp: f.lamp = stored; break;
    case FieldId::PriorityChannel: f.priorityChannel = stored; break;
    case FieldId::RevertFrequency: f.revertFrequency = stored != 0; break;
    case FieldId::BeepTone: f.beepTone = stored != 0; break;
    case FieldId::BatterySave: f.batterySave = stored != 0; break;
    case FieldId::FeatureScrambler: f.scrambler = stored != 0; break;
    case FieldId::KeyLock: f.keyLock = stored != 0; break;
    case FieldId::Manual: f.manual = stored != 0; break;
    case FieldId::VoxGain: f.voxGain = stored; break;
    case FieldId::VoxDelay: f.voxDelay = stored; break;
    default:
        throw std::invalid_argument("not a settings choice field");
    }
}

int ReadChoice(const MemoryImage &image, const Band &band, FieldId field, int channel)
{
    requireChoiceField(field);
    switch (Field(field).scope) {
    case FieldScope::Channel:
        return ReadChoice(ReadChannel(image, channel, band), field);
    case FieldScope::Vfo:
        return readVfoChoice(image, field);
    case FieldScope::Settings:
        break;
    }
    return ReadChoice(DecodeOptionalFeatures(image, band), field);
}

void WriteChoice(MemoryImage &image, const Band &band, FieldId field, int stored, int channel)
{
    requireChoiceField(field);
    switch (Field(field).scope) {
    case FieldScope::Channel: {
        ChannelValue value;
        SetChoice(value, field, stored);
        WriteChannelField(image, channel, ColumnOf(field), value, band);
        return;
    }
    case FieldScope::Vfo:
        writeVfoChoice(image, band, field, stored);
        return;
    case FieldScope::Settings:
        break;
    }
    if (Field(field).readOnly)
        throw std::invalid_argument("read-only field");
    EncodeOptionalFeature(image, field, stored);
}

std::string FieldText(const MemoryImage &image, const Band &band, FieldId field, LanguageMode language, int channel)
{
    const FieldInfo &info = Field(field);
    if (info.scope == FieldScope::Channel) {
        const ChannelValue value = ReadChannel(image, channel, band);
        if (!value.rx)
            return {};
        switch (field) {
        case FieldId::RxFreq: return FormatFreq(*value.rx);
        case FieldId::TxFreq: return value.tx ? FormatFreq(*value.tx) : std::string();
        case FieldId::Decode: return ToneText(value.decode, language);
        case FieldId::Encode: return value.tx ? ToneText(value.encode, language) : std::string();
        default: return ChoiceValueText(field, ReadChoice(value, field), language);
        }
    }
    if (info.scope == FieldScope::Vfo) {
        const auto tone = [&](int address) {
            return ReadToneCode(image.at(address), image.at(address + 1), language);
        };
        switch (field) {
        case FieldId::VfoRxFreq: return FormatFreq(ReadFreqUnits(image, vfo::kRxFreq, ByteOrder::LowFirst));
        case FieldId::VfoTxFreq: return FormatFreq(ReadFreqUnits(image, vfo::kTxFreq, ByteOrder::LowFirst));
        case FieldId::VfoOffset: return FormatFreq(ReadFreqUnits(image, vfo::kOffset, ByteOrder::HighFirst));
        case FieldId::VfoDecode: return tone(vfo::kDecode);
        case FieldId::VfoEncode: return tone(vfo::kEncode);
        default: return ChoiceValueText(field, readVfoChoice(image, field), language);
        }
    }
    const OptionalFeatures f = DecodeOptionalFeatures(image, band);
    if (field == FieldId::PttIdAni)
        return f.pttIdAni;
    if (field == FieldId::PttIdName)
        return f.pttIdName;
    return ChoiceValueText(field, ReadChoice(f, field), language);
}

} // namespace zrk6

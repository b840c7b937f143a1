#include "files/text_form.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <sstream>

#include <yaml-cpp/eventhandler.h>
#include <yaml-cpp/yaml.h>

#include "model/band.h"
#include "model/bcd_freq.h"
#include "model/channel_record.h"
#include "model/fields.h"
#include "model/optional_features.h"
#include "model/tone.h"
#include "model/vfo.h"
#include "text/text_ids.h"

namespace zrk6 {
namespace {

// Text ids of the messages.
constexpr int kErrorAt = text_id::kTextFormErrorAtKey;       // line, column, key, message
constexpr int kErrorAtNoKey = text_id::kTextFormErrorAt;  // line, column, message
constexpr int kNotOneOf = text_id::kNotOneOf;
constexpr int kUnknownKey = text_id::kUnknownKey;
constexpr int kDuplicateKey = text_id::kDuplicateKey;
constexpr int kOutOfBand = text_id::kOutsideBand;
constexpr int kUnknownFormat = text_id::kUnknownFormat;
constexpr int kTooLarge = text_id::kFileLargerThan1MiB;
constexpr int kBinary = text_id::kBinaryData;
constexpr int kNotWrittenAs = text_id::kNotWrittenAs;
constexpr int kMissingKey = text_id::kKeyMissing;
constexpr int kNotAMap = text_id::kExpectedMap;
constexpr int kCannotHold = text_id::kMemoryCannotHold;

constexpr std::string_view kFreqPattern = "000.00000";
constexpr std::string_view kRowPattern = "FF FF FF FF FF FF FF FF FF FF FF FF FF FF FF FF";

std::string english(int id)
{
    return std::string(LoadText(id, kEnglish));
}

bool sameText(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

std::string hexByte(std::uint8_t b)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    return {kDigits[b >> 4], kDigits[b & 0x0F]};
}

std::string hexAddress(int address)
{
    return "0x" + hexByte(static_cast<std::uint8_t>(address >> 8)).substr(1) +
           hexByte(static_cast<std::uint8_t>(address & 0xFF));
}

std::string join(const std::vector<std::string> &items)
{
    std::string out;
    for (const auto &item : items) {
        if (!out.empty())
            out += ", ";
        out += item;
    }
    return out;
}

std::string rowText(const std::array<std::uint8_t, kRowSize> &bytes)
{
    std::string s;
    for (const std::uint8_t b : bytes) {
        if (!s.empty())
            s += ' ';
        s += hexByte(b);
    }
    return s;
}

// ----- the words of the window -----

// A field whose value is one of a few texts, by index (the stored value).
struct WordList {
    std::vector<std::string> items;
    std::string description; // how an error lists them; the items joined when empty
    bool twoState = false;   // Off/On: also read as false/true, as YAML 1.1 readers write them back

    std::string listed() const { return description.empty() ? join(items) : description; }
    // Letter case and blanks do not count: "dcs mode", "ChannelMode" (as the dialog writes it
    // in English) and "144-146 MHz" name their items.
    std::optional<int> find(std::string_view text) const
    {
        const auto squeezed = [](std::string_view t) {
            std::string s;
            for (const char c : t) {
                if (c != ' ')
                    s.push_back(c);
            }
            return s;
        };
        const std::string wanted = squeezed(text);
        for (std::size_t i = 0; i < items.size(); ++i) {
            if (sameText(squeezed(items[i]), wanted))
                return static_cast<int>(i);
        }
        if (twoState && (sameText(wanted, "false") || sameText(wanted, "true")))
            return sameText(wanted, "true") ? 1 : 0;
        return std::nullopt;
    }
};

// An item as the text form spells it: in English, two words side by side with a blank
// between them ("Channel Mode").
std::string formItem(const Choice &choice)
{
    if (choice.textId != 0 && choice.suffixId != 0 && choice.literal.empty())
        return english(choice.textId) + " " + english(choice.suffixId);
    return ChoiceText(choice, kEnglish);
}

// The words of a catalogue field, by stored value.
WordList fieldWords(FieldId field, std::string description = {})
{
    WordList list{{}, std::move(description)};
    const auto choices = Field(field).choices;
    list.items.resize(choices.size());
    for (const Choice &choice : choices)
        list.items.at(static_cast<std::size_t>(choice.value)) = formItem(choice);
    list.twoState = choices.size() == 2 && choices[0].textId == text_id::kOff && choices[1].textId == text_id::kOn;
    return list;
}

const WordList &onOff()
{
    static const WordList c = fieldWords(FieldId::Scrambler);
    return c;
}
const WordList &wideChoice()
{
    static const WordList c = fieldWords(FieldId::WideNarrow);
    return c;
}
const WordList &scanChoice()
{
    static const WordList c = fieldWords(FieldId::Scan);
    return c;
}
const WordList &powerChoice()
{
    static const WordList c = fieldWords(FieldId::TxPower, "High, Mid, Low");
    return c;
}
const WordList &bclChoice()
{
    static const WordList c = fieldWords(FieldId::Bcl);
    return c;
}
const WordList &vfoPowerChoice()
{
    static const WordList c = fieldWords(FieldId::VfoTxPower);
    return c;
}
const WordList &duplexChoice()
{
    // The text form's own short words for the duplex.
    static const WordList c{{"Simplex", "-", "+"}, {}};
    return c;
}
const WordList &stepChoice()
{
    static const WordList c = fieldWords(FieldId::VfoStep);
    return c;
}
const WordList &modelChoice()
{
    static const WordList c = [] {
        WordList m;
        for (const auto &row : ModelTable())
            m.items.emplace_back(row.text);
        return m;
    }();
    return c;
}
const WordList &timeOutChoice()
{
    static const WordList c = fieldWords(FieldId::TimeOutTimer, "Off, 15, 30 .. 300");
    return c;
}
const WordList &squelchChoice()
{
    static const WordList c = fieldWords(FieldId::SquelchLevel, "0 .. 9");
    return c;
}
const WordList &chordChoice()
{
    static const WordList c = fieldWords(FieldId::ChordLanguage);
    return c;
}
const WordList &displayChoice()
{
    static const WordList c = fieldWords(FieldId::ChannelDisplay);
    return c;
}
const WordList &scanModeChoice()
{
    static const WordList c = fieldWords(FieldId::ScanMode);
    return c;
}
const WordList &lampChoice()
{
    static const WordList c = fieldWords(FieldId::Lamp);
    return c;
}
const WordList &priorityChoice()
{
    static const WordList c = fieldWords(FieldId::PriorityChannel, "Off, 1 .. 128");
    return c;
}
const WordList &voxGainChoice()
{
    static const WordList c = fieldWords(FieldId::VoxGain, "Off, 1 .. 9");
    return c;
}
const WordList &voxDelayChoice()
{
    static const WordList c = fieldWords(FieldId::VoxDelay);
    return c;
}
const WordList &bandChoice()
{
    static const WordList c = [] {
        WordList b;
        for (const auto &row : BandTable())
            b.items.emplace_back(row.text);
        return b;
    }();
    return c;
}

std::string bandText(const Band &band)
{
    return std::to_string(band.low) + " - " + std::to_string(band.high) + " MHz";
}

// ----- the values of a memory -----

struct VfoState {
    FreqUnits rx = 0;
    FreqUnits offset = 0;
    int step = 0;   // 0xFC7 as stored
    int duplex = 0; // bits 7-6 of 0xD0D
    bool wide = false;
    bool highPower = false;
    Tone decode;
    Tone encode;
    bool operator==(const VfoState &) const = default;
};

VfoState readVfo(const MemoryImage &image)
{
    VfoState v;
    v.rx = ReadFreqUnits(image, vfo::kRxFreq, ByteOrder::LowFirst);
    v.offset = ReadFreqUnits(image, vfo::kOffset, ByteOrder::HighFirst);
    v.step = image.at(addr::kVfoStep);
    const std::uint8_t flags = image.at(vfo::kModeFlags);
    v.duplex = flags >> 6;
    v.wide = (flags & 0x10) != 0;
    v.highPower = (flags & 0x20) != 0;
    v.decode = DecodeTone({image.at(vfo::kDecode), image.at(vfo::kDecode + 1)});
    v.encode = DecodeTone({image.at(vfo::kEncode), image.at(vfo::kEncode + 1)});
    return v;
}

using RowBytes = std::array<std::uint8_t, kRowSize>;

// A channel: its values and, when typing them into an empty channel would not give its
// record, the whole record, on which the values are then written as the grid writes them.
struct ChannelEntry {
    ChannelValue value;
    std::optional<RowBytes> raw;
};

// What a text names. Optional parts a text may leave out keep what the band's default
// image (and the rows) give.
struct Values {
    Band band;
    int model = 2;
    std::map<int, ChannelEntry> channels;
    std::optional<VfoState> vfo;
    std::optional<OptionalFeatures> features;
    std::map<int, std::array<std::uint8_t, kRowSize>> rows; // image row -> bytes
};

// A channel record as the text builds it: the kept record (or an empty one), then each value
// that reads differently, written as committing that grid cell writes it.
void buildChannel(MemoryImage &image, int channel, const ChannelEntry &entry, const Band &band)
{
    const int base = ChannelRow(channel) * kRowSize;
    for (int i = 0; i < kRowSize; ++i)
        image.set(base + i, entry.raw ? (*entry.raw)[static_cast<std::size_t>(i)] : 0xFF);
    WriteChannel(image, channel, entry.value, band);
}

// The VFO fields that read differently, each written by its VFO edit.
void mergeVfo(MemoryImage &image, const VfoState &want, const Band &band)
{
    if (readVfo(image).step != want.step) {
        if (want.step < kVfoStepCount)
            ChangeVfoStep(image, want.step, band);
        else
            image.set(addr::kVfoStep, static_cast<std::uint8_t>(want.step));
    }
    if (readVfo(image).rx != want.rx)
        StoreVfoRxFrequency(image, FormatFreq(want.rx), band);
    if (readVfo(image).offset != want.offset)
        StoreVfoOffset(image, FormatFreq(want.offset), band);
    if (readVfo(image).duplex != want.duplex)
        SetVfoDuplex(image, want.duplex, band);
    if (readVfo(image).wide != want.wide)
        SetVfoWide(image, want.wide);
    if (readVfo(image).highPower != want.highPower)
        SetVfoHighPower(image, want.highPower);
    if (readVfo(image).decode != want.decode)
        WriteVfoTone(image, vfo::kDecode, ToneText(want.decode, kEnglish));
    if (readVfo(image).encode != want.encode)
        WriteVfoTone(image, vfo::kEncode, ToneText(want.encode, kEnglish));
}

// The image of the values: the band's default image, the rows, the channels, then the fields
// that read differently, each written as the window writes it.
MemoryImage build(const Values &values)
{
    MemoryImage image = StartupImage(values.band);
    image.set(addr::kModel, ModelTable()[static_cast<std::size_t>(values.model)].modelByte);
    for (int channel = 1; channel <= kChannelCount; ++channel)
        image.fill(ChannelRow(channel) * kRowSize, kRowSize, 0xFF);
    for (const auto &[row, bytes] : values.rows) {
        for (int i = 0; i < kRowSize; ++i)
            image.set(row, i, bytes[static_cast<std::size_t>(i)]);
    }
    if (ModelIndexFromByte(image.at(addr::kModel)) != values.model)
        image.set(addr::kModel, ModelTable()[static_cast<std::size_t>(values.model)].modelByte);
    if (const Band read = ReadBandFromImage(image); read.low != values.band.low || read.high != values.band.high)
        WriteBandToImage(image, values.band);
    for (const auto &[channel, entry] : values.channels)
        buildChannel(image, channel, entry, values.band);
    if (values.vfo)
        mergeVfo(image, *values.vfo, values.band);
    if (values.features) {
        OptionalFeatures now = DecodeOptionalFeatures(image, values.band);
        OptionalFeatures want = *values.features;
        // The dialog never stores these; they only have to agree.
        want.chordLanguage = now.chordLanguage;
        want.pttIdAni = now.pttIdAni;
        want.pttIdName = now.pttIdName;
        if (want != now)
            EncodeOptionalFeatures(image, want);
    }
    return image;
}

Values readValues(const MemoryImage &image)
{
    Values v;
    v.band = ReadBandFromImage(image);
    v.band.text = bandText(v.band);
    v.model = ModelIndexFromByte(image.at(addr::kModel));
    for (int channel = 1; channel <= kChannelCount; ++channel) {
        const ChannelValue value = ReadChannel(image, channel, v.band);
        if (value.rx)
            v.channels[channel].value = value;
    }
    v.vfo = readVfo(image);
    v.features = DecodeOptionalFeatures(image, v.band);
    return v;
}

// The values plus the bytes they do not give: per channel the record bytes that differ from
// typing the values into an empty channel, and whole rows elsewhere.
Values describe(const MemoryImage &image)
{
    Values v = readValues(image);
    for (auto &[channel, entry] : v.channels) {
        MemoryImage scratch = image;
        buildChannel(scratch, channel, entry, v.band);
        const int row = ChannelRow(channel);
        RowBytes bytes;
        bool differs = false;
        for (int i = 0; i < kRowSize; ++i) {
            bytes[static_cast<std::size_t>(i)] = image.at(row, i);
            differs = differs || scratch.at(row, i) != image.at(row, i);
        }
        if (differs)
            entry.raw = bytes;
    }
    const auto listed = [&v](int row) { return row < kChannelCount && v.channels.contains(row + 1); };
    const auto addDifferingRows = [&](const MemoryImage &built) {
        for (int row = 0; row < kImageRows; ++row) {
            if (listed(row) || v.rows.contains(row))
                continue;
            for (int c = 0; c < kRowSize; ++c) {
                if (built.at(row, c) != image.at(row, c)) {
                    auto &bytes = v.rows[row];
                    for (int i = 0; i < kRowSize; ++i)
                        bytes[static_cast<std::size_t>(i)] = image.at(row, i);
                    break;
                }
            }
        }
    };
    // Rows written back can make a field read as it already does, so a second pass may need
    // a few more rows; with every differing row given, nothing is left to write.
    for (int pass = 0; pass < 4; ++pass) {
        const MemoryImage built = build(v);
        if (built == image)
            return v;
        addDifferingRows(built);
    }
    MemoryImage plain = StartupImage(v.band);
    for (int channel = 1; channel <= kChannelCount; ++channel)
        plain.fill(ChannelRow(channel) * kRowSize, kRowSize, 0xFF);
    addDifferingRows(plain);
    return v;
}

// ----- writing the text -----

void emitFreq(YAML::Emitter &out, const char *key, FreqUnits units)
{
    out << YAML::Key << key << YAML::Value << FormatFreq(units);
}

// True for a word a YAML 1.1 reader (PyYAML among them) takes for a boolean, a null or a
// hexadecimal number rather than text: such words are written in quotes.
bool readsAsNonText(std::string_view word)
{
    static const std::set<std::string_view> kWords = {
        "y",     "Y",     "yes",  "Yes", "YES", "n",   "N",   "no",   "No",   "NO",    "true",  "True", "TRUE",
        "false", "False", "FALSE", "on", "On",  "ON",  "off", "Off",  "OFF",  "null",  "Null",  "NULL", "~"};
    return kWords.contains(word) || (word.size() > 2 && word[0] == '0' && (word[1] == 'x' || word[1] == 'X'));
}

void emitWord(YAML::Emitter &out, const std::string &word)
{
    if (readsAsNonText(word))
        out << YAML::DoubleQuoted;
    out << word;
}

void emitChoice(YAML::Emitter &out, const char *key, const WordList &choice, int index)
{
    out << YAML::Key << key << YAML::Value;
    emitWord(out, choice.items[static_cast<std::size_t>(index)]);
}

void emitTone(YAML::Emitter &out, const char *key, const Tone &tone)
{
    out << YAML::Key << key << YAML::Value << ToneText(tone, kEnglish);
}

} // namespace

std::string DecodeTextForm(const MemoryImage &image)
{
    const Values v = describe(image);
    YAML::Emitter out;
    out << YAML::Comment("ZR-K6 memory (zrk6 text form " + std::to_string(kTextFormVersion) + ")");
    out << YAML::BeginMap;
    out << YAML::Key << "format" << YAML::Value << kTextFormVersion;
    emitChoice(out, "model", modelChoice(), v.model);
    out << YAML::Key << "band" << YAML::Value << bandText(v.band);

    out << YAML::Key << "channels" << YAML::Value;
    if (v.channels.empty())
        out << YAML::Flow;
    out << YAML::BeginMap;
    for (const auto &[channel, entry] : v.channels) {
        const ChannelValue &c = entry.value;
        out << YAML::Key << channel << YAML::Value << YAML::Flow << YAML::BeginMap;
        emitFreq(out, "rx", *c.rx);
        if (c.tx)
            emitFreq(out, "tx", *c.tx);
        emitTone(out, "decode", c.decode);
        if (c.tx)
            emitTone(out, "encode", c.encode);
        emitChoice(out, "wide", wideChoice(), c.wide ? 1 : 0);
        emitChoice(out, "scan", scanChoice(), c.scan ? 1 : 0);
        emitChoice(out, "power", powerChoice(), static_cast<int>(c.power));
        emitChoice(out, "bcl", bclChoice(), static_cast<int>(c.busyLock));
        emitChoice(out, "scrambler", onOff(), c.scrambler ? 1 : 0);
        if (entry.raw)
            out << YAML::Key << "raw" << YAML::Value << rowText(*entry.raw);
        out << YAML::EndMap;
    }
    out << YAML::EndMap;

    const VfoState &f = *v.vfo;
    out << YAML::Key << "vfo" << YAML::Value << YAML::Flow << YAML::BeginMap;
    emitFreq(out, "rx", f.rx);
    emitFreq(out, "offset", f.offset);
    if (f.duplex < 3)
        emitChoice(out, "duplex", duplexChoice(), f.duplex);
    else
        out << YAML::Key << "duplex" << YAML::Value << f.duplex;
    if (f.step < kVfoStepCount)
        emitChoice(out, "step", stepChoice(), f.step);
    else
        out << YAML::Key << "step" << YAML::Value << f.step;
    emitChoice(out, "wide", wideChoice(), f.wide ? 1 : 0);
    emitChoice(out, "power", vfoPowerChoice(), f.highPower ? 1 : 0);
    emitTone(out, "decode", f.decode);
    emitTone(out, "encode", f.encode);
    out << YAML::EndMap;

    const OptionalFeatures &o = *v.features;
    out << YAML::Key << "features" << YAML::Value << YAML::BeginMap;
    emitChoice(out, "time_out_timer", timeOutChoice(), o.timeOutTimer);
    emitChoice(out, "squelch_level", squelchChoice(), o.squelchLevel);
    emitChoice(out, "channel_display", displayChoice(), o.channelDisplay);
    emitChoice(out, "scan_mode", scanModeChoice(), o.scanMode);
    emitChoice(out, "lamp", lampChoice(), o.lamp);
    emitChoice(out, "priority_channel", priorityChoice(), o.priorityChannel);
    emitChoice(out, "revert_frequency", onOff(), o.revertFrequency);
    emitChoice(out, "beep_tone", onOff(), o.beepTone);
    emitChoice(out, "battery_save", onOff(), o.batterySave);
    emitChoice(out, "scrambler", onOff(), o.scrambler);
    emitChoice(out, "key_lock", onOff(), o.keyLock);
    emitChoice(out, "manual", onOff(), o.manual);
    emitChoice(out, "vox_gain", voxGainChoice(), o.voxGain);
    emitChoice(out, "vox_delay", voxDelayChoice(), o.voxDelay);
    emitChoice(out, "chord_language", chordChoice(), static_cast<int>(o.chordLanguage));
    out << YAML::Comment("read only");
    out << YAML::EndMap;

    out << YAML::Key << "ptt_id" << YAML::Value << YAML::Flow << YAML::BeginMap;
    out << YAML::Key << "ani" << YAML::Value << YAML::DoubleQuoted << o.pttIdAni;
    out << YAML::Key << "name" << YAML::Value << YAML::DoubleQuoted << o.pttIdName;
    out << YAML::EndMap << YAML::Comment("shown for information; the radio keeps its own");

    if (!v.rows.empty()) {
        out << YAML::Key << "rows" << YAML::Value << YAML::Comment("bytes the fields above do not give")
            << YAML::BeginMap;
        for (const auto &[row, bytes] : v.rows) {
            out << YAML::Key;
            emitWord(out, hexAddress(row * kRowSize));
            out << YAML::Value << rowText(bytes);
        }
        out << YAML::EndMap;
    }
    out << YAML::EndMap;
    std::string text = out.c_str();
    text += '\n';
    return text;
}

// ----- reading the text -----

namespace {

struct Failure {
    TextFormError error;
};

struct Mark {
    int line = 0;
    int column = 0;
};

Mark markOf(const YAML::Node &node)
{
    const YAML::Mark m = node.Mark();
    return {m.line + 1, m.column + 1};
}

[[noreturn]] void fail(Mark at, std::string path, int id, std::vector<std::string> arguments = {})
{
    throw Failure{{at.line, at.column, std::move(path), id, std::move(arguments)}};
}

std::string kindText(const YAML::Node &node)
{
    return node.IsMap() ? "{...}" : node.IsSequence() ? "[...]" : node.IsNull() ? "" : node.Scalar();
}

// A map's entries by key, in text order, with duplicate and unknown keys refused.
class MapReader {
public:
    MapReader(const YAML::Node &node, std::string path, std::vector<std::string> known)
        : node_(node), path_(std::move(path)), known_(std::move(known))
    {
        if (node.IsNull())
            return; // an empty value reads as an empty map
        if (!node.IsMap())
            fail(markOf(node), path_, kNotAMap);
        for (auto it = node.begin(); it != node.end(); ++it) {
            const YAML::Node key = it->first;
            if (!key.IsScalar())
                fail(markOf(key), path_, kNotWrittenAs, {kindText(key), "key"});
            const std::string name = key.Scalar();
            const std::string keyPath = child(name);
            for (const auto &entry : entries_) {
                if (entry.name == name)
                    fail(markOf(key), keyPath, kDuplicateKey, {std::to_string(entry.keyMark.line)});
            }
            if (!known_.empty() && std::find(known_.begin(), known_.end(), name) == known_.end())
                fail(markOf(key), keyPath, kUnknownKey, {join(known_)});
            entries_.push_back({name, markOf(key), it->second});
        }
    }

    struct Entry {
        std::string name;
        Mark keyMark;
        YAML::Node value;
    };
    const std::vector<Entry> &entries() const { return entries_; }
    const Entry *find(std::string_view name) const
    {
        for (const auto &entry : entries_) {
            if (entry.name == name)
                return &entry;
        }
        return nullptr;
    }
    const Entry &require(std::string_view name) const
    {
        if (const Entry *e = find(name))
            return *e;
        fail(markOf(node_), child(std::string(name)), kMissingKey);
    }
    std::string child(const std::string &name) const { return path_.empty() ? name : path_ + "." + name; }
    Mark mark() const { return markOf(node_); }

private:
    YAML::Node node_;
    std::string path_;
    std::vector<std::string> known_;
    std::vector<Entry> entries_;
};

std::string scalar(const YAML::Node &node, const std::string &path, std::string_view expected)
{
    if (!node.IsScalar())
        fail(markOf(node), path, kNotWrittenAs, {kindText(node), std::string(expected)});
    return node.Scalar();
}

int choose(const YAML::Node &node, const std::string &path, const WordList &choice)
{
    const std::string text = scalar(node, path, choice.listed());
    if (const auto index = choice.find(text))
        return *index;
    fail(markOf(node), path, kNotOneOf, {text, choice.listed()});
}

// A frequency in MHz with up to three whole digits and up to five decimals, exactly.
// A number in exponent form ("3.0e-05", as YAML writers put small floats) as plain decimals
// ("0.000030"); other texts as they are.
std::string withoutExponent(const std::string &text)
{
    const std::size_t e = text.find_first_of("eE");
    if (e == std::string::npos || e == 0 || e + 1 >= text.size())
        return text;
    std::string mantissa = text.substr(0, e);
    const std::string exponentText = text.substr(e + 1);
    const bool negative = exponentText[0] == '-';
    const std::string exponentDigits = exponentText.substr(exponentText[0] == '-' || exponentText[0] == '+' ? 1 : 0);
    if (exponentDigits.empty() || exponentDigits.size() > 2 ||
        !std::all_of(exponentDigits.begin(), exponentDigits.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return text;
    const int exponent = (negative ? -1 : 1) * std::stoi(exponentDigits);
    std::size_t dot = mantissa.find('.');
    if (dot == std::string::npos)
        dot = mantissa.size();
    else
        mantissa.erase(dot, 1);
    if (mantissa.empty() || !std::all_of(mantissa.begin(), mantissa.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return text;
    long point = static_cast<long>(dot) + exponent;
    if (point <= 0) {
        mantissa.insert(0, static_cast<std::size_t>(1 - point), '0');
        point = 1;
    }
    if (static_cast<std::size_t>(point) > mantissa.size())
        mantissa.append(static_cast<std::size_t>(point) - mantissa.size(), '0');
    std::string plain = mantissa.substr(0, static_cast<std::size_t>(point));
    std::string decimals = mantissa.substr(static_cast<std::size_t>(point));
    while (decimals.size() > 5 && decimals.back() == '0')
        decimals.pop_back();
    while (plain.size() > 1 && plain.front() == '0')
        plain.erase(0, 1);
    return decimals.empty() ? plain : plain + "." + decimals;
}

FreqUnits frequency(const YAML::Node &node, const std::string &path)
{
    const std::string text = withoutExponent(scalar(node, path, kFreqPattern));
    const std::size_t dot = text.find('.');
    const std::string whole = text.substr(0, dot);
    const std::string decimals = dot == std::string::npos ? "" : text.substr(dot + 1);
    const auto digits = [](const std::string &s) {
        return std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    if (whole.empty() || whole.size() > 3 || decimals.size() > 5 || !digits(whole) || !digits(decimals) ||
        (dot != std::string::npos && decimals.empty()))
        fail(markOf(node), path, kNotWrittenAs, {text, std::string(kFreqPattern)});
    FreqUnits units = std::stoll(whole) * kUnitsPerMHz;
    FreqUnits scale = kUnitsPerMHz / 10;
    for (const char c : decimals) {
        units += (c - '0') * scale;
        scale /= 10;
    }
    return units;
}

FreqUnits channelFrequency(const YAML::Node &node, const std::string &path, const Band &band)
{
    const FreqUnits units = frequency(node, path);
    if (units < band.low * kUnitsPerMHz || units > band.high * kUnitsPerMHz)
        fail(markOf(node), path, kOutOfBand, {FormatFreq(units), band.text});
    return units;
}

Tone tone(const YAML::Node &node, const std::string &path)
{
    static const std::string kList = "None, 67.0 .. 254.1, D023N .. D754N, D023I .. D754I";
    const std::string text = scalar(node, path, kList);
    std::string upper = text;
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    if (sameText(text, english(text_id::kNone)))
        return Tone{};
    if (const auto t = ToneFromText(upper); t && t->kind != ToneKind::None)
        return *t;
    fail(markOf(node), path, kNotOneOf, {text, kList});
}

// A decimal number low..high written at the mark.
int keyNumber(const std::string &text, Mark at, const std::string &path, int low, int high, std::string_view listed)
{
    if (text.empty() || text.size() > 4 || !std::all_of(text.begin(), text.end(), [](char c) {
            return c >= '0' && c <= '9';
        }))
        fail(at, path, kNotOneOf, {text, std::string(listed)});
    const int n = std::stoi(text);
    if (n < low || n > high)
        fail(at, path, kNotOneOf, {text, std::string(listed)});
    return n;
}

int number(const YAML::Node &node, const std::string &path, int low, int high, std::string_view listed)
{
    return keyNumber(scalar(node, path, listed), markOf(node), path, low, high, listed);
}

std::optional<int> hexNumber(std::string_view text, std::size_t maxDigits)
{
    if (text.size() < 3 || text.size() > 2 + maxDigits || text[0] != '0' || (text[1] != 'x' && text[1] != 'X'))
        return std::nullopt;
    int value = 0;
    for (const char c : text.substr(2)) {
        const int d = std::isdigit(static_cast<unsigned char>(c)) ? c - '0'
                      : (c >= 'a' && c <= 'f')                     ? c - 'a' + 10
                      : (c >= 'A' && c <= 'F')                     ? c - 'A' + 10
                                                                   : -1;
        if (d < 0)
            return std::nullopt;
        value = value * 16 + d;
    }
    return value;
}

std::array<std::uint8_t, kRowSize> rowBytes(const YAML::Node &node, const std::string &path)
{
    const std::string text = scalar(node, path, kRowPattern);
    std::array<std::uint8_t, kRowSize> bytes{};
    std::size_t i = 0;
    std::size_t pos = 0;
    bool ok = true;
    while (ok && pos < text.size()) {
        if (text[pos] == ' ') {
            ++pos;
            continue;
        }
        const auto value = pos + 2 <= text.size() ? hexNumber("0x" + text.substr(pos, 2), 2) : std::nullopt;
        ok = value && i < kRowSize && (pos + 2 == text.size() || text[pos + 2] == ' ');
        if (ok)
            bytes[i++] = static_cast<std::uint8_t>(*value);
        pos += 2;
    }
    if (!ok || i != kRowSize)
        fail(markOf(node), path, kNotWrittenAs, {text, std::string(kRowPattern)});
    return bytes;
}

Band readBand(const YAML::Node &node, const std::string &path)
{
    const std::string text = scalar(node, path, bandChoice().listed());
    if (const auto row = bandChoice().find(text))
        return BandFromRow(*row);
    // Limits outside the list, as "136 - 150 MHz", as a memory may hold them.
    int low = 0;
    int high = 0;
    char mhz[4] = {};
    int consumed = 0;
    if (std::sscanf(text.c_str(), "%d - %d %3s%n", &low, &high, mhz, &consumed) == 3 &&
        consumed == static_cast<int>(text.size()) && sameText(mhz, "MHz") && low >= 0 && low < high && high <= 999) {
        Band band{low, high, text};
        MemoryImage probe;
        WriteBandToImage(probe, band);
        const Band back = ReadBandFromImage(probe);
        if (back.low == low && back.high == high)
            return Band{low, high, bandText(band)};
    }
    fail(markOf(node), path, kNotOneOf, {text, bandChoice().listed()});
}

struct Marks {
    std::map<std::string, Mark> at; // key path -> where its value is
    void note(const std::string &path, const YAML::Node &node) { at[path] = markOf(node); }
};

ChannelEntry readChannel(const YAML::Node &node, const std::string &path, const Band &band, Marks &marks)
{
    const MapReader map(node, path, {"rx", "tx", "decode", "encode", "wide", "scan", "power", "bcl", "scrambler", "raw"});
    ChannelEntry entry;
    ChannelValue &c = entry.value;
    for (const auto &e : map.entries())
        marks.note(map.child(e.name), e.value);
    c.rx = channelFrequency(map.require("rx").value, map.child("rx"), band);
    if (const auto *e = map.find("tx"))
        c.tx = channelFrequency(e->value, map.child("tx"), band);
    if (const auto *e = map.find("decode"))
        c.decode = tone(e->value, map.child("decode"));
    if (const auto *e = map.find("encode"))
        c.encode = tone(e->value, map.child("encode"));
    if (const auto *e = map.find("wide"))
        c.wide = choose(e->value, map.child("wide"), wideChoice()) == 1;
    if (const auto *e = map.find("scan"))
        c.scan = choose(e->value, map.child("scan"), scanChoice()) == 1;
    if (const auto *e = map.find("power"))
        c.power = static_cast<TxPower>(choose(e->value, map.child("power"), powerChoice()));
    if (const auto *e = map.find("bcl"))
        c.busyLock = static_cast<BusyLock>(choose(e->value, map.child("bcl"), bclChoice()));
    if (const auto *e = map.find("scrambler"))
        c.scrambler = choose(e->value, map.child("scrambler"), onOff()) == 1;
    if (const auto *e = map.find("raw"))
        entry.raw = rowBytes(e->value, map.child("raw"));
    return entry;
}

VfoState readVfoText(const YAML::Node &node, const VfoState &base, Marks &marks)
{
    const MapReader map(node, "vfo", {"rx", "offset", "duplex", "step", "wide", "power", "decode", "encode"});
    VfoState v = base;
    for (const auto &e : map.entries())
        marks.note(map.child(e.name), e.value);
    if (const auto *e = map.find("rx"))
        v.rx = frequency(e->value, map.child("rx"));
    if (const auto *e = map.find("offset"))
        v.offset = frequency(e->value, map.child("offset"));
    if (const auto *e = map.find("duplex")) {
        const std::string text = scalar(e->value, map.child("duplex"), duplexChoice().listed());
        v.duplex = text == "3" ? 3 : choose(e->value, map.child("duplex"), duplexChoice());
    }
    if (const auto *e = map.find("step")) {
        const std::string text = scalar(e->value, map.child("step"), stepChoice().listed());
        if (const auto index = stepChoice().find(text))
            v.step = *index;
        else // a step byte the list has no item for, kept as its number
            v.step = number(e->value, map.child("step"), kVfoStepCount, 255, stepChoice().listed());
    }
    if (const auto *e = map.find("wide"))
        v.wide = choose(e->value, map.child("wide"), wideChoice()) == 1;
    if (const auto *e = map.find("power"))
        v.highPower = choose(e->value, map.child("power"), vfoPowerChoice()) == 1;
    if (const auto *e = map.find("decode"))
        v.decode = tone(e->value, map.child("decode"));
    if (const auto *e = map.find("encode"))
        v.encode = tone(e->value, map.child("encode"));
    return v;
}

OptionalFeatures readFeatures(const YAML::Node &node, const OptionalFeatures &base, Marks &marks)
{
    const MapReader map(node, "features",
                        {"time_out_timer", "squelch_level", "channel_display", "scan_mode", "lamp", "priority_channel",
                         "revert_frequency", "beep_tone", "battery_save", "scrambler", "key_lock", "manual",
                         "vox_gain", "vox_delay", "chord_language"});
    OptionalFeatures f = base;
    for (const auto &e : map.entries())
        marks.note(map.child(e.name), e.value);
    const auto pick = [&map](const char *key, const WordList &choice, auto apply) {
        if (const auto *e = map.find(key))
            apply(choose(e->value, map.child(key), choice));
    };
    pick("time_out_timer", timeOutChoice(), [&](int i) { f.timeOutTimer = i; });
    pick("squelch_level", squelchChoice(), [&](int i) { f.squelchLevel = i; });
    pick("channel_display", displayChoice(), [&](int i) { f.channelDisplay = i; });
    pick("scan_mode", scanModeChoice(), [&](int i) { f.scanMode = i; });
    pick("lamp", lampChoice(), [&](int i) { f.lamp = i; });
    pick("priority_channel", priorityChoice(), [&](int i) { f.priorityChannel = i; });
    pick("revert_frequency", onOff(), [&](int i) { f.revertFrequency = i == 1; });
    pick("beep_tone", onOff(), [&](int i) { f.beepTone = i == 1; });
    pick("battery_save", onOff(), [&](int i) { f.batterySave = i == 1; });
    pick("scrambler", onOff(), [&](int i) { f.scrambler = i == 1; });
    pick("key_lock", onOff(), [&](int i) { f.keyLock = i == 1; });
    pick("manual", onOff(), [&](int i) { f.manual = i == 1; });
    pick("vox_gain", voxGainChoice(), [&](int i) { f.voxGain = i; });
    pick("vox_delay", voxDelayChoice(), [&](int i) { f.voxDelay = i; });
    pick("chord_language", chordChoice(), [&](int i) { f.chordLanguage = static_cast<ChordLanguage>(i); });
    return f;
}

std::string pttText(const YAML::Node &node, const std::string &path, std::size_t maxLength, bool (*accept)(char))
{
    const std::string text = node.IsNull() ? std::string() : scalar(node, path, "\"\"");
    if (text.size() > maxLength || !std::all_of(text.begin(), text.end(), accept))
        fail(markOf(node), path, kNotWrittenAs, {text, maxLength == 4 ? "\"1234\"" : "\"ABC123\""});
    return text;
}

// Refuses a text whose values the memory would not read back: each key is checked against
// what the built image reads, in the order of the text.
void checkReadBack(const MemoryImage &image, const Values &wanted, const Marks &marks)
{
    const Values got = readValues(image);
    const auto refuse = [&marks](const std::string &path, const std::string &reads) {
        const auto it = marks.at.find(path);
        const Mark at = it == marks.at.end() ? Mark{} : it->second;
        fail(at, path, kCannotHold, {reads});
    };
    for (const auto &[channel, entry] : wanted.channels) {
        const std::string path = "channels." + std::to_string(channel);
        const auto it = got.channels.find(channel);
        const ChannelValue read = it == got.channels.end() ? ChannelValue{} : it->second.value;
        const ChannelValue &want = entry.value;
        if (read.rx != want.rx)
            refuse(path + ".rx", read.rx ? FormatFreq(*read.rx) : "-");
        if (read.tx != want.tx)
            refuse(path + ".tx", read.tx ? FormatFreq(*read.tx) : "-");
        if (read.decode != want.decode)
            refuse(path + ".decode", ToneText(read.decode, kEnglish));
        if (read.encode != want.encode)
            refuse(path + ".encode", want.tx ? ToneText(read.encode, kEnglish) : "-");
        if (read != want)
            refuse(path, "channels." + std::to_string(channel));
    }
    for (const auto &[channel, entry] : got.channels) {
        if (!wanted.channels.contains(channel))
            refuse(marks.at.contains("rows." + hexAddress(ChannelRow(channel) * kRowSize))
                       ? "rows." + hexAddress(ChannelRow(channel) * kRowSize)
                       : "channels",
                   "channels." + std::to_string(channel) + ": " + FormatFreq(*entry.value.rx));
    }
    if (got.model != wanted.model)
        refuse("model", modelChoice().items[static_cast<std::size_t>(got.model)]);
    if (got.band.low != wanted.band.low || got.band.high != wanted.band.high)
        refuse("band", bandText(got.band));
    if (wanted.vfo && *wanted.vfo != *got.vfo) {
        const VfoState &w = *wanted.vfo;
        const VfoState &g = *got.vfo;
        if (w.step != g.step)
            refuse("vfo.step", std::to_string(g.step));
        if (w.rx != g.rx)
            refuse("vfo.rx", FormatFreq(g.rx));
        if (w.offset != g.offset)
            refuse("vfo.offset", FormatFreq(g.offset));
        refuse("vfo", "vfo");
    }
    if (wanted.features && *wanted.features != *got.features) {
        const OptionalFeatures &w = *wanted.features;
        const OptionalFeatures &g = *got.features;
        if (w.priorityChannel != g.priorityChannel)
            refuse("features.priority_channel", priorityChoice().items[static_cast<std::size_t>(g.priorityChannel)]);
        if (w.chordLanguage != g.chordLanguage)
            refuse("features.chord_language", chordChoice().items[static_cast<std::size_t>(g.chordLanguage)]);
        if (w.pttIdAni != g.pttIdAni)
            refuse("ptt_id.ani", "\"" + g.pttIdAni + "\"");
        if (w.pttIdName != g.pttIdName)
            refuse("ptt_id.name", "\"" + g.pttIdName + "\"");
        refuse("features", "features");
    }
}

// The first place where the bytes are not text: a control character other than tab, line
// feed and carriage return, or a byte sequence that is not UTF-8.
std::optional<Mark> findBinary(std::string_view text)
{
    int line = 1;
    int column = 1;
    for (std::size_t i = 0; i < text.size();) {
        const auto b = static_cast<unsigned char>(text[i]);
        std::size_t length = 1;
        bool bad = false;
        if (b < 0x20 && b != '\t' && b != '\n' && b != '\r')
            bad = true;
        else if (b == 0x7F)
            bad = true;
        else if (b >= 0x80) {
            length = (b & 0xE0) == 0xC0 ? 2 : (b & 0xF0) == 0xE0 ? 3 : (b & 0xF8) == 0xF0 ? 4 : 0;
            bad = length == 0 || b == 0xC0 || b == 0xC1 || b > 0xF4 || i + length > text.size();
            for (std::size_t k = 1; !bad && k < length; ++k)
                bad = (static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80;
        }
        if (bad)
            return Mark{line, column};
        if (b == '\n') {
            ++line;
            column = 1;
        } else {
            ++column;
        }
        i += length;
    }
    return std::nullopt;
}

// Notes where a document starts and ignores the rest.
struct DocumentStart final : YAML::EventHandler {
    YAML::Mark mark;
    void OnDocumentStart(const YAML::Mark &at) override { mark = at; }
    void OnDocumentEnd() override {}
    void OnNull(const YAML::Mark &, YAML::anchor_t) override {}
    void OnAlias(const YAML::Mark &, YAML::anchor_t) override {}
    void OnScalar(const YAML::Mark &, const std::string &, YAML::anchor_t, const std::string &) override {}
    void OnSequenceStart(const YAML::Mark &, const std::string &, YAML::anchor_t, YAML::EmitterStyle::value) override {}
    void OnSequenceEnd() override {}
    void OnMapStart(const YAML::Mark &, const std::string &, YAML::anchor_t, YAML::EmitterStyle::value) override {}
    void OnMapEnd() override {}
};

MemoryImage encode(std::string_view text)
{
    if (text.size() > kMaxTextFormBytes)
        fail({}, {}, kTooLarge);
    if (const auto at = findBinary(text))
        fail(*at, {}, kBinary);

    YAML::Node doc;
    try {
        const std::string source(text);
        doc = YAML::Load(source);
        // A second document would be dropped without a word. (Not YAML::LoadAll: on some junk it
        // finds documents without end.)
        std::istringstream in(source);
        YAML::Parser parser(in);
        DocumentStart start;
        parser.HandleNextDocument(start);
        if (parser.HandleNextDocument(start))
            fail({start.mark.line + 1, start.mark.column + 1}, {}, kErrorAtNoKey,
                 {"a second document; a text form is one document"});
    } catch (const YAML::Exception &e) {
        throw Failure{{e.mark.line + 1, e.mark.column + 1, {}, kErrorAtNoKey, {e.msg}}};
    }
    const MapReader top(doc, {}, {"format", "model", "band", "channels", "vfo", "features", "ptt_id", "rows"});

    const auto &format = top.require("format");
    const std::string formatText = scalar(format.value, "format", std::to_string(kTextFormVersion));
    if (formatText != std::to_string(kTextFormVersion))
        fail(markOf(format.value), "format", kUnknownFormat, {formatText, std::to_string(kTextFormVersion)});

    Values values;
    Marks marks;
    for (const auto &e : top.entries())
        marks.note(e.name, e.value);
    values.band = readBand(top.require("band").value, "band");
    if (const auto *e = top.find("model"))
        values.model = choose(e->value, "model", modelChoice());

    if (const auto *e = top.find("rows")) {
        const MapReader rows(e->value, "rows", {});
        for (const auto &r : rows.entries()) {
            const auto address = hexNumber(r.name, 3);
            if (!address || *address % kRowSize != 0)
                fail(r.keyMark, rows.child(r.name), kNotOneOf, {r.name, "0x000, 0x010 .. 0xFF0"});
            const std::string path = "rows." + hexAddress(*address);
            if (values.rows.contains(*address / kRowSize)) // "0xfb0" and "0xFB0"
                fail(r.keyMark, rows.child(r.name), kDuplicateKey, {std::to_string(marks.at[path].line)});
            marks.note(path, r.value);
            values.rows[*address / kRowSize] = rowBytes(r.value, rows.child(r.name));
        }
    }

    if (const auto *e = top.find("channels")) {
        const MapReader channels(e->value, "channels", {});
        for (const auto &c : channels.entries()) {
            const int channel = keyNumber(c.name, c.keyMark, channels.child(c.name), 1, kChannelCount, "1 .. 128");
            const std::string path = "channels." + std::to_string(channel);
            if (values.channels.contains(channel)) // "5" and "05"
                fail(c.keyMark, channels.child(c.name), kDuplicateKey, {std::to_string(marks.at[path].line)});
            marks.note(path, c.value);
            values.channels[channel] = readChannel(c.value, path, values.band, marks);
        }
    }

    for (const auto &[row, bytes] : values.rows) {
        if (row < kChannelCount && values.channels.contains(row + 1)) // the record comes with the channel
            fail(marks.at["rows." + hexAddress(row * kRowSize)], "rows." + hexAddress(row * kRowSize), kDuplicateKey,
                 {std::to_string(marks.at["channels." + std::to_string(row + 1)].line)});
    }

    // What the fields read as before the text's values are written: the base they change.
    Values base = values;
    base.vfo.reset();
    base.features.reset();
    const MemoryImage before = build(base);
    if (const auto *e = top.find("vfo"))
        values.vfo = readVfoText(e->value, readVfo(before), marks);
    const OptionalFeatures baseFeatures = DecodeOptionalFeatures(before, values.band);
    const auto *featuresEntry = top.find("features");
    const auto *pttEntry = top.find("ptt_id");
    if (featuresEntry || pttEntry) {
        OptionalFeatures f = featuresEntry ? readFeatures(featuresEntry->value, baseFeatures, marks) : baseFeatures;
        if (pttEntry) {
            const MapReader ptt(pttEntry->value, "ptt_id", {"ani", "name"});
            for (const auto &p : ptt.entries())
                marks.note(ptt.child(p.name), p.value);
            if (const auto *a = ptt.find("ani"))
                f.pttIdAni = pttText(a->value, "ptt_id.ani", 4, [](char c) { return c >= '0' && c <= '9'; });
            if (const auto *n = ptt.find("name"))
                f.pttIdName = pttText(n->value, "ptt_id.name", 6, [](char c) {
                    return (c >= 'A' && c <= 'Z') || (c >= '1' && c <= '9');
                });
        }
        values.features = f;
    }

    const MemoryImage image = build(values);
    checkReadBack(image, values, marks);
    return image;
}

} // namespace

EncodedTextForm EncodeTextForm(std::string_view text)
{
    EncodedTextForm result;
    try {
        result.image = encode(text);
    } catch (const Failure &f) {
        result.error = f.error;
    } catch (const YAML::Exception &e) {
        result.error = TextFormError{e.mark.line + 1, e.mark.column + 1, {}, kErrorAtNoKey, {e.msg}};
    }
    return result;
}

std::string TextFormErrorText(const TextFormError &error, LanguageMode language)
{
    std::vector<std::string_view> args(error.arguments.begin(), error.arguments.end());
    std::string message;
    if (error.textId == kErrorAtNoKey)
        message = error.arguments.empty() ? std::string() : error.arguments.front();
    else {
        std::string pattern(LoadText(error.textId, language));
        // FillText takes an initializer list; at most three arguments are used.
        args.resize(3);
        message = FillText(pattern, {args[0], args[1], args[2]});
    }
    if (error.line == 0)
        return error.path.empty() ? message : error.path + ": " + message;
    const std::string line = std::to_string(error.line);
    const std::string column = std::to_string(error.column);
    if (error.path.empty())
        return FillText(LoadText(kErrorAtNoKey, language), {line, column, message});
    return FillText(LoadText(kErrorAt, language), {line, column, error.path, message});
}

bool IsTextFormFileName(std::string_view fileName)
{
    const auto endsWith = [fileName](std::string_view suffix) {
        return fileName.size() >= suffix.size() && sameText(fileName.substr(fileName.size() - suffix.size()), suffix);
    };
    return endsWith(".yaml") || endsWith(".yml");
}

} // namespace zrk6

#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "model/band.h"
#include "model/channel_record.h"
#include "model/memory_image.h"
#include "model/optional_features.h"
#include "text/text_table.h"

// The fields a user sees, in one place: per field its label, its choices (the stored value
// and the text that stands for it), and how it is read from and written to a channel record,
// the VFO block or the settings row. Every front end takes its lists and labels from here, so
// an option list is spelled out once and an editor carries the stored value, never a text.

namespace zrk6 {

enum class FieldId {
    // A channel record, in the order of the grid's columns.
    RxFreq,
    TxFreq,
    Decode,
    Encode,
    WideNarrow,
    Scan,
    TxPower,
    Bcl,
    Scrambler,
    // The VFO block.
    VfoRxFreq,
    VfoTxFreq,
    VfoOffset,
    VfoDuplex,
    VfoStep,
    VfoWideNarrow,
    VfoTxPower,
    VfoDecode,
    VfoEncode,
    // The settings row (the optional features), in the order of the dialog's controls.
    TimeOutTimer,
    SquelchLevel,
    ChordLanguage,
    ChannelDisplay,
    ScanMode,
    Lamp,
    PriorityChannel,
    RevertFrequency,
    BeepTone,
    BatterySave,
    FeatureScrambler,
    KeyLock,
    Manual,
    VoxGain,
    VoxDelay,
    PttIdAni,
    PttIdName,
};
inline constexpr int kFieldCount = static_cast<int>(FieldId::PttIdName) + 1;

// Where a field's bytes are.
enum class FieldScope { Channel, Vfo, Settings };

// What a field holds: a frequency ("0.00000" MHz), a tone, one of its choices, or free text.
enum class FieldKind { Frequency, Tone, Choice, Text };

// One item of a choice list. Its text is Text(textId) + literal + Text(suffixId), leaving out
// a part whose id is 0: "Off" is {0, 1101}, "5K" is {0, 0, "5K"}, "Channel+Frequency" is
// {1, 1205, "+", 1206}. The literal is the same in both languages.
struct Choice {
    int value = 0; // the value as stored (an index or the bits of the field)
    int textId = 0;
    std::string_view literal;
    int suffixId = 0;
};

// The text of a choice in the given language.
std::string ChoiceText(const Choice &choice, LanguageMode language);

struct FieldInfo {
    FieldId id;
    FieldScope scope;
    FieldKind kind;
    int labelId;                     // the field's label text id
    std::span<const Choice> choices; // in list order; empty unless kind is Choice
    bool readOnly = false;           // shown, never written by the program (chord language, PTT ID)
};

// The catalogue entry of a field; every FieldId has one.
const FieldInfo &Field(FieldId id);
// All fields, in FieldId order.
std::span<const FieldInfo> AllFields();
// The fields of one scope, in FieldId order.
std::span<const FieldInfo> FieldsOf(FieldScope scope);

// The choice of field whose stored value is value; none when the value is not listed.
std::optional<Choice> FindChoice(FieldId field, int value);
// The list position of the choice with that stored value; -1 when it is not listed.
int ChoiceIndex(FieldId field, int value);
// The text of a stored value: its choice's text, or the number itself when it is not listed.
std::string ChoiceValueText(FieldId field, int value, LanguageMode language);
// The stored value whose choice text is text in the given language; none when no item is.
std::optional<int> ChoiceValueOf(FieldId field, std::string_view text, LanguageMode language);

// The channel record fields and the grid's columns name each other one to one.
ChannelColumn ColumnOf(FieldId channelField);
FieldId FieldOf(ChannelColumn column);

// ----- Choice fields as stored values -----

// A channel choice field (WideNarrow, Scan, TxPower, Bcl, Scrambler) of a value, and set on it.
int ReadChoice(const ChannelValue &value, FieldId field);
void SetChoice(ChannelValue &value, FieldId field, int stored);

// A settings choice field of the features, and set on them.
int ReadChoice(const OptionalFeatures &features, FieldId field);
void SetChoice(OptionalFeatures &features, FieldId field, int stored);

// A choice field read from the image: a channel field of channel (1..128, as the grid shows
// it), a VFO field (VfoDuplex, VfoStep, VfoWideNarrow, VfoTxPower) as stored, a settings
// field as the Optional Features dialog shows it. The image is not changed.
int ReadChoice(const MemoryImage &image, const Band &band, FieldId field, int channel = 0);

// Writes a choice field as its editor does: a channel field changes only its own bits; a VFO
// step or duplex is applied with its rules (the frequencies follow the new raster, TX is
// derived again); a settings field changes only its own bits (an unlisted value stores 0).
void WriteChoice(MemoryImage &image, const Band &band, FieldId field, int stored, int channel = 0);

// ----- Any field as the program shows it -----

// The text of any field as the grid, the VFO view and the Optional Features dialog show it:
// frequencies "0.00000", tones by name, choices by their text (an unlisted stored value as
// its number), PTT ID texts as stored. A channel field of an empty channel, and a TX part
// that is not there, show as "".
std::string FieldText(const MemoryImage &image, const Band &band, FieldId field, LanguageMode language,
                      int channel = 0);

} // namespace zrk6

#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/memory_image.h"
#include "text/text_table.h"

namespace zrk6 {

inline constexpr int kToneCount = 261;    // "None", 50 CTCSS, 105 DCS N, 105 DCS I
inline constexpr int kCtcssCount = 50;
inline constexpr int kDcsCount = 105;

// The 261 tone texts in list order; entry 0 is "None" in the given language.
std::vector<std::string> BuildToneList(LanguageMode language);

// The text of a ToneCode (L at the lower address, H at the higher). Always one of the
// ToneList texts: anything that is not a listed tone reads as entry 0.
std::string ReadToneCode(std::uint8_t low, std::uint8_t high, LanguageMode language);

// The two bytes of the ToneCode of a tone text: {L, H}. "None"/"无" (any text
// beginning with "N") give FF FF.
struct ToneBytes {
    std::uint8_t low;
    std::uint8_t high;
    bool operator==(const ToneBytes &) const = default;
};
ToneBytes EncodeToneText(std::string_view text);

// True for the "None" entry in either language.
bool IsNoneTone(std::string_view text);

// A tone as a value, independent of the language: none, a CTCSS tone in tenths of a hertz
// (670 is 67.0 Hz), or a DCS code (its three octal digits read as a decimal number, 23 for
// D023) with its polarity.
enum class ToneKind { None, Ctcss, Dcs };
enum class DcsPolarity { Normal, Inverted };
struct Tone {
    ToneKind kind = ToneKind::None;
    int code = 0;
    DcsPolarity polarity = DcsPolarity::Normal;

    static Tone Ctcss(int tenths) { return {ToneKind::Ctcss, tenths, DcsPolarity::Normal}; }
    static Tone Dcs(int code, DcsPolarity polarity) { return {ToneKind::Dcs, code, polarity}; }
    bool operator==(const Tone &) const = default;
};

// True for None and for the tones of the tone list; other values have no list entry.
bool IsListedTone(const Tone &tone);
// The tone a ToneCode holds; anything that is not a listed tone (00 00, FF FF included) is None.
Tone DecodeTone(ToneBytes bytes);
// The ToneCode of a listed tone. None gives FF FF, as a channel stores it.
ToneBytes EncodeTone(const Tone &tone);
// The tone list text of a tone ("None" in the language for None and for unlisted values).
std::string ToneText(const Tone &tone, LanguageMode language);
// The tone of a tone list text in either language; a text that is not in the list gives nullopt.
std::optional<Tone> ToneFromText(std::string_view text);

} // namespace zrk6

#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "model/band.h"
#include "model/memory_image.h"
#include "text/text_table.h"

namespace zrk6 {

// A frequency as a count of 10 Hz units (145.125 MHz is 14512500).
using FreqUnits = std::int64_t;

inline constexpr FreqUnits kUnitsPerMHz = 100000;

enum class ByteOrder { LowFirst, HighFirst };

// "0.00000": megahertz with five decimals. Negative values are not produced by the program.
std::string FormatFreq(FreqUnits units);

// Reads the BcdFreq at address..address+3. Never fails: an invalid nibble ends the
// digit string, so FF FF FF FF reads as 0.
FreqUnits ReadFreqUnits(const MemoryImage &image, int address, ByteOrder order);
// Writes units (clamped to 0..99999999) as eight BCD digits at address..address+3.
void WriteFreqUnits(MemoryImage &image, int address, FreqUnits units, ByteOrder order);

// The frequency a text in MHz stands for, rounded to 10 Hz (halves up; a negative number
// gives 0). nullopt when the whole text is not a number.
std::optional<FreqUnits> ParseFreqText(std::string_view text);

// The result of checking a typed frequency against the band: the text to store and
// whether the entry was out of range (the caller then shows message 1229).
struct RoundedFrequency {
    std::string text;
    bool outOfRange = false;
    bool operator==(const RoundedFrequency &) const = default;
};

// Checks a typed channel frequency against the band and moves it to the nearest
// 5 kHz or 6.25 kHz raster point (ties go to 6.25 kHz). Out of range gives the
// nearest allowed value and outOfRange; a text without "." that is not a number
// gives the band's lower limit without a flag.
RoundedFrequency RoundFrequencyText(std::string_view text, const Band &band);

// Message 1229 "Frequency is out of range." with a second line naming the band and the value
// the entry was set to instead.
std::string OutOfRangeText(const RoundedFrequency &rounded, const Band &band, LanguageMode language);

} // namespace zrk6

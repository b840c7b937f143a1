#include "model/bcd_freq.h"

#include <algorithm>
#include <cstdio>

#include "model/decimal_text.h"
#include "text/text_ids.h"

namespace zrk6 {
namespace {

constexpr FreqUnits kMaxUnits = 99999999; // eight BCD digits

// Column offset of digit pair k (0 = most significant) for each byte order.
int pairOffset(int k, ByteOrder order)
{
    return order == ByteOrder::HighFirst ? k : 3 - k;
}

} // namespace

std::string FormatFreq(FreqUnits units)
{
    const bool negative = units < 0;
    const FreqUnits a = negative ? -units : units;
    char buf[32];
    std::snprintf(buf, sizeof buf, "%s%lld.%05lld", negative ? "-" : "", static_cast<long long>(a / kUnitsPerMHz),
                  static_cast<long long>(a % kUnitsPerMHz));
    return buf;
}

FreqUnits ReadFreqUnits(const MemoryImage &image, int address, ByteOrder order)
{
    FreqUnits value = 0;
    for (int k = 0; k < 4; ++k) {
        const std::uint8_t b = image.at(address + pairOffset(k, order));
        for (const int nibble : {b >> 4, b & 0x0F}) {
            if (nibble > 9)
                return value; // the digits before an invalid nibble
            value = value * 10 + nibble;
        }
    }
    return value;
}

void WriteFreqUnits(MemoryImage &image, int address, FreqUnits units, ByteOrder order)
{
    FreqUnits v = std::clamp<FreqUnits>(units, 0, kMaxUnits);
    // Least significant pair first.
    for (int k = 3; k >= 0; --k) {
        const int low = static_cast<int>(v % 10);
        const int high = static_cast<int>((v / 10) % 10);
        v /= 100;
        image.set(address + pairOffset(k, order), static_cast<std::uint8_t>(high * 16 + low));
    }
}

std::optional<FreqUnits> ParseFreqText(std::string_view text)
{
    const auto value = WholeNumber(text);
    if (!value)
        return std::nullopt;
    return value->negative ? 0 : MHzToUnits(*value, Tie::Up);
}

RoundedFrequency RoundFrequencyText(std::string_view text, const Band &band)
{
    const FreqUnits low = static_cast<FreqUnits>(band.low) * kUnitsPerMHz;
    DecimalValue value;
    if (text.find('.') != std::string_view::npos) {
        value = LeadingNumber(text, true);
    } else if (!text.empty()) {
        const auto whole = WholeNumber(text);
        if (!whole)
            return {FormatFreq(low), false};
        value = *whole;
    }
    if (Compare(value, band.high) >= 0)
        return {FormatFreq(static_cast<FreqUnits>(band.high) * kUnitsPerMHz - 500), true};
    if (Compare(value, band.low) < 0)
        return {FormatFreq(low), true};

    const FreqUnits t = MHzToUnits(value, Tie::Even);
    const FreqUnits h = 500 * ((t + 250) / 500);          // nearest 5 kHz, half up
    const FreqUnits o = 625 * ((2 * t + 625) / (2 * 625)); // nearest 6.25 kHz, never a half
    FreqUnits result;
    if (t == h || t == o)
        result = t;
    else if (std::llabs(t - h) < std::llabs(t - o))
        result = h;
    else
        result = o;
    return {FormatFreq(result), false};
}

std::string OutOfRangeText(const RoundedFrequency &rounded, const Band &band, LanguageMode language)
{
    return std::string(LoadText(text_id::kFrequencyOutOfRange, language)) + "\n" + FillText(LoadText(text_id::kBandCellSet, language), {band.text, rounded.text});
}

} // namespace zrk6

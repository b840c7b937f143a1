#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "model/memory_image.h"

namespace zrk6 {

// The current band: limits in whole MHz and the band list text ("" when no row matches).
struct Band {
    int low = 144;
    int high = 146;
    std::string text = "144 - 146 MHz";

    // The largest VFO offset, in 10 Hz units: (high - low) * 100000 - 500.
    std::int32_t maxOffset() const;
    bool operator==(const Band &) const = default;
};

std::int32_t MaxOffset(int bandLow, int bandHigh);

struct BandRow {
    std::string_view text;
    int low;
    int high;
    std::array<std::uint8_t, 3> limits; // 0xFF0, 0xFF1, 0xFF2
};

inline constexpr int kBandCount = 8;
inline constexpr int kBand446 = 6; // "446 - 447 MHz": the default image holds preset channels
const std::array<BandRow, kBandCount> &BandTable();

// The band of BandTable row index (0..7); out-of-range indexes throw std::out_of_range.
Band BandFromRow(int index);

// Stores the band limits into 0xFF0-0xFF2.
void WriteBandToImage(MemoryImage &image, const Band &band);
// The band that 0xFF0-0xFF2 describe. Bytes that fail the validity test, or that hold a
// nibble A-F, give 144 - 146 MHz.
Band ReadBandFromImage(const MemoryImage &image);

struct ModelRow {
    std::string_view text;
    std::uint8_t modelByte;
};
inline constexpr std::uint8_t kStartupModelByte = 0x3A;
// The band variant byte (0xFBA) when no setting names one.
inline constexpr std::uint8_t kDefaultBandVariant = 240;
const std::array<ModelRow, 3> &ModelTable();
// The model list index of a ModelByte; unknown bytes give 0.
int ModelIndexFromByte(std::uint8_t modelByte);

// Rebuilds the whole image for the band: every byte 0xFF except the fixed defaults,
// with 0xFBA and 0xFBB kept, and the eight preset channels on 446 - 447 MHz.
void BuildDefaultImage(MemoryImage &image, const Band &band);

// The default image the programmer starts with when no settings are stored: model ZR-K6C
// and band variant 240, for the given band.
MemoryImage StartupImage(const Band &band = Band{});

} // namespace zrk6

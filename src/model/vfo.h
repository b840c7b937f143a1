#pragma once

#include <string>
#include <string_view>

#include "model/band.h"
#include "model/bcd_freq.h"
#include "model/memory_image.h"
#include "text/text_table.h"

namespace zrk6 {

namespace vfo {
inline constexpr int kRxFreq = 0xD00;   // low-first
inline constexpr int kTxFreq = 0xD04;   // low-first, derived
inline constexpr int kDecode = 0xD08;
inline constexpr int kEncode = 0xD0A;
inline constexpr int kModeFlags = 0xD0D; // bits 7-6 duplex, 5 high power, 4 wide
inline constexpr int kOffset = 0xD10;   // high-first
} // namespace vfo

enum class VfoDuplex { Simplex = 0, Minus = 1, Plus = 2 };
inline constexpr int kVfoStepCount = 5; // "5K", "10K", "6.25K", "12.5K", "25K"

// The fields of the VFO block as texts and list indexes.
struct VfoFields {
    std::string rxText;     // "0.00000"
    std::string offsetText; // "0.00000"
    int step = 0;           // 0xFC7
    int wide = 0;           // bit 4 of 0xD0D
    int highPower = 0;      // bit 5 of 0xD0D
    int duplex = 0;         // bits 7-6 of 0xD0D
    std::string decodeText;
    std::string encodeText;
};
VfoFields ReadVfo(const MemoryImage &image, LanguageMode language);

// 625 (6.25 kHz) for step indexes 2 and 3, else 500 (5 kHz); in 10 Hz units.
FreqUnits VfoRaster(int stepIndex);

struct VfoValue {
    FreqUnits units = 0;
    bool outOfRange = false; // the caller shows message 1229
    bool operator==(const VfoValue &) const = default;
};
// The receive-frequency rule: above the band gives high - 5 kHz, below gives low (both
// flagged), else the nearest raster point (halfway goes up).
VfoValue VfoRxRule(std::string_view text, FreqUnits raster, const Band &band);
// The offset rule: above MaxOffset gives MaxOffset (flagged), else the nearest raster
// point not above MaxOffset.
VfoValue VfoOffsetRule(std::string_view text, FreqUnits raster, const Band &band);
// rx, rx - offset or rx + offset, clamped to the band without a flag.
FreqUnits DeriveVfoTx(FreqUnits rx, FreqUnits offset, int duplex, const Band &band);

// Edits of the VFO block, each keeping it in its rules. Frequencies use the raster of the
// image's VfoStep.
// Each returns whether message 1229 is due.
bool StoreVfoRxFrequency(MemoryImage &image, std::string_view text, const Band &band);
bool StoreVfoOffset(MemoryImage &image, std::string_view text, const Band &band);
// Rewrites TxFreq from the stored RxFreq, VfoOffset and Duplex.
void UpdateVfoTx(MemoryImage &image, const Band &band);
void SetVfoDuplex(MemoryImage &image, int duplex, const Band &band);
void SetVfoWide(MemoryImage &image, bool wide);
void SetVfoHighPower(MemoryImage &image, bool high);
// Writes a VFO tone; "None" in either language is written as 00 00.
void WriteVfoTone(MemoryImage &image, int address, std::string_view text);
// Stores the step, then re-applies the receive and the offset rule with the new raster.
struct StepChangeResult {
    bool rxOutOfRange = false;
    bool offsetOutOfRange = false;
};
StepChangeResult ChangeVfoStep(MemoryImage &image, int step, const Band &band);

// Puts the VFO block into its rules, as every image the window shows must be (the vendor's
// program got this by filling an unseen VFO frame whose every selection wrote back): with a
// listed step both frequencies go onto its raster and into the band, with a listed duplex
// TxFreq is derived again, and each tone is rewritten from its text (anything unlisted, and
// None, become 00 00). Wide and power stay as they are.
void NormaliseVfo(MemoryImage &image, const Band &band);

} // namespace zrk6

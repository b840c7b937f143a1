#include "model/vfo.h"

#include <algorithm>

#include "model/decimal_text.h"
#include "model/tone.h"

namespace zrk6 {
namespace {

FreqUnits mhz(int whole)
{
    return static_cast<FreqUnits>(whole) * kUnitsPerMHz;
}

// The multiple of raster nearest to value (in MHz), halfway going to the larger one.
FreqUnits nearestRasterPoint(const DecimalValue &value, FreqUnits raster)
{
    return raster * RoundDiv(value, raster * 10000, Tie::Up);
}

int duplexOf(const MemoryImage &image)
{
    return image.at(vfo::kModeFlags) >> 6;
}

FreqUnits readLowFirst(const MemoryImage &image, int address)
{
    return ReadFreqUnits(image, address, ByteOrder::LowFirst);
}

} // namespace

VfoFields ReadVfo(const MemoryImage &image, LanguageMode language)
{
    VfoFields f;
    f.rxText = FormatFreq(readLowFirst(image, vfo::kRxFreq));
    f.offsetText = FormatFreq(ReadFreqUnits(image, vfo::kOffset, ByteOrder::HighFirst));
    f.step = image.at(addr::kVfoStep);
    const std::uint8_t flags = image.at(vfo::kModeFlags);
    f.wide = (flags >> 4) & 1;
    f.highPower = (flags >> 5) & 1;
    f.duplex = flags >> 6;
    f.decodeText = ReadToneCode(image.at(vfo::kDecode), image.at(vfo::kDecode + 1), language);
    f.encodeText = ReadToneCode(image.at(vfo::kEncode), image.at(vfo::kEncode + 1), language);
    return f;
}

FreqUnits VfoRaster(int stepIndex)
{
    return (stepIndex == 2 || stepIndex == 3) ? 625 : 500;
}

VfoValue VfoRxRule(std::string_view text, FreqUnits raster, const Band &band)
{
    const DecimalValue v = LeadingNumber(text, false);
    if (Compare(v, band.high) > 0)
        return {mhz(band.high) - 500, true};
    if (Compare(v, band.low) >= 0)
        return {nearestRasterPoint(v, raster), false};
    return {mhz(band.low), true};
}

VfoValue VfoOffsetRule(std::string_view text, FreqUnits raster, const Band &band)
{
    const DecimalValue v = LeadingNumber(text, false);
    const FreqUnits maxOffset = band.maxOffset();
    // w > MaxOffset, compared exactly in nano-MHz.
    const std::int64_t limitNano = maxOffset * 10000;
    if (v.nano > limitNano || (v.nano == limitNano && v.sticky))
        return {maxOffset, true};
    FreqUnits result = nearestRasterPoint(v, raster);
    if (result > maxOffset)
        result -= raster;
    return {result, false};
}

FreqUnits DeriveVfoTx(FreqUnits rx, FreqUnits offset, int duplex, const Band &band)
{
    FreqUnits t = rx;
    if (duplex == static_cast<int>(VfoDuplex::Minus))
        t = rx - offset;
    else if (duplex == static_cast<int>(VfoDuplex::Plus))
        t = rx + offset;
    return std::clamp(t, mhz(band.low), mhz(band.high));
}

void UpdateVfoTx(MemoryImage &image, const Band &band)
{
    const FreqUnits tx = DeriveVfoTx(readLowFirst(image, vfo::kRxFreq),
                                     ReadFreqUnits(image, vfo::kOffset, ByteOrder::HighFirst), duplexOf(image), band);
    WriteFreqUnits(image, vfo::kTxFreq, tx, ByteOrder::LowFirst);
}

bool StoreVfoRxFrequency(MemoryImage &image, std::string_view text, const Band &band)
{
    const VfoValue v = VfoRxRule(text, VfoRaster(image.at(addr::kVfoStep)), band);
    WriteFreqUnits(image, vfo::kRxFreq, v.units, ByteOrder::LowFirst);
    UpdateVfoTx(image, band);
    return v.outOfRange;
}

bool StoreVfoOffset(MemoryImage &image, std::string_view text, const Band &band)
{
    const VfoValue v = VfoOffsetRule(text, VfoRaster(image.at(addr::kVfoStep)), band);
    WriteFreqUnits(image, vfo::kOffset, v.units, ByteOrder::HighFirst);
    UpdateVfoTx(image, band);
    return v.outOfRange;
}

void SetVfoDuplex(MemoryImage &image, int duplex, const Band &band)
{
    image.setMasked(vfo::kModeFlags, 0xC0, static_cast<std::uint8_t>((duplex & 0x3) << 6));
    UpdateVfoTx(image, band);
}

void SetVfoWide(MemoryImage &image, bool wide)
{
    image.setBit(vfo::kModeFlags, 4, wide);
}

void SetVfoHighPower(MemoryImage &image, bool high)
{
    image.setBit(vfo::kModeFlags, 5, high);
}

void WriteVfoTone(MemoryImage &image, int address, std::string_view text)
{
    const ToneBytes bytes = IsNoneTone(text) || (!text.empty() && text.front() == 'N') ? ToneBytes{0x00, 0x00}
                                                                                        : EncodeToneText(text);
    image.set(address, bytes.low);
    image.set(address + 1, bytes.high);
}

StepChangeResult ChangeVfoStep(MemoryImage &image, int step, const Band &band)
{
    image.set(addr::kVfoStep, static_cast<std::uint8_t>(step));
    StepChangeResult result;
    const VfoFields current = ReadVfo(image, kEnglish);
    result.rxOutOfRange = StoreVfoRxFrequency(image, current.rxText, band);
    result.offsetOutOfRange = StoreVfoOffset(image, current.offsetText, band);
    return result;
}

void NormaliseVfo(MemoryImage &image, const Band &band)
{
    const int step = image.at(addr::kVfoStep);
    if (step < kVfoStepCount)
        ChangeVfoStep(image, step, band);
    if (duplexOf(image) <= static_cast<int>(VfoDuplex::Plus))
        UpdateVfoTx(image, band);
    for (const int address : {vfo::kDecode, vfo::kEncode})
        WriteVfoTone(image, address, ReadToneCode(image.at(address), image.at(address + 1), kEnglish));
}

} // namespace zrk6

#include "model/band.h"

#include <stdexcept>

#include "model/bcd_freq.h"

namespace zrk6 {
namespace {

constexpr std::array<BandRow, kBandCount> kBands{{
    {"136 - 174 MHz", 136, 174, {0x13, 0x17, 0x64}},
    {"144 - 146 MHz", 144, 146, {0x14, 0x14, 0x46}},
    {"240 - 260 MHz", 240, 260, {0x24, 0x26, 0x00}},
    {"350 - 390 MHz", 350, 390, {0x35, 0x39, 0x00}},
    {"400 - 470 MHz", 400, 470, {0x40, 0x47, 0x00}},
    {"430 - 440 MHz", 430, 440, {0x43, 0x44, 0x00}},
    {"446 - 447 MHz", 446, 447, {0x44, 0x44, 0x67}},
    {"465 - 520 MHz", 465, 520, {0x46, 0x52, 0x50}},
}};

constexpr std::array<ModelRow, 3> kModels{{
    {"ZR-K6A", 0x38},
    {"ZR-K6B", 0x39},
    {"ZR-K6C", 0x3A},
}};

bool isDecimalByte(std::uint8_t b)
{
    return (b >> 4) <= 9 && (b & 0x0F) <= 9;
}

std::string bandText(int low, int high)
{
    for (const auto &row : kBands) {
        if (row.low == low && row.high == high)
            return std::string(row.text);
    }
    return {};
}

} // namespace

std::int32_t MaxOffset(int bandLow, int bandHigh)
{
    return (bandHigh - bandLow) * 100000 - 500;
}

std::int32_t Band::maxOffset() const
{
    return MaxOffset(low, high);
}

const std::array<BandRow, kBandCount> &BandTable()
{
    return kBands;
}

Band BandFromRow(int index)
{
    if (index < 0 || index >= kBandCount)
        throw std::out_of_range("band row out of range");
    const auto &row = kBands[static_cast<std::size_t>(index)];
    return Band{row.low, row.high, std::string(row.text)};
}

void WriteBandToImage(MemoryImage &image, const Band &band)
{
    const auto hundredsTens = [](int v) { return static_cast<std::uint8_t>((v / 100) * 16 + (v / 10) % 10); };
    image.set(addr::kBandLimits, hundredsTens(band.low));
    image.set(addr::kBandLimits + 1, hundredsTens(band.high));
    image.set(addr::kBandLimits + 2, static_cast<std::uint8_t>((band.low % 10) * 16 + band.high % 10));
}

Band ReadBandFromImage(const MemoryImage &image)
{
    const std::uint8_t b0 = image.at(addr::kBandLimits);
    const std::uint8_t b1 = image.at(addr::kBandLimits + 1);
    const std::uint8_t b2 = image.at(addr::kBandLimits + 2);
    // A nibble A-F would give limit texts that are not decimal numbers: treat as invalid.
    const bool valid = isDecimalByte(b0) && isDecimalByte(b1) && isDecimalByte(b2) && b1 != 0x00;
    int low = 144;
    int high = 146;
    if (valid) {
        low = ((b0 >> 4) * 10 + (b0 & 0x0F)) * 10 + (b2 >> 4);
        high = ((b1 >> 4) * 10 + (b1 & 0x0F)) * 10 + (b2 & 0x0F);
    }
    return Band{low, high, bandText(low, high)};
}

const std::array<ModelRow, 3> &ModelTable()
{
    return kModels;
}

int ModelIndexFromByte(std::uint8_t modelByte)
{
    for (int i = 0; i < static_cast<int>(kModels.size()); ++i) {
        if (kModels[static_cast<std::size_t>(i)].modelByte == modelByte)
            return i;
    }
    return 0;
}

MemoryImage StartupImage(const Band &band)
{
    MemoryImage image;
    image.set(addr::kBandVariant, kDefaultBandVariant);
    image.set(addr::kModel, kStartupModelByte);
    BuildDefaultImage(image, band);
    return image;
}

void BuildDefaultImage(MemoryImage &image, const Band &band)
{
    const std::uint8_t variant = image.at(addr::kBandVariant);
    const std::uint8_t model = image.at(addr::kModel);
    image.fill(0xFF);
    WriteBandToImage(image, band);

    image.fill(0xD08, 4, 0x00); // both VFO tones "None"
    image.set(0xD0C, 0x02);
    image.set(0xD0D, 0x38);     // simplex, high power, wide
    const FreqUnits vfo = static_cast<FreqUnits>(band.low) * kUnitsPerMHz + 2500;
    WriteFreqUnits(image, 0xD00, vfo, ByteOrder::LowFirst);
    WriteFreqUnits(image, 0xD04, vfo, ByteOrder::LowFirst);
    image.fill(0xD10, 4, 0x00); // offset 0

    image.fill(addr::kRadioId, 8, 0xFF);
    image.set(addr::kBandVariant, variant);
    image.set(addr::kModel, model);

    constexpr std::uint8_t features[] = {0x10, 0x08, 0xC4, 0x05, 0x04, 0x00, 0x00, 0x03, 0x00, 0x00};
    for (int i = 0; i < static_cast<int>(std::size(features)); ++i)
        image.set(addr::kFeatures + i, features[i]);
    image.fill(addr::kPttIdName, 12, 0xC8);
    image.fill(0xD18, 8, 0xFF);

    if (band.low == 446 && band.high == 447) {
        image.set(0xFC2, 0x44); // ManualBit off for the preset channels
        for (int n = 1; n <= 8; ++n) {
            const int base = (n - 1) * kRowSize;
            const FreqUnits f = 44600625 + (n - 1) * 1250;
            WriteFreqUnits(image, base, f, ByteOrder::LowFirst);
            WriteFreqUnits(image, base + 4, f, ByteOrder::LowFirst);
            image.set(base + 12, 0xBF);
            image.set(base + 13, 0x99);
            image.set(base + 15, 0xFC);
        }
    }
}

} // namespace zrk6

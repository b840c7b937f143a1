#include "model/channel_record.h"

#include <stdexcept>

#include "model/bcd_freq.h"
#include "model/tone.h"

namespace zrk6 {
namespace {

// Record offsets.
constexpr int kRx = 0;
constexpr int kTx = 4;
constexpr int kDecodeTone = 8;
constexpr int kEncodeTone = 10;
constexpr int kOptionFlags = 12;  // bit 6 scrambler
constexpr int kChannelFlags = 13; // bits 6-5 power, 4 wide, 3 scan add, 2-1 BCL
constexpr int kUnsetFlags = 15;   // bit 0 RxUnset, bit 1 TxUnset

int base(int channel)
{
    return ChannelRow(channel) * kRowSize;
}

bool inBand(FreqUnits units, const Band &band)
{
    return units >= static_cast<FreqUnits>(band.low) * kUnitsPerMHz &&
           units <= static_cast<FreqUnits>(band.high) * kUnitsPerMHz;
}

FreqUnits readFreq(const MemoryImage &image, int address)
{
    return ReadFreqUnits(image, address, ByteOrder::LowFirst);
}

std::string text(int id, LanguageMode language)
{
    return std::string(LoadText(id, language));
}

void eraseTransmitPart(MemoryImage &image, int b)
{
    image.fill(b + kTx, 4, 0xFF);
    image.fill(b + kEncodeTone, 2, 0xFF);
}

} // namespace

int ChannelRow(int channel)
{
    if (channel < 1 || channel > kChannelCount)
        throw std::out_of_range("channel number out of range: " + std::to_string(channel));
    return channel - 1;
}

bool IsChannelInUse(const MemoryImage &image, int channel, const Band &band)
{
    return inBand(readFreq(image, base(channel) + kRx), band);
}

RowTexts ChannelRowTexts(const MemoryImage &image, int channel, const Band &band, LanguageMode language)
{
    RowTexts row;
    const int b = base(channel);
    const FreqUnits rx = readFreq(image, b + kRx);
    if (!inBand(rx, band))
        return row;
    auto cell = [&row](ChannelColumn c) -> std::string & { return row[static_cast<std::size_t>(c)]; };
    cell(ChannelColumn::RxFreq) = FormatFreq(rx);
    cell(ChannelColumn::Decode) = ReadToneCode(image.at(b + kDecodeTone), image.at(b + kDecodeTone + 1), language);
    const FreqUnits tx = readFreq(image, b + kTx);
    if (inBand(tx, band)) {
        cell(ChannelColumn::TxFreq) = FormatFreq(tx);
        cell(ChannelColumn::Encode) = ReadToneCode(image.at(b + kEncodeTone), image.at(b + kEncodeTone + 1), language);
    }
    const std::uint8_t flags = image.at(b + kChannelFlags);
    const int power = (flags >> 5) & 0x3;
    cell(ChannelColumn::TxPower) = text(power == 0 ? 1214 : power == 1 ? 1257 : 1215, language);
    cell(ChannelColumn::WideNarrow) = text((flags & 0x10) ? 1217 : 1218, language);
    cell(ChannelColumn::Scan) = text((flags & 0x08) ? 1221 : 1220, language);
    const int bcl = (flags >> 1) & 0x3;
    cell(ChannelColumn::Bcl) = text(bcl == 0 ? 1101 : (bcl & 1) ? 1226 : 1225, language);
    cell(ChannelColumn::Scrambler) = text((image.at(b + kOptionFlags) & 0x40) ? 1100 : 1101, language);
    return row;
}

RowTexts ShowChannelRow(MemoryImage &image, int channel, const Band &band, LanguageMode language)
{
    const int b = base(channel);
    if (!inBand(readFreq(image, b + kRx), band)) {
        image.fill(b, kRowSize, 0xFF);
    } else if (!inBand(readFreq(image, b + kTx), band)) {
        eraseTransmitPart(image, b);
    }
    return ChannelRowTexts(image, channel, band, language);
}

void StoreRxFrequency(MemoryImage &image, int channel, std::string_view text, const Band &band)
{
    const int b = base(channel);
    const bool wasEmpty = !IsChannelInUse(image, channel, band);
    image.setBit(b + kUnsetFlags, 0, false);
    WriteFreqLowFirst(image, ChannelRow(channel), kRx, text);
    if (wasEmpty) {
        image.set(b + kChannelFlags, image.at(b + kChannelFlags) & 0xD9);
        image.set(b + kOptionFlags, image.at(b + kOptionFlags) & 0xBF);
        image.set(b + kUnsetFlags, image.at(b + kUnsetFlags) & 0xFE);
    }
}

void EraseChannel(MemoryImage &image, int channel)
{
    image.fill(base(channel), kRowSize, 0xFF);
    if (image.at(addr::kPriorityChannel) == channel)
        image.set(addr::kPriorityChannel, 0);
}

void StoreTxFrequency(MemoryImage &image, int channel, std::string_view text)
{
    image.setBit(base(channel) + kUnsetFlags, 1, false);
    WriteFreqLowFirst(image, ChannelRow(channel), kTx, text);
}

void RemoveTxFrequency(MemoryImage &image, int channel)
{
    const int b = base(channel);
    eraseTransmitPart(image, b);
    image.setBit(b + kUnsetFlags, 1, true);
}

void WriteChannelTone(MemoryImage &image, int channel, ChannelColumn column, std::string_view text)
{
    if (column != ChannelColumn::Decode && column != ChannelColumn::Encode)
        return;
    WriteToneCode(image, ChannelRow(channel), text,
                  column == ChannelColumn::Decode ? kToneColumnDecode : kToneColumnEncode);
}

void WriteChannelOption(MemoryImage &image, int channel, ChannelColumn column, std::string_view value,
                        LanguageMode language)
{
    const int b = base(channel);
    const auto is = [&](int id) { return value == LoadText(id, language); };
    switch (column) {
    case ChannelColumn::TxPower:
        image.setMasked(b + kChannelFlags, 0x60, is(1215) ? 0x40 : is(1257) ? 0x20 : 0x00);
        break;
    case ChannelColumn::WideNarrow:
        image.setBit(b + kChannelFlags, 4, is(1217));
        break;
    case ChannelColumn::Scan:
        image.setBit(b + kChannelFlags, 3, is(1221));
        break;
    case ChannelColumn::Bcl:
        image.setMasked(b + kChannelFlags, 0x06, is(1225) ? 0x04 : is(1226) ? 0x02 : 0x00);
        break;
    case ChannelColumn::Scrambler:
        image.setBit(b + kOptionFlags, 6, !is(1101));
        break;
    default:
        break;
    }
}

} // namespace zrk6

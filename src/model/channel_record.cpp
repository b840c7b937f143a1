#include "model/channel_record.h"

#include <array>
#include <stdexcept>

#include "text/text_ids.h"


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

void writeTone(MemoryImage &image, int address, ToneBytes bytes)
{
    image.set(address, bytes.low);
    image.set(address + 1, bytes.high);
}

// Text ids of the option columns' items.
constexpr int kOnText = text_id::kOn;
constexpr int kOffText = text_id::kOff;
constexpr int kWideText = text_id::kWide;
constexpr int kNarrowText = text_id::kNarrow;
constexpr int kScanDelText = text_id::kScanDel;
constexpr int kScanAddText = text_id::kScanAdd;
constexpr std::array<int, 3> kPowerTexts = {text_id::kLow, text_id::kMid, text_id::kHigh};   // by TxPower
constexpr std::array<int, 3> kBusyLockTexts = {text_id::kOff, text_id::kCarrier, text_id::kQtDqt}; // by BusyLock

// One field of a value, as a comparable tuple; a frequency field compares its frequency.
auto fieldOf(const ChannelValue &v, ChannelColumn column)
{
    struct Field {
        std::optional<FreqUnits> freq;
        Tone tone;
        int option = 0;
        bool operator==(const Field &) const = default;
    };
    switch (column) {
    case ChannelColumn::RxFreq:
        return Field{v.rx, {}, 0};
    case ChannelColumn::TxFreq:
        return Field{v.tx, {}, 0};
    case ChannelColumn::Decode:
        return Field{{}, v.decode, 0};
    case ChannelColumn::Encode:
        return Field{{}, v.encode, 0};
    case ChannelColumn::WideNarrow:
        return Field{{}, {}, v.wide};
    case ChannelColumn::Scan:
        return Field{{}, {}, v.scan};
    case ChannelColumn::TxPower:
        return Field{{}, {}, static_cast<int>(v.power)};
    case ChannelColumn::Bcl:
        return Field{{}, {}, static_cast<int>(v.busyLock)};
    case ChannelColumn::Scrambler:
        return Field{{}, {}, v.scrambler};
    }
    return Field{};
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

ChannelValue ReadChannel(const MemoryImage &image, int channel, const Band &band)
{
    ChannelValue value;
    const int b = base(channel);
    const FreqUnits rx = readFreq(image, b + kRx);
    if (!inBand(rx, band))
        return value;
    value.rx = rx;
    value.decode = DecodeTone({image.at(b + kDecodeTone), image.at(b + kDecodeTone + 1)});
    const FreqUnits tx = readFreq(image, b + kTx);
    if (inBand(tx, band)) {
        value.tx = tx;
        value.encode = DecodeTone({image.at(b + kEncodeTone), image.at(b + kEncodeTone + 1)});
    }
    const std::uint8_t flags = image.at(b + kChannelFlags);
    const int power = (flags >> 5) & 0x3;
    value.power = power == 0 ? TxPower::Low : power == 1 ? TxPower::Mid : TxPower::High;
    value.wide = (flags & 0x10) != 0;
    value.scan = (flags & 0x08) != 0;
    const int bcl = (flags >> 1) & 0x3;
    value.busyLock = bcl == 0 ? BusyLock::Off : (bcl & 1) ? BusyLock::Carrier : BusyLock::QtDqt;
    value.scrambler = (image.at(b + kOptionFlags) & 0x40) != 0;
    return value;
}

RowTexts ChannelRowTexts(const MemoryImage &image, int channel, const Band &band, LanguageMode language)
{
    RowTexts row;
    const ChannelValue value = ReadChannel(image, channel, band);
    if (!value.rx)
        return row;
    auto cell = [&row](ChannelColumn c) -> std::string & { return row[static_cast<std::size_t>(c)]; };
    cell(ChannelColumn::RxFreq) = FormatFreq(*value.rx);
    cell(ChannelColumn::Decode) = ToneText(value.decode, language);
    if (value.tx) {
        cell(ChannelColumn::TxFreq) = FormatFreq(*value.tx);
        cell(ChannelColumn::Encode) = ToneText(value.encode, language);
    }
    cell(ChannelColumn::TxPower) = text(kPowerTexts[static_cast<std::size_t>(value.power)], language);
    cell(ChannelColumn::WideNarrow) = text(value.wide ? kWideText : kNarrowText, language);
    cell(ChannelColumn::Scan) = text(value.scan ? kScanAddText : kScanDelText, language);
    cell(ChannelColumn::Bcl) = text(kBusyLockTexts[static_cast<std::size_t>(value.busyLock)], language);
    cell(ChannelColumn::Scrambler) = text(value.scrambler ? kOnText : kOffText, language);
    return row;
}

void NormaliseChannel(MemoryImage &image, int channel, const Band &band)
{
    const int b = base(channel);
    if (!inBand(readFreq(image, b + kRx), band)) {
        image.fill(b, kRowSize, 0xFF);
    } else if (!inBand(readFreq(image, b + kTx), band)) {
        eraseTransmitPart(image, b);
    }
}

RowTexts ShowChannelRow(MemoryImage &image, int channel, const Band &band, LanguageMode language)
{
    NormaliseChannel(image, channel, band);
    return ChannelRowTexts(image, channel, band, language);
}

void WriteChannelField(MemoryImage &image, int channel, ChannelColumn field, const ChannelValue &value,
                       const Band &band)
{
    const int b = base(channel);
    switch (field) {
    case ChannelColumn::RxFreq:
        if (!value.rx) {
            EraseChannel(image, channel);
            break;
        }
        {
            const bool wasEmpty = !IsChannelInUse(image, channel, band);
            image.setBit(b + kUnsetFlags, 0, false);
            WriteFreqUnits(image, b + kRx, *value.rx, ByteOrder::LowFirst);
            if (wasEmpty) {
                image.set(b + kChannelFlags, image.at(b + kChannelFlags) & 0xD9);
                image.set(b + kOptionFlags, image.at(b + kOptionFlags) & 0xBF);
                image.set(b + kUnsetFlags, image.at(b + kUnsetFlags) & 0xFE);
            }
        }
        break;
    case ChannelColumn::TxFreq:
        if (value.tx) {
            image.setBit(b + kUnsetFlags, 1, false);
            WriteFreqUnits(image, b + kTx, *value.tx, ByteOrder::LowFirst);
        } else {
            eraseTransmitPart(image, b);
            image.setBit(b + kUnsetFlags, 1, true);
        }
        break;
    case ChannelColumn::Decode:
        writeTone(image, b + kDecodeTone, EncodeTone(value.decode));
        break;
    case ChannelColumn::Encode:
        writeTone(image, b + kEncodeTone, EncodeTone(value.encode));
        break;
    case ChannelColumn::WideNarrow:
        image.setBit(b + kChannelFlags, 4, value.wide);
        break;
    case ChannelColumn::Scan:
        image.setBit(b + kChannelFlags, 3, value.scan);
        break;
    case ChannelColumn::TxPower:
        image.setMasked(b + kChannelFlags, 0x60, static_cast<std::uint8_t>(static_cast<int>(value.power) << 5));
        break;
    case ChannelColumn::Bcl:
        image.setMasked(b + kChannelFlags, 0x06, static_cast<std::uint8_t>(static_cast<int>(value.busyLock) << 1));
        break;
    case ChannelColumn::Scrambler:
        image.setBit(b + kOptionFlags, 6, value.scrambler);
        break;
    }
}

void WriteChannel(MemoryImage &image, int channel, const ChannelValue &value, const Band &band)
{
    for (int c = 0; c < kChannelColumns; ++c) {
        const auto column = static_cast<ChannelColumn>(c);
        const ChannelValue now = ReadChannel(image, channel, band);
        if (!now.rx && !value.rx)
            return;
        if (column == ChannelColumn::Encode && !value.tx)
            continue;
        if (fieldOf(now, column) != fieldOf(value, column))
            WriteChannelField(image, channel, column, value, band);
        if (!value.rx)
            return;
    }
}

void ParseChannelOption(ChannelValue &value, ChannelColumn column, std::string_view option, LanguageMode language)
{
    const auto is = [&](int id) { return option == LoadText(id, language); };
    switch (column) {
    case ChannelColumn::TxPower:
        value.power = is(text_id::kHigh) ? TxPower::High : is(text_id::kMid) ? TxPower::Mid : TxPower::Low;
        break;
    case ChannelColumn::WideNarrow:
        value.wide = is(kWideText);
        break;
    case ChannelColumn::Scan:
        value.scan = is(kScanAddText);
        break;
    case ChannelColumn::Bcl:
        value.busyLock = is(text_id::kQtDqt) ? BusyLock::QtDqt : is(text_id::kCarrier) ? BusyLock::Carrier : BusyLock::Off;
        break;
    case ChannelColumn::Scrambler:
        value.scrambler = !is(kOffText);
        break;
    default:
        break;
    }
}

void EraseChannel(MemoryImage &image, int channel)
{
    image.fill(base(channel), kRowSize, 0xFF);
    if (image.at(addr::kPriorityChannel) == channel)
        image.set(addr::kPriorityChannel, 0);
}

} // namespace zrk6

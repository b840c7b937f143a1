#include "sample_memory.h"

#include <string>
#include <utility>

#include "model/band.h"
#include "model/bcd_freq.h"
#include "model/channel_record.h"
#include "model/fields.h"
#include "model/optional_features.h"
#include "model/tone.h"
#include "model/vfo.h"

namespace zrk6::radiosim {

namespace {

struct SampleChannel {
    int channel;
    const char *rx;
    const char *tx; // nullptr: simplex
    const char *decode;
    const char *encode;
    const char *bandwidth; // "Wide" / "Narrow"
    const char *power;     // "High" / "Mid" / "Low"
    const char *scan;      // "Add" / "Del"
    const char *bcl;       // "Off" / "QT/DQT" / "Carrier"
    const char *scrambler; // "Off" / "On"
};

// Ordinary UHF use: PMR446, amateur simplex and repeaters, business and FRS/GMRS-style pairs.
constexpr SampleChannel kChannels[] = {
    {1, "446.00625", nullptr, "None", "None", "Narrow", "Low", "Add", "Off", "Off"},
    {2, "446.01875", nullptr, "88.5", "88.5", "Narrow", "Low", "Add", "QT/DQT", "Off"},
    {3, "433.50000", nullptr, "None", "None", "Wide", "High", "Add", "Off", "Off"},
    {4, "439.97500", "432.37500", "None", "88.5", "Wide", "High", "Add", "Carrier", "Off"},
    {5, "438.65000", "431.05000", "71.9", "71.9", "Wide", "High", "Add", "QT/DQT", "Off"},
    {6, "430.85000", "438.45000", "None", "123.0", "Wide", "Mid", "Del", "Off", "Off"},
    {7, "462.56250", nullptr, "D023N", "D023N", "Narrow", "Mid", "Add", "QT/DQT", "Off"},
    {8, "462.58750", "467.58750", "141.3", "141.3", "Narrow", "High", "Add", "Off", "Off"},
    {9, "451.12500", "456.12500", "D411I", "D411I", "Narrow", "Low", "Del", "Carrier", "Off"},
    {10, "409.75000", nullptr, "None", "None", "Narrow", "Low", "Add", "Off", "On"},
    {11, "420.50000", "425.50000", "100.0", "D754N", "Wide", "Mid", "Add", "Off", "Off"},
    {12, "446.09375", nullptr, "67.0", "67.0", "Narrow", "Low", "Add", "Off", "Off"},
    {20, "469.98750", nullptr, "D631N", "250.3", "Narrow", "High", "Del", "Off", "On"},
};

} // namespace

MemoryImage BuildSampleMemory()
{
    const Band band = BandFromRow(4); // 400 - 470 MHz
    MemoryImage image = StartupImage(band);

    for (const SampleChannel &c : kChannels) {
        // Each field written as committing its grid cell writes it, in the order of the sheet.
        ChannelValue value;
        value.rx = ParseFreqText(RoundFrequencyText(c.rx, band).text);
        value.tx = ParseFreqText(RoundFrequencyText(c.tx ? c.tx : c.rx, band).text);
        value.decode = ToneFromText(c.decode).value_or(Tone{});
        value.encode = ToneFromText(c.encode).value_or(Tone{});
        const std::pair<FieldId, const char *> options[] = {{FieldId::WideNarrow, c.bandwidth},
                                                            {FieldId::TxPower, c.power},
                                                            {FieldId::Scan, c.scan},
                                                            {FieldId::Bcl, c.bcl},
                                                            {FieldId::Scrambler, c.scrambler}};
        for (const auto &[field, word] : options)
            SetChoice(value, field, ChoiceValueOf(field, word, kEnglish).value());
        for (const ChannelColumn column : {ChannelColumn::RxFreq, ChannelColumn::TxFreq, ChannelColumn::Decode,
                                           ChannelColumn::Encode})
            WriteChannelField(image, c.channel, column, value, band);
        for (const auto &[field, word] : options)
            WriteChannelField(image, c.channel, ColumnOf(field), value, band);
    }

    // The VFO on a repeater input: 439.075 MHz, minus 7.6 MHz, tone 88.5, high power, wide.
    ChangeVfoStep(image, 3, band); // 12.5K
    StoreVfoRxFrequency(image, "439.07500", band);
    StoreVfoOffset(image, "7.60000", band);
    SetVfoDuplex(image, static_cast<int>(VfoDuplex::Minus), band);
    SetVfoWide(image, true);
    SetVfoHighPower(image, true);
    WriteVfoTone(image, vfo::kEncode, "88.5");

    OptionalFeatures features = DecodeOptionalFeatures(image, band);
    features.timeOutTimer = 8; // 120 s
    features.squelchLevel = 3;
    features.scanMode = 1;
    features.lamp = 1;
    features.priorityChannel = 3;
    features.beepTone = true;
    features.batterySave = true;
    features.voxGain = 0;
    EncodeOptionalFeatures(image, features);
    return image;
}

} // namespace zrk6::radiosim

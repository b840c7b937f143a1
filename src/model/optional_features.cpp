#include "model/optional_features.h"

#include <stdexcept>

#include "model/channel_record.h"
#include "model/fields.h"

namespace zrk6 {
namespace {

constexpr int kFc0 = 0xFC0;
constexpr int kFc1 = 0xFC1;
constexpr int kFc2 = 0xFC2;
constexpr int kSquelch = 0xFC3;
constexpr int kTimeOut = 0xFC4;
constexpr int kVoxGain = 0xFC5;
constexpr int kVoxDelay = 0xFC6;

constexpr int kMaxTimeOut = 20;
constexpr int kMaxSquelch = 9;
constexpr int kMaxVoxGain = 9;
constexpr int kMaxVoxDelay = 5;
constexpr int kLampItems = 3;

int indexOrZero(int value, int max)
{
    return (value >= 0 && value <= max) ? value : 0;
}

std::string readRun(const MemoryImage &image, int address, int count, bool (*accept)(std::uint8_t))
{
    std::string s;
    for (int i = 0; i < count; ++i) {
        const std::uint8_t b = image.at(address + i);
        if (!accept(b))
            break;
        s.push_back(static_cast<char>(b));
    }
    return s;
}

} // namespace

OptionalFeatures DecodeOptionalFeatures(const MemoryImage &image, const Band &band)
{
    OptionalFeatures f;
    f.timeOutTimer = indexOrZero(image.at(kTimeOut), kMaxTimeOut);
    f.squelchLevel = indexOrZero(image.at(kSquelch), kMaxSquelch);
    f.voxGain = indexOrZero(image.at(kVoxGain), kMaxVoxGain);
    f.voxDelay = indexOrZero(image.at(kVoxDelay), kMaxVoxDelay);

    const std::uint8_t fc0 = image.at(kFc0);
    f.channelDisplay = (fc0 >> 1) & 1;
    f.scanMode = (fc0 & 0x10) ? 1 : (fc0 & 0x20) ? 2 : (fc0 & 0x40) ? 3 : 0;
    f.revertFrequency = fc0 & 0x08;
    f.keyLock = fc0 & 0x80;

    const int lamp = (image.at(kFc1) & 0x18) / 8;
    f.lamp = lamp < kLampItems ? lamp : 0;

    int priority = image.at(addr::kPriorityChannel);
    if (priority > kChannelCount)
        priority = 0;
    if (priority != 0 && !IsChannelInUse(image, priority, band))
        priority = 0;
    f.priorityChannel = priority;

    const std::uint8_t fc2 = image.at(kFc2);
    f.batterySave = fc2 & 0x04;
    f.scrambler = fc2 & 0x10;
    f.beepTone = fc2 & 0x40;
    f.manual = fc2 & 0x80;
    if (!(fc2 & 0x02))
        f.chordLanguage = ChordLanguage::Off;
    else
        f.chordLanguage = (fc2 & 0x01) ? ChordLanguage::Chinese : ChordLanguage::English;

    f.pttIdAni = readRun(image, addr::kPttIdAni, 4, [](std::uint8_t b) { return b >= '0' && b <= '9'; });
    f.pttIdName = readRun(image, addr::kPttIdName, 6,
                          [](std::uint8_t b) { return (b >= 'A' && b <= 'Z') || (b >= '1' && b <= '9'); });
    return f;
}

void EncodeOptionalFeature(MemoryImage &image, FieldId field, int value)
{
    const auto byte = [](int v) { return static_cast<std::uint8_t>(v); };
    switch (field) {
    case FieldId::TimeOutTimer: image.set(kTimeOut, byte(indexOrZero(value, kMaxTimeOut))); break;
    case FieldId::SquelchLevel: image.set(kSquelch, byte(indexOrZero(value, kMaxSquelch))); break;
    case FieldId::ChannelDisplay: image.setMasked(kFc0, 0x02, byte(indexOrZero(value, 1) * 2)); break;
    case FieldId::ScanMode: {
        const int scan = indexOrZero(value, 3);
        image.setMasked(kFc0, 0x70, scan == 0 ? 0x00 : byte(0x10 << (scan - 1)));
        break;
    }
    case FieldId::Lamp: image.setMasked(kFc1, 0x18, byte(indexOrZero(value, kLampItems - 1) * 8)); break;
    case FieldId::PriorityChannel:
        image.set(addr::kPriorityChannel, byte(indexOrZero(value, kChannelCount)));
        break;
    case FieldId::RevertFrequency: image.setBit(kFc0, 3, value != 0); break;
    case FieldId::BeepTone: image.setBit(kFc2, 6, value != 0); break;
    case FieldId::BatterySave: image.setBit(kFc2, 2, value != 0); break;
    case FieldId::FeatureScrambler: image.setBit(kFc2, 4, value != 0); break;
    case FieldId::KeyLock: image.setBit(kFc0, 7, value != 0); break;
    case FieldId::Manual: image.setBit(kFc2, 7, value != 0); break;
    case FieldId::VoxGain: image.set(kVoxGain, byte(indexOrZero(value, kMaxVoxGain))); break;
    case FieldId::VoxDelay: image.set(kVoxDelay, byte(indexOrZero(value, kMaxVoxDelay))); break;
    default:
        throw std::invalid_argument("not a writable settings field");
    }
}

void EncodeOptionalFeatures(MemoryImage &image, const OptionalFeatures &f)
{
    for (const FieldInfo &field : FieldsOf(FieldScope::Settings)) {
        if (field.kind == FieldKind::Choice && !field.readOnly)
            EncodeOptionalFeature(image, field.id, ReadChoice(f, field.id));
    }
}

} // namespace zrk6

#include "document/arrived_image.h"

#include "model/channel_record.h"
#include "model/vfo.h"

namespace zrk6 {

MemoryImage PrepareArrivedImage(MemoryImage image, const Band &band)
{
    const std::uint8_t model = image.at(addr::kModel);
    image.set(addr::kModel, ModelTable()[static_cast<std::size_t>(ModelIndexFromByte(model))].modelByte);
    const VfoFields vfo = ReadVfo(image, kEnglish);
    if (vfo.step >= 0 && vfo.step < kVfoStepCount) {
        StoreVfoRxFrequency(image, vfo.rxText, band);
        StoreVfoOffset(image, vfo.offsetText, band);
    }
    if (vfo.duplex >= 0 && vfo.duplex <= 2)
        SetVfoDuplex(image, vfo.duplex, band);
    WriteVfoTone(image, vfo::kDecode, vfo.decodeText);
    WriteVfoTone(image, vfo::kEncode, vfo.encodeText);
    for (int channel = 1; channel <= kChannelCount; ++channel)
        ShowChannelRow(image, channel, band, kEnglish);
    return image;
}

} // namespace zrk6

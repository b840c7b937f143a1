#include "model/image_normalise.h"

#include <utility>

#include "model/channel_record.h"
#include "model/vfo.h"

namespace zrk6 {

MemoryImage NormaliseImage(MemoryImage image, const Band &band)
{
    const auto &models = ModelTable();
    image.set(addr::kModel, models[static_cast<std::size_t>(ModelIndexFromByte(image.at(addr::kModel)))].modelByte);
    NormaliseVfo(image, band);
    for (int channel = 1; channel <= kChannelCount; ++channel)
        NormaliseChannel(image, channel, band);
    return image;
}

MemoryImage FreshImage(MemoryImage current, const Band &band)
{
    BuildDefaultImage(current, band);
    return NormaliseImage(std::move(current), band);
}

} // namespace zrk6

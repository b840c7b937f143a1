#pragma once

#include <initializer_list>
#include <memory>

#include <QString>

#include "document/image_document.h"
#include "model/app_state.h"
#include "model/band.h"
#include "model/channel_record.h"
#include "record_fixtures.h"

namespace zrk6::test {

// What a dialog is opened on: the shared state and the document.
struct DialogDoc {
    AppState state;
    ImageDocument doc;

    // Sets a byte before the dialog opens, as any edit would.
    void set(int address, std::uint8_t value)
    {
        doc.apply(QStringLiteral("set up"), [&](MemoryImage &image) { image.set(address, value); });
    }
    void edit(const ImageDocument::Edit &change) { doc.apply(QStringLiteral("set up"), change); }
};

// A default 144 - 146 MHz document with the given channels in use. Channel n receives on
// 144.000 + n * 0.0125 MHz; odd channels also transmit 0.3 MHz above with tone "67.0".
inline std::unique_ptr<DialogDoc> StateWithChannels(std::initializer_list<int> channels,
                                                    LanguageMode language = kEnglish)
{
    auto d = std::make_unique<DialogDoc>();
    d->state.language = language;
    const Band band;
    MemoryImage image;
    BuildDefaultImage(image, band);
    for (int n : channels) {
        const double rx = 144.0 + n * 0.0125;
        StoreRxFrequency(image, n, QString::number(rx, 'f', 5).toStdString(), band);
        if (n % 2 == 1) {
            StoreTxFrequency(image, n, QString::number(rx + 0.3, 'f', 5).toStdString());
            WriteChannelTone(image, n, ChannelColumn::Encode, "67.0");
        }
    }
    d->doc.replace(image, band, std::string(kUntitled));
    return d;
}

inline QString Cell(const DialogDoc &d, int channel, ChannelColumn column)
{
    return QString::fromStdString(ChannelRowTexts(d.doc.image(), channel, d.doc.band(),
                                                  d.state.language)[static_cast<std::size_t>(column)]);
}

} // namespace zrk6::test

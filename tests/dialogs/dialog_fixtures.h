#pragma once

#include <initializer_list>

#include <QString>

#include "model/app_state.h"
#include "model/band.h"
#include "model/channel_record.h"

namespace zrk6::test {

// A default 144 - 146 MHz document with the given channels in use. Channel n receives on
// 144.000 + n * 0.0125 MHz; odd channels also transmit 0.3 MHz above with tone "67.0".
inline AppState StateWithChannels(std::initializer_list<int> channels, LanguageMode language = kEnglish)
{
    AppState state;
    state.language = language;
    BuildDefaultImage(state.doc.image, state.doc.band);
    for (int n : channels) {
        const double rx = 144.0 + n * 0.0125;
        StoreRxFrequency(state.doc.image, n, QString::number(rx, 'f', 5).toStdString(), state.doc.band);
        if (n % 2 == 1) {
            StoreTxFrequency(state.doc.image, n, QString::number(rx + 0.3, 'f', 5).toStdString());
            WriteChannelTone(state.doc.image, n, ChannelColumn::Encode, "67.0");
        }
    }
    state.doc.TakeSnapshot();
    return state;
}

inline QString Cell(const AppState &state, int channel, ChannelColumn column)
{
    return QString::fromStdString(
        ChannelRowTexts(state.doc.image, channel, state.doc.band, state.language)[static_cast<std::size_t>(column)]);
}

} // namespace zrk6::test

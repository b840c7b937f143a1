#include "mainwindow/channel_commands.h"

#include "dialogs/copy_dialog.h"
#include "document/image_document.h"
#include "mainwindow/command_names.h"
#include "mainwindow/main_views.h"
#include "model/app_state.h"
#include "model/bcd_freq.h"
#include "model/channel_moves.h"
#include "text/text_ids.h"
#include "ui/prompts.h"

namespace zrk6 {

ChannelCommands::ChannelCommands(AppState &state, ImageDocument &document, Prompts &prompts)
    : state_(state), document_(document), prompts_(prompts)
{
}

ChannelValue ChannelCommands::channelValue(int channel) const
{
    return ReadChannel(document_.image(), channel, document_.band());
}

std::optional<FreqUnits> ChannelCommands::roundedFrequency(QWidget *parent, const QString &text) const
{
    if (text.isEmpty())
        return std::nullopt;
    const RoundedFrequency rounded = RoundFrequencyText(text.toStdString(), document_.band());
    if (rounded.outOfRange) {
        PromptMessage m = TextMessage(text_id::kFrequencyOutOfRange, state_.language, ProductTitle(), QMessageBox::Warning);
        m.text = ToQString(OutOfRangeText(rounded, document_.band(), state_.language));
        prompts_.message(parent, m);
    }
    return ParseFreqText(rounded.text);
}

void ChannelCommands::setField(int channel, ChannelColumn column, const ChannelValue &value)
{
    const Band band = document_.band();
    document_.apply(ChannelFieldStep(channel, column),
                    [&](MemoryImage &image) { WriteChannelField(image, channel, column, value, band); });
}

void ChannelCommands::commitFrequency(QWidget *parent, int channel, ChannelColumn column, const QString &text)
{
    const ChannelValue before = channelValue(channel);
    ChannelValue value = before;
    (column == ChannelColumn::RxFreq ? value.rx : value.tx) = roundedFrequency(parent, text);
    const bool simplex = !before.rx || before.tx == before.rx;
    if (!txFollowsRx_ || column != ChannelColumn::RxFreq || !value.rx || !simplex) {
        setField(channel, column, value);
        return;
    }
    // Both frequencies change in the one step of the RX cell.
    value.tx = value.rx;
    const Band band = document_.band();
    document_.apply(ChannelFieldStep(channel, column),
                    [&](MemoryImage &image) { WriteChannel(image, channel, value, band); });
}

void ChannelCommands::commitItem(int channel, ChannelColumn column, const QString &text)
{
    ChannelValue value = channelValue(channel);
    const std::string item = text.toStdString();
    if (column == ChannelColumn::Decode || column == ChannelColumn::Encode)
        (column == ChannelColumn::Decode ? value.decode : value.encode) = ToneFromText(item).value_or(Tone{});
    else
        ParseChannelOption(value, column, item, state_.language);
    setField(channel, column, value);
}

std::unique_ptr<CopyDialog> ChannelCommands::copyDialog(QWidget *parent, int mode, int channel)
{
    state_.copyMode = mode;
    state_.currentChannel = channel;
    auto dialog = std::make_unique<CopyDialog>(state_, document_, prompts_, parent);
    QObject::connect(dialog.get(), &CopyDialog::channelCopyChosen, dialog.get(), [this](int from, int to) {
        const Band band = document_.band();
        document_.apply(CommandStep(command_text::kCopyChannel, QString::number(from), QString::number(to)),
                        [&](MemoryImage &image) {
                            const int source = ChannelRow(from) * kRowSize;
                            const int target = ChannelRow(to) * kRowSize;
                            for (int k = 0; k < kRowSize; ++k)
                                image.set(target + k, image.at(source + k));
                            NormaliseChannel(image, to, band);
                        });
    });
    // The frequency and tone copies set one field, named as the copy.
    auto setCopied = [this](int textId, int channel, ChannelColumn column, const ChannelValue &value) {
        const Band band = document_.band();
        document_.apply(CommandStep(textId, QString::number(channel)),
                        [&](MemoryImage &image) { WriteChannelField(image, channel, column, value, band); });
    };
    QObject::connect(dialog.get(), &CopyDialog::transmitChosen, dialog.get(),
                     [this, setCopied](int channel, const QString &frequency) {
                         ChannelValue value = channelValue(channel);
                         value.tx = frequency.isEmpty() ? std::nullopt : ParseFreqText(frequency.toStdString());
                         setCopied(command_text::kFrequencyCopy, channel, ChannelColumn::TxFreq, value);
                     });
    QObject::connect(dialog.get(), &CopyDialog::encodeToneChosen, dialog.get(),
                     [this, setCopied](int channel, const QString &tone) {
                         ChannelValue value = channelValue(channel);
                         value.encode = ToneFromText(tone.toStdString()).value_or(Tone{});
                         setCopied(command_text::kToneCopy, channel, ChannelColumn::Encode, value);
                     });
    return dialog;
}

void ChannelCommands::copy(QWidget *parent, int mode, int channel)
{
    copyDialog(parent, mode, channel)->exec();
}

bool ChannelCommands::insertChannel(int channel)
{
    if (IsChannelInUse(document_.image(), kChannelCount, document_.band()))
        return false;
    document_.apply(CommandStep(command_text::kInsertChannel, QString::number(channel)),
                    [&](MemoryImage &image) { InsertChannel(image, channel); });
    return true;
}

void ChannelCommands::deleteChannel(int channel)
{
    document_.apply(CommandStep(command_text::kDeleteChannel, QString::number(channel)),
                    [&](MemoryImage &image) { DeleteChannel(image, channel); });
}

} // namespace zrk6

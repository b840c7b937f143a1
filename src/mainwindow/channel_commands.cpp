#include "mainwindow/channel_commands.h"

#include "dialogs/copy_dialog.h"
#include "document/image_document.h"
#include "mainwindow/command_names.h"
#include "mainwindow/main_views.h"
#include "model/app_state.h"
#include "model/bcd_freq.h"
#include "model/channel_moves.h"
#include "ui/prompts.h"

namespace zrk6 {

ChannelCommands::ChannelCommands(AppState &state, ImageDocument &document, Prompts &prompts)
    : state_(state), document_(document), prompts_(prompts)
{
}

void ChannelCommands::commitFrequency(QWidget *parent, int channel, ChannelColumn column, const QString &text)
{
    const Band band = document_.band();
    const QString name = ChannelFieldCommandName(channel, column, state_.language);
    if (text.isEmpty()) {
        document_.apply(name, [&](MemoryImage &image) {
            if (column == ChannelColumn::RxFreq)
                EraseChannel(image, channel);
            else
                RemoveTxFrequency(image, channel);
        });
        return;
    }
    const RoundedFrequency rounded = RoundFrequencyText(text.toStdString(), band);
    if (rounded.outOfRange)
        prompts_.message(parent, TextMessage(1229, state_.language, ProductTitle(), QMessageBox::Warning));
    document_.apply(name, [&](MemoryImage &image) {
        if (column == ChannelColumn::RxFreq)
            StoreRxFrequency(image, channel, rounded.text, band);
        else
            StoreTxFrequency(image, channel, rounded.text);
    });
}

void ChannelCommands::commitItem(int channel, ChannelColumn column, const QString &text)
{
    const std::string item = text.toStdString();
    document_.apply(ChannelFieldCommandName(channel, column, state_.language), [&](MemoryImage &image) {
        if (column == ChannelColumn::Decode || column == ChannelColumn::Encode)
            WriteChannelTone(image, channel, column, item);
        else
            WriteChannelOption(image, channel, column, item, state_.language);
    });
}

std::unique_ptr<CopyDialog> ChannelCommands::copyDialog(QWidget *parent, int mode, int channel)
{
    state_.copyMode = mode;
    state_.currentChannel = channel;
    auto dialog = std::make_unique<CopyDialog>(state_, document_, prompts_, parent);
    const LanguageMode lang = state_.language;
    QObject::connect(dialog.get(), &CopyDialog::channelCopyChosen, dialog.get(), [this, lang](int from, int to) {
        const Band band = document_.band();
        document_.apply(CommandName(command_text::kCopyChannel, lang, QString::number(from), QString::number(to)),
                        [&](MemoryImage &image) {
                            const int source = ChannelRow(from) * kRowSize;
                            const int target = ChannelRow(to) * kRowSize;
                            for (int k = 0; k < kRowSize; ++k)
                                image.set(target + k, image.at(source + k));
                            ShowChannelRow(image, to, band, lang);
                        });
    });
    QObject::connect(dialog.get(), &CopyDialog::transmitChosen, dialog.get(),
                     [this, lang](int channel, const QString &frequency) {
                         document_.apply(CommandName(command_text::kFrequencyCopy, lang, QString::number(channel)),
                                         [&](MemoryImage &image) {
                                             if (frequency.isEmpty())
                                                 RemoveTxFrequency(image, channel);
                                             else
                                                 StoreTxFrequency(image, channel, frequency.toStdString());
                                         });
                     });
    QObject::connect(dialog.get(), &CopyDialog::encodeToneChosen, dialog.get(),
                     [this, lang](int channel, const QString &tone) {
                         document_.apply(CommandName(command_text::kToneCopy, lang, QString::number(channel)),
                                         [&](MemoryImage &image) {
                                             WriteChannelTone(image, channel, ChannelColumn::Encode,
                                                              tone.toStdString());
                                         });
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
    document_.apply(CommandName(command_text::kInsertChannel, state_.language, QString::number(channel)),
                    [&](MemoryImage &image) { InsertChannel(image, channel); });
    return true;
}

void ChannelCommands::deleteChannel(int channel)
{
    document_.apply(CommandName(command_text::kDeleteChannel, state_.language, QString::number(channel)),
                    [&](MemoryImage &image) { DeleteChannel(image, channel); });
}

} // namespace zrk6

#pragma once

#include <memory>
#include <optional>

#include <QString>

#include "model/channel_record.h"

class QWidget;

namespace zrk6 {

struct AppState;
class CopyDialog;
class ImageDocument;
class Prompts;

// The channel edits of the grid as document commands, one undo step each: committing a
// cell, the three copies, inserting and deleting a channel.
class ChannelCommands {
public:
    ChannelCommands(AppState &state, ImageDocument &document, Prompts &prompts);

    // A frequency cell (RxFreq or TxFreq) committed with text as typed: rounded into the
    // band (message 1229 over parent when it had to be moved), then stored; an empty text
    // erases the channel (RxFreq) or removes its transmit part (TxFreq).
    void commitFrequency(QWidget *parent, int channel, ChannelColumn column, const QString &text);
    // A tone cell (Decode, Encode) or an option cell (W/N .. Scrambler) set to the item text.
    void commitItem(int channel, ChannelColumn column, const QString &text);
    // When on, a receive frequency typed into an empty channel gives it the same transmit
    // frequency, and a channel whose TX equals its RX keeps them equal when RX changes.
    void setTxFollowsRx(bool on) { txFollowsRx_ = on; }
    bool txFollowsRx() const { return txFollowsRx_; }

    // Sets one field of a channel to its value in value, as committing that cell does.
    void setField(int channel, ChannelColumn column, const ChannelValue &value);

    // The copy dialog of mode (0 channel, 1 frequency, 2 tone copy) for channel, wired so
    // that each choice is applied as it is made. copy() shows it modally.
    std::unique_ptr<CopyDialog> copyDialog(QWidget *parent, int mode, int channel);
    void copy(QWidget *parent, int mode, int channel);

    // Inserts an empty channel at channel; refused (false) when channel 128 is in use.
    bool insertChannel(int channel);
    void deleteChannel(int channel);

private:
    ChannelValue channelValue(int channel) const;
    std::optional<FreqUnits> roundedFrequency(QWidget *parent, const QString &text) const;

    AppState &state_;
    ImageDocument &document_;
    Prompts &prompts_;
    bool txFollowsRx_ = false;
};

} // namespace zrk6

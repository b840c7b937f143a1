#pragma once

#include <QAbstractTableModel>

#include "model/channel_record.h"
#include "model/fields.h"
#include "text/text_ids.h"

class QWidget;

namespace zrk6 {

struct AppState;
class ChannelCommands;
class ImageDocument;

// The 128 channels of the document as a table: one row per channel, one column per field of
// the record in grid order. Each cell gives its display text, its edit value (a frequency's
// text, a tone's or a choice's stored value) and what a screen reader says for it. Writing a
// cell is a channel command on the document; the model never writes the image itself and
// follows the document's changes.
class ChannelTableModel final : public QAbstractTableModel {
    Q_OBJECT

public:
    // The column header's text id above the row labels ("CH").
    static constexpr int kChannelHeaderId = text_id::kChannelHeading;

    ChannelTableModel(AppState &state, ImageDocument &document, ChannelCommands &commands,
                      QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    // EditRole: a frequency as text (empty erases), a tone or a choice as its stored value.
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

    // Channel 1..128 and grid column 1..9 of an index, and back.
    static int channelOf(const QModelIndex &index) { return index.row() + 1; }
    static ChannelColumn columnOf(const QModelIndex &index) { return static_cast<ChannelColumn>(index.column()); }
    QModelIndex cell(int channel, ChannelColumn column) const
    {
        return index(channel - 1, static_cast<int>(column));
    }

    bool inUse(int channel) const;
    bool transmits(int channel) const;

    // A tone as one stored value (its two bytes, low first), and back.
    static int toneValue(const Tone &tone);
    static Tone toneOf(int value);

    // The items of a list column in list order: text and stored value.
    struct Item {
        QString text;
        int value;
    };
    QList<Item> items(ChannelColumn column) const;

    // A list opened on a cell: the changes made until it closes are one undo step, and
    // ending it with restore puts back the value the cell had when it opened.
    void beginListEdit(const QModelIndex &index);
    void endListEdit(bool restore);

    // Where frequency messages are shown.
    void setDialogParent(QWidget *parent) { dialogParent_ = parent; }
    // Texts in the language of the state (headers, choice texts, descriptions).
    void languageChanged();

private:
    QString text(int id) const;
    void channelsChanged(int first, int last);

    AppState &state_;
    ImageDocument &document_;
    ChannelCommands &commands_;
    QWidget *dialogParent_ = nullptr;
    // The undo steps on the stack when a list opened, and whether it has written since.
    int listIndex_ = -1;
    bool listWrote_ = false;
};

} // namespace zrk6

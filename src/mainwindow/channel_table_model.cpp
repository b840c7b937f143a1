#include "mainwindow/channel_table_model.h"

#include <algorithm>

#include "document/image_document.h"
#include "mainwindow/channel_commands.h"
#include "model/app_state.h"
#include "model/tone.h"
#include "text/text_ids.h"
#include "text/text_qstring.h"

namespace zrk6 {

namespace {

constexpr int kTextEmptyCell = text_id::kEmptyCell;       // what a reader says for a blank cell
constexpr int kTextCellDescription = text_id::kCellDescription; // "Channel %1, %2"

bool IsFrequency(ChannelColumn column)
{
    return column == ChannelColumn::RxFreq || column == ChannelColumn::TxFreq;
}

bool IsTone(ChannelColumn column)
{
    return column == ChannelColumn::Decode || column == ChannelColumn::Encode;
}

} // namespace

ChannelTableModel::ChannelTableModel(AppState &state, ImageDocument &document, ChannelCommands &commands,
                                     QObject *parent)
    : QAbstractTableModel(parent), state_(state), document_(document), commands_(commands)
{
    // The rows follow the document: those a change touches, or all of them.
    connect(&document, &ImageDocument::imageChanged, this, [this](const std::vector<AddressRange> &ranges) {
        for (const AddressRange &range : ranges) {
            if (range.begin >= kChannelCount * kRowSize)
                continue;
            const int last = std::min(range.end - 1, kChannelCount * kRowSize - 1);
            channelsChanged(range.begin / kRowSize + 1, last / kRowSize + 1);
        }
    });
    connect(&document, &ImageDocument::bandChanged, this, [this] { channelsChanged(1, kChannelCount); });
    connect(&document, &ImageDocument::replaced, this, [this] { channelsChanged(1, kChannelCount); });
}

QString ChannelTableModel::text(int id) const
{
    return LoadQText(id, state_.language);
}

void ChannelTableModel::channelsChanged(int first, int last)
{
    emit dataChanged(index(first - 1, 0), index(last - 1, kChannelColumns - 1));
}

void ChannelTableModel::languageChanged()
{
    emit headerDataChanged(Qt::Horizontal, 0, kChannelColumns - 1);
    channelsChanged(1, kChannelCount);
}

int ChannelTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : kChannelCount;
}

int ChannelTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : kChannelColumns;
}

bool ChannelTableModel::inUse(int channel) const
{
    return IsChannelInUse(document_.image(), channel, document_.band());
}

bool ChannelTableModel::transmits(int channel) const
{
    return ReadChannel(document_.image(), channel, document_.band()).tx.has_value();
}

int ChannelTableModel::toneValue(const Tone &tone)
{
    const ToneBytes bytes = EncodeTone(tone);
    return bytes.low | (bytes.high << 8);
}

Tone ChannelTableModel::toneOf(int value)
{
    return DecodeTone({static_cast<std::uint8_t>(value & 0xFF), static_cast<std::uint8_t>((value >> 8) & 0xFF)});
}

QList<ChannelTableModel::Item> ChannelTableModel::items(ChannelColumn column) const
{
    QList<Item> list;
    if (IsTone(column)) {
        for (const std::string &name : BuildToneList(state_.language))
            list.append({QString::fromStdString(name), toneValue(ToneFromText(name).value_or(Tone{}))});
    } else if (!IsFrequency(column)) {
        const FieldId field = FieldOf(column);
        for (const Choice &choice : Field(field).choices)
            list.append({QString::fromStdString(ChoiceText(choice, state_.language)), choice.value});
    }
    return list;
}

QVariant ChannelTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    const int channel = channelOf(index);
    const ChannelColumn column = columnOf(index);
    auto display = [&] {
        return QString::fromStdString(
            FieldText(document_.image(), document_.band(), FieldOf(column), state_.language, channel));
    };
    switch (role) {
    case Qt::DisplayRole:
        return display();
    case Qt::EditRole: {
        if (IsFrequency(column))
            return display();
        const ChannelValue value = ReadChannel(document_.image(), channel, document_.band());
        if (IsTone(column))
            return toneValue(column == ChannelColumn::Decode ? value.decode : value.encode);
        return ReadChoice(value, FieldOf(column));
    }
    case Qt::AccessibleTextRole: {
        const QString shown = display();
        return shown.isEmpty() ? text(kTextEmptyCell) : shown;
    }
    case Qt::AccessibleDescriptionRole:
        return text(kTextCellDescription).arg(channel).arg(headerData(index.column(), Qt::Horizontal).toString());
    case Qt::TextAlignmentRole:
        return int(Qt::AlignCenter);
    default:
        return {};
    }
}

QVariant ChannelTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role == Qt::TextAlignmentRole)
        return int(Qt::AlignCenter);
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return QString::number(section + 1);
    if (section < 0 || section >= kChannelColumns)
        return {};
    return text(kChannelColumnTextIds[static_cast<std::size_t>(section)]);
}

Qt::ItemFlags ChannelTableModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
}

bool ChannelTableModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || role != Qt::EditRole)
        return false;
    const int channel = channelOf(index);
    const ChannelColumn column = columnOf(index);
    if (IsFrequency(column)) {
        const QString typed = value.toString();
        if (typed == data(index, Qt::DisplayRole).toString())
            return false; // the unchanged text writes nothing
        commands_.commitFrequency(dialogParent_, channel, column, typed);
        return true;
    }
    const bool listOpen = listIndex_ >= 0;
    if (listOpen && listWrote_) {
        // One step per opened list: the previous choice is taken back before the new one.
        document_.undoStack().undo();
        listWrote_ = false;
    }
    const QVariant before = data(index, Qt::EditRole);
    if (before == value)
        return false;
    ChannelValue record = ReadChannel(document_.image(), channel, document_.band());
    if (IsTone(column))
        (column == ChannelColumn::Decode ? record.decode : record.encode) = toneOf(value.toInt());
    else
        SetChoice(record, FieldOf(column), value.toInt());
    commands_.setField(channel, column, record);
    listWrote_ = listOpen;
    return true;
}

void ChannelTableModel::beginListEdit(const QModelIndex &)
{
    listIndex_ = document_.undoStack().index();
    listWrote_ = false;
}

void ChannelTableModel::endListEdit(bool restore)
{
    if (listIndex_ < 0)
        return;
    if (restore && listWrote_)
        document_.undoStack().undo();
    listIndex_ = -1;
    listWrote_ = false;
}

} // namespace zrk6

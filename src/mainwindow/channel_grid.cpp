#include "mainwindow/channel_grid.h"

#include <algorithm>

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRegularExpression>
#include <QResizeEvent>
#include <QScrollBar>
#include <QStyle>

#include "document/image_document.h"
#include "mainwindow/channel_commands.h"
#include "mainwindow/channel_table_model.h"
#include "mainwindow/channel_table_view.h"
#include "model/app_state.h"
#include "model/bcd_freq.h"
#include "model/channel_record.h"
#include "text/text_ids.h"
#include "text/text_qstring.h"
#include "ui/accessibility.h"

namespace zrk6 {

namespace {

constexpr int kTextMemoryChannel = text_id::kMemoryChannel;

constexpr int kColRx = 1;
constexpr int kColTx = 2;
constexpr int kColDecode = 3;
constexpr int kColEncode = 4;
constexpr int kColFirstOption = 5;
constexpr int kColLast = 9;

// The hidden gesture's area, in inches (points / 72) from the table's top-left corner: where the
// "TX Freq" and "Decode" headers meet with the table scrolled fully left (bounds exclusive).
constexpr double kGestureLeft = 125.0 / 72;
constexpr double kGestureRight = 175.0 / 72;
constexpr double kGestureBottom = 12.5 / 72;

// A digit or decimal key that starts an entry on the grid: main keyboard, keypad, or the
// keypad's decimal key (which some layouts report as a comma).
QChar EntryCharacter(int key, bool keypad)
{
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return QChar('0' + (key - Qt::Key_0));
    if (key == Qt::Key_Period || (keypad && key == Qt::Key_Comma))
        return QChar('.');
    return QChar();
}

bool IsEnterKey(int key)
{
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

// A clipboard text that is one frequency as the entry takes it: digits and one ".", at most
// nine characters.
bool IsFrequencyEntry(const QString &text)
{
    static const QRegularExpression digits(QStringLiteral("^[0-9]*\\.?[0-9]*$"));
    return !text.isEmpty() && text.size() <= 9 && digits.match(text).hasMatch() &&
           ParseFreqText(text.toStdString()).has_value();
}

} // namespace

struct ChannelGrid::Impl {
    ChannelGrid *q;
    AppState &state;
    ImageDocument &document;
    ChannelCommands &commands;
    ChannelTableModel *model = nullptr;
    ChannelTableView *view = nullptr;
    QList<int> designWidths; // the data columns' widths as fitted to their texts

    Impl(ChannelGrid *owner, AppState &s, ImageDocument &doc, ChannelCommands &c)
        : q(owner), state(s), document(doc), commands(c)
    {
    }

    bool inUse(int channel) const { return model->inUse(channel); }
    bool transmits(int channel) const { return model->transmits(channel); }

    // The left-button and Enter rule: an empty channel always edits its RX frequency, and
    // Encode without a TX frequency edits the TX frequency.
    void clickCurrentCell()
    {
        const int row = view->row();
        if (row < 1)
            return;
        if (inUse(row)) {
            if (!transmits(row) && view->col() == kColEncode)
                view->setCol(kColTx);
        } else if (view->col() != kColRx) {
            view->setCol(kColRx);
        }
        view->openCellEditor();
    }

    QLineEdit *openLineEdit() const { return qobject_cast<QLineEdit *>(view->channelDelegate()->openEditor()); }

    void startEntry(QChar character)
    {
        if (view->col() == kColTx && !inUse(view->row()))
            view->setCol(kColRx);
        view->openCellEditor();
        if (QLineEdit *line = openLineEdit()) {
            line->setText(QString(character));
            line->setCursorPosition(1);
        }
    }

    // Back on the grid from an editor: the reader speaks the current cell again.
    void returnToCell()
    {
        view->setFocus(Qt::OtherFocusReason);
        AnnounceCurrentCell(view);
    }

    void dropDownEnter(bool tones)
    {
        const int row = view->row();
        const int col = view->col();
        view->closeCellEditor();
        if (!tones) {
            if (col < kColLast) {
                view->setCol(col + 1);
            } else if (row < kChannelCount) {
                view->setCurrentCell(row + 1, kColRx);
                view->scrollToCurrent();
            }
        } else if (col == kColDecode) {
            view->setCol(transmits(row) ? kColEncode : kColFirstOption);
        } else if (col == kColEncode) {
            view->setCol(kColFirstOption);
        }
        returnToCell();
    }

    void moveChannels(bool insert)
    {
        // A typed entry is committed first, so the move never overwrites or drops it.
        view->closeCellEditor();
        view->setFocus(Qt::OtherFocusReason);
        const int channel = view->row();
        if (channel < 1)
            return;
        if (insert)
            commands.insertChannel(channel);
        else
            commands.deleteChannel(channel);
    }

    // Channel and frequency copy need a receive frequency, tone copy a transmit one.
    struct CopyKey {
        int functionKey;
        int letter;
        bool needsTransmit;
    };
    static constexpr CopyKey kCopyKeys[] = {
        {Qt::Key_F3, Qt::Key_E, false}, {Qt::Key_F4, Qt::Key_F, false}, {Qt::Key_F5, Qt::Key_Q, true}};

    // The copy window of mode (0 channel, 1 frequency, 2 tone copy) for the current row,
    // when its channel has what that copy needs.
    void copyCurrent(int mode)
    {
        const int channel = view->row();
        if (channel < 1)
            return;
        if (kCopyKeys[mode].needsTransmit ? transmits(channel) : inUse(channel)) {
            state.copyMode = mode;
            state.currentChannel = channel;
            emit q->copyRequested(mode, channel);
        }
    }

    // The channel command keys; true when the key is one of them (it is then consumed).
    bool handleChannelKeys(int key, Qt::KeyboardModifiers shift)
    {
        const bool withShift = shift == Qt::ShiftModifier;
        const bool withCtrl = shift == Qt::ControlModifier;
        auto is = [&](int functionKey, int letter) {
            return (withShift && key == functionKey) || (withCtrl && key == letter);
        };
        if (view->row() < 1)
            return false;
        for (int mode = 0; mode < 3; ++mode) {
            if (is(kCopyKeys[mode].functionKey, kCopyKeys[mode].letter)) {
                copyCurrent(mode);
                return true;
            }
        }
        if (is(Qt::Key_F9, Qt::Key_I)) {
            moveChannels(true);
            return true;
        }
        if (is(Qt::Key_F10, Qt::Key_D)) {
            moveChannels(false);
            return true;
        }
        return false;
    }

    void gridKeyDown(int key, Qt::KeyboardModifiers shift, bool keypad, bool *handled)
    {
        if (IsEnterKey(key)) {
            *handled = true;
            clickCurrentCell();
            return;
        }
        const QChar entry = EntryCharacter(key, keypad);
        if (!entry.isNull() && (shift & (Qt::ControlModifier | Qt::AltModifier)) == 0) {
            *handled = true;
            if (view->col() == kColRx || view->col() == kColTx)
                startEntry(entry);
            return;
        }
        *handled = handleChannelKeys(key, shift);
    }

    void rightButtonUp(Qt::KeyboardModifiers shift, const QPoint &at)
    {
        const auto all = Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier;
        const double x = at.x() / double(std::max(1, view->logicalDpiX()));
        const double y = at.y() / double(std::max(1, view->logicalDpiY()));
        if (shift == all && x > kGestureLeft && x < kGestureRight && y > 0 && y < kGestureBottom)
            emit q->memoryMapRequested();
    }

    // A single frequency pasted into the entry; any other text is refused.
    void pasteIntoEntry(QLineEdit *line)
    {
        const QString pasted = QApplication::clipboard()->text().trimmed();
        if (IsFrequencyEntry(pasted))
            line->setText(pasted);
    }

    // Keys typed into an open editor; true when consumed here.
    bool editorKey(QWidget *editor, QKeyEvent *event)
    {
        const int key = event->key();
        const Qt::KeyboardModifiers shift =
            event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
        if (handleChannelKeys(key, shift))
            return true;
        if (auto *line = qobject_cast<QLineEdit *>(editor)) {
            if (IsEnterKey(key)) {
                view->closeCellEditor();
                view->setCol(view->col() + 1);
                returnToCell();
                return true;
            }
            if (key == Qt::Key_Escape) {
                view->closeCellEditor(true);
                returnToCell();
                return true;
            }
            if (event->matches(QKeySequence::Paste) || (key == Qt::Key_Insert && shift == Qt::ShiftModifier)) {
                pasteIntoEntry(line);
                return true;
            }
            return false;
        }
        const bool tones = editor->objectName() == QLatin1String("cboFeature0");
        if (IsEnterKey(key)) {
            dropDownEnter(tones);
            return true;
        }
        if (key == Qt::Key_Escape) {
            view->closeCellEditor(true);
            returnToCell();
            return true;
        }
        if (shift == Qt::ShiftModifier && (key == Qt::Key_Up || key == Qt::Key_Down)) {
            // Shift with Up or Down extends the row selection; it never changes the choice.
            view->closeCellEditor();
            returnToCell();
            view->extendByKey(event);
            return true;
        }
        return false;
    }
};

ChannelGrid::ChannelGrid(AppState &state, ImageDocument &document, ChannelCommands &commands, QWidget *parent)
    : QWidget(parent), d_(std::make_unique<Impl>(this, state, document, commands))
{
    d_->model = new ChannelTableModel(state, document, commands, this);
    d_->model->setDialogParent(this);
    d_->view = new ChannelTableView(*d_->model, this);
    setFocusProxy(d_->view);

    ChannelTableView &v = *d_->view;
    // Tall enough for the editors and for Chinese glyphs.
    const int rowHeight = fontMetrics().height() + 10;
    v.verticalHeader()->setDefaultSectionSize(rowHeight);
    v.horizontalHeader()->setFixedHeight(rowHeight);

    v.channelDelegate()->keyHandler = [this](QWidget *editor, QKeyEvent *event) { return d_->editorKey(editor, event); };
    connect(&v, &ChannelTableView::keyDown, this,
            [this](int key, Qt::KeyboardModifiers shift, bool keypad, bool *handled) {
                d_->gridKeyDown(key, shift, keypad, handled);
            });
    connect(&v, &ChannelTableView::cellClicked, this, [this] { d_->clickCurrentCell(); });
    connect(&v, &ChannelTableView::rightButtonUp, this,
            [this](Qt::KeyboardModifiers shift, const QPoint &at) { d_->rightButtonUp(shift, at); });
    connect(&v, &ChannelTableView::scrolled, this, [this] { d_->view->closeCellEditor(); });
    connect(v.selectionModel(), &QItemSelectionModel::currentChanged, this, [this](const QModelIndex &current) {
        if (current.isValid())
            d_->state.currentChannel = current.row() + 1;
    });

    v.setCurrentCell(1, 1);
    applyCaptions();
}

ChannelGrid::~ChannelGrid()
{
    // The editors' last events must not reach the rules.
    d_->view->channelDelegate()->keyHandler = nullptr;
    QObject::disconnect(d_->view, nullptr, this, nullptr);
    QObject::disconnect(d_->view->selectionModel(), nullptr, this, nullptr);
}

void ChannelGrid::showAllRows()
{
    d_->model->languageChanged();
}

void ChannelGrid::showRow(int channel)
{
    if (channel < 1 || channel > kChannelCount)
        return;
    d_->view->update(d_->model->index(channel - 1, 0));
    emit d_->model->dataChanged(d_->model->index(channel - 1, 0), d_->model->index(channel - 1, kChannelColumns - 1));
}

void ChannelGrid::closeCellEditor()
{
    d_->view->closeCellEditor();
}

void ChannelGrid::applyCaptions()
{
    d_->view->setCornerText(LoadQText(ChannelTableModel::kChannelHeaderId, d_->state.language));
    d_->view->setAccessibleName(LoadQText(kTextMemoryChannel, d_->state.language));
    d_->model->languageChanged();
    fitColumnsToText();
}

void ChannelGrid::fitColumnsToText()
{
    ChannelTableView &v = *d_->view;
    const QFontMetrics cellFont = v.fontMetrics();
    const QFontMetrics headerFont = v.horizontalHeader()->fontMetrics();
    const int padding = 2 * (v.style()->pixelMetric(QStyle::PM_HeaderMargin) + 2);
    // The widest frequency, as the design's columns had room for.
    const int designWidth = cellFont.horizontalAdvance(QStringLiteral("000.00000")) + padding + 1;
    v.verticalHeader()->setFixedWidth(
        std::max(headerFont.horizontalAdvance(QStringLiteral("1288")),
                 headerFont.horizontalAdvance(LoadQText(ChannelTableModel::kChannelHeaderId, d_->state.language))) +
        padding);
    d_->designWidths.clear();
    for (int c = 0; c < kChannelColumns; ++c) {
        const auto column = static_cast<ChannelColumn>(c);
        int needed = headerFont.horizontalAdvance(d_->model->headerData(c, Qt::Horizontal).toString());
        for (const ChannelTableModel::Item &item : d_->model->items(column))
            needed = std::max(needed, cellFont.horizontalAdvance(item.text));
        const int width = std::max(designWidth, needed + padding + 1);
        d_->designWidths << width;
        v.setColumnWidth(c, width);
    }
    placeTable();
}

void ChannelGrid::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    placeTable();
}

void ChannelGrid::placeTable()
{
    ChannelTableView &v = *d_->view;
    const QSize design = sizeHint();
    const int extraWidth = std::max(0, width() - design.width());
    const qsizetype columns = d_->designWidths.size();
    for (qsizetype c = 0; c < columns; ++c) {
        // The first columns take the pixels that do not divide evenly.
        const int share = static_cast<int>(extraWidth / columns + (c < extraWidth % columns ? 1 : 0));
        v.setColumnWidth(static_cast<int>(c), d_->designWidths[c] + share);
    }
    const int rowHeight = v.verticalHeader()->defaultSectionSize();
    int chrome = 2 * v.frameWidth() + v.horizontalHeader()->height();
    if (width() < design.width())
        chrome += v.horizontalScrollBar()->sizeHint().height(); // the columns no longer fit
    const int wholeRows = rowHeight > 0 ? std::max(1, (height() - chrome) / rowHeight) : 0;
    v.setGeometry(0, 0, width(), std::min(height(), chrome + wholeRows * rowHeight));
}

void ChannelGrid::setCurrentCell(int row, int column)
{
    d_->view->setCurrentCell(row, column);
}

ChannelTableView &ChannelGrid::view()
{
    return *d_->view;
}

ChannelTableModel &ChannelGrid::model()
{
    return *d_->model;
}

std::vector<int> ChannelGrid::selectedChannels() const
{
    std::vector<int> rows = d_->view->selectedRows();
    if (rows.empty())
        rows.push_back(d_->state.currentChannel);
    return rows;
}

QString ChannelGrid::cellText(int channel, int column) const
{
    if (column < 1 || column > kChannelColumns)
        return {};
    if (channel == 0)
        return d_->model->headerData(column - 1, Qt::Horizontal).toString();
    return d_->model->index(channel - 1, column - 1).data().toString();
}

QSize ChannelGrid::sizeHint() const
{
    const ChannelTableView &v = *d_->view;
    int width = v.verticalHeader()->width() + 2 * v.frameWidth() + v.verticalScrollBar()->sizeHint().width();
    for (const int designWidth : d_->designWidths)
        width += designWidth;
    const int height = v.horizontalHeader()->height() + 2 * v.frameWidth() + 15 * v.verticalHeader()->defaultSectionSize();
    return {width, height};
}

std::vector<int> ChannelGrid::selectedRows() const
{
    return d_->view->selectedRows();
}

void ChannelGrid::selectRows(const std::vector<int> &channels)
{
    d_->view->selectRows(channels);
}

void ChannelGrid::selectAllRows()
{
    d_->view->selectAllRows();
}

int ChannelGrid::currentRow() const
{
    return d_->view->row();
}

int ChannelGrid::currentColumn() const
{
    return d_->view->col();
}

void ChannelGrid::scrollToCurrent()
{
    d_->view->scrollToCurrent();
}

QTableView *ChannelGrid::tableView() const
{
    return d_->view;
}

void ChannelGrid::focusTable()
{
    d_->view->setFocus(Qt::OtherFocusReason);
}

void ChannelGrid::insertChannel()
{
    d_->moveChannels(true);
}

void ChannelGrid::deleteChannel()
{
    d_->moveChannels(false);
}

void ChannelGrid::copyChannel()
{
    d_->view->closeCellEditor();
    d_->copyCurrent(0);
}

bool ChannelGrid::pasteValue(const QString &text)
{
    const QString value = text.trimmed();
    ChannelTableView &v = *d_->view;
    if (value.isEmpty() || v.row() < 1)
        return false;
    v.closeCellEditor();
    const int channel = v.row();
    const auto column = static_cast<ChannelColumn>(v.col() - 1);
    if (column == ChannelColumn::RxFreq || column == ChannelColumn::TxFreq) {
        if (!IsFrequencyEntry(value))
            return false;
        if (column == ChannelColumn::TxFreq && !d_->inUse(channel))
            v.setCol(kColRx);
        d_->model->setData(v.currentIndex(), value);
        return true;
    }
    for (const ChannelTableModel::Item &item : d_->model->items(column)) {
        if (item.text.compare(value, Qt::CaseInsensitive) == 0) {
            d_->model->setData(v.currentIndex(), item.value);
            return true;
        }
    }
    return false;
}

} // namespace zrk6

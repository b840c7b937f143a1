#include "mainwindow/channel_grid.h"

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include <QAbstractItemView>
#include <QComboBox>
#include <QFocusEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QStyle>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTableWidget>

#include "document/image_document.h"
#include "mainwindow/channel_commands.h"
#include "mainwindow/grid_control.h"
#include "model/app_state.h"
#include "model/bcd_freq.h"
#include "model/channel_moves.h"
#include "model/channel_record.h"
#include "model/tone.h"
#include "text/text_table.h"
#include "ui/accessibility.h"

namespace zrk6 {

namespace {

constexpr int kLabelColumnTwips = 570;
constexpr int kDataColumnTwips = 1110;
constexpr int kTextMemoryChannel = 1301;
constexpr int kTextEmptyCell = 1930;
constexpr int kTextCellDescription = 1931;
constexpr int kGridWidthTwips = 10890;
constexpr int kGridHeightTwips = 5235;

constexpr int kColRx = 1;
constexpr int kColTx = 2;
constexpr int kColDecode = 3;
constexpr int kColEncode = 4;
constexpr int kColFirstOption = 5;
constexpr int kColLast = 9;

constexpr int kChannelHeaderId = 1239; // "CH", above the row labels

// The option drop-down's items for columns 5..9, in list order.
const std::vector<int> &OptionItems(int column)
{
    static const std::array<std::vector<int>, 5> items = {{
        {1217, 1218},       // W/N
        {1221, 1220},       // Scan
        {1214, 1257, 1215}, // TX Power
        {1101, 1226, 1225}, // BCL
        {1101, 1100},       // Scrambler
    }};
    return items.at(static_cast<std::size_t>(column - kColFirstOption));
}

ChannelColumn ToChannelColumn(int gridColumn)
{
    return static_cast<ChannelColumn>(gridColumn - 1);
}

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

// Focus that moved to another window (a message box, another program) or into a drop-down's
// own popup is not a move to another control: the editor stays.
bool LeavesForAnotherControl(const QFocusEvent *event)
{
    return event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason;
}

} // namespace

struct ChannelGrid::Impl {
    ChannelGrid *q;
    AppState &state;
    const ImageDocument &document;
    ChannelCommands &commands;
    GridControl *grid = nullptr;
    int columnsWidth = 0; // the columns at their own widths, before they share extra room
    QLineEdit *text = nullptr;
    std::array<QComboBox *, 2> feature{};

    int currentColumn = 1;
    // The cell an editor was opened on: commits go there even if the current cell has moved.
    int editRow = 1;
    int editCol = 1;
    QString editOriginalText;
    bool busy = false;    // a commit or close is running; focus changes it causes are ignored
    bool filling = false; // a drop-down is being filled or positioned by the program

    Impl(ChannelGrid *owner, AppState &s, const ImageDocument &doc, ChannelCommands &c)
        : q(owner), state(s), document(doc), commands(c)
    {
    }

    QString tr(int id) const { return QString::fromUtf8(LoadText(id, state.language)); }
    QString cell(int row, int col) const { return grid->textMatrix(row, col); }
    void setCell(int row, int col, const QString &t) { grid->setTextMatrix(row, col, t); }

    // Emptiness and the transmit part are read from the image, never from a cell.
    bool inUse(int channel) const { return IsChannelInUse(document.image(), channel, document.band()); }
    bool transmits(int channel) const { return ReadChannel(document.image(), channel, document.band()).tx.has_value(); }

    void showRow(int channel)
    {
        setRowTexts(channel, ChannelRowTexts(document.image(), channel, document.band(), state.language));
    }

    void setRowTexts(int channel, const RowTexts &texts)
    {
        for (int c = 0; c < kChannelColumns; ++c)
            setCell(channel, c + 1, QString::fromStdString(texts[static_cast<std::size_t>(c)]));
        describeRow(channel);
    }

    // What a screen reader says for a cell: "Channel 5, RX Freq" beside its value, and
    // "empty" for a blank cell rather than nothing.
    QString cellDescription(int row, int col) const { return tr(kTextCellDescription).arg(row).arg(cell(0, col)); }
    void describeRow(int channel)
    {
        for (int c = 1; c <= kChannelColumns; ++c) {
            QTableWidgetItem *item = grid->table()->item(channel - 1, c - 1);
            if (item == nullptr)
                continue;
            const QString value = cell(channel, c);
            item->setData(Qt::AccessibleTextRole, value.isEmpty() ? tr(kTextEmptyCell) : value);
            item->setData(Qt::AccessibleDescriptionRole, cellDescription(channel, c));
        }
    }

    // ---- opening -------------------------------------------------------------------

    QRect currentCellInWidget()
    {
        const QRect r = grid->cellRect();
        return QRect(grid->table()->mapTo(q, r.topLeft()), r.size());
    }

    void selectItem(QComboBox *box, const QString &t)
    {
        const int index = box->findText(t, Qt::MatchExactly | Qt::MatchCaseSensitive);
        filling = true;
        box->setCurrentIndex(index >= 0 ? index : 0);
        filling = false;
    }

    void openCellEditor()
    {
        closeCellEditor();
        const int row = grid->row();
        const int col = grid->col();
        if (row < 1 || col < 1)
            return;
        editRow = row;
        editCol = col;
        const QString editing = cellDescription(row, col);
        text->setAccessibleName(editing);
        for (QComboBox *box : feature)
            box->setAccessibleName(editing);
        const QRect r = currentCellInWidget();
        if (col == kColRx || col == kColTx) {
            editOriginalText = cell(row, col);
            text->setGeometry(r.left() + 2, r.top() + 2, r.width() - 2, r.height() - 2);
            text->setText(editOriginalText);
            text->show();
            text->raise();
            text->setSelection(int(editOriginalText.size()), -int(editOriginalText.size()));
            text->setFocus(Qt::OtherFocusReason);
        } else if (col == kColDecode || col == kColEncode) {
            QComboBox *box = feature[0];
            box->setGeometry(r.left(), r.top(), r.width(), box->sizeHint().height());
            selectItem(box, cell(row, col));
            box->show();
            box->raise();
            box->setFocus(Qt::OtherFocusReason);
        } else {
            QComboBox *box = feature[1];
            filling = true;
            box->clear();
            for (int id : OptionItems(col))
                box->addItem(tr(id));
            filling = false;
            box->move(r.topLeft());
            selectItem(box, cell(row, col));
            box->resize(r.width(), box->sizeHint().height());
            box->show();
            box->raise();
            box->setFocus(Qt::OtherFocusReason);
        }
    }

    // The left-button and Enter rule: an empty channel always edits its RX frequency, and
    // Encode without a TX frequency edits the TX frequency.
    void clickCurrentCell()
    {
        const int row = grid->row();
        if (row < 1)
            return;
        if (inUse(row)) {
            if (!transmits(row) && currentColumn == kColEncode)
                grid->setCol(kColTx);
        } else if (currentColumn != kColRx) {
            grid->setCol(kColRx);
        }
        onEnterCell(grid->row(), grid->col());
        openCellEditor();
    }

    void startEntry(QChar character)
    {
        const int row = grid->row();
        if (currentColumn == kColTx && !inUse(row))
            grid->setCol(kColRx);
        openCellEditor();
        text->setText(QString(character));
        text->setCursorPosition(1);
    }

    void onEnterCell(int row, int col)
    {
        state.currentChannel = row;
        currentColumn = col;
    }

    // ---- committing ----------------------------------------------------------------

    void commitText()
    {
        const QString t = text->text();
        if (t == editOriginalText)
            return;
        commands.commitFrequency(q->window(), editRow, ToChannelColumn(editCol), t);
    }

    // Commits the text editor (when asked) and hides it; the caller decides where focus goes.
    void endTextEditor(bool commit)
    {
        if (busy || text->isHidden())
            return;
        busy = true;
        if (commit)
            commitText();
        text->hide();
        busy = false;
    }

    void hideDropDown(QComboBox *box)
    {
        if (busy || box->isHidden())
            return;
        busy = true;
        box->hide();
        busy = false;
    }

    void closeCellEditor()
    {
        if (!text->isHidden())
            endTextEditor(true);
        else if (!feature[0]->isHidden())
            hideDropDown(feature[0]);
        else if (!feature[1]->isHidden())
            hideDropDown(feature[1]);
    }

    void featureChosen(int index, int item)
    {
        if (filling || item < 0)
            return;
        QComboBox *box = feature[static_cast<std::size_t>(index)];
        const QString t = box->itemText(item);
        if (t == cell(editRow, editCol))
            return;
        commands.commitItem(editRow, ToChannelColumn(editCol), t);
    }

    // ---- keys ----------------------------------------------------------------------

    // Back on the grid from an editor: the reader speaks the current cell again.
    void returnToCell()
    {
        grid->setFocus();
        AnnounceCurrentCell(grid->table());
    }

    void textEditorEnter()
    {
        endTextEditor(true);
        grid->setFocus();
        grid->setCol(grid->col() + 1);
        AnnounceCurrentCell(grid->table());
    }

    void textEditorEscape()
    {
        endTextEditor(false);
        returnToCell();
    }

    void dropDownEnter(int index)
    {
        const int row = grid->row();
        const int col = grid->col();
        if (index == 1) {
            if (col < kColLast) {
                grid->setCol(col + 1);
            } else if (row < kChannelCount) {
                grid->setCurrentCell(row + 1, kColRx);
                grid->scrollToCurrent();
            }
        } else if (col == kColDecode) {
            grid->setCol(transmits(row) ? kColEncode : kColFirstOption);
        } else if (col == kColEncode) {
            grid->setCol(kColFirstOption);
        }
        leaveDropDown(index);
    }

    // The focus leaves the drop-down for the grid, so the user goes on from the next cell.
    void leaveDropDown(int index)
    {
        hideDropDown(feature[static_cast<std::size_t>(index)]);
        returnToCell();
    }

    void moveChannels(bool insert)
    {
        // A typed entry is committed first, so the move never overwrites or drops it.
        closeCellEditor();
        grid->setFocus();
        const int channel = grid->row();
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
        const int channel = grid->row();
        if (channel < 1)
            return;
        const bool ready = kCopyKeys[mode].needsTransmit ? transmits(channel) : inUse(channel);
        if (ready) {
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
        if (grid->row() < 1)
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
        if (!entry.isNull()) {
            *handled = true;
            if (currentColumn == kColRx || currentColumn == kColTx)
                startEntry(entry);
            return;
        }
        *handled = handleChannelKeys(key, shift);
    }

    void gridMouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y)
    {
        if (button == Qt::LeftButton) {
            clickCurrentCell();
        } else if (button == Qt::RightButton) {
            const auto all = Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier;
            if (shift == all && x > 2500 && x < 3500 && y > 0 && y < 250)
                emit q->memoryMapRequested();
        }
    }

    // Keys typed into txtMemChannel. Returns true when the key is consumed here.
    bool textEditorKey(QKeyEvent *event)
    {
        const int key = event->key();
        const Qt::KeyboardModifiers shift =
            event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
        if (handleChannelKeys(key, shift))
            return true;
        if (IsEnterKey(key)) {
            textEditorEnter();
            return true;
        }
        if (key == Qt::Key_Escape) {
            textEditorEscape();
            return true;
        }
        if (key == Qt::Key_Backspace)
            return false;
        // Only typed digits and "." reach the text: no paste, cut, undo or redo.
        if (event->matches(QKeySequence::Paste) || event->matches(QKeySequence::Cut) ||
            event->matches(QKeySequence::Undo) || event->matches(QKeySequence::Redo))
            return true;
        if (key == Qt::Key_Tab || key == Qt::Key_Backtab || key == Qt::Key_Delete)
            return false;
        // Ctrl+letter makes a control character, which the entry drops.
        if ((shift & (Qt::ControlModifier | Qt::AltModifier)) && key >= Qt::Key_A && key <= Qt::Key_Z)
            return true;
        const bool keypad = event->modifiers().testFlag(Qt::KeypadModifier);
        QChar typed;
        if (keypad && key == Qt::Key_Comma)
            typed = QChar('.');
        else if (!event->text().isEmpty())
            typed = event->text().at(0);
        if (typed.isNull())
            return false; // navigation and function keys work as usual
        const bool allowed = (typed >= QChar('0') && typed <= QChar('9')) || typed == QChar('.');
        if (!allowed)
            return true;
        if (text->text().size() > 8 && !text->hasSelectedText())
            return true;
        if (keypad && key == Qt::Key_Comma) {
            text->insert(QStringLiteral("."));
            return true;
        }
        return false;
    }

    bool dropDownKey(int index, QKeyEvent *event)
    {
        const int key = event->key();
        const Qt::KeyboardModifiers shift =
            event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
        if (handleChannelKeys(key, shift))
            return true;
        if (IsEnterKey(key)) {
            dropDownEnter(index);
            return true;
        }
        if (key == Qt::Key_Escape) {
            leaveDropDown(index);
            return true;
        }
        return false;
    }
};

ChannelGrid::ChannelGrid(AppState &state, const ImageDocument &document, ChannelCommands &commands, QWidget *parent)
    : QWidget(parent), d_(std::make_unique<Impl>(this, state, document, commands))
{
    d_->grid = new GridControl(this, QStringLiteral("msgMemChannel"));
    setFocusProxy(d_->grid->table());

    GridControl &g = *d_->grid;
    g.setShape(kRows, kCols);
    g.setColumnWidth(0, kLabelColumnTwips);
    for (int c = 1; c < kCols; ++c)
        g.setColumnWidth(c, kDataColumnTwips);
    for (int c = 0; c < kCols; ++c)
        g.setColumnAlignment(c, Qt::AlignCenter);
    // Tall enough for the in-place editors and for Chinese glyphs.
    g.setRowHeight(g.pixelsToTwipsY(fontMetrics().height() + 10));
    for (int r = 1; r < kRows; ++r)
        g.setTextMatrix(r, 0, QString::number(r));

    d_->text = new QLineEdit(this);
    d_->text->setObjectName(QStringLiteral("txtMemChannel"));
    d_->text->setContextMenuPolicy(Qt::NoContextMenu);
    d_->text->setAcceptDrops(false);
    d_->text->setAlignment(Qt::AlignCenter);
    d_->text->setFrame(false); // it sits inside the cell's own border
    d_->text->installEventFilter(this);
    d_->text->hide();

    for (int i = 0; i < 2; ++i) {
        auto *box = new QComboBox(this);
        box->setObjectName(QStringLiteral("cboFeature%1").arg(i));
        box->setEditable(false);
        box->installEventFilter(this);
        box->hide();
        connect(box, &QComboBox::currentIndexChanged, this, [this, i](int item) { d_->featureChosen(i, item); });
        d_->feature[static_cast<std::size_t>(i)] = box;
    }
    d_->filling = true;
    for (const std::string &tone : BuildToneList(state.language))
        d_->feature[0]->addItem(QString::fromStdString(tone));
    d_->feature[1]->addItems({d_->tr(1214), d_->tr(1215)});
    d_->filling = false;

    connect(&g, &GridControl::enterCell, this, [this](int row, int col) { d_->onEnterCell(row, col); });
    connect(&g, &GridControl::keyDown, this,
            [this](int key, Qt::KeyboardModifiers shift, bool keypad, bool *handled) {
                d_->gridKeyDown(key, shift, keypad, handled);
            });
    connect(&g, &GridControl::mouseUp, this,
            [this](Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y) {
                d_->gridMouseUp(button, shift, x, y);
            });
    connect(&g, &GridControl::scrolled, this, [this] { d_->closeCellEditor(); });

    // The rows follow the document: those a change touches, or all of them.
    connect(&document, &ImageDocument::imageChanged, this, [this](const std::vector<AddressRange> &ranges) {
        for (const AddressRange &range : ranges) {
            const int last = std::min(range.end - 1, kChannelCount * kRowSize - 1);
            for (int row = range.begin / kRowSize; row <= last / kRowSize; ++row)
                showRow(row + 1);
        }
    });
    connect(&document, &ImageDocument::bandChanged, this, &ChannelGrid::showAllRows);
    connect(&document, &ImageDocument::replaced, this, &ChannelGrid::showAllRows);

    g.setCurrentCell(1, 1);
    d_->onEnterCell(g.row(), g.col());
    applyCaptions();
    showAllRows();
}

ChannelGrid::~ChannelGrid()
{
    // Impl goes before the children; their last events and signals must not reach it.
    d_->busy = true;
    d_->filling = true;
    d_->text->removeEventFilter(this);
    QObject::disconnect(d_->grid, nullptr, this, nullptr);
    for (QComboBox *box : d_->feature) {
        box->removeEventFilter(this);
        QObject::disconnect(box, nullptr, this, nullptr);
    }
}

void ChannelGrid::showAllRows()
{
    for (int channel = 1; channel <= kChannelCount; ++channel)
        showRow(channel);
}

void ChannelGrid::showRow(int channel)
{
    if (channel < 1 || channel > kChannelCount)
        return;
    d_->showRow(channel);
}

void ChannelGrid::closeCellEditor()
{
    d_->closeCellEditor();
}

void ChannelGrid::applyCaptions()
{
    for (int c = 0; c < kCols; ++c)
        d_->grid->setTextMatrix(0, c, d_->tr(c == 0 ? kChannelHeaderId : kChannelColumnTextIds[static_cast<std::size_t>(c - 1)]));
    d_->filling = true;
    d_->feature[0]->setItemText(0, d_->tr(1104));
    d_->filling = false;
    d_->grid->table()->setAccessibleName(d_->tr(kTextMemoryChannel));
    for (int channel = 1; channel <= kChannelCount; ++channel)
        d_->describeRow(channel);
    fitColumnsToText();
}

void ChannelGrid::fitColumnsToText()
{
    // The design widths, unless a large font needs more for a header or the longest value.
    GridControl &g = *d_->grid;
    QTableWidget *table = g.table();
    const QFontMetrics cellFont = table->fontMetrics();
    const QFontMetrics headerFont = table->horizontalHeader()->fontMetrics();
    const int padding = 2 * (table->style()->pixelMetric(QStyle::PM_HeaderMargin) + 2);
    for (int c = 1; c < kCols; ++c) {
        QStringList values;
        if (c == kColRx || c == kColTx) {
            values << QStringLiteral("000.00000");
        } else if (c == kColDecode || c == kColEncode) {
            for (int i = 0; i < d_->feature[0]->count(); ++i)
                values << d_->feature[0]->itemText(i);
        } else {
            for (int id : OptionItems(c))
                values << d_->tr(id);
        }
        int needed = headerFont.horizontalAdvance(g.textMatrix(0, c));
        for (const QString &value : values)
            needed = std::max(needed, cellFont.horizontalAdvance(value));
        g.setColumnWidth(c, std::max(kDataColumnTwips, g.pixelsToTwipsX(needed + padding + 1)));
    }
    d_->columnsWidth = table->horizontalHeader()->length();
    updateGeometry();
}

void ChannelGrid::setCurrentCell(int row, int column)
{
    d_->grid->setCurrentCell(row, column);
}

GridControl &ChannelGrid::grid()
{
    return *d_->grid;
}

std::vector<int> ChannelGrid::selectedChannels() const
{
    std::vector<int> rows = d_->grid->selectedRows();
    if (rows.empty())
        rows.push_back(d_->state.currentChannel);
    return rows;
}

QString ChannelGrid::cellText(int channel, int column) const
{
    return d_->cell(channel, column);
}

void ChannelGrid::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    // The columns share the width beyond the design, then the table takes the height of
    // the whole rows that fit (so its scroll bars are judged on the new columns).
    d_->grid->table()->setGeometry(QRect(QPoint(0, 0), d_->grid->fitSize(sizeHint(), size())));
}

QSize ChannelGrid::sizeHint() const
{
    // The design size, wider when a large font has widened the columns.
    const QTableWidget *table = d_->grid->table();
    const int columns = d_->columnsWidth + table->verticalHeader()->width() +
                        table->verticalScrollBar()->sizeHint().width() + 2 * table->frameWidth();
    return QSize(std::max(columns, d_->grid->twipsToPixelsX(kGridWidthTwips)), d_->grid->twipsToPixelsY(kGridHeightTwips));
}

bool ChannelGrid::eventFilter(QObject *watched, QEvent *event)
{
    const int dropDown = watched == d_->feature[0] ? 0 : watched == d_->feature[1] ? 1 : -1;
    if (watched != d_->text && dropDown < 0)
        return QWidget::eventFilter(watched, event);

    switch (event->type()) {
    case QEvent::KeyPress: {
        auto *key = static_cast<QKeyEvent *>(event);
        return watched == d_->text ? d_->textEditorKey(key) : d_->dropDownKey(dropDown, key);
    }
    case QEvent::FocusOut:
        if (LeavesForAnotherControl(static_cast<QFocusEvent *>(event))) {
            if (watched == d_->text) {
                d_->endTextEditor(true);
            } else {
                QComboBox *box = d_->feature[static_cast<std::size_t>(dropDown)];
                // The focus may move into the drop-down's own list while it is open.
                if (!box->view()->isVisible())
                    d_->hideDropDown(box);
            }
        }
        break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
        // The middle button would paste the selection clipboard into the entry.
        if (watched == d_->text && static_cast<QMouseEvent *>(event)->button() == Qt::MiddleButton)
            return true;
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

std::vector<int> ChannelGrid::selectedRows() const
{
    return d_->grid->selectedRows();
}

void ChannelGrid::selectRows(const std::vector<int> &channels)
{
    d_->grid->selectRows(channels);
}

void ChannelGrid::selectAllRows()
{
    d_->grid->selectAllRows();
}

int ChannelGrid::currentRow() const
{
    return d_->grid->row();
}

int ChannelGrid::currentColumn() const
{
    return d_->grid->col();
}

void ChannelGrid::scrollToCurrent()
{
    d_->grid->scrollToCurrent();
}

QTableView *ChannelGrid::tableView() const
{
    return d_->grid->table();
}

void ChannelGrid::focusTable()
{
    d_->grid->setFocus();
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
    d_->closeCellEditor();
    d_->copyCurrent(0);
}

} // namespace zrk6

#include "mainwindow/channel_table_view.h"

#include <algorithm>

#include <QAbstractButton>
#include <QComboBox>
#include <QHeaderView>
#include <QItemSelection>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStyleOptionHeader>
#include <QStylePainter>

#include "mainwindow/channel_table_model.h"

namespace zrk6 {

namespace {

constexpr Qt::KeyboardModifiers kShiftStateMask = Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier;

bool IsFrequencyColumn(const QModelIndex &index)
{
    const ChannelColumn column = ChannelTableModel::columnOf(index);
    return column == ChannelColumn::RxFreq || column == ChannelColumn::TxFreq;
}

bool IsToneColumn(const QModelIndex &index)
{
    const ChannelColumn column = ChannelTableModel::columnOf(index);
    return column == ChannelColumn::Decode || column == ChannelColumn::Encode;
}

} // namespace

// ---- the delegate -----------------------------------------------------------------------

ChannelItemDelegate::ChannelItemDelegate(ChannelTableModel &model, QObject *parent)
    : QStyledItemDelegate(parent), model_(model)
{
}

QWidget *ChannelItemDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &, const QModelIndex &index) const
{
    QWidget *editor = nullptr;
    if (IsFrequencyColumn(index)) {
        auto *line = new QLineEdit(parent);
        line->setObjectName(QStringLiteral("txtMemChannel"));
        line->setContextMenuPolicy(Qt::NoContextMenu);
        line->setAcceptDrops(false);
        line->setAlignment(Qt::AlignCenter);
        line->setFrame(false); // it sits inside the cell's own border
        editor = line;
    } else {
        auto *box = new QComboBox(parent);
        box->setObjectName(IsToneColumn(index) ? QStringLiteral("cboFeature0") : QStringLiteral("cboFeature1"));
        box->setEditable(false);
        for (const ChannelTableModel::Item &item : model_.items(ChannelTableModel::columnOf(index)))
            box->addItem(item.text, item.value);
        model_.beginListEdit(index);
        // The choice is written as it changes.
        connect(box, &QComboBox::currentIndexChanged, this, [this, box] {
            if (!box->signalsBlocked())
                emit const_cast<ChannelItemDelegate *>(this)->commitData(box);
        });
        editor = box;
    }
    editor->setAccessibleName(model_.data(index, Qt::AccessibleDescriptionRole).toString());
    open_ = editor;
    openIndex_ = index;
    restore_ = false;
    return editor;
}

void ChannelItemDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    if (auto *line = qobject_cast<QLineEdit *>(editor)) {
        line->setText(index.data(Qt::DisplayRole).toString());
        line->selectAll();
    } else if (auto *box = qobject_cast<QComboBox *>(editor)) {
        const QSignalBlocker quiet(box);
        const int item = box->findData(index.data(Qt::EditRole));
        box->setCurrentIndex(item >= 0 ? item : 0);
    }
}

void ChannelItemDelegate::setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const
{
    if (auto *line = qobject_cast<QLineEdit *>(editor))
        model->setData(index, line->text());
    else if (auto *box = qobject_cast<QComboBox *>(editor))
        model->setData(index, box->currentData());
}

void ChannelItemDelegate::updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option,
                                               const QModelIndex &) const
{
    QRect r = option.rect;
    if (qobject_cast<QComboBox *>(editor))
        r.setHeight(std::max(r.height(), editor->sizeHint().height()));
    editor->setGeometry(r);
}

void ChannelItemDelegate::destroyEditor(QWidget *editor, const QModelIndex &index) const
{
    if (qobject_cast<QComboBox *>(editor))
        model_.endListEdit(restore_);
    restore_ = false;
    // It is deleted later: until then it must not pass for the open editor.
    editor->setObjectName(QString());
    editor->removeEventFilter(const_cast<ChannelItemDelegate *>(this));
    if (editor == open_) {
        open_.clear();
        openIndex_ = QPersistentModelIndex();
    }
    QStyledItemDelegate::destroyEditor(editor, index);
}

void ChannelItemDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    const QWidget *view = option.widget;
    if (view == nullptr || view->hasFocus()) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    QStyleOptionViewItem dimmed(option);
    dimmed.state &= ~QStyle::State_HasFocus;
    const QColor base = option.palette.color(QPalette::Base);
    const QColor highlight = option.palette.color(QPalette::Highlight);
    // Halfway to the background: still seen as the selection, plainly not the focus.
    const QColor mixed((base.red() * 3 + highlight.red() * 2) / 5, (base.green() * 3 + highlight.green() * 2) / 5,
                       (base.blue() * 3 + highlight.blue() * 2) / 5);
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        dimmed.palette.setColor(group, QPalette::Highlight, mixed);
        dimmed.palette.setColor(group, QPalette::HighlightedText, option.palette.color(QPalette::Text));
    }
    QStyledItemDelegate::paint(painter, dimmed, index);
}

bool ChannelItemDelegate::lineEditKey(QWidget *editor, QKeyEvent *event)
{
    auto *line = static_cast<QLineEdit *>(editor);
    const int key = event->key();
    const Qt::KeyboardModifiers shift = event->modifiers() & kShiftStateMask;
    if (key == Qt::Key_Backspace || key == Qt::Key_Tab || key == Qt::Key_Backtab || key == Qt::Key_Delete)
        return false;
    if (event->matches(QKeySequence::Cut) || event->matches(QKeySequence::Undo) || event->matches(QKeySequence::Redo))
        return true;
    // Ctrl+letter makes a control character, which the entry drops.
    if ((shift & (Qt::ControlModifier | Qt::AltModifier)) && key >= Qt::Key_A && key <= Qt::Key_Z)
        return true;
    const bool keypad = event->modifiers().testFlag(Qt::KeypadModifier);
    QChar typed;
    if (keypad && key == Qt::Key_Comma)
        typed = QChar('.');
    else if (!event->text().isEmpty())
        typed = event->text().at(0);
    if (typed.isNull() || !typed.isPrint())
        return false; // navigation and function keys work as usual
    const bool allowed = (typed >= QChar('0') && typed <= QChar('9')) || typed == QChar('.');
    if (!allowed)
        return true;
    if (line->text().size() > 8 && !line->hasSelectedText())
        return true;
    if (keypad && key == Qt::Key_Comma) {
        line->insert(QStringLiteral("."));
        return true;
    }
    return false;
}

bool ChannelItemDelegate::eventFilter(QObject *watched, QEvent *event)
{
    auto *editor = qobject_cast<QWidget *>(watched);
    if (editor != nullptr && event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (keyHandler && keyHandler(editor, key))
            return true;
        if (qobject_cast<QLineEdit *>(editor) && lineEditKey(editor, key))
            return true;
        if (key->key() == Qt::Key_Escape || key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
            return true; // the handler owns them
    }
    if (editor != nullptr && event->type() == QEvent::ShortcutOverride) {
        // The editor's own keys stay with it while it is open.
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Escape || key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            event->accept();
            return true;
        }
    }
    if (auto *line = qobject_cast<QLineEdit *>(editor)) {
        // The middle button would paste the selection clipboard into the entry.
        if ((event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonRelease) &&
            static_cast<QMouseEvent *>(event)->button() == Qt::MiddleButton)
            return true;
        (void)line;
    }
    return QStyledItemDelegate::eventFilter(watched, event);
}

// ---- the view ---------------------------------------------------------------------------

ChannelTableView::ChannelTableView(ChannelTableModel &model, QWidget *parent) : QTableView(parent)
{
    setObjectName(QStringLiteral("msgMemChannel"));
    setModel(&model);
    delegate_ = new ChannelItemDelegate(model, this);
    setItemDelegate(delegate_);
    setEditTriggers(QAbstractItemView::NoEditTriggers); // editors open by the program's rules
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setTabKeyNavigation(false);
    setWordWrap(false);
    setDragEnabled(false);
    setContextMenuPolicy(Qt::NoContextMenu);
    for (QHeaderView *header : {horizontalHeader(), verticalHeader()}) {
        header->setSectionsClickable(false);
        header->setSectionResizeMode(QHeaderView::Fixed);
        header->setDefaultAlignment(Qt::AlignCenter);
        header->setMinimumSectionSize(1);
        header->viewport()->installEventFilter(this);
    }
    if (auto *corner = findChild<QAbstractButton *>(QString(), Qt::FindDirectChildrenOnly))
        corner->installEventFilter(this);
}

int ChannelTableView::lastRow() const
{
    return model()->rowCount();
}

int ChannelTableView::row() const
{
    return currentIndex().row() + 1;
}

int ChannelTableView::col() const
{
    return currentIndex().column() + 1;
}

void ChannelTableView::setCurrentCell(int row, int col)
{
    if (row < 1 || col < 1 || row > lastRow() || col > model()->columnCount())
        return;
    selectionModel()->setCurrentIndex(model()->index(row - 1, col - 1), QItemSelectionModel::ClearAndSelect);
}

void ChannelTableView::scrollToCurrent()
{
    if (currentIndex().isValid())
        scrollTo(currentIndex());
}

void ChannelTableView::setCornerText(const QString &text)
{
    cornerText_ = text;
    if (auto *corner = findChild<QAbstractButton *>(QString(), Qt::FindDirectChildrenOnly))
        corner->update();
}

std::vector<int> ChannelTableView::selectedRows() const
{
    std::vector<int> rows;
    for (int r = 0; r < lastRow(); ++r) {
        if (selectionModel()->isRowSelected(r, QModelIndex()))
            rows.push_back(r + 1);
    }
    return rows;
}

void ChannelTableView::selectRows(const std::vector<int> &rows)
{
    QItemSelection selection;
    const int lastColumn = model()->columnCount() - 1;
    for (int r : rows) {
        if (r >= 1 && r <= lastRow())
            selection.select(model()->index(r - 1, 0), model()->index(r - 1, lastColumn));
    }
    selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
}

void ChannelTableView::selectAllRows()
{
    std::vector<int> all;
    for (int r = 1; r <= lastRow(); ++r)
        all.push_back(r);
    rowAnchor_ = 1;
    selectRows(all);
}

void ChannelTableView::openCellEditor()
{
    closeCellEditor();
    if (!currentIndex().isValid())
        return;
    scrollTo(currentIndex());
    edit(currentIndex());
    if (QWidget *editor = delegate_->openEditor())
        editor->setFocus(Qt::OtherFocusReason);
}

void ChannelTableView::closeCellEditor(bool cancel)
{
    QWidget *editor = delegate_->openEditor();
    if (editor == nullptr)
        return;
    const bool hadFocus = editor->hasFocus();
    if (cancel)
        delegate_->restoreOnClose();
    else if (qobject_cast<QLineEdit *>(editor))
        commitData(editor);
    closeEditor(editor, QAbstractItemDelegate::NoHint);
    if (hadFocus)
        setFocus(Qt::OtherFocusReason);
}

void ChannelTableView::keyPressEvent(QKeyEvent *event)
{
    bool handled = false;
    emit keyDown(event->key(), event->modifiers() & kShiftStateMask, event->modifiers().testFlag(Qt::KeypadModifier),
                 &handled);
    if (handled || extendByKey(event)) {
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

void ChannelTableView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::RightButton) {
        // A right click on a row outside the selection makes that row current and selected
        // first, so a command of the context menu acts on the row clicked.
        const QModelIndex at = indexAt(event->position().toPoint());
        const std::vector<int> rows = selectedRows();
        if (at.isValid() && std::find(rows.begin(), rows.end(), at.row() + 1) == rows.end()) {
            closeCellEditor();
            setCurrentCell(at.row() + 1, at.column() + 1);
            rowAnchor_ = at.row() + 1;
            selectRows({at.row() + 1});
        }
        event->accept();
        return;
    }
    if (event->button() != Qt::LeftButton) {
        event->accept();
        return;
    }
    QTableView::mousePressEvent(event);
}

void ChannelTableView::mouseReleaseEvent(QMouseEvent *event)
{
    QTableView::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && indexAt(event->position().toPoint()).isValid())
        emit cellClicked();
    else if (event->button() == Qt::RightButton)
        emit rightButtonUp(event->modifiers() & kShiftStateMask, viewport()->mapTo(this, event->position().toPoint()));
}

void ChannelTableView::scrollContentsBy(int dx, int dy)
{
    QTableView::scrollContentsBy(dx, dy);
    emit scrolled();
}

void ChannelTableView::focusInEvent(QFocusEvent *event)
{
    QTableView::focusInEvent(event);
    viewport()->update();
}

void ChannelTableView::focusOutEvent(QFocusEvent *event)
{
    QTableView::focusOutEvent(event);
    viewport()->update();
}

void ChannelTableView::selectRowByLabel(int row, Qt::KeyboardModifiers modifiers)
{
    const std::vector<int> before = selectedRows();
    dragBase_.clear();
    if (modifiers & Qt::ShiftModifier) {
        selectFromAnchor(row, {});
        return;
    }
    std::vector<int> rows;
    if (modifiers & Qt::ControlModifier) {
        for (const int r : before) {
            if (r != row)
                rows.push_back(r);
        }
        dragBase_ = rows;
        if (std::find(before.begin(), before.end(), row) == before.end())
            rows.push_back(row);
    } else {
        rows.push_back(row);
    }
    rowAnchor_ = row;
    setCurrentCell(row, std::max(col(), 1));
    selectRows(rows);
}

void ChannelTableView::endMoveDrag(int row)
{
    moveDrag_ = false;
    verticalHeader()->viewport()->unsetCursor();
    const std::vector<int> selected = selectedRows();
    if (row < 1) // let go away from the labels: nothing moves
        return;
    if (row == moveFrom_ || selected.empty()) {
        // No drag: the click selects its row alone, as on any other label.
        selectRowByLabel(moveFrom_, Qt::NoModifier);
        return;
    }
    const int offset = std::clamp(row - moveFrom_, 1 - selected.front(), lastRow() - selected.back());
    if (offset != 0)
        emit rowsDragged(selected, offset);
}

void ChannelTableView::dragOverLabels(int row)
{
    if (row == labelDragRow_)
        return;
    labelDragRow_ = row;
    selectFromAnchor(row, dragBase_);
}

void ChannelTableView::selectFromAnchor(int row, const std::vector<int> &base)
{
    rowAnchor_ = std::clamp(rowAnchor_, 1, lastRow());
    setCurrentCell(row, std::max(col(), 1));
    std::vector<int> rows = base;
    for (int r = std::min(rowAnchor_, row); r <= std::max(rowAnchor_, row); ++r)
        rows.push_back(r);
    selectRows(rows);
}

bool ChannelTableView::extendByKey(const QKeyEvent *event)
{
    if (event->matches(QKeySequence::SelectAll)) {
        selectAllRows();
        return true;
    }
    if ((event->modifiers() & kShiftStateMask) != Qt::ShiftModifier)
        return false;
    const int current = std::max(row(), 1);
    const int rowHeight = std::max(1, verticalHeader()->defaultSectionSize());
    const int page = std::max(1, viewport()->height() / rowHeight - 1);
    int target = 0;
    switch (event->key()) {
    case Qt::Key_Up: target = current - 1; break;
    case Qt::Key_Down: target = current + 1; break;
    case Qt::Key_PageUp: target = current - page; break;
    case Qt::Key_PageDown: target = current + page; break;
    case Qt::Key_Home: target = 1; break;
    case Qt::Key_End: target = lastRow(); break;
    default: return false;
    }
    // A fresh selection starts at the current row.
    if (selectedRows().empty())
        rowAnchor_ = current;
    selectFromAnchor(std::clamp(target, 1, lastRow()), {});
    scrollToCurrent();
    return true;
}

bool ChannelTableView::eventFilter(QObject *watched, QEvent *event)
{
    auto *widget = qobject_cast<QWidget *>(watched);
    if (widget == nullptr)
        return QTableView::eventFilter(watched, event);
    const bool isCorner = qobject_cast<QAbstractButton *>(widget) != nullptr;
    QWidget *labels = verticalHeader()->viewport();
    const bool ours = isCorner || widget == labels || widget == horizontalHeader()->viewport();
    if (!ours)
        return QTableView::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::Paint:
        if (isCorner) {
            QStylePainter painter(widget);
            QStyleOptionHeader option;
            option.initFrom(widget);
            option.rect = widget->rect();
            option.position = QStyleOptionHeader::OnlyOneSection;
            option.text = cornerText_;
            option.textAlignment = Qt::AlignCenter;
            option.state |= QStyle::State_Raised;
            painter.drawControl(QStyle::CE_Header, option);
            return true;
        }
        break;
    case QEvent::MouseButtonRelease: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (widget == labels && mouse->button() == Qt::LeftButton) {
            labelDrag_ = false;
            if (moveDrag_)
                endMoveDrag(verticalHeader()->logicalIndexAt(mouse->position().toPoint()) + 1);
        } else if (mouse->button() == Qt::RightButton) {
            emit rightButtonUp(mouse->modifiers() & kShiftStateMask, widget->mapTo(this, mouse->position().toPoint()));
        }
        return isCorner; // the corner's own click would select the whole table
    }
    case QEvent::MouseButtonPress: {
        // A row label selects its row; the current cell moves to it, in the same column.
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (widget == labels && mouse->button() == Qt::LeftButton) {
            closeCellEditor();
            const int r = verticalHeader()->logicalIndexAt(mouse->position().toPoint());
            const std::vector<int> selected = selectedRows();
            const bool plain = (mouse->modifiers() & kShiftStateMask) == Qt::NoModifier;
            if (r >= 0 && plain && std::find(selected.begin(), selected.end(), r + 1) != selected.end()) {
                moveDrag_ = true;
                moveFrom_ = r + 1;
                labels->setCursor(Qt::DragMoveCursor);
            } else if (r >= 0) {
                selectRowByLabel(r + 1, mouse->modifiers());
                labelDrag_ = true;
                labelDragRow_ = r + 1;
            }
            setFocus(Qt::MouseFocusReason);
        }
        return isCorner;
    }
    case QEvent::MouseMove: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (widget == labels && moveDrag_ && (mouse->buttons() & Qt::LeftButton)) {
            // The current cell shows where the rows go; the selection stays as it is.
            const int y = std::clamp(mouse->position().toPoint().y(), 0, labels->height() - 1);
            const int r = verticalHeader()->logicalIndexAt(y);
            if (r >= 0)
                selectionModel()->setCurrentIndex(model()->index(r, std::max(col(), 1) - 1),
                                                  QItemSelectionModel::NoUpdate);
            return true;
        }
        if (widget == labels && labelDrag_ && (mouse->buttons() & Qt::LeftButton)) {
            // Past the top or bottom edge the labels scroll, so a drag reaches any row.
            const int y = mouse->position().toPoint().y();
            if (y < 0 || y >= labels->height())
                verticalScrollBar()->setValue(verticalScrollBar()->value() + (y < 0 ? -1 : 1));
            const int r = verticalHeader()->logicalIndexAt(std::clamp(y, 0, labels->height() - 1));
            if (r >= 0)
                dragOverLabels(r + 1);
            return true;
        }
        break;
    }
    case QEvent::MouseButtonDblClick:
        return isCorner;
    default:
        break;
    }
    return QTableView::eventFilter(watched, event);
}

} // namespace zrk6

#include "mainwindow/grid_control.h"

#include <algorithm>

#include <QAbstractButton>
#include <QHeaderView>
#include <QItemSelection>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStyleOptionHeader>
#include <QStylePainter>
#include <QTableWidget>

namespace zrk6 {

namespace {

constexpr Qt::KeyboardModifiers kShiftStateMask = Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier;

} // namespace

// The table behind the control: keys go to the key-down event first, only the left button
// moves the current cell, typing never searches the cells, and every scroll is reported.
class FlexTable final : public QTableWidget {
public:
    explicit FlexTable(GridControl *control, QWidget *parent) : QTableWidget(parent), control_(control) {}

    void keyboardSearch(const QString &) override {}

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        bool handled = false;
        emit control_->keyDown(event->key(), event->modifiers() & kShiftStateMask,
                               event->modifiers().testFlag(Qt::KeypadModifier), &handled);
        if (handled || control_->extendByKey(event)) {
            event->accept();
            return;
        }
        QTableWidget::keyPressEvent(event);
    }

    void mousePressEvent(QMouseEvent *event) override
    {
        if (event->button() != Qt::LeftButton) {
            event->accept();
            return;
        }
        QTableWidget::mousePressEvent(event);
    }

    void mouseReleaseEvent(QMouseEvent *event) override
    {
        QTableWidget::mouseReleaseEvent(event);
        control_->reportMouseUp(viewport(), event->position().toPoint(), event->button(), event->modifiers());
    }

    void scrollContentsBy(int dx, int dy) override
    {
        QTableWidget::scrollContentsBy(dx, dy);
        emit control_->scrolled();
    }

private:
    GridControl *control_;
};

GridControl::GridControl(QWidget *parent, const QString &objectName) : QObject(nullptr)
{
    table_ = new FlexTable(this, parent);
    setParent(table_); // the control lives exactly as long as its table
    table_->setObjectName(objectName);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setSelectionBehavior(QAbstractItemView::SelectItems);
    table_->setTabKeyNavigation(false);
    table_->setWordWrap(false);
    table_->setDragEnabled(false);
    table_->setContextMenuPolicy(Qt::NoContextMenu);
    for (QHeaderView *header : {table_->horizontalHeader(), table_->verticalHeader()}) {
        header->setSectionsClickable(false);
        header->setSectionResizeMode(QHeaderView::Fixed);
        header->setDefaultAlignment(Qt::AlignCenter);
        header->setMinimumSectionSize(1);
        header->viewport()->installEventFilter(this);
    }
    if (auto *corner = table_->findChild<QAbstractButton *>(QString(), Qt::FindDirectChildrenOnly))
        corner->installEventFilter(this);

    connect(table_, &QTableWidget::currentCellChanged, this, [this](int row, int col, int, int) {
        if (row >= 0 && col >= 0)
            emit enterCell(row + 1, col + 1);
    });
}

GridControl::~GridControl() = default;

QTableWidget *GridControl::table() const
{
    return table_;
}

void GridControl::setShape(int rows, int cols)
{
    rows = std::max(rows, 2);
    cols = std::max(cols, 2);
    table_->setRowCount(rows - 1);
    table_->setColumnCount(cols - 1);
    for (int c = 0; c < cols - 1; ++c) {
        if (!table_->horizontalHeaderItem(c))
            table_->setHorizontalHeaderItem(c, new QTableWidgetItem(QString()));
        for (int r = 0; r < rows - 1; ++r) {
            if (!table_->item(r, c))
                table_->setItem(r, c, new QTableWidgetItem(QString()));
        }
    }
    for (int r = 0; r < rows - 1; ++r) {
        if (!table_->verticalHeaderItem(r))
            table_->setVerticalHeaderItem(r, new QTableWidgetItem(QString()));
    }
}

int GridControl::rows() const
{
    return table_->rowCount() + 1;
}

int GridControl::cols() const
{
    return table_->columnCount() + 1;
}

void GridControl::setColumnWidth(int col, int twips)
{
    const int pixels = twipsToPixelsX(twips);
    if (col == 0)
        table_->verticalHeader()->setFixedWidth(pixels);
    else if (col < cols()) {
        table_->setColumnWidth(col - 1, pixels);
        if (columnPixels_.size() < col)
            columnPixels_.resize(col);
        columnPixels_[col - 1] = pixels;
    }
}

QSize GridControl::fitSize(const QSize &design, const QSize &available)
{
    const int extraWidth = std::max(0, available.width() - design.width());
    const qsizetype columns = columnPixels_.size();
    for (qsizetype c = 0; c < columns; ++c) {
        // The first columns take the pixels that do not divide evenly.
        const int share = static_cast<int>(extraWidth / columns + (c < extraWidth % columns ? 1 : 0));
        table_->setColumnWidth(static_cast<int>(c), columnPixels_[c] + share);
    }
    if (available.height() <= design.height())
        return available;
    const int rowHeight = table_->verticalHeader()->defaultSectionSize();
    int chrome = 2 * table_->frameWidth() + table_->horizontalHeader()->height();
    if (available.width() < design.width())
        chrome += table_->horizontalScrollBar()->sizeHint().height(); // the columns no longer fit
    const int wholeRows = rowHeight > 0 ? (available.height() - chrome) / rowHeight : 0;
    return {available.width(), std::max(design.height(), chrome + wholeRows * rowHeight)};
}

int GridControl::columnWidth(int col) const
{
    if (col == 0)
        return pixelsToTwipsX(table_->verticalHeader()->width());
    return pixelsToTwipsX(table_->columnWidth(col - 1));
}

void GridControl::setRowHeight(int twips)
{
    const int pixels = twipsToPixelsY(twips);
    table_->verticalHeader()->setDefaultSectionSize(pixels);
    table_->horizontalHeader()->setFixedHeight(pixels);
}

void GridControl::setColumnAlignment(int col, Qt::Alignment alignment)
{
    if (col == 0) {
        table_->verticalHeader()->setDefaultAlignment(alignment);
        return;
    }
    for (int r = 0; r < table_->rowCount(); ++r) {
        if (QTableWidgetItem *item = table_->item(r, col - 1))
            item->setTextAlignment(alignment);
    }
    if (QTableWidgetItem *header = table_->horizontalHeaderItem(col - 1))
        header->setTextAlignment(alignment);
}

QString GridControl::textMatrix(int row, int col) const
{
    const QTableWidgetItem *item = nullptr;
    if (row == 0 && col == 0)
        return cornerText_;
    if (row == 0)
        item = table_->horizontalHeaderItem(col - 1);
    else if (col == 0)
        item = table_->verticalHeaderItem(row - 1);
    else
        item = table_->item(row - 1, col - 1);
    return item ? item->text() : QString();
}

void GridControl::setTextMatrix(int row, int col, const QString &text)
{
    if (row < 0 || col < 0 || row >= rows() || col >= cols())
        return;
    if (row == 0 && col == 0) {
        cornerText_ = text;
        if (auto *corner = table_->findChild<QAbstractButton *>(QString(), Qt::FindDirectChildrenOnly))
            corner->update();
        return;
    }
    QTableWidgetItem *item = nullptr;
    if (row == 0) {
        item = table_->horizontalHeaderItem(col - 1);
        if (!item) {
            item = new QTableWidgetItem;
            table_->setHorizontalHeaderItem(col - 1, item);
        }
    } else if (col == 0) {
        item = table_->verticalHeaderItem(row - 1);
        if (!item) {
            item = new QTableWidgetItem;
            table_->setVerticalHeaderItem(row - 1, item);
        }
    } else {
        item = table_->item(row - 1, col - 1);
        if (!item) {
            item = new QTableWidgetItem;
            table_->setItem(row - 1, col - 1, item);
        }
    }
    item->setText(text);
}

int GridControl::row() const
{
    return table_->currentRow() + 1;
}

int GridControl::col() const
{
    return table_->currentColumn() + 1;
}

void GridControl::setRow(int row)
{
    setCurrentCell(row, std::max(col(), 1));
}

void GridControl::setCol(int col)
{
    setCurrentCell(std::max(row(), 1), col);
}

void GridControl::setCurrentCell(int row, int col)
{
    if (row < 1 || col < 1 || row >= rows() || col >= cols())
        return;
    table_->setCurrentCell(row - 1, col - 1);
}

void GridControl::selectRowByLabel(int row, Qt::KeyboardModifiers modifiers)
{
    // The rows selected before the click; setCurrentCell clears them (single selection).
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

void GridControl::endMoveDrag(int row)
{
    moveDrag_ = false;
    table_->verticalHeader()->viewport()->unsetCursor();
    const std::vector<int> selected = selectedRows();
    if (row < 1) // let go away from the labels: nothing moves
        return;
    if (row == moveFrom_ || selected.empty()) {
        // No drag: the click selects its row alone, as on any other label.
        selectRowByLabel(moveFrom_, Qt::NoModifier);
        return;
    }
    const int offset = std::clamp(row - moveFrom_, 1 - selected.front(), rows() - 1 - selected.back());
    if (offset != 0)
        emit rowsDragged(selected, offset);
}

void GridControl::dragOverLabels(int row)
{
    if (row == labelDragRow_)
        return;
    labelDragRow_ = row;
    selectFromAnchor(row, dragBase_);
}

void GridControl::selectFromAnchor(int row, const std::vector<int> &base)
{
    rowAnchor_ = std::clamp(rowAnchor_, 1, rows() - 1);
    setCurrentCell(row, std::max(col(), 1));
    std::vector<int> rows = base;
    for (int r = std::min(rowAnchor_, row); r <= std::max(rowAnchor_, row); ++r)
        rows.push_back(r);
    selectRows(rows);
}

bool GridControl::extendByKey(const QKeyEvent *event)
{
    if (event->matches(QKeySequence::SelectAll)) {
        selectAllRows();
        return true;
    }
    if ((event->modifiers() & kShiftStateMask) != Qt::ShiftModifier)
        return false;
    const int current = std::max(row(), 1);
    const int last = rows() - 1;
    const int rowHeight = std::max(1, table_->verticalHeader()->defaultSectionSize());
    const int page = std::max(1, table_->viewport()->height() / rowHeight - 1);
    int target = 0;
    switch (event->key()) {
    case Qt::Key_Up: target = current - 1; break;
    case Qt::Key_Down: target = current + 1; break;
    case Qt::Key_PageUp: target = current - page; break;
    case Qt::Key_PageDown: target = current + page; break;
    case Qt::Key_Home: target = 1; break;
    case Qt::Key_End: target = last; break;
    default: return false;
    }
    // A fresh selection starts at the current row.
    if (selectedRows().empty())
        rowAnchor_ = current;
    selectFromAnchor(std::clamp(target, 1, last), {});
    scrollToCurrent();
    return true;
}

void GridControl::selectAllRows()
{
    std::vector<int> all;
    for (int r = 1; r < rows(); ++r)
        all.push_back(r);
    rowAnchor_ = 1;
    selectRows(all);
}

void GridControl::selectRows(const std::vector<int> &rows)
{
    QItemSelection selection;
    for (int r : rows) {
        if (r >= 1 && r <= table_->rowCount())
            selection.select(table_->model()->index(r - 1, 0), table_->model()->index(r - 1, table_->columnCount() - 1));
    }
    table_->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
}

std::vector<int> GridControl::selectedRows() const
{
    std::vector<int> rows;
    for (int r = 0; r < table_->rowCount(); ++r) {
        if (table_->selectionModel()->isRowSelected(r, QModelIndex()))
            rows.push_back(r + 1);
    }
    return rows;
}

QRect GridControl::cellRect()
{
    scrollToCurrent();
    const QTableWidgetItem *item = table_->currentItem();
    if (!item)
        return {};
    const QRect inViewport = table_->visualItemRect(item);
    return QRect(table_->viewport()->mapTo(table_, inViewport.topLeft()), inViewport.size());
}

void GridControl::scrollToCurrent()
{
    if (QTableWidgetItem *item = table_->currentItem())
        table_->scrollToItem(item);
}

int GridControl::cellLeft() const
{
    const QTableWidgetItem *item = table_->currentItem();
    if (!item)
        return 0;
    const QRect r = table_->visualItemRect(item);
    return pixelsToTwipsX(table_->viewport()->mapTo(table_, r.topLeft()).x());
}

int GridControl::cellTop()
{
    return pixelsToTwipsY(cellRect().top());
}

int GridControl::cellWidth() const
{
    const QTableWidgetItem *item = table_->currentItem();
    return item ? pixelsToTwipsX(table_->visualItemRect(item).width()) : 0;
}

int GridControl::cellHeight() const
{
    const QTableWidgetItem *item = table_->currentItem();
    return item ? pixelsToTwipsY(table_->visualItemRect(item).height()) : 0;
}

void GridControl::setFocus()
{
    table_->setFocus(Qt::OtherFocusReason);
}

bool GridControl::hasFocus() const
{
    return table_->hasFocus();
}

namespace {

int usableDpi(int dpi)
{
    return dpi > 0 ? dpi : 96;
}

} // namespace

int TwipsToPixels(int twips, int dpi)
{
    return qRound(twips * usableDpi(dpi) / double(kTwipsPerInch));
}

int PixelsToTwips(int pixels, int dpi)
{
    return qRound(pixels * double(kTwipsPerInch) / usableDpi(dpi));
}

int GridControl::twipsToPixelsX(int twips) const
{
    return TwipsToPixels(twips, table_->logicalDpiX());
}

int GridControl::twipsToPixelsY(int twips) const
{
    return TwipsToPixels(twips, table_->logicalDpiY());
}

int GridControl::pixelsToTwipsX(int pixels) const
{
    return PixelsToTwips(pixels, table_->logicalDpiX());
}

int GridControl::pixelsToTwipsY(int pixels) const
{
    return PixelsToTwips(pixels, table_->logicalDpiY());
}

void GridControl::reportMouseUp(QWidget *source, const QPoint &pos, Qt::MouseButton button,
                                Qt::KeyboardModifiers modifiers)
{
    const QPoint p = source->mapTo(table_, pos);
    emit mouseUp(button, modifiers & kShiftStateMask, pixelsToTwipsX(p.x()), pixelsToTwipsY(p.y()));
}

void GridControl::paintCorner(QWidget *corner)
{
    QStylePainter painter(corner);
    QStyleOptionHeader option;
    option.initFrom(corner);
    option.rect = corner->rect();
    option.position = QStyleOptionHeader::OnlyOneSection;
    option.text = cornerText_;
    option.textAlignment = Qt::AlignCenter;
    option.state |= QStyle::State_Raised;
    painter.drawControl(QStyle::CE_Header, option);
}

bool GridControl::eventFilter(QObject *watched, QEvent *event)
{
    auto *widget = qobject_cast<QWidget *>(watched);
    if (!widget)
        return false;
    const bool isCorner = qobject_cast<QAbstractButton *>(widget) != nullptr;
    QWidget *labels = table_->verticalHeader()->viewport();
    switch (event->type()) {
    case QEvent::Paint:
        if (isCorner) {
            paintCorner(widget);
            return true;
        }
        break;
    case QEvent::MouseButtonRelease: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        // The left button on the row labels only selects: it is no click on a cell.
        const bool onLabels = widget == labels && mouse->button() == Qt::LeftButton;
        if (onLabels) {
            labelDrag_ = false;
            if (moveDrag_)
                endMoveDrag(table_->verticalHeader()->logicalIndexAt(mouse->position().toPoint()) + 1);
        } else
            reportMouseUp(widget, mouse->position().toPoint(), mouse->button(), mouse->modifiers());
        return isCorner; // the corner's own click would select the whole table
    }
    case QEvent::MouseButtonPress: {
        // A row label selects its row; the current cell moves to it, in the same column.
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (widget == labels && mouse->button() == Qt::LeftButton) {
            const int r = table_->verticalHeader()->logicalIndexAt(mouse->position().toPoint());
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
            table_->setFocus(Qt::MouseFocusReason);
        }
        return isCorner;
    }
    case QEvent::MouseMove: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (widget == labels && moveDrag_ && (mouse->buttons() & Qt::LeftButton)) {
            // The current cell shows where the rows go; the selection stays as it is.
            const int y = std::clamp(mouse->position().toPoint().y(), 0, labels->height() - 1);
            const int r = table_->verticalHeader()->logicalIndexAt(y);
            if (r >= 0)
                table_->selectionModel()->setCurrentIndex(table_->model()->index(r, std::max(col(), 1) - 1),
                                                          QItemSelectionModel::NoUpdate);
            return true;
        }
        if (widget == labels && labelDrag_ && (mouse->buttons() & Qt::LeftButton)) {
            QHeaderView *header = table_->verticalHeader();
            // Past the top or bottom edge the labels scroll, so a drag reaches any row.
            const int y = mouse->position().toPoint().y();
            if (y < 0 || y >= labels->height())
                table_->verticalScrollBar()->setValue(table_->verticalScrollBar()->value() + (y < 0 ? -1 : 1));
            const int r = header->logicalIndexAt(std::clamp(y, 0, labels->height() - 1));
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
    return false;
}

} // namespace zrk6

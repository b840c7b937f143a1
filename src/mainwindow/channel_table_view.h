#pragma once

#include <functional>
#include <vector>

#include <QPointer>
#include <QStyledItemDelegate>
#include <QTableView>

class QKeyEvent;

namespace zrk6 {

class ChannelTableModel;

// Edits a channel cell: a line edit for the frequencies (digits and "." only, at most nine
// characters), a list for the tones and the options whose items carry the stored value. A
// list writes its choice as it changes. Keys typed into an editor go to keyHandler first.
class ChannelItemDelegate final : public QStyledItemDelegate {
    Q_OBJECT

public:
    explicit ChannelItemDelegate(ChannelTableModel &model, QObject *parent = nullptr);

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override;
    void updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option,
                              const QModelIndex &index) const override;
    void destroyEditor(QWidget *editor, const QModelIndex &index) const override;
    // Without the keyboard focus the table paints no focus mark and its selection dimmed, so
    // only the widget that has the focus looks as if it had.
    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;

    // The open editor and its cell; none when no editor is open.
    QWidget *openEditor() const { return open_; }
    QModelIndex openIndex() const { return openIndex_; }
    // The next list to close puts back the value it opened with.
    void restoreOnClose() { restore_ = true; }

    // Returns true when it consumed the key.
    std::function<bool(QWidget *editor, QKeyEvent *event)> keyHandler;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool lineEditKey(QWidget *editor, QKeyEvent *event);

    ChannelTableModel &model_;
    mutable QPointer<QWidget> open_;
    mutable QPersistentModelIndex openIndex_;
    mutable bool restore_ = false;
};

// The channel table msgMemChannel: cells edited only through the program's rules (the
// view opens editors itself), whole rows selected by their labels or by Shift with the
// moving keys, rows dragged by their labels, and keys offered to keyDown first. Rows and
// columns are numbered from 1 as the channels and the grid columns are.
class ChannelTableView final : public QTableView {
    Q_OBJECT

public:
    explicit ChannelTableView(ChannelTableModel &model, QWidget *parent = nullptr);

    int row() const;
    int col() const;
    void setCurrentCell(int row, int col);
    void setRow(int row) { setCurrentCell(row, std::max(col(), 1)); }
    void setCol(int col) { setCurrentCell(std::max(row(), 1), col); }
    void scrollToCurrent();

    // Whole rows selected (ascending); empty when the selection is a single cell.
    std::vector<int> selectedRows() const;
    // Selects exactly these rows (none clears the row selection); the current cell stays.
    void selectRows(const std::vector<int> &rows);
    void selectAllRows();

    // Opens the current cell's editor; closes the open one (a frequency is committed first,
    // unless cancel).
    void openCellEditor();
    void closeCellEditor(bool cancel = false);
    ChannelItemDelegate *channelDelegate() const { return delegate_; }

    // The text above the row labels.
    void setCornerText(const QString &text);

    void keyboardSearch(const QString &) override {}

signals:
    // A key pressed on the table; a handler sets *handled to keep the table from acting on it.
    void keyDown(int key, Qt::KeyboardModifiers shift, bool keypad, bool *handled);
    // The left button was released on a cell.
    void cellClicked();
    // The right button was released with these modifiers at a point of the table (its frame
    // included: the header row counts).
    void rightButtonUp(Qt::KeyboardModifiers shift, const QPoint &at);
    // The visible area scrolled.
    void scrolled();
    // The selected rows were dragged by their labels offset rows down (up when negative).
    void rowsDragged(const std::vector<int> &rows, int offset);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    void selectRowByLabel(int row, Qt::KeyboardModifiers modifiers);
    void dragOverLabels(int row);
    void endMoveDrag(int row);
    void selectFromAnchor(int row, const std::vector<int> &base);
    // Shift with Up, Down, Page Up, Page Down, Home or End extends the row selection from where
    // it started; Ctrl+A selects all rows. True when the key was one of them.
public:
    bool extendByKey(const QKeyEvent *event);
private:
    int lastRow() const;

    ChannelItemDelegate *delegate_ = nullptr;
    QString cornerText_;
    int rowAnchor_ = 1;
    bool labelDrag_ = false;
    int labelDragRow_ = 0;
    bool moveDrag_ = false;
    int moveFrom_ = 0;
    std::vector<int> dragBase_;
};

} // namespace zrk6

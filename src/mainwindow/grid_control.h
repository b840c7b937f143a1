#pragma once

#include <QObject>
#include <QList>
#include <QRect>
#include <QSize>
#include <QString>

#include <vector>

class QKeyEvent;
class QTableWidget;
class QWidget;

namespace zrk6 {

inline constexpr int kTwipsPerInch = 1440;

// Twips and pixels at a logical DPI, rounded to the nearest; a DPI the platform does not
// report (0) counts as 96.
int TwipsToPixels(int twips, int dpi);
int PixelsToTwips(int pixels, int dpi);

class FlexTable;

// The grid operations the views rely on, over a QTableWidget: a shape with one fixed
// header row (row 0) and one fixed label column (column 0), cell texts kept exactly as
// written, the current cell, its geometry, and the enter-cell, key-down, mouse-up and
// scroll events. Sizes and mouse positions are in twips, converted through the screen's
// logical DPI. Rows and columns are numbered as the views see them: data cells start at 1.
class GridControl : public QObject {
    Q_OBJECT

public:
    // Creates the table as a child of parent; objectName names the table widget.
    GridControl(QWidget *parent, const QString &objectName);
    ~GridControl() override;

    QTableWidget *table() const;

    // Rows and columns including the fixed header row and label column (both at least 2).
    void setShape(int rows, int cols);
    int rows() const;
    int cols() const;

    void setColumnWidth(int col, int twips);
    int columnWidth(int col) const; // twips
    void setRowHeight(int twips);   // every row, the header row included
    void setColumnAlignment(int col, Qt::Alignment alignment);

    // Any cell's text, the fixed ones included; written and read back unchanged.
    QString textMatrix(int row, int col) const;
    void setTextMatrix(int row, int col, const QString &text);

    // The current cell (data cells only: row >= 1, col >= 1). Writing moves it and fires
    // enterCell when it changes; values outside the data cells are ignored.
    int row() const;
    int col() const;
    void setRow(int row);
    void setCol(int col);
    void setCurrentCell(int row, int col);

    // The current cell's geometry relative to the control's top-left corner, in twips.
    // cellTop first scrolls the current cell into view (cellRect does too).
    int cellLeft() const;
    int cellTop();
    int cellWidth() const;
    int cellHeight() const;
    // The same geometry in pixels of the table widget, after scrolling the cell into view.
    QRect cellRect();
    // Scrolls so that the current cell is visible.
    void scrollToCurrent();

    // Whole data rows selected by their row labels (a click selects one, Shift+click the
    // range from the last one, Ctrl+click adds or drops one, a drag the rows it passes), by
    // Shift with Up, Down, Page Up, Page Down, Home or End (the range from the row where the
    // selection started) or by Ctrl+A (all rows); ascending, empty when the selection is a
    // single cell. Clicking a data cell or moving without Shift ends the row selection.
    std::vector<int> selectedRows() const;
    // Selects exactly these data rows by their labels (none clears the row selection).
    void selectRows(const std::vector<int> &rows);
    void selectAllRows();

    void setFocus();
    bool hasFocus() const;

    // The resize policy, for a grid that grows with its window. design is the table's size
    // at the design size of the window, available the room it has now (pixels). Beyond the
    // design width the data columns share the extra width evenly; beyond the design height
    // the height is cut to whole rows, so no row shows half at the bottom. At the design
    // size or below the column widths stay as set. Returns the size to give the table.
    QSize fitSize(const QSize &design, const QSize &available);

    int twipsToPixelsX(int twips) const;
    int twipsToPixelsY(int twips) const;
    int pixelsToTwipsX(int pixels) const;
    int pixelsToTwipsY(int pixels) const;

signals:
    // The current cell changed, by the user or by the program.
    void enterCell(int row, int col);
    // A key was pressed while the grid had the focus. A handler sets *handled to keep the
    // grid from acting on the key itself (moving the current cell). shift holds only
    // Shift, Ctrl and Alt; keypad tells a key of the numeric keypad.
    void keyDown(int key, Qt::KeyboardModifiers shift, bool keypad, bool *handled);
    // A mouse button was released over the grid (cells, headers or the corner); x and y
    // are twips from the control's top-left corner.
    void mouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    // The visible area scrolled.
    void scrolled();
    // The selected rows were dragged by their labels offset rows down (up when negative);
    // the offset keeps them within the data rows.
    void rowsDragged(const std::vector<int> &rows, int offset);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    friend class FlexTable;
    void reportMouseUp(QWidget *source, const QPoint &pos, Qt::MouseButton button,
                       Qt::KeyboardModifiers modifiers);
    void paintCorner(QWidget *corner);

    void selectRowByLabel(int row, Qt::KeyboardModifiers modifiers);
    void dragOverLabels(int row);
    void endMoveDrag(int row);
    // Makes row current and selects the rows from the anchor to it, beside base.
    void selectFromAnchor(int row, const std::vector<int> &base);
    // Shift with a moving key, or Ctrl+A; true when the key was one of them.
    bool extendByKey(const QKeyEvent *event);

    FlexTable *table_;
    QString cornerText_;
    QList<int> columnPixels_; // the widths of the data columns as set, in pixels
    int rowAnchor_ = 1; // where a Shift+click range on the row labels starts
    bool labelDrag_ = false; // the left button went down on a row label and is still down
    int labelDragRow_ = 0;
    // The button went down on a label of the selection: a drag moves the rows, a click
    // without a drag selects that row alone.
    bool moveDrag_ = false;
    int moveFrom_ = 0;
    std::vector<int> dragBase_; // the rows a Ctrl+drag adds to
};

} // namespace zrk6

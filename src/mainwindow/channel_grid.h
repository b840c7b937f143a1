#pragma once

#include <memory>

#include <QString>
#include <QWidget>

class QComboBox;
class QLineEdit;

namespace zrk6 {

struct AppState;
class GridControl;
class Prompts;

// The channel grid msgMemChannel with its in-place editors: txtMemChannel for the
// frequencies, cboFeature0 for the tones and cboFeature1 for the option columns. It
// mirrors the 128 channel records of state.doc.image, writes every committed edit into
// the image at once, and keeps state.currentChannel on the current row.
class ChannelGrid : public QWidget {
    Q_OBJECT

public:
    static constexpr int kRows = 129; // header row + channels 1..128
    static constexpr int kCols = 10;  // label column + the nine channel texts

    ChannelGrid(AppState &state, Prompts &prompts, QWidget *parent = nullptr);
    ~ChannelGrid() override;

    // Decodes all 128 records into the grid (out-of-band records are erased on the way).
    void showAllRows();
    // Decodes one record (1..128) into its row.
    void showRow(int channel);
    // Empties every data cell and makes row 1, column 1 current; the image is not touched.
    void clearGrid();
    // Ends the visible editor: the text editor commits its text, a drop-down just hides.
    void closeCellEditor();
    // Header texts and the tone list's "None" in state.language.
    void applyCaptions();
    void setCurrentCell(int row, int column);

    GridControl &grid();
    // The text of a data cell (channel 1..128, column 1..9).
    QString cellText(int channel, int column) const;

    QSize sizeHint() const override;

signals:
    // An edit was written into the image.
    void imageEdited();
    // A copy key was pressed (0 channel, 1 frequency, 2 tone copy); state.copyMode and
    // state.currentChannel are set. Connect directly: the slot shows the copy dialog
    // modally, and when it returns the grid stores the frequency or tone cell the dialog
    // changed. With nothing connected the key does nothing.
    void copyRequested(int copyMode);
    // The hidden gesture for the memory map editor.
    void memoryMapRequested();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Impl;
    std::unique_ptr<Impl> d_;
};

} // namespace zrk6

#pragma once

#include <memory>
#include <vector>

#include <QString>
#include <QWidget>

class QComboBox;
class QLineEdit;
class QTableView;

namespace zrk6 {

struct AppState;
class ChannelCommands;
class GridControl;
class ImageDocument;

// The channel grid msgMemChannel with its in-place editors: txtMemChannel for the
// frequencies, cboFeature0 for the tones and cboFeature1 for the option columns. It shows
// the 128 channel records of the document and repaints the rows a change touches; every
// committed edit goes to the channel commands. It keeps state.currentChannel on the
// current row.
class ChannelGrid : public QWidget {
    Q_OBJECT

public:
    static constexpr int kRows = 129; // header row + channels 1..128
    static constexpr int kCols = 10;  // label column + the nine channel texts

    ChannelGrid(AppState &state, const ImageDocument &document, ChannelCommands &commands,
                QWidget *parent = nullptr);
    ~ChannelGrid() override;

    // Decodes all 128 records into the grid.
    void showAllRows();
    // Decodes one record (1..128) into its row.
    void showRow(int channel);
    // Ends the visible editor: the text editor commits its text, a drop-down just hides.
    void closeCellEditor();
    // Header texts and the tone list's "None" in state.language.
    void applyCaptions();
    void setCurrentCell(int row, int column);

    GridControl &grid();
    // The channels whose rows are selected by their labels, or else the current channel.
    std::vector<int> selectedChannels() const;
    // The text of a data cell (channel 1..128, column 1..9).
    QString cellText(int channel, int column) const;

    QSize sizeHint() const override;

signals:
    // A copy key was pressed on channel (0 channel, 1 frequency, 2 tone copy); state.copyMode
    // and state.currentChannel are set.
    void copyRequested(int copyMode, int channel);
    // The hidden gesture for the memory map editor.
    void memoryMapRequested();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    // Widens a column beyond its design width where its header or longest value needs it.
    void fitColumnsToText();
    struct Impl;
    std::unique_ptr<Impl> d_;

public:
    // The rows and commands the window's actions work on.
    // Channels (1..128) whose rows are selected by their labels, ascending; none when only
    // a cell is current.
    std::vector<int> selectedRows() const;
    void selectRows(const std::vector<int> &channels);
    void selectAllRows();
    // The current cell: channel row 1..128 (0 on the header) and column 0..9.
    int currentRow() const;
    int currentColumn() const;
    void scrollToCurrent();
    // The view that shows the channels (for its context menu and selection signals).
    QTableView *tableView() const;
    // The keyboard focus on the channel table itself.
    void focusTable();
    // What Ctrl+I, Ctrl+D and Ctrl+E do on the current row.
    void insertChannel();
    void deleteChannel();
    void copyChannel();
};

} // namespace zrk6

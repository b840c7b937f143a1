#pragma once

#include <memory>
#include <vector>

#include <QString>
#include <QWidget>

class QTableView;

namespace zrk6 {

struct AppState;
class ChannelCommands;
class ChannelTableModel;
class ChannelTableView;
class ImageDocument;

// The channel grid: the table msgMemChannel over the channels of the document, with the
// grid's rules for opening editors (an empty channel edits its RX frequency, Encode without
// TX edits TX, a digit starts a frequency), moving on after Enter, and the channel command
// keys. It keeps state.currentChannel on the current row. Edits go to the document through
// the model; the grid never writes the image.
class ChannelGrid : public QWidget {
    Q_OBJECT

public:
    ChannelGrid(AppState &state, ImageDocument &document, ChannelCommands &commands, QWidget *parent = nullptr);
    ~ChannelGrid() override;

    // The rows follow the document by themselves; these repaint them anyway.
    void showAllRows();
    void showRow(int channel);
    // Ends the open editor: a frequency entry is committed, a list just closes.
    void closeCellEditor();
    // Header texts and list texts in state.language.
    void applyCaptions();
    void setCurrentCell(int row, int column);

    ChannelTableView &view();
    ChannelTableView &grid() { return view(); }
    ChannelTableModel &model();
    // The channels whose rows are selected by their labels, or else the current channel.
    std::vector<int> selectedChannels() const;
    // The shown text of a data cell (channel 1..128, column 1..9); row 0 gives the header.
    QString cellText(int channel, int column) const;

    // Fifteen rows and every column at the width its texts need.
    QSize sizeHint() const override;

    // The rows and commands the window's actions work on.
    // Channels (1..128) whose rows are selected by their labels, ascending; none when only
    // a cell is current.
    std::vector<int> selectedRows() const;
    void selectRows(const std::vector<int> &channels);
    void selectAllRows();
    // The current cell: channel row 1..128 and column 1..9.
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
    // Pastes text into the current cell when it is one value of that cell: a frequency on RX
    // or TX (rounded into the band as typing it would be; on an empty channel it goes to
    // RX), a tone on Decode or Encode, an item's text on an option cell. False, changing
    // nothing, for any other text (a channel list, say).
    bool pasteValue(const QString &text);

signals:
    // A copy key was pressed on channel (0 channel, 1 frequency, 2 tone copy); state.copyMode
    // and state.currentChannel are set.
    void copyRequested(int copyMode, int channel);
    // The hidden gesture for the memory map editor.
    void memoryMapRequested();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    // Beyond the texts' widths the columns share the extra width; the table's height is cut
    // to whole rows, so no half row shows at the bottom.
    void placeTable();

    void fitColumnsToText();
    struct Impl;
    std::unique_ptr<Impl> d_;
};

} // namespace zrk6

#pragma once

#include <QObject>

#include "document/image_document.h"
#include "model/channel_operations.h"

class QMenu;

namespace zrk6 {

struct AppState;
class ActionTable;
class ChannelGrid;
class ChannelListCommands;
class FindDialog;
class MainViews;
class Prompts;

// The commands over many channels, in the Edit menu and the grid's context menu (right
// button, the Menu key, Shift+F10): each runs a channel operation on the document as one
// undo step named for what it did, and says what it could not do.
class GridCommands final : public QObject {
    Q_OBJECT

public:
    GridCommands(AppState &state, ImageDocument &document, Prompts &prompts, ChannelGrid &grid,
                 ChannelListCommands &lists, MainViews &views, QObject *parent = nullptr);

    // Registers the Edit menu's channel commands and the grid's own keys shown in menus.
    void registerCommands(ActionTable &actions);
    // The menu the right button, the Menu key and Shift+F10 open on the grid.
    void setContextMenu(QMenu *menu) { context_ = menu; }
    void applyCaptions();
    // The context menu at a point of the grid's table, in its coordinates.
    void showContextMenu(const QPoint &at);

    // Copy: the rows selected by their labels (or the current row) as tab-separated text
    // with the header line. Paste: such text fills channels from the current one on.
    void copyChannels();
    void pasteChannels();
    void insertEmptyChannels();
    void deleteChannels();
    void changeSelectedChannels();
    void sortChannels();
    void moveUp() { move(true); }
    void moveDown() { move(false); }
    void compact();
    void selectDuplicates();
    // Copies the selected channels (or the current one), then erases them.
    void cutChannels();
    // Erases the selected channels (or the current one); the channels after them stay put.
    void clearChannels();
    void selectAll();
    // Opens Find (or brings it forward); findNext goes to the next cell after the current one
    // holding what Find holds, and opens Find when it holds nothing yet.
    void find();
    void findNext();

signals:
    // How many rows are selected and how many of them are in use; empty with no selection.
    void selectionSummaryChanged(const QString &summary);

private:
    void move(bool up);
    // Moves Find off the current cell when it covers it.
    void keepFindOffTheCell();
    // Moves the rows offset places down (up when negative) as one step, as Move Up and Move
    // Down would one place at a time.
    void moveBy(const std::vector<int> &rows, int offset);
    // Applies an operation's image as one undo step; shows its refusal instead.
    bool apply(const ImageDocument::StepName &name, const ChannelOperationResult &result);
    QString text(int id) const;
    QString plain(int id) const; // a menu text without its mnemonic, for undo captions
    static ImageDocument::StepName plainStep(int id);
    void updateSelectionCount();
    void erase(const std::vector<int> &channels, int nameId);

    AppState &state_;
    ImageDocument &document_;
    Prompts &prompts_;
    ChannelGrid &grid_;
    ChannelListCommands &lists_;
    MainViews &views_;
    QMenu *context_ = nullptr;
    FindDialog *find_ = nullptr;
};

} // namespace zrk6

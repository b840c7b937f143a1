#pragma once

#include <QObject>

#include "document/image_document.h"
#include "model/channel_operations.h"

class QAction;
class QLabel;
class QMenu;

namespace zrk6 {

class FindDialog;
class frmMain;

// The commands over many channels, in the Edit menu and the grid's context menu (right
// button, the Menu key, Shift+F10): each runs a channel operation on the document as one
// undo step named for what it did, and says what it could not do.
class GridCommands final : public QObject {
    Q_OBJECT

public:
    GridCommands(frmMain &window, QMenu *editMenu);

    void applyCaptions();
    // The context menu at a point of the grid's table, in its coordinates.
    void showContextMenu(const QPoint &at);

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
    QAction *add(const char *name, int textId, const QKeySequence &keys, void (GridCommands::*slot)());
    // A menu entry for a key the grid handles itself: choosing it sends the grid that key.
    QAction *addKey(const char *name, int textId, const QKeySequence &keys);

    frmMain &window_;
    QMenu *context_;
    QList<QAction *> actions_;
    QLabel *selection_;
    FindDialog *find_ = nullptr;
};

} // namespace zrk6

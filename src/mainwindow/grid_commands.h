#pragma once

#include <QObject>

#include "model/channel_operations.h"

class QAction;
class QLabel;
class QMenu;

namespace zrk6 {

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

private:
    void move(bool up);
    // Applies an operation's image as one undo step; shows its refusal instead.
    bool apply(const QString &name, const ChannelOperationResult &result);
    QString text(int id) const;
    QString plain(int id) const; // a menu text without its mnemonic, for undo captions
    void updateSelectionCount();
    QAction *add(const char *name, int textId, const QKeySequence &keys, void (GridCommands::*slot)());
    // A menu entry for a key the grid handles itself: choosing it sends the grid that key.
    QAction *addKey(const char *name, int textId, const QKeySequence &keys);

    frmMain &window_;
    QMenu *context_;
    QList<QAction *> actions_;
    QLabel *selection_;
};

} // namespace zrk6

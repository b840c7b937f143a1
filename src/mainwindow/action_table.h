#pragma once

#include <functional>
#include <initializer_list>
#include <vector>

#include <QHash>
#include <QKeySequence>
#include <QList>
#include <QObject>
#include <QString>

#include "text/text_table.h"

class QAction;
class QMenu;
class QToolBar;
class QWidget;

namespace zrk6 {

// What one command is: its control name (the action's objectName and its id here), the
// text ids of its caption and of its toolbar tip, its icon and its keys.
struct CommandSpec {
    const char *id;
    int textId = 0;
    QList<QKeySequence> keys = {};
    // Keys the grid handles itself, shown beside the caption only; the action is not
    // given them, so the grid keeps its own handling wherever it has the focus.
    QKeySequence shownKeys = {};
    int tipId = 0;
    const char *icon = nullptr;
    bool checkable = false;
};

// Every command of the window, each one QAction registered once. The menus, the toolbar
// and the grid's context menu are lists of ids over these actions, so a caption, a key or
// an enabled state changes in one place and shows everywhere.
class ActionTable final : public QObject {
    Q_OBJECT

public:
    // The actions belong to window: their keys work wherever it has the focus.
    explicit ActionTable(QWidget *window);

    // Registers a command run by run; enabled, when given, says when it can be chosen
    // (see updateEnabled). An id is registered only once.
    QAction *add(const CommandSpec &spec, std::function<void()> run, std::function<bool()> enabled = {});
    // The action of a registered id; null for any other.
    QAction *action(const QString &id) const;
    QList<QAction *> actions() const { return order_; }

    // A list of entries for a menu or the toolbar: an id, or a separator written "-" (or
    // "-" followed by the separator's own control name).
    using Entries = std::initializer_list<const char *>;
    void fillMenu(QMenu *menu, Entries entries) const;
    // Each button is named "tlbActions_" and its key (the text after the last '_' of the
    // action's id, or the key given after a '=' in the entry: "mnuHelp_About=About").
    void fillToolBar(QToolBar *toolBar, Entries entries) const;

    // Captions and toolbar tips in language. A caption whose text follows a state (Undo)
    // is set after this by its owner.
    void applyCaptions(LanguageMode language) const;
    // Runs every enabled rule again.
    void updateEnabled() const;

private:
    struct Entry {
        CommandSpec spec;
        QAction *action = nullptr;
        std::function<bool()> enabled;
    };

    QWidget *window_;
    std::vector<Entry> entries_;
    QHash<QString, QAction *> byId_;
    QList<QAction *> order_;
};

} // namespace zrk6

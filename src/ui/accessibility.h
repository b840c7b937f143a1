#pragma once

#include <QList>
#include <QString>

class QAbstractItemView;
class QStatusBar;
class QWidget;

namespace zrk6 {

// Gives a widget the name (and description) a screen reader speaks for it; an empty
// description leaves the one it has.
void SetAccessibleText(QWidget *widget, const QString &name, const QString &description = {});

// Tells a screen reader that source shows a new text: the widget takes it as its accessible
// name, and a name-changed and an alert event follow, so the reader speaks it without the
// user moving there.
void Announce(QWidget *source, const QString &text);

// Tells a screen reader that the focus is on view's current cell, as when the keyboard moved
// there: for a view that takes the focus back from an editor on that cell.
void AnnounceCurrentCell(QAbstractItemView *view);

// Every message the status bar shows from now on is announced as it appears.
void AnnounceStatusMessages(QStatusBar *bar);

// F6 and Ctrl+Tab move the focus to the next visible, enabled pane of window (Shift+F6 and
// Ctrl+Shift+Tab to the one before), wrapping round; a pane is the widget that takes the
// focus when it is reached.
void InstallPaneCycling(QWidget *window, const QList<QWidget *> &panes);

} // namespace zrk6

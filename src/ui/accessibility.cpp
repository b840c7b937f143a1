#include "ui/accessibility.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QApplication>
#include <QKeySequence>
#include <QShortcut>
#include <QStatusBar>
#include <QWidget>

namespace zrk6 {

void SetAccessibleText(QWidget *widget, const QString &name, const QString &description)
{
    if (widget == nullptr)
        return;
    widget->setAccessibleName(name);
    if (!description.isEmpty())
        widget->setAccessibleDescription(description);
}

void Announce(QWidget *source, const QString &text)
{
    if (source == nullptr)
        return;
    source->setAccessibleName(text);
    if (!QAccessible::isActive() || text.isEmpty())
        return;
    QAccessibleEvent nameChanged(source, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&nameChanged);
    QAccessibleEvent alert(source, QAccessible::Alert);
    QAccessible::updateAccessibility(&alert);
}

void AnnounceCurrentCell(QAbstractItemView *view)
{
    if (view == nullptr || !QAccessible::isActive() || !view->currentIndex().isValid())
        return;
    QAccessibleInterface *table = QAccessible::queryAccessibleInterface(view);
    if (table == nullptr || table->tableInterface() == nullptr)
        return;
    const QModelIndex current = view->currentIndex();
    QAccessibleInterface *cell = table->tableInterface()->cellAt(current.row(), current.column());
    const int child = cell != nullptr ? table->indexOfChild(cell) : -1;
    if (child < 0)
        return;
    QAccessibleEvent focus(view, QAccessible::Focus);
    focus.setChild(child);
    QAccessible::updateAccessibility(&focus);
}

void AnnounceStatusMessages(QStatusBar *bar)
{
    QObject::connect(bar, &QStatusBar::messageChanged, bar, [bar](const QString &text) { Announce(bar, text); });
}

namespace {

// The widget that takes the focus for pane: the pane itself, or its first child that
// takes the focus by Tab (a toolbar, a group of controls).
QWidget *FocusTarget(QWidget *pane)
{
    if (pane->focusPolicy() & Qt::TabFocus || pane->focusProxy() != nullptr)
        return pane;
    for (QWidget *child : pane->findChildren<QWidget *>()) {
        if ((child->focusPolicy() & Qt::TabFocus) && child->isVisible() && child->isEnabled())
            return child;
    }
    return nullptr;
}

void MovePaneFocus(const QList<QWidget *> &panes, int step)
{
    QList<QWidget *> usable;
    for (QWidget *pane : panes) {
        if (pane != nullptr && pane->isVisible() && pane->isEnabled() && FocusTarget(pane) != nullptr)
            usable.append(pane);
    }
    if (usable.isEmpty())
        return;
    int at = -1;
    const QWidget *focus = QApplication::focusWidget();
    for (int i = 0; i < usable.size(); ++i) {
        const QWidget *pane = usable[i];
        if (focus != nullptr && (focus == pane || pane->isAncestorOf(focus) || focus == pane->focusProxy()))
            at = i;
    }
    const int next = at < 0 ? 0 : (at + step + int(usable.size())) % int(usable.size());
    // A shortcut's focus change marks the window as moved by keyboard, so the style draws
    // the focus mark; a Tab reason does that only inside a real Tab key event.
    FocusTarget(usable[next])->setFocus(Qt::ShortcutFocusReason);
}

} // namespace

void InstallPaneCycling(QWidget *window, const QList<QWidget *> &panes)
{
    const auto add = [&](const QKeySequence &keys, int step) {
        auto *shortcut = new QShortcut(keys, window);
        shortcut->setContext(Qt::WindowShortcut);
        QObject::connect(shortcut, &QShortcut::activated, window, [panes, step] { MovePaneFocus(panes, step); });
    };
    add(QKeySequence(Qt::Key_F6), 1);
    add(QKeySequence(Qt::SHIFT | Qt::Key_F6), -1);
    add(QKeySequence(Qt::CTRL | Qt::Key_Tab), 1);
    add(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab), -1);
}

} // namespace zrk6

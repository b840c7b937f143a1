#pragma once

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAccessible>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QObject>
#include <QStringList>
#include <QWidget>

namespace zrk6::test {

// Every element under root that a screen reader can reach with the keyboard (focusable and
// not hidden) but would announce without a name, as "objectName (role)" - empty when each
// has one. Walks the accessibility tree as a reader does, table cells and headers included.
inline QStringList UnnamedFocusables(QWidget *root)
{
    QStringList unnamed;
    const auto walk = [&unnamed](const auto &self, QAccessibleInterface *node, int depth) -> void {
        if (node == nullptr || !node->isValid() || depth > 40)
            return;
        const QAccessible::State state = node->state();
        if (state.focusable && !state.invisible && !state.offscreen && node->text(QAccessible::Name).trimmed().isEmpty()) {
            const QObject *object = node->object();
            unnamed << QStringLiteral("%1 (role %2)")
                           .arg(object ? object->objectName() : QStringLiteral("?"))
                           .arg(int(node->role()));
        }
        for (int i = 0; i < node->childCount(); ++i)
            self(self, node->child(i), depth + 1);
    };
    walk(walk, QAccessible::queryAccessibleInterface(root), 0);
    return unnamed;
}

// What Tab can land on: takes focus from Tab, shown, enabled, and takes it itself rather than
// handing it to a proxy (a spin box's inner line edit).
inline bool TakesTab(const QWidget *widget, const QWidget *root)
{
    return (widget->focusPolicy() & Qt::TabFocus) == Qt::TabFocus && widget->isVisibleTo(root) &&
           widget->isEnabled() && widget->focusProxy() == nullptr;
}

inline QString Describe(const QWidget *widget)
{
    return widget->objectName().isEmpty() ? QString::fromLatin1(widget->metaObject()->className()) : widget->objectName();
}

// The controls Tab visits under root, in order, starting after root.
inline QList<QWidget *> TabChain(QWidget *root)
{
    QList<QWidget *> chain;
    int guard = 0;
    for (QWidget *w = root->nextInFocusChain(); w != root && guard < 10000; w = w->nextInFocusChain(), ++guard) {
        if (root->isAncestorOf(w) && TakesTab(w, root))
            chain << w;
    }
    return chain;
}

// Faults in root's Tab order: a control Tab never reaches, Shift+Tab not walking the same
// ring backwards, a list that keeps Tab for its cells, or a step that goes back up or to
// the left within a row (rows told apart by whether the two controls share height). A
// dialog whose order is laid down otherwise gives it as prescribed (object names), and the
// chain must be that instead.
inline QStringList TabOrderFaults(QWidget *root, const QStringList &prescribed = {})
{
    QStringList faults;
    const QList<QWidget *> chain = TabChain(root);
    for (QWidget *w : root->findChildren<QWidget *>()) {
        if (TakesTab(w, root) && !chain.contains(w))
            faults << QStringLiteral("not in the Tab chain: %1").arg(Describe(w));
    }
    QList<QWidget *> backwards;
    int guard = 0;
    for (QWidget *w = root->previousInFocusChain(); w != root && guard < 10000; w = w->previousInFocusChain(), ++guard) {
        if (root->isAncestorOf(w) && TakesTab(w, root))
            backwards.prepend(w);
    }
    if (backwards != chain)
        faults << QStringLiteral("Shift+Tab does not walk the Tab chain backwards");
    for (QWidget *w : chain) {
        auto *view = qobject_cast<QAbstractItemView *>(w);
        if (view != nullptr && view->tabKeyNavigation())
            faults << QStringLiteral("Tab stays inside %1").arg(Describe(w));
    }
    if (!prescribed.isEmpty()) {
        QStringList names;
        for (QWidget *w : chain)
            names << Describe(w);
        if (names != prescribed)
            faults << QStringLiteral("Tab order %1").arg(names.join(QLatin1Char(',')));
        return faults;
    }
    const auto rectOf = [root](QWidget *w) { return QRect(w->mapTo(root, QPoint(0, 0)), w->size()); };
    for (qsizetype i = 1; i < chain.size(); ++i) {
        const QRect a = rectOf(chain[i - 1]);
        const QRect b = rectOf(chain[i]);
        const bool sameRow = (b.center().y() >= a.top() && b.center().y() <= a.bottom()) ||
                             (a.center().y() >= b.top() && a.center().y() <= b.bottom());
        const int tolerance = 4;
        const bool forward = sameRow ? b.left() >= a.left() - tolerance : b.top() >= a.top() - tolerance;
        if (!forward)
            faults << QStringLiteral("Tab goes back from %1 to %2").arg(Describe(chain[i - 1]), Describe(chain[i]));
    }
    return faults;
}

// Texts and fields under root that are cut off (narrower than they ask for, or lower than a
// line of their font) or that overlap a sibling of the same layout.
inline QStringList CutOffOrOverlapping(QWidget *root)
{
    QStringList faults;
    for (QWidget *w : root->findChildren<QWidget *>()) {
        if (!w->isVisibleTo(root) || w->window() != root->window())
            continue;
        const bool text = qobject_cast<QLabel *>(w) != nullptr || qobject_cast<QAbstractButton *>(w) != nullptr ||
                          qobject_cast<QLineEdit *>(w) != nullptr || qobject_cast<QComboBox *>(w) != nullptr;
        if (!text)
            continue;
        bool inView = false; // a list's own editors and cells are sized by the list
        for (QWidget *up = w->parentWidget(); up != nullptr && up != root; up = up->parentWidget())
            inView |= qobject_cast<QAbstractItemView *>(up) != nullptr;
        if (inView)
            continue;
        auto *label = qobject_cast<QLabel *>(w);
        const bool wraps = label != nullptr && label->wordWrap();
        // Line edits and wrapped texts may be narrower than they would like; the rest cut off.
        const int wanted = wraps || qobject_cast<QLineEdit *>(w) != nullptr ? w->minimumSizeHint().width()
                                                                           : w->sizeHint().width();
        if (w->width() < wanted)
            faults << QStringLiteral("%1 is %2 wide for %3").arg(Describe(w)).arg(w->width()).arg(wanted);
        const int high = wraps && !label->text().isEmpty() ? label->heightForWidth(w->width()) : w->fontMetrics().height();
        if (w->height() < high)
            faults << QStringLiteral("%1 is %2 high for %3").arg(Describe(w)).arg(w->height()).arg(high);
    }
    for (QGroupBox *box : root->findChildren<QGroupBox *>()) {
        if (!box->isVisibleTo(root) || box->title().isEmpty())
            continue;
        for (QWidget *inside : box->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
            if (inside->isVisibleTo(root) && inside->y() < box->fontMetrics().height())
                faults << QStringLiteral("%1 covers the title of %2").arg(Describe(inside), Describe(box));
        }
    }
    QList<QLayout *> layouts = root->findChildren<QLayout *>();
    if (root->layout() != nullptr && !layouts.contains(root->layout()))
        layouts << root->layout();
    for (QLayout *layout : layouts) {
        QList<QWidget *> shown;
        for (int i = 0; i < layout->count(); ++i) {
            QWidget *w = layout->itemAt(i)->widget();
            if (w != nullptr && w->isVisibleTo(root))
                shown << w;
        }
        for (qsizetype i = 0; i < shown.size(); ++i) {
            for (qsizetype j = i + 1; j < shown.size(); ++j) {
                if (shown[i]->geometry().intersects(shown[j]->geometry()))
                    faults << QStringLiteral("%1 overlaps %2").arg(Describe(shown[i]), Describe(shown[j]));
            }
        }
    }
    return faults;
}

} // namespace zrk6::test

#pragma once

#include <QAccessible>
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

} // namespace zrk6::test

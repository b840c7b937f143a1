#include "mainwindow/action_table.h"

#include <QAction>
#include <QIcon>
#include <QMenu>
#include <QToolBar>
#include <QWidget>

#include "mainwindow/main_views.h"

namespace zrk6 {

ActionTable::ActionTable(QWidget *window) : QObject(window), window_(window) {}

QAction *ActionTable::add(const CommandSpec &spec, std::function<void()> run, std::function<bool()> enabled)
{
    const QString id = QString::fromLatin1(spec.id);
    Q_ASSERT_X(!byId_.contains(id), "ActionTable::add", spec.id);
    auto *action = new QAction(window_);
    action->setObjectName(id);
    action->setCheckable(spec.checkable);
    if (!spec.keys.isEmpty())
        action->setShortcuts(spec.keys);
    if (spec.icon != nullptr)
        action->setIcon(QIcon(QStringLiteral(":/icons/%1.png").arg(QLatin1String(spec.icon))));
    if (run)
        connect(action, &QAction::triggered, this, std::move(run));
    // Keys work even for actions that are in no visible menu.
    window_->addAction(action);
    entries_.push_back(Entry{spec, action, std::move(enabled)});
    byId_.insert(id, action);
    order_ << action;
    return action;
}

QAction *ActionTable::action(const QString &id) const
{
    return byId_.value(id);
}

void ActionTable::fillMenu(QMenu *menu, Entries entries) const
{
    for (const char *entry : entries) {
        if (entry[0] == '-') {
            QAction *separator = menu->addSeparator();
            separator->setObjectName(QString::fromLatin1(entry + 1));
            continue;
        }
        QAction *item = action(QString::fromLatin1(entry));
        Q_ASSERT_X(item != nullptr, "ActionTable::fillMenu", entry);
        menu->addAction(item);
    }
}

void ActionTable::fillToolBar(QToolBar *toolBar, Entries entries) const
{
    for (const char *entry : entries) {
        if (entry[0] == '-') {
            toolBar->addSeparator();
            continue;
        }
        const QString text = QString::fromLatin1(entry);
        const QString id = text.section(QLatin1Char('='), 0, 0);
        const QString key = text.contains(QLatin1Char('=')) ? text.section(QLatin1Char('='), 1)
                                                            : id.section(QLatin1Char('_'), -1);
        QAction *item = action(id);
        Q_ASSERT_X(item != nullptr, "ActionTable::fillToolBar", entry);
        toolBar->addAction(item);
        if (QWidget *button = toolBar->widgetForAction(item))
            button->setObjectName(QStringLiteral("tlbActions_") + key);
    }
}

void ActionTable::applyCaptions(LanguageMode language) const
{
    for (const Entry &entry : entries_) {
        if (entry.spec.textId == 0)
            continue;
        QString caption = TableText(entry.spec.textId, language);
        if (!entry.spec.shownKeys.isEmpty())
            caption += QLatin1Char('\t') + entry.spec.shownKeys.toString(QKeySequence::NativeText);
        entry.action->setText(caption);
        if (entry.spec.tipId != 0)
            entry.action->setToolTip(TableText(entry.spec.tipId, language));
    }
}

void ActionTable::updateEnabled() const
{
    for (const Entry &entry : entries_) {
        if (entry.enabled)
            entry.action->setEnabled(entry.enabled());
    }
}

} // namespace zrk6

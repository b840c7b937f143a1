#include "mainwindow/recent_files.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>

#include "mainwindow/settings_store.h"

namespace zrk6 {

namespace {

QString ValueName(int index)
{
    return QStringLiteral("RecentFile%1").arg(index + 1);
}

} // namespace

RecentFiles::RecentFiles(SettingsStore &settings, QMenu *menu, QAction *before, QObject *parent)
    : QObject(parent), settings_(settings)
{
    for (int i = 0; i < kCount; ++i) {
        // An empty value is stored as one blank.
        const QString path = settings_.GetRegValue(ValueName(i)).trimmed();
        if (!path.isEmpty() && !files_.contains(path))
            files_ << path;
    }
    for (int i = 0; i < kCount; ++i) {
        auto *action = new QAction(menu);
        action->setObjectName(QStringLiteral("mnuFile_Recent%1").arg(i + 1));
        connect(action, &QAction::triggered, this, [this, i] {
            // A copy: whoever handles the choice may take the file off the list.
            if (i < files_.size())
                emit chosen(QString(files_.at(i)));
        });
        menu->insertAction(before, action);
        actions_ << action;
    }
    separator_ = menu->insertSeparator(before);
    separator_->setObjectName(QStringLiteral("mnuFile_RecentBar"));
    updateMenu();
}

void RecentFiles::add(const QString &path)
{
    files_.removeAll(path);
    files_.prepend(path);
    while (files_.size() > kCount)
        files_.removeLast();
    updateMenu();
}

void RecentFiles::remove(const QString &path)
{
    files_.removeAll(path);
    updateMenu();
}

void RecentFiles::save() const
{
    for (int i = 0; i < kCount; ++i)
        settings_.SaveRegValue(ValueName(i), files_.value(i));
}

void RecentFiles::updateMenu()
{
    for (int i = 0; i < kCount; ++i) {
        QAction *action = actions_[i];
        const bool used = i < files_.size();
        action->setVisible(used);
        if (!used)
            continue;
        // "&" in a file name would otherwise mark a mnemonic.
        const QString name = QFileInfo(files_[i]).fileName().replace(QLatin1Char('&'), QStringLiteral("&&"));
        action->setText(QStringLiteral("&%1 %2").arg(i + 1).arg(name));
        action->setToolTip(QDir::toNativeSeparators(files_[i]));
        action->setStatusTip(QDir::toNativeSeparators(files_[i]));
    }
    separator_->setVisible(!files_.isEmpty());
}

} // namespace zrk6

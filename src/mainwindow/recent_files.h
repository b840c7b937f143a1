#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

class QAction;
class QMenu;

namespace zrk6 {

class SettingsStore;

// The four most recent data files of the File menu, newest first, kept in the settings as
// "RecentFile1" .. "RecentFile4". Each has a menu item "&1 name" (the full path as its tip).
class RecentFiles : public QObject {
    Q_OBJECT
public:
    static constexpr int kCount = 4;

    // Reads the list from the settings and puts its items into menu before the action before.
    RecentFiles(SettingsStore &settings, QMenu *menu, QAction *before, QObject *parent = nullptr);

    QStringList files() const { return files_; }
    // Puts path first (an absolute path; a path already listed moves up).
    void add(const QString &path);
    void remove(const QString &path);
    // Writes the list to the settings.
    void save() const;

signals:
    // The user chose the item of path.
    void chosen(const QString &path);

private:
    void updateMenu();

    SettingsStore &settings_;
    QStringList files_;
    QList<QAction *> actions_;
    QAction *separator_ = nullptr;
};

} // namespace zrk6

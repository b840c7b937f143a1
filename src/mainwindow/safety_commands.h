#pragma once

#include <QObject>
#include <QString>

#include <functional>

#include "services/radio_job.h"
#include "model/memory_image.h"

class QAction;
class QUrl;

namespace zrk6 {

struct AppState;
class ActionTable;
class ImageDocument;
class MainViews;
class Prompts;
class SettingsStore;

// What keeps the radio's memory safe, as the main window offers it: Verify after Write
// (Program), Automatic Backups and Open Backup Folder (Setup), Compare with File (File), and
// the backups the transfers make. The two switches live in the settings and are on by default.
class SafetyCommands final : public QObject {
    Q_OBJECT
public:
    SafetyCommands(AppState &state, ImageDocument &document, Prompts &prompts, SettingsStore &settings,
                   MainViews &views, QObject *parent = nullptr);

    // Registers Compare with File, Verify after Write, Automatic Backups and Open Backup
    // Folder; the two switches start as the settings have them.
    void registerCommands(ActionTable &actions);

    bool verifyAfterWrite() const;
    bool backupsEnabled() const;

    // The automatic backups the radio jobs make (after a completed read, just before a write),
    // and the note in the status bar for the ones a job made: where it went, or one warning
    // when one could not be saved.
    BackupPolicy backupPolicy() const;
    void reportBackups(const RadioJobResult &result);

    // Asks for a data file or raw image and lists how it differs from the open document.
    void compareWithFile();
    // Shows the backup folder in the desktop's file manager (made first when missing).
    void openBackupFolder();

    // The folder backups go to (the default one unless set).
    QString backupFolder() const;
    void setBackupFolder(const QString &folder) { backupFolder_ = folder; }
    // How a folder is shown; QDesktopServices::openUrl unless replaced (tests).
    void setUrlOpener(std::function<bool(const QUrl &)> opener) { openUrl_ = std::move(opener); }

private:
    bool setting(const char *name) const;
    void setSetting(const char *name, bool on);

    AppState &state_;
    ImageDocument &document_;
    Prompts &prompts_;
    SettingsStore &settings_;
    MainViews &views_;
    QString backupFolder_;
    std::function<bool(const QUrl &)> openUrl_;
    QAction *verify_ = nullptr;
    QAction *backups_ = nullptr;
};

} // namespace zrk6

#pragma once

#include <QDateTime>
#include <QString>

#include "model/memory_image.h"

namespace zrk6 {

// Why a backup was made: the radio's memory after a read, or the image about to be written.
enum class BackupKind { Read, Write };

inline constexpr int kBackupsKept = 100;  // the newest this many always stay
inline constexpr int kBackupKeepDays = 30; // and so does anything younger than this

// The backup folder: $ZRK6_BACKUP_DIR when set, else "zrk6/backups" in the platform's
// application data location (~/.local/share/zrk6/backups on Linux).
QString BackupFolder();

// "zrk6-YYYYMMDD-HHMMSS-read-400-470MHz.dat" (or "-write-"), the band taken from the image.
QString BackupFileName(const QDateTime &when, BackupKind kind, const MemoryImage &image);

// The moment a backup was made, from its file name; invalid for a name that is not a backup's.
QDateTime BackupTime(const QString &fileName);

struct BackupResult {
    QString path;  // the file written
    QString error; // what went wrong, with the path; empty on success
    bool ok() const { return error.isEmpty(); }
};

// Saves the image as a data file in folder (made when missing) under BackupFileName, then
// prunes the folder. A name in use gets "-2", "-3", ... before ".dat". Never throws.
BackupResult SaveBackup(const QString &folder, const MemoryImage &image, BackupKind kind,
                        const QDateTime &now = QDateTime::currentDateTime());

// Deletes the backups that are neither among the newest keepCount nor younger than keepDays
// at now. Files not named like a backup are never touched. Returns how many were deleted.
int PruneBackups(const QString &folder, const QDateTime &now, int keepCount = kBackupsKept,
                 int keepDays = kBackupKeepDays);

} // namespace zrk6

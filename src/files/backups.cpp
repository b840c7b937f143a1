#include "files/backups.h"

#include <algorithm>

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>

#include "files/data_file_io.h"
#include "model/band.h"

namespace zrk6 {

namespace {

constexpr const char *kTimeFormat = "yyyyMMdd-HHmmss";

const QRegularExpression &BackupNamePattern()
{
    static const QRegularExpression pattern(
        QStringLiteral("^zrk6-(\\d{8}-\\d{6})-(read|write)-[0-9A-Za-z.-]*\\.dat$"));
    return pattern;
}

} // namespace

QString BackupFolder()
{
    const QString overrideDir = qEnvironmentVariable("ZRK6_BACKUP_DIR");
    if (!overrideDir.isEmpty())
        return overrideDir;
    // The generic location, so that the window and the command line (two application names)
    // share one folder.
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/zrk6/backups");
}

QString BackupFileName(const QDateTime &when, BackupKind kind, const MemoryImage &image)
{
    const Band band = ReadBandFromImage(image);
    return QStringLiteral("zrk6-%1-%2-%3-%4MHz.dat")
        .arg(when.toString(QLatin1String(kTimeFormat)), kind == BackupKind::Read ? QStringLiteral("read")
                                                                                 : QStringLiteral("write"))
        .arg(band.low)
        .arg(band.high);
}

QDateTime BackupTime(const QString &fileName)
{
    const QRegularExpressionMatch match = BackupNamePattern().match(fileName);
    if (!match.hasMatch())
        return {};
    return QDateTime::fromString(match.captured(1), QLatin1String(kTimeFormat));
}

BackupResult SaveBackup(const QString &folder, const MemoryImage &image, BackupKind kind, const QDateTime &now)
{
    BackupResult result;
    if (folder.isEmpty()) {
        result.error = QStringLiteral("no folder for backups");
        return result;
    }
    QDir dir(folder);
    if (!dir.mkpath(QStringLiteral("."))) {
        result.error = QStringLiteral("%1: cannot make the folder").arg(QDir::toNativeSeparators(folder));
        return result;
    }
    const QString name = BackupFileName(now, kind, image);
    result.path = dir.filePath(name);
    for (int n = 2; QFileInfo::exists(result.path); ++n)
        result.path = dir.filePath(name.chopped(4) + QStringLiteral("-%1.dat").arg(n));
    if (const QString error = SaveDataFile(result.path, image); !error.isEmpty()) {
        result.error = QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(result.path), error);
        return result;
    }
    PruneBackups(folder, now);
    return result;
}

int PruneBackups(const QString &folder, const QDateTime &now, int keepCount, int keepDays)
{
    struct Entry {
        QString path;
        QDateTime time;
    };
    std::vector<Entry> backups;
    const QFileInfoList files = QDir(folder).entryInfoList(QDir::Files | QDir::NoDotAndDotDot);
    for (const QFileInfo &file : files) {
        const QDateTime time = BackupTime(file.fileName());
        if (time.isValid())
            backups.push_back({file.filePath(), time});
    }
    // Newest first; the name breaks ties so that the order is the same every time.
    std::sort(backups.begin(), backups.end(), [](const Entry &a, const Entry &b) {
        return a.time != b.time ? a.time > b.time : a.path > b.path;
    });
    const QDateTime cutoff = now.addDays(-keepDays);
    int deleted = 0;
    for (std::size_t i = static_cast<std::size_t>(std::max(keepCount, 0)); i < backups.size(); ++i) {
        if (backups[i].time < cutoff && QFile::remove(backups[i].path))
            ++deleted;
    }
    return deleted;
}

} // namespace zrk6

// The backup folder: names, saving, pruning by count and age, and folders that refuse.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "files/backups.h"
#include "files/data_file_io.h"
#include "model/band.h"

using namespace zrk6;

namespace {

const QDateTime kNow(QDate(2026, 12, 10), QTime(14, 5, 9));

void Touch(const QString &path)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("x");
}

QStringList Names(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files, QDir::Name);
}

} // namespace

class TestBackups : public QObject {
    Q_OBJECT

private slots:
    void nameCarriesDateTimeKindAndBand();
    void savedBackupOpensAsTheImage();
    void backupsInOneSecondGetTheirOwnNames();
    void pruneKeepsTheNewestAndTheYoung_data();
    void pruneKeepsTheNewestAndTheYoung();
    void aFolderThatCannotBeMadeIsAnError();
    void folderComesFromTheEnvironment();
};

void TestBackups::nameCarriesDateTimeKindAndBand()
{
    const MemoryImage image = StartupImage(BandFromRow(6)); // 446 - 447 MHz
    QCOMPARE(BackupFileName(kNow, BackupKind::Read, image), QStringLiteral("zrk6-20261210-140509-read-446-447MHz.dat"));
    QCOMPARE(BackupFileName(kNow, BackupKind::Write, image),
             QStringLiteral("zrk6-20261210-140509-write-446-447MHz.dat"));
    QCOMPARE(BackupTime(QStringLiteral("zrk6-20261210-140509-write-446-447MHz-3.dat")), kNow);
    for (const char *other : {"radio.dat", "zrk6-20261210-140509-read-446-447MHz.dat.part",
                              "zrk6-2026121-140509-read-x.dat", "zrk6-20261210-140509-erase-x.dat"})
        QVERIFY2(!BackupTime(QString::fromLatin1(other)).isValid(), other);
}

void TestBackups::savedBackupOpensAsTheImage()
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("deep/backups")); // made on the way
    MemoryImage image = StartupImage(BandFromRow(3));
    image.set(0x123, 0x45);
    const BackupResult result = SaveBackup(folder, image, BackupKind::Read, kNow);
    QVERIFY2(result.ok(), qPrintable(result.error));
    QCOMPARE(QFileInfo(result.path).dir().absolutePath(), QDir(folder).absolutePath());
    const LoadedDataFile loaded = LoadDataFile(result.path);
    QVERIFY(loaded.ok());
    QCOMPARE(loaded.image, image);
}

void TestBackups::backupsInOneSecondGetTheirOwnNames()
{
    QTemporaryDir dir;
    const MemoryImage image = StartupImage();
    for (int i = 0; i < 3; ++i)
        QVERIFY(SaveBackup(dir.path(), image, BackupKind::Write, kNow).ok());
    QCOMPARE(Names(dir.path()), (QStringList{QStringLiteral("zrk6-20261210-140509-write-144-146MHz-2.dat"),
                                             QStringLiteral("zrk6-20261210-140509-write-144-146MHz-3.dat"),
                                             QStringLiteral("zrk6-20261210-140509-write-144-146MHz.dat")}));
}

void TestBackups::pruneKeepsTheNewestAndTheYoung_data()
{
    QTest::addColumn<int>("count");   // backups, one a day back from today
    QTest::addColumn<int>("keep");    // keepCount
    QTest::addColumn<int>("days");    // keepDays
    QTest::addColumn<int>("deleted"); // how many go

    QTest::newRow("few and old stay") << 5 << 100 << 30 << 0;
    QTest::newRow("many but young stay") << 20 << 10 << 30 << 0;
    QTest::newRow("old beyond the newest go") << 40 << 10 << 30 << 9; // days 31..39 are older than 30 days
    QTest::newRow("the newest stay however old") << 40 << 35 << 0 << 5;
    QTest::newRow("the day itself still counts as young") << 31 << 0 << 30 << 0;
}

void TestBackups::pruneKeepsTheNewestAndTheYoung()
{
    QFETCH(int, count);
    QFETCH(int, keep);
    QFETCH(int, days);
    QFETCH(int, deleted);
    QTemporaryDir dir;
    QStringList expectedLeft;
    for (int d = 0; d < count; ++d) {
        const QString name = BackupFileName(kNow.addDays(-d), d % 2 ? BackupKind::Read : BackupKind::Write,
                                            StartupImage());
        Touch(dir.filePath(name));
        if (d < count - deleted)
            expectedLeft << name;
    }
    // Other files in the folder are the user's: never touched, whatever their age.
    Touch(dir.filePath(QStringLiteral("my-radio.dat")));
    Touch(dir.filePath(QStringLiteral("zrk6-20000101-000000-read-144-146MHz.txt")));
    expectedLeft << QStringLiteral("my-radio.dat") << QStringLiteral("zrk6-20000101-000000-read-144-146MHz.txt");

    QCOMPARE(PruneBackups(dir.path(), kNow, keep, days), deleted);
    expectedLeft.sort();
    QCOMPARE(Names(dir.path()), expectedLeft);
}

void TestBackups::aFolderThatCannotBeMadeIsAnError()
{
    // A folder below a plain file cannot be made, not even by root.
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("not-a-folder"));
    Touch(file);
    const BackupResult result = SaveBackup(file + QStringLiteral("/backups"), StartupImage(), BackupKind::Read, kNow);
    QVERIFY(!result.ok());
    QVERIFY2(result.error.contains(QStringLiteral("not-a-folder")), qPrintable(result.error));
}

void TestBackups::folderComesFromTheEnvironment()
{
    const QByteArray saved = qgetenv("ZRK6_BACKUP_DIR");
    qputenv("ZRK6_BACKUP_DIR", "/somewhere/else");
    QCOMPARE(BackupFolder(), QStringLiteral("/somewhere/else"));
    qunsetenv("ZRK6_BACKUP_DIR");
    QVERIFY(BackupFolder().endsWith(QStringLiteral("/zrk6/backups")));
    if (!saved.isNull())
        qputenv("ZRK6_BACKUP_DIR", saved);
}

QTEST_GUILESS_MAIN(TestBackups)
#include "test_backups.moc"

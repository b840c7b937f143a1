// The settings file on disks that fail, and paths that are not files.
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "disk_faults.h"
#include "mainwindow/settings_store.h"

using namespace zrk6;
using zrk6::test::FileSizeLimit;
using zrk6::test::SmallFileSystem;

namespace {

QByteArray ReadRaw(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A value as the file on disk holds it. QSettings answers from its cache for a file it has
// seen, so the bytes are read through a path it has not.
QString StoredValue(const QString &file, const QString &name)
{
    QTemporaryDir dir;
    const QString copy = dir.filePath(QStringLiteral("copy.ini"));
    QFile out(copy);
    if (!out.open(QIODevice::WriteOnly) || out.write(ReadRaw(file)) < 0)
        return QStringLiteral("(unreadable)");
    out.close();
    return SettingsStore(copy).GetRegValue(name);
}

} // namespace

class TestSettingsStore : public QObject {
    Q_OBJECT

private slots:
    // The chosen port and its adapter; settings from before them, or with a damaged id, still
    // start (on port 1, or with nothing to compare).
    void theChosenPortIsKeptWithItsAdapter_data()
    {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("adapter");
        const QByteArray head = "[SoftWare]\n%20\\ZR-K6\\Language=1\n";
        QTest::newRow("settings from before") << head << "" << "";
        QTest::newRow("a port that is no adapter") << head + "%20\\ZR-K6\\CommPort=/dev/ttyS0\n" << "/dev/ttyS0" << "";
        QTest::newRow("an adapter")
            << head + "%20\\ZR-K6\\CommPort=COM5\n%20\\ZR-K6\\CommPortAdapter=0403:6001\n%20\\ZR-K6\\CommPortSerial=A1\n"
            << "COM5" << "USB 0403:6001 S/N A1";
        QTest::newRow("a damaged id") << head + "%20\\ZR-K6\\CommPort=COM5\n%20\\ZR-K6\\CommPortAdapter=0403\n"
                                      << "COM5" << "";
        QTest::newRow("an id out of range") << head + "%20\\ZR-K6\\CommPort=COM5\n%20\\ZR-K6\\CommPortAdapter=10403:6001\n"
                                            << "COM5" << "";
    }

    void theChosenPortIsKeptWithItsAdapter()
    {
        QFETCH(QByteArray, ini);
        QFETCH(QString, name);
        QFETCH(QString, adapter);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("zrk6.ini"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(ini) == ini.size());
        file.close();
        SettingsStore settings(path);
        const ChosenPortSetting port = LoadChosenPort(settings);
        QCOMPARE(port.name, name);
        QCOMPARE(port.adapter.text(), adapter);
        // Kept again as read, beside the other values.
        QVERIFY(SaveChosenPort(settings, port));
        const ChosenPortSetting again = LoadChosenPort(SettingsStore(path));
        QCOMPARE(again.name, name);
        QCOMPARE(again.adapter.text(), adapter);
        QCOMPARE(SettingsStore(path).GetRegValue(QStringLiteral("Language")), QStringLiteral("1"));
    }

    // The disk has room for a lock file but not for the settings themselves.
    void aSaveThatRunsOutOfSpaceKeepsTheOldSettings_data()
    {
        QTest::addColumn<bool>("fullDisk"); // else a file size limit
        QTest::newRow("size limit") << false;
        QTest::newRow("one page left on the disk") << true;
    }

    void aSaveThatRunsOutOfSpaceKeepsTheOldSettings()
    {
        QFETCH(bool, fullDisk);
        QTemporaryDir tempDir;
        SmallFileSystem disk;
        if (fullDisk && !disk.ok())
            QSKIP("mounting a small tmpfs is not allowed here");
        const QString dir = fullDisk ? disk.path() : tempDir.path();
        SettingsStore settings(QDir(dir).filePath(QStringLiteral("zrk6.ini")));
        const QString longValue(600, QLatin1Char('m'));
        QVERIFY(settings.SaveRegValue(QStringLiteral("LastModel"), longValue));
        QVERIFY(settings.SaveRegValue(QStringLiteral("Language"), QStringLiteral("1")));
        QVERIFY(settings.SaveRegValue(QStringLiteral("LastFreq"), QStringLiteral("241")));
        const QByteArray before = ReadRaw(settings.filePath());

        bool saved = true;
        if (fullDisk) {
            QVERIFY(disk.fill(1));
            saved = settings.SaveRegValue(QStringLiteral("LastFreq"), QStringLiteral("239"));
        } else {
            FileSizeLimit limit(300);
            saved = settings.SaveRegValue(QStringLiteral("LastFreq"), QStringLiteral("239"));
        }
        // Saved whole, or not saved and the old file as it was: never a success that lost values.
        const QString file = settings.filePath();
        QCOMPARE(StoredValue(file, QStringLiteral("LastModel")), longValue);
        QCOMPARE(StoredValue(file, QStringLiteral("Language")), QStringLiteral("1"));
        if (saved) {
            QCOMPARE(StoredValue(file, QStringLiteral("LastFreq")), QStringLiteral("239"));
        } else {
            QCOMPARE(ReadRaw(settings.filePath()), before);
        }
        if (!fullDisk)
            QVERIFY(!saved);
    }

    void aPipeInPlaceOfTheFileIsLeftAlone()
    {
        QTemporaryDir dir;
        const QString fifo = dir.filePath(QStringLiteral("zrk6.ini"));
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        // Opening it would wait for a writer for good.
        SettingsStore settings(fifo);
        QCOMPARE(settings.GetRegValue(QStringLiteral("Language")), QString());
        QVERIFY(!settings.SaveRegValue(QStringLiteral("Language"), QStringLiteral("1")));
        QFileInfo info(fifo);
        QVERIFY(!info.isFile() && info.exists());
    }
};

QTEST_GUILESS_MAIN(TestSettingsStore)
#include "test_settings_store.moc"

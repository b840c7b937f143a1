#include <QtGlobal>
#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#endif
#ifdef Q_OS_LINUX
#include <sys/sysmacros.h>
#endif

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "files/data_file.h"
#include "files/data_file_io.h"
#include "files/file_io.h"
#include "disk_faults.h"
#include "model/band.h"
#include "text/text_table.h"

using namespace zrk6;
#ifdef Q_OS_UNIX
using zrk6::test::FileSizeLimit;
using zrk6::test::SmallFileSystem;
#endif

namespace {

void WriteRaw(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray ReadRaw(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

MemoryImage DefaultImage()
{
    MemoryImage image;
    image.set(addr::kModel, kStartupModelByte);
    BuildDefaultImage(image, BandFromRow(1));
    return image;
}

} // namespace

class TestFileIo : public QObject {
    Q_OBJECT

private slots:
    void saveReplacesALongerFileWhole()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("radio.dat"));
        WriteRaw(path, QByteArray(10000, 'x'));
        QCOMPARE(SaveFileAtomically(path, QByteArrayLiteral("new")), QString());
        QCOMPARE(ReadRaw(path), QByteArrayLiteral("new"));
        // Nothing is left beside the file.
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("radio.dat")});
    }

    void aFailedSaveLeavesTheOldFileWhole_data()
    {
        QTest::addColumn<bool>("fullDisk"); // else a file size limit
        QTest::addColumn<int>("size");
        // A data file is far smaller than the buffer QSaveFile writes out only at commit().
        const int dataFileSize = static_cast<int>(EncodeDataFile(DefaultImage()).size());
        QTest::newRow("data file, size limit") << false << dataFileSize;
        QTest::newRow("100 KB, size limit") << false << 100000;
        QTest::newRow("data file, full disk") << true << dataFileSize;
        QTest::newRow("100 KB, full disk") << true << 100000;
    }

    void aFailedSaveLeavesTheOldFileWhole()
    {
#ifndef Q_OS_UNIX
        QSKIP("file size limits and small file systems are Unix's");
#else
        QFETCH(bool, fullDisk);
        QFETCH(int, size);
        QTemporaryDir tempDir;
        SmallFileSystem disk;
        if (fullDisk && !disk.ok())
            QSKIP("mounting a small tmpfs is not allowed here");
        const QString dir = fullDisk ? disk.path() : tempDir.path();
        const QString path = QDir(dir).filePath(QStringLiteral("radio.dat"));
        const QByteArray old(100, 'o');
        WriteRaw(path, old);
        QString error;
        if (fullDisk) {
            QVERIFY(disk.fill());
            error = SaveFileAtomically(path, QByteArray(size, 'n'));
        } else {
            FileSizeLimit limit(size / 2);
            error = SaveFileAtomically(path, QByteArray(size, 'n'));
        }
        QVERIFY(!error.isEmpty());
        QCOMPARE(ReadRaw(path), old);
        QStringList left = QDir(dir).entryList(QDir::Files | QDir::Hidden);
        left.removeAll(QStringLiteral(".filler"));
        QCOMPARE(left, QStringList{QStringLiteral("radio.dat")});
#endif
    }

    void saveKeepsTheOwnerGroupAndMode()
    {
#ifndef Q_OS_UNIX
        QSKIP("owners, groups and modes are Unix's");
#else
        if (::geteuid() != 0)
            QSKIP("only root may give a file to another user");
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("radio.dat"));
        WriteRaw(path, QByteArrayLiteral("old"));
        const QByteArray native = QFile::encodeName(path);
        QCOMPARE(::chown(native.constData(), 65534, 65534), 0);
        QCOMPARE(::chmod(native.constData(), 0640), 0);

        QCOMPARE(SaveFileAtomically(path, QByteArrayLiteral("new")), QString());
        struct stat st{};
        QCOMPARE(::stat(native.constData(), &st), 0);
        QCOMPARE(st.st_uid, uid_t(65534));
        QCOMPARE(st.st_gid, gid_t(65534));
        QCOMPARE(st.st_mode & 07777, mode_t(0640));
        QCOMPARE(ReadRaw(path), QByteArrayLiteral("new"));

        // A new file belongs to whoever saves it.
        const QString fresh = dir.filePath(QStringLiteral("fresh.dat"));
        QCOMPARE(SaveFileAtomically(fresh, QByteArrayLiteral("x")), QString());
        QCOMPARE(::stat(QFile::encodeName(fresh).constData(), &st), 0);
        QCOMPARE(st.st_uid, ::geteuid());
#endif
    }

    void savesLeaveWhatIsNotARegularFileAlone()
    {
#ifndef Q_OS_LINUX
        QSKIP("FIFOs and device nodes are made here on Linux only");
#else
        QTemporaryDir dir;
        // Saving renames a new file over the target: a pipe or a device node would be replaced.
        const QString fifo = dir.filePath(QStringLiteral("pipe.dat"));
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        QStringList paths{fifo};
        const QString device = dir.filePath(QStringLiteral("null.dat"));
        if (::mknod(QFile::encodeName(device).constData(), S_IFCHR | 0600, makedev(1, 3)) == 0)
            paths << device; // only where device nodes may be made
        for (const QString &path : paths) {
            QCOMPARE(SaveDataFile(path, DefaultImage()), QStringLiteral("Not a regular file."));
            QVERIFY2(QFileInfo::exists(path) && !QFileInfo(path).isFile(), qPrintable(path));
        }
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::System | QDir::Hidden).size(), paths.size());
#endif
    }

    void readersRefuseWhatIsNotARegularFile()
    {
        QTemporaryDir dir;
        QStringList paths{dir.path()};
#ifdef Q_OS_UNIX
        // A pipe would block the open until something writes to it: the test would hang.
        const QString fifo = dir.filePath(QStringLiteral("pipe.dat"));
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        paths << fifo << QStringLiteral("/dev/zero");
#endif
        for (const QString &path : paths) {
            const FileReadResult read = ReadWholeFile(path);
            QVERIFY2(read.notRegular, qPrintable(path));
            QVERIFY(!read.ok());
            const LoadedDataFile loaded = LoadDataFile(path);
            QCOMPARE(loaded.textId, kTextNotRegularFile);
            QVERIFY(!loaded.ok());
        }
        QCOMPARE(LoadText(kTextNotRegularFile, kEnglish), std::string_view("Not a regular file."));
    }

    void saveIntoAMissingFolderReportsTheSystemError()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("no/such/folder/radio.dat"));
        QVERIFY(!SaveFileAtomically(path, QByteArrayLiteral("x")).isEmpty());
        QVERIFY(!QFile::exists(path));
    }

    void readWholeFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("f.bin"));
        WriteRaw(path, QByteArray(300, 'a'));

        const FileReadResult whole = ReadWholeFile(path, 300);
        QVERIFY(whole.ok());
        QCOMPARE(whole.bytes, QByteArray(300, 'a'));

        const FileReadResult tooLarge = ReadWholeFile(path, 299);
        QVERIFY(tooLarge.tooLarge);
        QVERIFY(!tooLarge.ok());
        QVERIFY(tooLarge.bytes.isEmpty());

        const FileReadResult missing = ReadWholeFile(dir.filePath(QStringLiteral("missing.bin")));
        QVERIFY(!missing.ok());
        QVERIFY(!missing.error.isEmpty());

    }

    void dataFileSavesAndOpensWithoutStagingFiles()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("radio.dat"));
        MemoryImage image = DefaultImage();
        image.set(0x010, 0x42);
        QCOMPARE(SaveDataFile(path, image), QString());
        const std::vector<std::uint8_t> expected = EncodeDataFile(image);
        QCOMPARE(ReadRaw(path), QByteArray(reinterpret_cast<const char *>(expected.data()),
                                           static_cast<qsizetype>(expected.size())));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("radio.dat")});

        const LoadedDataFile loaded = LoadDataFile(path);
        QVERIFY(loaded.ok());
        QVERIFY(loaded.image == image);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("radio.dat")});
    }

    void dataFileRefusals_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("textId");
        QTest::newRow("empty") << QByteArray() << 1112;
        QTest::newRow("text") << QByteArrayLiteral("not a radio file\n") << 1112;
        QTest::newRow("far too long") << QByteArray(1 << 20, '\0') << 1112;
    }

    void dataFileRefusals()
    {
        QFETCH(QByteArray, content);
        QFETCH(int, textId);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("bad.dat"));
        WriteRaw(path, content);
        const LoadedDataFile loaded = LoadDataFile(path);
        QVERIFY(!loaded.ok());
        QCOMPARE(loaded.textId, textId);
        QVERIFY(loaded.systemError.isEmpty());
    }

    void unreadableDataFileGivesTheSystemError()
    {
        QTemporaryDir dir;
        const LoadedDataFile loaded = LoadDataFile(dir.filePath(QStringLiteral("missing.dat")));
        QVERIFY(!loaded.ok());
        QCOMPARE(loaded.textId, 0);
        QVERIFY(!loaded.systemError.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestFileIo)
#include "test_file_io.moc"

#include <csignal>
#include <sys/resource.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "files/data_file.h"
#include "files/data_file_io.h"
#include "files/file_io.h"
#include "model/band.h"

using namespace zrk6;

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

// Files may not grow beyond a size while it lives, so writes fail as on a full disk.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &saved_);
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previousHandler_);
    }

private:
    rlimit saved_{};
    void (*previousHandler_)(int) = nullptr;
};

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

    void aFailedSaveLeavesTheOldFileWhole()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("radio.dat"));
        const QByteArray old(100, 'o');
        WriteRaw(path, old);
        QString error;
        {
            FileSizeLimit limit(4096);
            error = SaveFileAtomically(path, QByteArray(100000, 'n'));
        }
        QVERIFY(!error.isEmpty());
        QCOMPARE(ReadRaw(path), old);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("radio.dat")});
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

        const FileReadResult folder = ReadWholeFile(dir.path());
        QVERIFY(!folder.ok());
        QVERIFY(!folder.error.isEmpty());
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

// Runs the real zrk6-cli binary on files in a temporary directory.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "cli_run.h"
#include "files/data_file_io.h"
#include "model/memory_image.h"

using namespace zrk6;
using Run = zrk6::test::CliRun;
constexpr auto Cli = zrk6::test::RunCli;

namespace {

QByteArray ReadRaw(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteRaw(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

// A raw image that no view would leave as it is: an all-zero image (channels out of band,
// invalid band limits) with one channel at 145 MHz, the band 144 - 146 MHz and odd bytes.
QByteArray OddImage()
{
    QByteArray raw(kImageSize, '\0');
    const char channel1[] = "\x00\x00\x50\x14\x00\x00\x50\x14\xFF\xFF\xFF\xFF\xBF\x99\xFF\xFC";
    raw.replace(0, 16, QByteArray(channel1, 16));
    raw[0xFF0] = '\x14';
    raw[0xFF1] = '\x14';
    raw[0xFF2] = '\x46';
    raw[0x900] = '\x5A';
    raw[0xFBB] = '\x38';
    return raw;
}

} // namespace

class TestCli : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;
    QString path(const char *name) const { return dir_.filePath(QString::fromLatin1(name)); }

private slots:
    void newUnpackPackGiveTheSameBytes()
    {
        QCOMPARE(Cli({QStringLiteral("new"), path("a.dat")}).status, 0);
        QCOMPARE(Cli({QStringLiteral("unpack"), path("a.dat"), path("a.img")}).status, 0);
        QCOMPARE(Cli({QStringLiteral("pack"), path("a.img"), path("b.dat")}).status, 0);
        QCOMPARE(ReadRaw(path("b.dat")), ReadRaw(path("a.dat")));

        const QByteArray image = ReadRaw(path("a.img"));
        QCOMPARE(image.size(), kImageSize);
        QCOMPARE(quint8(image[0xFBB]), quint8(0x3A)); // model of the start-up image
        QCOMPARE(quint8(image[0xFBA]), quint8(240));  // band variant without a stored setting
        QCOMPARE(image.mid(0xFF0, 3), QByteArray("\x14\x14\x46", 3));
        QCOMPARE(image.mid(0x000, 16), QByteArray(16, '\xFF'));
    }

    void unpackGivesTheStoredBytesUnchanged()
    {
        WriteRaw(path("odd.img"), OddImage());
        QCOMPARE(Cli({QStringLiteral("pack"), path("odd.img"), path("odd.dat")}).status, 0);
        QCOMPARE(Cli({QStringLiteral("unpack"), path("odd.dat"), path("odd2.img")}).status, 0);
        QCOMPARE(ReadRaw(path("odd2.img")), OddImage());
        // The window opens the same file to the same image.
        const LoadedDataFile loaded = LoadDataFile(path("odd.dat"));
        QVERIFY(loaded.ok());
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(loaded.image.bytes().data()), kImageSize), OddImage());
    }

    void showListsWhatTheWindowShows()
    {
        const Run run = Cli({QStringLiteral("show"), path("odd.dat")});
        QCOMPARE(run.status, 0);
        QVERIFY(run.err.isEmpty());
        QVERIFY(run.out.contains(QStringLiteral("144 - 146 MHz")));
        QVERIFY(run.out.contains(QStringLiteral("ZR-K6A")));
        // Channel 1 is in use; the other 127 (all zero, below the band) are not listed.
        QVERIFY(run.out.contains(QRegularExpression(QStringLiteral("\\n  1 +145\\.00000 +145\\.00000 +None +None +Wide +Add +Low +Off +Off\\n"))));
        QVERIFY(!run.out.contains(QRegularExpression(QStringLiteral("\\n  2 "))));
        QVERIFY(run.out.contains(QStringLiteral("Priority Channel")));
        QVERIFY(run.out.contains(QStringLiteral("Offset Freq")));
    }

    void showsTheBandPresetsInEitherLanguage()
    {
        QCOMPARE(Cli({QStringLiteral("new"), QStringLiteral("--band"), QStringLiteral("446 - 447 MHz"), path("pmr.dat")}).status, 0);
        QCOMPARE(Cli({QStringLiteral("new"), QStringLiteral("--band=446-447"), path("pmr2.dat")}).status, 0);
        QCOMPARE(Cli({QStringLiteral("new"), QStringLiteral("-b"), QStringLiteral("6"), path("pmr3.dat")}).status, 0);
        QCOMPARE(ReadRaw(path("pmr2.dat")), ReadRaw(path("pmr.dat")));
        QCOMPARE(ReadRaw(path("pmr3.dat")), ReadRaw(path("pmr.dat")));

        const Run english = Cli({QStringLiteral("show"), path("pmr.dat")});
        QCOMPARE(english.status, 0);
        for (const char *f : {"446.00625", "446.09375"})
            QVERIFY(english.out.contains(QString::fromLatin1(f)));
        QVERIFY(!english.out.contains(QStringLiteral("446.10625")));

        const Run chinese = Cli({QStringLiteral("show"), path("pmr.dat"), QStringLiteral("--lang"), QStringLiteral("zh")});
        QCOMPARE(chinese.status, 0);
        QVERIFY(chinese.out.contains(QStringLiteral("频段")));
        QVERIFY(chinese.out.contains(QStringLiteral("446.09375")));
    }

    void helpAndVersion()
    {
        const Run help = Cli({QStringLiteral("--help")});
        QCOMPARE(help.status, 0);
        for (const char *command : {"new", "show", "unpack", "pack"})
            QVERIFY(help.out.contains(QString::fromLatin1(command)));
        const Run commandHelp = Cli({QStringLiteral("new"), QStringLiteral("--help")});
        QCOMPARE(commandHelp.status, 0);
        QVERIFY(commandHelp.out.contains(QStringLiteral("--band")));
        const Run version = Cli({QStringLiteral("--version")});
        QCOMPARE(version.status, 0);
        QVERIFY(version.out.startsWith(QStringLiteral("zrk6-cli ")));
    }

    void failuresAreOneLineOnStandardError_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("exitCode");

        const QTemporaryDir &d = dir_;
        WriteRaw(d.filePath(QStringLiteral("text.dat")), QByteArrayLiteral("hello\n"));
        WriteRaw(d.filePath(QStringLiteral("empty.dat")), QByteArray());
        WriteRaw(d.filePath(QStringLiteral("short.img")), QByteArray(4095, '\xFF'));
        WriteRaw(d.filePath(QStringLiteral("long.img")), QByteArray(4097, '\xFF'));
        const QString missing = d.filePath(QStringLiteral("missing.dat"));

        QTest::newRow("not a data file") << QStringList{QStringLiteral("show"), d.filePath(QStringLiteral("text.dat"))}
                                         << QStringLiteral("Incorrect File Type.") << 1;
        QTest::newRow("empty data file") << QStringList{QStringLiteral("unpack"), d.filePath(QStringLiteral("empty.dat")), d.filePath(QStringLiteral("x.img"))}
                                         << QStringLiteral("Incorrect File Type.") << 1;
        QTest::newRow("chinese refusal") << QStringList{QStringLiteral("show"), QStringLiteral("--lang=zh"), d.filePath(QStringLiteral("text.dat"))}
                                         << QStringLiteral("文件类型不正确。") << 1;
        QTest::newRow("missing file") << QStringList{QStringLiteral("show"), missing} << missing << 1;
        QTest::newRow("short image") << QStringList{QStringLiteral("pack"), d.filePath(QStringLiteral("short.img")), d.filePath(QStringLiteral("x.dat"))}
                                     << QStringLiteral("4096") << 1;
        QTest::newRow("long image") << QStringList{QStringLiteral("pack"), d.filePath(QStringLiteral("long.img")), d.filePath(QStringLiteral("x.dat"))}
                                    << QStringLiteral("4096") << 1;
        QTest::newRow("unknown band") << QStringList{QStringLiteral("new"), QStringLiteral("--band"), QStringLiteral("8"), d.filePath(QStringLiteral("x.dat"))}
                                      << QStringLiteral("unknown band") << 2;
        QTest::newRow("unknown language") << QStringList{QStringLiteral("show"), QStringLiteral("--lang"), QStringLiteral("fr"), d.filePath(QStringLiteral("text.dat"))}
                                          << QStringLiteral("unknown language") << 2;
        QTest::newRow("unknown command") << QStringList{QStringLiteral("frobnicate")} << QStringLiteral("unknown command") << 2;
        QTest::newRow("missing argument") << QStringList{QStringLiteral("unpack"), d.filePath(QStringLiteral("text.dat"))}
                                          << QStringLiteral("missing arguments") << 2;
        QTest::newRow("extra argument") << QStringList{QStringLiteral("show"), d.filePath(QStringLiteral("text.dat")), QStringLiteral("more")}
                                        << QStringLiteral("unexpected argument 'more'") << 2;
        QTest::newRow("unknown option") << QStringList{QStringLiteral("show"), QStringLiteral("--frob"), d.filePath(QStringLiteral("text.dat"))}
                                        << QStringLiteral("frob") << 2;
        QTest::newRow("no folder to save in") << QStringList{QStringLiteral("new"), d.filePath(QStringLiteral("no/such/x.dat"))}
                                              << d.filePath(QStringLiteral("no/such/x.dat")) << 1;
    }

    void failuresAreOneLineOnStandardError()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, message);
        QFETCH(int, exitCode);
        const Run run = Cli(arguments);
        QCOMPARE(run.status, exitCode);
        QVERIFY(run.out.isEmpty());
        QVERIFY2(run.err.startsWith(QStringLiteral("zrk6-cli: ")), qPrintable(run.err));
        QVERIFY2(run.err.contains(message), qPrintable(run.err));
        QCOMPARE(run.err.count(u'\n'), 1);
        QVERIFY(!QFile::exists(dir_.filePath(QStringLiteral("x.dat"))));
        QVERIFY(!QFile::exists(dir_.filePath(QStringLiteral("x.img"))));
    }

    void anExistingOutputIsReplacedOnlyWithForce()
    {
        WriteRaw(path("keep.dat"), QByteArrayLiteral("precious"));
        const Run refused = Cli({QStringLiteral("new"), path("keep.dat")});
        QCOMPARE(refused.status, 1);
        QVERIFY(refused.err.contains(QStringLiteral("--force")));
        QCOMPARE(ReadRaw(path("keep.dat")), QByteArrayLiteral("precious"));

        QCOMPARE(Cli({QStringLiteral("new"), QStringLiteral("--force"), path("keep.dat")}).status, 0);
        QVERIFY(LoadDataFile(path("keep.dat")).ok());
    }

    void diffListsDifferencesAndExitsLikeDiff()
    {
        QCOMPARE(Cli({QStringLiteral("new"), QStringLiteral("--force"), path("base.dat")}).status, 0);
        QCOMPARE(Cli({QStringLiteral("unpack"), path("base.dat"), path("other.img")}).status, 0);
        QByteArray raw = ReadRaw(path("other.img"));
        raw.replace(0, 4, QByteArray("\x00\x00\x50\x14", 4)); // channel 1 at 145.00000
        raw[0x900] = '\x5A';
        WriteRaw(path("other.img"), raw);
        WriteRaw(path("junk.dat"), QByteArrayLiteral("not a radio memory"));

        // A data file and its own raw image are the same memory.
        QCOMPARE(Cli({QStringLiteral("unpack"), path("base.dat"), path("same.img")}).status, 0);
        Run run = Cli({QStringLiteral("diff"), path("base.dat"), path("same.img")});
        QCOMPARE(run.status, 0);
        QCOMPARE(run.out, QString());

        run = Cli({QStringLiteral("diff"), path("base.dat"), path("other.img")});
        QCOMPARE(run.status, 1);
        QCOMPARE(run.out, QStringLiteral("Channel 1: added\nAddress 0x900: FF -> 5A\n"));

        run = Cli({QStringLiteral("diff"), QStringLiteral("--bytes"), QStringLiteral("--lang"), QStringLiteral("zh"),
                   path("other.img"), path("base.dat")});
        QCOMPARE(run.status, 1);
        QCOMPARE(run.out, QStringLiteral("信道 1: 已删除\n地址 0x900: 5A -> FF\n\n"
                                         "0x000: 00 -> FF\n0x001: 00 -> FF\n0x002: 50 -> FF\n0x003: 14 -> FF\n"
                                         "0x900: 5A -> FF\n"));

        // Trouble is 2, with one line that says why.
        for (const QStringList &arguments :
             {QStringList{path("base.dat"), path("missing.dat")}, QStringList{path("junk.dat"), path("base.dat")},
              QStringList{path("base.dat")}, QStringList{QStringLiteral("--lang"), QStringLiteral("fr"),
                                                         path("base.dat"), path("same.img")}}) {
            run = Cli(QStringList{QStringLiteral("diff")} + arguments);
            QCOMPARE(run.status, 2);
            QCOMPARE(run.err.count(QLatin1Char('\n')), 1);
            QVERIFY(run.out.isEmpty());
        }
    }

    void noArgumentsShowsUsage()
    {
        const Run run = Cli({});
        QCOMPARE(run.status, 2);
        QVERIFY(run.err.contains(QStringLiteral("COMMAND")));
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "test_cli.moc"

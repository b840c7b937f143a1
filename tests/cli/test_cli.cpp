// Runs the real zrk6-cli binary on files in a temporary directory.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#endif

#include "cli_run.h"
#include "disk_faults.h"
#include "files/data_file_io.h"
#include "model/memory_image.h"

using namespace zrk6;
using Run = zrk6::test::CliRun;
constexpr auto Cli = zrk6::test::RunCli;
using zrk6::test::SmallFileSystem;

namespace {

constexpr auto ReadRaw = zrk6::test::ReadFileBytes;

void WriteRaw(const QString &path, const QByteArray &bytes)
{
    QVERIFY(zrk6::test::WriteFileBytes(path, bytes));
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
#ifdef Q_OS_UNIX
        // Opening a pipe would wait for a writer for good.
        const QString pipe = d.filePath(QStringLiteral("pipe.dat"));
        QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
        QTest::newRow("pipe as data file") << QStringList{QStringLiteral("show"), pipe}
                                           << pipe + QStringLiteral(": Not a regular file.") << 1;
        QTest::newRow("pipe as image") << QStringList{QStringLiteral("pack"), pipe, d.filePath(QStringLiteral("x.dat"))}
                                       << pipe + QStringLiteral(": Not a regular file.") << 1;
#endif
        QTest::newRow("folder as data file") << QStringList{QStringLiteral("unpack"), d.path(), d.filePath(QStringLiteral("x.img"))}
                                             << QStringLiteral("Not a regular file.") << 1;
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

#ifdef Q_OS_UNIX // Windows makes shortcuts, not links
        // A symbolic link whose target is missing is there all the same: saving would write through it.
        QVERIFY(QFile::link(path("elsewhere.dat"), path("link.dat")));
        const Run dangling = Cli({QStringLiteral("new"), path("link.dat")});
        QCOMPARE(dangling.status, 1);
        QVERIFY2(dangling.err.contains(QStringLiteral("--force")), qPrintable(dangling.err));
        QVERIFY(!QFileInfo::exists(path("elsewhere.dat")));
        QCOMPARE(Cli({QStringLiteral("new"), QStringLiteral("--force"), path("link.dat")}).status, 0);
        QVERIFY(LoadDataFile(path("elsewhere.dat")).ok());
#endif
    }

    // A disk that fills up while saving: an error, and the old file as it was. Data files are
    // small enough that the system reports the failure only when the last bytes go out.
    void aSaveThatRunsOutOfSpaceFailsAndKeepsTheOldFile_data()
    {
        QTest::addColumn<bool>("fullDisk"); // else a file size limit of 0 for zrk6-cli
        QTest::newRow("size limit") << false;
        QTest::newRow("full disk") << true;
    }

    void aSaveThatRunsOutOfSpaceFailsAndKeepsTheOldFile()
    {
        QFETCH(bool, fullDisk);
#ifndef Q_OS_UNIX
        QSKIP("file size limits and small file systems are Unix's");
#endif
        SmallFileSystem disk;
        if (fullDisk && !disk.ok())
            QSKIP("mounting a small tmpfs is not allowed here");
        const QString file = fullDisk ? disk.filePath(QStringLiteral("radio.dat")) : path("limited.dat");
        QCOMPARE(Cli({QStringLiteral("new"), file}).status, 0);
        const QByteArray before = ReadRaw(file);

        Run run;
        const QStringList arguments{QStringLiteral("new"), QStringLiteral("--force"), QStringLiteral("--band"),
                                    QStringLiteral("446 - 447 MHz"), file};
        if (fullDisk) {
            QVERIFY(disk.fill());
            run = Cli(arguments);
        } else {
#ifdef Q_OS_UNIX
            run = zrk6::test::RunCliWith(arguments, [] {
                ::signal(SIGXFSZ, SIG_IGN);
                rlimit limit{};
                ::getrlimit(RLIMIT_FSIZE, &limit);
                limit.rlim_cur = 0;
                ::setrlimit(RLIMIT_FSIZE, &limit);
            });
#endif
        }
        QCOMPARE(run.status, 1);
        const QString reason = fullDisk ? QStringLiteral("No space left on device") : QStringLiteral("File too large");
        QVERIFY2(run.err == QStringLiteral("zrk6-cli: %1: %2\n").arg(file, reason), qPrintable(run.err));
        QCOMPARE(ReadRaw(file), before);
        const QString name = QFileInfo(file).fileName();
        QCOMPARE(QDir(QFileInfo(file).path()).entryList({name + u'*'}, QDir::Files | QDir::Hidden), QStringList{name});
    }

    // The doctor's judgement is tested on fake systems in test_cable_doctor; here the command
    // itself: its output, its exit status and --port, on a fake system below --root.
    void doctorReportsAndExitsByWhatItFinds()
    {
#ifndef Q_OS_LINUX
        QSKIP("the doctor reads sysfs on Linux only");
#endif
        const QString root = path("system");
        const Run nothing = Cli({QStringLiteral("doctor"), QStringLiteral("--root"), root});
        QCOMPARE(nothing.status, 1);
        QVERIFY2(nothing.out.contains(QStringLiteral("No USB serial adapter is plugged in.")), qPrintable(nothing.out));

        // A CP2102 adapter on ttyUSB0, as sysfs shows one.
        const QString usb = root + QStringLiteral("/sys/devices/usb1/1-2");
        const QString port = usb + QStringLiteral("/1-2:1.0/ttyUSB0");
        QVERIFY(QDir().mkpath(port + QStringLiteral("/tty/ttyUSB0")));
        QVERIFY(QDir().mkpath(root + QStringLiteral("/sys/class/tty")));
        QVERIFY(QDir().mkpath(root + QStringLiteral("/dev")));
        WriteRaw(usb + QStringLiteral("/idVendor"), "10c4\n");
        WriteRaw(usb + QStringLiteral("/idProduct"), "ea60\n");
        WriteRaw(root + QStringLiteral("/dev/ttyUSB0"), {});
        QVERIFY(QFile::link(port, port + QStringLiteral("/tty/ttyUSB0/device")));
        QVERIFY(QFile::link(port + QStringLiteral("/tty/ttyUSB0"), root + QStringLiteral("/sys/class/tty/ttyUSB0")));
        const Run well = Cli({QStringLiteral("doctor"), QStringLiteral("--root"), root});
        QCOMPARE(well.status, 0);
        QCOMPARE(well.out, QStringLiteral("Serial ports:\n  %1/dev/ttyUSB0: USB 10c4:ea60, CP210x\n    You can open it.\n"
                                          "Nothing stands in the way.\n").arg(root));

        const Run missing = Cli({QStringLiteral("doctor"), QStringLiteral("--root"), root, QStringLiteral("--port"),
                                 QStringLiteral("ttyUSB7"), QStringLiteral("--lang"), QStringLiteral("zh")});
        QCOMPARE(missing.status, 1);
        QVERIFY2(missing.out.contains(QStringLiteral("设备 %1/dev/ttyUSB7 不存在。").arg(root)), qPrintable(missing.out));
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

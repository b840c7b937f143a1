// zrk6-cli read, write and ports, run as a user would, against zrk6-radiosim.
#include <csignal>
#include <optional>

#include <QProcess>
#include <QSerialPort>
#include <QStandardPaths>
#include <QtTest>

#ifdef Q_OS_LINUX
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "cli_run.h"
#include "files/data_file_io.h"
#include "model/band.h"
#include "model/channel_record.h"
#include "record_fixtures.h"
#include "radiosim_process.h"
#include "sample_memory.h"
#include "text/text_table.h"

using namespace zrk6;
using zrk6::test::PatternMemory;
using Run = zrk6::test::CliRun;
constexpr auto Cli = zrk6::test::RunCli;
using zrk6::test::RadioSimProcess;
using zrk6::test::TimeScaleScope;

namespace {

QByteArray FileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestCliLink : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { test::UseShortTime(); }
    void readSavesTheRadioMemoryAndTraces();
    void writeSendsTheFile();
    void failedReadKeepsTheOldFile();
    void retriesRecoverFromAFault_data();
    void retriesRecoverFromAFault();
    void aChatteringLineGivesUp();
    void eachBadLineHasItsOwnSecondLine_data();
    void eachBadLineHasItsOwnSecondLine();
    void probeGreetsAndWritesNothing_data();
    void probeGreetsAndWritesNothing();
    void interruptSendsTheEndByteAndWritesNothing_data();
    void interruptSendsTheEndByteAndWritesNothing();
    void traceFileIsReplacedOnlyWithForce();
    void aPortHeldByAnotherProgramIsNamedSo();
    void identificationIsCheckedAgainstTheBase();
    void portProblemsAreReported();
    void portsListsFourNumberedPorts();
    void verifyReadsTheRadioBack_data();
    void verifyReadsTheRadioBack();
    void backupsAfterReadAndBeforeWrite();
    void aBackupThatFailsLeavesTheTransferAlone();
    void permissionErrorExplainsTheGroup();
    void channelsOnlyKeepsTheRadiosOwnSettings();
    void fleetProgramsEveryPortAndLogsEachRadio();
    void fleetInterruptedEndsEveryRadioAndKeepsTheLog();
};

void TestCliLink::readSavesTheRadioMemoryAndTraces()
{
    RadioSimProcess sim;
    QVERIFY(sim.start());
    const QString out = sim.path(QStringLiteral("radio.dat"));
    const QString trace = sim.path(QStringLiteral("trace.txt"));

    const Run run = Cli({QStringLiteral("read"), QStringLiteral("--port"), sim.link(), QStringLiteral("--trace"), trace, out});
    QCOMPARE(run.status, 0);
    QVERIFY2(run.out.startsWith(QStringLiteral("Reading completed!\n")), qPrintable(run.out));
    QVERIFY(run.out.contains(QStringLiteral("400 - 470 MHz")));
    // Without a terminal the progress comes as lines.
    QVERIFY(run.err.contains(QStringLiteral("Completion percentage:  0%\n")));
    QVERIFY(run.err.contains(QStringLiteral("Completion percentage: 100%\n")));

    const LoadedDataFile loaded = LoadDataFile(out);
    QVERIFY(loaded.ok());
    QVERIFY(loaded.image == radiosim::BuildSampleMemory());

    // Every byte in both directions, time-stamped: the greeting first, the end byte last.
    const QStringList lines = QString::fromLatin1(FileBytes(trace)).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    const QRegularExpression line(QStringLiteral("^ *\\d+ ([<>]) ([0-9A-F]{2}( [0-9A-F]{2})*)$"));
    int messagesOut = 0;
    int bytesIn = 0;
    for (const QString &l : lines) {
        const QRegularExpressionMatch m = line.match(l);
        QVERIFY2(m.hasMatch(), qPrintable(l));
        if (m.captured(1) == QLatin1String(">"))
            ++messagesOut;
        else
            bytesIn += static_cast<int>(m.captured(2).size() + 1) / 3;
    }
    QCOMPARE(messagesOut, 3 + 2 * 512 + 1);
    QCOMPARE(bytesIn, 1 + 8 + 1 + 512 * 13);
    QVERIFY(lines.first().endsWith(QStringLiteral("> 02 50 52 4F 47 52 41")));
    QVERIFY(lines[1].endsWith(QStringLiteral("< 06")));
    QVERIFY(lines.last().endsWith(QStringLiteral("> 45")));
}

void TestCliLink::writeSendsTheFile()
{
    RadioSimProcess sim;
    const QString saved = sim.path(QStringLiteral("radio.img"));
    QVERIFY(sim.start({QStringLiteral("--save"), saved}));
    const MemoryImage image = PatternMemory(9);
    const QString in = sim.path(QStringLiteral("in.dat"));
    QCOMPARE(SaveDataFile(in, image), QString());

    const Run run = Cli({QStringLiteral("write"), QStringLiteral("--port"), sim.link(), in});
    QCOMPARE(run.status, 0);
    QCOMPARE(run.out, QStringLiteral("Writing completed!\n"));

    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(saved), 5000);
    const MemoryImage radio = RadioSimProcess::readImage(saved);
    for (int a = 0; a < 0xFE0; ++a)
        QVERIFY2(radio.at(a) == image.at(a), qPrintable(QString::number(a, 16)));
}

void TestCliLink::failedReadKeepsTheOldFile()
{
    RadioSimProcess sim;
    QVERIFY(sim.start({QStringLiteral("--fault"), QStringLiteral("short:300")}));
    const QString out = sim.path(QStringLiteral("mine.dat"));
    QCOMPARE(SaveDataFile(out, PatternMemory(1)), QString());
    const QByteArray before = FileBytes(out);

    // An existing file is replaced only when asked for.
    Run run = Cli({QStringLiteral("read"), QStringLiteral("--port"), sim.link(), out});
    QCOMPARE(run.status, 1);
    QVERIFY2(run.err.contains(QStringLiteral("--force")), qPrintable(run.err));

    run = Cli({QStringLiteral("read"), QStringLiteral("--force"), QStringLiteral("--port"), sim.link(), out});
    QCOMPARE(run.status, 1);
    QVERIFY2(run.err.contains(QStringLiteral("Check Connection. Retry or Cancel?(Error03)")), qPrintable(run.err));
    QVERIFY2(run.err.contains(QStringLiteral("did not complete (Error03)")), qPrintable(run.err));
    QVERIFY(!run.err.contains(QStringLiteral("doctor"))); // the radio answered: the cable works
    QVERIFY(run.out.isEmpty());
    QCOMPARE(FileBytes(out), before);
    QCOMPARE(QDir(sim.path(QString())).entryList({QStringLiteral("mine*")}, QDir::Files),
             QStringList{QStringLiteral("mine.dat")});
}

void TestCliLink::retriesRecoverFromAFault_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("code");
    const auto fault = [](const char *kind) { return QStringList{QStringLiteral("--fault"), QLatin1String(kind)}; };
    QTest::newRow("wrong acknowledgement") << fault("bad-ack:5") << "(Error02)";
    QTest::newRow("reply for the next block") << fault("wrong-address:9") << "(Error02)";
    // The late reply is still on its way when the retry greets; its 06 bytes must not be taken
    // for the answers to the greeting and the identification.
    QTest::newRow("late reply") << fault("late:7") << "(Error03)";
    // The cable is pulled: the device goes away, and its name (the link) leads to the new one.
    QTest::newRow("unplugged cable") << fault("hangup:20") << "(Error03)";
    QTest::newRow("radio deaf to the first greeting") << QStringList{QStringLiteral("--ignore-first-greeting")}
                                                      << "(Error01)";
}

void TestCliLink::retriesRecoverFromAFault()
{
    QFETCH(QStringList, options);
    QFETCH(QString, code);
#ifdef Q_OS_WIN
    // Under Wine the port hears the line later than on Linux: on the shortened time a late reply
    // can come after the line was judged quiet. The real time-outs leave it the real margin.
    const TimeScaleScope realTime;
#endif
    RadioSimProcess sim;
    MemoryImage radio = PatternMemory(6);
    radio.fill(7 * 8, 8, 0x06);
    QVERIFY(sim.start(options + QStringList{QStringLiteral("--image"),
                                            sim.writeImage(QStringLiteral("radio.img"), radio)}));
    const QString out = sim.path(QStringLiteral("radio.dat"));
    const Run run = Cli({QStringLiteral("read"), QStringLiteral("--retries"), QStringLiteral("1"),
                         QStringLiteral("--port"), sim.link(), out});
    QVERIFY2(run.status == 0, qPrintable(run.err));
    QCOMPARE(run.err.count(QStringLiteral("Check Connection. Retry or Cancel?")), 1);
    QVERIFY2(run.err.contains(QStringLiteral("Check Connection. Retry or Cancel?") + code), qPrintable(run.err));
    QVERIFY(run.err.contains(QStringLiteral("retrying from the greeting (1 of 1)")));
    QVERIFY(LoadDataFile(out).image == radio);
}

void TestCliLink::aChatteringLineGivesUp()
{
    // A device that keeps talking on the line: each attempt ends at its own time limit.
    RadioSimProcess sim;
    QVERIFY(sim.start({QStringLiteral("--fault"), QStringLiteral("chatter")}));
    const QString out = sim.path(QStringLiteral("radio.dat"));
    const Run run = Cli({QStringLiteral("read"), QStringLiteral("--retries"), QStringLiteral("1"),
                         QStringLiteral("--port"), sim.link(), out});
    QCOMPARE(run.status, 1);
    QCOMPARE(run.err.count(QStringLiteral("Check Connection. Retry or Cancel?(Error01)")), 2);
    QVERIFY2(run.err.contains(QStringLiteral("did not complete (Error01)")), qPrintable(run.err));
    QVERIFY(!QFile::exists(out));
}

void TestCliLink::eachBadLineHasItsOwnSecondLine_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("code");
    QTest::addColumn<int>("textId");
    QTest::newRow("silent") << QStringList{QStringLiteral("--fault"), QStringLiteral("silent")} << "(Error01)" << 1680;
    QTest::newRow("plug half in") << QStringList{QStringLiteral("--cable"), QStringLiteral("half-in")} << "(Error01)"
                                  << 1681;
    QTest::newRow("junk on the line") << QStringList{QStringLiteral("--fault"), QStringLiteral("chatter")}
                                      << "(Error01)" << 1682;
    QTest::newRow("echoing cable, radio answering") << QStringList{QStringLiteral("--cable"), QStringLiteral("echo")}
                                                    << "(Error02)" << 1683;
}

void TestCliLink::eachBadLineHasItsOwnSecondLine()
{
    QFETCH(QStringList, options);
    QFETCH(QString, code);
    QFETCH(int, textId);
    RadioSimProcess sim;
    QVERIFY(sim.start(options));
    const Run run = Cli({QStringLiteral("read"), QStringLiteral("--port"), sim.link(), sim.path(QStringLiteral("r.dat"))});
    QCOMPARE(run.status, 1);
    const QString expected = QStringLiteral("Check Connection. Retry or Cancel?") + code + QLatin1Char('\n') +
                             QString::fromUtf8(LoadText(textId, kEnglish).data());
    QVERIFY2(run.err.contains(expected), qPrintable(run.err));
    QVERIFY(!run.err.contains(QStringLiteral("Model type is wrong.")));
}

void TestCliLink::probeGreetsAndWritesNothing_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("status");
    QTest::addColumn<QStringList>("says");
    QTest::addColumn<QString>("radioLog"); // how the transfer ended on the radio's side
    QTest::addColumn<bool>("realTime");    // the probe judges a slow line by real milliseconds
    const QString id = QStringLiteral("Radio identification: 12 34 56 78 9A BC DE F0");
    const QString twoSteps = QStringLiteral("Two steps tell the cable from the radio");
    const QString slow = QStringLiteral("The answers took much longer than the wire needs");
    QTest::newRow("good line") << QStringList() << 0 << QStringList{id} << "transfer ended before any block" << false;
    QTest::newRow("slow answer") << QStringList{QStringLiteral("--greeting-ack-delay"), QStringLiteral("60")} << 0
                                 << QStringList{id, slow} << "transfer ended before any block" << true;
    QTest::newRow("silent") << QStringList{QStringLiteral("--fault"), QStringLiteral("silent")} << 1
                            << QStringList{QStringLiteral("(Error01)"), QStringLiteral("did not answer at all"), twoSteps}
                            << "" << false;
    QTest::newRow("plug half in") << QStringList{QStringLiteral("--cable"), QStringLiteral("half-in")} << 1
                                  << QStringList{QStringLiteral("own bytes came straight back"), twoSteps} << ""
                                  << false;
    QTest::newRow("echoing cable") << QStringList{QStringLiteral("--cable"), QStringLiteral("echo")} << 1
                                   << QStringList{QStringLiteral("(Error03)"), QStringLiteral("began with the program's own bytes")}
                                   << "transfer ended before any block" << false;
}

void TestCliLink::probeGreetsAndWritesNothing()
{
    QFETCH(QStringList, options);
    QFETCH(int, status);
    QFETCH(QStringList, says);
    QFETCH(QString, radioLog);
    QFETCH(bool, realTime);
    std::optional<TimeScaleScope> real;
    if (realTime)
        real.emplace();
    MemoryImage radio = PatternMemory(12);
    const std::uint8_t id[] = {0xF0, 0xDE, 0xBC, 0x9A, 0x78, 0x56, 0x34, 0x12}; // 0xFB0 .. 0xFB7
    for (int i = 0; i < 8; ++i)
        radio.set(addr::kRadioId + i, id[i]);
    RadioSimProcess sim;
    QVERIFY(sim.start(options + QStringList{QStringLiteral("--image"), sim.writeImage(QStringLiteral("r.img"), radio)},
                      false));
    const Run run = Cli({QStringLiteral("doctor"), QStringLiteral("--port"), sim.link(), QStringLiteral("--probe")});
    QVERIFY2(run.status == status, qPrintable(run.out + run.err));
    for (const QString &text : says)
        QVERIFY2(run.out.contains(text), qPrintable(run.out));
    QByteArray log;
    if (!radioLog.isEmpty())
        QTRY_VERIFY_WITH_TIMEOUT((log += sim.errors()).contains(radioLog.toUtf8()), 5000);
    QVERIFY(!log.contains("write request") && !log.contains("read request") && !log.contains("blocks read"));
}

void TestCliLink::interruptSendsTheEndByteAndWritesNothing_data()
{
    QTest::addColumn<int>("signal");
    QTest::newRow("Ctrl+C") << int(SIGINT);
    QTest::newRow("SIGTERM") << int(SIGTERM);
}

void TestCliLink::interruptSendsTheEndByteAndWritesNothing()
{
#ifdef Q_OS_WIN
    QSKIP("Ctrl+C reaches zrk6-cli through its console, and a test program under Wine gives it none");
#else
    QFETCH(int, signal);
    RadioSimProcess sim;
    // Paced as the radio is (9600 baud, on the tests' short time), a read lasts long enough to interrupt.
    QVERIFY(sim.start({QStringLiteral("--pace"), QStringLiteral("9600")}, false));
    const QString out = sim.path(QStringLiteral("radio.dat"));
    const QString trace = sim.path(QStringLiteral("trace.txt"));
    QProcess cli;
    cli.start(QStringLiteral(ZRK6_CLI),
              {QStringLiteral("read"), QStringLiteral("--port"), sim.link(), QStringLiteral("--trace"), trace, out});
    QVERIFY(cli.waitForStarted());
    QByteArray err;
    QTRY_VERIFY_WITH_TIMEOUT((err += cli.readAllStandardError()).contains("Completion percentage: 10%"), 20000);
    QCOMPARE(::kill(static_cast<pid_t>(cli.processId()), signal), 0);
    QVERIFY(cli.waitForFinished(10000));
    err += cli.readAllStandardError();
    QCOMPARE(cli.exitStatus(), QProcess::NormalExit);
    QCOMPARE(cli.exitCode(), 130);
    QVERIFY2(err.endsWith("zrk6-cli: interrupted; the read was cancelled\n"), err.constData());
    QVERIFY(cli.readAllStandardOutput().isEmpty());
    QVERIFY(!QFile::exists(out));
    // The end byte left last (the rest of a reply under way may still come in after it), and the
    // radio took it: it leaves clone mode.
    const QByteArray traced = FileBytes(trace);
    const qsizetype lastSent = traced.lastIndexOf(" > ");
    QVERIFY2(lastSent >= 0 && traced.mid(lastSent, traced.indexOf('\n', lastSent) - lastSent) == " > 45",
             traced.right(300).constData());
    QByteArray log;
    QTRY_VERIFY_WITH_TIMEOUT((log += sim.errors()).contains("read ended"), 5000);
#endif
}

void TestCliLink::traceFileIsReplacedOnlyWithForce()
{
    QTemporaryDir dir;
    const QString trace = dir.filePath(QStringLiteral("trace.txt"));
    const QString out = dir.filePath(QStringLiteral("radio.dat"));
    QFile file(trace);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("yesterday's trace\n");
    file.close();
    const QString dangling = dir.filePath(QStringLiteral("link.txt"));
    QVERIFY(QFile::link(dir.filePath(QStringLiteral("nowhere.txt")), dangling));

    for (const QString &path : {trace, dangling}) {
        for (const QString &command : {QStringLiteral("read"), QStringLiteral("write")}) {
            const Run run = Cli({command, QStringLiteral("--trace"), path, QStringLiteral("--port"),
                                 QStringLiteral("/nonexistent/ttyZR"), out});
            QCOMPARE(run.status, 1);
            QVERIFY2(run.err.contains(path + QStringLiteral(": file exists (use --force")), qPrintable(run.err));
        }
    }
    // With --force the trace starts only once the port is open.
    const Run run = Cli({QStringLiteral("read"), QStringLiteral("--force"), QStringLiteral("--trace"), trace,
                         QStringLiteral("--port"), QStringLiteral("/nonexistent/ttyZR"), out});
    QCOMPARE(run.status, 1);
    QVERIFY(run.err.contains(QStringLiteral("Cannot Open Communication Port.")));
    QCOMPARE(FileBytes(trace), QByteArray("yesterday's trace\n"));
    QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("nowhere.txt"))));
}

void TestCliLink::aPortHeldByAnotherProgramIsNamedSo()
{
#ifdef Q_OS_WIN
    if (test::RunningUnderWine())
        QSKIP("Wine lets a second program open a serial device that one holds; Windows does not");
#endif
    RadioSimProcess sim;
    QVERIFY(sim.start());
    QSerialPort holder(sim.link());
    QVERIFY2(holder.open(QIODevice::ReadWrite), qPrintable(holder.errorString()));
    const QString out = sim.path(QStringLiteral("radio.dat"));
    Run run = Cli({QStringLiteral("read"), QStringLiteral("--port"), sim.link(), out});
    QCOMPARE(run.status, 1);
    // The doctor names ModemManager, a usual holder of a new port.
    QCOMPARE(run.err, QStringLiteral("zrk6-cli: Cannot Open Communication Port. %1: The port is in use by another program.\n"
                                     "zrk6-cli: Run 'zrk6-cli doctor' to check the cable and the port.\n")
                          .arg(sim.link()));
    run = Cli({QStringLiteral("read"), QStringLiteral("--lang"), QStringLiteral("zh"), QStringLiteral("--port"),
               sim.link(), out});
    QVERIFY2(run.err.contains(QString::fromUtf8(LoadText(1700, kChinese).data())), qPrintable(run.err));
    holder.close();
    QCOMPARE(Cli({QStringLiteral("read"), QStringLiteral("--port"), sim.link(), out}).status, 0);
}

void TestCliLink::identificationIsCheckedAgainstTheBase()
{
    RadioSimProcess sim;
    QVERIFY(sim.start());
    MemoryImage base = PatternMemory(2);
    base.set(addr::kRadioId + 3, 0x41);
    const QString basePath = sim.path(QStringLiteral("base.dat"));
    QCOMPARE(SaveDataFile(basePath, base), QString());
    const QString out = sim.path(QStringLiteral("radio.dat"));

    Run run = Cli({QStringLiteral("read"), QStringLiteral("--base"), basePath, QStringLiteral("--port"), sim.link(), out});
    QCOMPARE(run.status, 1);
    QVERIFY2(run.err.contains(QStringLiteral("Model type is wrong.")), qPrintable(run.err));
    QVERIFY(!QFile::exists(out));

    // The same identification in the file to write is refused the same way.
    run = Cli({QStringLiteral("write"), QStringLiteral("--port"), sim.link(), basePath});
    QCOMPARE(run.status, 1);
    QVERIFY(run.err.contains(QStringLiteral("Model type is wrong.")));
}

void TestCliLink::portProblemsAreReported()
{
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("radio.dat"));
    Run run = Cli({QStringLiteral("read"), QStringLiteral("--port"), QStringLiteral("/nonexistent/ttyZR"), out});
    QCOMPARE(run.status, 1);
    QVERIFY2(run.err.contains(QStringLiteral("Cannot Open Communication Port. /nonexistent/ttyZR: ")), qPrintable(run.err));
    QVERIFY2(run.err.endsWith(QStringLiteral("zrk6-cli: Run 'zrk6-cli doctor' to check the cable and the port.\n")),
             qPrintable(run.err));
    QVERIFY(!QFile::exists(out));

    // A radio that never answers points to the doctor too.
    RadioSimProcess silent;
    QVERIFY(silent.start({QStringLiteral("--fault"), QStringLiteral("silent")}));
    run = Cli({QStringLiteral("read"), QStringLiteral("--port"), silent.link(), out});
    QCOMPARE(run.status, 1);
    QVERIFY2(run.err.contains(QStringLiteral("did not complete (Error01)\nzrk6-cli: Run 'zrk6-cli doctor'")),
             qPrintable(run.err));
    // Both the prompt and the last word name the port that was tried.
    QVERIFY2(run.err.contains(QStringLiteral("\nPort: ") + silent.link() + QLatin1Char('\n')), qPrintable(run.err));
    QVERIFY2(run.err.contains(QStringLiteral("the read on %1 did not complete").arg(silent.link())), qPrintable(run.err));

    run = Cli({QStringLiteral("read"), QStringLiteral("--port"), QStringLiteral("257"), out}); // past COM256
    QCOMPARE(run.status, 2);
    run = Cli({QStringLiteral("write"), QStringLiteral("--retries"), QStringLiteral("many"), out});
    QCOMPARE(run.status, 2);
}

void TestCliLink::portsListsFourNumberedPorts()
{
    const Run run = Cli({QStringLiteral("ports")});
    QCOMPARE(run.status, 0);
    const QStringList lines = run.out.split(QLatin1Char('\n'));
    QVERIFY(lines.size() >= 5);
    for (int n = 1; n <= 4; ++n)
        QVERIFY2(lines[n].startsWith(QString::number(n) + QLatin1Char(' ')), qPrintable(lines[n]));
}

void TestCliLink::permissionErrorExplainsTheGroup()
{
#ifdef Q_OS_LINUX
    RadioSimProcess sim;
    QVERIFY(sim.start());
    const QByteArray device = QFile::encodeName(sim.device());
    QStringList command{QStringLiteral(ZRK6_CLI)};
    QString expected;
    if (::geteuid() == 0) {
        // Root may open anything: try as an ordinary user on a device of the dialout group.
        const struct group *dialout = ::getgrnam("dialout");
        if (!dialout || QStandardPaths::findExecutable(QStringLiteral("runuser")).isEmpty())
            QSKIP("needs the dialout group and runuser");
        QCOMPARE(::chown(device.constData(), 0, dialout->gr_gid), 0);
        QCOMPARE(::chmod(device.constData(), 0660), 0);
        command = QStringList{QStringLiteral("runuser"), QStringLiteral("-u"), QStringLiteral("nobody"),
                              QStringLiteral("--")} + command;
        expected = QStringLiteral("it must belong to the group \"dialout\" that owns the device");
    } else {
        QCOMPARE(::chmod(device.constData(), 0), 0);
        expected = QStringLiteral("it needs read and write access to the device");
    }
    const QString program = command.takeFirst();
    command << QStringLiteral("read") << QStringLiteral("--port") << sim.device() << QStringLiteral("/nonexistent/x.dat");
    QProcess process;
    process.start(program, command);
    QVERIFY(process.waitForFinished(30000));
    const QString err = QString::fromUtf8(process.readAllStandardError());
    if (err.contains(QStringLiteral("runuser:")))
        QSKIP(qPrintable(QStringLiteral("runuser cannot switch users here: ") + err));
    QCOMPARE(process.exitCode(), 1);
    QVERIFY2(err.contains(QStringLiteral("Cannot Open Communication Port.")), qPrintable(err));
    QVERIFY2(err.contains(expected), qPrintable(err));
#else
    QSKIP("the group hint is for Linux");
#endif
}

void TestCliLink::verifyReadsTheRadioBack_data()
{
    QTest::addColumn<QStringList>("radio");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("expected");

    QTest::newRow("sound memory") << QStringList() << 0
                                  << QStringLiteral("Writing completed!\nThe radio's memory was verified: it holds "
                                                    "what was written.\n");
    // Bit 4 of the second byte of channel 1's receive frequency: 10 kHz more.
    QTest::newRow("a weak memory cell") << QStringList{QStringLiteral("--fault"), QStringLiteral("corrupt:0x001")} << 1
                                        << QStringLiteral("zrk6-cli: Verification failed: the radio's memory differs "
                                                          "from the data written.\n"
                                                          "Channel 1: RX Freq 435.12500 -> 435.13500\n"
                                                          "The radio may hold a partly written memory. Write the data "
                                                          "again.\n");
    // A byte that a write never sends cannot fail the check.
    QTest::newRow("a byte the write leaves alone")
        << QStringList{QStringLiteral("--fault"), QStringLiteral("corrupt:0xFE0")} << 0
        << QStringLiteral("Writing completed!\nThe radio's memory was verified: it holds what was written.\n");
}

void TestCliLink::verifyReadsTheRadioBack()
{
    QFETCH(QStringList, radio);
    QFETCH(int, status);
    QFETCH(QString, expected);
    RadioSimProcess sim;
    QVERIFY(sim.start(radio));
    MemoryImage image = radiosim::BuildSampleMemory();
    StoreRxFrequency(image, 1, "435.12500", ReadBandFromImage(image));
    const QString in = sim.path(QStringLiteral("in.dat"));
    QCOMPARE(SaveDataFile(in, image), QString());

    const Run run = Cli({QStringLiteral("write"), QStringLiteral("--verify"), QStringLiteral("--no-backup"),
                         QStringLiteral("--port"), sim.link(), in});
    QCOMPARE(run.status, status);
    // The read-back shows its own progress.
    QVERIFY2(run.err.contains(QStringLiteral("Verifying: 100%\n")), qPrintable(run.err));
    if (status == 0) {
        QCOMPARE(run.out, expected);
    } else {
        QVERIFY(run.out.isEmpty());
        QVERIFY2(run.err.endsWith(expected), qPrintable(run.err));
    }
}

void TestCliLink::backupsAfterReadAndBeforeWrite()
{
    RadioSimProcess sim;
    QVERIFY(sim.start());
    QTemporaryDir backups;
    qputenv("ZRK6_BACKUP_DIR", backups.path().toLocal8Bit());
    const QString out = sim.path(QStringLiteral("radio.dat"));
    const auto files = [&] { return QDir(backups.path()).entryList(QDir::Files, QDir::Name); };

    Run run = Cli({QStringLiteral("read"), QStringLiteral("--port"), sim.link(), out});
    QCOMPARE(run.status, 0);
    QCOMPARE(files().size(), 1);
    const QString readBackup = backups.filePath(files().at(0));
    QVERIFY2(QRegularExpression(QStringLiteral("^zrk6-\\d{8}-\\d{6}-read-400-470MHz\\.dat$")).match(files().at(0)).hasMatch(),
             qPrintable(files().at(0)));
    QVERIFY(LoadDataFile(readBackup).image == radiosim::BuildSampleMemory());
    QVERIFY2(run.err.contains(QStringLiteral("Backup saved: ") + QDir::toNativeSeparators(readBackup)),
             qPrintable(run.err));

    const MemoryImage toWrite = PatternMemory(4);
    const QString in = sim.path(QStringLiteral("in.dat"));
    QCOMPARE(SaveDataFile(in, toWrite), QString());
    run = Cli({QStringLiteral("write"), QStringLiteral("--port"), sim.link(), in});
    QCOMPARE(run.status, 0);
    QCOMPARE(files().size(), 2);
    const QString writeBackup = files().filter(QStringLiteral("-write-")).value(0);
    QVERIFY(LoadDataFile(backups.filePath(writeBackup)).image == toWrite);

    // --no-backup keeps nothing; a write whose port does not open keeps nothing either.
    QVERIFY(Cli({QStringLiteral("read"), QStringLiteral("--no-backup"), QStringLiteral("--force"),
                 QStringLiteral("--port"), sim.link(), out}).status == 0);
    QVERIFY(Cli({QStringLiteral("write"), QStringLiteral("--port"), QStringLiteral("/nonexistent/ttyZR"), in}).status == 1);
    QCOMPARE(files().size(), 2);
    qunsetenv("ZRK6_BACKUP_DIR");
}

void TestCliLink::aBackupThatFailsLeavesTheTransferAlone()
{
    RadioSimProcess sim;
    QVERIFY(sim.start());
    // A folder below a plain file cannot be made, not even by root.
    const QString blocker = sim.path(QStringLiteral("not-a-folder"));
    QCOMPARE(SaveDataFile(blocker, PatternMemory(0)), QString());
    qputenv("ZRK6_BACKUP_DIR", (blocker + QStringLiteral("/backups")).toLocal8Bit());
    const QString out = sim.path(QStringLiteral("radio.dat"));

    Run run = Cli({QStringLiteral("read"), QStringLiteral("--port"), sim.link(), out});
    QCOMPARE(run.status, 0);
    QVERIFY(LoadDataFile(out).image == radiosim::BuildSampleMemory());
    QCOMPARE(run.err.count(QStringLiteral("warning: Backup not saved: ")), 1);

    run = Cli({QStringLiteral("write"), QStringLiteral("--verify"), QStringLiteral("--port"), sim.link(), out});
    QCOMPARE(run.status, 0);
    QVERIFY(run.out.contains(QStringLiteral("verified")));
    QCOMPARE(run.err.count(QStringLiteral("warning: Backup not saved: ")), 1);
    qunsetenv("ZRK6_BACKUP_DIR");
}


void TestCliLink::channelsOnlyKeepsTheRadiosOwnSettings()
{
    RadioSimProcess sim;
    const QString saved = sim.path(QStringLiteral("radio.img"));
    QVERIFY(sim.start({QStringLiteral("--save"), saved}));
    const MemoryImage before = radiosim::BuildSampleMemory();
    // The plan: other channels, and other settings that must not reach the radio.
    MemoryImage plan = before;
    for (int a = 0; a < 0x800; ++a)
        plan.set(a, static_cast<std::uint8_t>(a * 7 + 3));
    for (int a = 0x800; a < 0xFB0; ++a)
        plan.set(a, static_cast<std::uint8_t>(~before.at(a)));
    const QString in = sim.path(QStringLiteral("plan.dat"));
    QCOMPARE(SaveDataFile(in, plan), QString());

    const Run run = Cli({QStringLiteral("write"), QStringLiteral("--channels-only"), QStringLiteral("--no-backup"),
                         QStringLiteral("--port"), sim.link(), in});
    QVERIFY2(run.status == 0, qPrintable(run.err));
    QVERIFY2(run.out.contains(QStringLiteral("Reading completed!")), qPrintable(run.out));
    QVERIFY2(run.out.contains(QStringLiteral("Writing completed!")), qPrintable(run.out));

    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(saved), 5000);
    const MemoryImage radio = RadioSimProcess::readImage(saved);
    for (int a = 0; a < kImageSize; ++a)
        QVERIFY2(radio.at(a) == (a < 0x800 ? plan.at(a) : before.at(a)), qPrintable(QString::number(a, 16)));
    // The document itself is left as it was.
    QVERIFY(LoadDataFile(in).image == plan);
}

void TestCliLink::fleetProgramsEveryPortAndLogsEachRadio()
{
    // Three radios, two rounds, channels only; the third radio is of another model.
    RadioSimProcess sims[3];
    QVERIFY(sims[0].start({QStringLiteral("--save"), sims[0].path(QStringLiteral("radio.img"))}));
    QVERIFY(sims[1].start({QStringLiteral("--save"), sims[1].path(QStringLiteral("radio.img"))}));
    QVERIFY(sims[2].start({QStringLiteral("--fault"), QStringLiteral("wrong-id")}));
    const MemoryImage before = radiosim::BuildSampleMemory();
    MemoryImage plan = before;
    for (int a = 0; a < 0x800; ++a)
        plan.set(a, static_cast<std::uint8_t>(a * 5 + 1));
    for (int a = 0x800; a < 0xFB0; ++a)
        plan.set(a, static_cast<std::uint8_t>(~before.at(a)));
    const QString in = sims[0].path(QStringLiteral("plan.dat"));
    QCOMPARE(SaveDataFile(in, plan), QString());
    const QString log = sims[0].path(QStringLiteral("fleet.csv"));
    {
        // An existing log is continued.
        QFile old(log);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("time,port,round,radio,result,failure,backup,changed fields\nearlier,line\n");
    }

    QStringList arguments{QStringLiteral("fleet"), in, QStringLiteral("--channels-only"), QStringLiteral("--rounds"),
                          QStringLiteral("2"), QStringLiteral("--no-prompt"), QStringLiteral("--no-backup"),
                          QStringLiteral("--log"), log};
    for (const RadioSimProcess &sim : sims)
        arguments << QStringLiteral("--port") << sim.link();
    const Run run = Cli(arguments);
    QVERIFY2(run.status == 1, qPrintable(run.err)); // one radio did not verify

    const QStringList lines = QString::fromUtf8(FileBytes(log)).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 2 + 6);
    QCOMPARE(lines.at(1), QStringLiteral("earlier,line"));
    int verified = 0;
    for (const QString &line : lines.mid(2)) {
        const QStringList fields = line.split(QLatin1Char(','));
        QCOMPARE(fields.size(), 8);
        QVERIFY2(QDateTime::fromString(fields.at(0), Qt::ISODate).isValid(), qPrintable(line));
        QVERIFY(fields.at(2) == QStringLiteral("1") || fields.at(2) == QStringLiteral("2"));
        if (fields.at(1) == sims[2].link()) {
            QCOMPARE(fields.at(4), QStringLiteral("model mismatch"));
        } else {
            QCOMPARE(fields.at(4), QStringLiteral("verified"));
            QCOMPARE(fields.at(3).size(), 16); // the identification in hex
            ++verified;
        }
    }
    QCOMPARE(verified, 4);
    for (int i = 0; i < 2; ++i) {
        const QString saved = sims[i].path(QStringLiteral("radio.img"));
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(saved), 5000);
        const MemoryImage radio = RadioSimProcess::readImage(saved);
        for (int a = 0; a < kImageSize; ++a)
            QVERIFY2(radio.at(a) == (a < 0x800 ? plan.at(a) : before.at(a)), qPrintable(QString::number(a, 16)));
    }
}

void TestCliLink::fleetInterruptedEndsEveryRadioAndKeepsTheLog()
{
#ifdef Q_OS_WIN
    QSKIP("Ctrl+C reaches zrk6-cli through its console, and a test program under Wine gives it none");
#else
    RadioSimProcess sims[2];
    for (RadioSimProcess &sim : sims)
        QVERIFY(sim.start({QStringLiteral("--pace"), QStringLiteral("9600")}, false));
    const QString in = sims[0].path(QStringLiteral("plan.dat"));
    QCOMPARE(SaveDataFile(in, radiosim::BuildSampleMemory()), QString());
    const QString log = sims[0].path(QStringLiteral("fleet.csv"));
    QProcess cli;
    cli.start(QStringLiteral(ZRK6_CLI), {QStringLiteral("fleet"), in, QStringLiteral("--no-backup"), QStringLiteral("--log"),
                                         log, QStringLiteral("--port"), sims[0].link(), QStringLiteral("--port"),
                                         sims[1].link()});
    QVERIFY(cli.waitForStarted());
    // Both radios are sending their memory.
    QByteArray simLogs[2];
    const auto logsContain = [&](const char *text) {
        for (int i = 0; i < 2; ++i)
            simLogs[i] += sims[i].errors();
        return simLogs[0].contains(text) && simLogs[1].contains(text);
    };
    QTRY_VERIFY_WITH_TIMEOUT(logsContain("read request at block 0"), 10000);
    QCOMPARE(::kill(static_cast<pid_t>(cli.processId()), SIGINT), 0);
    QVERIFY(cli.waitForFinished(10000));
    const QByteArray err = cli.readAllStandardError();
    QCOMPARE(cli.exitCode(), 130);
    QCOMPARE(err.count("round 1: read"), 2);
    QVERIFY2(err.contains("interrupted"), err.constData());
    // Each radio took its end byte and left clone mode.
    QTRY_VERIFY_WITH_TIMEOUT(logsContain("read ended"), 5000);
    const QStringList lines = QString::fromUtf8(FileBytes(log)).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 3);
    for (const QString &line : lines.mid(1))
        QVERIFY2(line.contains(QStringLiteral(",failed,interrupted during the read,")), qPrintable(line));
#endif
}

QTEST_GUILESS_MAIN(TestCliLink)
#include "test_cli_link.moc"

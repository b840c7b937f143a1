// The serial driver over a real pseudo-terminal against zrk6-radiosim: whole transfers byte for
// byte, and every fault the virtual radio can put on the line. One read and one write run at the
// radio's real 9600 baud with the real time-outs; the rest on the tests' short time.
#include <QSerialPort>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

#include "link/clone_driver.h"
#include "radiosim_process.h"

#ifdef Q_OS_WIN
#include <windows.h>
#endif

using namespace zrk6;
using zrk6::test::OnLinkTime;
using zrk6::test::PatternMemory;
using zrk6::test::RadioSimProcess;
using zrk6::test::TimeScaleScope;

namespace {

// Records what the driver shows and answers the Retry question from a list. Like a user, it takes
// a moment to read the question before answering, so a late reply can arrive meanwhile; the
// answer comes later from the event loop, as a window's would.
class Recorder final : public QObject {
public:
    QList<bool> answers; // for the Retry prompts, in order; Cancel when they run out
    int readingMs = 100; // in real time; it shrinks with the link's time

    QStringList labels;
    QStringList prompts;

    explicit Recorder(CloneDriver &driver) : driver_(driver)
    {
        connect(&driver, &CloneDriver::progress, this, [this](int, int, const QString &label) { labels << label; });
        connect(&driver, &CloneDriver::retryAsked, this, [this](const QString &text) {
            prompts << text;
            const bool retry = answers.isEmpty() ? false : answers.takeFirst();
            QTimer::singleShot(OnLinkTime(readingMs), this, [this, retry] { driver_.answerRetry(retry); });
        });
    }

    // Starts the transfer and lets the event loop run until it ends.
    TransferResult run()
    {
        QSignalSpy finished(&driver_, &CloneDriver::finished);
        driver_.start();
        if (!finished.wait(60000))
            return TransferResult::PortFailed;
        return driver_.result();
    }

private:
    CloneDriver &driver_;
};

} // namespace

class TestLinkE2e : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { test::UseShortTime(); }
    void fullReadMatchesTheRadioMemory();
    void fullWriteReachesTheRadioMemory();
    void fullSpeedReadsInARow();
    void slowAdaptersReadByteForByte_data();
    void slowAdaptersReadByteForByte();
    void aRadioThatIgnoresTheFirstGreetingReadsWithOneRetry();
    void faultsGiveTheirMessage_data();
    void faultsGiveTheirMessage();
    void portThatCannotOpenGivesTheSystemReason();
    void theLinesACableDrawsPowerFromAreRaised();
};

void TestLinkE2e::fullReadMatchesTheRadioMemory()
{
    // The read that keeps real timing: the radio's 9600 baud against the real reply timer.
    const TimeScaleScope realTime;
    const MemoryImage radio = PatternMemory(1);
    RadioSimProcess radioSim;
    QVERIFY(radioSim.start({QStringLiteral("--image"), radioSim.writeImage(QStringLiteral("radio.img"), radio),
                            QStringLiteral("--pace"), QStringLiteral("9600")}));

    MemoryImage image;
    image.fill(0x00);
    image.fill(addr::kRadioId, 8, 0xFF);
    CloneDriver driver(CloneMode::Read, image, kEnglish, radioSim.link());
    Recorder frontEnd(driver);
    QCOMPARE(driver.open(), QString());
    QCOMPARE(frontEnd.run(), TransferResult::Completed);

    QVERIFY(driver.session().cloneBuffer() == radio);
    QCOMPARE(driver.closingMessage().textId, 1608);
    QVERIFY(frontEnd.prompts.isEmpty());
    QCOMPARE(frontEnd.labels.first(), QStringLiteral("Completion percentage:  0%"));
    QCOMPARE(frontEnd.labels.last(), QStringLiteral("Completion percentage: 100%"));
    // 7 + 2 + 1 + 512 * (4 + 1) + 1 bytes out, 1 + 8 + 1 + 512 * (12 + 1) in.
    QCOMPARE(driver.bytesSent(), qint64(7 + 2 + 1 + 512 * 5 + 1));
    QCOMPARE(driver.bytesReceived(), qint64(1 + 8 + 1 + 512 * 13));
}

void TestLinkE2e::fullWriteReachesTheRadioMemory()
{
    // The write that keeps real timing, as the read above.
    const TimeScaleScope realTime;
    const MemoryImage before = PatternMemory(2);
    RadioSimProcess sim;
    const QString saved = sim.path(QStringLiteral("after.img"));
    QVERIFY(sim.start({QStringLiteral("--image"), sim.writeImage(QStringLiteral("before.img"), before),
                       QStringLiteral("--save"), saved, QStringLiteral("--pace"), QStringLiteral("9600")}));

    const MemoryImage image = PatternMemory(3);
    CloneDriver driver(CloneMode::Write, image, kEnglish, sim.link());
    Recorder frontEnd(driver);
    QCOMPARE(driver.open(), QString());
    QCOMPARE(frontEnd.run(), TransferResult::Completed);
    QCOMPARE(driver.closingMessage().textId, 1609);
    QVERIFY(frontEnd.prompts.isEmpty());

    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(saved), 5000);
    const MemoryImage after = RadioSimProcess::readImage(saved);
    for (int a = 0; a < kImageSize; ++a) {
        const bool written = a < 0xFE0 || (a >= 0xFF0 && a <= 0xFF2);
        QVERIFY2(after.at(a) == (written ? image.at(a) : before.at(a)), qPrintable(QString::number(a, 16)));
    }
}

void TestLinkE2e::fullSpeedReadsInARow()
{
    // Replies as fast as the line takes them, read after read on one radio: the end of a read,
    // with several of the port's results queued, is where Qt's Windows backend once crashed.
    const MemoryImage radio = PatternMemory(4);
    RadioSimProcess sim;
    QVERIFY(sim.start({QStringLiteral("--image"), sim.writeImage(QStringLiteral("radio.img"), radio)}));
#ifdef Q_OS_WIN
    constexpr int kReads = 3; // each takes seconds under Wine's serial emulation
#else
    constexpr int kReads = 10;
#endif
    for (int n = 1; n <= kReads; ++n) {
        MemoryImage image;
        image.fill(addr::kRadioId, 8, 0xFF);
        CloneDriver driver(CloneMode::Read, image, kEnglish, sim.link());
        Recorder frontEnd(driver);
        QCOMPARE(driver.open(), QString());
        QCOMPARE(frontEnd.run(), TransferResult::Completed);
        QVERIFY2(driver.session().cloneBuffer() == radio, qPrintable(QStringLiteral("read %1").arg(n)));
    }
}

void TestLinkE2e::slowAdaptersReadByteForByte_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QByteArray>("timeScale"); // empty: real time
    QTest::newRow("latency timer") << QStringList{QStringLiteral("--latency"), QStringLiteral("4")}
                                   << QByteArray(test::kShortTimeScale);
    // Each reply takes a dozen wake-ups of the radio, each of which a busy machine may delay: at a
    // fifth of the time-out they could add up to it.
    QTest::newRow("a byte at a time") << QStringList{QStringLiteral("--trickle")} << QByteArray("0.5");
    // 50 ms inside the 500 ms time-out: shortened, the margin would be the scheduler's to take.
    QTest::newRow("greeting acknowledged late") << QStringList{QStringLiteral("--greeting-ack-delay"),
                                                               QStringLiteral("450")}
                                                << QByteArray();
}

void TestLinkE2e::slowAdaptersReadByteForByte()
{
    QFETCH(QStringList, options);
    QFETCH(QByteArray, timeScale);
    const TimeScaleScope scope(timeScale.isEmpty() ? nullptr : timeScale.constData());
    const MemoryImage radio = PatternMemory(8);
    RadioSimProcess sim;
    QVERIFY(sim.start(QStringList{QStringLiteral("--image"), sim.writeImage(QStringLiteral("radio.img"), radio)} +
                      options));
    CloneDriver driver(CloneMode::Read, PatternMemory(9), kEnglish, sim.link());
    Recorder frontEnd(driver);
    QCOMPARE(driver.open(), QString());
    QCOMPARE(frontEnd.run(), TransferResult::Completed);
    QVERIFY(frontEnd.prompts.isEmpty());
    QVERIFY(driver.session().cloneBuffer() == radio);
}

void TestLinkE2e::aRadioThatIgnoresTheFirstGreetingReadsWithOneRetry()
{
    const MemoryImage radio = PatternMemory(10);
    RadioSimProcess sim;
    QVERIFY(sim.start({QStringLiteral("--image"), sim.writeImage(QStringLiteral("radio.img"), radio),
                       QStringLiteral("--ignore-first-greeting")}));
    CloneDriver driver(CloneMode::Read, PatternMemory(11), kEnglish, sim.link());
    Recorder frontEnd(driver);
    frontEnd.answers = {true};
    QCOMPARE(driver.open(), QString());
    QCOMPARE(frontEnd.run(), TransferResult::Completed);
    QCOMPARE(frontEnd.prompts.size(), 1);
    QVERIFY(frontEnd.prompts.first().startsWith(QStringLiteral("Check Connection. Retry or Cancel?(Error01)")));
    QVERIFY(driver.session().cloneBuffer() == radio);
}

void TestLinkE2e::faultsGiveTheirMessage_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("code");
    QTest::addColumn<bool>("retryWorks"); // block faults strike once, so a Retry completes
    QTest::addColumn<int>("readingMs");   // how long the prompt shows, in real time

    // (Every fault ending in Cancel, through the window, is in the window's tests.)
    QTest::newRow("silent write") << "silent" << 1 << "(Error01)" << false << 100;
    QTest::newRow("chattering line") << "chatter" << 0 << "(Error01)" << false << 100;
    QTest::newRow("reply for another address") << "wrong-address:40" << 0 << "(Error02)" << true << 100;
    QTest::newRow("bad ack read") << "bad-ack:40" << 0 << "(Error02)" << true << 100;
    QTest::newRow("bad ack write") << "bad-ack:300" << 1 << "(Error02)" << true << 100;
    QTest::newRow("short reply") << "short:100" << 0 << "(Error03)" << true << 100;
    QTest::newRow("late reply, arriving at the prompt") << "late:7" << 0 << "(Error03)" << true << 800;
    QTest::newRow("late acknowledgement") << "late:500" << 1 << "(Error03)" << true << 800;
    QTest::newRow("hang-up, then the port opens again") << "hangup:20" << 0 << "(Error03)" << true << 100;
    QTest::newRow("hang-up while writing") << "hangup:450" << 1 << "(Error03)" << true << 100;
}

void TestLinkE2e::faultsGiveTheirMessage()
{
    QFETCH(QString, fault);
    QFETCH(int, mode);
    QFETCH(QString, code);
    QFETCH(bool, retryWorks);
    QFETCH(int, readingMs);
#ifdef Q_OS_WIN
    // Under Wine the port hears the line later than on Linux, and a device that went away comes
    // back later: the real time-outs leave both their real margin.
    const TimeScaleScope realTime;
#endif

    const MemoryImage radio = PatternMemory(4);
    RadioSimProcess sim;
    QVERIFY(sim.start({QStringLiteral("--image"), sim.writeImage(QStringLiteral("radio.img"), radio),
                       QStringLiteral("--fault"), fault}));

    MemoryImage image = PatternMemory(5);
    CloneDriver driver(static_cast<CloneMode>(mode), image, kEnglish, sim.link());
    Recorder frontEnd(driver);
    frontEnd.answers = {retryWorks};
    frontEnd.readingMs = readingMs;
    QCOMPARE(driver.open(), QString());
    const TransferResult result = frontEnd.run();

    QCOMPARE(frontEnd.prompts.size(), 1);
    const QString firstLine = frontEnd.prompts.first().section(QLatin1Char('\n'), 0, 0);
    QCOMPARE(firstLine, QStringLiteral("Check Connection. Retry or Cancel?") + code);
    if (!retryWorks) {
        QCOMPARE(result, TransferResult::Cancelled);
        QVERIFY(!driver.closingMessage().isSet());
        return;
    }
    QCOMPARE(result, TransferResult::Completed);
    QCOMPARE(driver.closingMessage().textId, mode == 0 ? 1608 : 1609);
    if (mode == 0)
        QVERIFY(driver.session().cloneBuffer() == radio);
}

void TestLinkE2e::portThatCannotOpenGivesTheSystemReason()
{
    MemoryImage image;
    CloneDriver driver(CloneMode::Read, image, kEnglish, QStringLiteral("/nonexistent/zrk6-port"));
    const QString reason = driver.open();
    QVERIFY(!reason.isEmpty());
    QCOMPARE(TestClonePort(QStringLiteral("/nonexistent/zrk6-port")), reason);
}

void TestLinkE2e::theLinesACableDrawsPowerFromAreRaised()
{
#ifndef Q_OS_WIN
    QSKIP("a pseudo-terminal has no modem lines to read back; under Wine the port reports them");
#else
    // Under Wine the radio's port is COM10 or above: a name Windows reaches only as \\.\COM10.
    RadioSimProcess sim;
    QVERIFY(sim.start());
    QVERIFY2(sim.link().mid(3).toInt() >= 10, qPrintable(sim.link()));
    QSerialPort port;
    QCOMPARE(OpenClonePort(port, sim.link()), QString());
    // The port's own state, as the system keeps it (Wine answers no IOCTL_SERIAL_GET_DTRRTS, which
    // QSerialPort::pinoutSignals() asks).
    DCB state{};
    state.DCBlength = sizeof(state);
    QVERIFY(GetCommState(port.handle(), &state));
    QCOMPARE(state.fDtrControl, DWORD(DTR_CONTROL_ENABLE));
    QCOMPARE(state.fRtsControl, DWORD(RTS_CONTROL_ENABLE));
    QCOMPARE(state.BaudRate, DWORD(9600));
#endif
}

QTEST_GUILESS_MAIN(TestLinkE2e)
#include "test_link_e2e.moc"

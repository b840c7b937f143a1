// QSerialPort used the way our driver once closed a transfer: a write waited for inside a
// readyRead handler while several results of the port are queued. Qt 6.4.2's Windows backend
// crashes here (QTBUG-108450: its result queue and semaphore fall out of step); the Qt the
// Windows build ships carries the fix, and this keeps a Qt without it out of the package.
// Linked with the unfixed library (target test_serial_wait_in_handler_unpatched, Windows
// build only) it crashes under Wine.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QSerialPort>
#include <QThread>

#include "radiosim_process.h"

namespace {

TEST(SerialWaitInHandler, AWriteWaitedForInsideReadyReadSurvivesQueuedResults)
{
    int argc = 1;
    char name[] = "test_serial_wait_in_handler";
    char *argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    zrk6::test::UseShortTime();
    zrk6::test::RadioSimProcess sim;
    // An echoing cable: every byte comes straight back, so reads complete as fast as writes.
    ASSERT_TRUE(sim.start({QStringLiteral("--cable"), QStringLiteral("echo")}));

    constexpr int kRounds = 4;
    constexpr int kBursts = 20;
    for (int round = 0; round < kRounds; ++round) {
        QSerialPort port(sim.link());
        ASSERT_TRUE(port.open(QIODevice::ReadWrite)) << port.errorString().toStdString();
        port.setBaudRate(9600);
        qint64 echoed = 0;
        QObject::connect(&port, &QSerialPort::readyRead, [&] {
            echoed += port.readAll().size();
            port.write(QByteArray(1, '\x55'));
            port.waitForBytesWritten(50);
        });
        for (int burst = 0; burst < kBursts; ++burst) {
            port.write(QByteArray(16, '\x55'));
            // Busy meanwhile: the echo and the write's completion queue up before they are seen.
            QThread::msleep(5);
            QCoreApplication::processEvents();
        }
        QThread::msleep(20);
        QCoreApplication::processEvents();
        port.close();
        EXPECT_GT(echoed, 0) << "round " << round << ": nothing came back";
    }
}

} // namespace

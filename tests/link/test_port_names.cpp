// Port numbers 1..4 and the system names they stand for.
#include <QtTest>

#include "link/port_names.h"

using namespace zrk6;

namespace {

SerialPortEntry Port(const char *name, bool adapter)
{
    return SerialPortEntry{QString::fromLatin1(name), QString(), adapter};
}

QStringList Names(const QList<SerialPortEntry> &ports)
{
    QStringList names;
    for (const SerialPortEntry &p : ports)
        names << p.systemName;
    return names;
}

} // namespace

class TestPortNames : public QObject {
    Q_OBJECT

private slots:
    void adaptersComeFirstInNaturalOrder()
    {
        const QList<SerialPortEntry> ports{Port("/dev/ttyS10", false), Port("/dev/ttyUSB1", true),
                                           Port("/dev/ttyS2", false),  Port("/dev/ttyACM0", true),
                                           Port("/dev/ttyS0", false),  Port("/dev/ttyUSB0", true)};
        QCOMPARE(Names(OrderSerialPorts(ports)),
                 (QStringList{"/dev/ttyACM0", "/dev/ttyUSB0", "/dev/ttyUSB1", "/dev/ttyS0", "/dev/ttyS2",
                              "/dev/ttyS10"}));
    }

    void numbersMapToTheListThenToTtyS()
    {
        const QList<SerialPortEntry> ordered{Port("/dev/ttyUSB0", true), Port("/dev/ttyS0", false)};
#ifdef Q_OS_WIN
        QCOMPARE(PortSystemName(3, ordered), QStringLiteral("COM3"));
#else
        const QStringList expected{"/dev/ttyUSB0", "/dev/ttyUSB0", "/dev/ttyS0", "/dev/ttyS2", "/dev/ttyS3",
                                   "/dev/ttyS3"};
        for (int n = 0; n <= 5; ++n) // out-of-range numbers are clamped to 1..4
            QCOMPARE(PortSystemName(n, ordered), expected[n]);

        const QList<CommPortChoice> choices = CommPortChoices(ordered);
        QCOMPARE(choices.size(), 4);
        QCOMPARE(choices[1].systemName, QStringLiteral("/dev/ttyS0"));
        QVERIFY(choices[1].present);
        QVERIFY(!choices[2].present);
#endif
    }

    void commandLineDevices()
    {
#ifndef Q_OS_WIN
        QCOMPARE(NormalizePortName(QStringLiteral("/dev/ttyUSB0")), QStringLiteral("/dev/ttyUSB0"));
        QCOMPARE(NormalizePortName(QStringLiteral("ttyUSB0")), QStringLiteral("ttyUSB0"));
        QCOMPARE(NormalizePortName(QStringLiteral("sub/radio")), QDir::current().absoluteFilePath("sub/radio"));
#endif
    }
};

QTEST_GUILESS_MAIN(TestPortNames)
#include "test_port_names.moc"

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
#ifdef Q_OS_WIN
        // A number is the COM number: adapters at COM5 and above keep theirs.
        const QList<SerialPortEntry> ordered{Port("COM7", true), Port("COM1", false), Port("COM12", true)};
        QCOMPARE(PortSystemName(3, ordered), QStringLiteral("COM3"));
        QCOMPARE(PortSystemName(12, ordered), QStringLiteral("COM12"));
        const QList<CommPortChoice> choices = CommPortChoices(ordered);
        QList<int> numbers;
        for (const CommPortChoice &c : choices)
            numbers << c.number;
        QCOMPARE(numbers, (QList<int>{1, 2, 3, 4, 7, 12}));
        QVERIFY(choices[0].present);
        QVERIFY(!choices[1].present);
        QCOMPARE(choices[4].systemName, QStringLiteral("COM7"));
        QVERIFY(choices[4].present);
#else
        const QList<SerialPortEntry> ordered{Port("/dev/ttyUSB0", true), Port("/dev/ttyS0", false)};
        const QStringList expected{"/dev/ttyUSB0", "/dev/ttyUSB0", "/dev/ttyS0", "/dev/ttyS2", "/dev/ttyS3",
                                   "/dev/ttyS4"};
        for (int n = 0; n <= 5; ++n) // numbers below 1 are clamped to 1
            QCOMPARE(PortSystemName(n, ordered), expected[n]);

        const QList<CommPortChoice> choices = CommPortChoices(ordered);
        QCOMPARE(choices.size(), 4);
        QCOMPARE(choices[1].systemName, QStringLiteral("/dev/ttyS0"));
        QVERIFY(choices[1].present);
        QVERIFY(!choices[2].present);

        // Every port beyond the fourth gets a number too.
        QList<SerialPortEntry> six;
        for (int i = 0; i < 6; ++i)
            six.append(Port(qPrintable(QStringLiteral("/dev/ttyUSB%1").arg(i)), true));
        const QList<CommPortChoice> all = CommPortChoices(six);
        QCOMPARE(all.size(), 6);
        QCOMPARE(all[5].number, 6);
        QCOMPARE(all[5].systemName, QStringLiteral("/dev/ttyUSB5"));
        QVERIFY(all[5].present);
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

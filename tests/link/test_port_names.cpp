// Port numbers 1..4 and the system names they stand for.
#include <QtTest>

#include "link/port_change.h"
#include "link/port_names.h"

using namespace zrk6;

Q_DECLARE_METATYPE(zrk6::PortIdentity)
Q_DECLARE_METATYPE(QList<zrk6::SerialPortEntry>)

namespace {

SerialPortEntry Port(const char *name, bool adapter)
{
    return SerialPortEntry{QString::fromLatin1(name), QString(), adapter, {}};
}

// A USB adapter: "0403:6001 A1" gives its ids and serial number.
SerialPortEntry Adapter(const char *name, int vendor, int product, const char *serial = "")
{
    SerialPortEntry entry = Port(name, true);
    entry.identity = PortIdentity{vendor, product, QString::fromLatin1(serial)};
    return entry;
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

    // Names are handed out again after a replug (COM5, /dev/ttyUSB0): the adapter chosen for a
    // name is compared with what is under it now, and never taken for another one.
    void theChosenAdapterIsComparedWithWhatIsThereNow_data()
    {
        QTest::addColumn<PortIdentity>("chosen");
        QTest::addColumn<QList<SerialPortEntry>>("ports");
        QTest::addColumn<int>("change");
        QTest::addColumn<QString>("movedTo");

        const PortIdentity ftdi{0x0403, 0x6001, QStringLiteral("A1")};
        const PortIdentity ch340{0x1A86, 0x7523, QString()};
        const auto same = int(PortChange::Same);
        QTest::newRow("nothing known to compare") << PortIdentity{} << QList<SerialPortEntry>{} << same << "";
        QTest::newRow("the same adapter") << ftdi << QList<SerialPortEntry>{Adapter("COM5", 0x0403, 0x6001, "A1")} << same << "";
        QTest::newRow("a serial number on one side only") << ch340 << QList<SerialPortEntry>{Adapter("COM5", 0x1A86, 0x7523, "X9")}
                                                          << same << "";
        QTest::newRow("two alike adapters swapped: their serial numbers tell")
            << ftdi << QList<SerialPortEntry>{Adapter("COM5", 0x0403, 0x6001, "B2"), Adapter("COM6", 0x0403, 0x6001, "A1")}
            << int(PortChange::OtherAdapter) << "COM6";
        QTest::newRow("another kind of adapter") << ftdi << QList<SerialPortEntry>{Adapter("COM5", 0x1A86, 0x7523)}
                                                 << int(PortChange::OtherAdapter) << "";
        QTest::newRow("a port that is no adapter") << ftdi << QList<SerialPortEntry>{Port("COM5", false)}
                                                   << int(PortChange::OtherPort) << "";
        QTest::newRow("gone") << ftdi << QList<SerialPortEntry>{Port("COM1", false)} << int(PortChange::Gone) << "";
        QTest::newRow("gone, and plugged in at another port")
            << ch340 << QList<SerialPortEntry>{Adapter("COM8", 0x1A86, 0x7523)} << int(PortChange::Gone) << "COM8";
        QTest::newRow("two alike adapters elsewhere, no serial numbers: neither is named")
            << ch340 << QList<SerialPortEntry>{Adapter("COM8", 0x1A86, 0x7523), Adapter("COM9", 0x1A86, 0x7523)}
            << int(PortChange::Gone) << "";
    }

    void theChosenAdapterIsComparedWithWhatIsThereNow()
    {
        QFETCH(PortIdentity, chosen);
        QFETCH(QList<SerialPortEntry>, ports);
        QFETCH(int, change);
        QFETCH(QString, movedTo);
        const PortChangeCheck check = CheckChosenAdapter(QStringLiteral("COM5"), chosen, ports);
        QCOMPARE(int(check.change), change);
        QCOMPARE(check.movedTo, movedTo);
        QCOMPARE(PortChangeText(QStringLiteral("COM5"), chosen, check, kEnglish).isEmpty(), change == int(PortChange::Same));
    }

    void aChangedAdapterIsSaidInEitherLanguage()
    {
        const PortIdentity ftdi{0x0403, 0x6001, QStringLiteral("A1")};
        const QList<SerialPortEntry> ports{Adapter("COM5", 0x1A86, 0x7523), Adapter("COM7", 0x0403, 0x6001, "A1")};
        const PortChangeCheck check = CheckChosenAdapter(QStringLiteral("COM5"), ftdi, ports);
        QCOMPARE(PortChangeText(QStringLiteral("COM5"), ftdi, check, kEnglish),
                 QStringLiteral("COM5 is now another adapter (USB 1A86:7523); the one chosen was USB 0403:6001 S/N A1.\n"
                                "That adapter is now at COM7.\nNothing else is opened in its place: choose the port "
                                "in Setup, Communication Port."));
        QCOMPARE(PortChangeText(QStringLiteral("COM5"), ftdi, check, kChinese),
                 QStringLiteral("COM5 现在是另一个适配器（USB 1A86:7523）；当初选择的是 USB 0403:6001 S/N A1。\n"
                                "该适配器现在位于 COM7。\n程序不会改为打开其他端口：请在“设置 - 通信端口”中选择端口。"));
        QCOMPARE(TriedPortLine(QStringLiteral("COM5"), kChinese), QStringLiteral("端口：COM5"));
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

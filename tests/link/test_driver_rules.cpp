// The known troubles of USB serial chips and their drivers, judged from device records; the
// low-latency request through its seam; on Windows, SetupAPI's own listing.
#include <QtTest>

#include "link/driver_rules.h"
#include "link/port_latency.h"
#include "link/windows_devices.h"

using namespace zrk6;

Q_DECLARE_METATYPE(zrk6::HostSystem)

namespace {

SerialPortFacts Device(const char *vendor, const char *product, const char *name, int problemCode = 0,
                       int latencyMs = -1)
{
    SerialPortFacts port;
    port.name = QStringLiteral("ttyUSB0");
    port.devicePath = QStringLiteral("/dev/ttyUSB0");
    port.usb = true;
    port.vendorId = QLatin1String(vendor);
    port.productId = QLatin1String(product);
    port.product = QLatin1String(name);
    port.problemCode = problemCode;
    port.latencyTimerMs = latencyMs;
    return port;
}

} // namespace

class TestDriverRules : public QObject {
    Q_OBJECT

private slots:
    void eachKnownCaseGetsItsInstruction_data();
    void eachKnownCaseGetsItsInstruction();
    void twoMacPortsForOneAdapterNameTheOneToUse();
    void lowLatencyIsAskedOnceAndOnlyWhereSupported();
    void windowsListsItsSerialDevices();
};

void TestDriverRules::eachKnownCaseGetsItsInstruction_data()
{
    QTest::addColumn<SerialPortFacts>("device");
    QTest::addColumn<HostSystem>("system");
    QTest::addColumn<QStringList>("says"); // one finding each, in order; empty: nothing to say
    QTest::addColumn<bool>("problem");

    const QString pl2303 = QStringLiteral("The Prolific driver refuses this PL2303 chip");
    const QString ch340 = QStringLiteral("error 31");
    const QString ftdi = QStringLiteral("product id 0000");
    const auto W = HostSystem::Windows;
    const auto L = HostSystem::Linux;
    QTest::newRow("PL2303, code 10") << Device("067b", "2303", "Prolific USB-to-Serial Comm Port (COM3)", 10) << W
                                     << QStringList{pl2303} << true;
    QTest::newRow("PL2303, renamed by its driver")
        << Device("067B", "23a3", "PLEASE INSTALL CORRECT DRIVER (COM4)") << W << QStringList{pl2303} << true;
    QTest::newRow("PL2303 working") << Device("067b", "2303", "Prolific USB-to-Serial Comm Port (COM3)") << W
                                    << QStringList() << false;
    QTest::newRow("CH340, code 31") << Device("1a86", "7523", "USB-SERIAL CH340 (COM5)", 31) << W
                                    << QStringList{ch340} << true;
    QTest::newRow("CH340 working") << Device("1a86", "7523", "USB-SERIAL CH340 (COM5)") << W << QStringList()
                                   << false;
    QTest::newRow("FTDI id erased") << Device("0403", "0000", "FT232R USB UART") << L << QStringList{ftdi} << true;
    QTest::newRow("another code") << Device("10c4", "ea60", "CP210x (COM6)", 28) << W
                                  << QStringList{QStringLiteral("problem code 28")} << true;
    QTest::newRow("FTDI at 16 ms, Windows") << Device("0403", "6001", "USB Serial Port (COM7)", 0, 16) << W
                                            << QStringList{QStringLiteral("set Latency Timer to 1 ms")} << false;
    QTest::newRow("FTDI at 16 ms, Linux")
        << Device("0403", "6001", "FT232R USB UART", 0, 16) << L
        << QStringList{QStringLiteral("up to 16 ms")} << false;
    QTest::newRow("FTDI at 1 ms") << Device("0403", "6001", "FT232R USB UART", 0, 1) << L
                                  << QStringList{QStringLiteral("Latency timer: 1 ms.")} << false;
}

void TestDriverRules::eachKnownCaseGetsItsInstruction()
{
    QFETCH(SerialPortFacts, device);
    QFETCH(HostSystem, system);
    QFETCH(QStringList, says);
    QFETCH(bool, problem);
    const QList<CableFinding> findings = DriverFindings(device, system, kEnglish);
    QCOMPARE(findings.size(), says.size());
    for (qsizetype i = 0; i < says.size(); ++i)
        QVERIFY2(findings[i].text.contains(says[i]), qPrintable(findings[i].text));
    QCOMPARE(!findings.isEmpty() && findings[0].kind == CableFinding::Kind::Problem, problem);
    if (system == HostSystem::Linux && device.latencyTimerMs > 2)
        QCOMPARE(findings.last().command, QStringLiteral("echo 1 | sudo tee /sys/bus/usb-serial/devices/ttyUSB0/latency_timer"));
    // Both languages say it.
    for (const CableFinding &finding : DriverFindings(device, system, kChinese))
        QVERIFY(!finding.text.isEmpty() && finding.text.toUtf8() != finding.text.toLatin1());
}

void TestDriverRules::twoMacPortsForOneAdapterNameTheOneToUse()
{
    const QList<CableFinding> findings =
        DuplicatePortFindings({QStringLiteral("/dev/cu.Bluetooth-Incoming-Port"), QStringLiteral("/dev/cu.wchusbserial1410"),
                               QStringLiteral("/dev/cu.usbserial-1410"), QStringLiteral("/dev/cu.usbserial-2220")},
                              kEnglish);
    QCOMPARE(findings.size(), 1);
    QVERIFY(findings[0].text.startsWith(QStringLiteral("/dev/cu.usbserial-1410 and /dev/cu.wchusbserial1410 are the same")));
    QVERIFY(findings[0].text.contains(QStringLiteral("use /dev/cu.usbserial-1410")));
    QVERIFY(DuplicatePortFindings({QStringLiteral("/dev/cu.usbserial-1410")}, kEnglish).isEmpty());
}

void TestDriverRules::lowLatencyIsAskedOnceAndOnlyWhereSupported()
{
#ifdef __linux__
    struct Driver {
        int getResult = 0;
        int setResult = 0;
        int flags = ASYNC_SKIP_TEST;
        int sets = 0;
        SerialSettingsCalls calls()
        {
            return {[this](int, serial_struct &s) {
                        s.flags = flags;
                        return getResult;
                    },
                    [this](int, const serial_struct &s) {
                        ++sets;
                        if (setResult == 0)
                            flags = s.flags;
                        return setResult;
                    }};
        }
    };
    Driver ftdi;
    QCOMPARE(RequestLowLatency(3, ftdi.calls()), LowLatency::Requested);
    QCOMPARE(ftdi.flags, ASYNC_SKIP_TEST | ASYNC_LOW_LATENCY); // the driver's other settings kept
    QCOMPARE(RequestLowLatency(3, ftdi.calls()), LowLatency::AlreadyOn);
    QCOMPARE(ftdi.sets, 1);

    Driver pty; // no serial settings at all
    pty.getResult = -1;
    QCOMPARE(RequestLowLatency(3, pty.calls()), LowLatency::NotSupported);
    QCOMPARE(pty.sets, 0);

    Driver refusing;
    refusing.setResult = -1;
    QCOMPARE(RequestLowLatency(3, refusing.calls()), LowLatency::NotSupported);
#else
    QSKIP("the low-latency request is Linux's");
#endif
}

void TestDriverRules::windowsListsItsSerialDevices()
{
#ifdef Q_OS_WIN
    // Wine's and a real system's list alike: every device has a name to show, and a USB id is
    // four hex digits.
    for (const SerialPortFacts &device : ReadWindowsSerialDevices()) {
        QVERIFY(!device.name.isEmpty() || !device.product.isEmpty());
        if (device.usb)
            QCOMPARE(device.vendorId.size(), 4);
        QVERIFY(device.problemCode >= 0);
    }
#else
    QSKIP("SetupAPI is Windows'");
#endif
}

QTEST_GUILESS_MAIN(TestDriverRules)
#include "test_driver_rules.moc"

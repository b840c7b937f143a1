// The cable doctor against fake systems: sysfs, /dev, /proc and package trees in a
// temporary folder, with the user and the device owners given as facts.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include "link/cable_doctor.h"

using namespace zrk6;

namespace {

// A fake system below a temporary folder, laid out as the kernel lays out sysfs.
class FakeSystem {
public:
    FakeSystem() { QVERIFY(dir_.isValid()); }

    QString path(const QString &relative) const { return dir_.filePath(relative); }

    void write(const QString &relative, const QByteArray &content)
    {
        QDir().mkpath(QFileInfo(path(relative)).path());
        QFile file(path(relative));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }

    void link(const QString &target, const QString &relative)
    {
        QDir().mkpath(QFileInfo(path(relative)).path());
        QVERIFY(QFile::link(path(target), path(relative)));
    }

    // A USB device at bus port busPort; with tty, a USB serial port on its first interface.
    void addUsbAdapter(const QString &busPort, const QByteArray &vendor, const QByteArray &product,
                       const QByteArray &manufacturer, const QByteArray &name, const QString &tty,
                       const QString &driver)
    {
        const QString device = QStringLiteral("sys/devices/pci0000:00/usb1/") + busPort;
        write(device + QStringLiteral("/idVendor"), vendor + '\n');
        write(device + QStringLiteral("/idProduct"), product + '\n');
        write(device + QStringLiteral("/manufacturer"), manufacturer + '\n');
        write(device + QStringLiteral("/product"), name + '\n');
        link(device, QStringLiteral("sys/bus/usb/devices/") + busPort);
        if (tty.isEmpty())
            return;
        const QString port = device + QLatin1Char('/') + busPort + QStringLiteral(":1.0/") + tty;
        QDir().mkpath(path(port + QStringLiteral("/tty/") + tty));
        QDir().mkpath(path(QStringLiteral("sys/bus/usb-serial/drivers/") + driver));
        link(QStringLiteral("sys/bus/usb-serial/drivers/") + driver, port + QStringLiteral("/driver"));
        link(port, port + QStringLiteral("/tty/") + tty + QStringLiteral("/device"));
        link(port + QStringLiteral("/tty/") + tty, QStringLiteral("sys/class/tty/") + tty);
        write(QStringLiteral("dev/") + tty, {});
    }

    // A built-in UART slot; type 0 is a slot without a chip.
    void addBuiltInPort(const QString &tty, const QByteArray &type)
    {
        const QString port = QStringLiteral("sys/devices/platform/serial8250/") + tty;
        QDir().mkpath(path(QStringLiteral("sys/bus/platform/drivers/serial8250")));
        link(QStringLiteral("sys/bus/platform/drivers/serial8250"), port + QStringLiteral("/driver"));
        write(port + QStringLiteral("/tty/") + tty + QStringLiteral("/type"), type + '\n');
        link(port, port + QStringLiteral("/tty/") + tty + QStringLiteral("/device"));
        link(port + QStringLiteral("/tty/") + tty, QStringLiteral("sys/class/tty/") + tty);
        write(QStringLiteral("dev/") + tty, {});
    }

    void addVirtualTerminal(const QString &tty)
    {
        QDir().mkpath(path(QStringLiteral("sys/devices/virtual/tty/") + tty));
        link(QStringLiteral("sys/devices/virtual/tty/") + tty, QStringLiteral("sys/class/tty/") + tty);
    }

    CableFactSources sources() const
    {
        return {path(QStringLiteral("sys")), path(QStringLiteral("dev")), path(QStringLiteral("proc")),
                path(QStringLiteral("etc/group")), path(QStringLiteral("var/lib/dpkg/status")),
                path(QStringLiteral("var/lib/pacman/local"))};
    }

private:
    QTemporaryDir dir_;
};

DeviceNodeFacts Node(const QString &group, unsigned mode)
{
    DeviceNodeFacts node;
    node.exists = true;
    node.uid = 0;
    node.gid = 20;
    node.owner = QStringLiteral("root");
    node.group = group;
    node.mode = mode;
    node.characterDevice = true;
    return node;
}

UserFacts Alice(const QStringList &sessionGroups, const QStringList &configuredGroups)
{
    return {QStringLiteral("alice"), 1000, sessionGroups, configuredGroups};
}

} // namespace

// The fake systems are sysfs trees, which only the Linux doctor reads.
#ifdef Q_OS_LINUX
#define SKIP_WITHOUT_SYSFS()
#else
#define SKIP_WITHOUT_SYSFS() QSKIP("the doctor reads sysfs on Linux only")
#endif

class TestCableDoctor : public QObject {
    Q_OBJECT
private slots:
    void readsPortsFromSysfs();
    void noAdapter();
    void ch340WithoutPermission_data();
    void ch340WithoutPermission();
    void brlttyPresent_data();
    void brlttyPresent();
    void allWell();
    void modemManagerRunning();
    void onePortAsked();
    void chineseFindings();
    void portsOpenedWherePermissionsAreUnknown();
    void thisSystemsOwnFacts();
};

void TestCableDoctor::readsPortsFromSysfs()
{
    SKIP_WITHOUT_SYSFS();
    FakeSystem system;
    system.addUsbAdapter(QStringLiteral("1-2"), "1a86", "7523", "QinHeng Electronics", "USB Serial",
                         QStringLiteral("ttyUSB0"), QStringLiteral("ch341-uart"));
    system.addBuiltInPort(QStringLiteral("ttyS0"), "4");
    system.addBuiltInPort(QStringLiteral("ttyS1"), "0");
    system.addVirtualTerminal(QStringLiteral("tty1"));
    // An FTDI-style latency timer where the usb-serial driver keeps it.
    system.write(QStringLiteral("sys/devices/pci0000:00/usb1/1-2/1-2:1.0/ttyUSB0/latency_timer"), "16\n");

    const CableFacts facts = GatherCableFacts(system.sources());
    QCOMPARE(facts.ports.size(), 2);
    const SerialPortFacts &usb = facts.ports[1]; // sorted by name: ttyS0, ttyUSB0
    QCOMPARE(usb.name, QStringLiteral("ttyUSB0"));
    QCOMPARE(usb.devicePath, system.path(QStringLiteral("dev/ttyUSB0")));
    QVERIFY(usb.usb);
    QCOMPARE(usb.vendorId, QStringLiteral("1a86"));
    QCOMPARE(usb.productId, QStringLiteral("7523"));
    QCOMPARE(usb.manufacturer, QStringLiteral("QinHeng Electronics"));
    QCOMPARE(usb.driver, QStringLiteral("ch341-uart"));
    QCOMPARE(usb.latencyTimerMs, 16);
    QCOMPARE(facts.ports[0].latencyTimerMs, -1);
    QCOMPARE(facts.ports[0].name, QStringLiteral("ttyS0"));
    QVERIFY(!facts.ports[0].usb);
    QCOMPARE(facts.ports[0].driver, QStringLiteral("serial8250"));
    QVERIFY(facts.nodes.value(usb.devicePath).exists);
    QVERIFY(facts.orphanAdapters.isEmpty());
    QVERIFY(!facts.brlttyInstalled);
    QVERIFY(!facts.modemManagerRunning);

    const QStringList lines = DiagnosisLines(DiagnoseCable(facts, kEnglish), kEnglish);
    QVERIFY2(lines.contains(QStringLiteral("  %1: USB 1a86:7523, QinHeng Electronics USB Serial, driver ch341-uart")
                                .arg(usb.devicePath)),
             qPrintable(lines.join(u'\n')));
    QVERIFY2(lines.contains(QStringLiteral("        echo 1 | sudo tee /sys/bus/usb-serial/devices/ttyUSB0/latency_timer")),
             qPrintable(lines.join(u'\n')));
}

void TestCableDoctor::noAdapter()
{
    SKIP_WITHOUT_SYSFS();
    FakeSystem system;
    system.addBuiltInPort(QStringLiteral("ttyS0"), "0");
    system.addVirtualTerminal(QStringLiteral("tty1"));
    system.addUsbAdapter(QStringLiteral("1-1"), "046d", "c52b", "Logitech", "USB Receiver", {}, {}); // not serial

    const CableDiagnosis diagnosis = DiagnoseCable(GatherCableFacts(system.sources()), kEnglish);
    QVERIFY(diagnosis.ports.isEmpty());
    QVERIFY(diagnosis.hasProblem());
    QCOMPARE(diagnosis.system.size(), 1);
    QVERIFY(diagnosis.system[0].text.startsWith(QStringLiteral("No USB serial adapter is plugged in.")));
    QCOMPARE(DiagnosisLines(diagnosis, kEnglish).mid(0, 2), (QStringList{"Serial ports:", "  None"}));
}

void TestCableDoctor::ch340WithoutPermission_data()
{
    QTest::addColumn<QString>("group");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QStringList>("configuredGroups");
    QTest::addColumn<QString>("advice");
    QTest::addColumn<QString>("command");

    QTest::newRow("Debian, not in dialout")
        << "dialout" << 0660 << QStringList{}
        << "Joining the group dialout gives access; log out and in again afterwards:"
        << "sudo usermod -aG dialout alice";
    QTest::newRow("Arch, not in uucp")
        << "uucp" << 0660 << QStringList{}
        << "Joining the group uucp gives access; log out and in again afterwards:"
        << "sudo usermod -aG uucp alice";
    QTest::newRow("added, session older")
        << "dialout" << 0660 << QStringList{"dialout"}
        << "You are in the group dialout already, but this session started before that: log out and in again."
        << "";
    QTest::newRow("group cannot write")
        << "dialout" << 0600 << QStringList{}
        << "Joining a group does not help; an administrator must give access to the device (a udev rule)."
        << "";
}

void TestCableDoctor::ch340WithoutPermission()
{
    SKIP_WITHOUT_SYSFS();
    QFETCH(QString, group);
    QFETCH(int, mode);
    QFETCH(QStringList, configuredGroups);
    QFETCH(QString, advice);
    QFETCH(QString, command);

    FakeSystem system;
    system.addUsbAdapter(QStringLiteral("1-2"), "1a86", "7523", {}, {}, QStringLiteral("ttyUSB0"),
                         QStringLiteral("ch341-uart"));
    CableFacts facts = GatherCableFacts(system.sources());
    const QString device = system.path(QStringLiteral("dev/ttyUSB0"));
    facts.nodes[device] = Node(group, static_cast<unsigned>(mode));
    facts.user = Alice({QStringLiteral("alice")}, configuredGroups);

    const CableDiagnosis diagnosis = DiagnoseCable(facts, kEnglish);
    QVERIFY(diagnosis.hasProblem());
    QVERIFY(diagnosis.system.isEmpty());
    QCOMPARE(diagnosis.ports.size(), 1);
    const PortDiagnosis &port = diagnosis.ports[0];
    QCOMPARE(port.description, QStringLiteral("USB 1a86:7523, CH340, driver ch341-uart")); // the chip when unnamed
    QCOMPARE(port.findings.size(), 2);
    QCOMPARE(port.findings[0].text, QStringLiteral("You cannot open it: owner root, group %1, mode %2.")
                                        .arg(group, mode == 0660 ? "crw-rw----" : "crw-------"));
    QCOMPARE(port.findings[1].text, advice);
    QCOMPARE(port.findings[1].command, command);
}

void TestCableDoctor::brlttyPresent_data()
{
    QTest::addColumn<QString>("packageFile");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("command");

    QTest::newRow("dpkg") << "var/lib/dpkg/status"
                          << QByteArray("Package: bash\nStatus: install ok installed\n\n"
                                        "Package: brltty\nStatus: install ok installed\nVersion: 6.5-7\n")
                          << "sudo apt remove brltty";
    QTest::newRow("pacman") << "var/lib/pacman/local/brltty-6.6-3/desc" << QByteArray("%NAME%\nbrltty\n")
                            << "sudo pacman -R brltty";
}

void TestCableDoctor::brlttyPresent()
{
    SKIP_WITHOUT_SYSFS();
    QFETCH(QString, packageFile);
    QFETCH(QByteArray, content);
    QFETCH(QString, command);

    FakeSystem system;
    system.write(packageFile, content);
    // brltty has taken the CH340: the USB device is there, its serial port is not.
    system.addUsbAdapter(QStringLiteral("1-2"), "1a86", "7523", {}, {}, {}, {});

    const CableFacts facts = GatherCableFacts(system.sources());
    QVERIFY(facts.brlttyInstalled);
    const CableDiagnosis diagnosis = DiagnoseCable(facts, kEnglish);
    QVERIFY(diagnosis.hasProblem());
    QCOMPARE(diagnosis.system.size(), 2); // the orphan adapter, brltty; not "no adapter"
    QCOMPARE(diagnosis.system[0].text,
             QStringLiteral("The USB serial adapter CH340 1a86:7523 is plugged in but has no serial port: brltty "
                            "may have taken it, or its driver is missing."));
    QVERIFY(diagnosis.system[1].text.startsWith(QStringLiteral("brltty is installed")));
    QCOMPARE(diagnosis.system[1].command, command);
}

void TestCableDoctor::allWell()
{
    SKIP_WITHOUT_SYSFS();
    FakeSystem system;
    system.addUsbAdapter(QStringLiteral("3-1"), "10c4", "ea60", "Silicon Labs", "CP2102 USB to UART",
                         QStringLiteral("ttyUSB0"), QStringLiteral("cp210x"));
    // dpkg knows brltty only as removed.
    system.write(QStringLiteral("var/lib/dpkg/status"), "Package: brltty\nStatus: deinstall ok config-files\n");
    system.write(QStringLiteral("proc/1/comm"), "systemd\n");
    system.write(QStringLiteral("proc/412/comm"), "NetworkManager\n");
    CableFacts facts = GatherCableFacts(system.sources());
    const QString device = system.path(QStringLiteral("dev/ttyUSB0"));
    facts.nodes[device] = Node(QStringLiteral("dialout"), 0660);
    facts.user = Alice({QStringLiteral("alice"), QStringLiteral("dialout")}, {QStringLiteral("dialout")});

    const CableDiagnosis diagnosis = DiagnoseCable(facts, kEnglish);
    QVERIFY(!diagnosis.hasProblem());
    QCOMPARE(DiagnosisLines(diagnosis, kEnglish),
             (QStringList{"Serial ports:",
                          "  " + device + ": USB 10c4:ea60, Silicon Labs CP2102 USB to UART, driver cp210x",
                          "    You can open it.", "Nothing stands in the way."}));

    // Root opens any device, whatever its mode.
    facts.nodes[device] = Node(QStringLiteral("root"), 0600);
    facts.user = {QStringLiteral("root"), 0, {QStringLiteral("root")}, {}};
    QVERIFY(!DiagnoseCable(facts, kEnglish).hasProblem());
}

void TestCableDoctor::modemManagerRunning()
{
    SKIP_WITHOUT_SYSFS();
    FakeSystem system;
    system.addUsbAdapter(QStringLiteral("1-2"), "1a86", "7523", {}, {}, QStringLiteral("ttyUSB0"),
                         QStringLiteral("ch341-uart"));
    system.write(QStringLiteral("proc/977/comm"), "ModemManager\n");
    CableFacts facts = GatherCableFacts(system.sources());
    facts.user = {QStringLiteral("root"), 0, {}, {}};

    const CableDiagnosis diagnosis = DiagnoseCable(facts, kEnglish);
    QVERIFY(diagnosis.hasProblem());
    QCOMPARE(diagnosis.system.size(), 1);
    QVERIFY(diagnosis.system[0].text.startsWith(QStringLiteral("ModemManager is running")));
    QCOMPARE(diagnosis.system[0].command, QStringLiteral("sudo systemctl stop ModemManager"));
}

void TestCableDoctor::onePortAsked()
{
    SKIP_WITHOUT_SYSFS();
    FakeSystem system;
    system.addUsbAdapter(QStringLiteral("1-2"), "1a86", "7523", {}, {}, QStringLiteral("ttyUSB0"),
                         QStringLiteral("ch341-uart"));
    system.addUsbAdapter(QStringLiteral("1-3"), "0403", "6001", "FTDI", "FT232R USB UART", QStringLiteral("ttyUSB1"),
                         QStringLiteral("ftdi_sio"));
    // A pseudo-terminal behind a link, as the virtual radio makes one.
    system.write(QStringLiteral("pts/7"), {});
    system.link(QStringLiteral("pts/7"), QStringLiteral("tmp/zrk6-radio"));
    const QString usb1 = system.path(QStringLiteral("dev/ttyUSB1"));
    const QString radio = system.path(QStringLiteral("tmp/zrk6-radio"));
    const QString missing = system.path(QStringLiteral("dev/ttyUSB9"));
    CableFacts facts = GatherCableFacts(system.sources(), {radio, missing});
    facts.user = {QStringLiteral("root"), 0, {}, {}};

    CableDiagnosis diagnosis = DiagnoseCable(facts, kEnglish, usb1);
    QCOMPARE(diagnosis.ports.size(), 1);
    QCOMPARE(diagnosis.ports[0].description, QStringLiteral("USB 0403:6001, FTDI FT232R USB UART, driver ftdi_sio"));
    QVERIFY(!diagnosis.hasProblem());

    diagnosis = DiagnoseCable(facts, kEnglish, radio);
    QCOMPARE(diagnosis.ports.size(), 1);
    QCOMPARE(diagnosis.ports[0].devicePath, radio);
    QVERIFY(!diagnosis.hasProblem());

    // Without any adapter, a built-in port's check says so; the virtual radio's does not.
    FakeSystem bare;
    bare.addBuiltInPort(QStringLiteral("ttyS0"), "4");
    bare.write(QStringLiteral("pts/7"), {});
    CableFacts bareFacts = GatherCableFacts(bare.sources(), {bare.path(QStringLiteral("pts/7"))});
    bareFacts.user = facts.user;
    QVERIFY(DiagnoseCable(bareFacts, kEnglish, bare.path(QStringLiteral("dev/ttyS0"))).hasProblem());
    QVERIFY(!DiagnoseCable(bareFacts, kEnglish, bare.path(QStringLiteral("pts/7"))).hasProblem());

    diagnosis = DiagnoseCable(facts, kEnglish, missing);
    QCOMPARE(diagnosis.ports[0].findings.size(), 1);
    QCOMPARE(diagnosis.ports[0].findings[0].text, QStringLiteral("The device %1 does not exist.").arg(missing));
}

void TestCableDoctor::chineseFindings()
{
    SKIP_WITHOUT_SYSFS();
    FakeSystem system;
    system.addUsbAdapter(QStringLiteral("1-2"), "1a86", "7523", {}, {}, QStringLiteral("ttyUSB0"),
                         QStringLiteral("ch341-uart"));
    CableFacts facts = GatherCableFacts(system.sources());
    facts.nodes[system.path(QStringLiteral("dev/ttyUSB0"))] = Node(QStringLiteral("dialout"), 0660);
    facts.user = Alice({QStringLiteral("alice")}, {});

    const QStringList lines = DiagnosisLines(DiagnoseCable(facts, kChinese), kChinese);
    QCOMPARE(lines.value(0), QStringLiteral("串口："));
    QVERIFY2(lines.contains(QStringLiteral("    您无法打开它：所有者 root，组 dialout，权限 crw-rw----。")),
             qPrintable(lines.join(u'\n')));
    QVERIFY(lines.contains(QStringLiteral("        sudo usermod -aG dialout alice")));
}

void TestCableDoctor::portsOpenedWherePermissionsAreUnknown()
{
    // What the doctor gathers off Linux: the listed ports, each opened once.
    CableFacts facts;
    facts.systemChecks = false;
    SerialPortFacts adapter;
    adapter.name = adapter.devicePath = QStringLiteral("COM7");
    adapter.usb = true;
    adapter.vendorId = QStringLiteral("1a86");
    adapter.productId = QStringLiteral("7523");
    facts.ports << adapter;
    DeviceNodeFacts node;
    node.exists = true;
    node.permissionsKnown = false;
    node.openTried = true;
    facts.nodes.insert(QStringLiteral("COM7"), node);

    CableDiagnosis diagnosis = DiagnoseCable(facts, kEnglish, QStringLiteral("COM7"));
    QVERIFY(!diagnosis.hasProblem());
    QCOMPARE(DiagnosisLines(diagnosis, kEnglish),
             (QStringList{"Serial ports:", "  COM7: USB 1a86:7523, CH340", "    You can open it.",
                          "On this system the doctor does not check permissions, brltty or ModemManager; it "
                          "checks that each port is there and can be opened.",
                          "Nothing stands in the way."}));

    facts.nodes[QStringLiteral("COM7")].openError = QStringLiteral("Access is denied.");
    diagnosis = DiagnoseCable(facts, kEnglish, QStringLiteral("COM7"));
    QVERIFY(diagnosis.hasProblem());
    QCOMPARE(diagnosis.ports[0].findings[0].text, QStringLiteral("It cannot be opened: Access is denied."));

    // Not opened (the port dialog leaves that to the transfer): only that it is there.
    facts.nodes[QStringLiteral("COM7")].openTried = false;
    diagnosis = DiagnoseCable(facts, kEnglish, QStringLiteral("COM7"));
    QVERIFY(!diagnosis.hasProblem());
    QCOMPARE(diagnosis.ports[0].findings[0].text, QStringLiteral("It is there."));
}

void TestCableDoctor::thisSystemsOwnFacts()
{
#ifdef Q_OS_LINUX
    QSKIP("Linux reads sysfs; the fake trees above cover it");
#else
    // A port that cannot be there is named as missing, and the note says what is not checked.
    // The build machine's own ports are listed, not opened.
    const QString missing = QStringLiteral("COM250");
    CableFactSources sources;
    sources.openPorts = false;
    const CableFacts facts = GatherCableFacts(sources, {missing});
    QVERIFY(!facts.systemChecks);
    const CableDiagnosis diagnosis = DiagnoseCable(facts, kEnglish, missing);
    QCOMPARE(diagnosis.ports.size(), 1);
    QCOMPARE(diagnosis.ports[0].devicePath, missing);
    QCOMPARE(diagnosis.ports[0].findings[0].kind, CableFinding::Kind::Problem);
    QVERIFY(diagnosis.system.last().text.startsWith(QStringLiteral("On this system")));
#endif
}

QTEST_GUILESS_MAIN(TestCableDoctor)
#include "test_cable_doctor.moc"

#include "link/cable_doctor.h"
#include "link/driver_rules.h"
#include "link/windows_devices.h"
#include "text/text_ids.h"
#include "text/text_qstring.h"

#include <algorithm>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSerialPort>
#include <QSerialPortInfo>

#ifdef Q_OS_UNIX
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <string_view>

namespace zrk6 {

namespace {

constexpr int kTextNone = text_id::kNone;
constexpr int kTextPortsHeader = text_id::kSerialPorts;
constexpr int kTextNoAdapter = text_id::kNoUsbAdapter;
constexpr int kTextCanOpen = text_id::kCanOpen;
constexpr int kTextCannotOpen = text_id::kCannotOpenPermissions;
constexpr int kTextJoinGroup = text_id::kJoinGroup;
constexpr int kTextRelogin = text_id::kLogInAgain;
constexpr int kTextNoGroupHelps = text_id::kGroupDoesNotHelp;
constexpr int kTextBrltty = text_id::kBrlttyInstalled;
constexpr int kTextModemManager = text_id::kModemManagerRunning;
constexpr int kTextOrphanAdapter = text_id::kAdapterWithoutPort;
constexpr int kTextAllWell = text_id::kNothingInTheWay;
constexpr int kTextNoDevice = text_id::kDeviceMissing;
constexpr int kTextDriver = text_id::kDriver;
constexpr int kTextOpenFailed = text_id::kPortCannotBeOpened;
constexpr int kTextNoSystemChecks = text_id::kDoctorChecksLessHere;
constexpr int kTextPortThere = text_id::kPortIsThere;

QString Tr(int id, LanguageMode language)
{
    return LoadQText(id, language);
}

// USB serial chips that radio programming cables are built on, by vendor and product id.
struct KnownAdapter {
    const char *vendorId;
    const char *productId;
    const char *chip;
};
constexpr KnownAdapter kKnownAdapters[] = {
    {"1a86", "7523", "CH340"},    {"1a86", "5523", "CH341"},    {"10c4", "ea60", "CP210x"},
    {"0403", "6001", "FT232R"},   {"0403", "6015", "FT231X"},   {"067b", "2303", "PL2303"},
    {"067b", "23a3", "PL2303GC"},
};

const KnownAdapter *FindKnownAdapter(const QString &vendorId, const QString &productId)
{
    for (const KnownAdapter &adapter : kKnownAdapters) {
        if (vendorId.compare(QLatin1String(adapter.vendorId), Qt::CaseInsensitive) == 0 &&
            productId.compare(QLatin1String(adapter.productId), Qt::CaseInsensitive) == 0)
            return &adapter;
    }
    return nullptr;
}

#ifdef Q_OS_LINUX
// What the Linux doctor reads: sysfs, the device nodes, the user, running programs, packages.

QString ReadLine(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readLine()).trimmed();
}

// The USB device folder at or above a sysfs device folder: the first one with an idVendor.
QString UsbDeviceFolder(const QString &sysRoot, QString folder)
{
    const QString root = QFileInfo(sysRoot).canonicalFilePath();
    while (!folder.isEmpty() && folder != root && folder.startsWith(root)) {
        if (QFileInfo::exists(folder + QStringLiteral("/idVendor")))
            return folder;
        folder = QFileInfo(folder).path();
    }
    return {};
}

void ReadUsbIds(const QString &usbFolder, QString &vendorId, QString &productId, QString &manufacturer,
                QString &product)
{
    vendorId = ReadLine(usbFolder + QStringLiteral("/idVendor"));
    productId = ReadLine(usbFolder + QStringLiteral("/idProduct"));
    manufacturer = ReadLine(usbFolder + QStringLiteral("/manufacturer"));
    product = ReadLine(usbFolder + QStringLiteral("/product"));
}

void ScanPorts(const CableFactSources &sources, CableFacts &facts, QStringList &usbFoldersWithPort)
{
    QDir classTty(sources.sysRoot + QStringLiteral("/class/tty"));
    const QStringList names = classTty.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::System, QDir::Name);
    for (const QString &name : names) {
        const QString entry = classTty.filePath(name);
        const QFileInfo device(entry + QStringLiteral("/device"));
        if (!device.exists())
            continue; // a virtual terminal or a pseudo-terminal: no hardware behind it
        SerialPortFacts port;
        port.name = name;
        port.devicePath = sources.devRoot + QLatin1Char('/') + name;
        port.driver = QFileInfo(QFileInfo(entry + QStringLiteral("/device/driver")).canonicalFilePath()).fileName();
        // ftdi_sio's latency timer, in milliseconds.
        bool isNumber = false;
        const int latency = ReadLine(entry + QStringLiteral("/device/latency_timer")).toInt(&isNumber);
        if (isNumber)
            port.latencyTimerMs = latency;
        const QString usbFolder = UsbDeviceFolder(sources.sysRoot, device.canonicalFilePath());
        port.usb = !usbFolder.isEmpty();
        if (port.usb) {
            ReadUsbIds(usbFolder, port.vendorId, port.productId, port.manufacturer, port.product);
            usbFoldersWithPort << usbFolder;
        } else {
            // Built-in UART slots without a chip report type 0.
            const QString type = ReadLine(entry + QStringLiteral("/type"));
            if (type == QLatin1String("0"))
                continue;
        }
        facts.ports << port;
    }
}

void ScanOrphanAdapters(const CableFactSources &sources, const QStringList &usbFoldersWithPort, CableFacts &facts)
{
    QDir usbDevices(sources.sysRoot + QStringLiteral("/bus/usb/devices"));
    const QStringList names = usbDevices.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::System, QDir::Name);
    for (const QString &name : names) {
        const QString folder = QFileInfo(usbDevices.filePath(name)).canonicalFilePath();
        if (!QFileInfo::exists(folder + QStringLiteral("/idVendor")) || usbFoldersWithPort.contains(folder))
            continue;
        OrphanAdapterFacts adapter;
        QString manufacturer;
        ReadUsbIds(folder, adapter.vendorId, adapter.productId, manufacturer, adapter.product);
        const KnownAdapter *known = FindKnownAdapter(adapter.vendorId, adapter.productId);
        if (known == nullptr)
            continue;
        if (adapter.product.isEmpty())
            adapter.product = QLatin1String(known->chip);
        facts.orphanAdapters << adapter;
    }
}

DeviceNodeFacts StatNode(const QString &path)
{
    DeviceNodeFacts node;
#ifdef Q_OS_UNIX
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return node;
    node.exists = true;
    node.uid = info.st_uid;
    node.gid = info.st_gid;
    node.mode = info.st_mode & 07777;
    node.characterDevice = S_ISCHR(info.st_mode);
    const passwd *owner = ::getpwuid(info.st_uid);
    node.owner = owner ? QString::fromLocal8Bit(owner->pw_name) : QString::number(info.st_uid);
    const group *group = ::getgrgid(info.st_gid);
    node.group = group ? QString::fromLocal8Bit(group->gr_name) : QString::number(info.st_gid);
#else
    node.exists = QFileInfo::exists(path);
#endif
    return node;
}

UserFacts CurrentUser(const QString &groupFile)
{
    UserFacts user;
#ifdef Q_OS_UNIX
    user.uid = ::getuid();
    const passwd *entry = ::getpwuid(user.uid);
    user.name = entry ? QString::fromLocal8Bit(entry->pw_name) : QString::number(user.uid);
    const int count = ::getgroups(0, nullptr);
    QList<gid_t> gids(count > 0 ? count : 0);
    if (count > 0 && ::getgroups(count, gids.data()) == count) {
        for (gid_t gid : gids) {
            const group *g = ::getgrgid(gid);
            user.sessionGroups << (g ? QString::fromLocal8Bit(g->gr_name) : QString::number(gid));
        }
    }
    const group *primary = ::getgrgid(::getgid());
    if (primary && !user.sessionGroups.contains(QString::fromLocal8Bit(primary->gr_name)))
        user.sessionGroups << QString::fromLocal8Bit(primary->gr_name);
#endif
    // The group file says what a new login would give; "name:x:gid:member,member".
    QFile file(groupFile);
    if (file.open(QIODevice::ReadOnly)) {
        while (!file.atEnd()) {
            const QStringList fields = QString::fromUtf8(file.readLine()).trimmed().split(QLatin1Char(':'));
            if (fields.size() >= 4 && fields[3].split(QLatin1Char(',')).contains(user.name))
                user.configuredGroups << fields[0];
        }
    }
    return user;
}

bool ProcessRunning(const QString &procRoot, const QString &command)
{
    const QStringList entries = QDir(procRoot).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &entry : entries) {
        if (!entry.front().isDigit())
            continue;
        if (ReadLine(procRoot + QLatin1Char('/') + entry + QStringLiteral("/comm")) == command)
            return true;
    }
    return false;
}

bool DpkgHasPackage(const QString &statusFile, const QString &package)
{
    QFile file(statusFile);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray wanted = "Package: " + package.toUtf8();
    bool inPackage = false;
    while (!file.atEnd()) {
        const QByteArray line = file.readLine().trimmed();
        if (line.startsWith("Package: "))
            inPackage = line == wanted;
        else if (inPackage && line.startsWith("Status: "))
            return line.endsWith(" installed") && !line.contains("not-installed");
    }
    return false;
}

bool PacmanHasPackage(const QString &localDir, const QString &package)
{
    // Entries are "name-version-release".
    const QStringList entries = QDir(localDir).entryList({package + QStringLiteral("-*")}, QDir::Dirs);
    for (const QString &entry : entries) {
        const QString rest = entry.mid(package.size() + 1);
        if (!rest.isEmpty() && rest.front().isDigit())
            return true;
    }
    return false;
}

#endif // Q_OS_LINUX

QString ModeText(const DeviceNodeFacts &node)
{
    QString text = node.characterDevice ? QStringLiteral("c") : QStringLiteral("-");
    const char *letters = "rwx";
    for (int shift = 6; shift >= 0; shift -= 3) {
        for (int bit = 0; bit < 3; ++bit)
            text += (node.mode >> (shift + 2 - bit)) & 1 ? QLatin1Char(letters[bit]) : QLatin1Char('-');
    }
    return text;
}

constexpr unsigned kOwnerReadWrite = 0600;
constexpr unsigned kGroupReadWrite = 0060;
constexpr unsigned kOtherReadWrite = 0006;

bool CanOpen(const DeviceNodeFacts &node, const UserFacts &user)
{
    if (user.uid == 0)
        return true;
    if (node.uid == user.uid)
        return (node.mode & kOwnerReadWrite) == kOwnerReadWrite;
    if (user.sessionGroups.contains(node.group))
        return (node.mode & kGroupReadWrite) == kGroupReadWrite;
    return (node.mode & kOtherReadWrite) == kOtherReadWrite;
}

QList<CableFinding> JudgeNode(const QString &devicePath, const DeviceNodeFacts &node, const UserFacts &user,
                              LanguageMode language)
{
    using Kind = CableFinding::Kind;
    if (!node.exists)
        return {{Kind::Problem, Tr(kTextNoDevice, language).arg(devicePath), {}}};
    if (!node.permissionsKnown) {
        if (!node.openTried)
            return {{Kind::Note, Tr(kTextPortThere, language), {}}};
        if (!node.openError.isEmpty())
            return {{Kind::Problem, Tr(kTextOpenFailed, language).arg(node.openError), {}}};
        return {{Kind::Note, Tr(kTextCanOpen, language), {}}};
    }
    if (CanOpen(node, user))
        return {{Kind::Note, Tr(kTextCanOpen, language), {}}};
    QList<CableFinding> findings;
    findings.append({Kind::Problem, Tr(kTextCannotOpen, language).arg(node.owner, node.group, ModeText(node)), {}});
    const bool groupHelps = (node.mode & kGroupReadWrite) == kGroupReadWrite && node.gid != 0;
    if (!groupHelps)
        findings.append({Kind::Problem, Tr(kTextNoGroupHelps, language), {}});
    else if (user.configuredGroups.contains(node.group))
        findings.append({Kind::Problem, Tr(kTextRelogin, language).arg(node.group), {}});
    else
        findings.append({Kind::Problem, Tr(kTextJoinGroup, language).arg(node.group),
                         QStringLiteral("sudo usermod -aG %1 %2").arg(node.group, user.name)});
    return findings;
}

QString Describe(const SerialPortFacts &port, LanguageMode language)
{
    QStringList parts;
    if (port.usb) {
        parts << QStringLiteral("USB %1:%2").arg(port.vendorId, port.productId);
        const KnownAdapter *known = FindKnownAdapter(port.vendorId, port.productId);
        QString name = QStringList({port.manufacturer, port.product}).join(QLatin1Char(' ')).trimmed();
        if (name.isEmpty() && known != nullptr)
            name = QLatin1String(known->chip);
        if (!name.isEmpty())
            parts << name;
    }
    if (!port.driver.isEmpty())
        parts << Tr(kTextDriver, language).arg(port.driver);
    return parts.join(QStringLiteral(", "));
}

} // namespace

#ifndef Q_OS_LINUX
namespace {

// Off Linux there is no sysfs to read: the serial port listing gives the ports, and opening
// one tells whether it can be used (a port in use refuses).
DeviceNodeFacts OpenNode(const QString &device, bool listed, bool open)
{
    DeviceNodeFacts node;
    node.permissionsKnown = false;
    node.exists = listed || QFileInfo::exists(device);
    if (!node.exists || !open)
        return node;
    node.openTried = true;
    QSerialPort port(device);
    if (port.open(QIODevice::ReadWrite))
        port.close();
    else
        node.openError = port.errorString();
    return node;
}

} // namespace

CableFacts GatherCableFacts(const CableFactSources &sources, const QStringList &extraDevices)
{
    CableFacts facts;
    facts.systemChecks = false;
    QStringList listed;
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts()) {
#ifdef Q_OS_WIN
        const QString device = info.portName();
#else
        const QString device = info.systemLocation();
        if (!device.startsWith(QLatin1String("/dev/cu.")))
            continue; // each adapter is listed twice; the call-out device is the one to use
#endif
        SerialPortFacts port;
        port.name = info.portName();
        port.devicePath = device;
        port.usb = info.hasVendorIdentifier();
        if (port.usb) {
            port.vendorId = QStringLiteral("%1").arg(info.vendorIdentifier(), 4, 16, QLatin1Char('0'));
            port.productId = QStringLiteral("%1").arg(info.productIdentifier(), 4, 16, QLatin1Char('0'));
        }
        port.manufacturer = info.manufacturer();
        port.product = info.description();
        facts.ports << port;
        listed << device;
        facts.nodes.insert(device, OpenNode(device, true, sources.openPorts));
    }
#ifdef Q_OS_WIN
    // SetupAPI knows what the port listing does not: problem codes, a driver's parameters, and
    // devices that failed to start and so have no usable port.
    for (const SerialPortFacts &device : ReadWindowsSerialDevices()) {
        auto same = std::find_if(facts.ports.begin(), facts.ports.end(), [&](const SerialPortFacts &port) {
            return !device.name.isEmpty() && port.name.compare(device.name, Qt::CaseInsensitive) == 0;
        });
        if (same == facts.ports.end()) {
            if (device.problemCode == 0)
                continue;
            facts.ports << device;
            facts.ports.back().devicePath = device.name.isEmpty() ? device.product : device.name;
            continue;
        }
        same->problemCode = device.problemCode;
        same->latencyTimerMs = device.latencyTimerMs;
        if (device.problemCode != 0)
            same->product = device.product; // the driver may have renamed it to say why
    }
#endif
    for (const QString &device : extraDevices) {
        if (!facts.nodes.contains(device))
            facts.nodes.insert(device, OpenNode(device, listed.contains(device, Qt::CaseInsensitive), sources.openPorts));
    }
    return facts;
}
#else
CableFacts GatherCableFacts(const CableFactSources &sources, const QStringList &extraDevices)
{
    CableFacts facts;
    QStringList usbFoldersWithPort;
    ScanPorts(sources, facts, usbFoldersWithPort);
    ScanOrphanAdapters(sources, usbFoldersWithPort, facts);
    for (const SerialPortFacts &port : std::as_const(facts.ports))
        facts.nodes.insert(port.devicePath, StatNode(port.devicePath));
    for (const QString &device : extraDevices)
        facts.nodes.insert(device, StatNode(device));
    facts.user = CurrentUser(sources.groupFile);
    facts.modemManagerRunning = ProcessRunning(sources.procRoot, QStringLiteral("ModemManager"));
    const QString brltty = QStringLiteral("brltty");
    if (DpkgHasPackage(sources.dpkgStatusFile, brltty)) {
        facts.brlttyInstalled = true;
        facts.removeBrlttyCommand = QStringLiteral("sudo apt remove brltty");
    } else if (PacmanHasPackage(sources.pacmanLocalDir, brltty)) {
        facts.brlttyInstalled = true;
        facts.removeBrlttyCommand = QStringLiteral("sudo pacman -R brltty");
    }
    return facts;
}
#endif

bool CableDiagnosis::hasProblem() const
{
    auto anyProblem = [](const QList<CableFinding> &findings) {
        for (const CableFinding &finding : findings) {
            if (finding.kind == CableFinding::Kind::Problem)
                return true;
        }
        return false;
    };
    if (anyProblem(system))
        return true;
    for (const PortDiagnosis &port : ports) {
        if (anyProblem(port.findings))
            return true;
    }
    return false;
}

CableDiagnosis DiagnoseCable(const CableFacts &facts, LanguageMode language, const QString &port)
{
    using Kind = CableFinding::Kind;
    CableDiagnosis diagnosis;
    const QString wanted = port.isEmpty() ? QString() : QFileInfo(port).canonicalFilePath();
    bool anyUsb = false;
    for (const SerialPortFacts &listed : facts.ports) {
        anyUsb = anyUsb || listed.usb;
        if (!port.isEmpty() && listed.devicePath != port && listed.devicePath != wanted)
            continue;
        PortDiagnosis entry;
        entry.devicePath = listed.devicePath;
        entry.description = Describe(listed, language);
        entry.findings = JudgeNode(listed.devicePath, facts.nodes.value(listed.devicePath), facts.user, language);
        entry.findings += DriverFindings(listed, ThisHostSystem(), language);
        diagnosis.ports << entry;
    }
    bool otherDevice = false; // asked about a device that is there but no serial port the kernel lists
    if (!port.isEmpty() && diagnosis.ports.isEmpty()) {
        // A device the kernel does not list as a serial port: a pseudo-terminal, a link, a typo.
        otherDevice = facts.nodes.value(port).exists;
        PortDiagnosis entry;
        entry.devicePath = port;
        entry.findings = JudgeNode(port, facts.nodes.value(port), facts.user, language);
        diagnosis.ports << entry;
    }

    for (const OrphanAdapterFacts &adapter : facts.orphanAdapters)
        diagnosis.system.append({Kind::Problem,
                                 Tr(kTextOrphanAdapter, language)
                                     .arg(QStringLiteral("%1 %2:%3").arg(adapter.product, adapter.vendorId, adapter.productId)),
                                 {}});
    // A pseudo-terminal (the virtual radio) needs no adapter; a built-in port is rarely the
    // programming cable, so its check still says when no adapter is there.
    if (!anyUsb && facts.orphanAdapters.isEmpty() && !otherDevice)
        diagnosis.system.append({Kind::Problem, Tr(kTextNoAdapter, language), {}});
    QStringList devicePaths;
    for (const SerialPortFacts &listed : facts.ports)
        devicePaths << listed.devicePath;
    diagnosis.system += DuplicatePortFindings(devicePaths, language);
    if (facts.brlttyInstalled)
        diagnosis.system.append({Kind::Problem, Tr(kTextBrltty, language), facts.removeBrlttyCommand});
    if (facts.modemManagerRunning)
        diagnosis.system.append({Kind::Problem, Tr(kTextModemManager, language),
                                 QStringLiteral("sudo systemctl stop ModemManager")});
    if (!facts.systemChecks)
        diagnosis.system.append({Kind::Note, Tr(kTextNoSystemChecks, language), {}});
    return diagnosis;
}

QStringList DiagnosisLines(const CableDiagnosis &diagnosis, LanguageMode language)
{
    QStringList lines;
    auto addFindings = [&lines](const QList<CableFinding> &findings, const QString &indent) {
        for (const CableFinding &finding : findings) {
            lines << indent + finding.text;
            if (!finding.command.isEmpty())
                lines << indent + QStringLiteral("    ") + finding.command;
        }
    };
    lines << Tr(kTextPortsHeader, language);
    if (diagnosis.ports.isEmpty())
        lines << QStringLiteral("  ") + Tr(kTextNone, language);
    for (const PortDiagnosis &port : diagnosis.ports) {
        lines << QStringLiteral("  ") + port.devicePath +
                     (port.description.isEmpty() ? QString() : QStringLiteral(": ") + port.description);
        addFindings(port.findings, QStringLiteral("    "));
    }
    addFindings(diagnosis.system, QString());
    if (!diagnosis.hasProblem())
        lines << Tr(kTextAllWell, language);
    return lines;
}

} // namespace zrk6

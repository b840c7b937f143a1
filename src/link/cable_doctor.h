#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include "text/text_table.h"

namespace zrk6 {

// The cable doctor: what the system knows about its serial ports and what stands between
// this user and the radio (no permission on the device, brltty, ModemManager, no adapter).
// Facts are gathered first and judged afterwards, so that tests judge fake systems.

// One serial port the kernel lists under /sys/class/tty.
struct SerialPortFacts {
    QString name;       // "ttyUSB0"
    QString devicePath; // "/dev/ttyUSB0"
    QString driver;     // "ch341-uart", "cdc_acm", "serial8250"; empty when unknown
    bool usb = false;   // the port sits on a USB device
    QString vendorId;   // four hex digits, USB ports only
    QString productId;
    QString manufacturer;
    QString product;
    int problemCode = 0;     // Windows: the device's problem code in Device Manager (0: none)
    int latencyTimerMs = -1; // an FTDI adapter's latency timer; -1 where unknown
};

// A USB device that is a known serial adapter (by vendor and product id) but has no port.
struct OrphanAdapterFacts {
    QString vendorId;
    QString productId;
    QString product; // the device's own name, or the chip's when it gives none
};

// A device file as stat() sees it.
struct DeviceNodeFacts {
    bool exists = false;
    unsigned uid = 0;
    unsigned gid = 0;
    QString owner; // user name, or the number when it has none
    QString group; // group name, or the number
    unsigned mode = 0; // permission bits (07777) only
    bool characterDevice = false;
    // Where no owner and mode are known (off Linux) the port is opened to see.
    bool permissionsKnown = true;
    bool openTried = false;
    QString openError; // why opening failed; empty when it opened
};

// The user running the program.
struct UserFacts {
    QString name;
    unsigned uid = 0;
    QStringList sessionGroups;    // the groups this process has now
    QStringList configuredGroups; // the groups the group file gives the user (after a new login)
};

// Everything the doctor judges.
struct CableFacts {
    QList<SerialPortFacts> ports;
    QList<OrphanAdapterFacts> orphanAdapters;
    QHash<QString, DeviceNodeFacts> nodes; // by device path: every port's, and any device asked for
    UserFacts user;
    bool brlttyInstalled = false;
    bool modemManagerRunning = false;
    QString removeBrlttyCommand; // for the package manager found: "sudo apt remove brltty"
    bool systemChecks = true; // permissions, brltty and ModemManager were looked at (Linux)
};

// Where the facts come from. The defaults are the running system's; tests point the
// folders at fake trees.
struct CableFactSources {
    QString sysRoot = QStringLiteral("/sys");
    QString devRoot = QStringLiteral("/dev");
    QString procRoot = QStringLiteral("/proc");
    QString groupFile = QStringLiteral("/etc/group");
    QString dpkgStatusFile = QStringLiteral("/var/lib/dpkg/status");
    QString pacmanLocalDir = QStringLiteral("/var/lib/pacman/local");
    // Off Linux: open each port to see whether it can be used. Opening can take seconds (a
    // Bluetooth port), so the port dialog leaves it to the transfer.
    bool openPorts = true;
};

// Reads the facts from the sources; extraDevices are device paths (a chosen port, a
// pseudo-terminal) whose nodes are looked at too. Never fails: what cannot be read is
// left out. The user is the one running this process. Off Linux the ports come from the
// serial port listing and each is opened once to see whether it can be.
CableFacts GatherCableFacts(const CableFactSources &sources = {}, const QStringList &extraDevices = {});

// One finding. A problem stands in the way of the radio; a note only informs.
struct CableFinding {
    enum class Kind { Note, Problem };
    Kind kind = Kind::Note;
    QString text;    // one or more sentences in the chosen language
    QString command; // a shell command that mends it; may be empty
};

// What the doctor says about one port.
struct PortDiagnosis {
    QString devicePath;
    QString description; // "USB 1a86:7523, QinHeng Electronics USB Serial, driver ch341-uart"
    QList<CableFinding> findings;
};

struct CableDiagnosis {
    QList<PortDiagnosis> ports;    // the listed ports, or the one port asked for
    QList<CableFinding> system;    // findings that concern every port
    bool hasProblem() const;
};

// Judges the facts. With an empty port, every serial port with hardware behind it (USB
// ports and built-in ports the kernel lists with a real driver); otherwise that device
// alone (a symbolic link is judged by the device it points to).
CableDiagnosis DiagnoseCable(const CableFacts &facts, LanguageMode language, const QString &port = {});

// The diagnosis as lines of text, the way zrk6-cli doctor prints it and the port dialog
// shows it: each port, its findings indented, commands indented further.
QStringList DiagnosisLines(const CableDiagnosis &diagnosis, LanguageMode language);

} // namespace zrk6

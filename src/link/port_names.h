#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include "text/text_table.h"

namespace zrk6 {

inline constexpr int kCommPortCount = 4;        // numbers 1..4 are always offered
inline constexpr int kMaxCommPortNumber = 256;  // Windows numbers ports up to COM256

// What tells one USB serial adapter from another, as far as the system reports it.
struct PortIdentity {
    int vendorId = -1;  // 0..0xFFFF; -1 when the system gives none
    int productId = -1;
    QString serialNumber; // may be empty (many CH340 cables have none)

    bool isKnown() const { return vendorId >= 0 && productId >= 0; }
    // The same adapter: the same USB ids, and the same serial number where both have one.
    bool sameAdapter(const PortIdentity &other) const;
    // "0403:6001"; empty when not known.
    QString usbIds() const;
    // "USB 0403:6001 S/N A50285BI", "USB 1A86:7523"; empty when not known.
    QString text() const;
};

// One serial port of the system.
struct SerialPortEntry {
    QString systemName;  // what QSerialPort opens: "COM3", "/dev/ttyUSB0"
    QString description; // the system's description or manufacturer, may be empty
    bool isAdapter = false; // a USB or ACM adapter
    PortIdentity identity;
};

// The system's serial ports in the order port numbers are given out: USB and ACM adapters
// first, then built-in ports, each group in natural name order (ttyS2 before ttyS10).
// On macOS only the call-out devices (/dev/cu.*): Qt lists each adapter twice.
QList<SerialPortEntry> ListSerialPorts();

// The same order for a given list (pure; for tests).
QList<SerialPortEntry> OrderSerialPorts(QList<SerialPortEntry> ports);

// The system name of port number n: "COMn" on Windows; elsewhere the n-th port of the
// ordered list, or on Linux /dev/ttyS(n-1) when the list is shorter (empty on macOS, which
// has no such ports). Numbers outside 1..kMaxCommPortNumber are clamped.
QString PortSystemName(int commPortNumber);
QString PortSystemName(int commPortNumber, const QList<SerialPortEntry> &ordered);

// A device named on the command line: a relative path becomes absolute; a bare name such as
// "ttyUSB0" or "COM3" is left for the serial port to find in /dev, unless only the current
// directory has it.
QString NormalizePortName(const QString &device);

// Whether two system names name one port: on Windows without regard to case (com5 is COM5).
bool SamePortName(const QString &a, const QString &b);

// The identity of the port listed under systemName; not known when it is not listed.
PortIdentity IdentityOf(const QString &systemName, const QList<SerialPortEntry> &ports);

// True when there is a device under this name now: listed by the system, or (elsewhere than
// on Windows) a device file, as a pseudo-terminal is.
bool PortDeviceExists(const QString &systemName, const QList<SerialPortEntry> &ports);

// "Port: COM5", the line that names the port a transfer tried.
QString TriedPortLine(const QString &systemName, LanguageMode language);

// One numbered port as the port dialog and "zrk6-cli ports" show it.
struct CommPortChoice {
    int number = 1;      // 1..kMaxCommPortNumber
    QString systemName;
    QString description; // empty when no such port is listed by the system
    bool present = false; // the system lists this port
};
// Ports 1..4 and every other present port, with their system names. On Windows a number is
// the COM number, so adapters at COM5 and above keep theirs; elsewhere numbers follow the
// ordered list.
QList<CommPortChoice> CommPortChoices();
QList<CommPortChoice> CommPortChoices(const QList<SerialPortEntry> &ordered);

} // namespace zrk6

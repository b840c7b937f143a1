#pragma once

#include <QList>
#include <QStringList>

#include "link/cable_doctor.h"

namespace zrk6 {

// Which system's drivers a rule speaks of: each system has its own fix for the same chip.
enum class HostSystem { Linux, Windows, MacOS };

// The system this program runs on.
HostSystem ThisHostSystem();

// The known troubles of USB serial chips and their drivers, judged from one port's facts:
// a Prolific PL2303 its driver refuses, a CH340 whose port cannot be configured, an FTDI chip
// whose id was erased, an FTDI latency timer above 2 ms. Empty when nothing is known against it.
QList<CableFinding> DriverFindings(const SerialPortFacts &port, HostSystem system, LanguageMode language);

// macOS lists one CH34x adapter twice when both Apple's and the vendor's drivers are installed
// (cu.usbserial-N and cu.wchusbserialN): which one to use.
QList<CableFinding> DuplicatePortFindings(const QStringList &devicePaths, LanguageMode language);

} // namespace zrk6

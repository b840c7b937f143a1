#pragma once

#include <QList>

#include "link/cable_doctor.h"

namespace zrk6 {

#ifdef Q_OS_WIN
// Every serial device Windows knows (the Ports class, present now), as SetupAPI describes it:
// the port name, USB vendor and product id, the friendly name, Device Manager's problem code
// and, for FTDI's driver, its LatencyTimer parameter. A device that cannot start is listed too.
QList<SerialPortFacts> ReadWindowsSerialDevices();
#endif

} // namespace zrk6

#pragma once

#include <functional>

#ifdef __linux__
#include <linux/serial.h>
#endif

namespace zrk6 {

#ifdef __linux__
// The two calls of the serial driver's settings (TIOCGSERIAL, TIOCSSERIAL); tests stand in for them.
struct SerialSettingsCalls {
    std::function<int(int fd, serial_struct &settings)> get;
    std::function<int(int fd, const serial_struct &settings)> set;
};
SerialSettingsCalls SystemSerialSettingsCalls();

enum class LowLatency { Requested, AlreadyOn, NotSupported };

// Asks the driver of an open port to pass on each reply at once (ASYNC_LOW_LATENCY, which
// ftdi_sio turns into a 1 ms latency timer in place of 16 ms). A driver or a pseudo-terminal
// without these settings is left as it is.
LowLatency RequestLowLatency(int fd, const SerialSettingsCalls &calls = SystemSerialSettingsCalls());
#endif

} // namespace zrk6

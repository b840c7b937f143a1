#include "link/port_latency.h"

#ifdef __linux__
#include <sys/ioctl.h>

namespace zrk6 {

SerialSettingsCalls SystemSerialSettingsCalls()
{
    return {[](int fd, serial_struct &settings) { return ::ioctl(fd, TIOCGSERIAL, &settings); },
            [](int fd, const serial_struct &settings) { return ::ioctl(fd, TIOCSSERIAL, &settings); }};
}

LowLatency RequestLowLatency(int fd, const SerialSettingsCalls &calls)
{
    serial_struct settings{};
    if (calls.get(fd, settings) != 0)
        return LowLatency::NotSupported;
    if (settings.flags & ASYNC_LOW_LATENCY)
        return LowLatency::AlreadyOn;
    settings.flags |= ASYNC_LOW_LATENCY;
    return calls.set(fd, settings) == 0 ? LowLatency::Requested : LowLatency::NotSupported;
}

} // namespace zrk6
#endif

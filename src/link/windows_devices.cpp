#include "link/windows_devices.h"

#ifdef Q_OS_WIN
#include <QRegularExpression>

// clang-format off
#include <windows.h>
#include <cfgmgr32.h>
#include <devguid.h>
#include <setupapi.h>
// clang-format on

namespace zrk6 {

namespace {

QString RegistryText(HDEVINFO set, SP_DEVINFO_DATA &device, DWORD property)
{
    wchar_t buffer[1024] = {};
    DWORD type = 0;
    if (!SetupDiGetDeviceRegistryPropertyW(set, &device, property, &type, reinterpret_cast<BYTE *>(buffer),
                                           sizeof buffer - sizeof(wchar_t), nullptr))
        return {};
    // A multi-string (the hardware ids) gives its first, most specific, entry.
    return QString::fromWCharArray(buffer);
}

// The device's own parameters: PortName ("COM3") and FTDI's LatencyTimer.
void ReadParameters(HDEVINFO set, SP_DEVINFO_DATA &device, SerialPortFacts &port)
{
    HKEY key = SetupDiOpenDevRegKey(set, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
    if (key == INVALID_HANDLE_VALUE)
        return;
    wchar_t name[64] = {};
    DWORD size = sizeof name - sizeof(wchar_t);
    DWORD type = 0;
    if (RegQueryValueExW(key, L"PortName", nullptr, &type, reinterpret_cast<BYTE *>(name), &size) == ERROR_SUCCESS &&
        type == REG_SZ)
        port.name = port.devicePath = QString::fromWCharArray(name);
    DWORD latency = 0;
    size = sizeof latency;
    if (RegQueryValueExW(key, L"LatencyTimer", nullptr, &type, reinterpret_cast<BYTE *>(&latency), &size) ==
            ERROR_SUCCESS &&
        type == REG_DWORD)
        port.latencyTimerMs = static_cast<int>(latency);
    RegCloseKey(key);
}

} // namespace

QList<SerialPortFacts> ReadWindowsSerialDevices()
{
    QList<SerialPortFacts> ports;
    HDEVINFO set = SetupDiGetClassDevsW(&GUID_DEVCLASS_PORTS, nullptr, nullptr, DIGCF_PRESENT);
    if (set == INVALID_HANDLE_VALUE)
        return ports;
    static const QRegularExpression usbIds(QStringLiteral("VID_([0-9A-F]{4})&PID_([0-9A-F]{4})"),
                                           QRegularExpression::CaseInsensitiveOption);
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof device;
    for (DWORD index = 0; SetupDiEnumDeviceInfo(set, index, &device); ++index) {
        SerialPortFacts port;
        const QRegularExpressionMatch ids = usbIds.match(RegistryText(set, device, SPDRP_HARDWAREID));
        port.usb = ids.hasMatch();
        if (port.usb) {
            port.vendorId = ids.captured(1).toLower();
            port.productId = ids.captured(2).toLower();
        }
        port.product = RegistryText(set, device, SPDRP_FRIENDLYNAME);
        if (port.product.isEmpty())
            port.product = RegistryText(set, device, SPDRP_DEVICEDESC);
        port.manufacturer = RegistryText(set, device, SPDRP_MFG);
        ULONG status = 0;
        ULONG problem = 0;
        if (CM_Get_DevNode_Status(&status, &problem, device.DevInst, 0) == CR_SUCCESS && (status & DN_HAS_PROBLEM))
            port.problemCode = static_cast<int>(problem);
        ReadParameters(set, device, port);
        ports << port;
    }
    SetupDiDestroyDeviceInfoList(set);
    return ports;
}

} // namespace zrk6
#endif

#include "link/driver_rules.h"

#include <QFileInfo>
#include <QRegularExpression>

#include "text/text_ids.h"
#include "text/text_qstring.h"

namespace zrk6 {

namespace {

constexpr int kTextLatency = text_id::kLatencyTimer;
constexpr int kTextLatencyLinux = text_id::kLinuxLatencyAdvice;
constexpr int kTextLatencyWindows = text_id::kWindowsLatencyAdvice;
constexpr int kTextPl2303Refused = text_id::kProlificRefused;
constexpr int kTextCh340Rollback = text_id::kCh340Error31;
constexpr int kTextFtdiErased = text_id::kFtdiIdErased;
constexpr int kTextMacDuplicate = text_id::kMacTwoCh34xPorts;
constexpr int kTextProblemCode = text_id::kWindowsProblemCode;

// Device Manager's codes: 10 the device cannot start, 31 the device is not working properly.
constexpr int kCannotStart = 10;
constexpr int kNotWorking = 31;
// Above this an adapter's latency timer slows the clone protocol's many short replies.
constexpr int kFastLatencyMs = 2;

bool Is(const SerialPortFacts &port, const char *vendor, const char *product = nullptr)
{
    return port.vendorId.compare(QLatin1String(vendor), Qt::CaseInsensitive) == 0 &&
           (!product || port.productId.compare(QLatin1String(product), Qt::CaseInsensitive) == 0);
}

// What Prolific's driver writes into the device's name when it refuses a chip.
bool NameSaysRefused(const QString &name)
{
    static const QRegularExpression refused(
        QStringLiteral("PLEASE INSTALL CORRECT DRIVER|PHASED OUT|NOT SUPPORT|CONTACT YOUR SUPPLIER|CODE\\s*10"),
        QRegularExpression::CaseInsensitiveOption);
    return refused.match(name).hasMatch();
}

} // namespace

HostSystem ThisHostSystem()
{
#if defined(Q_OS_WIN)
    return HostSystem::Windows;
#elif defined(Q_OS_MACOS)
    return HostSystem::MacOS;
#else
    return HostSystem::Linux;
#endif
}

QList<CableFinding> DriverFindings(const SerialPortFacts &port, HostSystem system, LanguageMode language)
{
    using Kind = CableFinding::Kind;
    QList<CableFinding> findings;
    bool explained = false;
    if (Is(port, "067b") && (port.problemCode == kCannotStart || NameSaysRefused(port.product))) {
        findings.append({Kind::Problem, LoadQText(kTextPl2303Refused, language), {}});
        explained = true;
    }
    if (Is(port, "1a86", "7523") && port.problemCode == kNotWorking && system == HostSystem::Windows) {
        findings.append({Kind::Problem, LoadQText(kTextCh340Rollback, language), {}});
        explained = true;
    }
    if (Is(port, "0403", "0000")) {
        findings.append({Kind::Problem, LoadQText(kTextFtdiErased, language), {}});
        explained = true;
    }
    if (port.problemCode != 0 && !explained)
        findings.append({Kind::Problem, LoadQText(kTextProblemCode, language).arg(port.problemCode), {}});

    if (port.latencyTimerMs > kFastLatencyMs && system == HostSystem::Linux) {
        findings.append({Kind::Note, LoadQText(kTextLatencyLinux, language).arg(port.latencyTimerMs),
                         QStringLiteral("echo 1 | sudo tee /sys/bus/usb-serial/devices/%1/latency_timer")
                             .arg(QFileInfo(port.devicePath).fileName())});
    } else if (port.latencyTimerMs > kFastLatencyMs && system == HostSystem::Windows) {
        findings.append({Kind::Note, LoadQText(kTextLatencyWindows, language).arg(port.latencyTimerMs), {}});
    } else if (port.latencyTimerMs >= 0) {
        findings.append({Kind::Note, LoadQText(kTextLatency, language).arg(port.latencyTimerMs), {}});
    }
    return findings;
}

QList<CableFinding> DuplicatePortFindings(const QStringList &devicePaths, LanguageMode language)
{
    // Apple's driver names the port after the chip's serial number or location, the vendor's
    // driver the same with its own prefix: /dev/cu.usbserial-1410 and /dev/cu.wchusbserial1410.
    static const QRegularExpression apple(QStringLiteral("^/dev/cu\\.usbserial-?(\\w+)$"));
    static const QRegularExpression vendor(QStringLiteral("^/dev/cu\\.wchusbserial-?(\\w+)$"));
    QList<CableFinding> findings;
    for (const QString &vendorPath : devicePaths) {
        const QRegularExpressionMatch v = vendor.match(vendorPath);
        if (!v.hasMatch())
            continue;
        for (const QString &applePath : devicePaths) {
            const QRegularExpressionMatch a = apple.match(applePath);
            if (a.hasMatch() && a.captured(1) == v.captured(1))
                findings.append({CableFinding::Kind::Note,
                                 LoadQText(kTextMacDuplicate, language).arg(applePath, vendorPath), {}});
        }
    }
    return findings;
}

} // namespace zrk6

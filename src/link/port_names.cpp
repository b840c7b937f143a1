#include "link/port_names.h"

#include <QDir>
#include <QFileInfo>
#include <QSerialPortInfo>

#include "text/text_ids.h"
#include "text/text_qstring.h"

#include <algorithm>

namespace zrk6 {

namespace {

// Natural order: digit runs compare by value, so ttyS2 comes before ttyS10.
bool NaturalLess(const QString &a, const QString &b)
{
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < a.size() && j < b.size()) {
        if (a[i].isDigit() && b[j].isDigit()) {
            qsizetype ei = i;
            qsizetype ej = j;
            while (ei < a.size() && a[ei].isDigit())
                ++ei;
            while (ej < b.size() && b[ej].isDigit())
                ++ej;
            // Compare by length after dropping leading zeros, then digit by digit.
            QString sa = a.mid(i, ei - i);
            QString sb = b.mid(j, ej - j);
            while (sa.size() > 1 && sa[0] == QLatin1Char('0'))
                sa.remove(0, 1);
            while (sb.size() > 1 && sb[0] == QLatin1Char('0'))
                sb.remove(0, 1);
            if (sa.size() != sb.size())
                return sa.size() < sb.size();
            if (sa != sb)
                return sa < sb;
            i = ei;
            j = ej;
            continue;
        }
        if (a[i] != b[j])
            return a[i] < b[j];
        ++i;
        ++j;
    }
    return (a.size() - i) < (b.size() - j);
}

bool IsAdapterName(const QString &name)
{
    return name.contains(QLatin1String("USB"), Qt::CaseInsensitive) ||
           name.contains(QLatin1String("ACM"), Qt::CaseInsensitive);
}

} // namespace

QList<SerialPortEntry> OrderSerialPorts(QList<SerialPortEntry> ports)
{
    std::stable_sort(ports.begin(), ports.end(), [](const SerialPortEntry &a, const SerialPortEntry &b) {
        if (a.isAdapter != b.isAdapter)
            return a.isAdapter;
        return NaturalLess(a.systemName, b.systemName);
    });
    return ports;
}

QList<SerialPortEntry> ListSerialPorts()
{
    QList<SerialPortEntry> ports;
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts()) {
#ifdef Q_OS_MACOS
        if (!info.systemLocation().startsWith(QLatin1String("/dev/cu.")))
            continue;
#endif
        SerialPortEntry entry;
#ifdef Q_OS_WIN
        entry.systemName = info.portName();
#else
        entry.systemName = info.systemLocation();
#endif
        entry.description = info.description().isEmpty() ? info.manufacturer() : info.description();
        entry.isAdapter = info.hasVendorIdentifier() || IsAdapterName(info.portName());
        if (info.hasVendorIdentifier() && info.hasProductIdentifier()) {
            entry.identity.vendorId = info.vendorIdentifier();
            entry.identity.productId = info.productIdentifier();
            entry.identity.serialNumber = info.serialNumber();
        }
        ports.append(entry);
    }
    return OrderSerialPorts(ports);
}

QString PortSystemName(int commPortNumber, const QList<SerialPortEntry> &ordered)
{
    const int n = std::clamp(commPortNumber, 1, kMaxCommPortNumber);
#ifdef Q_OS_WIN
    Q_UNUSED(ordered);
    return QStringLiteral("COM%1").arg(n);
#else
    if (n <= ordered.size())
        return ordered[n - 1].systemName;
#ifdef Q_OS_MACOS
    return QString();
#else
    return QStringLiteral("/dev/ttyS%1").arg(n - 1);
#endif
#endif
}

QString PortSystemName(int commPortNumber)
{
    return PortSystemName(commPortNumber, ListSerialPorts());
}

QList<CommPortChoice> CommPortChoices(const QList<SerialPortEntry> &ordered)
{
    QList<int> numbers;
    for (int n = 1; n <= kCommPortCount; ++n)
        numbers.append(n);
#ifdef Q_OS_WIN
    for (const SerialPortEntry &entry : ordered) {
        bool ok = false;
        const int n = entry.systemName.startsWith(QLatin1String("COM"), Qt::CaseInsensitive)
                          ? entry.systemName.mid(3).toInt(&ok)
                          : 0;
        if (ok && n > kCommPortCount && n <= kMaxCommPortNumber && !numbers.contains(n))
            numbers.append(n);
    }
    std::sort(numbers.begin(), numbers.end());
#else
    for (int n = kCommPortCount + 1; n <= std::min<qsizetype>(ordered.size(), kMaxCommPortNumber); ++n)
        numbers.append(n);
#endif
    QList<CommPortChoice> choices;
    for (const int n : numbers) {
        CommPortChoice choice;
        choice.number = n;
        choice.systemName = PortSystemName(n, ordered);
        for (const SerialPortEntry &entry : ordered) {
            if (entry.systemName == choice.systemName) {
                choice.present = true;
                choice.description = entry.description;
                break;
            }
        }
        choices.append(choice);
    }
    return choices;
}

QList<CommPortChoice> CommPortChoices()
{
    return CommPortChoices(ListSerialPorts());
}

bool PortIdentity::sameAdapter(const PortIdentity &other) const
{
    if (!isKnown() || !other.isKnown())
        return false;
    if (vendorId != other.vendorId || productId != other.productId)
        return false;
    return serialNumber.isEmpty() || other.serialNumber.isEmpty() || serialNumber == other.serialNumber;
}

QString PortIdentity::usbIds() const
{
    if (!isKnown())
        return {};
    return QStringLiteral("%1:%2").arg(vendorId, 4, 16, QLatin1Char('0')).arg(productId, 4, 16, QLatin1Char('0')).toUpper();
}

QString PortIdentity::text() const
{
    if (!isKnown())
        return {};
    QString text = QStringLiteral("USB ") + usbIds();
    if (!serialNumber.isEmpty())
        text += QStringLiteral(" S/N ") + serialNumber;
    return text;
}

bool SamePortName(const QString &a, const QString &b)
{
#ifdef Q_OS_WIN
    return a.compare(b, Qt::CaseInsensitive) == 0;
#else
    return a == b;
#endif
}

PortIdentity IdentityOf(const QString &systemName, const QList<SerialPortEntry> &ports)
{
    for (const SerialPortEntry &entry : ports) {
        if (SamePortName(entry.systemName, systemName))
            return entry.identity;
    }
    return {};
}

bool PortDeviceExists(const QString &systemName, const QList<SerialPortEntry> &ports)
{
    if (systemName.isEmpty())
        return false;
    for (const SerialPortEntry &entry : ports) {
        if (SamePortName(entry.systemName, systemName))
            return true;
    }
#ifdef Q_OS_WIN
    return false;
#else
    // A bare name is looked for in /dev, as QSerialPort does.
    return QFileInfo::exists(systemName.contains(QLatin1Char('/')) ? systemName : QStringLiteral("/dev/") + systemName);
#endif
}

QString TriedPortLine(const QString &systemName, LanguageMode language)
{
    return LoadQText(text_id::kTriedPort, language).arg(QDir::toNativeSeparators(systemName));
}

QString NormalizePortName(const QString &device)
{
#ifdef Q_OS_WIN
    return device;
#else
    const QFileInfo info(device);
    if (!info.isRelative())
        return device;
    // "dir/radio" is a path; a bare "radio" is one only when it exists here and not in /dev.
    if (device.contains(QLatin1Char('/')) ||
        (info.exists() && !QFileInfo::exists(QStringLiteral("/dev/") + device)))
        return info.absoluteFilePath();
    return device;
#endif
}

} // namespace zrk6

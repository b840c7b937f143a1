#include "link/port_change.h"

#include <QDir>

#include "text/text_ids.h"
#include "text/text_qstring.h"

namespace zrk6 {

PortChangeCheck CheckChosenAdapter(const QString &portName, const PortIdentity &chosen,
                                   const QList<SerialPortEntry> &ports)
{
    PortChangeCheck check;
    if (!chosen.isKnown())
        return check;
    bool listed = false;
    QStringList elsewhere;
    for (const SerialPortEntry &entry : ports) {
        if (SamePortName(entry.systemName, portName)) {
            listed = true;
            check.now = entry.identity;
        } else if (entry.identity.sameAdapter(chosen)) {
            elsewhere << entry.systemName;
        }
    }
    if (listed && check.now.sameAdapter(chosen))
        return check;
    // A device the system does not list (a pseudo-terminal) is there, but it is no adapter.
    const bool there = listed || PortDeviceExists(portName, ports);
    check.change = !there ? PortChange::Gone : check.now.isKnown() ? PortChange::OtherAdapter : PortChange::OtherPort;
    // Two alike adapters without serial numbers cannot be told apart: name neither.
    if (elsewhere.size() == 1)
        check.movedTo = elsewhere.front();
    return check;
}

QString PortChangeText(const QString &portName, const PortIdentity &chosen, const PortChangeCheck &check,
                       LanguageMode language)
{
    const QString port = QDir::toNativeSeparators(portName);
    QString text;
    switch (check.change) {
    case PortChange::Same: return {};
    case PortChange::Gone:
        text = LoadQText(text_id::kAdapterGone, language).arg(port, chosen.text());
        break;
    case PortChange::OtherAdapter:
        text = LoadQText(text_id::kAnotherAdapter, language).arg(port, check.now.text(), chosen.text());
        break;
    case PortChange::OtherPort:
        text = LoadQText(text_id::kAnotherPort, language).arg(port, chosen.text());
        break;
    }
    if (!check.movedTo.isEmpty())
        text += QLatin1Char('\n') + LoadQText(text_id::kAdapterNowAt, language).arg(QDir::toNativeSeparators(check.movedTo));
    return text + QLatin1Char('\n') + LoadQText(text_id::kChoosePortAgain, language);
}

} // namespace zrk6

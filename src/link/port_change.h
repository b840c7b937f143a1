#pragma once

#include <QList>
#include <QString>

#include "link/port_names.h"
#include "text/text_table.h"

namespace zrk6 {

// What became of the adapter a port was chosen for. Port names are handed out again: COM5 or
// /dev/ttyUSB0 can stand for another adapter after a replug, and a port number elsewhere
// than on Windows follows the list of ports.
enum class PortChange {
    Same,         // the chosen adapter is there, or nothing was known to compare
    Gone,         // no device of that name now
    OtherAdapter, // another USB adapter under that name
    OtherPort,    // a device of that name that is no USB adapter
};

struct PortChangeCheck {
    PortChange change = PortChange::Same;
    PortIdentity now; // what is under the name now
    QString movedTo;  // where the chosen adapter is now, when exactly one other port has it
};

// Compares the adapter chosen for a port with what the system lists under portName now. An
// unknown chosen identity (a built-in port, a pseudo-terminal, settings from before) is Same.
PortChangeCheck CheckChosenAdapter(const QString &portName, const PortIdentity &chosen,
                                   const QList<SerialPortEntry> &ports);

// What changed (and where the adapter is now, when known) and how to go on, one sentence a
// line; empty for Same.
QString PortChangeText(const QString &portName, const PortIdentity &chosen, const PortChangeCheck &check,
                       LanguageMode language);

} // namespace zrk6

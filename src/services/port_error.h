#pragma once

#include <QString>

#include "text/text_table.h"

namespace zrk6 {

// The one text for a port that does not open: text 1600, then the system's reason (with the
// Linux group hint where it applies). Without a port name the reason follows on a second line
// (a message box); with one the text is one line, "... <port>: <reason>" (a console or a log).
QString PortErrorText(const QString &reason, LanguageMode language, const QString &portName = {});

} // namespace zrk6

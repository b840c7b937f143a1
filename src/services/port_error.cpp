#include "services/port_error.h"

#include "text/text_ids.h"
#include "text/text_qstring.h"

namespace zrk6 {

QString PortErrorText(const QString &reason, LanguageMode language, const QString &portName)
{
    constexpr int kTextCannotOpen = text_id::kCannotOpenPort;
    QString text = LoadQText(kTextCannotOpen, language);
    if (!portName.isEmpty())
        return text + QLatin1Char(' ') + portName + QStringLiteral(": ") + reason;
    if (!reason.isEmpty())
        text += QLatin1Char('\n') + reason;
    return text;
}

} // namespace zrk6

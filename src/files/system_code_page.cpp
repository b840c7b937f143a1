#include "files/system_code_page.h"

#include <QLocale>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace zrk6 {

TextEncoding SystemCodePage()
{
#ifdef Q_OS_WIN
    // The "ANSI" code page, which a spreadsheet's plain CSV is saved in.
    return GetACP() == 936 ? TextEncoding::Gbk : TextEncoding::Windows1252;
#else
    const QLocale system = QLocale::system();
    return system.language() == QLocale::Chinese && system.script() != QLocale::TraditionalChineseScript
               ? TextEncoding::Gbk
               : TextEncoding::Windows1252;
#endif
}

} // namespace zrk6

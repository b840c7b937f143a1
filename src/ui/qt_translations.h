#pragma once

#include "text/text_table.h"

namespace zrk6 {

// Puts Qt's own texts (standard buttons, the file and print dialogs) into the program's
// language: loads Qt's Chinese catalogue (qtbase_zh_CN.qm, built into the program) for
// Chinese and drops it for English. Returns false when the catalogue cannot be loaded; Qt's
// texts then stay English.
// The default locale follows as well (Chinese, or the system's for English), so dates, times
// and sizes that Qt writes do too.
bool UseQtTranslations(LanguageMode language);

} // namespace zrk6

#pragma once

// For the Qt side only (window, command line, serial link): the core never includes this.

#include <string_view>

#include <QString>

#include "text/text_table.h"

namespace zrk6 {

// UTF-8 text of the core as a QString.
inline QString ToQString(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// A text of the text table as a QString.
inline QString LoadQText(int textId, LanguageMode language)
{
    return ToQString(LoadText(textId, language));
}

} // namespace zrk6

#pragma once

#include <string>

#include "model/band.h"
#include "text/text_table.h"

namespace zrk6 {

// The window title: ZR-K6 (band) [File Name: name], the name after the last path separator.
std::string ComposeTitle(const std::string &fileName, const Band &band, LanguageMode language);

// What the windows share while the program runs, beside the document.
struct AppState {
    LanguageMode language = kEnglish;
    int commPortNumber = 1; // 1..4, or a higher present port; never stored
    int currentChannel = 1; // 1..128, the grid's current row
    int copyMode = 0;       // 0 channel, 1 frequency, 2 tone copy
};

} // namespace zrk6

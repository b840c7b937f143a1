#pragma once

#include <string>

#include "model/band.h"
#include "model/memory_image.h"
#include "text/text_table.h"

namespace zrk6 {

inline constexpr std::string_view kUntitled = "Untitled";

// The document: the image, its band and the saved copy that decides "modified".
struct Document {
    MemoryImage image;
    Band band;
    std::string name{kUntitled}; // the data file's full path, or "Untitled"
    MemoryImage snapshot;

    void TakeSnapshot() { snapshot = image; }
    bool IsImageModified() const { return !(image == snapshot); }
};

// The window title: ZR-K6 (band) [File Name: name], the name after the last path separator.
std::string ComposeTitle(const Document &document, LanguageMode language);

// Everything the windows share while the program runs.
struct AppState {
    Document doc;
    LanguageMode language = kEnglish;
    int commPortNumber = 1; // 1..4, never stored
    int currentChannel = 1; // 1..128, the grid's current row
    int copyMode = 0;       // 0 channel, 1 frequency, 2 tone copy
};

} // namespace zrk6

#pragma once

#include <QString>

#include "model/memory_image.h"
#include "text/text_table.h"

namespace zrk6 {

// The outcome of reading a text form file: the image, or the one line that says why not.
struct LoadedTextForm {
    MemoryImage image;   // valid only when ok()
    QString error;       // "line 7, column 12: channels.71.power: ..." or the system's error text
    bool badInput = false; // the file was read but is not a valid text form (or too large, or binary)

    bool ok() const { return error.isEmpty(); }
};

// Reads a text form file ("-" is standard input) and encodes it. Refuses a file over
// kMaxTextFormBytes without reading it, and a pipe, device or folder given by name.
LoadedTextForm LoadTextFormFile(const QString &path, LanguageMode language);

// Decodes the image and saves the text atomically. Returns the system's error text, or empty.
QString SaveTextFormFile(const QString &path, const MemoryImage &image);

} // namespace zrk6

#pragma once

#include <QString>

#include "files/data_file.h"
#include "model/memory_image.h"

namespace zrk6 {

// The outcome of opening a data file: the image, or what to tell the user.
struct LoadedDataFile {
    MemoryImage image;  // valid only when ok()
    int textId = 0;     // 1112 when the file is not a data file, 1701 when it is not a regular file; 0 otherwise
    QString systemError; // the system's error text when the file could not be read

    bool ok() const { return textId == 0 && systemError.isEmpty(); }
};

// Reads and decodes a data file, in memory. A file that cannot be read gives systemError;
// an empty, oversized or malformed one gives textId 1112; a pipe, device or folder 1701.
LoadedDataFile LoadDataFile(const QString &path);

// Reads a data file or, failing that, a raw 4096-byte memory image in address order (as
// zrk6-cli unpack writes it). Errors as LoadDataFile.
LoadedDataFile LoadDataOrRawImage(const QString &path);

// Encodes the image and saves it atomically. Returns the system's error text, or empty.
QString SaveDataFile(const QString &path, const MemoryImage &image);

} // namespace zrk6

#pragma once

#include <QByteArray>
#include <QString>

#include "text/text_ids.h"

namespace zrk6 {

// "Not a regular file.": what a path that names a pipe, a device or a folder is told.
inline constexpr int kTextNotRegularFile = text_id::kNotRegularFile;

// Writes bytes to path through a new file next to it that is renamed over the target only
// when complete and on the disk, so a failure (a full disk, a size limit) leaves any old file
// whole. The new file keeps the old one's owner and group where the system allows. Returns
// the system's error text, or an empty string on success.
QString SaveFileAtomically(const QString &path, const QByteArray &bytes);

// True when path exists and is not a regular file (a pipe, a device, a folder): opening such
// a path may block or read without end, so readers refuse it before opening.
bool IsNonRegularFile(const QString &path);

struct FileReadResult {
    QByteArray bytes;
    QString error;          // the system's error text; empty on success
    bool tooLarge = false;  // the file is longer than the caller's limit and was not read
    bool notRegular = false; // a pipe, a device or a folder, refused without opening it

    bool ok() const { return error.isEmpty() && !tooLarge && !notRegular; }
};

// Reads the whole regular file, refusing (tooLarge) one longer than maxBytes without reading
// it, and (notRegular) anything that is not a regular file.
FileReadResult ReadWholeFile(const QString &path, qint64 maxBytes = 64 * 1024 * 1024);

} // namespace zrk6

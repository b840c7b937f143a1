#pragma once

#include <QByteArray>
#include <QString>

namespace zrk6 {

// Writes bytes to path through a new file next to it that is renamed over the target only
// when complete, so a failure leaves any old file whole. Returns the system's error text,
// or an empty string on success.
QString SaveFileAtomically(const QString &path, const QByteArray &bytes);

struct FileReadResult {
    QByteArray bytes;
    QString error;         // the system's error text; empty on success
    bool tooLarge = false; // the file is longer than the caller's limit and was not read

    bool ok() const { return error.isEmpty() && !tooLarge; }
};

// Reads the whole file, refusing (tooLarge) one longer than maxBytes without reading it.
FileReadResult ReadWholeFile(const QString &path, qint64 maxBytes = 64 * 1024 * 1024);

} // namespace zrk6

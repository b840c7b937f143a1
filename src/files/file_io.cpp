#include "files/file_io.h"

#include <QFile>
#include <QSaveFile>

namespace zrk6 {

QString SaveFileAtomically(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    // Never fall back to writing the target in place: that is what loses the old file.
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    if (file.write(bytes) != bytes.size()) {
        const QString error = file.errorString();
        file.cancelWriting();
        return error;
    }
    if (!file.commit())
        return file.errorString();
    return {};
}

FileReadResult ReadWholeFile(const QString &path, qint64 maxBytes)
{
    FileReadResult result;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.error = file.errorString();
        return result;
    }
    if (!file.isSequential()) {
        if (file.size() > maxBytes) {
            result.tooLarge = true;
            return result;
        }
        // One byte more than the size tells a file that grew meanwhile.
        result.bytes = file.read(file.size() + 1);
        if (result.bytes.size() > maxBytes) {
            result.bytes.clear();
            result.tooLarge = true;
            return result;
        }
    } else {
        // Pipes and devices have no size: read until the end or just past the limit.
        constexpr qint64 kChunk = 64 * 1024;
        while (result.bytes.size() <= maxBytes) {
            const QByteArray chunk = file.read(qMin(kChunk, maxBytes + 1 - result.bytes.size()));
            if (chunk.isEmpty())
                break;
            result.bytes += chunk;
        }
        if (result.bytes.size() > maxBytes) {
            result.bytes.clear();
            result.tooLarge = true;
            return result;
        }
    }
    if (file.error() != QFileDevice::NoError) {
        result.error = file.errorString();
        result.bytes.clear();
    }
    return result;
}

} // namespace zrk6

#include "files/text_form_io.h"

#include <cstdio>

#include <QFile>

#include "files/file_io.h"
#include "files/text_form.h"
#include "text/text_qstring.h"

namespace zrk6 {

LoadedTextForm LoadTextFormFile(const QString &path, LanguageMode language)
{
    LoadedTextForm loaded;
    QByteArray bytes;
    if (path == QLatin1String("-")) {
        QFile in;
        if (!in.open(stdin, QIODevice::ReadOnly)) {
            loaded.error = in.errorString();
            return loaded;
        }
        // One byte past the limit is enough to know the text is too long.
        bytes = in.read(static_cast<qint64>(kMaxTextFormBytes) + 1);
    } else {
        const FileReadResult read = ReadWholeFile(path, static_cast<qint64>(kMaxTextFormBytes));
        if (!read.error.isEmpty()) {
            loaded.error = read.error;
            return loaded;
        }
        if (read.notRegular) {
            loaded.error = LoadQText(kTextNotRegularFile, language);
            return loaded;
        }
        if (read.tooLarge)
            bytes.resize(static_cast<qsizetype>(kMaxTextFormBytes) + 1);
        else
            bytes = read.bytes;
    }
    const EncodedTextForm encoded =
        EncodeTextForm(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    if (!encoded.ok()) {
        loaded.error = ToQString(TextFormErrorText(*encoded.error, language));
        loaded.badInput = true;
        return loaded;
    }
    loaded.image = encoded.image;
    return loaded;
}

QString SaveTextFormFile(const QString &path, const MemoryImage &image)
{
    return SaveFileAtomically(path, QByteArray::fromStdString(DecodeTextForm(image)));
}

} // namespace zrk6

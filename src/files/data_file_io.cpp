#include "files/data_file_io.h"

#include <span>

#include "files/file_io.h"

namespace zrk6 {

namespace {

LoadedDataFile Load(const QString &path, bool rawToo)
{
    LoadedDataFile loaded;
    const FileReadResult read = ReadWholeFile(path, kMaxDataFileSize);
    if (!read.error.isEmpty()) {
        loaded.systemError = read.error;
        return loaded;
    }
    if (read.notRegular) {
        loaded.textId = kTextNotRegularFile;
        return loaded;
    }
    if (read.tooLarge) {
        loaded.textId = DataFileErrorTextId(DataFileError::IncorrectFileType);
        return loaded;
    }
    const auto *data = reinterpret_cast<const std::uint8_t *>(read.bytes.constData());
    DecodedDataFile decoded = DecodeDataFile(std::span(data, static_cast<std::size_t>(read.bytes.size())));
    if (!decoded.ok() && rawToo && read.bytes.size() == kImageSize) {
        loaded.image.assign(std::span(data, kImageSize));
        return loaded;
    }
    if (!decoded.ok()) {
        loaded.textId = DataFileErrorTextId(decoded.error);
        return loaded;
    }
    loaded.image = decoded.image;
    return loaded;
}

} // namespace

LoadedDataFile LoadDataFile(const QString &path)
{
    return Load(path, false);
}

LoadedDataFile LoadDataOrRawImage(const QString &path)
{
    return Load(path, true);
}

QString SaveDataFile(const QString &path, const MemoryImage &image)
{
    const std::vector<std::uint8_t> bytes = EncodeDataFile(image);
    return SaveFileAtomically(path, QByteArray(reinterpret_cast<const char *>(bytes.data()),
                                               static_cast<qsizetype>(bytes.size())));
}

} // namespace zrk6

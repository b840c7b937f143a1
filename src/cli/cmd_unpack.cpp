#include <QByteArray>

#include "cli/commands.h"
#include "files/data_file_io.h"
#include "files/file_io.h"

namespace zrk6::cli {

int RunUnpack(const QStringList &arguments)
{
    QCommandLineParser parser;
    if (const auto done = ParseInOut(parser, arguments,
                                     QStringLiteral("Writes the 4096 memory image bytes of a data file, in address "
                                                    "order, exactly as stored."),
                                     {QStringLiteral("FILE.dat"), QStringLiteral("The data file to read.")},
                                     {QStringLiteral("OUT.img"), QStringLiteral("The raw image to write.")}))
        return *done;
    return ConvertDataFile(parser, [](const MemoryImage &image) {
        const auto bytes = image.bytes();
        return QByteArray(reinterpret_cast<const char *>(bytes.data()), static_cast<qsizetype>(bytes.size()));
    });
}

} // namespace zrk6::cli

#include <span>

#include "cli/commands.h"
#include "files/data_file_io.h"
#include "files/file_io.h"
#include "model/memory_image.h"

namespace zrk6::cli {

int RunPack(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Stores a raw 4096-byte memory image (address order) as a data file."));
    AddForceOption(parser);
    parser.addPositionalArgument(QStringLiteral("IN.img"), QStringLiteral("The raw image to read."));
    parser.addPositionalArgument(QStringLiteral("OUT.dat"), QStringLiteral("The data file to write."));
    if (const auto done = ParseCommandLine(parser, arguments, 2))
        return *done;
    const QString in = parser.positionalArguments().at(0);
    const QString out = parser.positionalArguments().at(1);

    const FileReadResult read = ReadWholeFile(in, kImageSize);
    if (!read.error.isEmpty())
        return Fail(QStringLiteral("%1: %2").arg(in, read.error));
    if (read.notRegular)
        return Fail(QStringLiteral("%1: %2").arg(in, Text(kTextNotRegularFile, kEnglish)));
    if (read.tooLarge || read.bytes.size() != kImageSize)
        return Fail(QStringLiteral("%1: not a memory image: it must hold exactly %2 bytes")
                        .arg(in)
                        .arg(kImageSize));
    if (const auto refused = CheckOutputPath(parser, out))
        return *refused;

    MemoryImage image;
    image.assign(std::span(reinterpret_cast<const std::uint8_t *>(read.bytes.constData()),
                           static_cast<std::size_t>(read.bytes.size())));
    if (const QString error = SaveDataFile(out, image); !error.isEmpty())
        return Fail(QStringLiteral("%1: %2").arg(out, error));
    return 0;
}

} // namespace zrk6::cli

#include <cstdio>

#include <QByteArray>

#include "cli/commands.h"
#include "files/data_file_io.h"
#include "files/file_io.h"
#include "files/text_form.h"
#include "files/text_form_io.h"

namespace zrk6::cli {

int RunDecode(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Writes a data file as text (YAML): the band, every channel in use on one line, the VFO, "
                       "the optional features and the bytes no field gives. 'encode' turns the text back into "
                       "the same 4096 bytes. Without -o the text goes to standard output, so that "
                       "'git config diff.zrk6.textconv \"zrk6-cli decode\"' shows data files as text."));
    const QCommandLineOption outOption({QStringLiteral("o"), QStringLiteral("output")},
                                       QStringLiteral("Write the text to this file instead of standard output."),
                                       QStringLiteral("OUT.yaml"));
    parser.addOption(outOption);
    AddForceOption(parser);
    parser.addPositionalArgument(QStringLiteral("FILE.dat"), QStringLiteral("The data file to read."));
    if (const auto done = ParseCommandLine(parser, arguments, 1))
        return *done;
    const QString in = parser.positionalArguments().at(0);

    const LoadedDataFile loaded = LoadDataFile(in);
    if (!loaded.ok())
        return Fail(LoadFailure(in, loaded, kEnglish));
    if (!parser.isSet(outOption)) {
        const std::string text = DecodeTextForm(loaded.image);
        std::fwrite(text.data(), 1, text.size(), stdout);
        return std::fflush(stdout) == 0 ? 0 : Fail(QStringLiteral("cannot write to standard output"));
    }
    const QString out = parser.value(outOption);
    if (const auto refused = CheckOutputPath(parser, out))
        return *refused;
    if (const QString error = SaveTextFormFile(out, loaded.image); !error.isEmpty())
        return Fail(QStringLiteral("%1: %2").arg(out, error));
    return 0;
}

int RunEncode(const QStringList &arguments)
{
    QCommandLineParser parser;
    if (const auto done = ParseInOut(
            parser, arguments,
            QStringLiteral("Makes a data file from the text that 'decode' writes. Values that are off their lists, "
                           "out of the band or not known are refused with their line, column and key (exit "
                           "status 2), and nothing is written."),
            {QStringLiteral("FILE.yaml"), QStringLiteral("The text to read; - reads standard input.")},
            {QStringLiteral("OUT.dat"), QStringLiteral("The data file to write.")}))
        return *done;
    const QString in = parser.positionalArguments().at(0);
    const QString out = parser.positionalArguments().at(1);

    const LoadedTextForm loaded = LoadTextFormFile(in, kEnglish);
    if (loaded.badInput)
        return UsageError(QStringLiteral("%1: %2").arg(in, loaded.error));
    if (!loaded.ok())
        return Fail(QStringLiteral("%1: %2").arg(in, loaded.error));
    if (const auto refused = CheckOutputPath(parser, out))
        return *refused;
    if (const QString error = SaveDataFile(out, loaded.image); !error.isEmpty())
        return Fail(QStringLiteral("%1: %2").arg(out, error));
    return 0;
}

} // namespace zrk6::cli

#include <cstdio>

#include <QFileInfo>

#include "cli/commands.h"
#include "files/data_file_io.h"
#include "text/text_table.h"

namespace zrk6::cli {

int Fail(const QString &message)
{
    std::fprintf(stderr, "zrk6-cli: %s\n", message.simplified().toUtf8().constData());
    return 1;
}

int UsageError(const QString &message)
{
    std::fprintf(stderr, "zrk6-cli: %s\n", message.simplified().toUtf8().constData());
    return 2;
}

void Print(const QString &line)
{
    std::fputs(line.toUtf8().constData(), stdout);
    std::fputc('\n', stdout);
}

std::optional<int> ParseCommandLine(QCommandLineParser &parser, const QStringList &arguments,
                                    int positional)
{
    const QCommandLineOption help = parser.addHelpOption();
    if (!parser.parse(arguments))
        return UsageError(parser.errorText());
    if (parser.isSet(help)) {
        std::fputs(parser.helpText().toUtf8().constData(), stdout);
        return 0;
    }
    const qsizetype given = parser.positionalArguments().size();
    if (given < positional)
        return UsageError(QStringLiteral("missing arguments; see '%1 --help'").arg(arguments.value(0)));
    if (given > positional)
        return UsageError(QStringLiteral("unexpected argument '%1'; see '%2 --help'")
                              .arg(parser.positionalArguments().at(positional), arguments.value(0)));
    return std::nullopt;
}

void AddForceOption(QCommandLineParser &parser, const QString &description)
{
    parser.addOption({{QStringLiteral("f"), QString::fromLatin1(kForceOption)},
                      description.isEmpty() ? QStringLiteral("Replace the output file if it exists.") : description});
}

std::optional<int> CheckOutputPath(const QCommandLineParser &parser, const QString &path)
{
    // A symbolic link counts even when its target is missing: saving would write through it.
    const QFileInfo info(path);
    if ((info.exists() || info.isSymLink()) && !parser.isSet(QString::fromLatin1(kForceOption)))
        return Fail(QStringLiteral("%1: file exists (use --force to replace it)").arg(path));
    return std::nullopt;
}

std::optional<int> ReadLanguage(const QCommandLineParser &parser, const QCommandLineOption &option,
                                LanguageMode &language)
{
    const QString lang = parser.value(option).toLower();
    if (lang != QLatin1String("en") && lang != QLatin1String("zh"))
        return UsageError(QStringLiteral("unknown language '%1'; use en or zh").arg(parser.value(option)));
    language = lang == QLatin1String("zh") ? kChinese : kEnglish;
    return std::nullopt;
}

QString Text(int id, LanguageMode language)
{
    const std::string_view text = LoadText(id, language);
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString LoadFailure(const QString &path, const LoadedDataFile &loaded, LanguageMode language)
{
    if (!loaded.systemError.isEmpty())
        return QStringLiteral("%1: %2").arg(path, loaded.systemError);
    return QStringLiteral("%1: %2").arg(path, Text(loaded.textId, language));
}

} // namespace zrk6::cli

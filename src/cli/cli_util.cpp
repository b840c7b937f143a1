#include <cstdio>

#include <QFileInfo>

#include "cli/commands.h"
#include "text/text_qstring.h"
#include "files/data_file_io.h"
#include "files/file_io.h"
#include "model/band.h"
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

QCommandLineOption LanguageOption(const QString &what)
{
    return {{QStringLiteral("l"), QStringLiteral("lang")}, QStringLiteral("Language of the %1: en or zh (default en).").arg(what),
            QStringLiteral("en|zh"), QStringLiteral("en")};
}

std::optional<int> ParseInOut(QCommandLineParser &parser, const QStringList &arguments, const QString &description,
                              const FileArgument &in, const FileArgument &out)
{
    parser.setApplicationDescription(description);
    AddForceOption(parser);
    parser.addPositionalArgument(in.name, in.help);
    parser.addPositionalArgument(out.name, out.help);
    return ParseCommandLine(parser, arguments, 2);
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
    return LoadQText(id, language);
}

QString LoadFailure(const QString &path, const LoadedDataFile &loaded, LanguageMode language)
{
    if (!loaded.systemError.isEmpty())
        return QStringLiteral("%1: %2").arg(path, loaded.systemError);
    return QStringLiteral("%1: %2").arg(path, Text(loaded.textId, language));
}

// "144 - 146 MHz", "144-146", "144-146mhz" and the list index "1" all name the same row.
int FindBandRow(const QString &text)
{
    bool isNumber = false;
    const int index = text.toInt(&isNumber);
    if (isNumber)
        return index >= 0 && index < kBandCount ? index : -1;
    auto normal = [](QString t) {
        t = t.toLower().remove(u' ');
        if (t.endsWith(QLatin1String("mhz")))
            t.chop(3);
        return t;
    };
    const QString wanted = normal(text);
    for (int row = 0; row < kBandCount; ++row) {
        const std::string_view bandText = BandTable()[static_cast<std::size_t>(row)].text;
        if (normal(QString::fromUtf8(bandText.data(), static_cast<qsizetype>(bandText.size()))) == wanted)
            return row;
    }
    return -1;
}

QString BandChoices()
{
    QStringList choices;
    for (int row = 0; row < kBandCount; ++row) {
        const std::string_view text = BandTable()[static_cast<std::size_t>(row)].text;
        choices << QStringLiteral("%1 \"%2\"").arg(row).arg(
            QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    }
    return choices.join(QStringLiteral(", "));
}

int ConvertDataFile(const QCommandLineParser &parser, const std::function<QByteArray(const MemoryImage &)> &convert)
{
    const QString in = parser.positionalArguments().at(0);
    const QString out = parser.positionalArguments().at(1);
    const LoadedDataFile loaded = LoadDataFile(in);
    if (!loaded.ok())
        return Fail(LoadFailure(in, loaded, kEnglish));
    if (const auto refused = CheckOutputPath(parser, out))
        return *refused;
    if (const QString error = SaveFileAtomically(out, convert(loaded.image)); !error.isEmpty())
        return Fail(QStringLiteral("%1: %2").arg(out, error));
    return 0;
}

} // namespace zrk6::cli

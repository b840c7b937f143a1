#include <QStringList>

#include "cli/commands.h"
#include "files/data_file_io.h"
#include "model/image_differences.h"

namespace zrk6::cli {

namespace {

// diff(1)'s exit status: 0 the same, 1 different, 2 trouble.
constexpr int kSame = 0;
constexpr int kDifferent = 1;
constexpr int kTrouble = 2;

void PrintLines(const std::vector<std::string> &lines)
{
    for (const std::string &line : lines)
        Print(QString::fromStdString(line));
}

} // namespace

int RunDiff(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Lists how the memory in B differs from the one in A, by meaning: channels added, removed "
                       "or changed field by field, the VFO, the optional features, and the address and both "
                       "values of any other byte. Each file is a data file or a raw 4096-byte image. Exit "
                       "status as diff(1): 0 the same, 1 different, 2 trouble."));
    const QCommandLineOption langOption({QStringLiteral("l"), QStringLiteral("lang")},
                                        QStringLiteral("Language of the texts: en or zh (default en)."),
                                        QStringLiteral("en|zh"), QStringLiteral("en"));
    const QCommandLineOption bytesOption(QStringLiteral("bytes"),
                                         QStringLiteral("After the list, every differing byte as "
                                                        "\"0xADR: A -> B\", after an empty line."));
    parser.addOption(langOption);
    parser.addOption(bytesOption);
    parser.addPositionalArgument(QStringLiteral("A"), QStringLiteral("The first data file or image."));
    parser.addPositionalArgument(QStringLiteral("B"), QStringLiteral("The second data file or image."));
    if (const auto done = ParseCommandLine(parser, arguments, 2))
        return *done;
    LanguageMode language = kEnglish;
    if (const auto done = ReadLanguage(parser, langOption, language))
        return *done;

    MemoryImage images[2];
    for (int i = 0; i < 2; ++i) {
        const QString path = parser.positionalArguments().at(i);
        const LoadedDataFile loaded = LoadDataOrRawImage(path);
        if (!loaded.ok()) {
            Fail(LoadFailure(path, loaded, language));
            return kTrouble;
        }
        images[i] = loaded.image;
    }
    if (images[0] == images[1])
        return kSame;
    PrintLines(DescribeDifferences(images[0], images[1], language));
    if (parser.isSet(bytesOption)) {
        Print(QString());
        PrintLines(ByteDifferences(images[0], images[1]));
    }
    return kDifferent;
}

} // namespace zrk6::cli

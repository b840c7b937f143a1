#pragma once

#include <functional>
#include <optional>

#include <QCommandLineParser>
#include <QString>
#include <QStringList>

#include "model/memory_image.h"
#include "text/text_table.h"

namespace zrk6 {
struct LoadedDataFile;
}

namespace zrk6::cli {

// One command of zrk6-cli. run gets the arguments from the command name on
// (arguments[0] is "zrk6-cli NAME") and returns the exit status.
struct Command {
    const char *name;
    const char *summary;
    int (*run)(const QStringList &arguments);
};

// Prints "zrk6-cli: message" as one line on standard error and returns 1.
int Fail(const QString &message);
// Prints a usage error as one line on standard error and returns 2.
int UsageError(const QString &message);
// Prints a line on standard output.
void Print(const QString &line);

// Parses a command's arguments with --help added. Returns the exit status when the command
// is done already (help shown, or a usage error), nothing when it should go on; then the
// parser holds exactly `positional` positional arguments.
std::optional<int> ParseCommandLine(QCommandLineParser &parser, const QStringList &arguments,
                                    int positional);

// The --lang option (en or zh), described as the language of what.
QCommandLineOption LanguageOption(const QString &what);
// For a command that reads one file and writes another: sets the description, the two
// positional files and --force, then parses as ParseCommandLine does.
struct FileArgument {
    QString name;
    QString help;
};
std::optional<int> ParseInOut(QCommandLineParser &parser, const QStringList &arguments, const QString &description,
                              const FileArgument &in, const FileArgument &out);

// Sets language from the en|zh option; returns the exit status of a usage error.
std::optional<int> ReadLanguage(const QCommandLineParser &parser, const QCommandLineOption &option,
                                LanguageMode &language);
// A text of the text table as a QString.
QString Text(int id, LanguageMode language);
// The one-line reason why a data file could not be opened: the system's error text or 1112.
QString LoadFailure(const QString &path, const LoadedDataFile &loaded, LanguageMode language);

// The band list row a --band argument names: its text ("144 - 146 MHz", "144-146") or its
// index 0-7; -1 for none.
int FindBandRow(const QString &text);
// The band rows as the help and the usage errors list them.
QString BandChoices();

// Refuses to replace an existing output file (or write through a symbolic link, even a dangling
// one) unless the user asked for it.
inline constexpr const char *kForceOption = "force";
void AddForceOption(QCommandLineParser &parser, const QString &description = {});
std::optional<int> CheckOutputPath(const QCommandLineParser &parser, const QString &path);
// For a command parsed by ParseInOut that turns a data file into another file: loads the
// first file, checks the second as an output and saves what convert makes of the image.
// Returns the exit status.
int ConvertDataFile(const QCommandLineParser &parser, const std::function<QByteArray(const MemoryImage &)> &convert);

int RunNew(const QStringList &arguments);
int RunShow(const QStringList &arguments);
int RunUnpack(const QStringList &arguments);
int RunPack(const QStringList &arguments);
int RunExport(const QStringList &arguments);
int RunImport(const QStringList &arguments);
int RunDiff(const QStringList &arguments);
int RunDecode(const QStringList &arguments);
int RunEncode(const QStringList &arguments);
int RunEdit(const QStringList &arguments);
int RunSort(const QStringList &arguments);
int RunCompact(const QStringList &arguments);
int RunDuplicates(const QStringList &arguments);
// Radio link commands: declare them here.
int RunRead(const QStringList &arguments);
int RunWrite(const QStringList &arguments);
int RunFleet(const QStringList &arguments);
int RunPorts(const QStringList &arguments);
int RunDoctor(const QStringList &arguments);

} // namespace zrk6::cli

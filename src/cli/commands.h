#pragma once

#include <QString>
#include <QStringList>

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
// Prints a line on standard output.
void Print(const QString &line);

int RunNew(const QStringList &arguments);
int RunShow(const QStringList &arguments);
int RunUnpack(const QStringList &arguments);
int RunPack(const QStringList &arguments);
// Radio link commands: declare them here.

} // namespace zrk6::cli

#include <cstdio>
#include <iostream>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include <QCoreApplication>
#include <QStringList>

#include "cli/cli_transfer.h"
#include "cli/commands.h"
#include "cli/console.h"
#include "files/data_file_io.h"
#include "services/fleet_job.h"
#include "link/port_names.h"

namespace zrk6::cli {

namespace {

// The word a progress line shows for where a job is.
const char *PhaseWord(const FleetJob &job)
{
    switch (job.phase()) {
    case FleetPhase::Waiting: return "waiting";
    case FleetPhase::Read: return "read";
    case FleetPhase::Write: return "write";
    case FleetPhase::Verify: return "verify";
    case FleetPhase::Done: break;
    }
    return nullptr;
}

QString PhaseText(const FleetJob &job)
{
    const char *word = PhaseWord(job);
    return word ? QString::fromLatin1(word) : FleetResultWord(job.result());
}

} // namespace

int RunFleet(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Programs several radios at once, one on each --port: each is read (a backup), written "
                       "with the plan and read back to verify; one CSV log line per radio."));
    const QCommandLineOption portOption(QStringList{QStringLiteral("p"), QStringLiteral("port")},
                                        QStringLiteral("A serial device with a radio; give it once per radio."),
                                        QStringLiteral("DEVICE"));
    const QCommandLineOption channelsOnlyOption(
        QStringLiteral("channels-only"),
        QStringLiteral("Write only the plan's 128 channels; each radio keeps its own other settings."));
    const QCommandLineOption roundsOption(QStringLiteral("rounds"),
                                          QStringLiteral("How many rounds of radios (default 1)."), QStringLiteral("N"),
                                          QStringLiteral("1"));
    const QCommandLineOption noPromptOption(QStringLiteral("no-prompt"),
                                            QStringLiteral("Start the next round at once, without asking."));
    const QCommandLineOption logOption(QStringLiteral("log"),
                                       QStringLiteral("Append one CSV line per radio to FILE (default fleet-log.csv)."),
                                       QStringLiteral("FILE.csv"), QStringLiteral("fleet-log.csv"));
    const QCommandLineOption noBackupOption(QStringLiteral("no-backup"),
                                            QStringLiteral("Do not keep a copy of each radio's memory."));
    const QCommandLineOption retriesOption(QStringLiteral("retries"),
                                           QStringLiteral("Start a failed transfer again up to N times (default 0)."),
                                           QStringLiteral("N"), QStringLiteral("0"));
    const QCommandLineOption langOption(QStringList{QStringLiteral("l"), QStringLiteral("lang")},
                                        QStringLiteral("Language of the messages: en or zh (default en)."),
                                        QStringLiteral("en|zh"), QStringLiteral("en"));
    parser.addOptions({portOption, channelsOnlyOption, roundsOption, noPromptOption, logOption, noBackupOption,
                       retriesOption, langOption});
    parser.addPositionalArgument(QStringLiteral("PLAN.dat"), QStringLiteral("The data file every radio gets."));
    if (const auto done = ParseCommandLine(parser, arguments, 1))
        return *done;

    FleetSettings settings;
    if (const auto done = ReadLanguage(parser, langOption, settings.language))
        return *done;
    bool ok = false;
    const int rounds = parser.value(roundsOption).toInt(&ok);
    if (!ok || rounds < 1 || rounds > 10000)
        return UsageError(QStringLiteral("--rounds needs a number from 1 to 10000"));
    settings.retries = parser.value(retriesOption).toInt(&ok);
    if (!ok || settings.retries < 0 || settings.retries > 1000)
        return UsageError(QStringLiteral("--retries needs a number from 0 to 1000"));
    QStringList ports;
    for (const QString &port : parser.values(portOption)) {
        const QString name = NormalizePortName(port);
        if (ports.contains(name))
            return UsageError(QStringLiteral("the port %1 is given twice").arg(port));
        ports << name;
    }
    if (ports.isEmpty())
        return UsageError(QStringLiteral("give at least one --port"));
    settings.channelsOnly = parser.isSet(channelsOnlyOption);
    settings.backup = !parser.isSet(noBackupOption);

    const QString in = parser.positionalArguments().at(0);
    const LoadedDataFile loaded = LoadDataFile(in);
    if (!loaded.ok()) {
        Fail(LoadFailure(in, loaded, settings.language));
        return 2;
    }
    settings.plan = loaded.image;

    // The log is continued, never truncated; a header only for a new (or empty) file.
    FleetLog log;
    if (const QString error = log.open(parser.value(logOption)); !error.isEmpty()) {
        Fail(QStringLiteral("%1: %2").arg(parser.value(logOption), error));
        return 2;
    }

    const bool terminal = StderrIsTerminal();
    bool allVerified = true;
    bool interrupted = false;
    std::vector<std::unique_ptr<FleetJob>> jobs;
    std::set<const FleetJob *> logged;
    int linesShown = 0;
    auto show = [&] {
        if (terminal) {
            // One line per port, redrawn in place.
            if (linesShown > 0)
                std::fprintf(stderr, "\x1b[%dA", linesShown);
            for (const auto &job : jobs)
                std::fprintf(stderr, "\r\x1b[K%s  round %d  %-12s %3d%%\n", job->port().toUtf8().constData(),
                             job->round(), PhaseText(*job).toUtf8().constData(), job->percent());
            linesShown = static_cast<int>(jobs.size());
            std::fflush(stderr);
        }
    };
    const auto watch = WatchInterrupt([&] {
        interrupted = true;
        for (const auto &job : jobs)
            job->cancel();
    });

    for (int round = 1; round <= rounds && !interrupted; ++round) {
        jobs.clear();
        logged.clear();
        linesShown = 0;
        for (const QString &port : ports) {
            jobs.push_back(std::make_unique<FleetJob>(port, round, settings));
            FleetJob *job = jobs.back().get();
            QObject::connect(job, &FleetJob::changed, job, [&, job] {
                if (!terminal && (job->percent() == 0 || job->done()))
                    std::fprintf(stderr, "%s round %d: %s\n", job->port().toUtf8().constData(), job->round(),
                                 PhaseText(*job).toUtf8().constData());
                show();
                if (job->done() && logged.insert(job).second) {
                    if (!log.append(*job))
                        Fail(QStringLiteral("%1: cannot append to the log").arg(log.fileName()));
                    bool all = true;
                    for (const auto &other : jobs)
                        all = all && other->done();
                    if (all)
                        QCoreApplication::exit(0);
                }
            });
        }
        for (const auto &job : jobs)
            job->start();
        bool all = true;
        for (const auto &job : jobs)
            all = all && job->done();
        // The program's one event loop runs each round; nothing else is running, so it nests in nothing.
        if (!all)
            QCoreApplication::exec();
        for (const auto &job : jobs)
            allVerified = allVerified && job->verified();
        if (round < rounds && !interrupted && !parser.isSet(noPromptOption)) {
            std::fprintf(stderr, "Connect the next radios and press Enter (q to stop)\n");
            std::fflush(stderr);
            std::string answer;
            if (!std::getline(std::cin, answer) || answer == "q" || answer == "Q")
                break;
        }
    }
    jobs.clear();
    if (interrupted) {
        Fail(QStringLiteral("interrupted; every radio was sent its end byte, the log keeps what finished"));
        return kInterruptedStatus;
    }
    return allVerified ? 0 : 1;
}

} // namespace zrk6::cli

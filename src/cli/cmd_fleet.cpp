#include <cstdio>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include "cli/cli_transfer.h"
#include "cli/commands.h"
#include "cli/console.h"
#include "files/data_file_io.h"
#include "link/clone_driver.h"
#include "link/port_names.h"
#include "link/write_verify.h"

namespace zrk6::cli {

namespace {

struct FleetSettings {
    MemoryImage plan;
    bool channelsOnly = false;
    bool backup = true;
    int retries = 0;
    LanguageMode language = kEnglish;
};

// One port's radio through one round: read, build the image, write with the read-back, log.
// Runs on the one event loop beside the other ports' jobs; every step follows a driver's finished().
class FleetJob final : public CloneFrontEnd {
public:
    FleetJob(QString port, int round, const FleetSettings &settings, std::function<void()> changed)
        : port_(std::move(port)), round_(round), settings_(settings), retriesLeft_(settings.retries),
          changed_(std::move(changed))
    {
    }

    void start() { startDriver(CloneMode::Read, settings_.plan); }
    void cancel()
    {
        cancelled_ = true;
        if (driver_ && !driver_->isFinished())
            driver_->cancel();
    }
    bool done() const { return done_; }
    bool verified() const { return result_ == QLatin1String("verified"); }

    QString phase;
    int percent = 0;
    QString port_;
    int round_;
    QString result_;
    QString failure_;
    QString backupFile_;
    QString identification_;
    int changedFields_ = 0;
    bool logged = false;

    // CloneFrontEnd
    void progress(int value, int maximum, const QString &) override
    {
        const int p = maximum > 0 ? 100 * value / maximum : 0;
        if (p != percent) {
            percent = p;
            changed_();
        }
    }
    void message(int, const QString &, const QString &, bool) override {}
    bool askRetry(const QString &text, const QString &, CloneError) override
    {
        lastPrompt_ = text;
        if (cancelled_ || retriesLeft_ <= 0)
            return false;
        --retriesLeft_;
        return true;
    }
    void verifying() override
    {
        phase = QStringLiteral("verify");
        percent = 0;
        changed_();
    }

private:
    void setPhase(const QString &name)
    {
        phase = name;
        percent = 0;
        changed_();
    }

    void startDriver(CloneMode mode, const MemoryImage &image)
    {
        setPhase(mode == CloneMode::Read ? QStringLiteral("read") : QStringLiteral("write"));
        // The read's driver may be the one whose finished() is running now: let the loop delete it.
        if (driver_)
            driver_.release()->deleteLater();
        driver_ = std::make_unique<CloneDriver>(mode, image, settings_.language, port_, *this);
        driver_->setVerifyAfterWrite(mode == CloneMode::Write);
        if (const QString reason = driver_->open(); !reason.isEmpty())
            return finish(QStringLiteral("failed"), QStringLiteral("the port did not open: ") + reason);
        QObject::connect(driver_.get(), &CloneDriver::finished, driver_.get(),
                         [this, mode] { mode == CloneMode::Read ? afterRead() : afterWrite(); },
                         Qt::QueuedConnection);
        driver_->start();
    }

    QString failureOf(TransferResult result, const char *what) const
    {
        if (cancelled_)
            return QStringLiteral("interrupted during the %1").arg(QLatin1String(what));
        if (result == TransferResult::PortFailed)
            return QStringLiteral("the port failed during the %1: %2").arg(QLatin1String(what), driver_->portError());
        return QStringLiteral("the %1 did not complete: %2").arg(QLatin1String(what), lastPrompt_);
    }

    void afterRead()
    {
        const TransferResult result = driver_->result();
        if (result == TransferResult::WrongModel)
            return finish(QStringLiteral("model mismatch"), QStringLiteral("the radio is of another model"));
        if (result != TransferResult::Completed)
            return finish(QStringLiteral("failed"), failureOf(result, "read"));
        radio_ = driver_->session().cloneBuffer();
        for (int a = addr::kRadioId; a < addr::kRadioId + 8; ++a)
            identification_ += QStringLiteral("%1").arg(radio_.at(a), 2, 16, QLatin1Char('0')).toUpper();
        if (settings_.backup) {
            // Named with the port and the round, so a fleet's backups tell their radios apart.
            const QString folder = BackupFolder();
            QDir().mkpath(folder);
            const QString name = QStringLiteral("fleet-%1-round%2-%3.dat")
                                     .arg(QFileInfo(port_).fileName())
                                     .arg(round_)
                                     .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss-zzz")));
            const QString path = QDir(folder).filePath(name);
            if (SaveDataFile(path, radio_).isEmpty())
                backupFile_ = QDir::toNativeSeparators(path);
        }
        if (cancelled_)
            return finish(QStringLiteral("failed"), QStringLiteral("interrupted after the read"));
        written_ = settings_.channelsOnly ? WithChannelsOf(radio_, settings_.plan) : settings_.plan;
        changedFields_ = static_cast<int>(CheckWrite(written_, &radio_, kEnglish).differences.size());
        startDriver(CloneMode::Write, written_);
    }

    void afterWrite()
    {
        const TransferResult result = driver_->result();
        if (result == TransferResult::WrongModel)
            return finish(QStringLiteral("model mismatch"), QStringLiteral("the radio is of another model"));
        if (result != TransferResult::Completed)
            return finish(QStringLiteral("failed"), failureOf(result, "write"));
        const VerifyReport &report = driver_->verifyReport();
        if (report.outcome == VerifyOutcome::Matched)
            return finish(QStringLiteral("verified"), QString());
        if (cancelled_)
            return finish(QStringLiteral("not verified"), QStringLiteral("interrupted during the read-back"));
        QString words = report.outcome == VerifyOutcome::Mismatched
                            ? QStringLiteral("%1 addresses read back otherwise").arg(report.addresses.size())
                            : QStringLiteral("the read-back did not complete");
        if (!report.differences.empty())
            words += QStringLiteral(": ") + QString::fromStdString(report.differences.front());
        finish(QStringLiteral("not verified"), words);
    }

    void finish(const QString &result, const QString &failure)
    {
        result_ = result;
        failure_ = failure;
        phase = result;
        done_ = true;
        changed_();
    }

    const FleetSettings &settings_;
    int retriesLeft_;
    std::function<void()> changed_;
    std::unique_ptr<CloneDriver> driver_;
    MemoryImage radio_;
    MemoryImage written_;
    QString lastPrompt_;
    bool cancelled_ = false;
    bool done_ = false;
};

QString CsvField(const QString &text)
{
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) && !text.contains(QLatin1Char('\n')))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
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
    QFile log(parser.value(logOption));
    if (!log.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text)) {
        Fail(QStringLiteral("%1: %2").arg(log.fileName(), log.errorString()));
        return 2;
    }
    if (log.size() == 0) {
        log.write("time,port,round,radio,result,failure,backup,changed fields\n");
        log.flush();
    }

    const bool terminal = StderrIsTerminal();
    bool allVerified = true;
    bool interrupted = false;
    std::vector<std::unique_ptr<FleetJob>> jobs;
    QEventLoop loop;
    int linesShown = 0;
    auto show = [&] {
        if (terminal) {
            // One line per port, redrawn in place.
            if (linesShown > 0)
                std::fprintf(stderr, "\x1b[%dA", linesShown);
            for (const auto &job : jobs)
                std::fprintf(stderr, "\r\x1b[K%s  round %d  %-12s %3d%%\n", job->port_.toUtf8().constData(),
                             job->round_, job->phase.toUtf8().constData(), job->percent);
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
        linesShown = 0;
        for (const QString &port : ports) {
            auto changed = [&, round, portName = port] {
                FleetJob *j = nullptr;
                for (const auto &candidate : jobs)
                    if (candidate->port_ == portName)
                        j = candidate.get();
                if (!j)
                    return;
                if (!terminal && (j->percent == 0 || j->done()))
                    std::fprintf(stderr, "%s round %d: %s\n", portName.toUtf8().constData(), round,
                                 j->phase.toUtf8().constData());
                show();
                if (j->done() && !j->logged) {
                    j->logged = true;
                    const QString line =
                        QStringList{QDateTime::currentDateTime().toString(Qt::ISODate), CsvField(j->port_),
                                    QString::number(round), j->identification_, j->result_, CsvField(j->failure_),
                                    CsvField(j->backupFile_), QString::number(j->changedFields_)}
                            .join(QLatin1Char(','));
                    log.write(line.toUtf8() + '\n');
                    log.flush();
                    bool all = true;
                    for (const auto &other : jobs)
                        all = all && other->done();
                    if (all)
                        loop.quit();
                }
            };
            jobs.push_back(std::make_unique<FleetJob>(port, round, settings, changed));
        }
        for (const auto &job : jobs)
            job->start();
        bool all = true;
        for (const auto &job : jobs)
            all = all && job->done();
        if (!all)
            loop.exec();
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

#include "cli/cli_transfer.h"

#include <cstdio>

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include "cli/commands.h"
#include "cli/console.h"
#include "link/clone_driver.h"
#include "services/port_error.h"
#include "link/port_names.h"
#include "text/text_ids.h"

#include <functional>
#include <memory>

#include <QSocketNotifier>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>
#else
#include <atomic>

#include <windows.h>
#endif

namespace zrk6::cli {

namespace {

void Err(const QString &line)
{
    std::fprintf(stderr, "%s\n", line.toUtf8().constData());
    std::fflush(stderr);
}

// The command line's side of a radio job: progress on standard error (a bar on a terminal, a
// line per tenth otherwise), each Retry question and the job's own answer to it.
class ConsoleProgress final : public QObject {
public:
    ConsoleProgress(RadioJob &job, bool terminal) : terminal_(terminal)
    {
        connect(&job, &RadioJob::progress, this, &ConsoleProgress::progress);
        connect(&job, &RadioJob::phaseChanged, this, [this] {
            endBar();
            lastTenth_ = -1;
        });
        connect(&job, &RadioJob::retryAnswered, this, [this](const QString &text, bool retry, int attempt, int total) {
            endBar();
            Err(QStringLiteral("zrk6-cli: ") + text);
            if (retry) {
                Err(QStringLiteral("zrk6-cli: retrying from the greeting (%1 of %2)").arg(attempt).arg(total));
                lastTenth_ = -1;
            } else if (total > 0) {
                Err(QStringLiteral("zrk6-cli: giving up after %1 %2").arg(total).arg(total == 1 ? "retry" : "retries"));
            }
        });
    }

    void progress(int value, int maximum, const QString &label)
    {
        const int percent = maximum > 0 ? (200 * value + maximum) / (2 * maximum) : 0;
        if (terminal_) {
            constexpr int kWidth = 30;
            const int filled = maximum > 0 ? kWidth * value / maximum : 0;
            if (barShown_ && filled == lastFilled_ && label == lastLabel_)
                return;
            lastFilled_ = filled;
            lastLabel_ = label;
            const QString bar = QString(filled, QLatin1Char('#')) + QString(kWidth - filled, QLatin1Char('-'));
            std::fprintf(stderr, "\r[%s] %s ", bar.toLatin1().constData(), label.toUtf8().constData());
            std::fflush(stderr);
            barShown_ = true;
            return;
        }
        // Without a terminal one line per tenth is plenty.
        if (value == 0 || percent / 10 != lastTenth_) {
            lastTenth_ = percent / 10;
            Err(label);
        }
    }

    void endBar()
    {
        if (barShown_) {
            std::fputc('\n', stderr);
            barShown_ = false;
        }
    }

private:
    bool terminal_;
    bool barShown_ = false;
    int lastFilled_ = -1;
    QString lastLabel_;
    int lastTenth_ = -1;
};

#ifdef Q_OS_UNIX
// While alive, SIGINT and SIGTERM run onInterrupt in the event loop (through a pipe written by
// the signal handler) in place of ending the program.
class InterruptWatch {
public:
    explicit InterruptWatch(std::function<void()> onInterrupt) : onInterrupt_(std::move(onInterrupt))
    {
        if (::pipe2(pipe_, O_CLOEXEC | O_NONBLOCK) != 0) {
            pipe_[0] = pipe_[1] = -1;
            return;
        }
        writeEnd_ = pipe_[1];
        notifier_ = std::make_unique<QSocketNotifier>(pipe_[0], QSocketNotifier::Read);
        QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] {
            char signal = 0;
            while (::read(pipe_[0], &signal, 1) == 1) {
            }
            if (!caught_) {
                caught_ = true;
                onInterrupt_();
            }
        });
        struct sigaction action{};
        action.sa_handler = &InterruptWatch::OnSignal;
        sigemptyset(&action.sa_mask);
        ::sigaction(SIGINT, &action, &oldInt_);
        ::sigaction(SIGTERM, &action, &oldTerm_);
    }
    ~InterruptWatch()
    {
        if (pipe_[0] < 0)
            return;
        ::sigaction(SIGINT, &oldInt_, nullptr);
        ::sigaction(SIGTERM, &oldTerm_, nullptr);
        writeEnd_ = -1;
        notifier_.reset();
        ::close(pipe_[0]);
        ::close(pipe_[1]);
    }
    InterruptWatch(const InterruptWatch &) = delete;
    InterruptWatch &operator=(const InterruptWatch &) = delete;

    bool caught() const { return caught_; }

private:
    static void OnSignal(int signal)
    {
        const int saved = errno;
        const char byte = static_cast<char>(signal);
        if (writeEnd_ >= 0)
            (void)::write(writeEnd_, &byte, 1);
        errno = saved;
    }

    static inline volatile sig_atomic_t writeEnd_ = -1;
    std::function<void()> onInterrupt_;
    int pipe_[2] = {-1, -1};
    std::unique_ptr<QSocketNotifier> notifier_;
    struct sigaction oldInt_{};
    struct sigaction oldTerm_{};
    bool caught_ = false;
};
#else
// While alive, Ctrl+C and Ctrl+Break in the console run onInterrupt in the event loop in place
// of ending the program. Windows calls the handler on a thread of its own.
class InterruptWatch {
public:
    explicit InterruptWatch(std::function<void()> onInterrupt) : onInterrupt_(std::move(onInterrupt))
    {
        current_ = this;
        ::SetConsoleCtrlHandler(&InterruptWatch::OnConsoleEvent, TRUE);
    }
    ~InterruptWatch()
    {
        ::SetConsoleCtrlHandler(&InterruptWatch::OnConsoleEvent, FALSE);
        current_ = nullptr;
    }
    InterruptWatch(const InterruptWatch &) = delete;
    InterruptWatch &operator=(const InterruptWatch &) = delete;

    bool caught() const { return caught_; }

private:
    static BOOL WINAPI OnConsoleEvent(DWORD event)
    {
        if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT)
            return FALSE;
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [] {
                InterruptWatch *watch = current_;
                if (watch != nullptr && !watch->caught_) {
                    watch->caught_ = true;
                    watch->onInterrupt_();
                }
            },
            Qt::QueuedConnection);
        return TRUE;
    }

    static inline std::atomic<InterruptWatch *> current_ = nullptr;
    std::function<void()> onInterrupt_;
    bool caught_ = false;
};
#endif

} // namespace

void TransferOptions::addTo(QCommandLineParser &parser) const
{
    parser.addOption(port);
    parser.addOption(retries);
    parser.addOption(trace);
    parser.addOption(lang);
    parser.addOption(noBackup);
}

std::optional<int> ReadTransferSettings(const QCommandLineParser &parser, const TransferOptions &options,
                                        TransferSettings &settings)
{
    if (const auto done = ReadLanguage(parser, options.lang, settings.language))
        return *done;

    bool ok = false;
    settings.retries = parser.value(options.retries).toInt(&ok);
    if (!ok || settings.retries < 0 || settings.retries > 1000)
        return UsageError(QStringLiteral("--retries needs a number from 0 to 1000"));

    const QString port = parser.value(options.port);
    bool isNumber = false;
    const int number = port.toInt(&isNumber);
    if (port.isEmpty() || isNumber) {
        const int n = port.isEmpty() ? 1 : number;
        if (n < 1 || n > kMaxCommPortNumber)
            return UsageError(QStringLiteral("port numbers are 1 to %1; see 'zrk6-cli ports'").arg(kMaxCommPortNumber));
        settings.portName = PortSystemName(n);
        Err(QStringLiteral("zrk6-cli: using port %1 (%2)").arg(n).arg(settings.portName));
    } else {
        settings.portName = NormalizePortName(port);
    }
    settings.traceFile = parser.value(options.trace);
    settings.backup = !parser.isSet(options.noBackup);
    if (!settings.traceFile.isEmpty()) {
        if (const auto refused = CheckOutputPath(parser, settings.traceFile))
            return refused;
    }
    return std::nullopt;
}

void ReportBackups(const RadioJobResult &result, const TransferSettings &settings)
{
    for (const QString &path : result.backups)
        Err(QStringLiteral("zrk6-cli: %1 %2").arg(Text(text_id::kBackupSaved, settings.language), path));
    for (const QString &error : result.backupErrors)
        Err(QStringLiteral("zrk6-cli: warning: %1 %2").arg(Text(text_id::kBackupNotSaved, settings.language), error));
}

std::shared_ptr<void> WatchInterrupt(std::function<void()> onInterrupt)
{
    return std::make_shared<InterruptWatch>(std::move(onInterrupt));
}

int RunRadioJob(RadioJobSettings job, const TransferSettings &settings, MemoryImage *radio)
{
    job.portName = settings.portName;
    job.language = settings.language;
    job.retries = settings.retries;
    job.backup = {settings.backup, BackupFolder()};
    // A port that does not open or a radio that never answers: point to the cable doctor.
    auto failWithHint = [&settings](const QString &message) {
        Fail(message);
        return Fail(Text(text_id::kRunDoctor, settings.language));
    };
    // The port is tested first, so that a trace file is made only once there is a line to trace.
    if (const QString reason = TestClonePort(settings.portName, settings.language); !reason.isEmpty())
        return failWithHint(PortErrorText(reason, settings.language, settings.portName));
    QFile traceFile(settings.traceFile);
    if (!settings.traceFile.isEmpty()) {
        if (!traceFile.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return Fail(QStringLiteral("%1: %2").arg(settings.traceFile, traceFile.errorString()));
        job.trace = &traceFile;
    }

    RadioJob radioJob(std::move(job));
    ConsoleProgress console(radioJob, StderrIsTerminal());
    // Ctrl+C (or a kill) ends the transfer as Cancel does: the radio gets its end byte.
    InterruptWatch interrupt([&radioJob] { radioJob.cancel(); });
    RunToEnd(radioJob);
    console.endBar();
    const RadioJobResult &result = radioJob.result();
    ReportBackups(result, settings);
    for (const CloneMessage *message : {&result.readMessage, &result.message}) {
        if (!message->isSet())
            continue;
        if (message->isError) {
            Err(QStringLiteral("zrk6-cli: ") + message->text);
        } else {
            std::printf("%s\n", message->text.toUtf8().constData());
            std::fflush(stdout);
        }
    }
    if (result.verify.outcome == VerifyOutcome::Matched) {
        std::printf("%s\n", result.verify.Text().c_str());
        std::fflush(stdout);
    } else if (result.verify.outcome != VerifyOutcome::NotRun) {
        Err(QStringLiteral("zrk6-cli: ") + QString::fromStdString(result.verify.Text()));
    }
    if (interrupt.caught()) {
        Fail(QStringLiteral("interrupted; %1 was cancelled")
                 .arg(result.endedIn == RadioPhase::Verify ? QStringLiteral("the read-back after the completed write")
                      : result.endedIn == RadioPhase::Read ? QStringLiteral("the read")
                                                           : QStringLiteral("the write")));
        return kInterruptedStatus;
    }
    if (radio && result.readCompleted)
        *radio = result.radio;
    switch (result.outcome) {
    case RadioOutcome::Completed: return 0;
    case RadioOutcome::NotVerified: return 1; // the report has been shown
    case RadioOutcome::PortFailed: return Fail(PortErrorText(result.portError, settings.language, settings.portName));
    case RadioOutcome::WrongModel: return 1;  // "Model type is wrong." has been shown
    case RadioOutcome::Cancelled: break;
    }
    const std::string_view code = CloneErrorCode(result.lastError);
    const QString message = QStringLiteral("%1 on %2 did not complete %3")
                                .arg(result.endedIn == RadioPhase::Read ? QStringLiteral("the read")
                                                                        : QStringLiteral("the write"),
                                     settings.portName,
                                     QString::fromLatin1(code.data(), static_cast<qsizetype>(code.size())));
    return result.lastError == CloneError::NoGreetingAck ? failWithHint(message) : Fail(message);
}

void RunToEnd(RadioJob &job)
{
    // The program's one event loop runs until the job ends; nothing else is running, so it
    // nests in nothing.
    QObject::connect(&job, &RadioJob::finished, QCoreApplication::instance(), [] { QCoreApplication::exit(0); },
                     Qt::QueuedConnection);
    job.start();
    if (!job.isDone())
        QCoreApplication::exec();
}

} // namespace zrk6::cli

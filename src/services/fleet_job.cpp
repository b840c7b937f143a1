#include "services/fleet_job.h"

#include <QStringList>

#include "link/write_verify.h"
#include "text/text_qstring.h"

namespace zrk6 {

QString FleetResultWord(FleetResult result)
{
    switch (result) {
    case FleetResult::Verified: return QStringLiteral("verified");
    case FleetResult::Failed: return QStringLiteral("failed");
    case FleetResult::ModelMismatch: return QStringLiteral("model mismatch");
    case FleetResult::NotVerified: return QStringLiteral("not verified");
    case FleetResult::None: break;
    }
    return QString();
}

FleetJob::FleetJob(QString port, int round, FleetSettings settings, QObject *parent)
    : QObject(parent), port_(std::move(port)), round_(round), settings_(std::move(settings))
{
}

FleetJob::~FleetJob() = default;

void FleetJob::start()
{
    RadioJobSettings job;
    job.task = RadioTask::ReadThenWrite;
    job.image = settings_.plan;
    job.channelsOnly = settings_.channelsOnly;
    job.verify = true;
    job.portName = port_;
    job.language = settings_.language;
    job.backup = {settings_.backup, settings_.backupFolder};
    job.retries = settings_.retries;
    job_ = std::make_unique<RadioJob>(job);
    connect(job_.get(), &RadioJob::phaseChanged, this, &FleetJob::onPhase);
    connect(job_.get(), &RadioJob::progress, this, [this](int value, int maximum) { onProgress(value, maximum); });
    connect(job_.get(), &RadioJob::finished, this, &FleetJob::onFinished);
    job_->start();
}

void FleetJob::cancel()
{
    if (!done() && job_)
        job_->cancel();
}

void FleetJob::onPhase(RadioPhase phase)
{
    switch (phase) {
    case RadioPhase::Read: phase_ = FleetPhase::Read; break;
    case RadioPhase::Write: phase_ = FleetPhase::Write; break;
    case RadioPhase::Verify: phase_ = FleetPhase::Verify; break;
    case RadioPhase::Waiting:
    case RadioPhase::Done: return; // onFinished() says how it ended
    }
    percent_ = 0;
    emit changed();
}

void FleetJob::onProgress(int value, int maximum)
{
    const int p = maximum > 0 ? 100 * value / maximum : 0;
    if (p != percent_) {
        percent_ = p;
        emit changed();
    }
}

void FleetJob::onFinished()
{
    const RadioJobResult &r = job_->result();
    interrupted_ = r.interrupted;
    if (r.readCompleted) {
        for (int a = addr::kRadioId; a < addr::kRadioId + 8; ++a)
            identification_ += QStringLiteral("%1").arg(r.radio.at(a), 2, 16, QLatin1Char('0')).toUpper();
        if (!r.backups.isEmpty())
            backupFile_ = r.backups.front();
        else if (!r.backupErrors.isEmpty())
            backupFile_ = QStringLiteral("not saved: ") + r.backupErrors.front();
    }
    if (r.endedIn != RadioPhase::Read && r.readCompleted)
        changedFields_ = static_cast<int>(CheckWrite(r.written, &r.radio, kEnglish).differences.size());
    const char *what = r.endedIn == RadioPhase::Read ? "read" : "write";

    switch (r.outcome) {
    case RadioOutcome::Completed: return finish(FleetResult::Verified, QString());
    case RadioOutcome::WrongModel: return finish(FleetResult::ModelMismatch, QStringLiteral("the radio is of another model"));
    case RadioOutcome::PortFailed:
        if (r.endedIn == RadioPhase::Read && r.lastPrompt.isEmpty() && !interrupted_)
            return finish(FleetResult::Failed, QStringLiteral("the port did not open: ") + r.portError, r.portError);
        return finish(FleetResult::Failed,
                      QStringLiteral("the port failed during the %1: %2").arg(QLatin1String(what), r.portError),
                      r.portError);
    case RadioOutcome::Cancelled:
        if (interrupted_) {
            if (r.endedIn == RadioPhase::Read && r.readCompleted)
                return finish(FleetResult::Failed, QStringLiteral("interrupted after the read"));
            return finish(FleetResult::Failed, QStringLiteral("interrupted during the %1").arg(QLatin1String(what)));
        }
        return finish(FleetResult::Failed,
                      QStringLiteral("the %1 did not complete: %2").arg(QLatin1String(what), r.lastPrompt),
                      r.lastPrompt);
    case RadioOutcome::NotVerified: break;
    }
    if (interrupted_)
        return finish(FleetResult::NotVerified, QStringLiteral("interrupted during the read-back"));
    const VerifyReport &report = r.verify;
    QString words = report.outcome == VerifyOutcome::Mismatched
                        ? QStringLiteral("%1 addresses read back otherwise").arg(report.addresses.size())
                        : QStringLiteral("the read-back did not complete");
    QString detail = ToQString(report.headline);
    if (!report.differences.empty()) {
        words += QStringLiteral(": ") + ToQString(report.differences.front());
        detail = ToQString(report.differences.front());
    }
    finish(FleetResult::NotVerified, words, detail);
}

void FleetJob::finish(FleetResult result, const QString &failure, const QString &detail)
{
    result_ = result;
    failure_ = failure;
    detail_ = detail;
    phase_ = FleetPhase::Done;
    emit changed();
}

namespace {

QString CsvField(const QString &text)
{
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) && !text.contains(QLatin1Char('\n')))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

} // namespace

QString FleetLog::open(const QString &path)
{
    file_.close();
    file_.setFileName(path);
    if (!file_.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text))
        return file_.errorString();
    // A header only for a new (or empty) file.
    if (file_.size() == 0 && (file_.write(Header()) < 0 || !file_.flush()))
        return file_.errorString();
    return QString();
}

QByteArray FleetLog::Header()
{
    return "time,port,round,radio,result,failure,backup,changed fields\n";
}

QString FleetLog::Line(const FleetJob &job, const QDateTime &when)
{
    return QStringList{when.toString(Qt::ISODate),
                       CsvField(job.port()),
                       QString::number(job.round()),
                       job.identification(),
                       FleetResultWord(job.result()),
                       CsvField(job.failure()),
                       CsvField(job.backupFile()),
                       QString::number(job.changedFields())}
        .join(QLatin1Char(','));
}

bool FleetLog::append(const FleetJob &job, const QDateTime &when)
{
    if (!file_.isOpen())
        return false;
    return file_.write(Line(job, when).toUtf8() + '\n') >= 0 && file_.flush();
}

} // namespace zrk6

#include "link/fleet_job.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

#include "files/backups.h"
#include "files/data_file_io.h"
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
    : QObject(parent), port_(std::move(port)), round_(round), settings_(std::move(settings)),
      retriesLeft_(settings_.retries)
{
}

FleetJob::~FleetJob()
{
    // A job dropped in the middle still lets its radio go.
    if (driver_ && !driver_->isFinished())
        driver_->cancel();
}

void FleetJob::start()
{
    startDriver(CloneMode::Read, settings_.plan);
}

void FleetJob::cancel()
{
    if (done())
        return;
    cancelled_ = true;
    if (driver_ && !driver_->isFinished())
        driver_->cancel();
}

void FleetJob::progress(int value, int maximum, const QString &)
{
    const int p = maximum > 0 ? 100 * value / maximum : 0;
    if (p != percent_) {
        percent_ = p;
        emit changed();
    }
}

void FleetJob::message(int, const QString &, const QString &, bool) {}

bool FleetJob::askRetry(const QString &text, const QString &, CloneError)
{
    lastPrompt_ = text;
    if (cancelled_ || retriesLeft_ <= 0)
        return false;
    --retriesLeft_;
    return true;
}

void FleetJob::verifying()
{
    setPhase(FleetPhase::Verify);
}

void FleetJob::setPhase(FleetPhase phase)
{
    phase_ = phase;
    percent_ = 0;
    emit changed();
}

void FleetJob::startDriver(CloneMode mode, const MemoryImage &image)
{
    setPhase(mode == CloneMode::Read ? FleetPhase::Read : FleetPhase::Write);
    // The read's driver may be the one whose finished() is running now: let the loop delete it.
    if (driver_)
        driver_.release()->deleteLater();
    driver_ = std::make_unique<CloneDriver>(mode, image, settings_.language, port_, *this);
    driver_->setVerifyAfterWrite(mode == CloneMode::Write);
    if (const QString reason = driver_->open(); !reason.isEmpty())
        return finish(FleetResult::Failed, QStringLiteral("the port did not open: ") + reason, reason);
    connect(driver_.get(), &CloneDriver::finished, this,
            [this, mode] { mode == CloneMode::Read ? afterRead() : afterWrite(); }, Qt::QueuedConnection);
    driver_->start();
}

void FleetJob::failed(TransferResult result, const char *what)
{
    if (cancelled_) {
        interrupted_ = true;
        return finish(FleetResult::Failed, QStringLiteral("interrupted during the %1").arg(QLatin1String(what)));
    }
    if (result == TransferResult::PortFailed)
        return finish(FleetResult::Failed,
                      QStringLiteral("the port failed during the %1: %2").arg(QLatin1String(what), driver_->portError()),
                      driver_->portError());
    finish(FleetResult::Failed, QStringLiteral("the %1 did not complete: %2").arg(QLatin1String(what), lastPrompt_),
           lastPrompt_);
}

void FleetJob::afterRead()
{
    const TransferResult result = driver_->result();
    if (result == TransferResult::WrongModel)
        return finish(FleetResult::ModelMismatch, QStringLiteral("the radio is of another model"));
    if (result != TransferResult::Completed)
        return failed(result, "read");
    radio_ = driver_->session().cloneBuffer();
    for (int a = addr::kRadioId; a < addr::kRadioId + 8; ++a)
        identification_ += QStringLiteral("%1").arg(radio_.at(a), 2, 16, QLatin1Char('0')).toUpper();
    if (settings_.backup) {
        // Named with the port and the round, so a fleet's backups tell their radios apart.
        const QString folder = settings_.backupFolder.isEmpty() ? BackupFolder() : settings_.backupFolder;
        QDir().mkpath(folder);
        const QString name = QStringLiteral("fleet-%1-round%2-%3.dat")
                                 .arg(QFileInfo(port_).fileName())
                                 .arg(round_)
                                 .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss-zzz")));
        const QString path = QDir(folder).filePath(name);
        if (SaveDataFile(path, radio_).isEmpty())
            backupFile_ = QDir::toNativeSeparators(path);
    }
    if (cancelled_) {
        interrupted_ = true;
        return finish(FleetResult::Failed, QStringLiteral("interrupted after the read"));
    }
    written_ = settings_.channelsOnly ? WithChannelsOf(radio_, settings_.plan) : settings_.plan;
    changedFields_ = static_cast<int>(CheckWrite(written_, &radio_, kEnglish).differences.size());
    startDriver(CloneMode::Write, written_);
}

void FleetJob::afterWrite()
{
    const TransferResult result = driver_->result();
    if (result == TransferResult::WrongModel)
        return finish(FleetResult::ModelMismatch, QStringLiteral("the radio is of another model"));
    if (result != TransferResult::Completed)
        return failed(result, "write");
    const VerifyReport &report = driver_->verifyReport();
    if (report.outcome == VerifyOutcome::Matched)
        return finish(FleetResult::Verified, QString());
    if (cancelled_) {
        interrupted_ = true;
        return finish(FleetResult::NotVerified, QStringLiteral("interrupted during the read-back"));
    }
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

#include "services/radio_job.h"

#include <QDir>

#include <algorithm>
#include <utility>

namespace zrk6 {

RadioJob::RadioJob(RadioJobSettings settings, QObject *parent) : QObject(parent), settings_(std::move(settings))
{
}

RadioJob::~RadioJob()
{
    // A job dropped in the middle still lets its radio go.
    if (driver_ && !driver_->isFinished())
        driver_->cancel();
}

bool RadioJob::start()
{
    const bool reads = settings_.task != RadioTask::Write;
    return startDriver(reads ? CloneMode::Read : CloneMode::Write, settings_.image, settings_.verify);
}

void RadioJob::cancel()
{
    if (isDone())
        return;
    result_.interrupted = true;
    if (driver_ && !driver_->isFinished())
        driver_->cancel();
}

void RadioJob::answerRetry(bool retry)
{
    if (driver_)
        driver_->answerRetry(retry && !result_.interrupted);
}

void RadioJob::setPhase(RadioPhase phase)
{
    phase_ = phase;
    emit phaseChanged(phase);
}

bool RadioJob::startDriver(CloneMode mode, const MemoryImage &image, bool verify)
{
    setPhase(mode == CloneMode::Read ? RadioPhase::Read : RadioPhase::Write);
    // The read's driver may be the one whose finished() is running now: let the loop delete it.
    if (driver_)
        driver_.release()->deleteLater();
    driver_ = std::make_unique<CloneDriver>(mode, image, settings_.language, settings_.portName);
    driver_->setVerifyAfterWrite(mode == CloneMode::Write && verify);
    driver_->setTrace(settings_.trace);
    connect(driver_.get(), &CloneDriver::progress, this, &RadioJob::progress);
    connect(driver_.get(), &CloneDriver::verifying, this, [this] { setPhase(RadioPhase::Verify); });
    connect(driver_.get(), &CloneDriver::retryAsked, this, &RadioJob::onRetryAsked);
    connect(driver_.get(), &CloneDriver::finished, this, &RadioJob::onDriverFinished);
    if (const QString reason = driver_->open(); !reason.isEmpty()) {
        result_.portError = reason;
        QMetaObject::invokeMethod(this, [this] { finish(RadioOutcome::PortFailed); }, Qt::QueuedConnection);
        return false;
    }
    if (mode == CloneMode::Write) {
        result_.written = image;
        backup(image, BackupKind::Write);
    }
    driver_->start();
    return true;
}

void RadioJob::onRetryAsked(const QString &text, const QString &title, CloneError error)
{
    if (settings_.retries < 0 && !result_.interrupted) {
        emit retryAsked(text, title, error);
        return;
    }
    const bool retry = !result_.interrupted && retriesUsed_ < settings_.retries;
    if (retry)
        ++retriesUsed_;
    emit retryAnswered(text, retry, retriesUsed_, std::max(settings_.retries, 0));
    driver_->answerRetry(retry);
}

void RadioJob::backup(const MemoryImage &image, BackupKind kind)
{
    if (!settings_.backup.enabled)
        return;
    const QString folder = settings_.backup.folder.isEmpty() ? BackupFolder() : settings_.backup.folder;
    const BackupResult saved = SaveBackup(folder, image, kind);
    if (saved.ok())
        result_.backups << QDir::toNativeSeparators(saved.path);
    else
        result_.backupErrors << saved.error;
}

void RadioJob::onDriverFinished()
{
    const CloneDriver &driver = *driver_;
    result_.message = driver.closingMessage();
    result_.lastError = driver.lastError();
    result_.lastPrompt = driver.lastPrompt();
    switch (driver.result()) {
    case TransferResult::WrongModel: return finish(RadioOutcome::WrongModel);
    case TransferResult::Cancelled: return finish(RadioOutcome::Cancelled);
    case TransferResult::PortFailed:
        result_.portError = driver.portError();
        return finish(RadioOutcome::PortFailed);
    case TransferResult::Completed: break;
    }
    if (phase_ == RadioPhase::Read) {
        result_.radio = driver.session().cloneBuffer();
        result_.readCompleted = true;
        // The backup keeps what the radio held, before anything else touches it.
        backup(result_.radio, BackupKind::Read);
        if (settings_.task == RadioTask::Read)
            return finish(RadioOutcome::Completed);
        if (result_.interrupted)
            return finish(RadioOutcome::Cancelled);
        // One transfer through to the result: the read's own "Reading completed!" is kept apart.
        result_.readMessage = std::exchange(result_.message, {});
        const MemoryImage image =
            settings_.channelsOnly ? WithChannelsOf(result_.radio, settings_.image) : settings_.image;
        // The point of writing into a radio just read is a radio known to hold the result.
        startDriver(CloneMode::Write, image, true);
        return;
    }
    result_.verify = driver.verifyReport();
    const VerifyOutcome verified = result_.verify.outcome;
    finish(verified == VerifyOutcome::NotRun || verified == VerifyOutcome::Matched ? RadioOutcome::Completed
                                                                                   : RadioOutcome::NotVerified);
}

void RadioJob::finish(RadioOutcome outcome)
{
    if (isDone())
        return;
    result_.outcome = outcome;
    result_.endedIn = phase_;
    setPhase(RadioPhase::Done);
    emit finished();
}

} // namespace zrk6

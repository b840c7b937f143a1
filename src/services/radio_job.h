#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

#include "files/backups.h"
#include "link/clone_driver.h"
#include "model/memory_image.h"
#include "text/text_table.h"

class QIODevice;

namespace zrk6 {

// What a radio job does.
enum class RadioTask {
    Read,         // read the radio's memory
    Write,        // write the image
    ReadThenWrite // read the radio, then write the image (or only its channels) into it, verified
};

// Where a job is.
enum class RadioPhase { Waiting, Read, Write, Verify, Done };

// How a job ended.
enum class RadioOutcome {
    Completed,   // done (and, when asked for, verified)
    Cancelled,   // Cancel at an error prompt, cancel(), or no retries left
    WrongModel,  // the radio's identification did not match ("Model type is wrong.")
    PortFailed,  // the port did not open, or not again at a Retry; portError says why
    NotVerified, // the write completed, but reading it back found differences or did not complete
};

// One backup policy for every front end: the radio's memory after each completed read, and the
// image about to be written just before each write, saved by SaveBackup in one folder. A
// backup that cannot be saved never stops the job; the result lists it.
struct BackupPolicy {
    bool enabled = true;
    QString folder; // empty: BackupFolder()
};

struct RadioJobSettings {
    RadioTask task = RadioTask::Read;
    // Read: the image the radio's identification is checked against. Write: the image written.
    // ReadThenWrite: the plan (its identification is checked against the radio's).
    MemoryImage image;
    bool channelsOnly = false; // ReadThenWrite: only the plan's channel records go into the radio's memory
    bool verify = false;       // read a write back and compare (ReadThenWrite always does)
    QString portName;
    LanguageMode language = kEnglish;
    BackupPolicy backup;
    // How the Retry question is answered: below 0 it is asked through retryAsked(); otherwise the
    // job itself retries this many times in all, then cancels.
    int retries = -1;
    QIODevice *trace = nullptr;
};

struct RadioJobResult {
    RadioOutcome outcome = RadioOutcome::Cancelled;
    RadioPhase endedIn = RadioPhase::Waiting; // the phase that ended the job
    bool interrupted = false;                 // cancel() was called
    MemoryImage radio;                        // the radio's memory, after a completed read
    MemoryImage written;                      // what a write sent
    VerifyReport verify;                      // the read-back's report (NotRun without one)
    CloneMessage message;                     // the closing message to show (completion, wrong model)
    CloneMessage readMessage;                 // ReadThenWrite: the read's own completion message
    QString portError;
    CloneError lastError = CloneError::None; // the last error prompt's
    QString lastPrompt;
    QStringList backups;      // files saved
    QStringList backupErrors; // backups that could not be saved, with the reason

    bool readCompleted = false;               // radio holds the radio's memory

    bool ok() const { return outcome == RadioOutcome::Completed; }
};

// One read, write or read-then-write of one radio on the caller's event loop, the same for the
// window, zrk6-cli and the fleet. Nothing blocks: start() returns at once and finished() follows.
class RadioJob final : public QObject {
    Q_OBJECT
public:
    explicit RadioJob(RadioJobSettings settings, QObject *parent = nullptr);
    ~RadioJob() override;

    // Opens the port and begins. Returns false (with finished() queued) when the port did not open.
    bool start();
    // Ends the running transfer as Cancel does (the radio gets its end byte).
    void cancel();
    // The answer to retryAsked().
    void answerRetry(bool retry);

    const RadioJobSettings &settings() const { return settings_; }
    RadioPhase phase() const { return phase_; }
    bool isDone() const { return phase_ == RadioPhase::Done; }
    const RadioJobResult &result() const { return result_; }
    const CloneDriver *driver() const { return driver_.get(); }

signals:
    void phaseChanged(zrk6::RadioPhase phase);
    void progress(int value, int maximum, const QString &label);
    void retryAsked(const QString &text, const QString &title, zrk6::CloneError error);
    // The job answered the Retry question (text) itself: retry, as attempt of retries.
    void retryAnswered(const QString &text, bool retry, int attempt, int retries);
    void finished();

private:
    bool startDriver(CloneMode mode, const MemoryImage &image, bool verify);
    void onDriverFinished();
    void onRetryAsked(const QString &text, const QString &title, CloneError error);
    void backup(const MemoryImage &image, BackupKind kind);
    void setPhase(RadioPhase phase);
    void finish(RadioOutcome outcome);

    RadioJobSettings settings_;
    RadioPhase phase_ = RadioPhase::Waiting;
    RadioJobResult result_;
    std::unique_ptr<CloneDriver> driver_;
    int retriesUsed_ = 0;
};

} // namespace zrk6

#pragma once

#include <QDateTime>
#include <QFile>
#include <QObject>
#include <QString>

#include <memory>

#include "services/radio_job.h"
#include "model/memory_image.h"
#include "text/text_table.h"

namespace zrk6 {

// What every radio of a fleet gets, and how.
struct FleetSettings {
    MemoryImage plan;          // the image written (its identification is checked against each radio)
    bool channelsOnly = false; // write only the plan's channel records into each radio's own memory
    bool backup = true;        // keep each radio's memory as read
    QString backupFolder;      // where; empty for BackupFolder()
    int retries = 0;           // start a failed transfer again up to this many times
    LanguageMode language = kEnglish; // of the driver's own messages (the log's frame stays English)
};

enum class FleetPhase { Waiting, Read, Write, Verify, Done };

enum class FleetResult { None, Verified, Failed, ModelMismatch, NotVerified };

// The log's word for a result: "verified", "failed", "model mismatch", "not verified".
QString FleetResultWord(FleetResult result);

// One port's radio through one round: a RadioJob that reads (a backup after the read, one before
// the write, by the one backup policy), writes the plan or its channels, and reads back to
// compare. Runs on the event loop beside the other ports' jobs; nothing here blocks.
class FleetJob final : public QObject {
    Q_OBJECT
public:
    FleetJob(QString port, int round, FleetSettings settings, QObject *parent = nullptr);
    ~FleetJob() override;

    // Opens the port and starts the read; changed() follows every step.
    void start();
    // Ends the running transfer as Cancel does (the radio gets its end byte); the job finishes
    // as failed or not verified, marked interrupted.
    void cancel();

    const QString &port() const { return port_; }
    int round() const { return round_; }
    FleetPhase phase() const { return phase_; }
    int percent() const { return percent_; }
    bool done() const { return phase_ == FleetPhase::Done; }
    FleetResult result() const { return result_; }
    bool verified() const { return result_ == FleetResult::Verified; }
    bool interrupted() const { return interrupted_; }
    // What failed, in English words for the log (empty when verified).
    const QString &failure() const { return failure_; }
    // The driver's own words for it in the settings' language (a prompt, the port's error, the
    // first difference); may be empty.
    const QString &detail() const { return detail_; }
    // The backup of the radio's memory as read; a backup that could not be saved is reported
    // here as "not saved: " and the reason.
    const QString &backupFile() const { return backupFile_; }
    // Bytes 0xFB0..0xFB7 of the radio as read, in hexadecimal; empty before the read completed.
    const QString &identification() const { return identification_; }
    // How many fields the write changed in the radio.
    int changedFields() const { return changedFields_; }

signals:
    // The phase, the percentage or the result changed.
    void changed();

private:
    void onPhase(RadioPhase phase);
    void onProgress(int value, int maximum);
    void onFinished();
    void finish(FleetResult result, const QString &failure, const QString &detail = {});

    QString port_;
    int round_;
    FleetSettings settings_;
    FleetPhase phase_ = FleetPhase::Waiting;
    int percent_ = 0;
    FleetResult result_ = FleetResult::None;
    QString failure_;
    QString detail_;
    QString backupFile_;
    QString identification_;
    int changedFields_ = 0;
    std::unique_ptr<RadioJob> job_;
    bool interrupted_ = false;
};

// The fleet's CSV log: a header, then one line per radio (time, port, round, radio, result,
// failure, backup, changed fields). An existing log is continued, never truncated; every line
// is flushed at once, so a crash loses nothing that finished.
class FleetLog {
public:
    // Opens path for appending (made when missing). Returns the system's reason on failure.
    QString open(const QString &path);
    bool isOpen() const { return file_.isOpen(); }
    QString fileName() const { return file_.fileName(); }
    QString error() const { return file_.errorString(); }
    // Appends the line of a finished job. Returns false when the line could not be written.
    bool append(const FleetJob &job, const QDateTime &when = QDateTime::currentDateTime());
    void close() { file_.close(); }

    static QByteArray Header();
    static QString Line(const FleetJob &job, const QDateTime &when);

private:
    QFile file_;
};

} // namespace zrk6

#pragma once

#include <functional>
#include <memory>
#include <optional>

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QString>

#include "files/backups.h"
#include "link/clone_session.h"
#include "services/radio_job.h"
#include "model/memory_image.h"
#include "text/text_table.h"

namespace zrk6::cli {

// The options that read and write share: --port, --retries, --trace, --lang, --no-backup.
struct TransferOptions {
    QCommandLineOption port{QStringList{QStringLiteral("p"), QStringLiteral("port")},
                            QStringLiteral("The serial device (/dev/ttyUSB0, COM3, a pseudo-terminal) or a port "
                                           "number 1..4 as 'zrk6-cli ports' lists them (default 1)."),
                            QStringLiteral("DEVICE")};
    QCommandLineOption retries{QStringLiteral("retries"),
                               QStringLiteral("Start a failed transfer again from the greeting up to N times "
                                              "(default 0)."),
                               QStringLiteral("N"), QStringLiteral("0")};
    QCommandLineOption trace{QStringLiteral("trace"),
                             QStringLiteral("Write every byte in both directions, with a time stamp in "
                                            "milliseconds, to FILE (for diagnosing cables)."),
                             QStringLiteral("FILE")};
    QCommandLineOption lang{QStringList{QStringLiteral("l"), QStringLiteral("lang")},
                            QStringLiteral("Language of the messages: en or zh (default en)."),
                            QStringLiteral("en|zh"), QStringLiteral("en")};
    QCommandLineOption noBackup{QStringLiteral("no-backup"),
                                QStringLiteral("Do not keep a copy of the memory in the backup folder (%1).")
                                    .arg(BackupFolder())};

    void addTo(QCommandLineParser &parser) const;
};

struct TransferSettings {
    QString portName;
    int retries = 0;
    QString traceFile;
    LanguageMode language = kEnglish;
    bool backup = true;  // keep a copy in the backup folder
    bool verify = false; // read the radio back after a write and compare
};

// Checks the shared options; returns the exit status of a usage error, or the settings.
std::optional<int> ReadTransferSettings(const QCommandLineParser &parser, const TransferOptions &options,
                                        TransferSettings &settings);


// The exit status after Ctrl+C or SIGTERM stopped a transfer (128 + SIGINT, as shells report it).
inline constexpr int kInterruptedStatus = 130;

// Runs one radio job (read, write, or read then write) against the radio with a progress bar on
// a terminal (a percentage line otherwise) and the window's messages; the job answers Retry
// from --retries. A completed read leaves the radio's memory in *radio. Backups follow the one
// policy (unless --no-backup), each reported on standard error. Returns the exit status: 0
// when the job completed (and verified), 1 when it failed (or the read-back found
// differences), kInterruptedStatus when Ctrl+C or SIGTERM cancelled it (the radio then gets
// its end byte, as after Cancel).
int RunRadioJob(RadioJobSettings job, const TransferSettings &settings, MemoryImage *radio);

// Starts the job and runs the program's event loop until it ends.
void RunToEnd(RadioJob &job);

// While the returned object lives, Ctrl+C and SIGTERM call onInterrupt in the event loop (once)
// in place of ending the program.
std::shared_ptr<void> WatchInterrupt(std::function<void()> onInterrupt);


} // namespace zrk6::cli

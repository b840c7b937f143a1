#pragma once

#include <QString>

#include <functional>

#include "model/memory_image.h"
#include "services/radio_job.h"
#include "text/text_table.h"
#include "ui/prompts.h"

class QWidget;

namespace zrk6 {

enum class TransferOutcome {
    Completed,
    Cancelled,       // Cancel at an error prompt
    Stopped,         // Cancel, Escape or the close button of the transfer window
    Failed,          // the radio's identification did not match ("Model type is wrong.")
    PortUnavailable, // the port could not be opened (before the confirmation, or again at a Retry);
                     // message 1600 with the reason and the port was shown
    PortChanged,     // the adapter chosen for the port is gone or another is in its place; nothing
                     // was opened, and the message said so
    NotConfirmed,    // Cancel at the confirmation; nothing happened
    NotVerified,     // the write completed, but reading it back found differences or did not complete
};

// What the window's transfers share: where they go, in which language, under which backup policy.
struct TransferContext {
    QWidget *parent = nullptr;
    Prompts &prompts;
    LanguageMode language = kEnglish;
    QString portName;
    BackupPolicy backup{false, {}};
    // Called with the job's result once the window has closed, before any closing message
    // shows (a completed read replaces the document here; backups are reported here).
    std::function<void(const RadioJobResult &)> afterJob;
    // Why portName must not be opened (the adapter chosen for it is gone, or another is there),
    // as the message to show; empty when it may.
    QString portChange;
};

// The message shown when a port cannot be opened: text 1600, then the system's reason on a
// second line (with the Linux dialout hint where it applies), then the port's name. Critical
// icon, title "ZR-K6".
PromptMessage PortErrorMessage(const QString &reason, LanguageMode language, const QString &portName);

// Read from Radio: the chosen adapter's check, port test, confirmation (1601 + CRLF + 1602), then the transfer window.
// image is the image the radio's identification is checked against; on Completed it holds the
// radio's memory (afterJob has seen it before "Reading completed!" showed). On anything else
// image is untouched.
TransferOutcome ReadFromRadio(const TransferContext &context, MemoryImage &image);

// Write to Radio: port test, confirmation (1603 + CRLF + 1602), the transfer window (with the
// read-back when verify). Never changes the caller's image.
TransferOutcome WriteToRadio(const TransferContext &context, const MemoryImage &image, bool verify);

// Write Channels Only: port test, one confirmation that says what happens (1996 + CRLF + 1602),
// then one transfer window through the read, the write of the radio's memory with the plan's
// channel records, and the read-back, to one closing message. Never changes the plan.
TransferOutcome WriteChannelsToRadio(const TransferContext &context, const MemoryImage &plan);

} // namespace zrk6

#pragma once

#include <QString>

#include <functional>

#include "model/memory_image.h"
#include "text/text_table.h"
#include "ui/prompts.h"

class QWidget;

namespace zrk6 {

enum class TransferOutcome {
    Completed,
    Cancelled,       // Cancel at an error prompt
    Failed,          // the radio's identification did not match ("Model type is wrong.")
    PortUnavailable, // the port could not be opened (before the confirmation, or again at a Retry);
                     // message 1600 with the reason was shown
    NotConfirmed,    // Cancel at the confirmation; nothing happened
    NotVerified,     // the write completed, but reading it back found differences or did not complete
};

// What Write to Radio does around the transfer.
struct WriteOptions {
    bool verify = false; // read the radio back and compare what was sent
    // Runs after the confirmation, just before the transfer, with the image about to be written.
    std::function<void(const MemoryImage &)> beforeWrite;
};

// The message shown when a port cannot be opened: text 1600, then the system's reason on a
// second line (with the Linux dialout hint where it applies). Critical icon, title "ZR-K6".
PromptMessage PortErrorMessage(const QString &reason, LanguageMode language);

// Read from Radio without the main window's own steps: port test, confirmation (1601 + CRLF +
// 1602), then the transfer window. image is the image the radio's identification is checked
// against; on Completed it holds the radio's memory, and afterRead (if set) has run before
// "Reading completed!" showed. On anything else image is untouched.
TransferOutcome ReadFromRadio(QWidget *parent, Prompts &prompts, LanguageMode language, MemoryImage &image,
                              const QString &portName, const std::function<void()> &afterRead = {});

// Write to Radio: port test, confirmation (1603 + CRLF + 1602), the transfer window (with the
// read-back when options.verify). Never changes the caller's image.
TransferOutcome WriteToRadio(QWidget *parent, Prompts &prompts, LanguageMode language, const MemoryImage &image,
                             const QString &portName, const WriteOptions &options = {});

} // namespace zrk6

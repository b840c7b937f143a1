#pragma once

#include <QString>

#include "mainwindow/radio_commands.h"

namespace zrk6 {

struct AppState;
class ImageDocument;
class MainViews;
class Prompts;
class SafetyCommands;

// Read from Radio, Write to Radio and Write Channels Only with the main window's steps around
// the radio job.
class TransferCommands {
public:
    TransferCommands(AppState &state, ImageDocument &document, Prompts &prompts, MainViews &views);

    // The serial device for this run, in place of the one port number n names; empty for none.
    void setPortOverride(const QString &device) { portOverride_ = device; }
    const QString &portOverride() const { return portOverride_; }
    // The device the next transfer opens.
    QString portName() const;
    // Backups around the transfers and the read-back after a write; none without it.
    void setSafety(SafetyCommands *safety) { safety_ = safety; }

    // A completed read replaces the document with the radio's memory (the file name stays),
    // and the grid has the focus. Any other outcome leaves the document as it was.
    TransferOutcome read();
    // Sends the image; the document does not change.
    TransferOutcome write();
    // Write Channels Only: one question, then one transfer window that reads the radio, puts
    // the document's channel records into that memory, writes it back and verifies it. The
    // radio keeps its own settings; the document does not change.
    TransferOutcome writeChannelsOnly();

private:
    TransferContext context();
    TransferOutcome finished(TransferOutcome outcome);

    AppState &state_;
    ImageDocument &document_;
    Prompts &prompts_;
    MainViews &views_;
    QString portOverride_;
    SafetyCommands *safety_ = nullptr;
};

} // namespace zrk6

#pragma once

#include <QList>
#include <QString>

#include "link/port_names.h"
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
    // A device named so is opened whatever adapter it is.
    void setPortOverride(const QString &device);
    const QString &portOverride() const { return portOverride_; }
    // The port chosen in the dialog (or remembered from an earlier run): a port number above 0,
    // or a device by its name, and the adapter it was when chosen (unknown for a port that is no
    // USB adapter). A transfer refuses to open another adapter under that port's name.
    void setChosenPort(int number, const QString &device, const PortIdentity &adapter);
    // What changed about the chosen adapter on the given list of ports, as the message a
    // transfer shows; empty when nothing did or nothing is known.
    QString portChange(const QList<SerialPortEntry> &ports) const;
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
    QString portName(const QList<SerialPortEntry> &ports) const;
    TransferContext context();
    TransferOutcome finished(TransferOutcome outcome);

    AppState &state_;
    ImageDocument &document_;
    Prompts &prompts_;
    MainViews &views_;
    QString portOverride_;
    PortIdentity chosenAdapter_;
    SafetyCommands *safety_ = nullptr;
};

} // namespace zrk6

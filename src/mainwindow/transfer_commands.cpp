#include "mainwindow/transfer_commands.h"

#include "model/image_normalise.h"
#include "document/image_document.h"
#include "mainwindow/command_names.h"
#include "link/port_names.h"
#include "link/write_verify.h"
#include "mainwindow/main_views.h"
#include "mainwindow/safety_commands.h"
#include "model/app_state.h"

namespace zrk6 {

TransferCommands::TransferCommands(AppState &state, ImageDocument &document, Prompts &prompts, MainViews &views)
    : state_(state), document_(document), prompts_(prompts), views_(views)
{
}

QString TransferCommands::portName() const
{
    return portOverride_.isEmpty() ? PortSystemName(state_.commPortNumber) : portOverride_;
}

TransferOutcome TransferCommands::read()
{
    views_.closeCellEditor();
    MemoryImage image = document_.image(); // the radio's identification is checked against it
    const TransferOutcome outcome = ReadFromRadio(views_.dialogParent(), prompts_, state_.language, image, portName(), [&] {
        // The backup keeps what the radio held, before any normalising.
        if (safety_)
            safety_->backupAfterRead(image);
        const Band band = ReadBandFromImage(image);
        // One undo step: Ctrl+Z brings back what the read replaced, unsaved edits included.
        document_.replaceUndoably(CommandStep(1031), NormaliseImage(image, band), band,
                                  document_.fileName());
    });
    switch (outcome) {
    case TransferOutcome::Completed:
    case TransferOutcome::Cancelled:
    case TransferOutcome::Failed:
        // After a failed read the document is as it was, edits and their undo steps included.
        views_.focusGrid();
        break;
    case TransferOutcome::PortUnavailable:
    case TransferOutcome::NotConfirmed:
    case TransferOutcome::NotVerified:
        break;
    }
    return outcome;
}

TransferOutcome TransferCommands::write()
{
    views_.closeCellEditor();
    WriteOptions options;
    if (safety_) {
        options.verify = safety_->verifyAfterWrite();
        options.beforeWrite = [this](const MemoryImage &image) { safety_->backupBeforeWrite(image); };
    }
    return WriteToRadio(views_.dialogParent(), prompts_, state_.language, document_.image(), portName(), options);
}

TransferOutcome TransferCommands::writeChannelsOnly()
{
    views_.closeCellEditor();
    MemoryImage radio = document_.image(); // the radio's identification is checked against it
    const TransferOutcome read = ReadFromRadio(views_.dialogParent(), prompts_, state_.language, radio, portName(), [&] {
        if (safety_)
            safety_->backupAfterRead(radio);
    });
    if (read != TransferOutcome::Completed)
        return read;
    WriteOptions options;
    options.verify = true; // the point is a radio known to hold the channels
    if (safety_)
        options.beforeWrite = [this](const MemoryImage &image) { safety_->backupBeforeWrite(image); };
    return WriteToRadio(views_.dialogParent(), prompts_, state_.language, WithChannelsOf(radio, document_.image()),
                        portName(), options);
}

} // namespace zrk6

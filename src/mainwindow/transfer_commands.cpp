#include "mainwindow/transfer_commands.h"

#include "link/port_names.h"
#include "mainwindow/main_views.h"
#include "mainwindow/safety_commands.h"
#include "model/app_state.h"

namespace zrk6 {

TransferCommands::TransferCommands(AppState &state, Prompts &prompts, MainViews &views)
    : state_(state), prompts_(prompts), views_(views)
{
}

QString TransferCommands::portName() const
{
    return portOverride_.isEmpty() ? PortSystemName(state_.commPortNumber) : portOverride_;
}

TransferOutcome TransferCommands::read()
{
    views_.closeCellEditor();
    const TransferOutcome outcome = ReadFromRadio(views_.dialogParent(), prompts_, state_, portName(), [this] {
        if (safety_)
            safety_->backupAfterRead(state_.doc.image);
        views_.refreshAllViews();
    });
    switch (outcome) {
    case TransferOutcome::Completed:
        views_.focusGrid();
        state_.doc.TakeSnapshot();
        views_.updateTitle();
        break;
    case TransferOutcome::Cancelled:
    case TransferOutcome::Failed:
        // The image was left as it was, edits included: no snapshot, or they would count as saved.
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
    return WriteToRadio(views_.dialogParent(), prompts_, state_, portName(), options);
}

} // namespace zrk6

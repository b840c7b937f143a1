#include "mainwindow/transfer_commands.h"

#include "document/image_document.h"
#include "link/port_change.h"
#include "link/port_names.h"
#include "mainwindow/command_names.h"
#include "mainwindow/main_views.h"
#include "mainwindow/safety_commands.h"
#include "model/app_state.h"
#include "model/image_normalise.h"
#include "text/text_ids.h"

namespace zrk6 {

namespace {

constexpr int kTextTransferCancelled = text_id::kTransferWasCancelled;

} // namespace

TransferCommands::TransferCommands(AppState &state, ImageDocument &document, Prompts &prompts, MainViews &views)
    : state_(state), document_(document), prompts_(prompts), views_(views)
{
}

QString TransferCommands::portName() const
{
    return portName(ListSerialPorts());
}

QString TransferCommands::portName(const QList<SerialPortEntry> &ports) const
{
    return portOverride_.isEmpty() ? PortSystemName(state_.commPortNumber, ports) : portOverride_;
}

void TransferCommands::setPortOverride(const QString &device)
{
    portOverride_ = device;
    chosenAdapter_ = {};
}

void TransferCommands::setChosenPort(int number, const QString &device, const PortIdentity &adapter)
{
    portOverride_ = number > 0 ? QString() : device;
    if (number > 0)
        state_.commPortNumber = number;
    chosenAdapter_ = adapter;
}

QString TransferCommands::portChange(const QList<SerialPortEntry> &ports) const
{
    const QString port = portName(ports);
    return PortChangeText(port, chosenAdapter_, CheckChosenAdapter(port, chosenAdapter_, ports), state_.language);
}

TransferContext TransferCommands::context()
{
    // The ports are listed once: the check and the transfer see the same names.
    const QList<SerialPortEntry> ports = ListSerialPorts();
    TransferContext context{views_.dialogParent(), prompts_, state_.language, portName(ports), {false, {}}, {}, portChange(ports)};
    if (safety_) {
        context.backup = safety_->backupPolicy();
        context.afterJob = [this](const RadioJobResult &result) { safety_->reportBackups(result); };
    }
    return context;
}

TransferOutcome TransferCommands::finished(TransferOutcome outcome)
{
    if (outcome == TransferOutcome::Stopped)
        views_.showStatus(TableText(kTextTransferCancelled, state_.language), 0);
    return outcome;
}

TransferOutcome TransferCommands::read()
{
    views_.closeCellEditor();
    TransferContext context = this->context();
    context.afterJob = [this, report = context.afterJob](const RadioJobResult &result) {
        if (report)
            report(result);
        if (result.outcome != RadioOutcome::Completed)
            return;
        const Band band = ReadBandFromImage(result.radio);
        // One undo step: Ctrl+Z brings back what the read replaced, unsaved edits included.
        document_.replaceUndoably(CommandStep(text_id::kReadTip), NormaliseImage(result.radio, band), band, document_.fileName());
    };
    MemoryImage image = document_.image(); // the radio's identification is checked against it
    const TransferOutcome outcome = ReadFromRadio(context, image);
    switch (outcome) {
    case TransferOutcome::Completed:
    case TransferOutcome::Cancelled:
    case TransferOutcome::Stopped:
    case TransferOutcome::Failed:
        // After a failed read the document is as it was, edits and their undo steps included.
        views_.focusGrid();
        break;
    case TransferOutcome::PortUnavailable:
    case TransferOutcome::PortChanged:
    case TransferOutcome::NotConfirmed:
    case TransferOutcome::NotVerified:
        break;
    }
    return finished(outcome);
}

TransferOutcome TransferCommands::write()
{
    views_.closeCellEditor();
    return finished(WriteToRadio(context(), document_.image(), safety_ && safety_->verifyAfterWrite()));
}

TransferOutcome TransferCommands::writeChannelsOnly()
{
    views_.closeCellEditor();
    return finished(WriteChannelsToRadio(context(), document_.image()));
}

} // namespace zrk6

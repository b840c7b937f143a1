#include "mainwindow/transfer_commands.h"

#include "model/image_normalise.h"
#include "document/image_document.h"
#include "link/port_names.h"
#include "mainwindow/main_views.h"
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
        const Band band = ReadBandFromImage(image);
        document_.replace(NormaliseImage(image, band), band, document_.fileName());
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
        break;
    }
    return outcome;
}

TransferOutcome TransferCommands::write()
{
    views_.closeCellEditor();
    return WriteToRadio(views_.dialogParent(), prompts_, state_.language, document_.image(), portName());
}

} // namespace zrk6

#include "mainwindow/fleet_commands.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include "dialogs/fleet_dialog.h"
#include "document/image_document.h"
#include "link/port_names.h"
#include "mainwindow/main_views.h"
#include "mainwindow/safety_commands.h"
#include "model/app_state.h"

namespace zrk6 {

FleetCommands::FleetCommands(const AppState &state, const ImageDocument &document, Prompts &prompts,
                             const SafetyCommands &safety, MainViews &views, std::function<QString()> portOverride)
    : state_(state), document_(document), prompts_(prompts), safety_(safety), views_(views),
      portOverride_(std::move(portOverride))
{
}

void FleetCommands::programSeveralRadios()
{
    views_.closeCellEditor();
    FleetDialog::Setup setup;
    setup.plan = document_.image(); // a copy: the fleet never changes the document
    setup.ports = ListSerialPorts();
    setup.extraPort = portOverride_();
    if (logFile_.isEmpty()) {
        // The documents folder when there is one; the log is a record the user keeps.
        const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        logFile_ = QDir(QFileInfo(documents).isDir() ? documents : QDir::homePath())
                       .filePath(QStringLiteral("fleet-log.csv"));
    }
    setup.logFile = logFile_;
    setup.backup = safety_.backupsEnabled();
    setup.backupFolder = safety_.backupFolder();
    FleetDialog dialog(std::move(setup), state_.language, prompts_, views_.dialogParent());
    dialog.exec();
    logFile_ = dialog.logFile(); // offered again next time in this run
}

} // namespace zrk6

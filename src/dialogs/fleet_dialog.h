#pragma once

#include <QDialog>
#include <QList>
#include <QString>

#include <memory>
#include <vector>

#include "services/fleet_job.h"
#include "link/port_names.h"
#include "model/memory_image.h"
#include "text/text_table.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTableWidget;

namespace zrk6 {

class Prompts;

// frmFleet: Program Several Radios. Lists the ports with check boxes; Start programs the radio
// on every ticked port at once with the plan (each read, written, read back and compared, one
// log line each), Next Round does it again for the next radios on the same cables. One row
// per port shows its round, progress, phase and result. Stop or closing in the middle ends
// every transfer as Cancel does, so each radio gets its end byte. The plan is a copy: the
// document is never changed.
class FleetDialog final : public QDialog {
    Q_OBJECT
public:
    struct Setup {
        MemoryImage plan;
        QList<SerialPortEntry> ports; // listed in this order; adapters start ticked
        QString extraPort;            // a device given on the command line: listed and ticked
        QString logFile;              // the log's path at first
        bool backup = true;           // keep each radio's memory as read
        QString backupFolder;         // empty for the default folder
    };
    FleetDialog(Setup setup, LanguageMode language, Prompts &prompts, QWidget *parent = nullptr);
    ~FleetDialog() override;

    // Lists a port (ticked); a port listed already is only ticked. Returns its row.
    int addPort(const QString &systemName, const QString &description = {});
    // True while any radio is being programmed.
    bool isRunning() const;
    int round() const { return round_; }
    // The log file as the field names it now.
    QString logFile() const;

public slots:
    // Starts round 1 (Start) or the next round (Next Round) on the ticked ports.
    void startRound();
    // Ends every running transfer cleanly.
    void stop();
    void done(int result) override;

signals:
    // Every radio of the round has finished, stopped or failed; the status line says how many
    // were verified.
    void roundFinished();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void browse();
    void addTypedPort();
    void jobChanged(int row);
    void showRow(int row);
    void roundEnded();
    void updateButtons();
    QString portOfRow(int row) const;

    Setup setup_;
    LanguageMode language_;
    Prompts &prompts_;
    QTableWidget *portTable_ = nullptr;
    QLineEdit *otherPortEdit_ = nullptr;
    QPushButton *addPortButton_ = nullptr;
    QCheckBox *channelsOnlyCheck_ = nullptr;
    QLineEdit *logFileEdit_ = nullptr;
    QPushButton *browseButton_ = nullptr;
    QLabel *fleetStatus_ = nullptr;
    QPushButton *startButton_ = nullptr;
    QPushButton *nextRoundButton_ = nullptr;
    QPushButton *stopButton_ = nullptr;
    QPushButton *closeButton_ = nullptr;
    std::vector<std::unique_ptr<FleetJob>> jobs_; // one per row; null for a row not in the round
    std::vector<QProgressBar *> bars_;
    FleetLog log_;
    int round_ = 0;
    bool stopping_ = false;
    bool closePending_ = false;
    bool logFailureShown_ = false;
    int closeResult_ = QDialog::Rejected;
};

} // namespace zrk6

#pragma once

#include <QDialog>

#include "services/radio_job.h"
#include "ui/prompts.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace zrk6 {

// The transfer window (frmClone): a caption, the label lblPercent, the progress bar prgPercent
// and Cancel (cmdCancel). It starts one radio job when shown, follows it through every phase
// (read, write, read-back) and closes when the job ends. Cancel, Escape and the close button
// end the transfer as Cancel at a prompt does: the radio gets its end byte. A Retry question
// is asked once the serial side has returned, and answered back to the job.
class TransferWindow final : public QDialog {
    Q_OBJECT
public:
    TransferWindow(RadioJob &job, Prompts &prompts, QWidget *parent = nullptr);
    ~TransferWindow() override;

    // Starts the job once the window is up and shows it modally until the job ends. Returns the
    // job's result; nothing is shown for it here (the caller does).
    const RadioJobResult &runJob();
    // Cancel, Escape or the close button ended the transfer.
    bool cancelledByUser() const { return cancelledByUser_; }

protected:
    void closeEvent(QCloseEvent *event) override;
    void reject() override;

private:
    void onPhase(RadioPhase phase);
    void onProgress(int value, int maximum, const QString &label);
    void onRetryAsked(const QString &text, const QString &title, CloneError error);
    void cancelTransfer();

    RadioJob &job_;
    Prompts &prompts_;
    LanguageMode language_;
    QProgressBar *prgPercent_;
    QLabel *lblPercent_;
    QPushButton *cmdCancel_;
    bool cancelledByUser_ = false;
};

} // namespace zrk6

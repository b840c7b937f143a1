#pragma once

#include <QDialog>

#include <functional>

#include "link/clone_driver.h"
#include "model/memory_image.h"
#include "text/text_table.h"
#include "ui/prompts.h"

class QLabel;
class QProgressBar;

namespace zrk6 {

// The transfer window: a caption, the progress bar prgPercent and the label lblPercent. It runs
// one transfer when shown with exec() and closes itself when the transfer ends. A read changes
// the given image only when it completes; a write never changes it.
class frmClone final : public QDialog, private CloneFrontEnd {
    Q_OBJECT
public:
    frmClone(CloneMode mode, MemoryImage &image, LanguageMode language, const QString &portName, Prompts &prompts,
             QWidget *parent = nullptr);
    ~frmClone() override;

    // Called after a completed read has replaced the image, before "Reading completed!" shows.
    void setAfterRead(std::function<void()> afterRead) { afterRead_ = std::move(afterRead); }
    void setTrace(QIODevice *trace);
    // A completed write is read back and compared; the window shows it as a second phase.
    void setVerifyAfterWrite(bool on);
    const VerifyReport &verifyReport() const { return driver_.verifyReport(); }

    // Opens the port, then runs the transfer modally. Returns how it ended; PortFailed with
    // portError() when the port did not open (no message is shown for that; the caller does).
    TransferResult execTransfer();
    QString portError() const { return portError_; }

protected:
    void closeEvent(QCloseEvent *event) override;
    void reject() override;

private:
    void progress(int value, int maximum, const QString &label) override;
    void message(int textId, const QString &text, const QString &title, bool isError) override;
    bool askRetry(const QString &text, const QString &title, CloneError error) override;
    void ended(CloneOutcome outcome, const CloneSession &session) override;
    void verifying() override;
    void verified(const VerifyReport &report) override;

    CloneMode mode_;
    LanguageMode language_;
    MemoryImage &image_;
    Prompts &prompts_;
    CloneDriver driver_;
    QProgressBar *prgPercent_;
    QLabel *lblPercent_;
    std::function<void()> afterRead_;
    QString portError_;
    bool running_ = false;
};

} // namespace zrk6

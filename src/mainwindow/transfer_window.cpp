#include "mainwindow/transfer_window.h"

#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "text/text_ids.h"
#include "text/text_qstring.h"

namespace zrk6 {

namespace {

constexpr int kTextCancel = text_id::kCancel;
constexpr int kTextRetryPrompt = text_id::kCheckConnection;
constexpr int kTextWhereToLook = text_id::kRadioDidNotAnswer;

} // namespace

TransferWindow::TransferWindow(RadioJob &job, Prompts &prompts, QWidget *parent)
    : QDialog(parent), job_(job), prompts_(prompts), language_(job.settings().language)
{
    setObjectName(QStringLiteral("frmClone"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setModal(true);

    const CloneMode first = job.settings().task == RadioTask::Write ? CloneMode::Write : CloneMode::Read;
    setWindowTitle(ToQString(CloneSession::Caption(first, language_)));

    prgPercent_ = new QProgressBar(this);
    prgPercent_->setObjectName(QStringLiteral("prgPercent"));
    prgPercent_->setRange(0, first == CloneMode::Read ? kReadProgressMaximum : kWriteProgressMaximum);
    prgPercent_->setValue(0);
    prgPercent_->setTextVisible(false);
    // A screen reader names the bar by what it counts and reads its value as it moves.
    prgPercent_->setAccessibleName(windowTitle());

    lblPercent_ = new QLabel(ToQString(CloneSession::ProgressLabel(0, prgPercent_->maximum(), language_)), this);
    lblPercent_->setObjectName(QStringLiteral("lblPercent"));

    auto *buttons = new QDialogButtonBox(this);
    cmdCancel_ = buttons->addButton(LoadQText(kTextCancel, language_), QDialogButtonBox::RejectRole);
    cmdCancel_->setObjectName(QStringLiteral("cmdCancel"));
    connect(buttons, &QDialogButtonBox::rejected, this, &TransferWindow::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lblPercent_);
    layout->addWidget(prgPercent_);
    layout->addWidget(buttons);
    setMinimumWidth(360);

    connect(&job_, &RadioJob::phaseChanged, this, &TransferWindow::onPhase);
    connect(&job_, &RadioJob::progress, this, &TransferWindow::onProgress);
    // Queued: the question is asked after the job's signal has returned.
    connect(&job_, &RadioJob::retryAsked, this, &TransferWindow::onRetryAsked, Qt::QueuedConnection);
    connect(&job_, &RadioJob::finished, this, [this] {
        if (isVisible())
            done(QDialog::Accepted);
    });
}

TransferWindow::~TransferWindow() = default;

const RadioJobResult &TransferWindow::runJob()
{
    // The transfer starts once the window is up; it closes the window when it ends.
    QTimer::singleShot(0, this, [this] { job_.start(); });
    if (!job_.isDone())
        exec();
    return job_.result();
}

void TransferWindow::cancelTransfer()
{
    if (job_.isDone())
        return;
    cancelledByUser_ = true;
    cmdCancel_->setEnabled(false);
    job_.cancel();
}

void TransferWindow::closeEvent(QCloseEvent *event)
{
    // Closing the window while the transfer runs ends it like Cancel at a prompt.
    if (!job_.isDone()) {
        event->ignore();
        cancelTransfer();
        return;
    }
    QDialog::closeEvent(event);
}

void TransferWindow::reject()
{
    if (!job_.isDone()) {
        cancelTransfer();
        return;
    }
    QDialog::reject();
}

void TransferWindow::onPhase(RadioPhase phase)
{
    QString caption;
    switch (phase) {
    case RadioPhase::Read: caption = ToQString(CloneSession::Caption(CloneMode::Read, language_)); break;
    case RadioPhase::Write: caption = ToQString(CloneSession::Caption(CloneMode::Write, language_)); break;
    case RadioPhase::Verify: caption = ToQString(VerifyingCaption(language_)); break;
    case RadioPhase::Waiting:
    case RadioPhase::Done: return;
    }
    setWindowTitle(caption);
    prgPercent_->setAccessibleName(caption);
}

void TransferWindow::onProgress(int value, int maximum, const QString &label)
{
    prgPercent_->setMaximum(maximum);
    prgPercent_->setValue(value);
    lblPercent_->setText(label);
}

void TransferWindow::onRetryAsked(const QString &text, const QString &title, CloneError error)
{
    if (job_.isDone())
        return;
    PromptMessage m;
    m.textId = kTextRetryPrompt;
    m.text = text;
    // No answer at all is mostly the cable or the port, not the radio: say where to look.
    if (error == CloneError::NoGreetingAck)
        m.text += QLatin1Char('\n') + LoadQText(kTextWhereToLook, language_);
    m.title = title;
    m.icon = QMessageBox::Critical;
    m.buttons = QMessageBox::Retry | QMessageBox::Cancel;
    m.defaultButton = QMessageBox::Retry;
    job_.answerRetry(prompts_.message(this, m) == QMessageBox::Retry);
}

} // namespace zrk6

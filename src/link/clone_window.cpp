#include "link/clone_window.h"

#include <QCloseEvent>
#include <QLabel>
#include <QProgressBar>
#include <QTimer>
#include <QVBoxLayout>

namespace zrk6 {

frmClone::frmClone(CloneMode mode, MemoryImage &image, LanguageMode language, const QString &portName,
                   Prompts &prompts, QWidget *parent)
    : QDialog(parent), mode_(mode), language_(language), image_(image), prompts_(prompts),
      driver_(mode, image, language, portName, *this, this)
{
    setObjectName(QStringLiteral("frmClone"));
    setWindowTitle(QString::fromStdString(CloneSession::Caption(mode, language)));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setModal(true);

    prgPercent_ = new QProgressBar(this);
    prgPercent_->setObjectName(QStringLiteral("prgPercent"));
    prgPercent_->setRange(0, mode == CloneMode::Read ? kReadProgressMaximum : kWriteProgressMaximum);
    prgPercent_->setValue(0);
    prgPercent_->setTextVisible(false);
    // A screen reader names the bar by what it counts and reads its value as it moves.
    prgPercent_->setAccessibleName(windowTitle());

    lblPercent_ = new QLabel(QString::fromStdString(CloneSession::ProgressLabel(0, prgPercent_->maximum(), language)),
                             this);
    lblPercent_->setObjectName(QStringLiteral("lblPercent"));

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lblPercent_);
    layout->addWidget(prgPercent_);
    setMinimumWidth(360);

    connect(&driver_, &CloneDriver::finished, this, [this] {
        if (isVisible())
            hide();
    });
}

frmClone::~frmClone() = default;

void frmClone::setTrace(QIODevice *trace)
{
    driver_.setTrace(trace);
}

TransferResult frmClone::execTransfer()
{
    portError_ = driver_.open();
    if (!portError_.isEmpty())
        return TransferResult::PortFailed;
    running_ = true;
    // The transfer starts once the window is up; it closes the window when it ends.
    QTimer::singleShot(0, this, [this] { driver_.start(); });
    connect(&driver_, &CloneDriver::finished, this, [this] { done(QDialog::Accepted); });
    if (!driver_.isFinished())
        exec();
    running_ = false;
    if (driver_.result() == TransferResult::PortFailed)
        portError_ = driver_.portError();
    return driver_.result();
}

void frmClone::closeEvent(QCloseEvent *event)
{
    // Closing the window while the transfer runs ends it like Cancel at a prompt.
    if (running_ && !driver_.isFinished()) {
        event->ignore();
        driver_.cancel();
        return;
    }
    QDialog::closeEvent(event);
}

void frmClone::reject()
{
    if (running_ && !driver_.isFinished()) {
        driver_.cancel();
        return;
    }
    QDialog::reject();
}

void frmClone::progress(int value, int maximum, const QString &label)
{
    prgPercent_->setMaximum(maximum);
    prgPercent_->setValue(value);
    lblPercent_->setText(label);
}

void frmClone::ended(CloneOutcome outcome, const CloneSession &session)
{
    hide();
    // Only a complete read replaces the image, so a failed one leaves the document as it was.
    if (outcome == CloneOutcome::Completed && mode_ == CloneMode::Read) {
        image_ = session.cloneBuffer();
        if (afterRead_)
            afterRead_();
    }
}

void frmClone::setVerifyAfterWrite(bool on)
{
    driver_.setVerifyAfterWrite(on);
}

void frmClone::verifying()
{
    setWindowTitle(QString::fromStdString(VerifyingCaption(language_)));
    prgPercent_->setAccessibleName(windowTitle());
}

void frmClone::verified(const VerifyReport &report)
{
    // A long list goes behind Show Details, where it can be copied; the box shows its start.
    constexpr std::size_t kListedInBox = 12;
    PromptMessage m;
    m.textId = report.outcome == VerifyOutcome::Matched ? 1805 : report.outcome == VerifyOutcome::Mismatched ? 1806 : 1808;
    m.text = QString::fromStdString(report.Text(kListedInBox));
    if (report.differences.size() > kListedInBox)
        m.details = QString::fromStdString(report.Text());
    m.title = QString::fromUtf8(kProductName.data(), static_cast<qsizetype>(kProductName.size()));
    m.icon = report.outcome == VerifyOutcome::Matched     ? QMessageBox::Information
             : report.outcome == VerifyOutcome::Mismatched ? QMessageBox::Critical
                                                           : QMessageBox::Warning;
    m.buttons = QMessageBox::Ok;
    prompts_.message(parentWidget() ? parentWidget() : this, m);
}

void frmClone::message(int textId, const QString &text, const QString &title, bool isError)
{
    PromptMessage m;
    m.textId = textId;
    m.text = text;
    m.title = title;
    m.icon = isError ? QMessageBox::Critical : QMessageBox::Information;
    m.buttons = QMessageBox::Ok;
    prompts_.message(parentWidget() ? parentWidget() : this, m);
}

bool frmClone::askRetry(const QString &text, const QString &title, CloneError error)
{
    PromptMessage m;
    m.textId = 1607;
    m.text = text;
    // No answer at all is mostly the cable or the port, not the radio: say where to look.
    if (error == CloneError::NoGreetingAck)
        m.text += QLatin1Char('\n') + QString::fromUtf8(LoadText(1874, language_).data());
    m.title = title;
    m.icon = QMessageBox::Critical;
    m.buttons = QMessageBox::Retry | QMessageBox::Cancel;
    m.defaultButton = QMessageBox::Retry;
    return prompts_.message(this, m) == QMessageBox::Retry;
}

} // namespace zrk6

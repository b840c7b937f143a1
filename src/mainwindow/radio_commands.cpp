#include "mainwindow/radio_commands.h"

#include <optional>

#include "link/clone_driver.h"
#include "link/port_names.h"
#include "mainwindow/transfer_window.h"
#include "services/port_error.h"
#include "text/text_ids.h"
#include "text/text_qstring.h"

namespace zrk6 {

namespace {

constexpr int kTextReadConfirm = text_id::kReadDataConfirm;
constexpr int kTextContinue = text_id::kDoYouWishToContinue;
constexpr int kTextWriteConfirm = text_id::kWriteDataConfirm;
constexpr int kTextChannelsConfirm = text_id::kWriteChannelsOnlyQuestion;
constexpr int kTextVerified = text_id::kVerifiedSame;
constexpr int kTextVerifyFailed = text_id::kVerificationFailed;
constexpr int kTextNotVerified = text_id::kVerifyIncomplete;

QString ProductName()
{
    return ToQString(kProductName);
}

// The port test, then the confirmation. Returns the outcome that ends the command early, if any.
std::optional<TransferOutcome> TestAndConfirm(const TransferContext &context, int confirmId)
{
    // Never open another adapter in place of the one chosen: say so before anything is opened.
    if (!context.portChange.isEmpty()) {
        PromptMessage m;
        m.text = context.portChange;
        m.title = ProductName();
        m.icon = QMessageBox::Critical;
        m.buttons = QMessageBox::Ok;
        context.prompts.message(context.parent, m);
        return TransferOutcome::PortChanged;
    }
    const QString reason = TestClonePort(context.portName, context.language);
    if (!reason.isEmpty()) {
        context.prompts.message(context.parent, PortErrorMessage(reason, context.language, context.portName));
        return TransferOutcome::PortUnavailable;
    }
    PromptMessage confirm;
    confirm.textId = confirmId;
    confirm.text = LoadQText(confirmId, context.language) + QStringLiteral("\r\n") +
                   LoadQText(kTextContinue, context.language);
    confirm.title = ProductName();
    confirm.icon = QMessageBox::Question;
    confirm.buttons = QMessageBox::Ok | QMessageBox::Cancel;
    confirm.defaultButton = QMessageBox::Ok;
    if (context.prompts.message(context.parent, confirm) != QMessageBox::Ok)
        return TransferOutcome::NotConfirmed;
    return std::nullopt;
}

void ShowVerifyReport(const TransferContext &context, const VerifyReport &report)
{
    // A long list goes behind Show Details, where it can be copied; the box shows its start.
    constexpr std::size_t kListedInBox = 12;
    PromptMessage m;
    m.textId = report.outcome == VerifyOutcome::Matched      ? kTextVerified
               : report.outcome == VerifyOutcome::Mismatched ? kTextVerifyFailed
                                                             : kTextNotVerified;
    m.text = QString::fromStdString(report.Text(kListedInBox));
    if (report.differences.size() > kListedInBox)
        m.details = QString::fromStdString(report.Text());
    m.title = ProductName();
    m.icon = report.outcome == VerifyOutcome::Matched      ? QMessageBox::Information
             : report.outcome == VerifyOutcome::Mismatched ? QMessageBox::Critical
                                                           : QMessageBox::Warning;
    m.buttons = QMessageBox::Ok;
    context.prompts.message(context.parent, m);
}

// Runs the job in the transfer window, then shows how it ended: the port's error, the closing
// message, the read-back's report.
TransferOutcome RunInWindow(const TransferContext &context, RadioJobSettings settings, MemoryImage *radio = nullptr)
{
    settings.portName = context.portName;
    settings.language = context.language;
    settings.backup = context.backup;
    RadioJob job(std::move(settings));
    TransferWindow window(job, context.prompts, context.parent);
    const RadioJobResult &result = window.runJob();
    if (radio && result.outcome == RadioOutcome::Completed)
        *radio = result.radio;
    if (context.afterJob)
        context.afterJob(result);
    if (result.outcome == RadioOutcome::PortFailed) {
        context.prompts.message(context.parent, PortErrorMessage(result.portError, context.language, context.portName));
        return TransferOutcome::PortUnavailable;
    }
    if (result.message.isSet()) {
        PromptMessage m;
        m.textId = result.message.textId;
        m.text = result.message.text;
        m.title = result.message.title;
        m.icon = result.message.isError ? QMessageBox::Critical : QMessageBox::Information;
        m.buttons = QMessageBox::Ok;
        context.prompts.message(context.parent, m);
    }
    if (result.verify.outcome != VerifyOutcome::NotRun)
        ShowVerifyReport(context, result.verify);
    switch (result.outcome) {
    case RadioOutcome::Completed: return TransferOutcome::Completed;
    case RadioOutcome::WrongModel: return TransferOutcome::Failed;
    case RadioOutcome::NotVerified: return TransferOutcome::NotVerified;
    case RadioOutcome::PortFailed:
    case RadioOutcome::Cancelled: break;
    }
    return window.cancelledByUser() ? TransferOutcome::Stopped : TransferOutcome::Cancelled;
}

} // namespace

PromptMessage PortErrorMessage(const QString &reason, LanguageMode language, const QString &portName)
{
    PromptMessage m;
    m.textId = text_id::kCannotOpenPort;
    m.text = PortErrorText(reason, language) + QLatin1Char('\n') + TriedPortLine(portName, language);
    m.title = ProductName();
    m.icon = QMessageBox::Critical;
    m.buttons = QMessageBox::Ok;
    return m;
}

TransferOutcome ReadFromRadio(const TransferContext &context, MemoryImage &image)
{
    if (auto early = TestAndConfirm(context, kTextReadConfirm))
        return *early;
    RadioJobSettings settings;
    settings.task = RadioTask::Read;
    settings.image = image;
    return RunInWindow(context, std::move(settings), &image);
}

TransferOutcome WriteToRadio(const TransferContext &context, const MemoryImage &image, bool verify)
{
    if (auto early = TestAndConfirm(context, kTextWriteConfirm))
        return *early;
    RadioJobSettings settings;
    settings.task = RadioTask::Write;
    settings.image = image; // the job works on a copy, so nothing can reach the caller's image
    settings.verify = verify;
    return RunInWindow(context, std::move(settings));
}

TransferOutcome WriteChannelsToRadio(const TransferContext &context, const MemoryImage &plan)
{
    if (auto early = TestAndConfirm(context, kTextChannelsConfirm))
        return *early;
    RadioJobSettings settings;
    settings.task = RadioTask::ReadThenWrite;
    settings.image = plan;
    settings.channelsOnly = true;
    settings.verify = true;
    return RunInWindow(context, std::move(settings));
}

} // namespace zrk6

#include "link/radio_commands.h"
#include "text/text_qstring.h"

#include "link/clone_window.h"

#include <optional>

namespace zrk6 {

namespace {

constexpr int kTextCannotOpen = 1600;
constexpr int kTextReadConfirm = 1601;
constexpr int kTextContinue = 1602;
constexpr int kTextWriteConfirm = 1603;

QString Text(int id, LanguageMode language)
{
    return LoadQText(id, language);
}

// The port test, then the confirmation. Returns the outcome that ends the command early, if any.
std::optional<TransferOutcome> TestAndConfirm(QWidget *parent, Prompts &prompts, LanguageMode language,
                                              const QString &portName, int confirmId)
{
    const QString reason = TestClonePort(portName, language);
    if (!reason.isEmpty()) {
        prompts.message(parent, PortErrorMessage(reason, language));
        return TransferOutcome::PortUnavailable;
    }
    PromptMessage confirm;
    confirm.textId = confirmId;
    confirm.text = Text(confirmId, language) + QStringLiteral("\r\n") + Text(kTextContinue, language);
    confirm.title = QString::fromUtf8(kProductName.data(), static_cast<qsizetype>(kProductName.size()));
    confirm.icon = QMessageBox::Question;
    confirm.buttons = QMessageBox::Ok | QMessageBox::Cancel;
    confirm.defaultButton = QMessageBox::Ok;
    if (prompts.message(parent, confirm) != QMessageBox::Ok)
        return TransferOutcome::NotConfirmed;
    return std::nullopt;
}

TransferOutcome Outcome(TransferResult result, frmClone &window, QWidget *parent, Prompts &prompts,
                        LanguageMode language)
{
    switch (result) {
    case TransferResult::Completed: return TransferOutcome::Completed;
    case TransferResult::Cancelled: return TransferOutcome::Cancelled;
    case TransferResult::WrongModel: return TransferOutcome::Failed;
    case TransferResult::PortFailed: break;
    }
    prompts.message(parent, PortErrorMessage(window.portError(), language));
    return TransferOutcome::PortUnavailable;
}

} // namespace

PromptMessage PortErrorMessage(const QString &reason, LanguageMode language)
{
    PromptMessage m;
    m.textId = kTextCannotOpen;
    m.text = Text(kTextCannotOpen, language);
    if (!reason.isEmpty())
        m.text += QLatin1Char('\n') + reason;
    m.title = QString::fromUtf8(kProductName.data(), static_cast<qsizetype>(kProductName.size()));
    m.icon = QMessageBox::Critical;
    m.buttons = QMessageBox::Ok;
    return m;
}

TransferOutcome ReadFromRadio(QWidget *parent, Prompts &prompts, LanguageMode language, MemoryImage &image,
                              const QString &portName, const std::function<void()> &afterRead)
{
    if (auto early = TestAndConfirm(parent, prompts, language, portName, kTextReadConfirm))
        return *early;
    frmClone window(CloneMode::Read, image, language, portName, prompts, parent);
    window.setAfterRead(afterRead);
    return Outcome(window.execTransfer(), window, parent, prompts, language);
}

TransferOutcome WriteToRadio(QWidget *parent, Prompts &prompts, LanguageMode language, const MemoryImage &image,
                             const QString &portName, const WriteOptions &options)
{
    if (auto early = TestAndConfirm(parent, prompts, language, portName, kTextWriteConfirm))
        return *early;
    // The window works on a copy, so nothing can reach the caller's image.
    MemoryImage copy = image;
    if (options.beforeWrite)
        options.beforeWrite(copy);
    frmClone window(CloneMode::Write, copy, language, portName, prompts, parent);
    window.setVerifyAfterWrite(options.verify);
    const TransferOutcome outcome = Outcome(window.execTransfer(), window, parent, prompts, language);
    const VerifyOutcome verified = window.verifyReport().outcome;
    if (outcome == TransferOutcome::Completed && verified != VerifyOutcome::NotRun && verified != VerifyOutcome::Matched)
        return TransferOutcome::NotVerified;
    return outcome;
}

} // namespace zrk6

#include "scripted_prompts.h"

namespace zrk6::test {

QMessageBox::StandardButton ScriptedPrompts::message(QWidget *, const PromptMessage &message)
{
    shown.append(message);
    if (!answers.isEmpty())
        return answers.takeFirst();
    if (message.defaultButton != QMessageBox::NoButton)
        return message.defaultButton;
    for (int bit = 0; bit < 32; ++bit) {
        const auto button = static_cast<QMessageBox::StandardButton>(1U << bit);
        if (message.buttons.testFlag(button))
            return button;
    }
    return QMessageBox::Ok;
}

void ScriptedPrompts::report(QWidget *, const PromptReport &report)
{
    reports.append(report);
}

QString ScriptedPrompts::openFileName(QWidget *, const QString &filter, const QString &title)
{
    dialogFilters.append(filter);
    dialogTitles.append(title);
    return fileNames.isEmpty() ? QString() : fileNames.takeFirst();
}

QString ScriptedPrompts::saveFileName(QWidget *, const QString &filter, const QString &initialName,
                                      const QString &title)
{
    dialogFilters.append(filter);
    dialogTitles.append(title);
    initialNames.append(initialName);
    return fileNames.isEmpty() ? QString() : fileNames.takeFirst();
}

QList<int> ScriptedPrompts::shownIds() const
{
    QList<int> ids;
    for (const auto &m : shown)
        ids.append(m.textId);
    return ids;
}

} // namespace zrk6::test

#include "ui/prompts.h"

#include <QFileDialog>

namespace zrk6 {

QMessageBox::StandardButton WidgetPrompts::message(QWidget *parent, const PromptMessage &message)
{
    QMessageBox box(message.icon, message.title, message.text, message.buttons, parent);
    if (message.defaultButton != QMessageBox::NoButton)
        box.setDefaultButton(message.defaultButton);
    if (!message.details.isEmpty())
        box.setDetailedText(message.details);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

QString WidgetPrompts::openFileName(QWidget *parent, const QString &filter)
{
    return QFileDialog::getOpenFileName(parent, QString(), QString(), filter);
}

QString WidgetPrompts::saveFileName(QWidget *parent, const QString &filter, const QString &initialName)
{
    // QFileDialog asks before an existing file is replaced.
    return QFileDialog::getSaveFileName(parent, QString(), initialName, filter);
}

QString QtFileFilter(const QString &tableFilter)
{
    const qsizetype bar = tableFilter.indexOf(QLatin1Char('|'));
    return bar < 0 ? tableFilter : tableFilter.left(bar);
}

} // namespace zrk6

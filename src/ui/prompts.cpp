#include "ui/prompts.h"

#include <QDialog>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

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

void WidgetPrompts::report(QWidget *parent, const PromptReport &report)
{
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("frmReport"));
    dialog.setWindowTitle(report.title);
    if (parent)
        dialog.setWindowIcon(parent->windowIcon());
    auto *summary = new QLabel(report.summary, &dialog);
    summary->setObjectName(QStringLiteral("lblSummary"));
    summary->setTextFormat(Qt::PlainText);
    auto *layout = new QVBoxLayout(&dialog);
    layout->addWidget(summary);
    if (!report.lines.isEmpty()) {
        // One remark a line, unwrapped, so a long list stays easy to scan and to copy.
        auto *lines = new QPlainTextEdit(report.lines.join(QLatin1Char('\n')), &dialog);
        lines->setObjectName(QStringLiteral("txtReport"));
        lines->setReadOnly(true);
        lines->setLineWrapMode(QPlainTextEdit::NoWrap);
        lines->setMinimumSize(640, 200);
        layout->addWidget(lines, 1);
    }
    auto *ok = new QPushButton(report.okText, &dialog);
    ok->setObjectName(QStringLiteral("cmdOK"));
    ok->setDefault(true);
    QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    layout->addLayout(buttons);
    ok->setFocus();
    dialog.exec();
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

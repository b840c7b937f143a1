#include "ui/prompts.h"

#include <QDialog>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QIdentityProxyModel>
#include <QLocale>
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

namespace {

// QFileSystemModel writes sizes and dates in the system's locale; the program's language
// sets the default locale, which these columns of Qt's own file dialog then follow.
class LocaleFileColumns final : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex &index, int role) const override
    {
        const auto *files = qobject_cast<const QFileSystemModel *>(sourceModel());
        if (files == nullptr || role != Qt::DisplayRole || (index.column() != 1 && index.column() != 3))
            return QIdentityProxyModel::data(index, role);
        const QModelIndex source = mapToSource(index);
        const QLocale locale;
        if (index.column() == 3)
            return locale.toString(files->lastModified(source), QLocale::ShortFormat);
        return files->isDir(source) ? QIdentityProxyModel::data(index, role)
                                    : QVariant(locale.formattedDataSize(files->size(source)));
    }
};

// A system's native dialog follows the system's settings; Qt's own takes the proxy.
QString chooseFile(QWidget *parent, const QString &filter, QFileDialog::AcceptMode mode, const QString &initialName)
{
    QFileDialog dialog(parent, QString(), initialName, filter);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setProxyModel(new LocaleFileColumns(&dialog));
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles().value(0);
}

} // namespace

QString WidgetPrompts::openFileName(QWidget *parent, const QString &filter)
{
    return chooseFile(parent, filter, QFileDialog::AcceptOpen, QString());
}

QString WidgetPrompts::saveFileName(QWidget *parent, const QString &filter, const QString &initialName)
{
    // QFileDialog asks before an existing file is replaced.
    return chooseFile(parent, filter, QFileDialog::AcceptSave, initialName);
}

QString QtFileFilter(const QString &tableFilter)
{
    const qsizetype bar = tableFilter.indexOf(QLatin1Char('|'));
    return bar < 0 ? tableFilter : tableFilter.left(bar);
}

} // namespace zrk6

#include "ui/prompts.h"

#include <algorithm>

#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QSpacerItem>
#include <QFileSystemModel>
#include <QIdentityProxyModel>
#include <QLocale>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
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
    for (const QString &text : report.notes) {
        auto *note = new QLabel(text, &dialog);
        note->setObjectName(QStringLiteral("lblNote"));
        note->setTextFormat(Qt::PlainText);
        // One line where it fits in about 120 characters; a long list of columns wraps.
        note->setWordWrap(true);
        const QFontMetrics metrics = note->fontMetrics();
        note->setMinimumWidth(std::min(metrics.horizontalAdvance(text) + metrics.averageCharWidth(),
                                       metrics.averageCharWidth() * 120));
        layout->addWidget(note);
    }
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
    KeepTitleWhole(&dialog);
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
QString chooseFile(QWidget *parent, const QString &filter, QFileDialog::AcceptMode mode, const QString &initialName,
                   const QString &title)
{
    QFileDialog dialog(parent, title, initialName, filter);
    dialog.setAcceptMode(mode);
    if (mode == QFileDialog::AcceptSave) {
        // A name typed without an extension gets the chosen filter's, before the dialog asks
        // about replacing a file.
        dialog.setDefaultSuffix(FilterExtension(filter.section(QStringLiteral(";;"), 0, 0)));
        QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                         [&dialog](const QString &chosen) { dialog.setDefaultSuffix(FilterExtension(chosen)); });
    }
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setProxyModel(new LocaleFileColumns(&dialog));
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles().value(0);
}

} // namespace

QString WidgetPrompts::openFileName(QWidget *parent, const QString &filter, const QString &title)
{
    return chooseFile(parent, filter, QFileDialog::AcceptOpen, QString(), title);
}

QString WidgetPrompts::saveFileName(QWidget *parent, const QString &filter, const QString &initialName,
                                    const QString &title)
{
    // QFileDialog asks before an existing file is replaced.
    return chooseFile(parent, filter, QFileDialog::AcceptSave, initialName, title);
}

void KeepTitleWhole(QDialog *dialog)
{
    // Title bars mostly use a bold face of the system font.
    QFont font = dialog->font();
    font.setBold(true);
    const QFontMetrics metrics(font);
    const int width = metrics.horizontalAdvance(dialog->windowTitle()) + 8 * metrics.height();
    QLayout *layout = dialog->layout();
    if (layout != nullptr && layout->sizeConstraint() == QLayout::SetFixedSize) {
        // A fixed-size layout sets the size itself; a strut makes it wide enough.
        layout->addItem(new QSpacerItem(width, 0, QSizePolicy::Fixed, QSizePolicy::Minimum));
        layout->activate();
    } else {
        dialog->setMinimumWidth(std::max(dialog->minimumWidth(), width));
    }
}

QString FilterExtension(const QString &filter)
{
    static const QRegularExpression pattern(QStringLiteral("\\*\\.([A-Za-z0-9]+)"));
    const QRegularExpressionMatch match = pattern.match(filter);
    return match.hasMatch() ? match.captured(1) : QString();
}

QString WithExtension(const QString &path, const QString &extension)
{
    if (path.isEmpty() || extension.isEmpty() || !QFileInfo(path).suffix().isEmpty())
        return path;
    return path + QLatin1Char('.') + extension;
}

QString QtFileFilter(const QString &tableFilter)
{
    const qsizetype bar = tableFilter.indexOf(QLatin1Char('|'));
    return bar < 0 ? tableFilter : tableFilter.left(bar);
}

} // namespace zrk6

#include "dialogs/differences_dialog.h"

#include <QClipboard>
#include <QEvent>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "dialogs/dialog_support.h"
#include "text/text_ids.h"

namespace zrk6 {

namespace {
constexpr int kTextCopyAll = text_id::kCopyAllButton;
constexpr int kTextClose = text_id::kCloseButton;
} // namespace

DifferencesDialog::DifferencesDialog(const QString &title, const QString &heading, const QStringList &lines,
                                     LanguageMode language, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmCompare"));
    setWindowTitle(title);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    UseOwnerIcon(this);

    lblHeading_ = Named(new QLabel(heading, this), QStringLiteral("lblHeading"));
    lblHeading_->setWordWrap(true);
    lblHeading_->setTextInteractionFlags(Qt::TextSelectableByMouse);

    txtDifferences_ = Named(new QPlainTextEdit(this), QStringLiteral("txtDifferences"));
    txtDifferences_->setReadOnly(true);
    // A caret the arrows move, so the list can be read line by line and shows where the focus is.
    txtDifferences_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    txtDifferences_->setLineWrapMode(QPlainTextEdit::NoWrap);
    txtDifferences_->setPlainText(lines.join(QLatin1Char('\n')));
    // Values line up better in a fixed-width font.
    txtDifferences_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    lblHeading_->setBuddy(txtDifferences_);
    txtDifferences_->installEventFilter(this);
    connect(txtDifferences_, &QPlainTextEdit::cursorPositionChanged, this,
            [this] { markCaretLine(txtDifferences_->hasFocus()); });

    cmdCopy_ = Named(new QPushButton(Text(kTextCopyAll, language), this), QStringLiteral("cmdCopy"));
    cmdCopy_->setAutoDefault(false);
    connect(cmdCopy_, &QPushButton::clicked, this,
            [this] { QGuiApplication::clipboard()->setText(listText() + QLatin1Char('\n')); });
    cmdClose_ = Named(new QPushButton(Text(kTextClose, language), this), QStringLiteral("cmdClose"));
    cmdClose_->setDefault(true);
    connect(cmdClose_, &QPushButton::clicked, this, &QDialog::accept);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdCopy_);
    buttons->addWidget(cmdClose_);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lblHeading_);
    layout->addWidget(txtDifferences_, 1);
    layout->addLayout(buttons);
    resize(560, 380);
    txtDifferences_->setFocus();
}

bool DifferencesDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == txtDifferences_ && (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut))
        markCaretLine(event->type() == QEvent::FocusIn);
    return QDialog::eventFilter(watched, event);
}

void DifferencesDialog::markCaretLine(bool focused)
{
    QList<QTextEdit::ExtraSelection> marks;
    if (focused) {
        QTextEdit::ExtraSelection line;
        line.format.setBackground(txtDifferences_->palette().brush(QPalette::Highlight));
        line.format.setForeground(txtDifferences_->palette().brush(QPalette::HighlightedText));
        line.format.setProperty(QTextFormat::FullWidthSelection, true);
        line.cursor = txtDifferences_->textCursor();
        line.cursor.clearSelection();
        marks << line;
    }
    txtDifferences_->setExtraSelections(marks);
}

QString DifferencesDialog::listText() const
{
    return txtDifferences_->toPlainText();
}

} // namespace zrk6

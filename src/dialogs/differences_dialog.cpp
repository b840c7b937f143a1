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

    heading_ = Named(new QLabel(heading, this), QStringLiteral("lblHeading"));
    heading_->setWordWrap(true);
    heading_->setTextInteractionFlags(Qt::TextSelectableByMouse);

    differencesText_ = Named(new QPlainTextEdit(this), QStringLiteral("txtDifferences"));
    differencesText_->setReadOnly(true);
    // A caret the arrows move, so the list can be read line by line and shows where the focus is.
    differencesText_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    differencesText_->setLineWrapMode(QPlainTextEdit::NoWrap);
    differencesText_->setPlainText(lines.join(QLatin1Char('\n')));
    // Values line up better in a fixed-width font.
    differencesText_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    heading_->setBuddy(differencesText_);
    differencesText_->installEventFilter(this);
    connect(differencesText_, &QPlainTextEdit::cursorPositionChanged, this,
            [this] { markCaretLine(differencesText_->hasFocus()); });

    copyButton_ = Named(new QPushButton(Text(kTextCopyAll, language), this), QStringLiteral("cmdCopy"));
    copyButton_->setAutoDefault(false);
    connect(copyButton_, &QPushButton::clicked, this,
            [this] { QGuiApplication::clipboard()->setText(listText() + QLatin1Char('\n')); });
    closeButton_ = Named(new QPushButton(Text(kTextClose, language), this), QStringLiteral("cmdClose"));
    closeButton_->setDefault(true);
    connect(closeButton_, &QPushButton::clicked, this, &QDialog::accept);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(copyButton_);
    buttons->addWidget(closeButton_);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(heading_);
    layout->addWidget(differencesText_, 1);
    layout->addLayout(buttons);
    // Room for about 80 characters by 20 lines in this font.
    resize(fontMetrics().averageCharWidth() * 80, fontMetrics().lineSpacing() * 20);
    differencesText_->setFocus();
}

bool DifferencesDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == differencesText_ && (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut))
        markCaretLine(event->type() == QEvent::FocusIn);
    return QDialog::eventFilter(watched, event);
}

void DifferencesDialog::markCaretLine(bool focused)
{
    QList<QTextEdit::ExtraSelection> marks;
    if (focused) {
        QTextEdit::ExtraSelection line;
        line.format.setBackground(differencesText_->palette().brush(QPalette::Highlight));
        line.format.setForeground(differencesText_->palette().brush(QPalette::HighlightedText));
        line.format.setProperty(QTextFormat::FullWidthSelection, true);
        line.cursor = differencesText_->textCursor();
        line.cursor.clearSelection();
        marks << line;
    }
    differencesText_->setExtraSelections(marks);
}

QString DifferencesDialog::listText() const
{
    return differencesText_->toPlainText();
}

} // namespace zrk6

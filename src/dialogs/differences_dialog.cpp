#include "dialogs/differences_dialog.h"

#include <QClipboard>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "dialogs/dialog_support.h"

namespace zrk6 {

namespace {
constexpr int kTextCopyAll = 1818;
constexpr int kTextClose = 1819;
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
    txtDifferences_->setLineWrapMode(QPlainTextEdit::NoWrap);
    txtDifferences_->setPlainText(lines.join(QLatin1Char('\n')));
    // Values line up better in a fixed-width font.
    txtDifferences_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    lblHeading_->setBuddy(txtDifferences_);

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

QString DifferencesDialog::listText() const
{
    return txtDifferences_->toPlainText();
}

} // namespace zrk6
